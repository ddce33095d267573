// vmadmin path ...: the paths of a reference added, removed and set up with the reference
// manager's rules and words (refman/RefEditing.h): overlapping paths, files and missing
// directories refused, the volume's unit and file system found as the wizard finds them (the
// share list consulted), the unit asked for where nothing tells it.
#include "network/ShareListEditor.h"
#include "platform/Volume.h"
#include "refman/RefEditing.h"
#include "vmadmin/Commands.h"

#include <filesystem>

namespace vm::vmadmin {

namespace {

// --unit as the windows take a typed unit: a whole number from 1, else their message.
std::optional<int32_t> UnitOption(TAdmin& admin, const std::optional<std::string>& text)
{
    if (!text)
        return 0;
    std::optional<int32_t> unit = ParseAllocUnit(*text);
    if (!unit)
        admin.UI.ShowMessage(kAllocUnitError);
    return unit;
}

// A path as typed, relative ones taken from the current directory as every command line tool
// takes them.
std::string TypedPath(const std::string& typed)
{
    if (typed.empty() || typed[0] == '/')
        return typed;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(typed, ec);
    return ec ? typed : absolute.string();
}

// The listed paths of reference n: none for a reference without paths.
TRefPaths ListedPaths(const TRefStore& store, int n)
{
    TRefPaths paths = store.ReadRefPaths(n);
    if (paths.size() == 1 && paths[0].Path.empty())
        paths.clear();
    return paths;
}

// The index of the listed path that the typed one names, or EUsage.
size_t PathIndex(const TRefPaths& paths, const std::string& typed, const std::string& ref)
{
    const std::string path = RefPathOf(TypedPath(typed));
    for (size_t i = 0; i < paths.size(); ++i)
        if (paths[i].Path == path)
            return i;
    throw EUsage(path + " is not a path of reference [" + ref + "]");
}

} // namespace

int PathAdd(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> unitText = reader.Value("--unit");
    const std::optional<std::string> fileSystem = reader.Value("--fs");
    const TArgs ops =
        reader.Operands(2, 2, "vmadmin path add REF PATH [--unit N] [--fs NAME] [--yes]");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    const int n = FindReference(store, ops[0]);
    const std::optional<int32_t> unit = UnitOption(admin, unitText);
    if (!unit)
        return 1;
    TGivenVolumeFacts given;
    given.Unit = *unit;
    given.FileSystem = fileSystem.value_or("");
    return CreateRefAddPath(store, admin.UI, n, ListedPaths(store, n), TypedPath(ops[1]), given)
               ? 0
               : 1;
}

int PathRemove(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(2, size_t(-1), "vmadmin path remove REF PATH...");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    const int n = FindReference(store, ops[0]);
    TRefPaths paths = ListedPaths(store, n);
    std::vector<bool> removed(paths.size(), false);
    for (size_t i = 1; i < ops.size(); ++i)
        removed[PathIndex(paths, ops[i], ops[0])] = true;
    TRefPaths kept;
    for (size_t i = 0; i < paths.size(); ++i)
        if (!removed[i])
            kept.push_back(paths[i]);
    return WriteRefPaths(store, admin.UI, n, kept) ? 0 : 1;
}

int PathSet(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> unitText = reader.Value("--unit");
    const std::optional<std::string> fileSystem = reader.Value("--fs");
    const std::string usage = "vmadmin path set REF PATH [--unit N] [--fs NAME]";
    const TArgs ops = reader.Operands(2, 2, usage);
    if (!unitText && !fileSystem)
        throw EUsage("nothing to set; usage: " + usage);
    if (fileSystem && fileSystem->empty())
        throw EUsage("--fs needs a file system name");
    TRefStore& store = admin.Store;
    RequireChangeable(store);
    const int n = FindReference(store, ops[0]);
    const std::optional<int32_t> unit = UnitOption(admin, unitText);
    if (!unit)
        return 1;
    const size_t index = PathIndex(ListedPaths(store, n), ops[1], ops[0]);
    // Each change is recorded in the share list and written as the window's menus do it.
    if (unitText && !EditAllocationUnit(store, admin.UI, n, ListedPaths(store, n), index, *unit))
        return 1;
    if (fileSystem &&
        !EditFileSystem(store, admin.UI, n, ListedPaths(store, n), index, *fileSystem))
        return 1;
    return 0;
}

} // namespace vm::vmadmin
