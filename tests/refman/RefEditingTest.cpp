// Naming references, adding and removing paths and deleting references, on real directories.
#include "refman/RefEditing.h"

#include "RefManData.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "refman/RefList.h"
#include "refman/RefRuns.h"
#include "support/FakeMounts.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
using vmtest::RefManData;

namespace {

class RefEditingTest : public ::testing::Test
{
protected:
    RefEditingTest()
    {
        for (const char* d : {"t/data/sub", "t/database", "t/other"})
            std::filesystem::create_directories(fx.Root / d);
    }
    std::string T(const std::string& rest) { return fx.Root / ("t/" + rest); }
    std::vector<std::string> StoredPaths(int n)
    {
        std::vector<std::string> paths;
        for (const TRHSRow& row : PathRows(fx.Store, n))
            paths.push_back(row.Caption);
        return paths;
    }
    TRefPaths Listed(int n)
    {
        TRefPaths listed;
        for (const TRHSRow& row : PathRows(fx.Store, n))
            listed.push_back(row.Path);
        return listed;
    }

    RefManData fx;
    TScriptedUserInterface ui;
};

TEST_F(RefEditingTest, NamesHoldOneToEightyCharactersNoControlsAndNoOtherReferencesName)
{
    fx.AddRef(0, "Alpha", {});
    fx.AddRef(3, "Servers", {});
    EXPECT_EQ(CheckRefName(fx.Store, std::string(80, 'x'), 3), TRefNameCheck::Accepted);
    EXPECT_EQ(CheckRefName(fx.Store, std::string(81, 'x'), 3), TRefNameCheck::TooLong);
    std::string accents;
    for (int i = 0; i < 80; ++i)
        accents += "\xc3\xa9"; // 80 characters in 160 bytes
    EXPECT_EQ(CheckRefName(fx.Store, accents, 3), TRefNameCheck::Accepted);
    EXPECT_EQ(CheckRefName(fx.Store, "SERVERS", 3), TRefNameCheck::Accepted);
    EXPECT_EQ(CheckRefName(fx.Store, "alpha", 3), TRefNameCheck::Duplicate);
    EXPECT_EQ(CheckRefName(fx.Store, "Servers", -1), TRefNameCheck::Duplicate);
    EXPECT_EQ(CheckRefName(fx.Store, "", 3), TRefNameCheck::Empty);
    // Blanks around a name are not part of it (Volumark.ini keeps none): blanks alone are no
    // name, and blanks do not make another reference's name a new one.
    EXPECT_EQ(CheckRefName(fx.Store, "   ", 3), TRefNameCheck::Empty);
    EXPECT_EQ(CheckRefName(fx.Store, " \t ", 3), TRefNameCheck::Empty);
    EXPECT_EQ(CheckRefName(fx.Store, " Alpha  ", 3), TRefNameCheck::Duplicate);
    EXPECT_EQ(CheckRefName(fx.Store, "  " + std::string(80, 'x') + " ", 3),
              TRefNameCheck::Accepted);
    EXPECT_EQ(CheckRefName(fx.Store, "Two\nlines", 3), TRefNameCheck::Empty);
    EXPECT_EQ(CheckRefName(fx.Store, "Tab\there", 3), TRefNameCheck::Empty);
    EXPECT_EQ(RenameRefusal(TRefNameCheck::Empty), "You must type a VALID reference name");
    EXPECT_EQ(RenameRefusal(TRefNameCheck::Duplicate),
              "Reference name already used - Choose another");
}

TEST_F(RefEditingTest, NewCaptionsCountOnFromTheFirstFreeOne)
{
    EXPECT_EQ(GetNewRefCaption({}), "New Reference");
    EXPECT_EQ(GetNewRefCaption({"New Reference (2)"}), "New Reference");
    EXPECT_EQ(GetNewRefCaption({"new reference (2)", "New Reference", "Other"}),
              "New Reference (3)");
}

TEST_F(RefEditingTest, APathThatCoversListedPathsReplacesThemWhenTheUserAgrees)
{
    fx.AddRef(0, "Data", {{T("data/sub/"), "4096"}, {T("database/"), "4096"}}, "7");
    ui.Answers = {idCancel};
    EXPECT_FALSE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), T("data")));
    EXPECT_EQ(StoredPaths(0), (std::vector<std::string>{T("data/sub/"), T("database/")}));
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Text, "This directory covers directories already selected. Delete ?");
    EXPECT_EQ(ui.Shown[0].Caption, "Add error");

    // The sibling whose name begins with the new path's is not covered by it.
    ui.Answers = {idOK};
    EXPECT_TRUE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), T("data")));
    EXPECT_EQ(StoredPaths(0), (std::vector<std::string>{T("data/"), T("database/")}));
    TIniFile ini(fx.Ini());
    EXPECT_EQ(ini.ReadString("Ref0000", "NextLogNo", ""), "7");
    EXPECT_EQ(ini.ReadString("Ref0000", "Name", ""), "Data");
    EXPECT_FALSE(ini.ValueExists("Ref0000", "Path2"));
}

TEST_F(RefEditingTest, PathsInsideListedOnesOrListedAlreadyOrMissingAreRefused)
{
    fx.AddRef(0, "Data", {{T("data/"), "4096"}});
    const std::string before = fx.Root.ReadFile("data/Volumark.ini");
    EXPECT_FALSE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), T("data/sub")));
    EXPECT_FALSE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), T("data/sub/../")));
    EXPECT_FALSE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), T("missing")));
    EXPECT_FALSE(CreateRefAddPath(fx.Store, ui, 0, Listed(0), "relative/path"));
    ASSERT_EQ(ui.Shown.size(), 4u);
    EXPECT_EQ(ui.Shown[0].Text, "This directory already included in " + T("data/"));
    EXPECT_EQ(ui.Shown[1].Text, "Directory already selected");
    EXPECT_NE(ui.Shown[2].Text.find("cannot be added"), std::string::npos);
    EXPECT_NE(ui.Shown[3].Text.find("must begin with"), std::string::npos);
    EXPECT_EQ(fx.Root.ReadFile("data/Volumark.ini"), before);
}

TEST_F(RefEditingTest, AnUnknownClusterSizeIsOfferedAndNoLeavesTheUnitToBeChosen)
{
    vmtest::TempDir mountDir;
    vmtest::FakeMounts mounts(mountDir);
    const std::string share = mounts.Root() + "/nfs";
    std::filesystem::create_directories(share);
    TRefStore store(fx.DataDir(), mounts.Add(share, "nfs4", "fs1:/export").Write());
    fx.AddRef(0, "Network", {});

    ui.Answers = {idNo};
    ASSERT_TRUE(CreateRefAddPath(store, ui, 0, {}, share));
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Text,
              "Volumark cannot determine the cluster size of the path you have asked to add to "
              "the reference\nClick \"Yes\" to accept the nfs4 default of 32768 bytes, or \"No\" "
              "to choose later");
    EXPECT_EQ(ui.Shown[0].Flags, mbtn::Yes | mbtn::No | mbtn::Help);
    EXPECT_EQ(PathRows(store, 0)[0].Columns[0], "0");
    EXPECT_EQ(PathRows(store, 0)[0].Columns[1], "nfs4");

    // Logging then refuses the reference.
    TRunProgress progress(ui);
    ui.Shown.clear();
    EXPECT_FALSE(LogNow(store, ui, 0, "Network", progress, {}).Completed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "Can not log [Network] while an Allocation Unit is set to zero"});
    EXPECT_EQ(ui.Beeps, 1);

    ui.Answers = {idYes};
    ASSERT_TRUE(CreateRefAddPath(store, ui, 0, {}, share + "/"));
    EXPECT_EQ(PathRows(store, 0)[0].Columns[0], "32768");
}

TEST_F(RefEditingTest, RemovingAPathRenumbersTheOthersInOneWrite)
{
    fx.AddRef(0, "Three", {{T("data/"), "512"}, {T("database/"), "1024"}, {T("other/"), "2048"}});
    TRefPaths paths = Listed(0);
    paths.erase(paths.begin() + 1);
    ASSERT_TRUE(WriteRefPaths(fx.Store, ui, 0, paths));
    TIniFile ini(fx.Ini());
    EXPECT_EQ(ini.ReadString("Ref0000", "Path1", ""), T("other/"));
    EXPECT_EQ(ini.ReadString("Ref0000", "AllocUnit1", ""), "2048");
    EXPECT_FALSE(ini.ValueExists("Ref0000", "Path2"));
    EXPECT_FALSE(ini.ValueExists("Ref0000", "AllocUnit2"));
    EXPECT_FALSE(ini.ValueExists("Ref0000", "System2"));
    EXPECT_EQ(ini.ReadString("Ref0000", "Name", ""), "Three");
}

TEST_F(RefEditingTest, UnitsAndFileSystemsAreChosenPerPathAndRecordedInTheShareList)
{
    fx.AddRef(0, "Units", {{T("data/"), "4096"}, {T("other/"), "4096"}});
    ui.Inputs = {"0", "abc", "8192"};
    EXPECT_FALSE(AskAllocationUnit(ui, "4096"));
    EXPECT_FALSE(AskAllocationUnit(ui, "4096"));
    EXPECT_EQ(AskAllocationUnit(ui, "4096"), 8192);
    EXPECT_FALSE(AskAllocationUnit(ui, "4096")); // cancelled: no message
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Enter allocation unit:", "Allocation units must be 1 or greater!",
                              "Enter allocation unit:", "Allocation units must be 1 or greater!",
                              "Enter allocation unit:", "Enter allocation unit:"}));

    ASSERT_TRUE(EditAllocationUnit(fx.Store, ui, 0, Listed(0), 1, 8192));
    ASSERT_TRUE(EditFileSystem(fx.Store, ui, 0, Listed(0), 1, FileSystemForTag(7)));
    EXPECT_EQ(PathRows(fx.Store, 0)[1].Columns[0], "8192");
    EXPECT_EQ(PathRows(fx.Store, 0)[1].Columns[1], "xfs");
    EXPECT_EQ(PathRows(fx.Store, 0)[0].Columns[0], "4096");
    EXPECT_EQ(fx.Store.Shares().GetShareClusterSize(T("other/")), 8192);
    EXPECT_EQ(FileSystemForTag(0), "");
    EXPECT_EQ(FileSystemForTag(5), "NWFS");
}

TEST_F(RefEditingTest, DeletingAReferenceAsksFirstAndClosesItsWindowsOnlyAfterYes)
{
    fx.AddRef(2, "Doomed", {});
    fx.AddLog(2, 1, 45000.5, 10);
    fx.AddLog(2, 2, 45001.5, 20);
    fx.AddComparison(2, 1, 2);
    std::vector<int> closed;
    auto close = [&](int n) { closed.push_back(n); };

    EXPECT_EQ(DeleteReference(fx.Store, ui, 2, "Doomed", "Other", close), TRefDeletion::Refused);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please select reference before deleting"});
    ui.Answers = {idNo};
    EXPECT_EQ(DeleteReference(fx.Store, ui, 2, "Doomed", "DOOMED", close), TRefDeletion::Refused);
    EXPECT_EQ(ui.Shown.back().Text,
              "Are you sure you want to delete this Reference. All data will be lost?");
    EXPECT_EQ(ui.Shown.back().Caption, "Confirm Delete");
    EXPECT_EQ(ui.Shown.back().Flags & mb::DefMask, mb::DefButton2);
    EXPECT_TRUE(closed.empty());
    EXPECT_EQ(fx.RefFiles(2).size(), 3u);

    ui.Answers = {idYes};
    EXPECT_EQ(DeleteReference(fx.Store, ui, 2, "Doomed", "Doomed", close), TRefDeletion::Deleted);
    EXPECT_EQ(closed, std::vector<int>{2});
    EXPECT_FALSE(std::filesystem::exists(fx.RefDir(2)));
    EXPECT_FALSE(TIniFile(fx.Ini()).SectionExists("Ref0002"));
}

TEST_F(RefEditingTest, ADirectoryHoldingOtherFilesKeepsItAndItsSection)
{
    fx.AddRef(1, "Kept", {});
    fx.AddLog(1, 1, 45000.5, 10);
    fx.Root.WriteFile("data/Ref0001/notes.txt", "the administrator's own file");
    ui.Answers = {idYes};
    EXPECT_EQ(DeleteReference(fx.Store, ui, 1, "Kept", "Kept", {}), TRefDeletion::FilesOnly);
    EXPECT_EQ(fx.RefFiles(1), std::vector<std::string>{"notes.txt"});
    EXPECT_TRUE(TIniFile(fx.Ini()).SectionExists("Ref0001"));
}

TEST_F(RefEditingTest, DeleteQuestionsNameTheReferenceAndTheCount)
{
    EXPECT_EQ(DeleteLogsQuestion(1, "Web"),
              "Are you sure you want to delete this log from reference [Web] ?");
    EXPECT_EQ(DeleteLogsQuestion(3, "Web"),
              "Are you sure you want to delete 3 log(s) from reference [Web] ?");
    EXPECT_EQ(DeleteComparesQuestion(1, "Web"),
              "Are you sure you want to delete  this compare of logs from reference Web?");
    EXPECT_EQ(DeleteComparesQuestion(2, "Web"),
              "Are you sure you want to delete 2 Compare(s) of logs from reference Web?");
}

} // namespace
