// A log's operations on the disk it describes: deleting a tree and marking it in the log, and
// checking a tree against the disk.
#include "core/DirStorage.h"
#include "support/FaultyFileSystem.h"
#include "support/LogInvariants.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

bool Exists(const std::string& path)
{
    struct stat st = {};
    return lstat(path.c_str(), &st) == 0;
}

// t/ [keep, sub/ [a, deeper/ [b]], other/ [c]] scanned with unit 4096.
class LogDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_.MakeDir("t/sub/deeper");
        dir_.MakeDir("t/other");
        dir_.WriteFile("t/keep", "k");
        dir_.WriteFile("t/sub/a", std::string(5000, 'a'));
        dir_.WriteFile("t/sub/deeper/b", "bb");
        dir_.WriteFile("t/other/c", "c");
        Scan();
    }
    void Scan()
    {
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        log_->BuildLog({{T(""), 4096}});
    }
    std::string T(const std::string& name) const { return dir_ / ("t/" + name); }
    int32_t At(const std::string& name) { return name.empty() ? 40 : log_->FindPath(T(name)); }
    TDirNode Node(const std::string& name)
    {
        TDirNode n;
        std::string s;
        EXPECT_TRUE(log_->ReadNode(At(name), n, s)) << name;
        return n;
    }
    // The records marked deleted, by full path.
    std::vector<std::string> Marked()
    {
        std::vector<std::string> out;
        for (const LoggedRecord& r : AllRecords(*log_))
            if (r.Node.Tags == kTagDeleted)
                out.push_back(r.Path.substr(dir_.Path().size() + 1));
        return out;
    }

    TempDir dir_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
};

TEST_F(LogDiskTest, DeletesContentsBeforeTheirDirectoryAndMarksEveryRecord)
{
    std::vector<std::string> texts;
    log_->SetStatusEvent([&texts](const std::string& t, bool&) { texts.push_back(t); });
    int64_t rootBefore = Node("").Allocated;
    int64_t subAllocated = Node("sub").Allocated;
    log_->DeleteTree(At("sub"), {.UpdateLog = true});
    EXPECT_FALSE(Exists(T("sub")));
    EXPECT_TRUE(Exists(T("keep")));
    EXPECT_THAT(Marked(), ElementsAre("t/sub", "t/sub/a", "t/sub/deeper", "t/sub/deeper/b"));
    // The log lives in memory: the texts say "Deleting", last record first.
    EXPECT_THAT(texts,
                ElementsAre("Preparing to delete", "Preparing to delete", "Preparing to delete",
                            "Deleting " + T("sub/deeper/b"), "Deleting " + T("sub/deeper"),
                            "Deleting " + T("sub/a"), "Deleting " + T("sub")));
    // Update log: each deleted record's space goes, from its ancestors too; sizes stay.
    EXPECT_EQ(Node("sub").Allocated, 0);
    EXPECT_EQ(Node("sub/a").Allocated, 0);
    EXPECT_EQ(Node("sub").Size, 5002);
    EXPECT_EQ(Node("").Allocated, rootBefore - subAllocated);
}

TEST_F(LogDiskTest, WithoutUpdateLogOnlyTheMarksChange)
{
    int64_t before = Node("").Allocated;
    log_->DeleteTree(At("other"), {});
    EXPECT_FALSE(Exists(T("other")));
    EXPECT_THAT(Marked(), ElementsAre("t/other", "t/other/c"));
    EXPECT_EQ(Node("").Allocated, before);
    EXPECT_EQ(Node("other/c").Allocated, 4096);
}

TEST_F(LogDiskTest, MissingEntriesCountAsDeletedOnlyWhenAsked)
{
    unlink(T("sub/a").c_str());
    log_->DeleteTree(At("sub"), {});
    EXPECT_THAT(Marked(), ElementsAre("t/sub", "t/sub/deeper", "t/sub/deeper/b"));
    unlink(T("other/c").c_str());
    rmdir(T("other").c_str());
    log_->DeleteTree(At("other"), {.MissingCountsAsDeleted = true});
    EXPECT_THAT(Marked(),
                ElementsAre("t/other", "t/other/c", "t/sub", "t/sub/deeper", "t/sub/deeper/b"));
}

TEST_F(LogDiskTest, AStopWhileCollectingDeletesNothingAndAStopLaterKeepsTheRest)
{
    log_->SetStatusEvent([](const std::string&, bool& stop) { stop = true; });
    log_->DeleteTree(At("sub"), {.UpdateLog = true, .MissingCountsAsDeleted = true});
    EXPECT_TRUE(Exists(T("sub/deeper/b")));
    EXPECT_THAT(Marked(), IsEmpty());
    int calls = 0;
    log_->SetStatusEvent([&calls](const std::string& t, bool& stop) { stop = ++calls == 5; });
    log_->DeleteTree(At("sub"), {.UpdateLog = true, .MissingCountsAsDeleted = true});
    EXPECT_FALSE(Exists(T("sub/deeper/b")));
    EXPECT_TRUE(Exists(T("sub/deeper")));
    EXPECT_THAT(Marked(), ElementsAre("t/sub/deeper/b"));
}

TEST_F(LogDiskTest, FileStreamLogsSayTheyAreMarking)
{
    std::string file = dir_ / "log.kdf";
    stream_.SaveToFile(file);
    TFileStream fs(file, TFileMode::OpenReadWrite);
    TDirStorage log(fs);
    std::vector<std::string> texts;
    log.SetStatusEvent([&texts](const std::string& t, bool&) { texts.push_back(t); });
    log.DeleteTree(log.FindPath(T("other")), {});
    EXPECT_EQ(texts.back(), "Marking file as deleted : " + T("other"));
}

TEST_F(LogDiskTest, ForceClearsTheReadOnlyAttributeOfTheEntryOrOfItsDirectory)
{
    FaultyFileSystem fs;
    log_->SetFileSystem(fs);
    fs.ReadOnlyNames = {"b"};
    fs.NamesInReadOnlyDirectory = {{"c", "other"}};
    log_->DeleteTree(At("sub"), {});
    log_->DeleteTree(At("other"), {});
    EXPECT_TRUE(Exists(T("sub/deeper/b")));
    EXPECT_TRUE(Exists(T("other/c")));
    EXPECT_THAT(Marked(), ElementsAre("t/sub/a")); // deeper and sub are not empty
    chmod(T("sub/deeper/b").c_str(), 0444);
    log_->DeleteTree(At("sub"), {.Force = true});
    log_->DeleteTree(At("other"), {.Force = true});
    EXPECT_FALSE(Exists(T("sub")));
    EXPECT_FALSE(Exists(T("other")));
    EXPECT_THAT(fs.ClearedReadOnly, ElementsAre("b", "other"));
}

// After logging, a directory of the tree is replaced by a link to a directory outside it that
// holds the same names. Deleting the tree must remove nothing behind the link.
TEST_F(LogDiskTest, LinkPlantedAfterLoggingNeverLeadsADeletionOutside)
{
    TempDir outside;
    outside.MakeDir("deeper");
    outside.WriteFile("a", "precious");
    outside.WriteFile("deeper/b", "precious");
    ASSERT_EQ(system(("rm -r '" + T("sub") + "'").c_str()), 0);
    ASSERT_EQ(symlink(outside.Path().c_str(), T("sub").c_str()), 0);
    log_->DeleteTree(40, {.Force = true, .UpdateLog = true, .MissingCountsAsDeleted = true});
    EXPECT_TRUE(Exists(outside / "a"));
    EXPECT_TRUE(Exists(outside / "deeper/b"));
    // The link itself was logged as a directory: what stands there now is no directory.
    EXPECT_FALSE(Exists(T("keep")));
    EXPECT_FALSE(Exists(T("other")));
}

TEST(LogDiskNamesTest, NamesThatClimbOutOfTheTreeAreNeverFollowed)
{
    TempDir dir;
    dir.MakeDir("t");
    dir.WriteFile("victim", "precious");
    TMemoryStream s(
        SyntheticLog().Root(dir / "t/").File("..", 1).Dir("..").File("victim", 1).Log());
    TDirStorage log(s);
    log.DeleteTree(40, {.Force = true, .UpdateLog = true});
    EXPECT_TRUE(Exists(dir / "victim"));
}

class VerifyTreeTest : public LogDiskTest
{
protected:
    std::vector<std::string> Messages(int32_t at, int stopAfter = 0)
    {
        std::vector<std::string> out;
        log_->VerifyTree(at, [&](const std::string& m, bool& stop) {
            out.push_back(m);
            stop = static_cast<int>(out.size()) == stopAfter;
        });
        return out;
    }
};

TEST_F(VerifyTreeTest, ReportsUpdatedDeletedAndUnchangedEntries)
{
    struct timespec later[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, T("sub/a").c_str(), later, 0), 0);
    unlink(T("sub/deeper/b").c_str());
    ASSERT_EQ(utimensat(AT_FDCWD, T("sub/deeper").c_str(), later, 0), 0);
    int32_t sub = At("sub");
    stream_.Seek(3, TSeekOrigin::Begin);
    EXPECT_THAT(Messages(sub),
                ElementsAre("Updated file - " + T("sub/a"), "Updated file - " + T("sub/deeper"),
                            "Deleted file - " + T("sub/deeper/b")));
    EXPECT_EQ(stream_.Position(), 3);
    EXPECT_THAT(Messages(At("other")), ElementsAre(""));
    EXPECT_THAT(Messages(At("sub"), 1), ElementsAre("Updated file - " + T("sub/a")));
    EXPECT_THAT(Messages(At("keep")), IsEmpty()); // a file is no tree
    log_->VerifyTree(At("sub"), nullptr);
}

// Names on Linux are exact, so one path names one entry at the most; a double stands in for a
// file system that finds more than one.
TEST_F(VerifyTreeTest, MoreThanOneMatchIsAmbiguous)
{
    FaultyFileSystem fs;
    fs.MatchCounts[T("other/c")] = 2;
    log_->SetFileSystem(fs);
    EXPECT_THAT(Messages(At("other")), ElementsAre("Ambiguous file - " + T("other/c")));
}

} // namespace
