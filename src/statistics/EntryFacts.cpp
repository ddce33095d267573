#include "statistics/EntryFacts.h"

#include "core/Coding.h"

namespace vm {

namespace {
// A date the file holds none for: a log stores such a date as 0, which reads back as 0.
const TDateTime kNoDate = UnpackTime(0);
} // namespace

bool LogRecordsOwners(const TDirStorage& log)
{
    return log.HasOwners();
}

bool ComparisonRecordsOwners(TDirCompare& comparison)
{
    return comparison.Format() == TLogFormat::Extended;
}

TEntryFacts FactsOf(const TDirNode& node, std::string_view name, int64_t offset)
{
    TEntryFacts f;
    f.Name = name;
    f.Offset = offset;
    f.Directory = node.Kind == kKindDirectory;
    f.Deleted = (node.Tags & kTagDeleted) != 0;
    f.Size = node.Size;
    f.Space = node.Allocated;
    f.Modified = node.Modified;
    f.Accessed = node.Accessed;
    f.ModifiedKnown = node.Modified != kNoDate;
    f.AccessedKnown = node.Accessed != kNoDate;
    f.Owner = node.Owner;
    f.Group = node.Group;
    return f;
}

TEntryFacts FactsOf(const TCompareRecord& r, std::string_view name, int64_t offset)
{
    TEntryFacts f;
    f.Name = name;
    f.Offset = offset;
    f.Directory = r.Kind == kKindDirectory;
    const bool gone = r.Condition == kConditionDeleted;
    f.Size = gone ? r.SizeWas : r.SizeNow;
    f.Space = gone ? r.AllocWas : r.AllocNow;
    f.Modified = r.Modified;
    f.Accessed = r.Accessed;
    f.ModifiedKnown = r.Modified != kNoDate;
    f.AccessedKnown = r.Accessed != kNoDate;
    f.Owner = r.Owner;
    f.Group = r.Group;
    return f;
}

} // namespace vm
