#include "display/DirTree.h"

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

int TDirTree::FindOffset(int64_t offset) const
{
    if (offset <= 0)
        return -1;
    auto it = std::lower_bound(nodes_.begin() + 1, nodes_.end(), offset,
                               [](const TDirTreeNode& n, int64_t o) { return n.Offset < o; });
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

int TDirTree::Add(int parent, int64_t offset, TTreeKind kind, std::string_view name, uint8_t state)
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

} // namespace vm
