// The directory deletion dialog's work over a real tree: what it counts, the two checks, the
// deletion of everything the directory holds now, a stop in the middle, and links planted since
// the log, which lead no check and no deletion outside the tree.
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "fileops/DirectoryDeletion.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utime.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace {

namespace fs = std::filesystem;

// data/ [keep.txt, old/ [a.txt, b.txt, deep/ [c.txt]]] logged with unit 4096; outside/ [s.txt].
class DirectoryDeletionTest : public ::testing::Test
{
protected:
    DirectoryDeletionTest()
    {
        dir_.MakeDir("data/old/deep");
        dir_.MakeDir("outside");
        for (const char* name : {"keep.txt", "old/a.txt", "old/b.txt", "old/deep/c.txt"})
            dir_.WriteFile(std::string("data/") + name, name);
        dir_.WriteFile("outside/s.txt", "not ours");
        Scan();
        progress_ = {[this](const std::string& t) { labels_.push_back(t); },
                     [this](int p) { bar_ = p; },
                     [this](const std::string& line) { lines_.push_back(line); }, [] {},
                     [this] { return stopWhen_ && stopWhen_(); }};
    }
    void Scan()
    {
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        log_->BuildLog({{D(""), 4096}});
    }
    std::string D(const std::string& name) const { return dir_ / ("data/" + name); }
    int32_t At(const std::string& name) { return log_->FindPath(D(name)); }
    std::set<std::string> Marked()
    {
        std::set<std::string> out;
        TDirNode node;
        std::string name;
        for (TLogWalk all = TLogWalk::AllRecords(*log_); all.Next(node, name);)
            if (node.Tags & kTagDeleted)
                out.insert(log_->GetFullPath(all.Offset()));
        return out;
    }
    TDirectoryDeletion Prepared(const std::string& name)
    {
        TDirectoryDeletion work;
        work.Prepare(*log_, At(name), fs_);
        return work;
    }

    TempDir dir_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    FaultyFileSystem fs_;
    TDirectoryProgress progress_;
    std::vector<std::string> labels_, lines_;
    int bar_ = 0;
    std::function<bool()> stopWhen_;
};

TEST_F(DirectoryDeletionTest, TheChecksTellWhatChangedSinceTheLog)
{
    TDirectoryDeletion work = Prepared("old");
    EXPECT_EQ(work.InfoText(TLocale::Classic()),
              "About to delete 1 directories containing 3 files totalling 20 KB in size from " +
                  D("old"));
    EXPECT_TRUE(work.CheckModified(progress_));
    EXPECT_THAT(lines_, IsEmpty());
    EXPECT_EQ(bar_, 0); // fewer than ten entries: no step of the bar yet

    fs::remove(D("old/a.txt"));
    struct utimbuf past = {1000000000, 1000000000};
    ::utime(D("old/b.txt").c_str(), &past);
    dir_.WriteFile("data/old/deep/new.txt", "new");
    EXPECT_TRUE(work.CheckModified(progress_));
    EXPECT_TRUE(work.CheckNew(progress_));
    EXPECT_THAT(lines_,
                ElementsAre("Deleted file - " + D("old/a.txt"), "Updated file - " + D("old/b.txt"),
                            "New file - " + D("old/deep/new.txt")));
    // A stop asked during a check ends it.
    stopWhen_ = [] { return true; };
    EXPECT_FALSE(work.CheckNew(progress_));
}

TEST_F(DirectoryDeletionTest, TheDeletionTakesWhatTheDirectoryHoldsNowAndMarksTheLog)
{
    dir_.WriteFile("data/old/new.txt", "not in the log");
    ::symlink((dir_ / "outside").c_str(), D("old/deep/planted").c_str());
    fs::remove(D("old/a.txt"));
    TDirectoryDeletion work = Prepared("old");
    TDirNode node;
    std::string name;
    log_->ReadNode(At("old"), node, name);
    const int64_t before = node.Allocated;

    const TDirectoryDeleted done = work.Delete(false, progress_);
    EXPECT_TRUE(done.Ran);
    EXPECT_FALSE(done.Stopped);
    EXPECT_TRUE(done.DirectoryMarked);
    EXPECT_EQ(done.DeletedSpace, before);
    EXPECT_THAT(done.NotDeleted, IsEmpty());
    EXPECT_FALSE(fs::exists(D("old")));
    EXPECT_EQ(dir_.ReadFile("outside/s.txt"), "not ours"); // the link went, not its target
    EXPECT_TRUE(fs::exists(D("keep.txt")));
    EXPECT_THAT(Marked(), UnorderedElementsAre(D("old"), D("old/a.txt"), D("old/b.txt"),
                                               D("old/deep"), D("old/deep/c.txt")));
    EXPECT_EQ(bar_, 100);
}

TEST_F(DirectoryDeletionTest, AStoppedDeletionDeletesNothingMoreButMarksExactlyWhatIsGone)
{
    for (int i = 0; i < 40; ++i)
        dir_.WriteFile("data/old/deep/f" + std::to_string(i), "f");
    Scan();
    stopWhen_ = [this] { return fs_.Removed.size() >= 5; };
    const TDirectoryDeleted done = Prepared("old").Delete(true, progress_);
    EXPECT_TRUE(done.Ran && done.Stopped);
    EXPECT_FALSE(done.DirectoryMarked);
    EXPECT_EQ(fs_.Removed.size(), 5u);
    std::set<std::string> gone;
    for (const std::string& name : fs_.Removed)
        gone.insert(D("old/deep/" + name));
    EXPECT_EQ(Marked(), gone);
    EXPECT_EQ(done.DeletedSpace, 5 * 4096);
    EXPECT_TRUE(fs::exists(D("old/deep/c.txt")) || fs::exists(D("old/a.txt")));
}

TEST_F(DirectoryDeletionTest, ADirectoryReplacedByALinkIsNeitherCheckedThroughNorDeleted)
{
    fs::remove_all(D("old"));
    fs::create_directory_symlink(dir_ / "outside", D("old"));
    TDirectoryDeletion work = Prepared("old");
    EXPECT_TRUE(work.CheckNew(progress_));
    EXPECT_THAT(lines_, IsEmpty()); // nothing of outside/ is listed as new
    EXPECT_TRUE(work.CheckModified(progress_));
    EXPECT_THAT(lines_, ::testing::Each(::testing::StartsWith("Deleted file - ")));
    const TDirectoryDeleted done = work.Delete(true, progress_);
    EXPECT_FALSE(done.Ran);
    EXPECT_THAT(done.NotDeleted,
                ElementsAre(D("old") + ": a symbolic link stands there now, not the directory "
                                       "this log lists; nothing was deleted"));
    EXPECT_EQ(dir_.ReadFile("outside/s.txt"), "not ours");
    EXPECT_THAT(Marked(), IsEmpty());
}

TEST_F(DirectoryDeletionTest, ADirectoryDeeperThanALogsRootRecordHoldsIsCheckedAndDeleted)
{
    // Its path is longer than a log's root record can hold; the scans of the checks and of the
    // deletion see it from its parent.
    std::string deep = "old";
    for (int i = 0; i < 5; ++i)
        deep += "/" + std::string(60, char('a' + i));
    fs::create_directories(D(deep + "/inner"));
    dir_.WriteFile("data/" + deep + "/f", "f");
    Scan();
    ASSERT_GT(D(deep).size(), 259u);
    dir_.WriteFile("data/" + deep + "/inner/new", "n");
    TDirectoryDeletion work = Prepared(deep);
    EXPECT_TRUE(work.CheckNew(progress_));
    EXPECT_THAT(lines_, ElementsAre("New file - " + D(deep + "/inner/new")));
    const TDirectoryDeleted done = work.Delete(false, progress_);
    EXPECT_TRUE(done.Ran && done.DirectoryMarked);
    EXPECT_THAT(done.NotDeleted, IsEmpty());
    EXPECT_FALSE(fs::exists(D(deep)));
    EXPECT_TRUE(fs::exists(D("old/a.txt")));
}

} // namespace
