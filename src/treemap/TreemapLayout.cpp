#include "treemap/TreemapLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vm {

namespace {

constexpr int kMaxCoordinate = 32767;

int16_t Clamp(int64_t v)
{
    return static_cast<int16_t>(std::clamp<int64_t>(v, 0, kMaxCoordinate));
}

// The rectangle between two corners given in exact coordinates, each edge rounded on its own.
TCellRect Rounded(double x0, double y0, double x1, double y1)
{
    TCellRect r;
    const int64_t left = std::llround(x0), top = std::llround(y0);
    r.X = Clamp(left);
    r.Y = Clamp(top);
    r.W = Clamp(std::llround(x1) - left);
    r.H = Clamp(std::llround(y1) - top);
    return r;
}

// The worst aspect ratio of a row of items whose areas run from largest to smallest and add up
// to sum, laid along a side of the given length.
double WorstRatio(double largest, double smallest, double sum, double side)
{
    const double sideSquared = side * side;
    const double sumSquared = sum * sum;
    return std::max(sideSquared * largest / sumSquared, sumSquared / (sideSquared * smallest));
}

} // namespace

TDirectoryFrame FrameOf(const TCellRect& rect, const TFrameMetrics& m)
{
    TDirectoryFrame frame;
    frame.Content = rect;
    const int border = std::max(0, m.Border);
    if (rect.W >= 2 * border + 1 && rect.H >= 2 * border + 1) {
        frame.Content.X = static_cast<int16_t>(rect.X + border);
        frame.Content.Y = static_cast<int16_t>(rect.Y + border);
        frame.Content.W = static_cast<int16_t>(rect.W - 2 * border);
        frame.Content.H = static_cast<int16_t>(rect.H - 2 * border);
    }
    TCellRect& c = frame.Content;
    // A name only where as much room stays for the entries as the name takes.
    if (m.LabelHeight > 0 && c.H >= 2 * m.LabelHeight && c.W >= std::max(1, m.MinLabelWidth)) {
        frame.Label = {c.X, c.Y, c.W, static_cast<int16_t>(m.LabelHeight)};
        c.Y = static_cast<int16_t>(c.Y + m.LabelHeight);
        c.H = static_cast<int16_t>(c.H - m.LabelHeight);
    }
    return frame;
}

void Squarify(std::span<const int64_t> weights, const TCellRect& area, std::span<TCellRect> out)
{
    std::fill(out.begin(), out.end(), TCellRect());
    const size_t n = std::min(weights.size(), out.size());
    if (n == 0 || area.Empty())
        return;
    // The part of the area still free, in exact coordinates, and the weight it is for.
    double x = area.X, y = area.Y, w = area.W, h = area.H;
    const double right = area.X + area.W, bottom = area.Y + area.H;
    // Kept as a whole number, so that the loop never ends early on a rounding error.
    int64_t remaining = 0;
    for (size_t i = 0; i < n; ++i)
        remaining += weights[i];

    size_t i = 0;
    while (i < n && remaining > 0) {
        // A row runs along the shorter side of the free part: a column at its left when it is
        // wider than tall, else a row along its top.
        const bool column = w >= h;
        const double side = column ? h : w;
        const double scale = w * h / static_cast<double>(remaining); // area per unit of weight
        const double largest = static_cast<double>(weights[i]) * scale;
        double rowSum = largest;
        int64_t rowWeight = weights[i];
        double worst = WorstRatio(largest, largest, rowSum, side);
        size_t j = i + 1;
        for (; j < n; ++j) {
            const double a = static_cast<double>(weights[j]) * scale;
            const double ratio = WorstRatio(largest, a, rowSum + a, side);
            if (ratio > worst)
                break;
            worst = ratio;
            rowSum += a;
            rowWeight += weights[j];
        }
        // The last row takes what is left, so that the far edge lands exactly.
        const bool last = j == n;
        const double thickness = last ? (column ? w : h) : rowSum / side;
        const double start = column ? y : x;
        const double end = column ? bottom : right;
        double along = start;
        int64_t placed = 0;
        for (size_t k = i; k < j; ++k) {
            placed += weights[k];
            const double next =
                k + 1 == j
                    ? end
                    : start + side * (static_cast<double>(placed) / static_cast<double>(rowWeight));
            out[k] = column ? Rounded(x, along, last ? right : x + thickness, next)
                            : Rounded(along, y, next, last ? bottom : y + thickness);
            along = next;
        }
        if (column) {
            x = last ? right : x + thickness;
            w = right - x;
        } else {
            y = last ? bottom : y + thickness;
            h = bottom - y;
        }
        remaining -= rowWeight;
        i = j;
        if (w <= 0 || h <= 0)
            break;
    }
}

TTreemapLayout::TTreemapLayout(const TSizeTree& tree, TNodeIndex root, TCellRect bounds,
                               const TFrameMetrics& metrics)
    : tree_(tree), root_(root), metrics_(metrics), rects_(tree.Count())
{
    if (root_ >= tree_.Count())
        return;
    bounds.X = Clamp(bounds.X);
    bounds.Y = Clamp(bounds.Y);
    bounds.W = Clamp(std::min<int64_t>(bounds.W, kMaxCoordinate - bounds.X));
    bounds.H = Clamp(std::min<int64_t>(bounds.H, kMaxCoordinate - bounds.Y));
    if (bounds.Empty() || tree_.Weight(root_) <= 0)
        return;
    rects_[root_] = bounds;
    laidOut_ = 1;
    if (tree_.HasChildren(root_))
        pending_.push_back(root_);
}

bool TTreemapLayout::Step(size_t budget)
{
    size_t placed = 0;
    while (!pending_.empty() && placed < std::max<size_t>(budget, 1)) {
        const TNodeIndex n = pending_.front();
        pending_.pop_front();
        placed += PlaceChildren(n);
    }
    return !pending_.empty();
}

void TTreemapLayout::Run()
{
    while (Step(1 << 20)) {
    }
}

size_t TTreemapLayout::PlaceChildren(TNodeIndex n)
{
    const TCellRect content = n == root_ ? rects_[n] : FrameOf(rects_[n], metrics_).Content;
    children_.clear();
    for (TNodeIndex c = n + 1; c < tree_.End(n); c = tree_.End(c))
        if (tree_.Weight(c) > 0)
            children_.emplace_back(tree_.Weight(c), c);
    if (children_.empty() || content.Empty())
        return children_.size();
    // Largest first; equal weights in file order, so that a layout never depends on the sort.
    std::sort(children_.begin(), children_.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    weights_.resize(children_.size());
    placed_.resize(children_.size());
    for (size_t i = 0; i < children_.size(); ++i)
        weights_[i] = children_[i].first;
    Squarify(weights_, content, placed_);
    for (size_t i = 0; i < children_.size(); ++i) {
        const TNodeIndex c = children_[i].second;
        if (placed_[i].Empty())
            continue;
        rects_[c] = placed_[i];
        ++laidOut_;
        if (tree_.HasChildren(c))
            pending_.push_back(c);
    }
    return children_.size();
}

TNodeIndex TTreemapLayout::NodeAt(int x, int y) const
{
    const TNodeIndex none = tree_.Count();
    if (root_ >= none || !rects_[root_].Contains(x, y))
        return none;
    TNodeIndex at = root_;
    for (;;) {
        TNodeIndex inside = none;
        for (TNodeIndex c = at + 1; c < tree_.End(at); c = tree_.End(c))
            if (rects_[c].Contains(x, y)) {
                inside = c;
                break;
            }
        if (inside == none)
            return at;
        at = inside;
    }
}

TNodeIndex TTreemapLayout::NextShown(TNodeIndex n) const
{
    const TNodeIndex none = tree_.Count();
    if (root_ >= none)
        return none;
    const TNodeIndex end = tree_.End(root_);
    // A node without a rectangle has none below it either: skip its subtree.
    TNodeIndex next = n < none && !rects_[n].Empty() ? n + 1 : (n < none ? tree_.End(n) : end);
    while (next < end && rects_[next].Empty())
        next = tree_.End(next);
    return next < end ? next : none;
}

} // namespace vm
