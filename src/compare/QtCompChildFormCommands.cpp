// The compare window's handlers of its own: the row pop-up and its tag items (changed through
// the newer log), opening and selecting rows, the filter and tag settings dialogs, print set-up
// and e-mail.
#include "compare/CompChildForm.h"

#include "compare/CompareRules.h"
#include "compare/QtCompareListModel.h"
#include "display/QtDisplayHelpers.h"
#include "display/QtImageLists.h"
#include "fileops/FileActions.h"
#include "fileops/FileFilterForm.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/ChildFrame.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

#include <algorithm>

namespace vm {

// ---- The filter, the tag settings, printing and mail ----------------------------------------

void TCompMDIChild::FilterToggled()
{
    ToggleFilterAction->setText(FilterOn ? "&Turn file filter off" : "&Turn file filter on");
}

bool TCompMDIChild::PrepareFilterDialog(QWidget*& page)
{
    if (Busy)
        return false;
    QTabWidget* pages = FileFilterForm->PageControl;
    pages->setTabVisible(pages->indexOf(FileFilterForm->ComparePage), true);
    pages->setTabVisible(pages->indexOf(FileFilterForm->TagsPage), TagsAvailable);
    if (TagsAvailable) {
        try {
            TLogFile newLog(NewLogFileName, false);
            FileFilterForm->ConstructTagNames(newLog.Log());
        } catch (const std::exception&) {
            // The names stay as they were; the filter works on the tag bits.
        }
    } else if (page == FileFilterForm->TagsPage) {
        page = FileFilterForm->PropertiesPage;
    }
    return true;
}

void TCompMDIChild::TagSettingsClick()
{
    if (!TagsAvailable || Busy)
        return;
    TTagSettingsForm& dialog = frame_.TagSettings();
    TUserInterface& ui = frame_.UI();
    // The dialog is shared: it shows the new log's tags only when loaded right now.
    try {
        TLogFile newLog(NewLogFileName, false);
        TTagSettings settings;
        settings.Load(newLog.Log());
        dialog.SetSettings(settings);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return;
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        std::string mismatch;
        {
            TFileStream comparison(ComparisonFileName, TFileMode::OpenRead);
            TDirCompare file(comparison);
            TLogFile newLog(NewLogFileName, false);
            mismatch = NewLogRootMismatch(file, newLog.Log());
        }
        if (!mismatch.empty()) {
            TurnReadOnly(mismatch);
            return;
        }
        SaveTagSettingsToFile(dialog.Settings(), NewLogFileName);
        tagSettings_ = dialog.Settings();
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
}

void TCompMDIChild::PrintSetupClick()
{
    frame_.PrintForm().PrinterSetup();
}

void TCompMDIChild::EmailClick()
{
    // The tags a mail can list are the newer log's.
    frame_.EmailForm().ShowFor(Reference, NewLog, NewLogFileName, table_, FileListView);
}

// ---- The rows: opening, selecting, the pop-up and tags --------------------------------------

void TCompMDIChild::OpenClick()
{
    const int position = FocusedPosition();
    if (position < 0)
        return;
    const TCompareEntry entry = table_.Entry(position);
    if (!entry.Read)
        return;
    // The record's own name, never the caption (which may lack the extension).
    ShellOpen(store_.Row(position).Kind == kRowPath ? entry.Name
                                                    : table_.DirectoryText(position) + entry.Name);
}

void TCompMDIChild::SelectAllFilesClick()
{
    const std::vector<int> rows = SelectableFileRows(store_);
    SelectRowsWhere([&rows](int p) { return std::binary_search(rows.begin(), rows.end(), p); });
}

std::vector<int> TCompMDIChild::SelectedRowsReachingNewLog() const
{
    std::vector<int> rows = SelectedPositions();
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [this](int p) { return !ReachesNewLog(store_.Row(p)); }),
               rows.end());
    return rows;
}

void TCompMDIChild::PopupMenuShow(const QPoint& at)
{
    // The tag items of the last pop-up go; the fixed items stay.
    const QList<QAction*> items = ChildPopupMenu->actions();
    for (int i = fixedPopupItems_; i < items.size(); ++i) {
        ChildPopupMenu->removeAction(items[i]);
        if (items[i] != ClearAllTags1)
            delete items[i];
    }
    const QModelIndex index = FileListView->indexAt(at);
    TComparePopupInput in;
    in.TagsAvailable = TagsAvailable;
    in.View = View;
    in.RootSelected = SelectedNode() <= TDirTree::kRoot;
    in.SelectedRows = int(FileListView->selectionModel()->selectedRows().size());
    in.Row = index.isValid() && index.row() < store_.Count() ? &store_.Row(index.row()) : nullptr;
    in.TagsShown = TagsShown;
    const TPopupEnabling e = ComparePopupEnabling(in);
    Open1->setEnabled(e.Open);
    QuickView1->setEnabled(e.QuickView);
    SelectAllFiles1->setEnabled(e.SelectAll);
    DeleteSelected1->setEnabled(e.DeleteSelected);
    Properties1->setEnabled(e.Properties);
    // Files are copied through their entries in the newer log.
    CopyFilesMenu->menuAction()->setEnabled(e.CopyFiles && TagsAvailable);
    CopyAllFiles1->setEnabled(e.CopyAll && TagsAvailable);
    CopySelectedFiles1->setEnabled(e.CopySelected && TagsAvailable);
    if (e.TagItems) {
        std::vector<uint32_t> selectedTags;
        for (int row : SelectedRowsReachingNewLog())
            selectedTags.push_back(store_.Row(row).Tags);
        for (const TTagMenuItem& item : TagMenuItems(tagSettings_, selectedTags)) {
            QAction* action =
                ChildPopupMenu->addAction(frame_.TagImages().Icon(item.Image), Q(item.Caption));
            action->setObjectName(QString("TagItem%1").arg(item.Bit));
            action->setCheckable(true);
            action->setChecked(item.Checked);
            action->setData(item.Bit);
            const int bit = item.Bit;
            connect(action, &QAction::triggered, this, [this, bit] { TagItemClick(bit); });
        }
        ChildPopupMenu->addAction(ClearAllTags1);
    }
    ChildPopupMenu->popup(FileListView->viewport()->mapToGlobal(at));
}

void TCompMDIChild::TagItemClick(int bit)
{
    ChangeSelectedTags([bit](TDirStorage& log, const std::vector<int64_t>& offsets) {
        ApplyTagItem(log, offsets, bit);
    });
}

void TCompMDIChild::ClearAllTagsClick()
{
    ChangeSelectedTags([](TDirStorage& log, const std::vector<int64_t>& offsets) {
        for (int64_t offset : offsets)
            ClearAllTags(log, offset);
    });
}

void TCompMDIChild::ChangeSelectedTags(
    const std::function<void(TDirStorage& log, const std::vector<int64_t>& offsets)>& change)
{
    if (!TagsAvailable || Busy)
        return;
    const std::vector<int> rows = SelectedRowsReachingNewLog();
    if (rows.empty())
        return;
    std::vector<TNewLogTarget> targets;
    for (int row : rows)
        targets.push_back({store_.Row(row).Offset, table_.Entry(row).NewLogOffset});
    TNewLogChange result;
    TagEditing = true;
    try {
        result = ChangeThroughNewLog(ComparisonFileName, NewLogFileName, targets, change);
    } catch (const std::exception& e) {
        TagEditing = false;
        frame_.UI().ShowMessage(e.what());
        return;
    }
    TagEditing = false;
    if (!result.Mismatch.empty()) {
        TurnReadOnly(result.Mismatch);
        return;
    }
    for (size_t i = 0; i < rows.size() && i < result.Tags.size(); ++i) {
        store_.Row(rows[i]).Tags = result.Tags[i];
        ListModel->RowChanged(rows[i]);
    }
}

} // namespace vm
