// A treemap in the making, as a window holds it: the walk that reads the size tree, then the
// layout, both in steps the window runs between its events. A new selection simply drops the
// object (nothing else holds the file); a new size of the view lays out the tree again without
// reading the file.
#pragma once

#include "treemap/TreemapLayout.h"
#include "treemap/TreemapTrees.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace vm {

class TTreemapWork
{
public:
    TTreemapWork(std::unique_ptr<TLogTreeBuilder> builder, TCellRect bounds,
                 const TFrameMetrics& metrics);
    TTreemapWork(std::unique_ptr<TComparisonTreeBuilder> builder, TCellRect bounds,
                 const TFrameMetrics& metrics);

    // Reads or lays out about budget entries; true while more remains.
    bool Step(size_t budget);
    bool Done() const { return layout_ && layout_->Done(); }
    // Lays the tree out again in new bounds (once read; before, the layout waits for the walk).
    void Resize(TCellRect bounds);

    bool TreeRead() const;
    const TSizeTree& Tree() const;
    // The layout so far; empty until the tree is read.
    const TTreemapLayout* Layout() const { return layout_ ? &*layout_ : nullptr; }
    // Where a damaged file ended the walk ("" when it did not).
    const std::string& Damage() const;
    // The comparison's nodes of largest growth (none for a log).
    std::vector<TNodeIndex> LargestGrowth() const;

private:
    std::variant<std::unique_ptr<TLogTreeBuilder>, std::unique_ptr<TComparisonTreeBuilder>>
        builder_;
    TCellRect bounds_;
    TFrameMetrics metrics_;
    std::optional<TTreemapLayout> layout_;
};

} // namespace vm
