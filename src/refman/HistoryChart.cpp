#include "refman/HistoryChart.h"

#include <unordered_map>

namespace vm {

std::vector<THistorySeries> HistorySeries(const std::vector<TLogSummary>& logs,
                                          THistoryMeasure measure)
{
    auto bytes = [measure](int64_t size, int64_t allocated) {
        return measure == THistoryMeasure::Size ? size : allocated;
    };
    std::vector<THistorySeries> series = {{"Total", {}}};
    std::unordered_map<std::string, size_t> byPath;
    for (const TLogSummary& log : logs) {
        series[0].Points.push_back({log.Date, bytes(log.Size, log.Allocated)});
        for (const TRootTotals& root : log.Roots) {
            auto [it, added] = byPath.emplace(root.Path, series.size());
            if (added) {
                std::string name = root.Path;
                if (name.size() > 1 && name.back() == '/')
                    name.pop_back();
                series.push_back({name, {}});
            }
            series[it->second].Points.push_back({log.Date, bytes(root.Size, root.Allocated)});
        }
    }
    return series;
}

TAxisUnit AxisUnitFor(int64_t max)
{
    static const char* const kNames[] = {"KB", "MB", "GB", "TB"};
    double unit = 1024;
    int i = 0;
    while (i < 3 && static_cast<double>(max) >= unit * 1024) {
        unit *= 1024;
        ++i;
    }
    return {unit, kNames[i]};
}

bool AxisShowsTimeOfDay(TDateTime first, TDateTime last, int ticks)
{
    return ticks > 1 && (last - first) / (ticks - 1) < 1.0;
}

} // namespace vm
