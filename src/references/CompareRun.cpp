#include "references/CompareRun.h"

#include "platform/PendingFile.h"
#include "platform/Stream.h"
#include "references/RefStore.h"

#include <memory>
#include <sys/stat.h>

namespace vm {

namespace {

// Opens a log for reading; a missing or unreadable file, or one that is not a regular file,
// is refused with a message that names it.
std::unique_ptr<TFileStream> OpenLog(const char* which, const std::string& path)
{
    std::unique_ptr<TFileStream> stream;
    try {
        stream = std::make_unique<TFileStream>(path, TFileMode::OpenRead);
    } catch (const EStreamError& e) {
        throw ECompareRunError(std::string("The ") + which + " log cannot be opened: " + e.what());
    }
    struct stat st = {};
    if (::fstat(stream->Handle(), &st) != 0 || !S_ISREG(st.st_mode))
        throw ECompareRunError(std::string("The ") + which + " log " + path +
                               " is not a log file.");
    return stream;
}

} // namespace

TCompareRunResult CompareLogFiles(TFileSystem& fs, const std::string& oldLogPath,
                                  const std::string& newLogPath, const std::string& comparisonPath,
                                  const TCompareProgress& progress)
{
    auto oldStream = OpenLog("old", oldLogPath);
    auto newStream = OpenLog("new", newLogPath);
    TDirStorage oldLog(*oldStream);
    TDirStorage newLog(*newStream);

    // Creating the comparison over one of its own logs would empty the log before it is read.
    if (oldStream->IsNamedBy(comparisonPath) || newStream->IsNamedBy(comparisonPath))
        throw ECompareRunError("The comparison file " + comparisonPath +
                               " is one of the logs it compares; it was not written.");
    std::unique_ptr<TPendingFile> out;
    try {
        out = std::make_unique<TPendingFile>(fs, comparisonPath, TPendingFile::TOnCommit::Replace);
    } catch (const EStreamError& e) {
        throw ECompareRunError(std::string("The comparison cannot be written: ") + e.what());
    }
    TDirCompare comparison(out->Stream());
    comparison.SetProgressHandler(progress);
    comparison.CompareLogs(oldLog, newLog);
    if (!comparison.LogDamage().empty())
        throw ECompareRunError(comparison.LogDamage() + " No comparison was written.");
    if (comparison.Stopped())
        return TCompareRunResult{"", true};
    // Committing flushes and syncs: a full disk is an error of the run here, not a silent loss.
    out->Commit();
    return TCompareRunResult{comparisonPath, false};
}

TCompareRunResult RunComparison(const TRefStore& store, int refNo, int oldLogNo, int newLogNo,
                                const TCompareProgress& progress)
{
    return CompareLogFiles(store.Files(), store.LogFileName(refNo, oldLogNo),
                           store.LogFileName(refNo, newLogNo),
                           store.CompFileName(refNo, oldLogNo, newLogNo), progress);
}

TComparisonTotals ComparisonTotals(const std::string& path)
{
    TComparisonTotals totals;
    try {
        TFileStream stream(path, TFileMode::OpenRead);
        TDirCompare file(stream);
        TCompareRecord record;
        std::string name;
        for (int64_t at = file.FirstOffset(); at != kNoOffset && file.ReadRecord(at, record, name);
             at = file.ForwardLink(at, record.NextSiblingOffset)) {
            totals.SizeWas += record.SizeWas;
            totals.SizeNow += record.SizeNow;
            totals.AllocWas += record.AllocWas;
            totals.AllocNow += record.AllocNow;
        }
    } catch (const EStreamError&) {
        return {};
    }
    return totals;
}

} // namespace vm
