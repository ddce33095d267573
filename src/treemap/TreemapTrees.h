// The size trees of a log and of a comparison, read in one walk of the subtree the treemap
// shows, in steps a window can run between its events.
//
// What a node weighs:
//   a file:      its space (or its size, where the user switches to size); in a comparison the
//                space now, or the space it took for what is gone;
//   a directory: what its entries weigh, plus its own space (what the file gives the directory
//                beyond its entries: the allocation units of the directory itself), so that an
//                empty directory still has its rectangle. Where only some files count (a filter),
//                a directory weighs just what counts below it.
// In a log, files and directories marked deleted from the disk weigh nothing.
//
// The colour key of a log's file is its type family (statistics/FileFamily.h); of a
// comparison's entry its change class (treemap/TreemapColours.h).
#pragma once

#include "core/CompareWalk.h"
#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "core/TopN.h"
#include "treemap/SizeTree.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TTreemapMeasure
{
    Space, // allocated space (the default)
    Size   // bytes
};

// Whether a file counts (the window's filter and tag selection); unset: every file counts.
using TLogFileTest = std::function<bool(const TDirNode& entry, std::string_view name)>;
using TCompareFileTest = std::function<bool(const TCompareRecord& record, std::string_view name)>;

// The directories of a subtree, open while its walk runs, with what their own weight is worked
// out from. Shared by both builders.
class TTreeAssembler
{
public:
    // The tree's first node: the directory the walk starts at (offset -1 for the root of a
    // file, which holds its top-level paths), at level.
    TTreeAssembler(TSizeTree& tree, int64_t offset, int level, uint8_t key, int64_t figure,
                   bool ownWeight);
    // A record of the walk: figure is what the file gives it (its space); weight what it counts
    // for (figure, or 0 when it does not count).
    void Add(int64_t offset, int level, bool directory, uint8_t key, int64_t figure,
             int64_t weight);
    // Closes every directory (the walk is over); the tree is complete.
    void Finish();
    // The node the last Add made.
    TNodeIndex Last() const { return last_; }
    // Directories are closed deepest first; called with each as it closes.
    std::function<void(TNodeIndex)> OnClose;

private:
    struct TOpen
    {
        TNodeIndex Node;
        int Level;
        int64_t Figure;       // what the file gives the directory, entries included
        int64_t EntryFigures; // the figures of its entries
        bool Counts;          // false for a deleted directory
    };
    void CloseTo(int level);

    TSizeTree& tree_;
    bool ownWeight_;
    std::vector<TOpen> open_;
    TNodeIndex last_ = 0;
};

// A log's tree: the subtree of the directory at dir (-1: the whole log).
class TLogTreeBuilder
{
public:
    // The log outlives the builder.
    TLogTreeBuilder(TDirStorage& log, int64_t dir, TTreemapMeasure measure = TTreemapMeasure::Space,
                    TLogFileTest counts = {});
    // Reads at most budget records; true while more remain.
    bool Step(size_t budget);
    bool Done() const { return done_; }
    TSizeTree& Tree() { return tree_; }
    // Where a damaged log ended the walk ("" when it ended cleanly); what came before counts.
    const std::string& Damage() const { return damage_; }

private:
    TSizeTree tree_;
    TLogWalk walk_;
    TTreemapMeasure measure_;
    TLogFileTest counts_;
    std::unique_ptr<TTreeAssembler> assembler_;
    bool done_ = false;
    std::string damage_;
};

// A comparison's tree: the subtree of the directory record at dir (-1: the whole comparison).
// It also finds the entries whose growth is largest, for a window to mark.
class TComparisonTreeBuilder
{
public:
    // The comparison outlives the builder; marked: how many of the largest growths to keep.
    TComparisonTreeBuilder(TDirCompare& comparison, int64_t dir,
                           TTreemapMeasure measure = TTreemapMeasure::Space,
                           TCompareFileTest counts = {}, size_t marked = 5);
    bool Step(size_t budget);
    bool Done() const { return done_; }
    TSizeTree& Tree() { return tree_; }
    const std::string& Damage() const { return damage_; }
    // Once done: the nodes that grew most, largest growth first; a directory whose whole growth
    // lies in one of its entries gives way to that entry, which names the place more exactly.
    const std::vector<TNodeIndex>& LargestGrowth() const { return largest_; }

private:
    struct TGrowth
    {
        int64_t Change;
        TNodeIndex Node;
    };
    struct TGrowthOrder
    {
        bool operator()(const TGrowth& a, const TGrowth& b) const
        {
            return a.Change != b.Change ? a.Change > b.Change : a.Node < b.Node;
        }
    };
    void Add(int64_t offset, const TCompareRecord& record, std::string_view name);
    void Closed(TNodeIndex node);

    TSizeTree tree_;
    TCompareViewWalk walk_;
    TTreemapMeasure measure_;
    TCompareFileTest counts_;
    std::unique_ptr<TTreeAssembler> assembler_;
    bool done_ = false;
    std::string damage_;
    // Per node being built: its own growth, and for open directories the largest growth among
    // their entries (the rule above).
    struct TOpenGrowth
    {
        int64_t Growth = 0;
        int64_t MostGrown = 0; // among its entries
        bool Place = false;    // may be marked: not the root, not a top-level path
    };
    std::vector<TOpenGrowth> growthStack_;
    TTopN<TGrowth, TGrowthOrder> growth_;
    std::vector<TNodeIndex> largest_;
};

} // namespace vm
