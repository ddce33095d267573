// What the reference manager's history view draws, as plain data: for every log in date order,
// one line per top-level path and one for the total, of the space taken or of the size; and the
// unit the value axis counts in.
#pragma once

#include "platform/DateTime.h"
#include "references/LogHistory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

enum class THistoryMeasure
{
    SpaceTaken, // the allocated totals
    Size
};

struct THistoryPoint
{
    TDateTime Date = 0;
    int64_t Bytes = 0;
};

struct THistorySeries
{
    std::string Name; // "Total", or the top-level path without its trailing "/"
    std::vector<THistoryPoint> Points;
};

// The total first, then each top-level path in the order the logs first hold it. A log that
// does not hold a path has no point on its line.
std::vector<THistorySeries> HistorySeries(const std::vector<TLogSummary>& logs,
                                          THistoryMeasure measure);

// The unit a value axis reaching max bytes counts in: bytes per unit and its name ("KB", "MB",
// "GB", "TB"), in the 1024 steps of the size texts.
struct TAxisUnit
{
    double Bytes = 1024;
    const char* Name = "KB";
};
TAxisUnit AxisUnitFor(int64_t max);

// Whether the date axis's labels need the time of day: when its ticks, spread evenly from first to
// last, fall less than a day apart (logs of one day would otherwise show one date at every tick).
bool AxisShowsTimeOfDay(TDateTime first, TDateTime last, int ticks);

} // namespace vm
