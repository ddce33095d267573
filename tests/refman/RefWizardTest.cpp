// The reference wizard's steps: names, paths and their cluster sizes, making the reference once
// however often the user goes back, and logging it.
#include "refman/RefWizard.h"

#include "RefManData.h"
#include "core/DirCompare.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/Volume.h"
#include "references/CompareRun.h"
#include "references/LoggingRun.h"
#include "refman/RefEditing.h"
#include "refman/RefList.h"
#include "support/FakeMounts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace vm;
using vmtest::RefManData;

namespace {

class RefWizardTest : public ::testing::Test
{
protected:
    RefWizardTest()
    {
        tree = fx.MakeTree("t");
        wizard.DisplayLog = [this](int ref, int log) { opened.push_back({ref, log}); };
    }
    // Through the pages up to the one given, with a name and one path.
    void GoTo(int page, const std::string& name = "Web server")
    {
        while (wizard.Page() < page) {
            if (wizard.Page() == 2)
                wizard.Name = name;
            if (wizard.Page() == 3 && wizard.Paths().empty()) {
                ASSERT_TRUE(wizard.AddPath(tree));
            }
            ASSERT_TRUE(wizard.Next()) << "page " << wizard.Page();
        }
    }

    RefManData fx;
    TScriptedUserInterface ui;
    TRefWizard wizard{fx.Store, ui};
    std::string tree;
    std::vector<std::pair<int, int>> opened;
};

TEST_F(RefWizardTest, TheNamePageRefusesEmptyAndTakenNamesAnyCase)
{
    fx.AddRef(0, "Web Server", {});
    GoTo(2);
    EXPECT_FALSE(wizard.Next());
    wizard.Name = "WEB SERVER";
    EXPECT_FALSE(wizard.Next());
    wizard.Name = "Line\nbreak";
    EXPECT_FALSE(wizard.Next());
    wizard.Name = "   ";
    EXPECT_FALSE(wizard.Next());
    EXPECT_EQ(wizard.Page(), 2);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Please supply a reference name",
                              "Reference name already in use - select another",
                              "Please supply a reference name", "Please supply a reference name"}));
    EXPECT_EQ(ui.Beeps, 4);
    wizard.Name = "Mail server";
    EXPECT_TRUE(wizard.Next());
    EXPECT_EQ(wizard.Page(), 3);
    EXPECT_TRUE(wizard.BackEnabled());
}

TEST_F(RefWizardTest, BackAndNextAgainUpdateTheReferenceMadeTheFirstTime)
{
    GoTo(3);
    EXPECT_FALSE(wizard.Next());
    EXPECT_EQ(ui.Texts().back(), "Please select a file system or file systems to log");
    GoTo(4, "First name");
    const int made = wizard.CreatedReference();
    ASSERT_GE(made, 0);
    wizard.Back();
    wizard.Back();
    ASSERT_EQ(wizard.Page(), 2);
    wizard.Name = "Second name"; // its own earlier name does not count as taken
    ASSERT_TRUE(wizard.Next());
    EXPECT_FALSE(wizard.AddPath(tree + "/a")); // inside the listed tree
    wizard.DeletePath(0);
    ASSERT_TRUE(wizard.AddPath(tree + "/a"));
    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(wizard.CreatedReference(), made);
    EXPECT_EQ(TIniFile(fx.Ini()).ReadSections(), std::vector<std::string>{"Ref0000"});
    EXPECT_EQ(fx.Store.RefName(made), "Second name");
    ASSERT_EQ(PathRows(fx.Store, made).size(), 1u);
    EXPECT_EQ(PathRows(fx.Store, made)[0].Caption, tree + "/a/");
}

TEST_F(RefWizardTest, WithoutLoggingNextReadsFinishAndEndsWithTheReferenceMade)
{
    GoTo(4);
    EXPECT_EQ(wizard.NextCaption(), "&Next >");
    wizard.LogNow = false;
    EXPECT_EQ(wizard.NextCaption(), "Finish");
    EXPECT_TRUE(wizard.Next());
    EXPECT_TRUE(wizard.Finished());
    EXPECT_EQ(fx.RefFiles(wizard.CreatedReference()), std::vector<std::string>{});
    EXPECT_EQ(PathRows(fx.Store, wizard.CreatedReference())[0].Caption, tree + "/");
}

TEST_F(RefWizardTest, LoggingOpensTheLogTheRunWrote)
{
    GoTo(4);
    // Another process has taken numbers of this reference meanwhile.
    TIniFile(fx.Ini()).WriteString("Ref0000", "NextLogNo", "5");
    std::vector<int> pages;
    wizard.StateChanged = [&] { pages.push_back(wizard.Page()); };
    ui.Answers = {idYes};
    EXPECT_TRUE(wizard.Next());
    EXPECT_TRUE(wizard.Finished());
    EXPECT_EQ(pages.front(), 5);
    EXPECT_EQ(ui.Texts().back(), "Log completed .. would you like to view the contents now ?");
    EXPECT_EQ(opened, (std::vector<std::pair<int, int>>{{0, 5}}));
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0005.kdf"});
}

TEST_F(RefWizardTest, CancellingTheLoggingLeavesNoLog)
{
    GoTo(4);
    bool asked = false;
    ui.OnProcessMessages = [&] {
        if (asked)
            return;
        asked = true;
        EXPECT_FALSE(wizard.BackEnabled());
        EXPECT_FALSE(wizard.NextEnabled());
        EXPECT_EQ(wizard.CancelCaption(), "Cancel log");
        ui.Answers = {idYes};
        EXPECT_FALSE(wizard.Cancel()); // stops the run; the wizard stays until it has
    };
    EXPECT_TRUE(wizard.Next());
    EXPECT_TRUE(asked);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Are you sure you want to cancel the current logging process ?",
                              "Log aborted .. you can relog later when required"}));
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(wizard.CancelCaption(), "Cancel");
}

TEST_F(RefWizardTest, TheStatusWindowThatComesUpWithTheRunStopsItTooAndGoesWithIt)
{
    GoTo(4);
    ui.OnProcessMessages = [&] {
        // What the windows' user interface does while a run works.
        ui.StatusWindow.Visible = true;
        EXPECT_EQ(ui.StatusWindow.Heading, "Now Logging :");
        ui.StatusWindow.Stop = true;
    };
    EXPECT_TRUE(wizard.Next());
    EXPECT_EQ(ui.Texts().back(), "Log aborted .. you can relog later when required");
    EXPECT_FALSE(ui.StatusWindow.Visible);
    EXPECT_TRUE(fx.RefFiles(0).empty());
}

TEST_F(RefWizardTest, APathOfUnknownClusterSizeIsOfferedOneForItsShare)
{
    vmtest::TempDir mountDir;
    vmtest::FakeMounts mounts(mountDir);
    const std::string share = mounts.Root() + "/users";
    const std::string other = mounts.Root() + "/other";
    std::filesystem::create_directories(share + "/home");
    std::filesystem::create_directories(other);
    mounts.Add(share, "nfs4", "fs1:/export/users").Add(other, "nfs4", "fs2:/data");
    TRefStore store(fx.DataDir(), mounts.Write());
    TRefWizard network(store, ui);
    network.Reset();
    ASSERT_TRUE(network.Next());
    network.Name = "Users";
    ASSERT_TRUE(network.Next());

    ui.Answers = {idYes};
    ASSERT_TRUE(network.AddPath(share + "/home"));
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Caption, "Can't detect cluster size");
    EXPECT_NE(ui.Shown[0].Text.find("nfs4 default of 32768 bytes"), std::string::npos);
    ASSERT_TRUE(network.Next());
    EXPECT_EQ(PathRows(store, network.CreatedReference())[0].Columns[0], "32768");

    // A unit the user left to choose stops the logging before it starts.
    ui.Answers = {idNo};
    network.Back();
    ASSERT_TRUE(network.AddPath(other));
    ASSERT_TRUE(network.Next());
    ui.Shown.clear();
    EXPECT_TRUE(network.Next());
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Text,
              "Log aborted .. A path you have selected has an allocation unit of ZERO!\n"
              "You can set the allocation unit manually and log later when required.");
    EXPECT_TRUE(fx.RefFiles(network.CreatedReference()).empty());
}

TEST_F(RefWizardTest, APathAddedAfterTheFirstLogLeavesTheOthersUnchangedInTheComparison)
{
    // The wizard's reference of proj then docs, logged; "&Add path ..." extra (the paths are
    // then kept in name order); logged again; the two logs compared.
    const std::string proj = fx.MakeTree("proj"), docs = fx.MakeTree("docs");
    const std::string extra = fx.MakeTree("extra");
    GoTo(3);
    ASSERT_TRUE(wizard.AddPath(proj));
    ASSERT_TRUE(wizard.AddPath(docs));
    ASSERT_TRUE(wizard.Next());
    ui.Answers = {idNo};
    ASSERT_TRUE(wizard.Next());
    const int n = wizard.CreatedReference();
    ASSERT_EQ(fx.RefFiles(n), std::vector<std::string>{"Log0001.kdf"});
    ASSERT_TRUE(CreateRefAddPath(fx.Store, ui, n, fx.Store.ReadRefPaths(n), extra));
    ASSERT_EQ(fx.Store.ReadRefPaths(n).front().Path, docs + "/");
    ASSERT_EQ(LogReference(fx.Store, ui, n, {}).LogNumber, 2);
    const std::string comparison = RunComparison(fx.Store, n, 1, 2).Path;

    TFileStream stream(comparison, TFileMode::OpenRead);
    TDirCompare file(stream);
    std::map<std::string, uint8_t> conditions;
    WalkRecords(file, [&](int32_t at, const TCompareRecord& r, const std::string&) {
        conditions[file.GetFullPath(at)] = r.Condition;
        return true;
    });
    EXPECT_EQ(conditions.at(extra), kConditionAdded);
    for (const std::string& root : {proj, docs})
        for (const std::string& path : {root, root + "/a", root + "/a/one.txt", root + "/two.bin"})
            EXPECT_EQ(conditions.at(path), kConditionBoth) << path;
    EXPECT_EQ(conditions.size(), 12u);
}

TEST_F(RefWizardTest, CancelAsksAndKeepsAReferenceAlreadyMade)
{
    GoTo(4);
    ui.Answers = {idNo, idYes};
    EXPECT_FALSE(wizard.Cancel());
    EXPECT_TRUE(wizard.Cancel());
    EXPECT_EQ(ui.Texts().back(), "Are you sure you want to cancel the new reference ?");
    EXPECT_TRUE(TIniFile(fx.Ini()).SectionExists("Ref0000"));
}

TEST_F(RefWizardTest, TheDriveSelectorOffersDiskAndNetworkMountsRootFirst)
{
    const TMountTable table =
        TMountTable::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                           "2 1 0:2 / /proc rw - proc proc rw\n"
                           "3 1 0:3 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
                           "4 1 8:2 / /srv rw - xfs /dev/sdb1 rw\n"
                           "5 1 0:5 / /mnt/fs1 rw - cifs //fs1/users rw\n"
                           "6 1 0:6 / /run rw - tmpfs tmpfs rw\n"
                           "7 1 8:3 / /boot/efi rw - vfat /dev/sda2 rw\n");
    EXPECT_EQ(WizardDrives(table),
              (std::vector<std::string>{"/", "/boot/efi", "/mnt/fs1", "/srv"}));
}

} // namespace
