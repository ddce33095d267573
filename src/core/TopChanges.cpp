#include "core/TopChanges.h"

#include "core/DirCompare.h"
#include "core/PathStack.h"

#include <algorithm>

namespace vm {

namespace {

// The best count changes so far, kept as a heap whose top is the one to drop first.
class TBest
{
public:
    // better(a, b): a is a larger change of this list's kind than b.
    TBest(size_t count, bool (*better)(int64_t, int64_t)) : count_(count), better_(better) {}

    bool Wants(int64_t change) const
    {
        return count_ > 0 && (items_.size() < count_ || better_(change, items_.front().Change()));
    }
    void Add(TDirectoryChange item)
    {
        items_.push_back(std::move(item));
        std::push_heap(items_.begin(), items_.end(), Order());
        if (items_.size() > count_) {
            std::pop_heap(items_.begin(), items_.end(), Order());
            items_.pop_back();
        }
    }
    std::vector<TDirectoryChange> Sorted()
    {
        std::sort_heap(items_.begin(), items_.end(), Order());
        return std::move(items_);
    }

private:
    struct TOrder
    {
        bool (*Better)(int64_t, int64_t);
        bool operator()(const TDirectoryChange& a, const TDirectoryChange& b) const
        {
            return Better(a.Change(), b.Change());
        }
    };
    TOrder Order() const { return {better_}; }

    size_t count_;
    bool (*better_)(int64_t, int64_t);
    std::vector<TDirectoryChange> items_;
};

// A record the pass is inside of, with the largest growth and loss of its subdirectories.
struct TOpen
{
    bool Directory = false;
    int64_t AllocWas = 0, AllocNow = 0;
    int64_t MostGrown = 0, MostShrunk = 0;
};

} // namespace

TTopChanges FindTopChanges(TDirCompare& comparison, size_t count)
{
    TBest grew(count, [](int64_t a, int64_t b) { return a > b; });
    TBest shrank(count, [](int64_t a, int64_t b) { return a < b; });
    TPathStack paths;
    std::vector<TOpen> open;
    // Closes the open records deeper than level, the deepest first, while paths still knows
    // theirs.
    auto closeBelow = [&](int level) {
        while (static_cast<int>(open.size()) > level) {
            const TOpen d = open.back();
            const int at = static_cast<int>(open.size()) - 1;
            open.pop_back();
            if (!d.Directory)
                continue;
            const int64_t change = d.AllocNow - d.AllocWas;
            if (change > 0 && change != d.MostGrown && grew.Wants(change))
                grew.Add({std::string(paths.OpenPath(at)), d.AllocWas, d.AllocNow});
            if (change < 0 && change != d.MostShrunk && shrank.Wants(change))
                shrank.Add({std::string(paths.OpenPath(at)), d.AllocWas, d.AllocNow});
            if (!open.empty()) {
                open.back().MostGrown = std::max(open.back().MostGrown, change);
                open.back().MostShrunk = std::min(open.back().MostShrunk, change);
            }
        }
    };
    TTopChanges top;
    TCompareWalkEnd end =
        WalkRecords(comparison, [&](int32_t at, const TCompareRecord& r, const std::string& name) {
            closeBelow(r.Level);
            if (!paths.Enter(at, r.Level, r.ParentOffset, name, top.Damage)) {
                top.Damage = "offset " + std::to_string(at) + ": " + top.Damage;
                return false;
            }
            open.push_back({r.Kind == kKindDirectory, r.AllocWas, r.AllocNow, 0, 0});
            return true;
        });
    if (top.Damage.empty())
        top.Damage = end.Damage;
    closeBelow(0);
    top.Grew = grew.Sorted();
    top.Shrank = shrank.Sorted();
    return top;
}

} // namespace vm
