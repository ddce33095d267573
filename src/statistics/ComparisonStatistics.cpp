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

TChangeCollector::TChangeCollector(size_t count, int baseLevel, bool hasOwners)
    : baseLevel_(baseLevel), finder_(count), growing_(count)
{
    stats_.HasOwners = hasOwners;
}

bool TChangeCollector::AddTop(int64_t offset, const TCompareRecord& record, const std::string& path,
                              std::string& why)
{
    TCompareRecord top = record;
    top.Level = 0;
    return finder_.Add(offset, top, path + "/", why);
}

bool TChangeCollector::Add(int64_t offset, const TCompareRecord& r, std::string_view name,
                           std::string& why)
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
    TCompareRecord relative = r;
    relative.Level = static_cast<uint16_t>(r.Level - baseLevel_);
    if (finder_.Add(offset, relative, name, why))
        return true;
    why = "offset " + std::to_string(offset) + ": " + why;
    return false;
}

TComparisonStatistics TChangeCollector::Finish(TDirCompare& comparison)
{
    types_.Finish(stats_.Extensions, stats_.Families);
    stats_.ChangedDirectories = finder_.Finish();
    stats_.GrowingFiles = growing_.TakeSorted();
    for (TFileChange& f : stats_.GrowingFiles)
        f.Path = comparison.GetFullPath(f.Offset);
    return std::move(stats_);
}

TComparisonStatisticsWalk::TComparisonStatisticsWalk(TDirCompare& comparison, int64_t dir,
                                                     size_t count)
    : comparison_(comparison), walk_(comparison, TView::AllFiles, dir)
{
    const TCompareRecord& start = walk_.Start();
    collector_ = std::make_unique<TChangeCollector>(count, walk_.AtRoot() ? 0 : start.Level,
                                                    ComparisonRecordsOwners(comparison_));
    if (!walk_.HasStart()) {
        damage_ = walk_.Fault();
        done_ = true;
        return;
    }
    if (walk_.AtRoot()) {
        // The first record is the first top-level path, the first record of the walk.
        std::string name;
        TCompareRecord first;
        if (comparison_.ReadRecord(comparison_.FirstOffset(), first, name))
            Add(comparison_.FirstOffset(), first, name);
        return;
    }
    if (!collector_->AddTop(dir, start, comparison_.GetFullPath(dir),
                            damage_))
        done_ = true;
}

void TComparisonStatisticsWalk::Add(int64_t offset, const TCompareRecord& record,
                                    std::string_view name)
{
    if (!collector_->Add(offset, record, name, damage_))
        done_ = true;
}

bool TComparisonStatisticsWalk::Step(size_t budget)
{
    TCompareRecord record;
    std::string name;
    for (size_t i = 0; i < budget && !done_; ++i) {
        if (!walk_.Next(record, name)) {
            damage_ = walk_.Fault();
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
    TComparisonStatistics stats = collector_->Finish(comparison_);
    stats.Damage = damage_;
    return stats;
}

TComparisonStatistics CollectComparisonStatistics(TDirCompare& comparison, int64_t dir,
                                                  size_t count)
{
    if (dir >= 0)
        return TComparisonStatisticsWalk(comparison, dir, count).Take();
    // The whole file: one pass along its records, as every reader of a whole comparison makes.
    TChangeCollector collector(count, 0, ComparisonRecordsOwners(comparison));
    std::string damage;
    const TCompareWalkEnd end =
        WalkRecords(comparison, [&](int64_t at, const TCompareRecord& r, const std::string& name) {
            return collector.Add(at, r, name, damage);
        });
    TComparisonStatistics stats = collector.Finish(comparison);
    stats.Damage = damage.empty() ? end.Damage : damage;
    return stats;
}

} // namespace vm
