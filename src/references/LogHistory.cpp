#include "references/LogHistory.h"

#include "core/LogWalk.h"
#include "output/ListColumns.h"
#include "output/SizeText.h"
#include "output/TextTable.h"
#include "references/RefFiles.h"
#include "references/RefStore.h"

#include <algorithm>

namespace vm {

TLogSummary ReadLogSummary(const std::string& path, int logNumber)
{
    TLogSummary summary;
    summary.LogNumber = logNumber;
    try {
        TFileStream file(path, TFileMode::OpenRead);
        TDirStorage log(file);
        summary.Readable = true;
        summary.Date = log.GetLogDate();
        TLogWalk roots = TLogWalk::Roots(log);
        TDirNode node;
        std::string name;
        while (roots.Next(node, name)) {
            summary.Roots.push_back({name, node.Size, node.Allocated});
            summary.Size += node.Size;
            summary.Allocated += node.Allocated;
        }
    } catch (const EStreamError&) {
        TLogSummary unreadable;
        unreadable.LogNumber = logNumber;
        return unreadable;
    }
    return summary;
}

std::vector<TLogSummary> LogHistory(const TRefStore& store, int n, size_t lastCount)
{
    std::vector<TLogSummary> logs;
    // The logs the reference manager lists, so that the history and the logs view agree.
    for (const TListedLog& listed : ListLogs(store.Files(), store.RefDir(n))) {
        TLogSummary s = ReadLogSummary(store.LogFileName(n, listed.Number), listed.Number);
        if (s.Readable)
            logs.push_back(std::move(s));
    }
    std::stable_sort(logs.begin(), logs.end(),
                     [](const TLogSummary& a, const TLogSummary& b) { return a.Date < b.Date; });
    if (logs.size() > lastCount)
        logs.erase(logs.begin(), logs.end() - static_cast<std::ptrdiff_t>(lastCount));
    return logs;
}

std::vector<THistoryRow> HistoryRows(const std::vector<TLogSummary>& logs, const TLocale& locale)
{
    std::vector<THistoryRow> rows;
    for (size_t i = 0; i < logs.size(); ++i) {
        const TLogSummary& l = logs[i];
        std::string change;
        if (i > 0) {
            const int64_t delta = l.Allocated - logs[i - 1].Allocated;
            change = (delta > 0 ? "+" : "") + SizeText(delta, locale);
        }
        rows.push_back({std::to_string(l.LogNumber), locale.DayDateTimeText(l.Date),
                        SizeText(l.Allocated, locale), SizeText(l.Size, locale), change});
    }
    return rows;
}

std::vector<std::string> HistoryTableLines(const std::vector<TLogSummary>& logs,
                                           const TLocale& locale)
{
    std::vector<std::vector<std::string>> cells = {
        {"Log", "Date", "Space taken", "Size", "Change"}};
    for (THistoryRow& r : HistoryRows(logs, locale))
        cells.push_back({std::move(r.Log), std::move(r.Date), std::move(r.SpaceTaken),
                         std::move(r.Size), std::move(r.Change)});
    std::vector<std::string> lines = {"Recent logs of this reference :"};
    for (std::string& line : TextTableLines(
             cells, {TAlign::Right, TAlign::Left, TAlign::Right, TAlign::Right, TAlign::Right}))
        lines.push_back(std::move(line));
    return lines;
}

} // namespace vm
