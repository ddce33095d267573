#include "statistics/ComparisonStatistics.h"

#include "statistics/EntryFacts.h"
#include "statistics/LogStatistics.h"

namespace vm {

void TChangeFigures::Add(const TCompareRecord& r)
{
    if (r.Condition != kConditionAdded) {
        ++CountWas;
        SizeWas += r.SizeWas;
        SpaceWas += r.AllocWas;
    }
    if (r.Condition != kConditionDeleted) {
        ++CountNow;
        SizeNow += r.SizeNow;
        SpaceNow += r.AllocNow;
    }
}

TChangeFigures& TChangeFigures::operator+=(const TChangeFigures& o)
{
    CountWas += o.CountWas;
    CountNow += o.CountNow;
    SizeWas += o.SizeWas;
    SizeNow += o.SizeNow;
    SpaceWas += o.SpaceWas;
    SpaceNow += o.SpaceNow;
    return *this;
}

TComparisonStatisticsWalk::TComparisonStatisticsWalk(TDirCompare& comparison, int64_t dir,
                                                     size_t count)
    : comparison_(comparison), walk_(comparison, TView::AllFiles, static_cast<int32_t>(dir)),
      finder_(count), growing_(count)
{
    if (!walk_.HasStart()) {
        stats_.Damage = walk_.Fault();
        done_ = true;
        return;
    }
    const TCompareRecord& start = walk_.Start();
    if (walk_.AtRoot()) {
        // The record at 14 is the first top-level path, the first record of the walk.
        std::string name, why;
        TCompareRecord first;
        if (comparison_.ReadRecord(kCompareFirstOffset, first, name, &why))
            Add(kCompareFirstOffset, first, name);
        return;
    }
    // The finder takes the directory as its top: its full path, its entries counted from it.
    baseLevel_ = start.Level;
    std::string why;
    TCompareRecord top = start;
    top.Level = 0;
    if (!finder_.Add(dir, top, comparison_.GetFullPath(static_cast<int32_t>(dir)) + "/", why)) {
        stats_.Damage = why;
        done_ = true;
    }
}

void TComparisonStatisticsWalk::Add(int64_t offset, TCompareRecord r, std::string_view name)
{
    const bool directory = r.Kind == kKindDirectory;
    if (directory && r.Level > 0)
        ++stats_.Directories;
    if (!directory) {
        stats_.Files.Add(r);
        types_.Add(name, [&r](TChangeFigures& f) { f.Add(r); });
        if (stats_.HasOwners) {
            const TEntryFacts facts = FactsOf(r, name, offset);
            TableRow(stats_.Owners, facts.Owner, kOtherIds).Add(r);
            TableRow(stats_.Groups, facts.Group, kOtherIds).Add(r);
        }
        const TFileChange probe{offset, r.AllocWas, r.AllocNow, {}};
        if (probe.Change() > 0 && growing_.Wants(probe))
            growing_.Add(probe);
    }
    r.Level = static_cast<uint16_t>(r.Level - baseLevel_);
    std::string why;
    if (!finder_.Add(static_cast<int32_t>(offset), r, name, why)) {
        stats_.Damage = "offset " + std::to_string(offset) + ": " + why;
        done_ = true;
    }
}

bool TComparisonStatisticsWalk::Step(size_t budget)
{
    TCompareRecord record;
    std::string name;
    for (size_t i = 0; i < budget && !done_; ++i) {
        if (!walk_.Next(record, name)) {
            if (stats_.Damage.empty())
                stats_.Damage = walk_.Fault();
            done_ = true;
            break;
        }
        Add(walk_.Offset(), record, name);
    }
    return !done_;
}

TComparisonStatistics TComparisonStatisticsWalk::Take()
{
    while (Step(1 << 16)) {
    }
    const std::string damage = stats_.Damage;
    types_.Finish(stats_.Extensions, stats_.Families);
    stats_.ChangedDirectories = finder_.Finish();
    stats_.GrowingFiles = growing_.TakeSorted();
    for (TFileChange& f : stats_.GrowingFiles)
        f.Path = comparison_.GetFullPath(static_cast<int32_t>(f.Offset));
    stats_.Damage = damage;
    return std::move(stats_);
}

TComparisonStatistics CollectComparisonStatistics(TDirCompare& comparison, int64_t dir,
                                                  size_t count)
{
    return TComparisonStatisticsWalk(comparison, dir, count).Take();
}

} // namespace vm
