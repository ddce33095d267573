// Logging and comparing as the reference manager starts them: the checks, the status window,
// the stop request, and what a stopped or failed run leaves behind.
#include "refman/RefRuns.h"

#include "RefManData.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
using vmtest::RefManData;

namespace {

class RefRunsTest : public ::testing::Test
{
protected:
    // A tree of 25 directories with a file each: more than the 19 quiet progress calls, both
    // for a scan (one per entry) and a comparison (one per directory).
    std::string Tree()
    {
        const std::string top = fx.Root / "tree";
        for (int i = 0; i < 25; ++i) {
            std::filesystem::create_directories(top + "/d" + std::to_string(i));
            fx.Root.WriteFile("tree/d" + std::to_string(i) + "/f", "x");
        }
        return top;
    }
    TRunOutcome Log(int n)
    {
        return LogNow(fx.Store, ui, n, "Ref", progress, [this](bool on) { running.push_back(on); });
    }
    TRunOutcome Compare(int n, int a, int b)
    {
        return CompareNow(fx.Store, ui, n, a, b, progress,
                          [this](bool on) { running.push_back(on); });
    }

    RefManData fx;
    TScriptedUserInterface ui;
    TRunProgress progress{ui};
    std::vector<bool> running;
};

TEST_F(RefRunsTest, ProgressIsQuietForNineteenCallsThenShortenedAndStoppable)
{
    progress.Start();
    const std::string longPath = "/srv/" + std::string(60, 'a') + "/end";
    bool stop = false;
    for (int i = 0; i < 19; ++i)
        progress.Report(longPath, stop);
    EXPECT_EQ(ui.StatusWindow.Text, "");
    EXPECT_EQ(ui.ProcessMessagesCount, 0);
    progress.Report(longPath, stop);
    EXPECT_EQ(ui.StatusWindow.Text, "/srv/aaaaaaaaaaaaaa...aaaaaaaaaaaaaaaa/end");
    EXPECT_EQ(ui.ProcessMessagesCount, 1);
    EXPECT_FALSE(stop);
    ui.StatusWindow.Stop = true;
    progress.Report(longPath, stop);
    EXPECT_TRUE(stop);
    EXPECT_TRUE(progress.StopRequested);
    progress.Start();
    EXPECT_EQ(progress.ProgressCount, 0);
    EXPECT_FALSE(progress.StopRequested);
}

TEST_F(RefRunsTest, AReferenceWithoutPathsOrUnitsIsNotLogged)
{
    fx.AddRef(0, "Empty", {});
    fx.AddRef(1, "Unset", {{Tree(), "4096"}, {fx.Root / "tree/d1", "0"}});
    EXPECT_FALSE(Log(0).Completed);
    EXPECT_FALSE(Log(1).Completed);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "No path(s) set for this reference. Volumark is unable to log",
                              "Can not log [Ref] while an Allocation Unit is set to zero"}));
    EXPECT_EQ(ui.Beeps, 1);
    EXPECT_TRUE(running.empty());
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_TRUE(fx.RefFiles(1).empty());
}

TEST_F(RefRunsTest, LogNowWritesTheNextLogWithTheStatusWindowShown)
{
    fx.AddRef(0, "Tree", {{Tree(), "4096"}}, "7");
    ui.OnProcessMessages = [this] { EXPECT_TRUE(ui.StatusWindow.Visible); };
    const TRunOutcome outcome = Log(0);
    EXPECT_TRUE(outcome.Completed);
    EXPECT_EQ(outcome.LogNumber, 7);
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0007.kdf"});
    EXPECT_EQ(ui.StatusWindow.Heading, "Now Logging :");
    EXPECT_FALSE(ui.StatusWindow.Visible);
    EXPECT_FALSE(ui.Busy);
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
    EXPECT_GT(ui.ProcessMessagesCount, 0);
}

TEST_F(RefRunsTest, DirectoriesTheScanCouldNotReadAreNamedAfterTheLog)
{
    fx.AddRef(0, "Tree", {{Tree(), "4096"}});
    vmtest::FaultyFileSystem faulty;
    faulty.UnopenableDirectories = {"d3", "d17"};
    fx.Store.SetFileSystem(faulty);
    const TRunOutcome outcome = Log(0);
    EXPECT_TRUE(outcome.Completed);
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Kind, "MessageDlg");
    EXPECT_EQ(ui.Shown[0].Text,
              "2 directories could not be read; the log holds them as empty directories:\n"
              "cannot read " +
                  fx.Root / "tree/d17" +
                  ": Permission denied\n"
                  "cannot read " +
                  fx.Root / "tree/d3" + ": Permission denied");
    EXPECT_FALSE(ui.StatusWindow.Visible); // the message comes after the status window went
}

TEST_F(RefRunsTest, AStoppedRunLeavesNoLogAndAnotherProcesssLogAlone)
{
    fx.AddRef(0, "Tree", {{Tree(), "4096"}});
    // Another process took log 1 and wrote it just before this run took its number.
    TRefStore other(fx.DataDir());
    ASSERT_EQ(other.TakeNextLogNumber(0), 1);
    fx.AddLog(0, 1, 45000.5, 100);
    ui.OnProcessMessages = [this] { ui.StatusWindow.Stop = true; };
    const TRunOutcome outcome = Log(0);
    EXPECT_TRUE(outcome.Stopped);
    EXPECT_FALSE(outcome.Completed);
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
    EXPECT_EQ(TIniFile(fx.Ini()).ReadString("Ref0000", "NextLogNo", ""), "3");
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
}

TEST_F(RefRunsTest, ComparisonsTakeTheLowerNumberAsTheOldLog)
{
    fx.AddRef(0, "Tree", {{Tree(), "4096"}});
    fx.AddLog(0, 1, 45000.5, 100);
    fx.AddLog(0, 3, 45001.5, 300);
    const TRunOutcome outcome = Compare(0, 3, 1);
    EXPECT_TRUE(outcome.Completed);
    EXPECT_EQ(fx.RefFiles(0),
              (std::vector<std::string>{"00010003.kcf", "Log0001.kdf", "Log0003.kdf"}));
    EXPECT_EQ(ui.StatusWindow.Heading, "Now Comparing :");
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
}

TEST_F(RefRunsTest, AStoppedComparisonLeavesNoFile)
{
    fx.AddRef(0, "Tree", {{Tree(), "4096"}});
    ASSERT_TRUE(Log(0).Completed);
    ASSERT_TRUE(Log(0).Completed);
    ui.OnProcessMessages = [this] { ui.StatusWindow.Stop = true; };
    const TRunOutcome outcome = Compare(0, 1, 2);
    EXPECT_TRUE(outcome.Stopped);
    EXPECT_EQ(fx.RefFiles(0), (std::vector<std::string>{"Log0001.kdf", "Log0002.kdf"}));
}

TEST_F(RefRunsTest, AComparisonThatCannotStartLeavesAnEarlierOneOfThatName)
{
    fx.AddRef(0, "Tree", {});
    fx.AddLog(0, 1, 45000.5, 100);
    fx.AddLog(0, 2, 45001.5, 200);
    fx.AddComparison(0, 1, 2);
    std::filesystem::remove(fx.Store.LogFileName(0, 1));
    const TRunOutcome outcome = Compare(0, 1, 2);
    EXPECT_FALSE(outcome.Completed);
    EXPECT_FALSE(outcome.Stopped);
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Kind, "MessageDlg");
    EXPECT_NE(ui.Shown[0].Text.find("old log"), std::string::npos);
    EXPECT_EQ(fx.RefFiles(0), (std::vector<std::string>{"00010002.kcf", "Log0002.kdf"}));
    EXPECT_FALSE(ui.StatusWindow.Visible);
}

} // namespace
