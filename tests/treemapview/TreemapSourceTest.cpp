// What the treemap view says about its rectangles (tooltips, the screen reader's line) and where
// the keyboard takes its selection, over logs and a comparison written by the real scan.
#include "treemapview/TreemapNavigation.h"
#include "treemapview/TreemapSource.h"

#include "support/ScannedSample.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

const TLocale kLocale = TLocale::Classic();

std::unique_ptr<TTreemapWork> RunWork(TTreemapSource& source, int64_t dir)
{
    auto work = source.MakeWork(dir, TCellRect{0, 0, 800, 600}, TFrameMetrics{1, 14, 40});
    while (work->Step(3)) {
    }
    return work;
}

TNodeIndex NodeNamed(const TSizeTree& tree, TTreemapSource& source, const std::string& name)
{
    for (TNodeIndex n = 0; n < tree.Count(); ++n)
        if (source.NameOf(tree.Offset(n)) == name)
            return n;
    ADD_FAILURE() << name << " is not in the tree";
    return tree.Count();
}

} // namespace

TEST(TreemapSourceTest, TooltipsNameThePathFiguresAndShareOfTheDirectory)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.NewLog, TFileMode::OpenRead);
    TDirStorage log(file);
    TLogTreemapSource source(log, "Log 2");
    auto work = RunWork(source, -1);
    const TSizeTree& tree = work->Tree();
    const TNodeIndex report = NodeNamed(tree, source, "report.pdf");
    TTreemapEntry entry;
    ASSERT_TRUE(source.ReadEntry(tree.Offset(report), entry));
    EXPECT_EQ(entry.Path, sample.Tree + "docs/report.pdf");
    EXPECT_EQ(entry.Size, 50000);
    EXPECT_EQ(entry.Space, 53248);
    EXPECT_FALSE(entry.Directory);
    // docs/ holds report.pdf alone now, and its own unit: 13 of 14 units.
    const TNodeIndex docs = tree.ParentOf(report);
    const double share = double(tree.Weight(report)) / double(tree.Weight(docs));
    EXPECT_NEAR(share, 13.0 / 14.0, 1e-9);
    EXPECT_EQ(TreemapTipText(entry, share, "docs", kLocale),
              sample.Tree + "docs/report.pdf\nSize 49 KB, space 52 KB\n92.9% of docs");
    EXPECT_EQ(TreemapSelectionText(entry, share, "docs", kLocale),
              "report.pdf, file, space 52 KB, 92.9% of docs");
    // The root above the top-level paths has a name and no share.
    ASSERT_TRUE(source.ReadEntry(-1, entry));
    EXPECT_EQ(TreemapTipText(entry, 1.0, "", kLocale), "Log 2");
    EXPECT_EQ(TreemapLegendText(source.Legend()).rfind("Colours: Archives, Images, ", 0), 0u);
}

TEST(TreemapSourceTest, AComparisonSaysWhatWasAndWhatIsAndHowItChanged)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    TComparisonTreemapSource source(comparison, "Changes");
    auto work = RunWork(source, -1);
    const TSizeTree& tree = work->Tree();
    TTreemapEntry entry;
    ASSERT_TRUE(source.ReadEntry(tree.Offset(NodeNamed(tree, source, "big.tar")), entry));
    EXPECT_EQ(entry.SpaceWas, 200704);
    EXPECT_EQ(entry.Space, 8192);
    EXPECT_EQ(TreemapTipText(entry, 0.5, "tree", kLocale),
              sample.Tree + "big.tar\nSpace was 196 KB, now 8 KB (-188 KB): Shrank by more than "
                            "half\nSize was 196 KB, now 5 KB\n50.0% of tree");
    ASSERT_TRUE(source.ReadEntry(tree.Offset(NodeNamed(tree, source, "photos")), entry));
    EXPECT_TRUE(entry.Directory);
    EXPECT_EQ(entry.Path, sample.Tree + "photos/");
    ASSERT_TRUE(source.ReadEntry(tree.Offset(NodeNamed(tree, source, "notes.txt")), entry));
    EXPECT_EQ(TreemapSelectionText(entry, 0, "docs", kLocale),
              "notes.txt, file, space 0 KB, -4 KB, All gone, 0.0% of docs");
    // The new file is the largest growth and is coloured all new.
    const TNodeIndex grown = NodeNamed(tree, source, "c.jpg");
    ASSERT_FALSE(work->LargestGrowth().empty());
    EXPECT_EQ(work->LargestGrowth().front(), grown);
    EXPECT_EQ(source.Colour(tree.Key(grown)), ChangeColour(TChangeClass::AllNew));
}

TEST(TreemapNavigationTest, ArrowsMoveAmongShownEntriesAndNeverAboveTheRoot)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.NewLog, TFileMode::OpenRead);
    TDirStorage log(file);
    TLogTreemapSource source(log, "Log 2");
    auto work = RunWork(source, -1);
    const TSizeTree& tree = work->Tree();
    const TTreemapLayout& layout = *work->Layout();
    auto name = [&](TNodeIndex n) { return source.NameOf(tree.Offset(n)); };
    // Nothing selected: the first move goes to the root's largest entry, the top-level path.
    const TNodeIndex path = TreemapMove(tree, layout, tree.Count(), TTreemapMove::Next);
    EXPECT_EQ(path, 1u);
    EXPECT_EQ(TreemapMove(tree, layout, path, TTreemapMove::Out), path); // not above the root
    // In goes to the largest entry: photos/ (c.jpg); then along its directory in file order.
    const TNodeIndex photos = TreemapMove(tree, layout, path, TTreemapMove::In);
    EXPECT_EQ(name(photos), "photos");
    const TNodeIndex c = TreemapMove(tree, layout, photos, TTreemapMove::In);
    EXPECT_EQ(name(c), "c.jpg");
    EXPECT_EQ(TreemapMove(tree, layout, c, TTreemapMove::Next), c); // the last of photos/
    EXPECT_EQ(name(TreemapMove(tree, layout, c, TTreemapMove::Previous)), "b.jpg");
    EXPECT_EQ(TreemapMove(tree, layout, c, TTreemapMove::In), c); // a file has no entries
    EXPECT_EQ(TreemapMove(tree, layout, c, TTreemapMove::Out), photos);
    EXPECT_EQ(name(TreemapMove(tree, layout, photos, TTreemapMove::Previous)), "docs");
    EXPECT_EQ(name(TreemapMove(tree, layout, photos, TTreemapMove::Next)), "src");
}
