#include "listwindow/DirTree.h"

#include <algorithm>

namespace vm {

TDirTree::TDirTree(const std::string& rootText)
{
    nodes_.push_back(TDirTreeNode{});
    names_ = rootText;
    nodes_[0].NameLength = static_cast<uint32_t>(rootText.size());
    Finish();
}

std::string_view TDirTree::Name(int i) const
{
    const TDirTreeNode& n = Node(i);
    return std::string_view(names_).substr(n.NameAt, n.NameLength);
}

int TDirTree::ChildCount(int i) const
{
    size_t at = static_cast<size_t>(i);
    return at + 1 < childStart_.size() ? childStart_[at + 1] - childStart_[at] : 0;
}

int TDirTree::Child(int i, int row) const
{
    return children_[static_cast<size_t>(childStart_[static_cast<size_t>(i)] + row)];
}

int TDirTree::FindOffset(int32_t offset) const
{
    if (offset <= 0)
        return -1;
    auto it = std::lower_bound(nodes_.begin() + 1, nodes_.end(), offset,
                               [](const TDirTreeNode& n, int32_t o) { return n.Offset < o; });
    return it != nodes_.end() && it->Offset == offset ? static_cast<int>(it - nodes_.begin()) : -1;
}

std::vector<int> TDirTree::Chain(int i) const
{
    std::vector<int> chain;
    for (int n = i; n >= 0; n = Parent(n))
        chain.push_back(n);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::string TDirTree::PathOf(int i) const
{
    std::string path;
    for (int n : Chain(i)) {
        if (n == kRoot)
            continue;
        path += Name(n); // a top-level path ends with "/" already
        if (path.empty() || path.back() != '/')
            path += '/';
    }
    return path;
}

bool TDirTree::IsInside(int node, int ancestor) const
{
    for (int n = node; n >= 0; n = Parent(n))
        if (n == ancestor)
            return true;
    return false;
}

int TDirTree::Add(int parent, int32_t offset, TTreeKind kind, std::string_view name, uint8_t state)
{
    TDirTreeNode n;
    n.State = state;
    n.Offset = offset;
    n.Parent = parent;
    n.Kind = kind;
    n.NameAt = static_cast<uint32_t>(names_.size());
    n.NameLength = static_cast<uint32_t>(name.size());
    names_.append(name);
    nodes_.push_back(n);
    return Count() - 1;
}

void TDirTree::Finish()
{
    // Counting sort of the nodes by parent; nodes come in log order, so children keep it.
    childStart_.assign(nodes_.size() + 1, 0);
    for (size_t i = 1; i < nodes_.size(); ++i)
        ++childStart_[static_cast<size_t>(nodes_[i].Parent) + 1];
    for (size_t i = 1; i < childStart_.size(); ++i)
        childStart_[i] += childStart_[i - 1];
    children_.assign(nodes_.size() > 0 ? nodes_.size() - 1 : 0, 0);
    std::vector<int32_t> fill(childStart_.begin(), childStart_.end() - 1);
    for (size_t i = 1; i < nodes_.size(); ++i) {
        auto parent = static_cast<size_t>(nodes_[i].Parent);
        nodes_[i].Row = fill[parent] - childStart_[parent];
        children_[static_cast<size_t>(fill[parent]++)] = static_cast<int32_t>(i);
    }
}

TDirTreeBuilder::TDirTreeBuilder(TDirStorage& log, TDirTree& tree)
    : chain_(log, 1 << 20, TLogFileOrder::TFollow::NextDirOffset), tree_(tree)
{
}

void TDirTreeBuilder::Stop(std::string fault)
{
    fault_ = std::move(fault);
    done_ = true;
    tree_.Finish();
}

bool TDirTreeBuilder::Step(int directories)
{
    if (done_)
        return false;
    TRecordFixed record;
    std::string_view name;
    for (int i = 0; i < directories; ++i) {
        if (!chain_.Next(record, name)) {
            Stop(chain_.Damage().Text());
            return false;
        }
        const size_t level = record.Level;
        int parent = TDirTree::kRoot;
        if (level > 0) {
            // The last directory one level up must be this one's parent: in a sound log it
            // always is. A damaged level or parent link ends the tree here.
            parent = level - 1 < levelNode_.size() ? levelNode_[level - 1] : -1;
            if (parent < 0 || tree_.Node(parent).Offset != record.ParentOffset) {
                Stop("the directory at " + std::to_string(chain_.Offset()) + " (level " +
                     std::to_string(level) + ") has no parent directory before it");
                return false;
            }
        }
        int node =
            tree_.Add(parent, chain_.Offset(), level == 0 ? kTreePath : kTreeDirectory, name);
        levelNode_.resize(level + 1, -1);
        levelNode_[level] = node;
        lastName_.assign(name);
    }
    return true;
}

std::vector<int> InitialExpansion(const TDirTree& tree, int visibleRows)
{
    std::vector<int> open;
    const int paths = tree.ChildCount(TDirTree::kRoot);
    if (paths == 0)
        return open;
    open.push_back(TDirTree::kRoot);
    int rows = 1 + paths;
    const int first = tree.Child(TDirTree::kRoot, 0);
    bool firstOpen = false;
    if (tree.ChildCount(first) > 0) {
        firstOpen = true;
        rows += tree.ChildCount(first);
    }
    std::vector<int> further;
    for (int row = 1; row < paths; ++row) {
        const int path = tree.Child(TDirTree::kRoot, row);
        const int below = tree.ChildCount(path);
        if (below == 0)
            continue;
        if (rows + below > visibleRows) {
            if (firstOpen)
                rows -= tree.ChildCount(first);
            firstOpen = false;
            continue;
        }
        rows += below;
        further.push_back(path);
    }
    if (firstOpen)
        open.push_back(first);
    open.insert(open.end(), further.begin(), further.end());
    return open;
}

} // namespace vm
