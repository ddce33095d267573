// The directory tree a list window shows: a root node ("Log n", "Log 3 with log 4"), the
// top-level paths under it and every directory below them. Nodes are plain data in one vector,
// added in the order of the file's directory chain (file order), so a directory's node is found
// by its offset with a binary search; the tree view's model reads them directly. The explore and
// compare windows each have their builder (explore/LogTree.h, compare/CompareTree.h).
#pragma once

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
    int64_t Offset = 0;  // the entry's offset; 0 for the root
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
    int FindOffset(int64_t offset) const;
    // The directory's path ending with "/" ("/data/sub/"); "" for the root.
    std::string PathOf(int i) const;
    // True when node lies at or below ancestor.
    bool IsInside(int node, int ancestor) const;
    // The nodes from the root down to i, the root first.
    std::vector<int> Chain(int i) const;

    // Adds a node under parent. Offsets must grow from one call to the next (they do along the
    // directory chain, which only points forward). Returns the new node's index.
    int Add(int parent, int64_t offset, TTreeKind kind, std::string_view name, uint8_t state = 0);
    // Builds the child index after the last Add.
    void Finish();

private:
    std::vector<TDirTreeNode> nodes_;
    std::string names_;
    std::vector<int32_t> childStart_, children_; // children of node i: [start[i], start[i + 1])
};

} // namespace vm
