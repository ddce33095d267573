// Deleting listed files and directories on the disk and marking them in the log, shared by the
// explore window and the compare window: the selected rows with their questions, and the files
// marked with the rubbish bin. The windows ask first (DeletionTexts.h), disable themselves, call
// these with the log open for writing, and update their rows as each entry is recorded.
//
// What these never do: delete a top-level path (whatever else is selected); reach a file by any
// way but from its top-level path without following a link (EntryOnDisk.h); delete anything
// where another kind of entry now stands than the log lists (it is left, and the user is told);
// change a file's permissions to delete it (on Linux that takes the directory's, not the file's);
// delete or count again an entry already marked deleted.
#pragma once

#include "core/DirStorage.h"
#include "fileops/DirectoryDeletion.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vm {

// A row to delete: the log entry it stands for (in the compare window, the entry in the new log).
struct TDeleteRow
{
    int64_t Offset = kNoOffset;
    bool Directory = false;
    bool Path = false; // a top-level path: never deleted
};

// What a directory's deletion dialog did.
struct TDirectoryOutcome
{
    bool Confirmed = false; // the deletion ran
    bool Cancelled = false; // the dialog was cancelled: the whole run ends
    bool Stopped = false;   // the user stopped the deletion: the whole run ends
    int64_t DeletedSpace = 0;
    int64_t SubtreeEnd = kNoOffset; // the directory's records are [its offset, SubtreeEnd)
    std::vector<std::string> NotDeleted;
};

// What a directory dialog's deletion comes to for the run: accepted (shown and closed with OK, or
// confirmed at once) and what the work did. A directory that is no longer one was refused, not
// cancelled: the run goes on.
TDirectoryOutcome DirectoryOutcome(bool accepted, const TDirectoryDeletion& work,
                                   const TDirectoryDeleted& done);

// The dialogs a deletion shows; the windows' dialogs implement them, tests script them.
class TDeletionDialogs
{
public:
    virtual ~TDeletionDialogs() = default;
    // The question about a read-only, hidden or system file: idYes, idNo or idCancel.
    virtual int ConfirmFileDeletion(const std::string& name, uint32_t attributes) = 0;
    // Before the rows are walked: both checks of the directory dialog on.
    virtual void StartDirectoryDeletions() = 0;
    // The directory deletion dialog for the directory at offset of log (open for writing),
    // reached on the disk through fs; shown, or confirmed at once when the user said so.
    virtual TDirectoryOutcome DeleteDirectory(TDirStorage& log, int64_t offset, TFileSystem& fs,
                                              bool updateLog) = 0;
};

struct TDeleteSettings
{
    // "Confirm &deletions": read before each file; the file dialog may change it.
    const bool* ConfirmDeletions = nullptr;
    bool UpdateLog = false; // "Allow changes to log file"
};

// Called for each row whose entry is now recorded deleted, with the space it counted for.
using TRowDeleted = std::function<void(size_t row, int64_t space)>;
// Called after a directory's deletion with the offsets of its records: entries of other rows
// inside it may have been marked too.
using TTreeDeleted = std::function<void(int64_t from, int64_t to)>;

// The record ranges of the directories a run deleted (as TTreeDeleted reports them), nested and
// repeated ones merged: whether an entry lies inside one of them, so that the rows of entries
// inside deleted directories can show what the log now says of them.
class TDeletedTrees
{
public:
    void Add(int64_t from, int64_t to);
    bool Empty() const { return ranges_.empty(); }
    bool Contains(int64_t offset) const;

private:
    void Merge() const;

    mutable std::vector<std::pair<int64_t, int64_t>> ranges_; // [from, to)
    mutable bool merged_ = true;
};

struct TDeleteRunResult
{
    int Deleted = 0;          // entries recorded deleted (a directory counts once)
    int64_t DeletedSpace = 0; // what they held, as the log's deleted total grew by it
    int Failures = 0;         // rubbish-bin files that could not be deleted
    bool Ended = false;       // No, Cancel or a stop ended the run early
};

// Deletes the rows in order, with the status window showing "Now Deleting :" and each path:
// a file is deleted after the file dialog's Yes where "Confirm &deletions" asks about a
// read-only, hidden or system file; a file that cannot be deleted, is gone, or has another
// kind of entry in its place asks whether to go on (Yes, No, All); a directory goes through the
// directory dialog. No, Cancel or the status window's Cancel end the run.
TDeleteRunResult DeleteSelectedRows(TDirStorage& log, const std::vector<TDeleteRow>& rows,
                                    const TDeleteSettings& settings, TFileSystem& fs,
                                    TUserInterface& ui, TDeletionDialogs& dialogs,
                                    const TRowDeleted& onDeleted,
                                    const TTreeDeleted& onTreeDeleted = {});

// Deletes the files of the rows marked with the rubbish bin without a question each, then says
// how many it could not delete. The status window's Cancel ends it.
TDeleteRunResult DeleteRubbishBinRows(TDirStorage& log, const std::vector<TDeleteRow>& rows,
                                      bool updateLog, TFileSystem& fs, TUserInterface& ui,
                                      const TRowDeleted& onDeleted);

} // namespace vm
