// Moving the treemap's selection with the keyboard: to the entry before or after in the same
// directory, out to the directory, in to its largest entry. Only entries with a rectangle can
// be reached, and never above the root the map shows.
#pragma once

#include "treemap/SizeTree.h"
#include "treemap/TreemapLayout.h"

namespace vm {

enum class TTreemapMove
{
    Previous, // the entry before in the directory's order
    Next,     // the entry after
    Out,      // the directory that holds it
    In        // the largest entry of a directory
};

// Where the selection goes from `from` (tree.Count(): nothing selected; the move then starts at
// the root's largest entry). Returns `from` where the move leads nowhere.
TNodeIndex TreemapMove(const TSizeTree& tree, const TTreemapLayout& layout, TNodeIndex from,
                       TTreemapMove move);

} // namespace vm
