// A reference's logs over time: per log its date and the size and space of each top-level path
// and of all of them, read from the header and the root records alone (as the log totals are),
// so that a reference with a thousand logs is summed up in a moment. The history view of the
// reference manager draws it; the results mail shows the last ten.
#pragma once

#include "platform/DateTime.h"
#include "platform/Locale.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vm {

class TRefStore;

struct TRootTotals
{
    std::string Path; // as the log holds it, ending with "/"
    int64_t Size = 0;
    int64_t Allocated = 0;
};

struct TLogSummary
{
    int LogNumber = 0;
    bool Readable = false; // false: the file could not be opened (everything below is 0)
    TDateTime Date = 0;
    std::vector<TRootTotals> Roots;
    int64_t Size = 0;      // the sums over the roots
    int64_t Allocated = 0; // what reports call the log size, or space taken
};

// The header and roots of the log file; a damaged root chain ends the sums where it is.
TLogSummary ReadLogSummary(const std::string& path, int logNumber);

// The readable logs of reference n in date order (logs of the same date by number); with
// lastCount, only the last that many.
std::vector<TLogSummary> LogHistory(const TRefStore& store, int n,
                                    size_t lastCount = static_cast<size_t>(-1));

// The texts of one log in the history's tables: number, date ("ddd c"), space taken, size and
// the change of the space taken from the log before ("+12 KB"; empty for the first).
struct THistoryRow
{
    std::string Log, Date, SpaceTaken, Size, Change;
};
std::vector<THistoryRow> HistoryRows(const std::vector<TLogSummary>& logs, const TLocale& locale);

// The small table the results mail ends with: a heading, then the history rows in columns.
std::vector<std::string> HistoryTableLines(const std::vector<TLogSummary>& logs,
                                           const TLocale& locale);

} // namespace vm
