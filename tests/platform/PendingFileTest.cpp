// Files written under a temporary name: what a commit does to an existing file, and what is left
// on every other way out.
#include "platform/PendingFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace vm;
using vmtest::TempDir;

namespace {

std::vector<std::string> Names(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PendingFile, CommitReplacesOrKeepsAnExistingFileAsAsked)
{
    TempDir dir;
    TPosixFileSystem fs;
    dir.WriteFile("c.kcf", "old");
    dir.WriteFile("Log0001.kdf", "a log");
    {
        TPendingFile c(fs, dir / "c.kcf", TPendingFile::TOnCommit::Replace);
        c.Stream().Write("new", 3);
        TPendingFile log(fs, dir / "Log0001.kdf", TPendingFile::TOnCommit::KeepExisting);
        log.Stream().Write("another", 7);
        EXPECT_EQ(Names(dir).size(), 4u);
        EXPECT_TRUE(TPendingFile::IsTemporaryName(Names(dir)[0])) << Names(dir)[0];
        c.Commit();
        EXPECT_THROW(log.Commit(), EWriteError); // a log written meanwhile under that name
    }
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"Log0001.kdf", "c.kcf"}));
    EXPECT_EQ(dir.ReadFile("c.kcf"), "new");
    EXPECT_EQ(dir.ReadFile("Log0001.kdf"), "a log");

    try {
        TPendingFile thrown(fs, dir / "d.kcf", TPendingFile::TOnCommit::Replace);
        throw std::runtime_error("any way out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Names(dir).size(), 2u);
    EXPECT_THROW(TPendingFile(fs, dir / "missing/x.kcf", TPendingFile::TOnCommit::Replace),
                 EFOpenError);
}

// Another instance's start-up repair comes in the moment between the creation of the temporary
// and its lock, finds it unlocked and removes it: the writer notices once it holds the lock, makes
// its file anew, and the file arrives under its name. A temporary that is locked is left alone.
TEST(PendingFile, RepairBetweenCreationAndLockCostsTheWriterNothing)
{
    TempDir dir;
    vmtest::FaultyFileSystem fs;
    int repairs = 0, removed = 0;
    fs.AfterCreate = [&](const std::string&) {
        if (repairs++ == 0)
            removed = TPendingFile::RemoveAbandoned(fs, dir.Path());
    };
    TPendingFile log(fs, dir / "Log0001.kdf", TPendingFile::TOnCommit::KeepExisting);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(repairs, 2);
    EXPECT_EQ(TPendingFile::RemoveAbandoned(fs, dir.Path()), 0);
    log.Stream().Write("complete", 8);
    log.Commit();
    EXPECT_EQ(Names(dir), std::vector<std::string>{"Log0001.kdf"});
    EXPECT_EQ(dir.ReadFile("Log0001.kdf"), "complete");
}

} // namespace
