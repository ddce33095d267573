#include "references/LoggingRun.h"

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "platform/IniFile.h"
#include "platform/PendingFile.h"
#include "platform/ScriptedUserInterface.h"
#include "support/FaultyFileSystem.h"
#include "support/LogInvariants.h"
#include "support/RefFixture.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm;
using vmtest::RefFixture;

namespace {
class LoggingRunTest : public ::testing::Test
{
protected:
    std::string NextLogNo(int n)
    {
        return TIniFile(fx.Ini()).ReadString(RefSectionName(n), "NextLogNo", "absent");
    }

    RefFixture fx;
    TScriptedUserInterface ui;
    TRefStore store{fx.DataDir()};
};
} // namespace

TEST_F(LoggingRunTest, FirstRunWithoutNextLogNoWritesLogOneAndLeavesTwo)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "4096"}});
    ASSERT_EQ(NextLogNo(0), "absent");
    bool inProgress = false;
    TLogRunResult r = LogReference(store, ui, 0, [this, &inProgress](const std::string&, bool&) {
        inProgress = ui.LoggingInProgress;
    });
    EXPECT_TRUE(inProgress);
    EXPECT_FALSE(r.Refused);
    EXPECT_FALSE(r.Stopped);
    EXPECT_EQ(r.LogNumber, 1);
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
    EXPECT_EQ(NextLogNo(0), "2");
    EXPECT_FALSE(ui.LoggingInProgress);

    // The log is complete: sound links, totals, and the twelve tag names.
    TFileStream file(r.Path, TFileMode::OpenRead);
    TDirStorage log(file);
    EXPECT_TRUE(vmtest::LogFaults(log, {4096}).empty());
    std::string name;
    ASSERT_TRUE(log.GetTagName(12, name));
    EXPECT_EQ(name, "Rubbish Bin");
    TLogTotals totals = LogTotals(store, 0, 1);
    EXPECT_EQ(totals.Size, 5100);
    // 100 bytes take one unit, 5000 bytes two, and the directory a/ one of its own.
    EXPECT_EQ(totals.Allocated, 4 * 4096);
    EXPECT_GT(LogDate(store, 0, 1), 40000.0);
}

TEST_F(LoggingRunTest, MissingUnitIsRefusedBeforeAnyFileIsWritten)
{
    fx.AddRef(0, "Two paths", {{fx.MakeTree("t1"), "4096"}, {fx.MakeTree("t2"), "0"}}, "5");
    TLogRunResult r = LogReference(store, ui, 0, {});
    EXPECT_TRUE(r.Refused);
    EXPECT_EQ(r.LogNumber, -1);
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_EQ(NextLogNo(0), "5");
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(ui.Texts()[0], "Can not log this Ref\nAllocation unit not set");
    EXPECT_FALSE(ui.LoggingInProgress);

    // A reference without paths reads as one path with unit "0" and is refused the same way.
    fx.AddRef(1, "Empty", {});
    EXPECT_TRUE(LogReference(store, ui, 1, {}).Refused);

    // Units that are not whole numbers from 1 to 2^31-1 are not set: nothing is logged with 0.
    for (const char* bad : {"-512", "99999999999", "4k"}) {
        fx.AddRef(2, "Bad unit", {{fx.MakeTree("t3"), bad}}, "1");
        EXPECT_TRUE(LogReference(store, ui, 2, {}).Refused) << bad;
        EXPECT_TRUE(fx.RefFiles(2).empty()) << bad;
        EXPECT_EQ(NextLogNo(2), "1") << bad;
    }
}

// A top-level path that is missing (a share not mounted) or is a file would log as an empty root,
// and the next comparison would read everything under it as deleted: no log is written, and the
// message names the path. One that goes away between the check and the scan is caught by the scan.
TEST_F(LoggingRunTest, TopLevelPathMissingOrNotADirectoryWritesNoLog)
{
    const std::string tree = fx.MakeTree("t");
    fx.Root.WriteFile("trees/file", "not a directory");
    for (const auto& [path, why] :
         {std::pair{fx.Root / "trees/unmounted", "No such file or directory"},
          std::pair{fx.Root / "trees/file", "Not a directory"}}) {
        ui.Shown.clear();
        fx.AddRef(0, "Servers", {{tree, "4096"}, {path, "4096"}}, "4");
        TLogRunResult r = LogReference(store, ui, 0, {});
        EXPECT_TRUE(r.Refused) << path;
        EXPECT_EQ(r.Refusal, "The path " + path + "/ cannot be read: " + why);
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Can not log this Ref\n" + r.Refusal});
        EXPECT_TRUE(fx.RefFiles(0).empty());
        EXPECT_EQ(NextLogNo(0), "4");
    }

    // The path is there for the check, and gone when the scan opens it.
    fx.AddRef(1, "Racing", {{tree, "4096"}});
    vmtest::FaultyFileSystem fs;
    store.SetFileSystem(fs);
    int opens = 0;
    fs.Inject = [&](const std::string& op, const std::string& path) {
        return op == "open" && path.starts_with(tree) && ++opens == 2 ? ENOENT : 0;
    };
    ui.Shown.clear();
    TLogRunResult r = LogReference(store, ui, 1, {});
    EXPECT_EQ(opens, 2);
    EXPECT_TRUE(r.Refused);
    EXPECT_EQ(r.Refusal, "The path " + tree + "/ cannot be read: No such file or directory");
    EXPECT_TRUE(fx.RefFiles(1).empty());
    EXPECT_EQ(NextLogNo(1), "2");
}

// A NextLogNo edited to something that names no log the store lists again ("Log1215752191.kdf",
// "Log-2147483648.kdf", "Log00-5.kdf" were written before) is repaired to one above the newest
// log, and the run says so.
TEST_F(LoggingRunTest, NextLogNoThatNamesNoLogIsRepairedWithAMessage)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "4096"}}, "3");
    ASSERT_EQ(LogReference(store, ui, 0, {}).LogNumber, 3);
    int expected = 4;
    for (const char* bad : {"99999999999", "2147483648", "-5", "0", "twelve"}) {
        TIniFile(fx.Ini()).WriteString("Ref0000", "NextLogNo", bad);
        ui.Shown.clear();
        TLogRunResult r = LogReference(store, ui, 0, {});
        EXPECT_EQ(r.LogNumber, expected) << bad;
        EXPECT_EQ(store.LastLogNumber(0), expected) << bad;
        EXPECT_EQ(NextLogNo(0), std::to_string(expected + 1)) << bad;
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                                  "NextLogNo \"" + std::string(bad) +
                                  "\" of this Ref is no log number (1 to 999999999): log " +
                                  std::to_string(expected) + " is written, one above the newest"});
        ++expected;
    }
}

TEST_F(LoggingRunTest, ExistingLogFileIsNeverOverwritten)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "1"}});
    fx.Root.WriteFile("data/Ref0000/Log0001.kdf", "keep me");
    TLogRunResult r = LogReference(store, ui, 0, {});
    EXPECT_EQ(r.LogNumber, 2);
    EXPECT_EQ(fx.Root.ReadFile("data/Ref0000/Log0001.kdf"), "keep me");
    EXPECT_EQ(NextLogNo(0), "3");
}

// A stop, an exception from the handler, a full disk and a directory that vanishes before the
// log takes its name: none leaves a file, and no number is used twice.
TEST_F(LoggingRunTest, StoppedFailingAndThrowingRunsLeaveNoFile)
{
    std::string tree = fx.MakeTree("t");
    for (int i = 0; i < 5; ++i)
        fx.Root.MakeDir("trees/t/d" + std::to_string(i));
    fx.AddRef(0, "Servers", {{tree, "512"}});
    TLogRunResult r =
        LogReference(store, ui, 0, [](const std::string&, bool& stop) { stop = true; });
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(r.LogNumber, 1);
    EXPECT_EQ(r.Path, "");
    EXPECT_TRUE(fx.RefFiles(0).empty());

    EXPECT_THROW(LogReference(store, ui, 0,
                              [](const std::string&, bool&) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_FALSE(ui.LoggingInProgress);

    vmtest::FaultyFileSystem fs;
    store.SetFileSystem(fs);
    fs.DiskSpace = 500;
    EXPECT_THROW(LogReference(store, ui, 0, {}), EWriteError);
    EXPECT_TRUE(fx.RefFiles(0).empty());
    fs.DiskSpace = -1;
    fs.Inject = [](const std::string& op, const std::string&) {
        return op == "rename" ? ENOENT : 0;
    };
    EXPECT_THROW(LogReference(store, ui, 0, {}), EWriteError);
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_EQ(NextLogNo(0), "5");
}

// kill -9 in the middle of a scan, in a real child process: no file under a log's name. While the
// writer lives the start-up repair leaves its temporary alone; once it is gone it removes it.
TEST_F(LoggingRunTest, KilledRunLeavesNoLogAndTheNextStartRemovesItsTemporary)
{
    std::string tree = fx.MakeTree("t");
    for (int i = 0; i < 50; ++i)
        fx.Root.MakeDir("trees/t/d" + std::to_string(i));
    fx.AddRef(0, "Servers", {{tree, "4096"}});
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        TScriptedUserInterface childUi;
        int calls = 0;
        LogReference(TRefStore(fx.DataDir()), childUi, 0, [&](const std::string&, bool&) {
            if (++calls == 20) {
                char c = 'x';
                if (write(ready[1], &c, 1) == 1)
                    for (;;)
                        pause();
            }
        });
        _exit(1);
    }
    close(ready[1]);
    char c = 0;
    bool midway = read(ready[0], &c, 1) == 1;
    close(ready[0]);
    std::vector<std::string> during = fx.RefFiles(0);
    store.ReconcileRefs();
    std::vector<std::string> afterRepair = fx.RefFiles(0);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(midway) << "the child did not reach the middle of its scan";

    ASSERT_EQ(during.size(), 1u);
    EXPECT_TRUE(TPendingFile::IsTemporaryName(during[0])) << during[0];
    EXPECT_EQ(afterRepair, during) << "the repair removed a temporary that is still written";
    EXPECT_EQ(fx.RefFiles(0), during);
    EXPECT_EQ(store.LastLogNumber(0), -1);
    store.ReconcileRefs();
    EXPECT_TRUE(fx.RefFiles(0).empty());
    EXPECT_EQ(NextLogNo(0), "2");
}

TEST_F(LoggingRunTest, MissingReferenceDirectoryRaisesAndAdvancesNextLogNo)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "512"}});
    std::filesystem::remove_all(fx.RefDir(0));
    // Without its directory a reference has no paths to check; creating its log fails.
    EXPECT_THROW(LogReference(store, ui, 0, {}), EStreamError);
    EXPECT_EQ(NextLogNo(0), "2");
    EXPECT_EQ(LogTotals(store, 0, 1).Allocated, 0);
    EXPECT_EQ(LogDate(store, 0, 1), 0.0);
}

TEST_F(LoggingRunTest, TwoProcessesLoggingAtOnceWriteTwoCompleteLogs)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "4096"}});
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TScriptedUserInterface childUi;
            TLogRunResult r = LogReference(TRefStore(fx.DataDir()), childUi, 0, {});
            _exit(r.LogNumber == 1 || r.LogNumber == 2 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(fx.RefFiles(0), (std::vector<std::string>{"Log0001.kdf", "Log0002.kdf"}));
    EXPECT_EQ(NextLogNo(0), "3");
    for (int m : {1, 2}) {
        TFileStream file(store.LogFileName(0, m), TFileMode::OpenRead);
        TDirStorage log(file);
        EXPECT_TRUE(vmtest::LogFaults(log, {4096}).empty()) << m;
    }
}

TEST_F(LoggingRunTest, AFolderTakesTheDiskSpaceAReferenceLogOfTheSameTreeShows)
{
    std::string tree = fx.MakeTree("t");
    const int32_t unit = store.ResolveRefPath(tree, 0, "").Unit;
    if (unit <= 1)
        GTEST_SKIP() << "the volume of " << tree << " has no allocation unit above one byte";
    fx.AddRef(0, "Same tree", {{tree, std::to_string(unit)}});
    const TLogRunResult logged = LogReference(store, ui, 0, {});
    TFileStream file(logged.Path, TFileMode::OpenRead);
    TDirStorage reference(file);

    std::unique_ptr<TMemoryStream> stream = LogFolder(store, ui, tree, {});
    ASSERT_TRUE(stream);
    TDirStorage folder(*stream);
    std::vector<vmtest::LoggedRecord> records = vmtest::AllRecords(folder);
    ASSERT_EQ(records.size(), 4u); // the root, a/, a/one.txt, two.bin
    EXPECT_EQ(records[0].Name, tree + "/");
    const TDirNode root = vmtest::AllRecords(reference)[0].Node;
    EXPECT_EQ(records[0].Node.Size, root.Size);
    EXPECT_EQ(records[0].Node.Allocated, root.Allocated);
    EXPECT_GT(root.Allocated, root.Size);
    EXPECT_TRUE(vmtest::LogFaults(folder, {unit}).empty());
    EXPECT_EQ(LogFolder(store, ui, "", {}), nullptr);
}
