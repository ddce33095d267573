// The explore window's actions on the rows of its file list: the row pop-up menu with its tag
// items, opening files, selecting all files, the properties dialog, tags, deleting on the disk
// and copying. What they decide lives in FileActions.h, DeleteFiles.h, CopyFiles.h and
// FileProperties.h; this file connects them to the window.
#include "app/MainForm.h"
#include "core/TagSettings.h"
#include "explore/ExploreForm.h"
#include "explore/ExploreTexts.h"
#include "explore/QtFileListModel.h"
#include "fileops/CopyFiles.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeleteFiles.h"
#include "fileops/DeletionTexts.h"
#include "fileops/EntryOnDisk.h"
#include "fileops/FileActions.h"
#include "fileops/FilePropForm.h"
#include "fileops/FileProperties.h"
#include "fileops/QtFileOperations.h"
#include "listwindow/DisplayHelpers.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/ExclusiveFile.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "references/Options.h"
#include "references/RefStore.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>

namespace vm {

namespace {

constexpr int kFixedPopupItems = 8;

} // namespace

void TExploreChild::CreateFileActions()
{
    ownDisk_ = std::make_unique<TPosixFileSystem>();
    Disk = ownDisk_.get();

    ChildPopupMenu = Named(new QMenu(this), "ChildPopupMenu");
    Open1 = Named(ChildPopupMenu->addAction("&Open"), "Open1");
    ChildPopupMenu->setDefaultAction(Open1);
    connect(Open1, &QAction::triggered, this, &TExploreChild::OpenClick);
    // There is no quick viewer to run on this system: the item stays, disabled.
    QuickView1 = Named(ChildPopupMenu->addAction("&Quick View"), "QuickView1");
    SelectAllFilesPopup1 =
        Named(ChildPopupMenu->addAction("Select all files\tCtrl+A"), "SelectAllFilesPopup1");
    connect(SelectAllFilesPopup1, &QAction::triggered, this, &TExploreChild::SelectAllFilesClick);
    DeleteSelected1 = Named(ChildPopupMenu->addAction("&Delete selected "), "DeleteSelected1");
    connect(DeleteSelected1, &QAction::triggered, this, &TExploreChild::DeleteSelectedClick);
    CopyFilesMenu = Named(ChildPopupMenu->addMenu("Copy files"), "CopyFiles1");
    CopyFilesMenu->addAction(CopyAllFilesAction);
    CopyFilesMenu->addAction(CopySelectedFilesAction);
    ChildPopupMenu->addSeparator();
    Properties1 = Named(ChildPopupMenu->addAction("&Properties"), "Properties1");
    connect(Properties1, &QAction::triggered, this, &TExploreChild::PropertiesClick);
    ContextMenuSeparator = ChildPopupMenu->addSeparator();
    ContextMenuSeparator->setObjectName("ContextMenuSeparator");

    connect(CopyAllFilesAction, &QAction::triggered, this, [this] { CopyFilesClick(false); });
    connect(CopySelectedFilesAction, &QAction::triggered, this, [this] { CopyFilesClick(true); });
    connect(SelectAllFiles1, &QAction::triggered, this, &TExploreChild::SelectAllFilesClick);
    connect(DeleteSelectedFiles1, &QAction::triggered, this, &TExploreChild::DeleteSelectedClick);
    connect(DeleteFilesAction, &QAction::triggered, this, &TExploreChild::DeleteFilesClick);
    for (QAction* a : {SelectAllFiles1, DeleteSelectedFiles1, DeleteFilesAction})
        a->setEnabled(true);
}

// ---- Rows ------------------------------------------------------------------------------------

int TExploreChild::FocusedPosition() const
{
    const QModelIndex index = FileListView->currentIndex();
    return index.isValid() && index.row() < store_.Count() ? index.row() : -1;
}

std::vector<int> TExploreChild::SelectedPositions() const
{
    return SelectedListRows(FileListView, store_.Count());
}

void TExploreChild::RowChanged(int position)
{
    ListModel->dataChanged(ListModel->index(position, 0),
                           ListModel->index(position, kFileColumnCount - 1));
}

bool TExploreChild::RefusedAsReadOnly()
{
    if (!ReadOnly)
        return false;
    if (TUserInterface* ui = frame_.Context().UI)
        ui->ShowMessage(kReadOnlyLogText);
    return true;
}

std::unique_ptr<TExploreChild::TLogAccess> TExploreChild::OpenLogForChange()
{
    if (RefusedAsReadOnly())
        return nullptr;
    if (InMemory())
        return OpenLog();
    auto access = std::make_unique<TLogAccess>();
    try {
        access->File = OpenForExclusiveWriting(LogFileName);
        access->Log = std::make_unique<TDirStorage>(*access->File);
    } catch (const std::exception& e) {
        if (TUserInterface* ui = frame_.Context().UI)
            ui->ShowMessage(e.what());
        return nullptr;
    }
    return access;
}

void TExploreChild::SetFileActionsRunning(bool running)
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
    AccumulatorLabel->setText(Q(AccumulatorText(DeletedTotal, locale_)));
    if (CloseRequested)
        CloseWindow();
}

// ---- The pop-up menu and tags ----------------------------------------------------------------

void TExploreChild::ChildPopupMenuPopup(const QPoint& at)
{
    const int focused = FocusedPosition();
    const std::vector<int> selected = SelectedPositions();
    TPopupState state;
    state.AllFilesView = View == TView::AllFiles;
    state.AtRoot = SelectedNode() <= TDirTree::kRoot;
    state.SelectedRows = int(selected.size());
    state.HasFocusedRow = focused >= 0;
    state.ReadOnly = ReadOnly;
    if (focused >= 0) {
        const TFileRow& row = store_.Row(focused);
        state.FocusedDeleted = TagImageIndex(int32_t(row.Tags)) == kDeletedImage;
        state.FocusedKind = row.Kind;
    }
    const TPopupEnabling e = ChildPopupEnabling(state);
    Open1->setEnabled(e.Open);
    QuickView1->setEnabled(e.QuickView);
    SelectAllFilesPopup1->setEnabled(e.SelectAll);
    DeleteSelected1->setEnabled(e.DeleteSelected);
    Properties1->setEnabled(e.Properties);
    CopyFilesMenu->menuAction()->setEnabled(e.CopyFiles);
    CopyAllFilesAction->setEnabled(e.CopyAll);
    CopySelectedFilesAction->setEnabled(e.CopySelected);

    const QList<QAction*> items = ChildPopupMenu->actions();
    for (int i = kFixedPopupItems; i < items.size(); ++i) {
        ChildPopupMenu->removeAction(items[i]);
        delete items[i];
    }
    ContextMenuSeparator->setVisible(false);
    if (e.TagItems) {
        TTagSettings settings;
        if (std::unique_ptr<TLogAccess> access = OpenLog())
            settings.Load(*access->Log);
        std::vector<uint32_t> tagSets;
        if (selected.size() > 1)
            for (int p : selected)
                tagSets.push_back(store_.Row(p).Tags);
        else
            tagSets.push_back(store_.Row(focused).Tags);
        const std::vector<TTagMenuItem> tagItems = TagMenuItems(settings, tagSets);
        for (const TTagMenuItem& item : tagItems) {
            QAction* a =
                ChildPopupMenu->addAction(frame_.TagImageList.Icon(item.Image), Q(item.Caption));
            a->setObjectName(Q("MenuClickTag" + std::to_string(item.Slot)));
            a->setCheckable(true);
            a->setChecked(item.Checked);
            const int bit = item.Bit;
            connect(a, &QAction::triggered, this, [this, bit] { MenuClickTag(bit); });
        }
        if (!tagItems.empty()) {
            ContextMenuSeparator->setVisible(true);
            QAction* clear = ChildPopupMenu->addAction("Clear all tags");
            clear->setObjectName("ClearAllTagsClick");
            connect(clear, &QAction::triggered, this, &TExploreChild::ClearAllTagsClick);
        }
    }
    ChildPopupMenu->popup(FileListView->viewport()->mapToGlobal(at));
}

void TExploreChild::MenuClickTag(int bit)
{
    std::vector<int> positions = SelectedPositions();
    if (positions.empty() && FocusedPosition() >= 0)
        positions.push_back(FocusedPosition());
    ChangeRowTags(positions, [&positions, bit, this](TDirStorage& log) {
        std::vector<int32_t> offsets;
        for (int p : positions)
            offsets.push_back(store_.Row(p).Offset);
        ApplyTagItem(log, offsets, bit);
    });
}

void TExploreChild::ClearAllTagsClick()
{
    const std::vector<int> positions = SelectedPositions();
    ChangeRowTags(positions, [&positions, this](TDirStorage& log) {
        for (int p : positions)
            ClearAllTags(log, store_.Row(p).Offset);
    });
}

void TExploreChild::ChangeRowTags(const std::vector<int>& positions,
                                  const std::function<void(TDirStorage&)>& change)
{
    std::unique_ptr<TLogAccess> access = OpenLogForChange();
    if (!access)
        return;
    try {
        change(*access->Log);
        for (int p : positions) {
            store_.Row(p).Tags = access->Log->ReadTags(store_.Row(p).Offset);
            RowChanged(p);
        }
        access->Log->Stream().Flush();
    } catch (const std::exception& e) {
        frame_.Context().UI->ShowMessage(e.what());
    }
}

// ---- Open, select all, properties -------------------------------------------------------------

void TExploreChild::OpenClick()
{
    const int focused = FocusedPosition();
    if (focused < 0)
        return;
    const TFileRow& row = store_.Row(focused);
    std::string file = table_.DirectoryText(row);
    if (row.Kind != kRowPath)
        file += std::string(store_.Name(row));
    ShellOpen(file);
}

void TExploreChild::SelectAllFilesClick()
{
    if (Busy)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QItemSelection selection;
    for (int i = 0; i < store_.Count();) {
        int end = i;
        while (end < store_.Count() && SelectableByAll(store_.Row(end).Tags))
            ++end;
        if (end > i)
            selection.select(ListModel->index(i, 0),
                             ListModel->index(end - 1, kFileColumnCount - 1));
        i = end + 1;
    }
    FileListView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    QApplication::restoreOverrideCursor();
}

void TExploreChild::PropertiesClick()
{
    const int focused = FocusedPosition();
    TUserInterface& ui = *frame_.Context().UI;
    if (Busy || focused < 0 || SelectedPositions().empty())
        return;
    const TFileRow& row = store_.Row(focused);
    static TNoNetWareClient netware;
    TFileProperties properties(*Disk, netware, locale_);
    {
        std::unique_ptr<TLogAccess> access = OpenLog();
        if (!access)
            return;
        TDirStorage& log = *access->Log;
        const TRefStore store(frame_.Context().DataDirectory);
        const TRefPathInfo info = InMemory() ? FolderPathInfoOf(log, row.Offset, store)
                                             : RefPathInfoOf(log, row.Offset, store, Reference);
        if (!LoadOrTell(
                properties, log, row.Offset, info,
                [this](const std::string& extension) {
                    return frame_.FileTypes().FileTypeText(extension);
                },
                ui))
            return;
    }
    const int64_t allocated = ShowPropertiesDialog(
        properties,
        [this, &ui](TFileProperties& p, bool readOnly, bool compressed) {
            std::unique_ptr<TLogAccess> access = OpenLogForChange();
            return ApplyOrTell(p, access ? access->Log.get() : nullptr, readOnly, compressed, ui);
        },
        1, frame_.SmallImageList.Icon(ListModel->RowImage(row)), frame_, this);
    TFileRow& shown = store_.Row(focused);
    if (shown.Allocated != allocated) {
        // The selection totals count the row with its new space.
        const bool selected = FileListView->selectionModel()->isRowSelected(focused, QModelIndex());
        if (selected)
            SelectedBytes += allocated - shown.Allocated;
        store_.SetAllocated(focused, allocated);
        RowChanged(focused);
        ShowSelectionTotals();
        ShowListTotals();
    }
    AccumulatorLabel->setText(Q(AccumulatorText(DeletedTotal, locale_)));
}

// ---- Deleting -------------------------------------------------------------------------------

void TExploreChild::DeleteSelectedClick()
{
    TUserInterface& ui = *frame_.Context().UI;
    const int focused = FocusedPosition();
    if (Busy || (focused < 0 && SelectedPositions().empty()) || RefusedAsReadOnly())
        return;
    if (focused >= 0 && store_.Row(focused).Kind == kRowPath) {
        ui.ShowMessage(kCannotDeletePath);
        return;
    }
    // Paths are never deleted, whatever else is selected; deleted entries are not again.
    std::vector<int> positions;
    std::vector<TDeleteRow> rows;
    int64_t directories = 0, files = 0, bytes = 0;
    for (int p : SelectedPositions()) {
        const TFileRow& row = store_.Row(p);
        if (row.Kind == kRowPath || (row.Tags & kTagDeleted))
            continue;
        ++(row.Kind == kRowFolder ? directories : files);
        bytes += row.Allocated;
        positions.push_back(p);
        rows.push_back({row.Offset, row.Kind == kRowFolder, false});
    }
    const std::string place = DeletionPlace(FilterOn, CurrentDirectoryPath);
    if (rows.empty()) {
        ui.MessageDlg(NothingToDeleteText(place), TMsgDlgType::Information, mbtn::OK);
        return;
    }
    if (ui.MessageDlg(ExploreDeleteQuestion(directories, files, bytes, place, locale_),
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    const bool updateLog = AllowChangesToLog();
    std::unique_ptr<TLogAccess> access = OpenLogForChange();
    if (!access)
        return;
    TDirStorage& log = *access->Log;
    SetFileActionsRunning(true);
    auto deleted = [&](size_t i, int64_t) {
        const int p = positions[i];
        FileListView->selectionModel()->select(
            ListModel->index(p, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        store_.Row(p).Tags = kTagDeleted;
        if (updateLog)
            store_.SetAllocated(p, 0);
        RowChanged(p);
    };
    // The trees of deleted directories: afterwards the rows of entries inside them show what
    // the log says of them, in one pass over the list however many directories went.
    TDeletedTrees trees;
    auto treeDeleted = [&trees](int32_t from, int32_t to) { trees.Add(from, to); };
    try {
        TDeleteSettings settings;
        settings.ConfirmDeletions = &frame_.Context().ConfirmDeletions;
        settings.UpdateLog = updateLog;
        const TDeleteRunResult result = DeleteSelectedRows(
            log, rows, settings, *Disk, ui, frame_.FileOperations(), deleted, treeDeleted);
        DeletedTotal += result.DeletedSpace;
        for (int p = 0; p < store_.Count() && !trees.Empty(); ++p) {
            TFileRow& row = store_.Row(p);
            const bool inside = trees.Contains(row.Offset);
            TDirNode node;
            std::string name;
            if (!inside || (row.Tags & kTagDeleted) || !log.ReadNode(row.Offset, node, name) ||
                !(node.Tags & kTagDeleted))
                continue;
            FileListView->selectionModel()->select(
                ListModel->index(p, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            row.Tags = node.Tags;
            if (updateLog)
                store_.SetAllocated(p, 0);
            RowChanged(p);
        }
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    access.reset();
    SetFileActionsRunning(false);
    ShowListTotals(); // with changes to the log allowed, the deleted rows take no space now
}

void TExploreChild::DeleteFilesClick()
{
    TUserInterface& ui = *frame_.Context().UI;
    if (Busy || RefusedAsReadOnly())
        return;
    std::vector<int> positions;
    std::vector<TDeleteRow> rows;
    int64_t bytes = 0;
    for (int p = 0; p < store_.Count(); ++p) {
        const TFileRow& row = store_.Row(p);
        if (TagImageIndex(int32_t(row.Tags)) != kRubbishBinImage)
            continue;
        bytes += row.Allocated;
        positions.push_back(p);
        rows.push_back({row.Offset, row.Kind == kRowFolder, row.Kind == kRowPath});
    }
    const std::string place = DeletionPlace(FilterOn, CurrentDirectoryPath);
    if (rows.empty()) {
        ui.MessageDlg(NoRubbishBinText(place), TMsgDlgType::Information, mbtn::OK);
        return;
    }
    if (ui.MessageDlg(RubbishBinQuestion(int64_t(rows.size()), bytes, place, locale_),
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return;
    const bool updateLog = AllowChangesToLog();
    std::unique_ptr<TLogAccess> access = OpenLogForChange();
    if (!access)
        return;
    SetFileActionsRunning(true);
    try {
        const TDeleteRunResult result =
            DeleteRubbishBinRows(*access->Log, rows, updateLog, *Disk, ui, [&](size_t i, int64_t) {
                const int p = positions[i];
                FileListView->selectionModel()->select(ListModel->index(p, 0),
                                                       QItemSelectionModel::Deselect |
                                                           QItemSelectionModel::Rows);
                store_.Row(p).Tags = kTagDeleted;
                if (updateLog)
                    store_.SetAllocated(p, 0);
                RowChanged(p);
            });
        DeletedTotal += result.DeletedSpace;
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    access.reset();
    SetFileActionsRunning(false);
    ShowListTotals(); // with changes to the log allowed, the deleted rows take no space now
}

// ---- Copying --------------------------------------------------------------------------------

void TExploreChild::CopyFilesClick(bool selectedOnly)
{
    TUserInterface& ui = *frame_.Context().UI;
    if (Busy)
        return;
    std::vector<int32_t> offsets;
    if (selectedOnly) {
        for (int p : SelectedPositions())
            offsets.push_back(store_.Row(p).Offset);
    } else {
        for (int p = 0; p < store_.Count(); ++p)
            offsets.push_back(store_.Row(p).Offset);
    }
    if (offsets.empty())
        return;
    const std::optional<TCopyRequest> request =
        AskCopyRequest(*frame_.FileOperations().CopyOptionsForm, SelectedNode() > TDirTree::kRoot,
                       CurrentDirectoryPath, selectedOnly, offsets.size());
    if (!request)
        return;
    std::unique_ptr<TLogAccess> access = OpenLog();
    if (!access)
        return;
    SetFileActionsRunning(true);
    try {
        CopyFiles(*access->Log, offsets, *request, *Disk, ui);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    access.reset();
    SetFileActionsRunning(false);
}

} // namespace vm
