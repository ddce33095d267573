#include "references/LogHistory.h"

#include "app/SizeText.h"
#include "core/LogWalk.h"
#include "output/ListColumns.h"
#include "references/RefStore.h"
#include "refman/RefFiles.h"

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
    std::vector<THistoryRow> rows = HistoryRows(logs, locale);
    rows.insert(rows.begin(), {"Log", "Date", "Space taken", "Size", "Change"});
    size_t w[5] = {};
    for (const THistoryRow& r : rows) {
        const std::string* cells[] = {&r.Log, &r.Date, &r.SpaceTaken, &r.Size, &r.Change};
        for (int c = 0; c < 5; ++c)
            w[c] = std::max(w[c], CharacterCount(*cells[c]));
    }
    auto left = [](const std::string& s, size_t width) {
        return s + std::string(width - CharacterCount(s), ' ');
    };
    auto right = [](const std::string& s, size_t width) {
        return std::string(width - CharacterCount(s), ' ') + s;
    };
    std::vector<std::string> lines = {"Recent logs of this reference :"};
    for (const THistoryRow& r : rows) {
        std::string line = right(r.Log, w[0]) + "  " + left(r.Date, w[1]) + "  " +
                           right(r.SpaceTaken, w[2]) + "  " + right(r.Size, w[3]) + "  " +
                           right(r.Change, w[4]);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace vm
