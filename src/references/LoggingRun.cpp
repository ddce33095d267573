#include "references/LoggingRun.h"
#include "references/LogHistory.h"
#include "references/Metrics.h"

#include "core/DirStorage.h"
#include "core/LogFile.h"
#include "core/LogWalk.h"
#include "platform/PendingFile.h"
#include "platform/Registry.h"
#include "platform/TextCoding.h"
#include "platform/UserInterface.h"

#include <cerrno>
#include <chrono>

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

struct TScanned
{
    bool Stopped = false;
    std::vector<TUnreadableDirectory> Unreadable;
    bool PassedExactLimit = false;
};

// Scans the roots into the stream in the format given, reading the disk through fs (the real
// one when nullptr), and names the tags.
TScanned Scan(TUserInterface& ui, TFileSystem* fs, TStream& stream,
              const std::vector<TScanRoot>& roots, const TStatusEvent& handler,
              TLogFormat format = TLogFormat::Exact)
{
    TDirStorage storage(stream);
    if (fs)
        storage.SetFileSystem(*fs);
    storage.SetStatusEvent(handler);
    storage.SetMessagePump([&ui] { ui.ProcessMessages(); });
    TScanOptions options;
    options.Format = format;
    storage.SetScanOptions(options);
    storage.BuildLog(roots);
    NameDefaultTags(storage);
    return {storage.WasStopped(), storage.UnreadableDirectories(), storage.PassedExactLimit()};
}

// The next log's file, written under a temporary name until it is complete. A number whose log
// exists already (NextLogNo edited back, a file copied in) is passed over; a NextLogNo that names
// no log is repaired, with a message; a missing reference directory or a read-only disk is the
// caller's error (EFOpenError).
std::unique_ptr<TPendingFile> CreateNewLog(const TRefStore& store, TUserInterface& ui, int n,
                                           int& m)
{
    TFileSystem& fs = store.Files();
    for (int attempt = 1;; ++attempt) {
        std::string unusable;
        m = store.TakeNextLogNumber(n, &unusable);
        if (!unusable.empty())
            ui.ShowMessage("NextLogNo \"" + PrintableName(unusable) +
                           "\" of this Ref is no log number (1 to " +
                           std::to_string(kMaxLogNumber) + "): log " + std::to_string(m) +
                           " is written, one above the newest");
        std::string path = store.LogFileName(n, m);
        TFileInfo info;
        int error = 0;
        if (!fs.StatPath(path, info, error))
            return std::make_unique<TPendingFile>(fs, path, TPendingFile::TOnCommit::KeepExisting);
        if (attempt >= kMaxSkippedLogNumbers)
            throw EFOpenError("Cannot create file " + path + ": " + ErrorText(EEXIST));
    }
}

// The metrics file of the reference, when the options or the environment name a directory for
// it. The log is written whatever happens here; a failure is said, not raised.
void WriteRunMetrics(const TRefStore& store, TUserInterface& ui, int n, const TRunFacts& facts)
{
    const std::string dir = ConfiguredMetricsDirectory(TRegistry());
    if (dir.empty())
        return;
    try {
        WriteReferenceMetrics(store, n, dir, &facts);
    } catch (const std::exception& e) {
        ui.ShowMessage(std::string("The metrics were not written: ") + e.what());
    }
}

// Why a top-level path cannot be logged: "The path /mnt/share/ cannot be read: No such file or
// directory".
std::string UnreadableRootText(const std::string& path, int error)
{
    return "The path " + PrintableName(path) + " cannot be read: " + ErrorText(error);
}

// The first top-level path that cannot be opened as a directory, with why; empty when every
// one can.
std::string FirstUnreadableRoot(TFileSystem& fs, const TRefPaths& paths)
{
    for (const TRefPath& p : paths) {
        int error = 0;
        TDirHandle dir = fs.OpenDirectory(p.Path, error);
        if (dir == kNoDir)
            return UnreadableRootText(p.Path.ends_with('/') ? p.Path : p.Path + "/", error);
        fs.CloseDirectory(dir);
    }
    return {};
}

// The first top-level path among what a scan could not read, with why; empty when there is none.
std::string FirstUnreadableRoot(const std::vector<TScanRoot>& roots,
                                const std::vector<TUnreadableDirectory>& unreadable)
{
    for (const TUnreadableDirectory& d : unreadable)
        for (const TScanRoot& r : roots)
            if (d.Path == (r.Path.ends_with('/') ? r.Path : r.Path + "/"))
                return UnreadableRootText(d.Path, d.Error);
    return {};
}

TLogRunResult Refuse(TUserInterface& ui, const std::string& why)
{
    TLogRunResult result;
    result.Refused = true;
    result.Refusal = why;
    ui.ShowMessage(CannotLogText(why));
    return result;
}
} // namespace

std::string CannotLogText(const std::string& why)
{
    return "Can not log this Ref\n" + why;
}

TLogRunResult LogReference(const TRefStore& store, TUserInterface& ui, int n,
                           const TStatusEvent& handler)
{
    TLoggingInProgress inProgress(ui);
    TRefPaths paths = store.ReadRefPaths(n);
    if (!AllocUnitsSet(paths))
        return Refuse(ui, "Allocation unit not set");
    if (std::string why = FirstUnreadableRoot(store.Files(), paths); !why.empty())
        return Refuse(ui, why);
    TLogRunResult result;
    const auto started = std::chrono::steady_clock::now();
    int m = 0;
    std::unique_ptr<TPendingFile> log = CreateNewLog(store, ui, n, m);
    result.LogNumber = m;
    const std::vector<TScanRoot> roots = ScanRootsOf(paths);
    TScanned scanned =
        Scan(ui, &store.Files(), log->Stream(), roots, handler, store.RefLogFormat(n));
    // A top-level path that went away after the check above: the log is not kept either.
    if (std::string why = FirstUnreadableRoot(roots, scanned.Unreadable);
        !why.empty() && !scanned.Stopped)
        return Refuse(ui, why);
    result.Stopped = scanned.Stopped;
    result.Unreadable = std::move(scanned.Unreadable);
    result.PassedExactLimit = scanned.PassedExactLimit;
    // A stopped or failed run leaves nothing: an incomplete log would read as one that lost
    // entries. The guard removes the file on every way out but this one.
    if (!result.Stopped) {
        log->Commit();
        result.Path = log->Path();
        std::string said = result.PassedExactLimit ? kPassedExactLimitText : "";
        if (!result.Unreadable.empty())
            said += (said.empty() ? "" : " ") + UnreadableDirectoriesText(result.Unreadable.size());
        if (!said.empty())
            ui.Status().SetText(said);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        WriteRunMetrics(store, ui, n, {m, took.count(), result.Unreadable});
    }
    return result;
}

TVolumeFacts FolderVolumeFacts(const TRefStore& store, const std::string& folder)
{
    TVolumeFacts facts;
    try {
        facts = store.GetVolumeFacts(folder);
    } catch (const std::exception&) {
        // A volume that cannot be asked: the sizes as they are.
    }
    if (facts.Unit <= 0)
        facts.Unit = 1;
    return facts;
}

std::unique_ptr<TMemoryStream> LogFolder(const TRefStore& store, TUserInterface& ui,
                                         const std::string& folder, const TStatusEvent& handler,
                                         bool* stopped)
{
    if (folder.empty())
        return nullptr;
    std::string path = folder.back() == '/' ? folder : folder + "/";
    const int32_t unit = FolderVolumeFacts(store, path).Unit;
    TLoggingInProgress inProgress(ui);
    auto stream = std::make_unique<TMemoryStream>();
    TScanned scanned = Scan(ui, nullptr, *stream, {{path, unit}}, handler);
    if (stopped)
        *stopped = scanned.Stopped;
    return stream;
}

TLogTotals LogTotals(const TRefStore& store, int n, int m)
{
    const TLogSummary summary = ReadLogSummary(store.LogFileName(n, m), m);
    return {summary.Size, summary.Allocated};
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

TLogFormat LogFormatOf(const TRefStore& store, int n, int m)
{
    return LogFileFormat(store.LogFileName(n, m));
}

} // namespace vm
