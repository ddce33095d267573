// The directory tree of a log as the explore window shows it: a root node ("Log n"), the log's
// top-level paths under it and every directory below them. Nodes are plain data in one vector,
// added in the order of the log's directory chain (file order), so a directory's node is found
// by its offset with a binary search; the tree view's model reads them directly.
//
// TDirTreeBuilder makes the tree in one pass over the directory chain, reading the log in large
// blocks, a few thousand directories per step so that the window stays responsive.
#pragma once

#include "core/DirStorage.h"
#include "core/LogFileOrder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The kind codes of the item tag word that tree nodes carry.
enum TTreeKind : uint8_t
{
    kTreeRoot = 3,
    kTreePath = 4,     // a top-level path (level 0)
    kTreeDirectory = 5 // a directory below a top-level path
};

struct TDirTreeNode
{
    int32_t Offset = 0;  // the entry's offset; 0 for the root
    int32_t Parent = -1; // node index; -1 for the root
    int32_t Row = 0;     // position among the parent's children
    uint32_t NameAt = 0, NameLength = 0;
    uint8_t Kind = kTreeRoot;
    uint8_t State = 0; // a state image beside the node (the compare window's arrows); 0 none
};

class TDirTree
{
public:
    static constexpr int kRoot = 0;

    // A tree of the root alone, showing rootText.
    explicit TDirTree(const std::string& rootText = "Log");

    int Count() const { return static_cast<int>(nodes_.size()); }
    const TDirTreeNode& Node(int i) const { return nodes_[static_cast<size_t>(i)]; }
    std::string_view Name(int i) const;
    int Parent(int i) const { return Node(i).Parent; }
    // Children in log order; valid once Finish has run.
    int ChildCount(int i) const;
    int Child(int i, int row) const;

    // The node of the directory entry at offset, or -1 (also for offset 0 and the root).
    int FindOffset(int32_t offset) const;
    // The directory's path ending with "/" ("/data/sub/"); "" for the root.
    std::string PathOf(int i) const;
    // True when node lies at or below ancestor.
    bool IsInside(int node, int ancestor) const;
    // The nodes from the root down to i, the root first.
    std::vector<int> Chain(int i) const;

    // Adds a node under parent. Offsets must grow from one call to the next (they do along the
    // directory chain, which only points forward). Returns the new node's index.
    int Add(int parent, int32_t offset, TTreeKind kind, std::string_view name, uint8_t state = 0);
    // Builds the child index after the last Add.
    void Finish();

private:
    std::vector<TDirTreeNode> nodes_;
    std::string names_;
    std::vector<int32_t> childStart_, children_; // children of node i: [start[i], start[i + 1])
};

// Makes the tree of a log: the top-level paths under the root, each directory under the last
// directory one level above it. The log and its stream outlive the builder; nothing else may
// move the stream between two steps.
class TDirTreeBuilder
{
public:
    TDirTreeBuilder(TDirStorage& log, TDirTree& tree);

    // Adds up to `directories` more directories; false once the chain has ended (then the tree
    // is finished).
    bool Step(int directories);
    bool Done() const { return done_; }
    // "" when the chain ended cleanly, else where and why it stopped early.
    const std::string& Fault() const { return fault_; }
    // The name of the directory added last (the window shows it while building).
    std::string_view LastName() const { return lastName_; }

private:
    void Stop(std::string fault);

    TLogFileOrder chain_;
    TDirTree& tree_;
    std::vector<int> levelNode_; // per level: the node of the last directory met there, or -1
    std::string lastName_;
    std::string fault_;
    bool done_ = false;
};

// The nodes a new tree opens with, for a view showing about visibleRows rows: the root when it
// has children; the first top-level path when it has sub-directories; then each further path
// with sub-directories as long as all open rows still fit (when one does not, it stays closed
// and the first path closes too).
std::vector<int> InitialExpansion(const TDirTree& tree, int visibleRows);

} // namespace vm
