// The plain tree a treemap is laid out over: one node per entry of a log's subtree (or of a
// comparison's), in file order (depth first, each directory before what it holds), with the
// weight its rectangle's area stands for, the entry's offset in its file and a one-byte colour
// key. Nothing else: names, dates and texts stay in the file and are read when a rectangle is
// shown.
//
// A node's subtree is the run of nodes from it to End(node): its first child is node + 1 (when
// that is below End), the next child starts at End of the one before. Offsets rise in file
// order, so each is kept as four bytes above the first offset of its block of 256 nodes. A node
// costs about 17 bytes (weight, offset, end, key), and the columns grow in blocks (std::deque) so
// that building never copies what it has made: the peak is what is kept.
#pragma once

#include <cstdint>
#include <deque>
#include <unordered_map>

namespace vm {

using TNodeIndex = uint32_t;

// The colour key of a node: for a log the file type family, for a comparison the change class
// (treemap/TreemapColours.h); the directory bit marks directories.
constexpr uint8_t kKeyDirectory = 0x80;
constexpr uint8_t kKeyValueMask = 0x7F;

class TSizeTree
{
public:
    // Builds the tree in file order: Open a directory, add its entries (files with AddLeaf,
    // directories with Open ... Close), Close it. Weights may be set or raised until the node is
    // closed; a closed directory's weight is its own plus its children's (AddOwnWeight).
    TNodeIndex Open(int64_t offset, uint8_t key);
    void AddOwnWeight(TNodeIndex directory, int64_t weight);
    TNodeIndex AddLeaf(int64_t offset, uint8_t key, int64_t weight);
    // Closes the directory opened last: its End is set and its weight passed to its parent.
    void Close();
    // Closes every directory still open.
    void CloseAll();
    int OpenDepth() const { return static_cast<int>(open_.size()); }

    TNodeIndex Count() const { return static_cast<TNodeIndex>(weights_.size()); }
    int64_t Weight(TNodeIndex n) const { return weights_[n]; }
    int64_t Offset(TNodeIndex n) const;
    TNodeIndex End(TNodeIndex n) const { return ends_[n]; }
    uint8_t Key(TNodeIndex n) const { return keys_[n]; }
    bool IsDirectory(TNodeIndex n) const { return (keys_[n] & kKeyDirectory) != 0; }
    bool HasChildren(TNodeIndex n) const { return n + 1 < ends_[n]; }
    // The parent of node n (n itself for the first node): found by walking down from node 0,
    // so it costs the siblings passed on the way.
    TNodeIndex ParentOf(TNodeIndex n) const;
    // The node whose offset is offset, below (or at) from; Count() when there is none.
    TNodeIndex FindOffset(int64_t offset, TNodeIndex from = 0) const;

private:
    std::deque<int64_t> weights_;
    void PushOffset(int64_t offset);
    std::deque<int64_t> blockOffsets_;    // the first offset of each block of kBlock nodes
    std::deque<uint32_t> offsets_;        // above the block's first; kFar: see far_
    std::unordered_map<TNodeIndex, int64_t> far_; // offsets that do not fit (not in file order)
    std::deque<TNodeIndex> ends_;
    std::deque<uint8_t> keys_;
    std::deque<TNodeIndex> open_; // the directories open while building
};

} // namespace vm
