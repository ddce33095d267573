#include "refman/RefList.h"

#include "display/ImageIndexes.h"
#include "output/SizeText.h"
#include "platform/AsciiCase.h"
#include "references/CompareRun.h"
#include "references/LoggingRun.h"
#include "references/RefFiles.h"

#include <algorithm>
#include <map>

namespace vm {

namespace {

// The names of the references, read from one reading of Volumark.ini and keyed by the
// upper-cased section, as sections compare.
std::map<std::string, std::string> StoredNames(const TRefStore& store)
{
    std::map<std::string, std::string> names;
    for (const auto& [section, values] : store.RefIni().ReadAll()) {
        const std::string key = AsciiUpperCase(section);
        if (names.count(key))
            continue; // the first copy of a section is the one that counts
        for (const auto& [k, v] : values)
            if (AsciiUpperCase(k) == "NAME") {
                names[key] = v;
                break;
            }
    }
    return names;
}

std::string ChangeText(int64_t latest, int64_t previous, const TLocale& locale)
{
    if (latest == previous || (latest > previous && previous == 0))
        return {};
    const int64_t change = latest - previous;
    return (change > 0 ? "+" : "-") + SizeText(change > 0 ? change : -change, locale);
}

} // namespace

std::vector<TRefRow> ListReferenceRows(const TRefStore& store, const TLocale& locale)
{
    TFileSystem& fs = store.Files();
    const std::map<std::string, std::string> names = StoredNames(store);
    std::vector<TRefRow> rows;
    for (int n : ListReferenceNumbers(fs, store.DataDir())) {
        TRefRow row;
        row.Number = n;
        const std::string section = TRefStore::RefSection(n);
        auto name = names.find(AsciiUpperCase(section));
        row.Caption = name == names.end() || name->second.empty() ? section : name->second;

        // The latest log is the one with the latest date, the previous one the latest before
        // it; only their roots are read.
        TDateTime best = 0;
        int latest = -1, previous = -1;
        for (const TListedLog& log : ListLogs(fs, store.RefDir(n))) {
            const TDateTime date = LogDate(store, n, log.Number);
            if (date > best) {
                previous = latest;
                latest = log.Number;
                best = date;
            }
        }
        if (latest < 0) {
            row.LastLogDate = kNotLogged;
        } else {
            const int64_t latestSpace = LogTotals(store, n, latest).Allocated;
            const int64_t previousSpace =
                previous < 0 ? 0 : LogTotals(store, n, previous).Allocated;
            row.LastLogDate = locale.DateTimeText(best);
            row.LastLogSize = SizeText(latestSpace, locale);
            row.LogChange = ChangeText(latestSpace, previousSpace, locale);
            row.DateKey = best;
            row.SizeKey = latestSpace;
            row.ChangeKey = row.LogChange.empty() ? 0 : latestSpace - previousSpace;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

const TRHSViewInfo& ViewInfo(TRHSView view)
{
    static const TRHSViewInfo kLogs = {"View &logs",
                                       7,
                                       {{{"Log number", 120, true},
                                         {"Log size", 80, true},
                                         {"Space taken", 80, true},
                                         {"Date created", 130, true}}},
                                       0};
    static const TRHSViewInfo kCompares = {"View &compares",
                                           8,
                                           {{{"Compared logs", 140, false},
                                             {"Date compared", 120, true},
                                             {"Grown by", 100, true},
                                             {"", 0, false}}},
                                           1};
    static const TRHSViewInfo kPaths = {"View &paths",
                                        9,
                                        {{{"Path name", 120, false},
                                          {"Allocation unit", 80, false},
                                          {"File system", 80, false},
                                          {"", 0, false}}},
                                        2};
    // The history shows no list: its columns are the logs view's, for a list that stays empty.
    static const TRHSViewInfo kHistory = {"View &history", 12, kLogs.Columns, 0};
    switch (view) {
    case TRHSView::Compares:
        return kCompares;
    case TRHSView::Paths:
        return kPaths;
    case TRHSView::History:
        return kHistory;
    case TRHSView::Logs:
        break;
    }
    return kLogs;
}

TRHSView NextView(TRHSView view)
{
    switch (view) {
    case TRHSView::Logs:
        return TRHSView::Compares;
    case TRHSView::Compares:
        return TRHSView::Paths;
    case TRHSView::Paths:
        return TRHSView::History;
    case TRHSView::History:
        break;
    }
    return TRHSView::Logs;
}

std::string LogCaption(int number)
{
    return "Log " + std::to_string(number);
}

std::string ComparisonCaption(int first, int second)
{
    return LogCaption(first) + " with " + LogCaption(second);
}

std::vector<TRHSRow> LogRows(const TRefStore& store, const TLocale& locale, int n)
{
    TFileSystem& fs = store.Files();
    std::vector<TRHSRow> rows;
    for (const TListedLog& log : ListLogs(fs, store.RefDir(n))) {
        TRHSRow row;
        row.Caption = LogCaption(log.Number);
        row.Image = img::Log;
        row.FileName = log.Name;
        row.Log = log.Number;
        const TLogTotals totals = LogTotals(store, n, log.Number);
        row.Size = totals.Size;
        row.Allocated = totals.Allocated;
        row.Date = LogDate(store, n, log.Number);
        row.Columns = {SizeText(row.Size, locale), SizeText(row.Allocated, locale),
                       row.Date == 0 ? "unavailable" : locale.DayDateTimeText(row.Date)};
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TRHSRow> ComparisonRows(const TRefStore& store, const TLocale& locale, int n)
{
    TFileSystem& fs = store.Files();
    std::vector<TRHSRow> rows;
    const std::string dir = store.RefDir(n);
    for (const TListedComparison& comparison : ListComparisons(fs, dir)) {
        TRHSRow row;
        row.Caption = ComparisonCaption(comparison.First, comparison.Second);
        row.Image = img::Comparison;
        row.FileName = comparison.Name;
        row.Log = comparison.First;
        row.NewLog = comparison.Second;
        const TComparisonTotals totals = ComparisonTotals(dir + "/" + comparison.Name);
        row.Size = totals.AllocNow - totals.AllocWas;
        row.StateImage = row.Size > 0 ? img::Bigger : row.Size < 0 ? img::Smaller : img::Unchanged;
        row.Date = comparison.Modified;
        row.Columns = {locale.DateTimeText(row.Date), SizeText(row.Size, locale), ""};
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TRHSRow> PathRows(const TRefStore& store, int n)
{
    std::vector<TRHSRow> rows;
    const TRefPaths paths = store.ReadRefPaths(n);
    if (paths.empty() || paths[0].Path.empty())
        return rows;
    for (const TRefPath& path : paths) {
        TRHSRow row;
        row.Caption = path.Path;
        row.Image = img::Path;
        row.Path = path;
        row.Columns = {path.UnitText, path.FileSystem, ""};
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<int> FitColumnWidths(const std::vector<int>& least, const std::vector<int>& shown,
                                 int available)
{
    std::vector<int> widths(least.size(), 0);
    int others = 0;
    for (size_t c = 0; c < least.size(); ++c) {
        if (least[c] < 0)
            continue;
        widths[c] = std::max(least[c], c < shown.size() ? shown[c] : 0);
        if (c > 0)
            others += widths[c];
    }
    if (!widths.empty() && least[0] >= 0)
        widths[0] = std::max(least[0], std::min(widths[0], available - others));
    return widths;
}

} // namespace vm
