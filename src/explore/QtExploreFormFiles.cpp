// The explore window's row pop-up with its tag items, opening files, selecting all files, the
// filter and tag settings dialogs over its log, e-mail, and what its file actions (the base's)
// need of it: which rows a deletion takes and the questions it asks, the deleted total.
#include "explore/ExploreForm.h"

#include "core/TagSettings.h"
#include "display/DisplayHelpers.h"
#include "display/QtDisplayHelpers.h"
#include "display/QtImageLists.h"
#include "explore/ExploreTexts.h"
#include "explore/QtFileListModel.h"
#include "fileops/DeletionTexts.h"
#include "fileops/FileActions.h"
#include "fileops/FileFilterForm.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtListWindowParts.h"
#include "output/EmailForm.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"

#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

namespace vm {

namespace {

constexpr int kFixedPopupItems = 8;

} // namespace

void TExploreChild::CreateFileActions()
{
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
        const TFileEntry row = table_.Entry(focused);
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
            settings.Load(access->Log());
        std::vector<uint32_t> tagSets;
        if (selected.size() > 1)
            for (int p : selected)
                tagSets.push_back(table_.Entry(p).Tags);
        else
            tagSets.push_back(table_.Entry(focused).Tags);
        const std::vector<TTagMenuItem> tagItems = TagMenuItems(settings, tagSets);
        for (const TTagMenuItem& item : tagItems) {
            QAction* a =
                ChildPopupMenu->addAction(frame_.TagImages().Icon(item.Image), Q(item.Caption));
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
        std::vector<int64_t> offsets;
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
        change(access->Log());
        access->Log().Stream().Flush();
    } catch (const std::exception& e) {
        frame_.UI().ShowMessage(e.what());
    }
    // The rows show the tags as the log has them once the access is closed (and the window's
    // reader reloaded).
    access.reset();
    for (int p : positions)
        ListModel->RowChanged(p);
}

// ---- Open, select all, the dialogs ------------------------------------------------------------

void TExploreChild::OpenClick()
{
    const int focused = FocusedPosition();
    if (focused < 0)
        return;
    const TFileEntry row = table_.Entry(focused);
    if (!row.Read)
        return;
    std::string file = table_.DirectoryText(row);
    if (row.Kind != kRowPath)
        file += row.Name;
    ShellOpen(file);
}

void TExploreChild::SelectAllFilesClick()
{
    if (Busy)
        return;
    SelectRowsWhere([this](int p) { return SelectableByAll(table_.Entry(p).Tags); });
}

bool TExploreChild::PrepareFilterDialog(QWidget*& page)
{
    FileFilterForm->PageControl->setTabVisible(2, false);
    FileFilterForm->PageControl->setTabVisible(1, true);
    if (std::unique_ptr<TLogAccess> access = OpenLog())
        FileFilterForm->ConstructTagNames(access->Log());
    return true;
}

void TExploreChild::EmailClick()
{
    frame_.EmailForm().ShowFor(Reference, LogNumber, LogFileName, table_, FileListView,
                               stream_.get());
}

void TExploreChild::TagSettingsClick()
{
    TTagSettingsForm& dialog = frame_.TagSettings();
    // The dialog is shared: it shows this log's tags only when loaded right now.
    {
        std::unique_ptr<TLogAccess> access = OpenLog();
        if (!access)
            return;
        TTagSettings settings;
        settings.Load(access->Log());
        dialog.SetSettings(settings);
    }
    if (dialog.exec() != QDialog::Accepted || RefusedAsReadOnly())
        return;
    try {
        if (InMemory()) {
            TDirStorage log(*stream_);
            dialog.Settings().Save(log);
        } else {
            SaveTagSettingsToFile(dialog.Settings(), LogFileName);
        }
    } catch (const std::exception& e) {
        frame_.UI().ShowMessage(e.what());
    }
}

// ---- What the file actions need -------------------------------------------------------------

QIcon TExploreChild::PropertiesIcon(int position) const
{
    return frame_.SmallImages().Icon(ListModel->RowImage(table_.Entry(position)));
}

TRefPathInfo TExploreChild::RefPathInfo(TDirStorage& log, int64_t offset) const
{
    if (InMemory())
        return FolderPathInfoOf(log, offset, frame_.RefStore());
    return TListWindow::RefPathInfo(log, offset);
}

std::optional<TRowDeletion> TExploreChild::PlanSelectedDeletion()
{
    const int focused = FocusedPosition();
    if ((focused < 0 && SelectedPositions().empty()) || RefusedAsReadOnly())
        return std::nullopt;
    if (focused >= 0 && store_.Row(focused).Kind == kRowPath) {
        frame_.UI().ShowMessage(kCannotDeletePath);
        return std::nullopt;
    }
    // Paths are never deleted, whatever else is selected; deleted entries are not again.
    TRowDeletion plan;
    int64_t directories = 0, files = 0;
    for (int p : SelectedPositions()) {
        const TFileEntry row = table_.Entry(p);
        if (row.Kind == kRowPath || (row.Tags & kTagDeleted) || !row.Read)
            continue;
        ++(row.Kind == kRowFolder ? directories : files);
        plan.Space += row.Allocated;
        plan.Positions.push_back(p);
        plan.Rows.push_back({row.Offset, row.Kind == kRowFolder, false});
    }
    const std::string place = DeletionPlace(FilterOn, CurrentDirectoryPath);
    plan.NothingText = NothingToDeleteText(place);
    plan.Question = ExploreDeleteQuestion(directories, files, plan.Space, place, locale_);
    return plan;
}

TRowDeletion TExploreChild::PlanRubbishBinDeletion() const
{
    TRowDeletion plan;
    for (int p = 0; p < store_.Count(); ++p) {
        const TFileEntry row = table_.Entry(p);
        if (!row.Read || TagImageIndex(int32_t(row.Tags)) != kRubbishBinImage)
            continue;
        plan.Space += row.Allocated;
        plan.Positions.push_back(p);
        plan.Rows.push_back({row.Offset, row.Kind == kRowFolder, row.Kind == kRowPath});
    }
    return plan;
}

bool TExploreChild::RefreshedAfterTreeDeletion(int position) const
{
    return !(table_.Entry(position).Tags & kTagDeleted);
}

void TExploreChild::SetRowSpace(int position, int64_t space)
{
    store_.SetAllocated(store_.Row(position).Offset, space);
}

void TExploreChild::SetRowTags(int position, uint32_t tags)
{
    // Until the change's access closes, the log's new tags may still be in its write buffer.
    store_.SetTags(store_.Row(position).Offset, tags);
}

void TExploreChild::RowsDeleted(const TDeleteRunResult& result)
{
    DeletedTotal += result.DeletedSpace;
}

void TExploreChild::FileActionEnded()
{
    AccumulatorLabel->setText(Q(AccumulatorText(DeletedTotal, locale_)));
    // With changes to the log allowed, rows deleted or given a new space take it in the totals,
    // counted again from the rows as they now show.
    if (store_.SumsStale()) {
        const TSizeTotals totals = table_.ShownTotals();
        store_.SetSums(totals.Size, totals.Allocated);
    }
    ShowListTotals();
}

} // namespace vm
