// Scans of a tree deeper than the walk keeps open, changed while the walk is deep inside it: every
// directory is either logged as it is on the disk or reported as unread, with any number of
// threads. The walk closes the directories far above it and finds them again on the way back;
// a directory moved meanwhile must not make it lose (or misread) the ones it left behind.
#include "core/ScanRecorder.h"
#include "core/TreeScanner.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// t/x/l/l/.../l (20 levels)/P/ holds a/ with a chain of 40 directories (deeper than the 16
// directories the walk is let keep open, more than the workers list ahead) and b/ with five files
// and sub/ with three.
class MovedTreeScanTest : public ::testing::TestWithParam<unsigned>
{
protected:
    void SetUp() override
    {
        dir_.MakeDir("t");
        above_ = "x";
        for (int i = 0; i < 20; ++i)
            above_ += "/l";
        std::string chain = above_ + "/P/a";
        for (int i = 0; i < 40; ++i)
            chain += "/d";
        std::filesystem::create_directories(P(chain));
        std::filesystem::create_directories(P(above_ + "/P/b/sub"));
        for (int i = 0; i < 5; ++i)
            dir_.WriteFile("t/" + above_ + "/P/b/f" + std::to_string(i), std::string(1000, 'x'));
        for (int i = 0; i < 3; ++i)
            dir_.WriteFile("t/" + above_ + "/P/b/sub/g" + std::to_string(i), "yy");
    }

    std::string Root() const { return dir_ / "t/"; }
    std::string P(const std::string& name) const { return dir_ / ("t/" + name); }

    // Scans with the thread count of the test; move runs once, when the walk lists a directory
    // 30 levels down the chain (the directories above P are closed by then).
    void ScanMovingAt(const std::function<void()>& move)
    {
        const std::string deep = P(above_ + "/P/a/") + std::string(30 * 2, 'd');
        bool moved = false;
        TTreeScanner scanner(fs_, recorder_);
        scanner.SetThreads(GetParam());
        scanner.SetMaxOpenDirectories(16);
        scanner.SetStatusEvent([&](const std::string& directory, bool&) {
            if (!moved && directory.size() >= deep.size() && directory.find("/d/d/") != npos) {
                moved = true;
                move();
            }
        });
        scanner.ScanRoot(Root(), 4096);
        ASSERT_TRUE(moved);
    }

    // The full paths the scan gave below P/b, in scan order.
    std::vector<std::string> BelowB() const
    {
        std::vector<std::string> names;
        const std::string b = P(above_ + "/P/b/");
        for (const TScanRecorder::TItem& item : recorder_.Entries())
            if (item.Path.starts_with(b))
                names.push_back(item.Path.substr(b.size()));
        return names;
    }

    void Rename(const std::string& from, const std::string& to) const
    {
        ASSERT_EQ(std::rename(P(from).c_str(), P(to).c_str()), 0) << from;
    }

    static constexpr size_t npos = std::string::npos;
    TempDir dir_;
    std::string above_;
    TPosixFileSystem fs_;
    TScanRecorder recorder_;
};

// The chain the walk is in moves away from P: the way back up through ".." leads to its new
// place, and P is found again from above; its other subdirectory is logged whole.
TEST_P(MovedTreeScanTest, DirectoryMovedAwayLeavesItsSiblingsLoggedWhole)
{
    ScanMovingAt([&] { Rename(above_ + "/P/a", "moved-a"); });
    EXPECT_THAT(BelowB(),
                ElementsAre("f0", "f1", "f2", "f3", "f4", "sub", "sub/g0", "sub/g1", "sub/g2"));
    EXPECT_THAT(recorder_.UnreadableDirectories(), IsEmpty());
}

// When P cannot be found again either (the directory above it was renamed too), what it still
// held is reported as unread, by name, instead of being logged empty.
TEST_P(MovedTreeScanTest, DirectoryThatCannotBeFoundAgainLeavesItsSubdirectoriesReported)
{
    ScanMovingAt([&] {
        Rename(above_ + "/P/a", "moved-a");
        Rename(above_, above_ + "-renamed");
    });
    EXPECT_THAT(BelowB(), IsEmpty());
    ASSERT_EQ(recorder_.UnreadableDirectories().size(), 1u);
    EXPECT_EQ(recorder_.UnreadableDirectories()[0].Path, P(above_ + "/P/b/"));
    EXPECT_EQ(recorder_.UnreadableDirectories()[0].Error, ENOENT);
}

INSTANTIATE_TEST_SUITE_P(Threads, MovedTreeScanTest, ::testing::Values(1u, 2u, 3u, 4u, 8u, 16u),
                         [](const auto& info) { return std::to_string(info.param); });

} // namespace
