// The compare window's actions on the disk: "Properties", deleting the selected rows or the files
// marked with the rubbish bin, and copying listed files. Each row stands for its entry in the
// newer log (NewLogOffset), which is checked against the comparison before anything is read or
// written there; a mismatch turns the window read only. What is deleted or copied, and how, is
// the file operations' (explore/DeleteFiles.h, explore/CopyFiles.h, explore/FileProperties.h).
#include "app/MainForm.h"
#include "compare/CompChildForm.h"
#include "compare/CompareDeletion.h"
#include "compare/CompareRules.h"
#include "compare/QtCompareListModel.h"
#include "fileops/CopyFiles.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeletionTexts.h"
#include "fileops/EntryOnDisk.h"
#include "fileops/FilePropForm.h"
#include "fileops/QtFileOperations.h"
#include "listwindow/DisplayHelpers.h"
#include "listwindow/QtListWindowParts.h"
#include "references/Options.h"
#include "references/RefStore.h"

#include <QTreeView>

#include <algorithm>

namespace vm {

std::vector<int> TCompMDIChild::SelectedPositions() const
{
    return SelectedListRows(FileListView, store_.Count());
}

std::unique_ptr<TLogFile> TCompMDIChild::OpenNewLog(const std::vector<TNewLogTarget>& targets,
                                                    bool writing)
{
    if (!TagsAvailable)
        return nullptr;
    std::string mismatch;
    std::unique_ptr<TLogFile> log;
    try {
        log = OpenCheckedNewLog(ComparisonFileName, NewLogFileName, targets, writing, mismatch);
    } catch (const std::exception& e) {
        frame_.Context().UI->ShowMessage(e.what());
        return nullptr;
    }
    if (!log)
        TurnReadOnly(mismatch);
    return log;
}

void TCompMDIChild::SetFileActionsRunning(bool running)
{
    Busy = running;
    if (running)
        DisableToolBar();
    else
        EnableToolBar();
    ShowFileOperationRunning(FileListView, DirTreeView, frame_.menuBar(),
                             {FileMenu, EditMenu, ViewMenu, GoMenu, TagsMenu}, running);
    if (running)
        return;
    if (CloseRequested)
        CloseWindow();
}

void TCompMDIChild::MarkRowDeleted(int position, bool updateLog)
{
    FileListView->selectionModel()->select(
        ListModel->index(position, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    TCompareRow& row = store_.Row(position);
    row.Tags = kTagDeleted;
    if (updateLog)
        row.AllocNow = 0;
    ListModel->RowChanged(position);
}

// ---- Properties -----------------------------------------------------------------------------

void TCompMDIChild::PropertiesClick()
{
    const QModelIndex index = FileListView->currentIndex();
    if (Busy || !index.isValid() || index.row() >= store_.Count() || !TagsAvailable)
        return;
    const int position = index.row();
    const TCompareRow& row = store_.Row(position);
    if (!ReachesNewLog(row))
        return;
    const TNewLogTarget target{row.Offset, row.NewLogOffset};
    TUserInterface& ui = *frame_.Context().UI;
    static TNoNetWareClient netware;
    TFileProperties properties(*Disk, netware, locale_);
    {
        std::unique_ptr<TLogFile> log = OpenNewLog({target}, false);
        if (!log)
            return;
        const TRefPathInfo info = RefPathInfoOf(
            log->Log(), target.NewLogOffset, TRefStore(frame_.Context().DataDirectory), Reference);
        if (!LoadOrTell(
                properties, log->Log(), target.NewLogOffset, info,
                [this](const std::string& extension) {
                    return frame_.FileTypes().FileTypeText(extension);
                },
                ui))
            return;
    }
    const int64_t allocated = ShowPropertiesDialog(
        properties,
        [this, &ui, target](TFileProperties& p, bool readOnly, bool compressed) {
            std::unique_ptr<TLogFile> log = OpenNewLog({target}, true);
            return ApplyOrTell(p, log ? &log->Log() : nullptr, readOnly, compressed, ui);
        },
        2, ListModel->data(ListModel->index(position, kCmpName), Qt::DecorationRole).value<QIcon>(),
        frame_, this);
    // "Space now" shows what the newer log holds now.
    TCompareRow& shown = store_.Row(position);
    if (shown.AllocNow != allocated) {
        if (FileListView->selectionModel()->isRowSelected(position, QModelIndex()))
            SelectedAllocNow += allocated - shown.AllocNow;
        shown.AllocNow = allocated;
        ListModel->RowChanged(position);
        ShowSelectionTotal();
    }
}

// ---- Deleting -------------------------------------------------------------------------------

void TCompMDIChild::DeleteSelectedClick()
{
    TUserInterface& ui = *frame_.Context().UI;
    const std::vector<int> selected = SelectedPositions();
    if (Busy || !TagsAvailable || selected.empty())
        return;
    if (selected.size() == 1 && store_.Row(selected.front()).TopLevel()) {
        ui.ShowMessage(kCannotDeletePath);
        return;
    }
    // Paths are never deleted, whatever else is selected; nor entries only the old log has.
    const TCompareDeletion plan = PlanSelectedDeletion(store_, selected);
    if (plan.Rows.empty()) {
        ui.MessageDlg(kDirectoryAlreadyDeleted, TMsgDlgType::Information, mbtn::OK);
        return;
    }
    const std::string place = DeletionPlace(CurrentDirectoryPath.empty(), CurrentDirectoryPath);
    if (ui.MessageDlg(
            CompareDeleteQuestion(plan.Directories, plan.Files, plan.Space, place, locale_),
            TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    const bool updateLog = AllowChangesToLog();
    std::unique_ptr<TLogFile> log = OpenNewLog(plan.Targets, true);
    if (!log)
        return;
    SetFileActionsRunning(true);
    TDeletedTrees trees;
    try {
        TDeleteSettings settings;
        settings.ConfirmDeletions = &frame_.Context().ConfirmDeletions;
        settings.UpdateLog = updateLog;
        DeleteSelectedRows(
            log->Log(), plan.Rows, settings, *Disk, ui, frame_.FileOperations(),
            [&](size_t i, int64_t) { MarkRowDeleted(plan.Positions[i], updateLog); },
            [&trees](int32_t from, int32_t to) { trees.Add(from, to); });
        // Rows of entries inside the deleted directories show what the newer log says now.
        for (int p : RowsInsideTrees(store_, trees))
            if (log->Log().ReadTags(store_.Row(p).NewLogOffset) & kTagDeleted)
                MarkRowDeleted(p, updateLog);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    log.reset();
    SetFileActionsRunning(false);
}

void TCompMDIChild::DeleteFilesClick()
{
    TUserInterface& ui = *frame_.Context().UI;
    if (Busy || !TagsAvailable)
        return;
    const TCompareDeletion plan = PlanRubbishBinDeletion(store_, TagsShown);
    const std::string place = DeletionPlace(FilterOn, CurrentDirectoryPath);
    if (plan.Rows.empty()) {
        ui.MessageDlg(NoRubbishBinText(place), TMsgDlgType::Information, mbtn::OK);
        return;
    }
    if (ui.MessageDlg(RubbishBinQuestion(int64_t(plan.Rows.size()), plan.Space, place, locale_),
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    const bool updateLog = AllowChangesToLog();
    std::unique_ptr<TLogFile> log = OpenNewLog(plan.Targets, true);
    if (!log)
        return;
    SetFileActionsRunning(true);
    try {
        DeleteRubbishBinRows(log->Log(), plan.Rows, updateLog, *Disk, ui, [&](size_t i, int64_t) {
            MarkRowDeleted(plan.Positions[i], updateLog);
        });
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    log.reset();
    SetFileActionsRunning(false);
}

// ---- Copying --------------------------------------------------------------------------------

void TCompMDIChild::CopyFilesClick(bool selectedOnly)
{
    TUserInterface& ui = *frame_.Context().UI;
    if (Busy || !TagsAvailable)
        return;
    std::vector<int> positions = selectedOnly ? SelectedPositions() : std::vector<int>();
    if (!selectedOnly)
        for (int p = 0; p < store_.Count(); ++p)
            positions.push_back(p);
    // The files are reached through their entries in the newer log: a file only the old log has
    // is gone from the disk.
    std::vector<TNewLogTarget> targets;
    std::vector<int32_t> offsets;
    for (int p : positions) {
        const TCompareRow& row = store_.Row(p);
        if (row.Kind == kRowFile && ReachesNewLog(row)) {
            targets.push_back({row.Offset, row.NewLogOffset});
            offsets.push_back(row.NewLogOffset);
        }
    }
    if (offsets.empty())
        return;
    const std::optional<TCopyRequest> request =
        AskCopyRequest(*frame_.FileOperations().CopyOptionsForm, SelectedNode() > TDirTree::kRoot,
                       CurrentDirectoryPath, selectedOnly, offsets.size());
    if (!request)
        return;
    std::unique_ptr<TLogFile> log = OpenNewLog(targets, false);
    if (!log)
        return;
    SetFileActionsRunning(true);
    try {
        CopyFiles(log->Log(), offsets, *request, *Disk, ui);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    log.reset();
    SetFileActionsRunning(false);
}

} // namespace vm
