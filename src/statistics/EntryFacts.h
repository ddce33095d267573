// What the statistics take from one entry of a log or a comparison, whatever file it comes from:
// the one place that knows which fields a record carries (owners and groups come from extended
// logs and comparisons).
#pragma once

#include "core/CompareFormat.h"
#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string_view>

namespace vm {

// The owner or group of an entry whose file records none.
constexpr uint32_t kNoOwnerId = kNoOwner;

struct TEntryFacts
{
    std::string_view Name;
    int64_t Offset = -1;
    bool Directory = false;
    bool Deleted = false; // marked deleted from the disk after logging
    int64_t Size = 0, Space = 0;
    TDateTime Modified = 0, Accessed = 0;
    bool ModifiedKnown = false, AccessedKnown = false; // false where the file holds no date
    uint32_t Owner = kNoOwnerId, Group = kNoOwnerId;
};

// Whether the log records the owner and group of its entries. The exact format does not.
bool LogRecordsOwners(const TDirStorage& log);
// Whether the comparison's records carry owners and groups: an extended comparison does (an
// entry that only an exact log held has none, kNoOwnerId).
bool ComparisonRecordsOwners(TDirCompare& comparison);

TEntryFacts FactsOf(const TDirNode& node, std::string_view name, int64_t offset);

// A comparison's record: Size and Space are the figures now (was, for an entry that is gone).
TEntryFacts FactsOf(const TCompareRecord& record, std::string_view name, int64_t offset);

} // namespace vm
