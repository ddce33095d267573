#include "treemapview/TreemapNavigation.h"

namespace vm {

namespace {

bool Shown(const TTreemapLayout& layout, TNodeIndex n)
{
    return !layout.Rect(n).Empty();
}

// The largest entry of directory d that has a rectangle; tree.Count() when none has.
TNodeIndex LargestShownChild(const TSizeTree& tree, const TTreemapLayout& layout, TNodeIndex d)
{
    TNodeIndex best = tree.Count();
    for (TNodeIndex c = d + 1; c < tree.End(d); c = tree.End(c))
        if (Shown(layout, c) && (best == tree.Count() || tree.Weight(c) > tree.Weight(best)))
            best = c;
    return best;
}

} // namespace

TNodeIndex TreemapMove(const TSizeTree& tree, const TTreemapLayout& layout, TNodeIndex from,
                       TTreemapMove move)
{
    const TNodeIndex none = tree.Count();
    const TNodeIndex root = layout.Root();
    if (root >= none)
        return from;
    if (from >= none || from == root || !Shown(layout, from)) {
        const TNodeIndex first = LargestShownChild(tree, layout, root);
        return first == none ? from : first;
    }
    const TNodeIndex parent = tree.ParentOf(from);
    switch (move) {
    case TTreemapMove::Out:
        return parent == root ? from : parent;
    case TTreemapMove::In: {
        const TNodeIndex child = LargestShownChild(tree, layout, from);
        return child == none ? from : child;
    }
    case TTreemapMove::Next:
        for (TNodeIndex c = tree.End(from); c < tree.End(parent); c = tree.End(c))
            if (Shown(layout, c))
                return c;
        return from;
    case TTreemapMove::Previous: {
        TNodeIndex before = from;
        for (TNodeIndex c = parent + 1; c < from; c = tree.End(c))
            if (Shown(layout, c))
                before = c;
        return before;
    }
    }
    return from;
}

} // namespace vm
