// What a tree deletion hands back and leaves in the log: the space of what went, counted once
// with and without the log's totals changed; entries marked before, neither deleted nor counted
// again; the marking of what is gone without deleting anything; and what stands in the place of
// a logged entry now, left and named.
#include "core/DirStorage.h"
#include "core/LogDiskOperations.h"
#include "support/FaultyFileSystem.h"
#include "support/LogInvariants.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

// t/ [keep, sub/ [a (5000), deeper/ [b (2)]]] scanned with unit 4096: sub holds 20480 bytes
// (its unit, 8 KB of a, deeper's unit and 4 KB of b).
class DeleteTreeResultTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_.MakeDir("t/sub/deeper");
        dir_.WriteFile("t/keep", "k");
        dir_.WriteFile("t/sub/a", std::string(5000, 'a'));
        dir_.WriteFile("t/sub/deeper/b", "bb");
        log_.BuildLog({{T(""), 4096}});
        log_.SetFileSystem(fs_);
    }
    std::string T(const std::string& name) const { return dir_ / ("t/" + name); }
    int32_t At(const std::string& name) { return name.empty() ? 40 : log_.FindPath(T(name)); }
    TDirNode Node(const std::string& name)
    {
        TDirNode n;
        std::string s;
        log_.ReadNode(At(name), n, s);
        return n;
    }
    std::vector<std::string> Marked()
    {
        std::vector<std::string> out;
        for (const LoggedRecord& r : AllRecords(log_))
            if (r.Node.Tags & kTagDeleted) {
                EXPECT_EQ(r.Node.Tags, kTagDeleted) << r.Path; // the mark alone, no tags kept
                out.push_back(r.Path.substr(dir_.Path().size() + 1));
            }
        return out;
    }

    TempDir dir_;
    TMemoryStream stream_;
    TDirStorage log_{stream_};
    FaultyFileSystem fs_;
};

TEST_F(DeleteTreeResultTest, TheSpaceOfWhatWentIsCountedOnceWithOrWithoutTheTotals)
{
    ASSERT_EQ(Node("sub").Allocated, 20480);
    log_.SetTag(At("sub/a"), 3);
    const int64_t root = Node("").Allocated;
    TDeleteResult r = log_.DeleteTree(At("sub"), {});
    EXPECT_EQ(r.DeletedSpace, 20480);
    EXPECT_THAT(r.NotDeleted, IsEmpty());
    EXPECT_THAT(Marked(), ElementsAre("t/sub", "t/sub/a", "t/sub/deeper", "t/sub/deeper/b"));
    EXPECT_EQ(Node("").Allocated, root); // the totals only change with UpdateLog
    EXPECT_EQ(Node("sub").Allocated, 20480);

    // A second deletion finds everything marked: nothing more is deleted or counted.
    fs::create_directories(T("sub/deeper"));
    dir_.WriteFile("t/sub/deeper/b", "new since");
    r = log_.DeleteTree(At("sub"), {.Force = true, .MissingCountsAsDeleted = true});
    EXPECT_EQ(r.DeletedSpace, 0);
    EXPECT_EQ(dir_.ReadFile("t/sub/deeper/b"), "new since");
}

TEST_F(DeleteTreeResultTest, APartialDeletionCountsOnlyWhatWentAndNamesWhatStayed)
{
    fs_.ReadOnlyNames = {"b"}; // refused until its read-only attribute goes: without Force, never
    const int64_t root = Node("").Allocated;
    TDeleteResult r = log_.DeleteTree(At("sub"), {.UpdateLog = true});
    EXPECT_EQ(r.DeletedSpace, 8192); // a; deeper and sub stay
    EXPECT_THAT(Marked(), ElementsAre("t/sub/a"));
    EXPECT_EQ(Node("").Allocated, root - 8192);
    EXPECT_EQ(Node("sub").Allocated, 20480 - 8192);
    ASSERT_EQ(r.NotDeleted.size(), 3u);
    EXPECT_EQ(r.NotDeleted[0], T("sub/deeper/b") + ": Permission denied");
    EXPECT_THAT(r.NotDeleted[1], HasSubstr("deeper: Directory not empty"));

    // Without UpdateLog the same run counts the same space.
    fs_.ReadOnlyNames.clear();
    r = log_.DeleteTree(At("sub"), {});
    EXPECT_EQ(r.DeletedSpace, 3 * 4096); // b, deeper and sub; a was counted before
}

TEST_F(DeleteTreeResultTest, WithoutDeletingMissingEntriesAreMarkedAndTheRestLeft)
{
    fs::remove(T("sub/a"));
    fs::remove_all(T("sub/deeper"));
    const TDeleteResult r = log_.DeleteTree(
        At("sub"), {.Force = true, .MissingCountsAsDeleted = true, .DeleteFromDisk = false});
    EXPECT_TRUE(fs::exists(T("sub")));
    EXPECT_THAT(Marked(), ElementsAre("t/sub/a", "t/sub/deeper", "t/sub/deeper/b"));
    EXPECT_EQ(r.DeletedSpace, 8192 + 8192);
    EXPECT_THAT(r.NotDeleted, IsEmpty());
    EXPECT_THAT(fs_.Removed, IsEmpty());
}

TEST_F(DeleteTreeResultTest, AnotherKindOfEntryInALoggedPlaceIsLeftAndNamed)
{
    // deeper became a link to a directory outside the tree after logging.
    dir_.MakeDir("outside");
    dir_.WriteFile("outside/b", "not ours");
    fs::remove_all(T("sub/deeper"));
    fs::create_directory_symlink(dir_ / "outside", T("sub/deeper"));
    const TDeleteResult r = log_.DeleteTree(At("sub"), {.Force = true});
    EXPECT_EQ(dir_.ReadFile("outside/b"), "not ours");
    EXPECT_TRUE(fs::is_symlink(T("sub/deeper")));
    EXPECT_THAT(Marked(), ElementsAre("t/sub/a"));
    EXPECT_THAT(r.NotDeleted, ::testing::Contains(T("sub/deeper") +
                                                  ": a symbolic link stands there now, not what "
                                                  "this log lists; it is left"));
    EXPECT_EQ(MarkDeleted(log_, At("keep"), false), 4096);
    EXPECT_EQ(log_.ReadTags(At("keep")), kTagDeleted);
    EXPECT_EQ(TopLevelPathOf(log_, At("sub/deeper/b")), dir_ / "t");
}

} // namespace
