// The tables of a log's or a comparison's statistics, as the report writes them and the
// statistics view shows them: which tables there are, in which order, what each is called, the
// caption of its name column, and the line that stands instead of rows where the file has none
// to give.
#pragma once

#include "platform/Locale.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/LogStatistics.h"
#include "statistics/StatisticsRows.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vm {

// Which tables: by type (family and extension), by age (modified and accessed), by owner (owner
// and group), the largest entries (for a comparison: the largest changes); All: every one.
enum class TReportTables
{
    All,
    Type,
    Age,
    Owner,
    Largest
};

// The names of owner and group ids.
struct TIdNames
{
    TIdName Owner, Group;
};

struct TStatsTableInfo
{
    std::string Key;   // what scripts call the table: "family", "largest_file" ...
    std::string Title; // what a reader sees above it: "Space by type"
    std::string NameCaption;
    bool Paths = false; // the names are full paths (one entry a row)
    std::string Note = {}; // stands instead of the rows ("This log does not record owners.")
};

struct TLogTable
{
    TStatsTableInfo Info;
    std::vector<TStatsRow> Rows;
};

struct TChangeTable
{
    TStatsTableInfo Info;
    std::vector<TChangeRow> Rows;
};

// A log's tables. top: rows of the extension, owner and largest tables (0: all).
std::vector<TLogTable> LogTables(const TLogStatistics& stats, TReportTables which, size_t top,
                                 const TLocale& locale, const TIdNames& names);
// A comparison's tables (it has no age tables).
std::vector<TChangeTable> ChangeTables(const TComparisonStatistics& stats, TReportTables which,
                                       size_t top, const TIdNames& names);

// The totals above a log's tables: "12 files in 3 directories: size 10 KB, space 48 KB", and
// where some are marked deleted from the disk, how many were not counted.
std::vector<std::string> LogTotalsLines(const TLogStatistics& stats, const TLocale& locale);
// The totals above a comparison's tables: files and space then and now, and the change.
std::string ChangeTotalsLine(const TComparisonStatistics& stats, const TLocale& locale);

// "1 file", "12 files".
std::string CountText(int64_t n, const char* one, const char* many);
// "12.5%".
std::string ShareText(double share, const TLocale& locale);
// A change of space with its sign: "+2 KB", "-1.50 MB", "0 KB".
std::string ChangeText(int64_t change, const TLocale& locale);

} // namespace vm
