#include "references/LoggingRun.h"

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "platform/UserInterface.h"

#include <cerrno>
#include <unistd.h>

namespace vm {

namespace {
// Tries this many numbers when log files with the numbers taken exist already.
constexpr int kMaxSkippedLogNumbers = 1000;

void NameDefaultTags(TDirStorage& storage)
{
    std::vector<std::string> names = DefaultTagNames();
    for (size_t i = 0; i < names.size(); ++i)
        storage.SetTagName(static_cast<int>(i) + 1, names[i]);
}

void Scan(TUserInterface& ui, TStream& stream, const std::vector<TScanRoot>& roots,
          const TStatusEvent& handler, bool& stopped)
{
    TDirStorage storage(stream);
    storage.SetStatusEvent(handler);
    storage.SetMessagePump([&ui] { ui.ProcessMessages(); });
    storage.BuildLog(roots);
    NameDefaultTags(storage);
    stream.Flush();
    stopped = storage.WasStopped();
}

std::unique_ptr<TFileStream> CreateNewLog(const TRefStore& store, int n, int& m)
{
    for (int attempt = 0;; ++attempt) {
        m = store.TakeNextLogNumber(n);
        std::string path = store.LogFileName(n, m);
        try {
            return std::make_unique<TFileStream>(path, TFileMode::CreateExclusive);
        } catch (const EFOpenError&) {
            // Only a log that exists already is skipped; a missing reference directory or a
            // read-only disk is the caller's error.
            if (access(path.c_str(), F_OK) != 0 || attempt + 1 >= kMaxSkippedLogNumbers)
                throw;
        }
    }
}
} // namespace

TLogRunResult LogReference(const TRefStore& store, TUserInterface& ui, int n,
                           const TStatusEvent& handler)
{
    TLoggingInProgress inProgress(ui);
    TLogRunResult result;
    TRefPaths paths = store.ReadRefPaths(n);
    if (!AllocUnitsSet(paths)) {
        result.Refused = true;
        ui.ShowMessage(kCannotLogRef);
        return result;
    }
    int m = 0;
    std::unique_ptr<TFileStream> file = CreateNewLog(store, n, m);
    result.LogNumber = m;
    result.Path = store.LogFileName(n, m);
    try {
        Scan(ui, *file, ScanRootsOf(paths), handler, result.Stopped);
        file.reset();
    } catch (...) {
        // An incomplete log would read as a log that lost entries: it goes.
        file.reset();
        unlink(result.Path.c_str());
        throw;
    }
    return result;
}

std::unique_ptr<TMemoryStream> LogFolder(TUserInterface& ui, const std::string& folder,
                                         const TStatusEvent& handler, bool* stopped)
{
    if (folder.empty())
        return nullptr;
    std::string path = folder.back() == '/' ? folder : folder + "/";
    TLoggingInProgress inProgress(ui);
    auto stream = std::make_unique<TMemoryStream>();
    bool wasStopped = false;
    Scan(ui, *stream, {{path, 1}}, handler, wasStopped);
    if (stopped)
        *stopped = wasStopped;
    return stream;
}

TLogTotals LogTotals(const TRefStore& store, int n, int m)
{
    TLogTotals totals;
    try {
        TFileStream file(store.LogFileName(n, m), TFileMode::OpenRead);
        TDirStorage storage(file);
        TLogWalk roots = TLogWalk::Roots(storage);
        TDirNode node;
        std::string name;
        while (roots.Next(node, name)) {
            totals.Size += node.Size;
            totals.Allocated += node.Allocated;
        }
    } catch (const EStreamError&) {
        return {};
    }
    return totals;
}

TDateTime LogDate(const TRefStore& store, int n, int m)
{
    try {
        TFileStream file(store.LogFileName(n, m), TFileMode::OpenRead);
        TDirStorage storage(file);
        return storage.GetLogDate();
    } catch (const EStreamError&) {
        return 0;
    }
}

} // namespace vm
