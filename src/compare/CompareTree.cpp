#include "compare/CompareTree.h"

#include "compare/CompareTexts.h"
#include "core/CompareChecks.h"

namespace vm {

TCompareTreeBuilder::TCompareTreeBuilder(TDirCompare& file, TDirTree& tree)
    : file_(file), tree_(tree), next_(file.FirstOffset())
{
}

void TCompareTreeBuilder::Stop(const TLogDamage& damage)
{
    fault_ = damage.Text();
    done_ = true;
    tree_.Finish();
}

bool TCompareTreeBuilder::Step(int directories)
{
    if (done_)
        return false;
    TCompareRecord r;
    std::string name, why;
    for (int i = 0; i < directories; ++i) {
        const int64_t at = next_;
        if (!file_.ReadRecord(at, r, name, &why)) {
            // A file of the header alone holds no records: an empty comparison.
            const bool empty = at == file_.FirstOffset() && file_.FileSize() <= at;
            Stop(empty ? TLogDamage() : TLogDamage{at, from_, why});
            return false;
        }
        if (r.Kind == kKindDirectory) {
            const size_t level = r.Level;
            int parent = TDirTree::kRoot;
            if (level > 0) {
                parent = level - 1 < levelNode_.size() ? levelNode_[level - 1] : -1;
                if (parent < 0 || tree_.Node(parent).Offset != r.ParentOffset) {
                    Stop({at, from_,
                          "the directory of level " + std::to_string(level) +
                              " has no parent directory before it"});
                    return false;
                }
            }
            const int node = level == 0 ? tree_.Add(parent, at, kTreePath, name)
                                        : tree_.Add(parent, at, kTreeDirectory, name,
                                                    uint8_t(TreeStateImage(r)));
            levelNode_.resize(level + 1, -1);
            levelNode_[level] = node;
            lastName_ = name;
        }
        // The chain ends at -1, and at the first directory's link back to the first record.
        const int64_t link = r.NextDirOffset;
        if (link == kNoOffset || link == file_.FirstOffset()) {
            Stop({});
            return false;
        }
        next_ = file_.ForwardLink(at, link);
        if (next_ == kNoOffset) {
            Stop({link, at,
                  "the link " + CompareLinkFault(at, link, file_.FileSize(), file_.FirstOffset())});
            return false;
        }
        from_ = at;
    }
    return true;
}

std::vector<int> CompareInitialExpansion(const TDirTree& tree)
{
    std::vector<int> open;
    const int paths = tree.ChildCount(TDirTree::kRoot);
    if (paths == 0)
        return open;
    open.push_back(TDirTree::kRoot);
    if (tree.ChildCount(tree.Child(TDirTree::kRoot, 0)) == 0)
        return open;
    for (int row = 0; row < paths; ++row) {
        const int path = tree.Child(TDirTree::kRoot, row);
        if (tree.ChildCount(path) > 0)
            open.push_back(path);
    }
    return open;
}

} // namespace vm
