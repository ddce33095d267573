// The tables of the statistics as rows a view, a report and a mail show: each row a name and its
// figures, largest first, and the selection that leads to its files (a filter for the list, or
// the entry itself).
#pragma once

#include "core/FileFilter.h"
#include "platform/Locale.h"
#include "statistics/AgeBuckets.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/EntryFacts.h"
#include "statistics/FileFamily.h"
#include "statistics/LogStatistics.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// What a row stands for, so that a window can lead from it to its files.
struct TStatsSelection
{
    enum class TKind : uint8_t
    {
        None,      // the row of the rest (extensions, owners past the table's limit)
        Family,    // files of a type family
        Extension, // files of an extension (Extension: "" for none)
        Modified,  // files last changed in an age bucket
        Accessed,  // files last accessed in an age bucket
        Owner,     // files of an owner (Id)
        Group,     // files of a group (Id)
        Entry      // one file or directory (Offset): select it
    };
    TKind Kind = TKind::None;
    TFileFamily Family = TFileFamily::Other;
    std::string Extension;
    TAgeBucket Age = TAgeBucket::Unknown;
    TDateTime AgeReference = 0;
    uint32_t Id = kNoOwnerId;
    int64_t Offset = -1;

    // Whether a file belongs to the row (the exact test, also where no filter fits).
    bool Matches(const TEntryFacts& file) const;
    // The file filter that shows the row's files, from the reset state, where the filter's
    // fields can say it: families and extensions as name patterns ("*.jpg"), ages as a date
    // range of whole days, owners and groups by their number. Nothing for the Other family,
    // files without an extension, files of no date, the unknown owner and single entries.
    std::optional<TFilterFields> FilterFields(const TLocale& locale) const;
};

struct TStatsRow
{
    std::string Name; // "Images", ".jpg", "Within a week", "alice", a full path
    int64_t Id = -1;  // owner and group rows: the id; -1 for others
    int64_t Count = 0, Size = 0, Space = 0;
    double Share = 0; // of the space of every file counted, 0 to 1
    TStatsSelection Select;
};

struct TChangeRow
{
    std::string Name;
    int64_t Id = -1;
    int64_t CountWas = 0, CountNow = 0;
    int64_t SpaceWas = 0, SpaceNow = 0;
    int64_t Change() const { return SpaceNow - SpaceWas; }
    TStatsSelection Select;
};

// The names of owner and group ids (platform/FileOwner.h gives the system's).
using TIdName = std::function<std::string(uint32_t id)>;

// The name of an extension row: ".jpg", "(no extension)", "(others)".
std::string ExtensionRowName(const std::string& extension);

// A log's tables. count: at most that many rows (0: all); rows with no file are left out, except
// that the age tables always hold their five buckets (and "No date" when some file has none).
std::vector<TStatsRow> FamilyRows(const TLogStatistics& stats);
std::vector<TStatsRow> ExtensionRows(const TLogStatistics& stats, size_t count = 0);
std::vector<TStatsRow> AgeRows(const TLogStatistics& stats, bool accessed);
std::vector<TStatsRow> OwnerRows(const TLogStatistics& stats, bool groups, const TIdName& name,
                                 size_t count = 0);
std::vector<TStatsRow> LargestRows(const TLogStatistics& stats, bool directories, size_t count = 0);

// A comparison's tables, the largest change first, growth or loss.
std::vector<TChangeRow> FamilyChangeRows(const TComparisonStatistics& stats);
std::vector<TChangeRow> ExtensionChangeRows(const TComparisonStatistics& stats, size_t count = 0);
std::vector<TChangeRow> OwnerChangeRows(const TComparisonStatistics& stats, bool groups,
                                        const TIdName& name, size_t count = 0);
// The directories that grew most, that shrank most, and the files that grew most.
std::vector<TChangeRow> GrewDirectoryRows(const TComparisonStatistics& stats, size_t count = 0);
std::vector<TChangeRow> ShrankDirectoryRows(const TComparisonStatistics& stats, size_t count = 0);
std::vector<TChangeRow> GrewFileRows(const TComparisonStatistics& stats, size_t count = 0);

} // namespace vm
