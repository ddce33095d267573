// The size trees read from a log and from a comparison: what each node weighs, its colour key,
// what a filter and deletion marks leave out, and the largest growth a window marks.
#include "treemap/TreemapTrees.h"
#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "support/CompareSample.h"
#include "support/CompareTestTrees.h"
#include "support/SyntheticLog.h"
#include "treemap/TreemapColours.h"
#include "treemap/TreemapWork.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

TSizeTree Read(TLogTreeBuilder& builder)
{
    while (builder.Step(2)) {
    }
    EXPECT_EQ(builder.Damage(), "");
    return std::move(builder.Tree());
}

} // namespace

TEST(LogTreeTest, DirectoriesWeighWhatTheLogGivesThemAndFilesTheirSpace)
{
    // /data/ [a.txt 10, sub/ [b 5000, c 7], z 1], unit 4096.
    std::vector<uint8_t> bytes = SampleLogBytes();
    TMemoryStream stream(bytes);
    TDirStorage log(stream);
    TLogTreeBuilder builder(log, -1);
    const TSizeTree tree = Read(builder);
    ASSERT_EQ(tree.Count(), 7u); // the log's root above /data/, and the six records
    EXPECT_EQ(tree.Offset(0), -1);
    const int64_t offsets[] = {-1,         sample::kRoot, sample::kA, sample::kSub,
                               sample::kB, sample::kC,    sample::kZ};
    for (TNodeIndex n = 0; n < 7; ++n)
        EXPECT_EQ(tree.Offset(n), offsets[n]);
    // sub/ holds 8192 + 4096 and its own unit; the top-level path carries no unit of its own.
    EXPECT_EQ(tree.Weight(3), 4096 + 8192 + 4096);
    EXPECT_EQ(tree.Weight(1), 4096 + 16384 + 4096);
    EXPECT_EQ(tree.Weight(0), tree.Weight(1));
    EXPECT_EQ(tree.End(3), 6u);
    EXPECT_TRUE(tree.IsDirectory(3));
    EXPECT_EQ(tree.Key(2), uint8_t(TFileFamily::Documents));
    EXPECT_EQ(tree.Key(4), uint8_t(TFileFamily::Other));
    EXPECT_EQ(tree.ParentOf(5), 3u);
    EXPECT_EQ(tree.ParentOf(6), 1u);
    EXPECT_EQ(tree.FindOffset(sample::kZ), 6u);

    // Sizes instead of space; and the subtree of sub/ alone.
    TLogTreeBuilder sizes(log, sample::kSub, TTreemapMeasure::Size);
    const TSizeTree sub = Read(sizes);
    ASSERT_EQ(sub.Count(), 3u);
    EXPECT_EQ(sub.Weight(1), 5000);
    EXPECT_EQ(sub.Weight(0), 5007);
}

TEST(LogTreeTest, AFilterAndDeletionMarksLeaveFilesOutAndDirectoriesWeighOnlyWhatCounts)
{
    std::vector<uint8_t> bytes = SampleLogBytes();
    TMemoryStream stream(bytes);
    TDirStorage log(stream);
    log.WriteTags(sample::kB, kTagDeleted);
    TLogTreeBuilder deleted(log, -1);
    TSizeTree tree = Read(deleted);
    EXPECT_EQ(tree.Weight(4), 0);           // b, deleted from the disk
    EXPECT_EQ(tree.Weight(3), 4096 + 4096); // sub/: its unit and c
    TLogTreeBuilder filtered(log, -1, TTreemapMeasure::Space,
                             [](const TDirNode&, std::string_view name) { return name == "z"; });
    tree = Read(filtered);
    EXPECT_EQ(tree.Weight(0), 4096); // z alone: no directory units where a filter decides
    EXPECT_EQ(tree.Weight(3), 0);
}

TEST(ComparisonTreeTest, GoneEntriesWeighWhatTheyWereAndTheLargestGrowthIsMarked)
{
    TempDir dir;
    const CompareSamplePaths paths = WriteCompareSample(dir, SampleOldTree(), SampleNewTree());
    TFileStream file(paths.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    TComparisonTreeBuilder builder(comparison, -1);
    while (builder.Step(3)) {
    }
    ASSERT_EQ(builder.Damage(), "");
    const TSizeTree& tree = builder.Tree();
    auto node = [&](const std::string& path) {
        for (TNodeIndex n = 1; n < tree.Count(); ++n)
            if (comparison.GetFullPath(int32_t(tree.Offset(n))) == path)
                return n;
        ADD_FAILURE() << path;
        return TNodeIndex(0);
    };
    const TNodeIndex gone = node("/data/gone"), x = node("/data/gone/x.bin");
    EXPECT_EQ(tree.Weight(x), 8192);
    EXPECT_EQ(tree.Key(x), uint8_t(TChangeClass::AllGone));
    EXPECT_EQ(tree.Weight(gone), 8192 + 4096); // the file and the directory's own unit
    EXPECT_EQ(tree.Key(node("/data/added/y")), uint8_t(TChangeClass::AllNew));
    EXPECT_EQ(tree.Key(node("/data/same.txt")), uint8_t(TChangeClass::Unchanged));
    EXPECT_EQ(tree.Key(node("/data/shrink.dat")), uint8_t(TChangeClass::ShrankMost));
    EXPECT_EQ(tree.Key(node("/data/docs/a.txt")), uint8_t(TChangeClass::GrewMost));
    // Every directory weighs at least its entries.
    for (TNodeIndex n = 0; n < tree.Count(); ++n) {
        int64_t entries = 0;
        for (TNodeIndex c = n + 1; c < tree.End(n); c = tree.End(c))
            entries += tree.Weight(c);
        EXPECT_GE(tree.Weight(n), entries);
    }
    // docs/ grew in two files, so it is a place of its own, and so is added/ (y and its own
    // unit); empty/ grew only by f.txt and gives way to it. The top-level path is the whole
    // picture. Equal growths come in file order.
    std::vector<std::string> marked;
    for (TNodeIndex n : builder.LargestGrowth())
        marked.push_back(comparison.GetFullPath(int32_t(tree.Offset(n))));
    EXPECT_EQ(marked,
              (std::vector<std::string>{"/data/docs", "/data/docs/a.txt", "/data/empty/f.txt",
                                        "/data/added", "/data/added/y"}));
}

TEST(ComparisonTreeTest, ChangeClassesRunFromAllGoneToAllNew)
{
    EXPECT_EQ(ChangeClassOf(100, 100), TChangeClass::Unchanged);
    EXPECT_EQ(ChangeClassOf(0, 0), TChangeClass::Unchanged);
    EXPECT_EQ(ChangeClassOf(0, 10), TChangeClass::AllNew);
    EXPECT_EQ(ChangeClassOf(10, 0), TChangeClass::AllGone);
    // Doubling and halving are the same step from unchanged.
    EXPECT_EQ(ChangeClassOf(100, 200), TChangeClass::GrewMore);
    EXPECT_EQ(ChangeClassOf(200, 100), TChangeClass::ShrankMore);
    EXPECT_EQ(ChangeClassOf(100, 201), TChangeClass::GrewMost);
    EXPECT_EQ(ChangeClassOf(100, 111), TChangeClass::GrewLittle);
    EXPECT_EQ(ChangeClassOf(100, 112), TChangeClass::GrewSome);
    EXPECT_EQ(ChangeClassOf(100, 90), TChangeClass::ShrankLittle);
    EXPECT_EQ(ChangeClassOf(100, 89), TChangeClass::ShrankSome);
    const std::vector<TLegendItem> legend = ChangeLegend();
    ASSERT_EQ(legend.size(), size_t(kChangeClassCount));
    for (size_t i = 0; i < legend.size(); ++i)
        for (size_t j = i + 1; j < legend.size(); ++j)
            EXPECT_FALSE(legend[i].Colour == legend[j].Colour) << legend[i].Text;
}

TEST(TreemapWorkTest, ReadsThenLaysOutInStepsAndLaysOutAgainForANewSize)
{
    std::vector<uint8_t> bytes = SampleLogBytes();
    TMemoryStream stream(bytes);
    TDirStorage log(stream);
    TTreemapWork work(std::make_unique<TLogTreeBuilder>(log, -1), {0, 0, 200, 100}, {});
    EXPECT_EQ(work.Layout(), nullptr);
    int steps = 0;
    while (work.Step(1))
        ++steps;
    EXPECT_GT(steps, 6);
    ASSERT_TRUE(work.Done());
    EXPECT_EQ(work.Layout()->LaidOut(), 7u);
    work.Resize({0, 0, 50, 50});
    work.Step(100);
    EXPECT_EQ(work.Layout()->Rect(0), (TCellRect{0, 0, 50, 50}));
}
