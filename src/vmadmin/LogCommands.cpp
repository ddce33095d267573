// vmadmin log ..., compare ..., history and top: the logs and comparisons of a reference as the
// reference manager lists them, logging now as the unattended run does, comparing as the
// manager's "Compare" does, the history view's table and the directories that grew most.
#include "core/DirCompare.h"
#include "core/TopChanges.h"
#include "output/SizeText.h"
#include "references/CommandLine.h"
#include "references/CommandLineRun.h"
#include "references/CompareRun.h"
#include "references/LogHistory.h"
#include "references/RefFiles.h"
#include "references/ResultsMail.h"
#include "refman/RefList.h"
#include "refman/RefRuns.h"
#include "vmadmin/Commands.h"
#include "vmadmin/Output.h"

#include <algorithm>

namespace vm::vmadmin {

namespace {

// The file names of the logs (or comparisons) the operands name; EUsage for one that is not
// there.
std::vector<std::string> LogFileNames(const TRefStore& store, int n, const TArgs& numbers,
                                      const std::string& ref)
{
    const std::vector<TListedLog> logs = ListLogs(store.Files(), store.RefDir(n));
    std::vector<std::string> names;
    for (const std::string& text : numbers) {
        const int m = PositiveNumber(text, "a log number");
        auto found = std::find_if(logs.begin(), logs.end(),
                                  [m](const TListedLog& l) { return l.Number == m; });
        if (found == logs.end())
            throw EUsage("Reference [" + ref + "] has no log " + std::to_string(m));
        names.push_back(found->Name);
    }
    return names;
}

// Removes the files from the reference directory; says which could not go.
int RemoveFiles(TAdmin& admin, int n, const std::vector<std::string>& names)
{
    const std::string dir = admin.Store.RefDir(n);
    std::string failure;
    int status = 0;
    for (const std::string& name : names)
        if (RefFileExists(admin.Store.Files(), dir, name) &&
            !RemoveRefFile(admin.Store.Files(), dir, name, failure)) {
            admin.UI.ShowMessage("Cannot delete " + failure);
            status = 1;
        }
    return status;
}

TJson ChangesJson(const std::vector<TDirectoryChange>& changes)
{
    TJson list = TJson::array();
    for (const TDirectoryChange& c : changes) {
        TJson change;
        SetJsonPath(change, "path", c.Path);
        change["was"] = c.AllocWas;
        change["now"] = c.AllocNow;
        change["change"] = c.Change();
        list.push_back(std::move(change));
    }
    return list;
}

} // namespace

int LogList(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin log list REF");
    const int n = FindReference(admin.Store, ops[0]);
    const std::vector<TRHSRow> rows = LogRows(admin.Store, admin.Locale, n);
    if (admin.Json) {
        TJson list = TJson::array();
        for (const TRHSRow& row : rows)
            list.push_back({{"log", row.Log},
                            {"file", JsonText(row.FileName)},
                            {"size", row.Size},
                            {"space", row.Allocated},
                            {"date", JsonDate(row.Date)}});
        PrintJson(list);
        return 0;
    }
    TTable table(
        {{"Log number", true}, {"Log size", true}, {"Space taken", true}, {"Date created"}});
    for (const TRHSRow& row : rows)
        table.Add({std::to_string(row.Log), row.Columns[0], row.Columns[1], row.Columns[2]});
    Print(table.Text());
    return 0;
}

int LogNow(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> compare = reader.FlagOrValue("--compare");
    const bool keep = reader.Flag("--keep");
    const TArgs ops = reader.Operands(1, 1, "vmadmin log now REF [--compare[=N]] [--keep]");
    RequireChangeable(admin.Store);
    FindReference(admin.Store, ops[0]);
    if (compare && !compare->empty())
        PositiveNumber(*compare, "the log to compare with");
    // The unattended run itself, with its arguments: its checks, its comparison, its results
    // mail and its exit statuses.
    std::vector<std::string> arguments = {"/Ref=" + ops[0]};
    if (compare)
        arguments.push_back(compare->empty() ? "/C" : "/C=" + *compare);
    if (keep)
        arguments.push_back("/K");
    TCommandLineState state;
    return RunArguments(admin.Store, admin.UI, arguments, true, "vmadmin", state);
}

int LogDelete(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(2, size_t(-1), "vmadmin log delete REF LOG...");
    RequireChangeable(admin.Store);
    const int n = FindReference(admin.Store, ops[0]);
    const TArgs numbers(ops.begin() + 1, ops.end());
    return RemoveFiles(admin, n, LogFileNames(admin.Store, n, numbers, ops[0]));
}

int CompareList(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin compare list REF");
    const int n = FindReference(admin.Store, ops[0]);
    const std::vector<TRHSRow> rows = ComparisonRows(admin.Store, admin.Locale, n);
    if (admin.Json) {
        TJson list = TJson::array();
        for (const TRHSRow& row : rows)
            list.push_back({{"old", row.Log},
                            {"new", row.NewLog},
                            {"file", JsonText(row.FileName)},
                            {"date", JsonDate(row.Date)},
                            {"grown", row.Size}});
        PrintJson(list);
        return 0;
    }
    TTable table({{"Compared logs"}, {"Date compared"}, {"Grown by", true}});
    for (const TRHSRow& row : rows)
        table.Add({row.Caption, row.Columns[0], row.Columns[1]});
    Print(table.Text());
    return 0;
}

int CompareRun(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(3, 3, "vmadmin compare run REF OLD NEW");
    RequireChangeable(admin.Store);
    const int n = FindReference(admin.Store, ops[0]);
    LogFileNames(admin.Store, n, {ops[1], ops[2]}, ops[0]);
    TRunProgress progress(admin.UI);
    const TRunOutcome outcome =
        CompareNow(admin.Store, admin.UI, n, PositiveNumber(ops[1], "the old log"),
                   PositiveNumber(ops[2], "the new log"), progress, {});
    if (outcome.Stopped)
        return kExitStopped;
    return outcome.Completed ? 0 : kExitCompareFailed;
}

int CompareDelete(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(3, 3, "vmadmin compare delete REF OLD NEW");
    RequireChangeable(admin.Store);
    const int n = FindReference(admin.Store, ops[0]);
    const int a = PositiveNumber(ops[1], "the old log");
    const int b = PositiveNumber(ops[2], "the new log");
    for (const TListedComparison& c : ListComparisons(admin.Store.Files(), admin.Store.RefDir(n)))
        if (c.First == a && c.Second == b)
            return RemoveFiles(admin, n, {c.Name});
    throw EUsage("Reference [" + ops[0] + "] has no comparison of log " + ops[1] + " with log " +
                 ops[2]);
}

int History(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> last = reader.Value("--last");
    const TArgs ops = reader.Operands(1, 1, "vmadmin history REF [--last N]");
    const int n = FindReference(admin.Store, ops[0]);
    const std::vector<TLogSummary> logs =
        LogHistory(admin.Store, n, last ? size_t(PositiveNumber(*last, "--last")) : size_t(-1));
    if (admin.Json) {
        TJson list = TJson::array();
        for (size_t i = 0; i < logs.size(); ++i) {
            const TLogSummary& l = logs[i];
            TJson log = {{"log", l.LogNumber},
                         {"date", JsonDate(l.Date)},
                         {"space", l.Allocated},
                         {"size", l.Size}};
            log["change"] = i == 0 ? TJson(nullptr) : TJson(l.Allocated - logs[i - 1].Allocated);
            log["paths"] = TJson::array();
            for (const TRootTotals& root : l.Roots) {
                TJson path = {{"space", root.Allocated}, {"size", root.Size}};
                SetJsonPath(path, "path", root.Path);
                log["paths"].push_back(std::move(path));
            }
            list.push_back(std::move(log));
        }
        PrintJson(list);
        return 0;
    }
    TTable table(
        {{"Log", true}, {"Date"}, {"Space taken", true}, {"Size", true}, {"Change", true}});
    for (const THistoryRow& row : HistoryRows(logs, admin.Locale))
        table.Add({row.Log, row.Date, row.SpaceTaken, row.Size, row.Change});
    Print(table.Text());
    return 0;
}

int Top(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> count = reader.Value("--count");
    const TArgs ops = reader.Operands(3, 3, "vmadmin top REF OLD NEW [--count N]");
    const int n = FindReference(admin.Store, ops[0]);
    const int a = PositiveNumber(ops[1], "the old log");
    const int b = PositiveNumber(ops[2], "the new log");
    const size_t wanted = count ? size_t(PositiveNumber(*count, "--count")) : kMailTopGrowers;
    // The comparison of the two logs, made first when there is none yet (as "Compare" would).
    const std::string file = admin.Store.CompFileName(n, std::min(a, b), std::max(a, b));
    if (!RefFileExists(admin.Store.Files(), admin.Store.RefDir(n),
                       CompFileBaseName(std::min(a, b), std::max(a, b)))) {
        const int status = CompareRun(admin, {ops[0], ops[1], ops[2]});
        if (status != 0)
            return status;
    }
    TFileStream stream(file, TFileMode::OpenRead);
    TDirCompare comparison(stream);
    const TTopChanges top = FindTopChanges(comparison, wanted);
    if (admin.Json) {
        PrintJson({{"old", std::min(a, b)},
                   {"new", std::max(a, b)},
                   {"grew", ChangesJson(top.Grew)},
                   {"shrank", ChangesJson(top.Shrank)}});
    } else {
        std::string text;
        auto section = [&](const char* heading, const std::vector<TDirectoryChange>& list) {
            text += std::string(heading) + "\n";
            if (list.empty())
                text += "  (none)\n";
            for (const TDirectoryChange& d : list)
                text += "  " + DirectoryChangeText(d, admin.Locale) + "\n";
        };
        section("Directories that grew most:", top.Grew);
        section("Directories that shrank most:", top.Shrank);
        Print(text);
    }
    if (!top.Damage.empty()) {
        admin.UI.ShowMessage(file + " is damaged: " + top.Damage);
        return kExitCompareFailed;
    }
    return 0;
}

} // namespace vm::vmadmin
