// The list windows' file actions on their rows: Properties, deleting the selected rows or those
// marked with the rubbish bin, and copying listed files. What they decide lives in fileops/
// (FileProperties.h, DeleteFiles.h, DeletionTexts.h, CopyFiles.h); which entry a row stands for
// and how its log is opened is the window's.
#include "listwindow/ListWindowForm.h"

#include "display/DirTree.h"
#include "display/QtDisplayHelpers.h"
#include "fileops/CopyFiles.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeletionTexts.h"
#include "fileops/FilePropForm.h"
#include "fileops/QtFileOperations.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtListTableModel.h"
#include "listwindow/QtListWindowParts.h"
#include "references/Options.h"
#include "references/RefStore.h"
#include "treemapview/QtViewsPane.h"

#include <QMenu>
#include <QTreeView>

namespace vm {

int TListWindow::FocusedPosition() const
{
    const QModelIndex index = FileListView->currentIndex();
    return index.isValid() && index.row() < RowCount() ? index.row() : -1;
}

std::vector<int> TListWindow::SelectedPositions() const
{
    return SelectedListRows(FileListView, RowCount());
}

void TListWindow::SetFileActionsRunning(bool running)
{
    Busy = running;
    if (running)
        DisableToolBar();
    else
        EnableToolBar();
    ShowFileOperationRunning(FileListView, DirTreeView, frame_.MenuBar(),
                             {FileMenu, EditMenu, ViewMenu, GoMenu, TagsMenu}, running);
    if (running) {
        ViewsPane->StopAll();
        return;
    }
    FileActionEnded();
    ViewsPane->Invalidate(); // deletions and tags change what the views show
    if (CloseRequested)
        CloseWindow();
}

void TListWindow::MarkRowDeleted(int position, bool updateLog, uint32_t tags)
{
    FileListView->selectionModel()->select(
        listModel_->index(position, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    SetRowTags(position, tags);
    if (updateLog)
        SetRowSpace(position, 0);
    listModel_->RowChanged(position);
}

// ---- Properties -----------------------------------------------------------------------------

TRefPathInfo TListWindow::RefPathInfo(TDirStorage& log, int64_t offset) const
{
    return RefPathInfoOf(log, offset, frame_.RefStore(), Reference);
}

void TListWindow::PropertiesClick()
{
    const int position = FocusedPosition();
    if (Busy || !ReachesLog() || position < 0 || !HasProperties(position))
        return;
    TUserInterface& ui = frame_.UI();
    const int64_t offset = LogOffsetOf(position);
    static TNoNetWareClient netware;
    TFileProperties properties(*Disk, netware, locale_);
    {
        std::unique_ptr<TActionLog> log = OpenActionLog({position}, false);
        if (!log)
            return;
        if (!LoadOrTell(
                properties, log->Log(), offset, RefPathInfo(log->Log(), offset),
                [this](const std::string& extension) {
                    return frame_.FileTypes().FileTypeText(extension);
                },
                ui))
            return;
    }
    // What the row counts now: once the dialog changed the log, the row may read the new space.
    const int64_t before = RowFacts(position).Space;
    const int64_t allocated = ShowPropertiesDialog(
        properties,
        [this, &ui, position](TFileProperties& p, bool readOnly, bool compressed) {
            std::unique_ptr<TActionLog> log = OpenActionLog({position}, true);
            return ApplyOrTell(p, log ? &log->Log() : nullptr, readOnly, compressed, ui);
        },
        look_.PropertiesTag, PropertiesIcon(position),
        [this](int context) { frame_.ShowHelpContext(context); }, this);
    // The row shows the space its entry takes now; the selection's total counts it so.
    if (before != allocated) {
        if (FileListView->selectionModel()->isRowSelected(position, QModelIndex()))
            SelectedBytes += allocated - before;
        SetRowSpace(position, allocated);
        listModel_->RowChanged(position);
        ShowSelectionTotals();
    }
    FileActionEnded();
}

// ---- Deleting -------------------------------------------------------------------------------

void TListWindow::DeleteSelectedClick()
{
    if (Busy || !ReachesLog())
        return;
    const std::optional<TRowDeletion> plan = PlanSelectedDeletion();
    if (!plan)
        return;
    TUserInterface& ui = frame_.UI();
    if (plan->Rows.empty()) {
        ui.MessageDlg(plan->NothingText, TMsgDlgType::Information, mbtn::OK);
        return;
    }
    if (ui.MessageDlg(plan->Question, TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    RunDeletion(*plan, true);
}

void TListWindow::DeleteFilesClick()
{
    if (Busy || !ReachesLog() || RefusesChanges())
        return;
    TRowDeletion plan = PlanRubbishBinDeletion();
    const std::string place = DeletionPlace(FilterOn, CurrentDirectoryPath);
    TUserInterface& ui = frame_.UI();
    if (plan.Rows.empty()) {
        ui.MessageDlg(NoRubbishBinText(place), TMsgDlgType::Information, mbtn::OK);
        return;
    }
    if (ui.MessageDlg(RubbishBinQuestion(int64_t(plan.Rows.size()), plan.Space, place, locale_),
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    RunDeletion(plan, false);
}

void TListWindow::RunDeletion(const TRowDeletion& plan, bool selected)
{
    TUserInterface& ui = frame_.UI();
    const bool updateLog = AllowChangesToLog();
    std::unique_ptr<TActionLog> access = OpenActionLog(plan.Positions, true);
    if (!access)
        return;
    TDirStorage& log = access->Log();
    SetFileActionsRunning(true);
    auto deleted = [&](size_t i, int64_t) {
        MarkRowDeleted(plan.Positions[i], updateLog, kTagDeleted);
    };
    try {
        TDeleteRunResult result;
        if (selected) {
            // The trees of deleted directories: afterwards the rows of entries inside them show
            // what the log says of them, in one pass over the list however many directories went.
            TDeletedTrees trees;
            TDeleteSettings settings;
            settings.ConfirmDeletions = &frame_.ConfirmDeletions();
            settings.UpdateLog = updateLog;
            result = DeleteSelectedRows(
                log, plan.Rows, settings, *Disk, ui, frame_.FileOperations(), deleted,
                [&trees](int64_t from, int64_t to) { trees.Add(from, to); });
            for (int p = 0; p < RowCount() && !trees.Empty(); ++p) {
                if (!trees.Contains(LogOffsetOf(p)) || !RefreshedAfterTreeDeletion(p))
                    continue;
                const uint32_t tags = log.ReadTags(LogOffsetOf(p));
                if (tags & kTagDeleted)
                    MarkRowDeleted(p, updateLog, tags);
            }
        } else {
            result = DeleteRubbishBinRows(log, plan.Rows, updateLog, *Disk, ui, deleted);
        }
        RowsDeleted(result);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    access.reset();
    SetFileActionsRunning(false);
}

// ---- Copying --------------------------------------------------------------------------------

void TListWindow::CopyFilesClick(bool selectedOnly)
{
    if (Busy || !ReachesLog())
        return;
    std::vector<int> positions;
    std::vector<int64_t> offsets;
    for (int p : selectedOnly ? SelectedPositions() : std::vector<int>()) {
        if (CopiesRow(p)) {
            positions.push_back(p);
            offsets.push_back(LogOffsetOf(p));
        }
    }
    for (int p = 0; !selectedOnly && p < RowCount(); ++p) {
        if (CopiesRow(p)) {
            positions.push_back(p);
            offsets.push_back(LogOffsetOf(p));
        }
    }
    if (offsets.empty())
        return;
    const std::optional<TCopyRequest> request =
        AskCopyRequest(*frame_.FileOperations().CopyOptionsForm, SelectedNode() > TDirTree::kRoot,
                       CurrentDirectoryPath, selectedOnly, offsets.size());
    if (!request)
        return;
    std::unique_ptr<TActionLog> log = OpenActionLog(positions, false);
    if (!log)
        return;
    SetFileActionsRunning(true);
    try {
        CopyFiles(log->Log(), offsets, *request, *Disk, frame_.UI());
    } catch (const std::exception& e) {
        frame_.UI().ShowMessage(e.what());
    }
    log.reset();
    SetFileActionsRunning(false);
}

} // namespace vm
