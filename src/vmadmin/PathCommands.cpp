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

// A path's command: its options --unit and --fs, then the reference and the path.
struct TPathRequest
{
    int Reference = -1;
    std::string Path;
    std::optional<std::string> UnitText, FileSystem;
    int32_t Unit = 0; // the --unit given, 0 without one
};

// Reads the request; nothing (after the windows' message) when --unit is not a whole number
// from 1, as the windows refuse a typed unit.
std::optional<TPathRequest> ReadPathRequest(TAdmin& admin, const TArgs& args,
                                            const std::string& usage)
{
    TArgReader reader(args);
    TPathRequest request;
    request.UnitText = reader.Value("--unit");
    request.FileSystem = reader.Value("--fs");
    const TArgs ops = reader.Operands(2, 2, usage);
    if (request.FileSystem && request.FileSystem->empty())
        throw EUsage("--fs needs a file system name");
    RequireChangeable(admin.Store);
    request.Reference = FindReference(admin.Store, ops[0]);
    request.Path = TypedPath(ops[1]);
    if (request.UnitText) {
        std::optional<int32_t> unit = ParseAllocUnit(*request.UnitText);
        if (!unit) {
            admin.UI.ShowMessage(kAllocUnitError);
            return std::nullopt;
        }
        request.Unit = *unit;
    }
    return request;
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
    const std::optional<TPathRequest> request =
        ReadPathRequest(admin, args, "vmadmin path add REF PATH [--unit N] [--fs NAME] [--yes]");
    if (!request)
        return 1;
    TGivenVolumeFacts given;
    given.Unit = request->Unit;
    given.FileSystem = request->FileSystem.value_or("");
    const int n = request->Reference;
    return CreateRefAddPath(admin.Store, admin.UI, n, ListedPaths(admin.Store, n), request->Path,
                            given)
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
    const std::string usage = "vmadmin path set REF PATH [--unit N] [--fs NAME]";
    const std::optional<TPathRequest> request = ReadPathRequest(admin, args, usage);
    if (!request)
        return 1;
    if (!request->UnitText && !request->FileSystem)
        throw EUsage("nothing to set; usage: " + usage);
    TRefStore& store = admin.Store;
    const int n = request->Reference;
    const size_t index = PathIndex(ListedPaths(store, n), request->Path, store.RefName(n));
    // Each change is recorded in the share list and written as the window's menus do it.
    if (request->UnitText &&
        !EditAllocationUnit(store, admin.UI, n, ListedPaths(store, n), index, request->Unit))
        return 1;
    if (request->FileSystem &&
        !EditFileSystem(store, admin.UI, n, ListedPaths(store, n), index, *request->FileSystem))
        return 1;
    return 0;
}

} // namespace vm::vmadmin
