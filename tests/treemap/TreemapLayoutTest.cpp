// The squarified layout: rectangles that tile their directory exactly, areas in proportion
// within a pixel along their edges, no rectangle for what weighs nothing, and trees as deep or
// as flat as servers hold them.
#include "treemap/TreemapLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace vm;

namespace {

// Every pixel of area is covered by exactly one of the rectangles, and none lies outside it.
void ExpectTiles(const std::vector<TCellRect>& rects, const TCellRect& area)
{
    std::vector<int> cover(size_t(area.W) * size_t(area.H), 0);
    int64_t sum = 0;
    for (const TCellRect& r : rects) {
        if (r.Empty())
            continue;
        ASSERT_GE(r.X, area.X);
        ASSERT_GE(r.Y, area.Y);
        ASSERT_LE(r.X + r.W, area.X + area.W);
        ASSERT_LE(r.Y + r.H, area.Y + area.H);
        sum += r.Area();
        for (int y = r.Y; y < r.Y + r.H; ++y)
            for (int x = r.X; x < r.X + r.W; ++x)
                ++cover[size_t(y - area.Y) * size_t(area.W) + size_t(x - area.X)];
    }
    EXPECT_EQ(sum, area.Area());
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), int64_t(cover.size()));
}

// Each rectangle's area is its share of the area, off by no more than its edges moved by a
// pixel would make it; a rectangle that rounds to nothing was less than a pixel wide.
void ExpectProportional(const std::vector<int64_t>& weights, const std::vector<TCellRect>& rects,
                        const TCellRect& area)
{
    double total = 0;
    for (int64_t w : weights)
        total += double(w);
    for (size_t i = 0; i < weights.size(); ++i) {
        const double ideal = double(area.Area()) * double(weights[i]) / total;
        const TCellRect& r = rects[i];
        const double slack = r.Empty() ? double(std::max(area.W, area.H)) : double(r.W + r.H + 1);
        EXPECT_LE(std::abs(double(r.Area()) - ideal), slack)
            << "item " << i << " weight " << weights[i] << " rect " << r.W << "x" << r.H;
    }
}

// A tree given as nested lists: a number is a file of that weight, a list a directory.
struct Shape
{
    int64_t Weight = 0;
    std::vector<Shape> Entries;
    bool Directory = false;
};
Shape F(int64_t w)
{
    return {w, {}, false};
}
Shape D(std::vector<Shape> entries)
{
    return {0, std::move(entries), true};
}
void Build(TSizeTree& tree, const Shape& s, int64_t& offset)
{
    if (!s.Directory) {
        tree.AddLeaf(offset++, 0, s.Weight);
        return;
    }
    tree.Open(offset++, 0);
    for (const Shape& e : s.Entries)
        Build(tree, e, offset);
    tree.Close();
}
TSizeTree TreeOf(const Shape& root)
{
    TSizeTree tree;
    int64_t offset = 0;
    Build(tree, root, offset);
    return tree;
}

// Checks every directory that has a rectangle: its entries tile its content, in proportion.
void ExpectTreeTiles(const TSizeTree& tree, const TTreemapLayout& layout)
{
    for (TNodeIndex n = 0; n < tree.Count(); ++n) {
        const TCellRect& r = layout.Rect(n);
        if (r.Empty()) {
            for (TNodeIndex c = n + 1; c < tree.End(n); ++c)
                EXPECT_TRUE(layout.Rect(c).Empty()) << "under an empty rectangle: " << c;
            continue;
        }
        EXPECT_GT(tree.Weight(n), 0) << "a rectangle for nothing: " << n;
        if (!tree.HasChildren(n))
            continue;
        const TCellRect content = n == layout.Root() ? r : FrameOf(r, layout.Metrics()).Content;
        std::vector<TCellRect> rects;
        std::vector<int64_t> weights;
        for (TNodeIndex c = n + 1; c < tree.End(n); c = tree.End(c)) {
            if (tree.Weight(c) == 0) {
                EXPECT_TRUE(layout.Rect(c).Empty());
                continue;
            }
            rects.push_back(layout.Rect(c));
            weights.push_back(tree.Weight(c));
        }
        if (content.Empty())
            continue;
        ExpectTiles(rects, content);
        ExpectProportional(weights, rects, content);
    }
}

} // namespace

TEST(SquarifyTest, TilesItsAreaExactlyInProportionForManyMixes)
{
    std::mt19937_64 random(7);
    const TCellRect areas[] = {{0, 0, 640, 480}, {13, 7, 301, 1}, {0, 0, 1, 377},
                               {5, 5, 999, 37},  {2, 3, 17, 19},  {0, 0, 1280, 900}};
    for (const TCellRect& area : areas) {
        for (int round = 0; round < 12; ++round) {
            const size_t n = 1 + random() % (round < 6 ? 12 : 3000);
            std::vector<int64_t> weights(n);
            for (int64_t& w : weights) // from equal weights to a spread of twelve decades
                w = round % 3 == 0 ? 1000
                                   : 1 + int64_t(std::pow(10.0, double(random() % 1200) / 100.0));
            std::sort(weights.rbegin(), weights.rend());
            std::vector<TCellRect> rects(n);
            Squarify(weights, area, rects);
            SCOPED_TRACE(testing::Message() << area.W << "x" << area.H << " round " << round);
            ExpectTiles(rects, area);
            ExpectProportional(weights, rects, area);
        }
    }
}

TEST(SquarifyTest, RowsStayNearSquareForEqualWeights)
{
    // 100 equal items in a square come out as a 10 by 10 grid of squares.
    std::vector<int64_t> weights(100, 5);
    std::vector<TCellRect> rects(100);
    Squarify(weights, {0, 0, 500, 500}, rects);
    for (const TCellRect& r : rects) {
        EXPECT_EQ(r.W, 50);
        EXPECT_EQ(r.H, 50);
    }
}

TEST(TreemapLayoutTest, DirectoriesTileTheirContentBelowTheirFrameAndName)
{
    const TSizeTree tree = TreeOf(D({F(500), D({F(300), F(200), D({F(50), F(0), F(10)})}), F(0),
                                     D({}), D({F(7), D({F(1)})}), F(90)}));
    TTreemapLayout layout(tree, 0, {0, 0, 400, 300}, {1, 14, 30});
    layout.Run();
    ExpectTreeTiles(tree, layout);
    EXPECT_EQ(layout.Rect(0), (TCellRect{0, 0, 400, 300}));
    // The second entry is a directory with a frame and a name band.
    const TCellRect dir = layout.Rect(2);
    const TDirectoryFrame frame = FrameOf(dir, layout.Metrics());
    EXPECT_EQ(frame.Label,
              (TCellRect{int16_t(dir.X + 1), int16_t(dir.Y + 1), int16_t(dir.W - 2), 14}));
    EXPECT_EQ(frame.Content.Y, dir.Y + 15);
    // Weightless files and the empty directory get nothing.
    EXPECT_TRUE(layout.Rect(7).Empty());  // F(0) inside
    EXPECT_TRUE(layout.Rect(9).Empty());  // F(0) at the top
    EXPECT_TRUE(layout.Rect(10).Empty()); // D({})
    EXPECT_EQ(layout.LaidOut(), size_t(tree.Count() - 3));
}

TEST(TreemapLayoutTest, ANameOnlyWhereItFitsAndTinyDirectoriesShowTheirContent)
{
    const TFrameMetrics m{1, 14, 30};
    // Too low for a name and as much room below it: a frame only.
    EXPECT_TRUE(FrameOf({0, 0, 100, 29}, m).Label.Empty());
    EXPECT_FALSE(FrameOf({0, 0, 100, 30}, m).Label.Empty());
    // Too narrow for a name.
    EXPECT_TRUE(FrameOf({0, 0, 30, 100}, m).Label.Empty());
    // Too small for a frame: the whole rectangle shows the entries.
    EXPECT_EQ(FrameOf({4, 4, 2, 2}, m).Content, (TCellRect{4, 4, 2, 2}));
}

TEST(TreemapLayoutTest, ADeepChainIsLaidOutLevelByLevelWithoutRecursion)
{
    TSizeTree tree;
    const int depth = 20000;
    for (int i = 0; i < depth; ++i)
        tree.Open(i, 0);
    tree.AddLeaf(depth, 0, 12345);
    tree.CloseAll();
    for (int border : {1, 0}) {
        TTreemapLayout layout(tree, 0, {0, 0, 80, 60}, {border, 0, 0});
        while (layout.Step(1)) {
        }
        ExpectTreeTiles(tree, layout);
        // With a border of one pixel each level is two pixels smaller until the frame no longer
        // fits; from there each directory shows its content in its own two rows of pixels.
        EXPECT_EQ(layout.LaidOut(), size_t(depth + 1));
        EXPECT_EQ(layout.NodeAt(40, 30), TNodeIndex(depth));
        EXPECT_EQ(layout.Rect(30).H, border ? 2 : 60);
    }
}

TEST(TreemapLayoutTest, AFlatDirectoryOfAHundredThousandFilesTilesAndDropsWhatIsUnderAPixel)
{
    TSizeTree tree;
    tree.Open(-1, 0);
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i)
        tree.AddLeaf(i, 0, i % 1000 == 0 ? 50000000 : int64_t(random() % 5000));
    tree.CloseAll();
    TTreemapLayout layout(tree, 0, {0, 0, 300, 200}, {});
    layout.Run();
    ExpectTreeTiles(tree, layout);
    // No more rectangles than pixels; the hundred large files all have theirs.
    EXPECT_LE(layout.LaidOut(), 300u * 200u + 1);
    for (TNodeIndex n = 1; n < tree.Count(); n += 1000)
        EXPECT_FALSE(layout.Rect(n).Empty()) << n;
}

TEST(TreemapLayoutTest, StepsGiveTheSameLayoutAsOneRunAndPaintParentsFirst)
{
    std::mt19937_64 random(3);
    TSizeTree tree;
    tree.Open(-1, 0);
    std::function<void(int)> fill = [&](int level) {
        for (int i = int(random() % 6); i >= 0; --i) {
            if (level < 5 && random() % 3 == 0) {
                tree.Open(tree.Count(), 0);
                fill(level + 1);
                tree.Close();
            } else {
                tree.AddLeaf(tree.Count(), 0, int64_t(random() % 100000));
            }
        }
    };
    fill(0);
    tree.CloseAll();
    TTreemapLayout whole(tree, 0, {0, 0, 1280, 900}, {1, 13, 40});
    whole.Run();
    TTreemapLayout stepped(tree, 0, {0, 0, 1280, 900}, {1, 13, 40});
    while (stepped.Step(1)) {
    }
    ExpectTreeTiles(tree, whole);
    for (TNodeIndex n = 0; n < tree.Count(); ++n)
        EXPECT_EQ(whole.Rect(n), stepped.Rect(n)) << n;
    // NextShown visits every rectangle once, each directory before what it holds.
    size_t shown = 0;
    for (TNodeIndex n = 0; n < tree.Count(); n = whole.NextShown(n)) {
        ++shown;
        if (n > 0) {
            EXPECT_FALSE(whole.Rect(tree.ParentOf(n)).Empty());
        }
    }
    EXPECT_EQ(shown, whole.LaidOut());
}

TEST(TreemapLayoutTest, NothingToLayOutGivesNoRectangles)
{
    const TSizeTree empty = TreeOf(D({F(0), D({F(0)})}));
    TTreemapLayout layout(empty, 0, {0, 0, 100, 100}, {});
    layout.Run();
    EXPECT_EQ(layout.LaidOut(), 0u);
    EXPECT_EQ(layout.NodeAt(50, 50), empty.Count());
    const TSizeTree one = TreeOf(D({F(5)}));
    TTreemapLayout none(one, 0, {0, 0, 0, 100}, {});
    none.Run();
    EXPECT_EQ(none.LaidOut(), 0u);
}
