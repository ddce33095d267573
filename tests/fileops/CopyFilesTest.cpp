// Copying listed files out of a real tree: the folders below the shown directory kept or not, a
// second file of one name, failures that keep the old target, what is no regular file, links
// planted on either side, the stop, and the copy options in the settings store.
#include "core/DirStorage.h"
#include "fileops/CopyFiles.h"
#include "platform/Registry.h"
#include "platform/ScriptedUserInterface.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

// src/ [top.txt, Sub/ [mid.txt, Deeper/ [deep.txt]], other/ [mid.txt], pipe (a fifo)]
class CopyFilesTest : public ::testing::Test
{
protected:
    CopyFilesTest()
    {
        dir_.MakeDir("src/Sub/Deeper");
        dir_.MakeDir("src/other");
        dir_.MakeDir("dest");
        dir_.WriteFile("src/top.txt", "top");
        dir_.WriteFile("src/Sub/mid.txt", "sub mid");
        dir_.WriteFile("src/Sub/Deeper/deep.txt", "deep");
        dir_.WriteFile("src/other/mid.txt", "other mid");
        ::mkfifo((dir_ / "src/pipe").c_str(), 0644);
        log_.BuildLog({{dir_ / "src/", 4096}});
    }
    int64_t At(const std::string& name) { return log_.FindPath(dir_ / ("src/" + name)); }
    TCopyResult Copy(const std::vector<std::string>& names, bool keep,
                     const std::string& shown = "src/")
    {
        std::vector<int64_t> offsets;
        for (const std::string& n : names)
            offsets.push_back(At(n));
        TCopyRequest request;
        request.Destination = dir_ / "dest/";
        request.KeepStructure = keep;
        request.ShownDirectory = dir_ / shown;
        return CopyFiles(log_, offsets, request, fs_, ui_);
    }

    TempDir dir_;
    TMemoryStream stream_;
    TDirStorage log_{stream_};
    FaultyFileSystem fs_;
    TScriptedUserInterface ui_;
};

TEST_F(CopyFilesTest, TheStructureBelowTheShownDirectoryIsKept)
{
    const TCopyResult r = Copy({"top.txt", "Sub/Deeper/deep.txt", "Sub/mid.txt"}, true);
    EXPECT_EQ(r.Copied, 3);
    EXPECT_THAT(r.Failures, IsEmpty());
    EXPECT_EQ(dir_.ReadFile("dest/top.txt"), "top");
    EXPECT_EQ(dir_.ReadFile("dest/Sub/Deeper/deep.txt"), "deep");
    EXPECT_EQ(dir_.ReadFile("dest/Sub/mid.txt"), "sub mid");
    EXPECT_THAT(ui_.Shown, IsEmpty());
    EXPECT_FALSE(ui_.StatusWindow.Visible);
    EXPECT_FALSE(ui_.StatusWindow.Heading2Visible);

    // Shown from Sub: the folders below Sub, not Sub itself.
    Copy({"Sub/Deeper/deep.txt"}, true, "src/Sub/");
    EXPECT_EQ(dir_.ReadFile("dest/Deeper/deep.txt"), "deep");
}

TEST_F(CopyFilesTest, WithoutTheStructureASecondFileOfOneNameIsReportedNotCopiedOver)
{
    dir_.WriteFile("dest/top.txt", "older");
    const TCopyResult r = Copy({"Sub/mid.txt", "top.txt", "other/mid.txt"}, false);
    EXPECT_EQ(r.Copied, 2);
    EXPECT_EQ(dir_.ReadFile("dest/mid.txt"), "sub mid");
    EXPECT_EQ(dir_.ReadFile("dest/top.txt"), "top"); // an existing file is replaced
    ASSERT_EQ(r.Failures.size(), 1u);
    EXPECT_THAT(r.Failures[0], HasSubstr("other/mid.txt: not copied: a file of this name was "
                                         "copied from " +
                                         dir_ / "src/Sub/"));
    ASSERT_EQ(ui_.Shown.size(), 1u);
    EXPECT_THAT(ui_.Shown[0].Text, HasSubstr("1 file(s) could not be copied:\n"));
}

TEST_F(CopyFilesTest, FailuresKeepTheOldTargetAndEveryOneIsReported)
{
    dir_.WriteFile("dest/top.txt", "the old target");
    fs_.FailingCopies["top.txt"] = ENOSPC;
    // deep.txt was replaced after logging by a link to a file outside the tree.
    fs::remove(dir_ / "src/Sub/Deeper/deep.txt");
    dir_.WriteFile("secret", "outside");
    ::symlink((dir_ / "secret").c_str(), (dir_ / "src/Sub/Deeper/deep.txt").c_str());
    const TCopyResult r = Copy({"top.txt", "pipe", "Sub/Deeper/deep.txt", "Sub/mid.txt"}, true);
    EXPECT_EQ(r.Copied, 1);
    EXPECT_EQ(dir_.ReadFile("dest/top.txt"), "the old target");
    EXPECT_FALSE(fs::exists(dir_ / "dest/pipe"));
    EXPECT_FALSE(fs::exists(dir_ / "dest/Sub/Deeper/deep.txt"));
    EXPECT_THAT(r.Failures, ElementsAre(dir_ / "src/top.txt: No space left on device",
                                        dir_ / "src/pipe: a device, fifo or socket, not a "
                                               "regular file: not copied",
                                        dir_ / "src/Sub/Deeper/deep.txt: a symbolic link, not a "
                                               "regular file: not copied"));
    EXPECT_EQ(fs_.Copied, std::vector<std::string>{"mid.txt"});
}

TEST_F(CopyFilesTest, ALinkInTheDestinationLeadsNoCopyOutOfIt)
{
    dir_.MakeDir("elsewhere");
    ::symlink((dir_ / "elsewhere").c_str(), (dir_ / "dest/Sub").c_str());
    const TCopyResult r = Copy({"Sub/mid.txt"}, true);
    EXPECT_EQ(r.Copied, 0);
    EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere"));
    ASSERT_EQ(r.Failures.size(), 1u);
    EXPECT_THAT(r.Failures[0], HasSubstr("cannot be made"));
}

TEST_F(CopyFilesTest, TheStatusWindowShowsTheCopyAndItsCancelStopsIt)
{
    ui_.OnProcessMessages = [this] {
        EXPECT_EQ(ui_.StatusWindow.Caption, kCopyingFiles);
        EXPECT_EQ(ui_.StatusWindow.Heading, "From: " + dir_ / "src/");
        EXPECT_EQ(ui_.StatusWindow.Heading2, "To: " + dir_ / "dest/");
        EXPECT_TRUE(ui_.StatusWindow.Heading2Visible);
        ui_.StatusWindow.Stop = true; // Cancel
    };
    const TCopyResult r = Copy({"top.txt", "Sub/mid.txt"}, true);
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(r.Copied, 1);
    EXPECT_FALSE(fs::exists(dir_ / "dest/Sub"));
}

TEST(CopySettingsTest, SettingsStoreAndDestinationChecks)
{
    TempDir dir;
    TRegistry registry(dir / "registry.ini");
    TCopySettings settings;
    settings.Load(registry); // a fresh store receives the dialog's state
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
    EXPECT_EQ(registry.ReadString("CopyPath"), std::optional<std::string>(""));
    EXPECT_EQ(registry.ReadInteger("KeepStructure"), std::optional<int64_t>(1));
    TCopySettings saved{dir / "backup", false};
    saved.Save(registry);
    TCopySettings loaded;
    loaded.Load(registry);
    EXPECT_EQ(loaded.CopyPath, dir / "backup");
    EXPECT_FALSE(loaded.KeepStructure);

    TScriptedUserInterface ui;
    EXPECT_FALSE(AcceptCopyDestination("", ui));
    ui.Answers = {idNo};
    EXPECT_FALSE(AcceptCopyDestination(dir / "new/deep", ui));
    EXPECT_FALSE(fs::exists(dir / "new"));
    ui.Answers = {idYes};
    EXPECT_TRUE(AcceptCopyDestination(dir / "new/deep", ui));
    EXPECT_TRUE(fs::is_directory(dir / "new/deep"));
    EXPECT_TRUE(AcceptCopyDestination(dir / "new/deep", ui)); // exists: no question
    dir.WriteFile("plain", "");
    ui.Answers = {idYes};
    EXPECT_FALSE(AcceptCopyDestination(dir / "plain/sub", ui));
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{
                  "Invalid directory name",
                  "Directory \"" + dir / "new/deep" + "\" does not exist. OK to create",
                  "Directory \"" + dir / "new/deep" + "\" does not exist. OK to create",
                  "Directory \"" + dir / "plain/sub" + "\" does not exist. OK to create",
                  "Unable to create directory \"" + dir / "plain/sub" + "\""}));
}

} // namespace
