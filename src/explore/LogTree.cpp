#include "explore/LogTree.h"

#include <algorithm>

namespace vm {

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
    TLogRecord record;
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
