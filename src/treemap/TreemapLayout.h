// The squarified treemap of a TSizeTree: every node a rectangle whose area is its share of its
// directory's content, laid out row by row so that rectangles stay as near square as the weights
// allow (largest first).
//
// Rectangles are whole pixels. Each is placed in exact arithmetic first and every edge is then
// rounded on its own, so that neighbours share their edges: the rectangles of a directory's
// entries tile its content exactly, and every edge lies within half a pixel of its exact place.
// An entry of no weight, or one whose rounded rectangle is empty (less than a pixel), gets no
// rectangle, and nothing below it is laid out.
//
// Directories other than the root are framed: a border round their content and, where the
// directory is tall and wide enough, a band at the top for its name (FrameOf tells the window
// where to draw both).
//
// The layout runs in steps (Step) so that a window can lay out a large tree between its events
// and drop it when the selection changes; the top levels come first over the whole area, then
// the next level, and so on.
#pragma once

#include "treemap/SizeTree.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <utility>
#include <vector>

namespace vm {

// A rectangle in pixels; coordinates lie within 0 to 32767.
struct TCellRect
{
    int16_t X = 0, Y = 0, W = 0, H = 0;
    bool Empty() const { return W <= 0 || H <= 0; }
    bool Contains(int x, int y) const { return x >= X && y >= Y && x < X + W && y < Y + H; }
    int64_t Area() const { return Empty() ? 0 : int64_t(W) * H; }
    bool operator==(const TCellRect&) const = default;
};

struct TFrameMetrics
{
    int Border = 1;        // pixels of frame on each side of a directory's content
    int LabelHeight = 0;   // the height of a directory's name band; 0: no names
    int MinLabelWidth = 0; // a name band only where the content is at least this wide
};

// Where a directory's rectangle shows its entries and its name. A rectangle too small for its
// border keeps its whole area for its entries; Label is empty where no name fits.
struct TDirectoryFrame
{
    TCellRect Content;
    TCellRect Label;
};
TDirectoryFrame FrameOf(const TCellRect& rect, const TFrameMetrics& metrics);

// Lays out weights (all above 0, largest first) in area; out[i] gets the rectangle of
// weights[i] (empty when it rounds to less than a pixel). The rectangles tile area exactly.
void Squarify(std::span<const int64_t> weights, const TCellRect& area, std::span<TCellRect> out);

class TTreemapLayout
{
public:
    // The tree outlives the layout. root: the node whose entries fill bounds (the root itself
    // is not framed); bounds are clamped to 0..32767.
    TTreemapLayout(const TSizeTree& tree, TNodeIndex root, TCellRect bounds,
                   const TFrameMetrics& metrics);

    // Lays out the entries of directories until at least `budget` entries have been placed (or
    // everything is); a directory's entries are placed at once. True while more remains.
    bool Step(size_t budget);
    bool Done() const { return pending_.empty(); }
    // Step until done.
    void Run();

    TNodeIndex Root() const { return root_; }
    // The node's rectangle; empty when it has none (no weight, under a pixel, or not laid out
    // yet). Nodes outside the root's subtree have none.
    const TCellRect& Rect(TNodeIndex n) const { return rects_[n]; }
    // How many nodes have a rectangle so far.
    size_t LaidOut() const { return laidOut_; }
    // The deepest node whose rectangle holds the point; tree.Count() when none does.
    TNodeIndex NodeAt(int x, int y) const;
    // The node after n, in file order, that has a rectangle (paint in this order: a directory
    // before what it holds); tree.Count() after the last.
    TNodeIndex NextShown(TNodeIndex n) const;
    const TFrameMetrics& Metrics() const { return metrics_; }

private:
    // Places the entries of directory n in its content; returns how many there were.
    size_t PlaceChildren(TNodeIndex n);

    const TSizeTree& tree_;
    TNodeIndex root_;
    TFrameMetrics metrics_;
    std::deque<TCellRect> rects_;
    std::deque<TNodeIndex> pending_; // directories whose entries are still to be placed
    size_t laidOut_ = 0;
    std::vector<std::pair<int64_t, TNodeIndex>> children_; // scratch: one directory's entries
    std::vector<int64_t> weights_;                         // scratch
    std::vector<TCellRect> placed_;                        // scratch
};

} // namespace vm
