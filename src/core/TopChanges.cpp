#include "core/TopChanges.h"

#include "core/DirCompare.h"

#include <algorithm>

namespace vm {

TTopChangesFinder::TTopChangesFinder(size_t count)
    : grew_(count, [](const TDirectoryChange& a,
                      const TDirectoryChange& b) { return a.Change() > b.Change(); }),
      shrank_(count, [](const TDirectoryChange& a, const TDirectoryChange& b) {
          return a.Change() < b.Change();
      })
{
}

void TTopChangesFinder::CloseBelow(int level)
{
    while (static_cast<int>(open_.size()) > level) {
        const TOpen d = open_.back();
        const int at = static_cast<int>(open_.size()) - 1;
        open_.pop_back();
        if (!d.Directory)
            continue;
        const TDirectoryChange probe{{}, d.AllocWas, d.AllocNow};
        const int64_t change = probe.Change();
        if (change > 0 && change != d.MostGrown && grew_.Wants(probe))
            grew_.Add(
                {std::string(paths_.OpenPath(at)), d.AllocWas, d.AllocNow, paths_.OpenOffset(at)});
        if (change < 0 && change != d.MostShrunk && shrank_.Wants(probe))
            shrank_.Add(
                {std::string(paths_.OpenPath(at)), d.AllocWas, d.AllocNow, paths_.OpenOffset(at)});
        if (!open_.empty()) {
            open_.back().MostGrown = std::max(open_.back().MostGrown, change);
            open_.back().MostShrunk = std::min(open_.back().MostShrunk, change);
        }
    }
}

bool TTopChangesFinder::Add(int64_t offset, const TCompareRecord& r, std::string_view name,
                            std::string& why)
{
    CloseBelow(r.Level);
    if (!paths_.Enter(offset, r.Level, r.ParentOffset, name, why))
        return false;
    open_.push_back({r.Kind == kKindDirectory, r.AllocWas, r.AllocNow, 0, 0});
    return true;
}

TTopChanges TTopChangesFinder::Finish()
{
    CloseBelow(0);
    TTopChanges top;
    top.Grew = grew_.TakeSorted();
    top.Shrank = shrank_.TakeSorted();
    return top;
}

TTopChanges FindTopChanges(TDirCompare& comparison, size_t count)
{
    TTopChangesFinder finder(count);
    std::string damage;
    TCompareWalkEnd end =
        WalkRecords(comparison, [&](int64_t at, const TCompareRecord& r, const std::string& name) {
            if (finder.Add(at, r, name, damage))
                return true;
            damage = "offset " + std::to_string(at) + ": " + damage;
            return false;
        });
    TTopChanges top = finder.Finish();
    top.Damage = damage.empty() ? end.Damage : damage;
    return top;
}

} // namespace vm
