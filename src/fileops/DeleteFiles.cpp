#include "fileops/DeleteFiles.h"

#include "core/LogDiskOperations.h"
#include "fileops/CopyFiles.h" // FailureReport
#include "fileops/DeletionTexts.h"
#include "fileops/EntryOnDisk.h"
#include "fileops/ProgressPace.h"

#include <algorithm>
#include <cerrno>
#include <climits>

namespace vm {

namespace {

// One run over rows: the walkers, the progress shown and what was done.
class TDeletionRun
{
public:
    TDeletionRun(TDirStorage& log, TFileSystem& fs, TUserInterface& ui)
        : log_(log), ui_(ui), locator_(log, fs)
    {
        TStatusWindow& status = ui_.Status();
        status.SetHeading(kNowDeleting);
        status.SetText("");
        status.Show();
        status.ClearStopRequest();
    }
    ~TDeletionRun() { ui_.Status().Hide(); }

    TEntryLocator& Locator() { return locator_; }
    TDeleteRunResult Result;

    // Shows the path (at most ten times a second) and lets the status window's Cancel in.
    void Show(const std::string& path)
    {
        if (!pace_.Due())
            return;
        ui_.Status().SetText(path);
        ui_.ProcessMessages();
    }
    bool StopRequested() const { return ui_.Status().StopRequested(); }

    // Asks whether to go on after a file that stays (unless All was answered before); false
    // ends the run.
    bool GoOn(const std::string& question)
    {
        if (!askAgain_)
            return true;
        const int answer =
            ui_.MessageDlg(question, TMsgDlgType::Error, mbtn::Yes | mbtn::No | mbtn::All);
        if (answer == idAll)
            askAgain_ = false;
        return answer == idYes || answer == idAll;
    }

    // The entry is gone from the disk: the mark, the space, the log's deleted total.
    void Record(size_t row, int64_t offset, bool updateLog, const TRowDeleted& onDeleted)
    {
        const int64_t space = MarkDeleted(log_, offset, updateLog);
        log_.AddDeletedTotal(space);
        Result.DeletedSpace += space;
        ++Result.Deleted;
        if (onDeleted)
            onDeleted(row, space);
    }

private:
    TDirStorage& log_;
    TUserInterface& ui_;
    TEntryLocator locator_;
    TProgressPace pace_;
    bool askAgain_ = true;
};

// The entry to delete, when it may be: not a top-level path, not already marked.
bool Deletable(TDirStorage& log, const TDeleteRow& row, TDirNode& node, std::string& name)
{
    return !row.Path && log.ReadNode(row.Offset, node, name) && node.Level > 0 &&
           (node.Tags & kTagDeleted) == 0;
}

enum class TStep
{
    Deleted,
    Stayed,
    EndRun
};

TStep DeleteFile(TDeletionRun& run, const TDirNode& node, const std::string& name, int64_t offset,
                 const TDeleteSettings& settings, TFileSystem& fs, TDeletionDialogs& dialogs)
{
    TEntryOnDisk where;
    if (!run.Locator().Locate(offset, where))
        return TStep::Stayed;
    run.Show(where.Path);
    auto goOn = [&run](const std::string& question) {
        return run.GoOn(question) ? TStep::Stayed : TStep::EndRun;
    };
    if (!where.Exists)
        return goOn(AlreadyDeletedQuestion(name));
    const TEntryKind kind = EntryKindOf(where.Info.Attributes);
    if (kind != EntryKindOf(node.Attributes))
        return goOn(KindChangedQuestion(name, EntryKindText(kind)));
    if (settings.ConfirmDeletions && *settings.ConfirmDeletions &&
        (where.Info.Attributes & (faReadOnly | faHidden | faSystem))) {
        const int answer = dialogs.ConfirmFileDeletion(name, where.Info.Attributes);
        if (answer == idCancel)
            return TStep::EndRun;
        if (answer != idYes)
            return TStep::Stayed;
    }
    int error = 0;
    if (fs.RemoveAt(where.Parent, where.Name, false, error))
        return TStep::Deleted;
    return goOn(error == ENOENT ? AlreadyDeletedQuestion(name) : FileInUseQuestion(name));
}

} // namespace

TDirectoryOutcome DirectoryOutcome(bool accepted, const TDirectoryDeletion& work,
                                   const TDirectoryDeleted& done)
{
    TDirectoryOutcome outcome;
    outcome.Confirmed = accepted && done.Ran;
    outcome.Cancelled = !accepted && done.NotDeleted.empty();
    outcome.Stopped = done.Stopped;
    outcome.DeletedSpace = done.DeletedSpace;
    outcome.SubtreeEnd = work.SubtreeEnd();
    outcome.NotDeleted = done.NotDeleted;
    return outcome;
}

TDeleteRunResult DeleteSelectedRows(TDirStorage& log, const std::vector<TDeleteRow>& rows,
                                    const TDeleteSettings& settings, TFileSystem& fs,
                                    TUserInterface& ui, TDeletionDialogs& dialogs,
                                    const TRowDeleted& onDeleted, const TTreeDeleted& onTreeDeleted)
{
    TDeletionRun run(log, fs, ui);
    dialogs.StartDirectoryDeletions();
    for (size_t i = 0; i < rows.size() && !run.Result.Ended; ++i) {
        TDirNode node;
        std::string name;
        if (!Deletable(log, rows[i], node, name))
            continue;
        if (node.Kind == kKindDirectory) {
            run.Show(log.GetFullPath(rows[i].Offset));
            const TDirectoryOutcome d =
                dialogs.DeleteDirectory(log, rows[i].Offset, fs, settings.UpdateLog);
            if (d.Confirmed) {
                log.AddDeletedTotal(d.DeletedSpace);
                run.Result.DeletedSpace += d.DeletedSpace;
                if (onTreeDeleted)
                    onTreeDeleted(rows[i].Offset, d.SubtreeEnd);
                if (log.ReadTags(rows[i].Offset) & kTagDeleted) {
                    ++run.Result.Deleted;
                    if (onDeleted)
                        onDeleted(i, d.DeletedSpace);
                }
            }
            if (!d.NotDeleted.empty())
                ui.MessageDlg(FailureReport("Not everything could be deleted:", d.NotDeleted),
                              TMsgDlgType::Warning, mbtn::OK);
            run.Result.Ended = d.Cancelled || d.Stopped;
        } else {
            switch (DeleteFile(run, node, name, rows[i].Offset, settings, fs, dialogs)) {
            case TStep::Deleted:
                run.Record(i, rows[i].Offset, settings.UpdateLog, onDeleted);
                break;
            case TStep::EndRun:
                run.Result.Ended = true;
                break;
            case TStep::Stayed:
                break;
            }
        }
        if (run.StopRequested())
            run.Result.Ended = true;
    }
    log.Stream().Flush();
    return run.Result;
}

TDeleteRunResult DeleteRubbishBinRows(TDirStorage& log, const std::vector<TDeleteRow>& rows,
                                      bool updateLog, TFileSystem& fs, TUserInterface& ui,
                                      const TRowDeleted& onDeleted)
{
    TDeleteRunResult result;
    {
        TDeletionRun run(log, fs, ui);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (run.StopRequested()) {
                run.Result.Ended = true;
                break;
            }
            TDirNode node;
            std::string name;
            TEntryOnDisk where;
            if (!Deletable(log, rows[i], node, name) ||
                !run.Locator().Locate(rows[i].Offset, where))
                continue;
            run.Show(where.Path);
            if (!where.Exists)
                continue; // gone already: nothing that could not be deleted
            int error = 0;
            if (node.Kind != kKindDirectory &&
                EntryKindOf(where.Info.Attributes) == EntryKindOf(node.Attributes) &&
                fs.RemoveAt(where.Parent, where.Name, false, error))
                run.Record(i, rows[i].Offset, updateLog, onDeleted);
            else
                ++run.Result.Failures;
        }
        log.Stream().Flush();
        result = run.Result;
    }
    if (result.Failures > 0)
        ui.MessageDlg(RubbishBinFailuresText(result.Failures), TMsgDlgType::Information, mbtn::OK);
    return result;
}

void TDeletedTrees::Add(int64_t from, int64_t to)
{
    ranges_.emplace_back(from, to);
    merged_ = false;
}

void TDeletedTrees::Merge() const
{
    std::sort(ranges_.begin(), ranges_.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto& range : ranges_)
        if (!merged.empty() && range.first < merged.back().second)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    ranges_ = std::move(merged);
    merged_ = true;
}

bool TDeletedTrees::Contains(int64_t offset) const
{
    if (!merged_)
        Merge();
    auto after =
        std::upper_bound(ranges_.begin(), ranges_.end(), std::make_pair(offset, INT64_MAX));
    return after != ranges_.begin() && offset < std::prev(after)->second;
}

} // namespace vm
