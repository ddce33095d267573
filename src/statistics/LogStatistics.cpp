#include "statistics/LogStatistics.h"

#include "output/ListTexts.h"
#include "platform/AsciiCase.h"

namespace vm {

std::string ExtensionKey(std::string_view name)
{
    return AsciiLowerCase(std::string(TypeExtensionOf(name)));
}

TStatisticsCollector::TStatisticsCollector(size_t largest, TDateTime ageReference, bool hasOwners)
    : ages_(ageReference), files_(largest), directories_(largest)
{
    stats_.AgeReference = ageReference;
    stats_.HasOwners = hasOwners;
}

void TStatisticsCollector::Add(const TEntryFacts& e)
{
    if (e.Directory) {
        ++stats_.Directories;
        const TLargestEntry probe{e.Offset, e.Size, e.Space, {}};
        if (!e.Deleted && directories_.Wants(probe))
            directories_.Add(probe);
        return;
    }
    if (e.Deleted) {
        ++stats_.DeletedFiles;
        return;
    }
    stats_.Files.Add(e.Size, e.Space);
    types_.Add(e.Name, [&e](TSpaceFigures& f) { f.Add(e.Size, e.Space); });
    stats_.Modified[static_cast<size_t>(ages_.Of(e.Modified, e.ModifiedKnown))].Add(e.Size,
                                                                                    e.Space);
    stats_.Accessed[static_cast<size_t>(ages_.Of(e.Accessed, e.AccessedKnown))].Add(e.Size,
                                                                                    e.Space);
    if (stats_.HasOwners) {
        TableRow(stats_.Owners, e.Owner, kOtherIds).Add(e.Size, e.Space);
        TableRow(stats_.Groups, e.Group, kOtherIds).Add(e.Size, e.Space);
    }
    const TLargestEntry probe{e.Offset, e.Size, e.Space, {}};
    if (files_.Wants(probe))
        files_.Add(probe);
}

void TStatisticsCollector::TakeLargest()
{
    stats_.LargestFiles = files_.TakeSorted();
    stats_.LargestDirectories = directories_.TakeSorted();
}

TLogStatisticsWalk::TLogStatisticsWalk(TDirStorage& log, int64_t dir,
                                       const TStatisticsOptions& options)
    : log_(log), walk_(dir < 0 ? TLogWalk::AllRecords(log)
                               : TLogWalk::Subtree(log, dir)),
      collector_(options.Largest,
                 options.AgeReference != 0 ? options.AgeReference : log.GetLogDate(),
                 LogRecordsOwners(log))
{
}

bool TLogStatisticsWalk::Step(size_t budget)
{
    if (done_)
        return false;
    TDirNode node;
    std::string name;
    for (size_t i = 0; i < budget; ++i) {
        if (!walk_.Next(node, name)) {
            if (walk_.Damage().Found())
                damage_ = walk_.Damage().Text();
            done_ = true;
            return false;
        }
        // The top-level paths are the log itself, not directories of it.
        if (node.Level == 0)
            continue;
        collector_.Add(FactsOf(node, name, walk_.Offset()));
    }
    return true;
}

TLogStatistics TLogStatisticsWalk::Take()
{
    while (Step(1 << 16)) {
    }
    TLogStatistics stats = collector_.Finish(
        [this](int64_t offset) { return log_.GetFullPath(offset); });
    stats.Damage = damage_;
    return stats;
}

TLogStatistics CollectLogStatistics(TDirStorage& log, int64_t dir,
                                    const TStatisticsOptions& options)
{
    return TLogStatisticsWalk(log, dir, options).Take();
}

} // namespace vm
