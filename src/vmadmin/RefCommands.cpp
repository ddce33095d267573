// vmadmin ref ...: references listed, shown, created, renamed and deleted, with the reference
// manager's rules and words (refman/RefEditing.h, refman/RefList.h).
#include "output/SizeText.h"
#include "refman/RefEditing.h"
#include "refman/RefList.h"
#include "vmadmin/Commands.h"
#include "vmadmin/Output.h"

namespace vm::vmadmin {

namespace {

TJson PathsJson(const TRefPaths& paths)
{
    TJson list = TJson::array();
    for (const TRefPath& p : paths) {
        if (p.Path.empty())
            continue; // a reference without paths reads as one empty path
        TJson path;
        SetJsonPath(path, "path", p.Path);
        path["unit"] = p.UnitValid ? TJson(p.Unit) : TJson(nullptr);
        path["unit_text"] = JsonText(p.UnitText);
        path["file_system"] = JsonText(p.FileSystem);
        list.push_back(std::move(path));
    }
    return list;
}

TJson LastLogJson(const TRefRow& row, const TLocale& locale)
{
    if (row.DateKey == 0)
        return nullptr;
    TJson last;
    last["date"] = JsonDate(row.DateKey);
    last["date_text"] = row.LastLogDate;
    last["space"] = row.SizeKey;
    last["space_text"] = row.LastLogSize;
    last["change"] = row.LogChange.empty() ? TJson(nullptr) : TJson(row.ChangeKey);
    last["change_text"] = row.LogChange;
    return last;
}

std::vector<std::string> PathTexts(const TRefPaths& paths)
{
    std::vector<std::string> texts;
    for (const TRefPath& p : paths)
        if (!p.Path.empty())
            texts.push_back(p.Path);
    return texts;
}

// Refuses, with the reference manager's words, a name that reference n (-1: a new one) cannot
// take.
bool NameAccepted(TAdmin& admin, const std::string& name, int n)
{
    const TRefNameCheck check = CheckRefName(admin.Store, name, n);
    if (check != TRefNameCheck::Accepted)
        admin.UI.ShowMessage(RenameRefusal(check));
    return check == TRefNameCheck::Accepted;
}

} // namespace

int RefList(TAdmin& admin, const TArgs& args)
{
    TArgReader(args).Operands(0, 0, "vmadmin ref list");
    const std::vector<TRefRow> rows = ListReferenceRows(admin.Store, admin.Locale);
    if (admin.Json) {
        TJson list = TJson::array();
        for (const TRefRow& row : rows) {
            TJson ref;
            ref["number"] = row.Number;
            ref["name"] = JsonText(row.Caption);
            ref["paths"] = PathsJson(admin.Store.ReadRefPaths(row.Number));
            ref["last_log"] = LastLogJson(row, admin.Locale);
            list.push_back(std::move(ref));
        }
        PrintJson(list);
        return 0;
    }
    TTable table({{"Reference name"},
                  {"Last log date"},
                  {"Last log size", true},
                  {"Log change", true},
                  {"Paths"}});
    for (const TRefRow& row : rows) {
        const std::vector<std::string> paths = PathTexts(admin.Store.ReadRefPaths(row.Number));
        table.Add({row.Caption, row.LastLogDate, row.LastLogSize, row.LogChange,
                   paths.empty() ? "" : paths[0]});
        // Further paths stand on lines of their own below the first.
        for (size_t i = 1; i < paths.size(); ++i)
            table.Add({"", "", "", "", paths[i]});
    }
    Print(table.Text());
    return 0;
}

int RefShow(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin ref show REF");
    const TRefStore& store = admin.Store;
    const int n = FindReference(store, ops[0]);
    const TRefPaths paths = store.ReadRefPaths(n);
    const std::vector<TRHSRow> logs = LogRows(store, admin.Locale, n);
    const std::vector<TRHSRow> comparisons = ComparisonRows(store, admin.Locale, n);
    const long long next = store.RefIni().ReadInteger(TRefStore::RefSection(n), "NextLogNo", 1);
    if (admin.Json) {
        TJson ref;
        ref["number"] = n;
        ref["name"] = JsonText(store.RefName(n));
        SetJsonPath(ref, "directory", store.RefDir(n));
        ref["next_log"] = next;
        ref["log_format"] = LogFormatName(store.RefLogFormat(n));
        ref["paths"] = PathsJson(paths);
        ref["logs"] = TJson::array();
        for (const TRHSRow& row : logs)
            ref["logs"].push_back({{"log", row.Log},
                                   {"size", row.Size},
                                   {"space", row.Allocated},
                                   {"date", JsonDate(row.Date)}});
        ref["comparisons"] = TJson::array();
        for (const TRHSRow& row : comparisons)
            ref["comparisons"].push_back({{"old", row.Log},
                                          {"new", row.NewLog},
                                          {"date", JsonDate(row.Date)},
                                          {"grown", row.Size}});
        PrintJson(ref);
        return 0;
    }
    std::string text =
        "Reference : " + store.RefName(n) + "\n" + "Number    : " + std::to_string(n) + "\n" +
        "Directory : " + store.RefDir(n) + "\n" + "Next log  : " + std::to_string(next) + "\n" +
        "Log format: " + LogFormatName(store.RefLogFormat(n)) + "\n\n";
    TTable pathTable({{"Path name"}, {"Allocation unit"}, {"File system"}});
    for (const TRHSRow& row : PathRows(store, n))
        pathTable.Add({row.Caption, row.Columns[0], row.Columns[1]});
    TTable logTable(
        {{"Log number", true}, {"Log size", true}, {"Space taken", true}, {"Date created"}});
    for (const TRHSRow& row : logs)
        logTable.Add({std::to_string(row.Log), row.Columns[0], row.Columns[1], row.Columns[2]});
    TTable compTable({{"Compared logs"}, {"Date compared"}, {"Grown by", true}});
    for (const TRHSRow& row : comparisons)
        compTable.Add({row.Caption, row.Columns[0], row.Columns[1]});
    Print(text + pathTable.Text() + "\n" + logTable.Text() + "\n" + compTable.Text());
    return 0;
}

int RefCreate(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin ref create NAME");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    if (!NameAccepted(admin, ops[0], -1))
        return 1;
    const int n = store.NewRefNumber();
    if (!store.CreateRef(n, RefNameOf(ops[0]))) {
        admin.UI.ShowMessage("The reference directory " + store.RefDir(n) +
                             " could not be created");
        return 1;
    }
    return 0;
}

int RefRename(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(2, 2, "vmadmin ref rename REF NEWNAME");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    const int n = FindReference(store, ops[0]);
    if (!NameAccepted(admin, ops[1], n))
        return 1;
    WriteRefName(store, n, ops[1]);
    return 0;
}

int RefFormat(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(2, 2, "vmadmin ref format REF exact|extended");
    const std::optional<TLogFormat> format = LogFormatOfName(ops[1]);
    if (!format)
        throw EUsage("the log format is exact or extended, not \"" + ops[1] + "\"");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    return EditLogFormat(store, admin.UI, FindReference(store, ops[0]), *format) ? 0 : 1;
}

int RefDelete(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin ref delete REF");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    const int n = FindReference(store, ops[0]);
    const std::string name = store.RefName(n);
    // Naming the reference on the command line is the confirmation the window asks for.
    admin.UI.AssumeYes = true;
    const TRefDeletion result = DeleteReference(store, admin.UI, n, name, name, {});
    if (result == TRefDeletion::FilesOnly) {
        admin.UI.ShowMessage("The logs and comparisons of reference [" + name +
                             "] are deleted; its directory " + store.RefDir(n) +
                             " holds other files, so it and the reference stay");
        return 1;
    }
    if (result == TRefDeletion::Refused && !admin.UI.Said())
        admin.UI.ShowMessage("Reference [" + ops[0] + "] was not deleted: its directory " +
                             store.RefDir(n) + " is missing");
    return result == TRefDeletion::Deleted ? 0 : 1;
}

} // namespace vm::vmadmin
