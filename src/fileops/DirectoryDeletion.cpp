#include "fileops/DirectoryDeletion.h"

#include "core/LogDiskOperations.h"
#include "core/LogScan.h"
#include "core/LogWalk.h"
#include "fileops/DeletionTexts.h"
#include "fileops/EntryOnDisk.h"
#include "fileops/ProgressPace.h"
#include "platform/RootedFileSystem.h"

#include <algorithm>

namespace vm {

namespace {

int Percent(int64_t done, int64_t total)
{
    return total <= 0 ? 100 : int(std::min<int64_t>(100, done * 100 / total));
}

// The progress of a deletion: "Preparing to delete" while the entries are collected, then one
// text per entry; the bar counts the entries.
class TDeletionStatus
{
public:
    TDeletionStatus(const TDirectoryProgress& progress, int64_t entries, bool mayStop)
        : progress_(progress), entries_(entries), mayStop_(mayStop)
    {
    }
    void operator()(const std::string& text, bool& stop)
    {
        if (current_.empty() || (current_ == kPreparing && text != current_)) {
            current_ = text;
            count_ = 0;
        }
        if (++count_ % 10 == 0)
            progress_.Bar(Percent(count_, entries_));
        if (pace_.Due()) {
            progress_.Label(text);
            progress_.ProcessMessages();
        }
        if (mayStop_ && progress_.StopRequested())
            stop = stopped_ = true;
    }
    bool Stopped() const { return stopped_; }

private:
    static constexpr const char* kPreparing = "Preparing to delete";
    const TDirectoryProgress& progress_;
    int64_t entries_;
    bool mayStop_;
    std::string current_;
    int64_t count_ = 0;
    TProgressPace pace_;
    bool stopped_ = false;
};

// The directory as a scan in memory sees it: below its parent (the base, "" for "/"), as "/"
// and its own name, so that the scan's root fits a log's record however deep the directory lies.
struct TScanPlace
{
    std::string Base, Root;

    explicit TScanPlace(const std::string& path)
    {
        const size_t slash = path.find_last_of('/');
        Base = slash == 0 ? std::string() : path.substr(0, slash);
        Root = path.substr(slash) + "/";
    }
    // The real path of a path of the scan.
    std::string Real(const std::string& scanned) const { return Base + scanned; }
};

// What the directory at path holds on the disk now, scanned into a log in memory from the
// top-level path without following a link. False, with the reason, when the scan fails.
bool ScanNow(TMemoryStream& stream, TFileSystem& rooted, const TScanPlace& place,
             const TStatusEvent& status, TScanOutcome& outcome, std::string& why)
{
    try {
        outcome = ScanIntoLog(stream, {TScanRoot{place.Root, 1}}, rooted, status, {});
        return true;
    } catch (const std::exception& e) {
        why = e.what();
        return false;
    }
}

} // namespace

void TDirectoryDeletion::Prepare(TDirStorage& log, int64_t offset, TFileSystem& fs)
{
    *this = TDirectoryDeletion();
    log_ = &log;
    fs_ = &fs;
    offset_ = subtreeEnd_ = offset;
    TDirNode node;
    std::string name;
    if (!log.ReadNode(offset, node, name))
        return;
    path_ = log.GetFullPath(offset);
    topPath_ = TopLevelPathOf(log, offset);
    allocated_ = node.Allocated;
    subtreeEnd_ = offset + 1;
    for (TLogWalk below = TLogWalk::Subtree(log, offset); below.Next(node, name);) {
        ++(node.Kind == kKindDirectory ? directories_ : files_);
        subtreeEnd_ = below.Offset() + 1;
    }
}

std::string TDirectoryDeletion::InfoText(const TLocale& locale) const
{
    return DirectoryInfoText(directories_, files_, allocated_, path_, locale);
}

bool TDirectoryDeletion::CheckModified(const TDirectoryProgress& progress)
{
    if (!log_)
        return true;
    TRootedFileSystem rooted(*fs_, topPath_);
    const int64_t entries = directories_ + files_;
    int64_t count = 0;
    bool stopped = false;
    TProgressPace pace;
    VerifyTreeOnDisk(*log_, rooted, offset_, [&](const std::string& message, bool& stop) {
        if (!message.empty())
            progress.Line(message);
        if (++count % 10 == 0)
            progress.Bar(Percent(count, entries));
        if (pace.Due())
            progress.ProcessMessages();
        if (progress.StopRequested())
            stop = stopped = true;
    });
    return !stopped;
}

bool TDirectoryDeletion::CheckNew(const TDirectoryProgress& progress)
{
    if (!log_)
        return true;
    const TScanPlace place(path_);
    TRootedFileSystem rooted(*fs_, topPath_, place.Base);
    TMemoryStream stream;
    bool stopped = false;
    TProgressPace pace;
    TScanOutcome scan;
    std::string why;
    const auto status = [&](const std::string&, bool& stop) {
        if (pace.Due())
            progress.ProcessMessages();
        if (progress.StopRequested())
            stop = stopped = true;
    };
    if (!ScanNow(stream, rooted, place, status, scan, why)) {
        progress.Line("New files cannot be looked for: " + why);
        return true;
    }
    if (stopped)
        return false;
    TDirStorage scanned(stream);
    const int64_t entries = directories_ + files_;
    int64_t count = 0;
    TDirNode node;
    std::string name;
    for (TLogWalk below = TLogWalk::Subtree(scanned, scanned.FirstOffset());
         below.Next(node, name);) {
        const std::string path = place.Real(scanned.GetFullPath(below.Offset()));
        if (log_->FindPath(path) == kNoOffset)
            progress.Line("New file - " + path);
        if (++count % 10 == 0)
            progress.Bar(Percent(count, entries));
        if (pace.Due())
            progress.ProcessMessages();
        if (progress.StopRequested())
            return false;
    }
    return true;
}

TDirectoryDeleted TDirectoryDeletion::Delete(bool updateLog, const TDirectoryProgress& progress)
{
    TDirectoryDeleted done;
    if (!log_)
        return done;
    TRootedFileSystem rooted(*fs_, topPath_);
    TFileInfo now;
    const bool there = rooted.FindExact(path_, now) > 0;
    if (there && !now.IsDirectory()) {
        done.NotDeleted.push_back(path_ + ": " + EntryKindText(EntryKindOf(now.Attributes)) +
                                  " stands there now, not the directory this log lists; " +
                                  "nothing was deleted");
        return done;
    }
    done.Ran = true;
    const int64_t entries = directories_ + files_ + 1;
    if (there) {
        // What the directory holds now, new entries too, goes from the disk.
        TDeletionStatus status(progress, entries, true);
        progress.Label("Preparing to delete");
        const TScanPlace place(path_);
        TRootedFileSystem below(*fs_, topPath_, place.Base);
        TMemoryStream stream;
        TScanOutcome scan;
        std::string why;
        if (!ScanNow(
                stream, below, place,
                [&status](const std::string&, bool& stop) { status("Preparing to delete", stop); },
                scan, why)) {
            done.Ran = false;
            done.NotDeleted.push_back(path_ + ": " + why + "; nothing was deleted");
            return done;
        }
        if (!scan.Stopped) {
            TDirStorage scanned(stream);
            TDeleteOptions options;
            options.Force = true;
            // The texts name the entries as they are, not as the scan calls them.
            const std::string deleting = "Deleting ";
            const TDeleteResult result = DeleteTreeOnDisk(
                scanned, below, scanned.FirstOffset(), options,
                [&](const std::string& text, bool& stop) {
                    status(text.compare(0, deleting.size(), deleting) == 0
                               ? deleting + place.Real(text.substr(deleting.size()))
                               : text,
                           stop);
                });
            for (const std::string& line : result.NotDeleted)
                done.NotDeleted.push_back(place.Real(line));
        }
        done.Stopped = status.Stopped();
    }
    // What is gone now is marked in the log, also after a stop: nothing more is deleted here.
    TDeletionStatus marking(progress, entries, false);
    TDeleteOptions mark;
    mark.Force = true;
    mark.UpdateLog = updateLog;
    mark.MissingCountsAsDeleted = true;
    mark.DeleteFromDisk = false;
    try {
        done.DeletedSpace =
            DeleteTreeOnDisk(*log_, rooted, offset_, mark, std::ref(marking)).DeletedSpace;
        log_->Stream().Flush();
    } catch (const std::exception& e) {
        // The log cannot be written (a full disk): said, and the deletion goes no further.
        done.NotDeleted.push_back("The log could not be marked: " + std::string(e.what()));
        done.Stopped = true;
    }
    done.DirectoryMarked = (log_->ReadTags(offset_) & kTagDeleted) != 0;
    progress.Bar(100);
    return done;
}

} // namespace vm
