// The compare window's handlers that do not walk the comparison: views, date types, arrows and
// tags, the filter and tag dialogs, the row pop-up and its tag items, opening rows, the toolbar's
// enabling, the read-only state, closing and keys.
#include "app/MainForm.h"
#include "compare/CompChildForm.h"
#include "compare/CompareRules.h"
#include "compare/NewLogLink.h"
#include "compare/QtCompareListModel.h"
#include "fileops/FileActions.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtDisplayHelpers.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vm {

QList<TGroupedMenu> TCompMDIChild::MergedMenus() const
{
    return ListWindowMenus(FileMenu, EditMenu, ViewMenu, GoMenu, TagsMenu);
}

// ---- The toolbar and the read-only state ----------------------------------------------------

void TCompMDIChild::DisableToolBar()
{
    vm::DisableToolBar(ToolBar, StopAction);
}

void TCompMDIChild::EnableToolBar()
{
    EnableMarkedToolBar(ToolBar);
    TagFilterAction->setEnabled(TagsAvailable);
    TagSettingsAction->setEnabled(TagsAvailable);
}

void TCompMDIChild::UpdateTagActions()
{
    for (QAction* a : {TagFilterAction, TagSettingsAction, ShowTags1, ShowAction, DeleteFilesAction,
                       DeleteSelectedFiles1})
        a->setEnabled(TagsAvailable);
    ShowAction->setToolTip(TagsAvailable ? QString("Show tags or arrows") : kCantShowTagsHint);
}

void TCompMDIChild::UpdateCaption()
{
    const QString old = windowTitle();
    const QString caption = Q(baseCaption_ + (TagsAvailable ? "" : kReadOnlySuffix));
    setWindowTitle(caption);
    // The program's title follows the caption of the window it names.
    std::string& title = frame_.Context().ApplicationTitle;
    if (title == "Volumark " + old.toStdString())
        title = "Volumark " + caption.toStdString();
}

void TCompMDIChild::TurnReadOnly(const std::string& why)
{
    if (!TagsAvailable)
        return;
    TagsAvailable = false;
    UpdateCaption();
    UpdateTagActions();
    if (TagsShown)
        ShowStateImages(false);
    else
        SetListViewStateImages();
    if (TUserInterface* ui = frame_.Context().UI)
        ui->ShowMessage(ReadOnlyMessage(NewLog, why));
}

// ---- Views, dates, arrows and tags ----------------------------------------------------------

void TCompMDIChild::SetViewImage(int image)
{
    viewImage_ = image;
    ViewButton->setIcon(ToolbarImage(image));
}

void TCompMDIChild::ChooseView(TView view)
{
    if (Busy) {
        // The group has checked the item already: put the view that is shown back.
        CheckView(views_, View);
        return;
    }
    View = view;
    CheckView(views_, view);
    SetViewImage(int(view));
    TCompareListOptions options = table_.Options();
    options.PathShown = view != TView::Standard;
    table_.SetOptions(options);
    FileListView->setColumnHidden(kCmpPath, !options.PathShown);
    if (options.PathShown && FileListView->columnWidth(kCmpPath) == 0)
        FileListView->setColumnWidth(kCmpPath, 220);
    ProcessFillListView();
}

void TCompMDIChild::ViewButtonClick()
{
    ChooseView(TView(viewImage_ % 3 + 1));
}

void TCompMDIChild::ChooseDateType(TDateType type)
{
    DateType = type;
    CheckDateType(dateTypes_, type);
    TCompareListOptions options = table_.Options();
    options.DateType = type;
    table_.SetOptions(options);
    ListModel->headerDataChanged(Qt::Horizontal, kCmpDate, kCmpDate);
    if (Busy)
        RestartRequested = true; // the fill starts again with the new dates
    else
        Refresh();
}

void TCompMDIChild::Refresh()
{
    if (!Busy)
        ProcessFillListView();
}

void TCompMDIChild::ShowStateImages(bool tags)
{
    if (tags && !TagsAvailable)
        tags = false;
    TagsShown = tags;
    (tags ? ShowTags1 : ShowArrows1)->setChecked(true);
    ShowAction->setIcon(ToolbarImage(tags ? toolimg::ShowTags : toolimg::ShowArrows));
    DisableToolBar();
    SetListViewStateImages();
}

void TCompMDIChild::ShowButtonClick()
{
    ShowStateImages(!TagsShown);
}

// ---- The filter and the tag settings --------------------------------------------------------

void TCompMDIChild::ToggleFilter()
{
    FilterOn = !FilterOn;
    ToggleFilterAction->setIcon(ToolbarImage(FilterOn ? toolimg::FilterOn : toolimg::FilterOff));
    ToggleFilterAction->setChecked(FilterOn);
    ToggleFilterAction->setText(FilterOn ? "&Turn file filter off" : "&Turn file filter on");
    Refresh();
}

void TCompMDIChild::ShowFilterDialog(QWidget* page)
{
    if (!FileFilterForm || !page || Busy)
        return;
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
    FileFilterForm->ShowPage(page);
    switch (RunFilterDialog(*FileFilterForm, FilterOn)) {
    case TFilterFollowUp::TurnOn:
        ToggleFilter(); // refills with the filter on
        break;
    case TFilterFollowUp::Refill:
        Refresh();
        break;
    case TFilterFollowUp::Nothing:
        break;
    }
}

void TCompMDIChild::TagSettingsClick()
{
    if (!TagsAvailable || Busy)
        return;
    TTagSettingsForm& dialog = frame_.TagSettings();
    TUserInterface* ui = frame_.Context().UI;
    // The dialog is shared: it shows the new log's tags only when loaded right now.
    try {
        TLogFile newLog(NewLogFileName, false);
        TTagSettings settings;
        settings.Load(newLog.Log());
        dialog.SetSettings(settings);
    } catch (const std::exception& e) {
        if (ui)
            ui->ShowMessage(e.what());
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
        if (ui)
            ui->ShowMessage(e.what());
    }
}

// ---- Printing, the clipboard and mail ------------------------------------------------------

void TCompMDIChild::PrintClick()
{
    frame_.PrintForm().ShowPrint(table_, ChildPathLabel->text().toStdString(),
                                 windowTitle().toStdString() + " - " +
                                     ChildRefLabel->text().toStdString());
}

void TCompMDIChild::PrintSetupClick()
{
    frame_.PrintForm().PrinterSetup();
}

void TCompMDIChild::CopyClick()
{
    frame_.PrintForm().ShowCopy(table_);
}

void TCompMDIChild::EmailClick()
{
    // The tags a mail can list are the newer log's.
    frame_.EmailForm().ShowFor(Reference, NewLog, NewLogFileName, table_, FileListView);
}

void TCompMDIChild::ExportListClick()
{
    ExportListCommand(this, table_, frame_.Context().UI, ChooseExportFile);
}

// ---- The rows: opening, selecting, the pop-up and tags --------------------------------------

void TCompMDIChild::OpenRow(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= store_.Count())
        return;
    const TCompareRow& row = store_.Row(index.row());
    if (row.Kind == kRowFile) {
        OpenClick();
        return;
    }
    // The row's directory is a node of the tree: found by its offset, whatever its name holds.
    const int node = tree_->FindOffset(row.Offset);
    if (node > 0)
        SelectNode(node);
}

void TCompMDIChild::OpenClick()
{
    const QModelIndex index = FileListView->currentIndex();
    if (!index.isValid() || index.row() >= store_.Count())
        return;
    const TCompareRow& row = store_.Row(index.row());
    // The record's own name, never the caption (which may lack the extension).
    const std::string name(store_.Name(row));
    ShellOpen(row.Kind == kRowPath ? name : table_.DirectoryText(row) + name);
}

void TCompMDIChild::SelectAllFilesClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QItemSelection selection;
    const std::vector<int> rows = SelectableFileRows(store_);
    for (size_t i = 0; i < rows.size();) {
        size_t end = i + 1; // one range per run of neighbouring rows
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        selection.select(ListModel->index(rows[i], 0),
                         ListModel->index(rows[end - 1], kCompareColumnCount - 1));
        i = end;
    }
    FileListView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    QApplication::restoreOverrideCursor();
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
                ChildPopupMenu->addAction(frame_.TagImageList.Icon(item.Image), Q(item.Caption));
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
    ChangeSelectedTags([bit](TDirStorage& log, const std::vector<int32_t>& offsets) {
        ApplyTagItem(log, offsets, bit);
    });
}

void TCompMDIChild::ClearAllTagsClick()
{
    ChangeSelectedTags([](TDirStorage& log, const std::vector<int32_t>& offsets) {
        for (int32_t offset : offsets)
            ClearAllTags(log, offset);
    });
}

void TCompMDIChild::ChangeSelectedTags(
    const std::function<void(TDirStorage& log, const std::vector<int32_t>& offsets)>& change)
{
    if (!TagsAvailable || Busy)
        return;
    const std::vector<int> rows = SelectedRowsReachingNewLog();
    if (rows.empty())
        return;
    std::vector<TNewLogTarget> targets;
    for (int row : rows)
        targets.push_back({store_.Row(row).Offset, store_.Row(row).NewLogOffset});
    TNewLogChange result;
    TagEditing = true;
    try {
        result = ChangeThroughNewLog(ComparisonFileName, NewLogFileName, targets, change);
    } catch (const std::exception& e) {
        TagEditing = false;
        if (TUserInterface* ui = frame_.Context().UI)
            ui->ShowMessage(e.what());
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

// ---- Closing and keys -----------------------------------------------------------------------

void TCompMDIChild::CloseWindow()
{
    CloseListWindow(this);
}

void TCompMDIChild::closeEvent(QCloseEvent* event)
{
    if (!PutOffCloseWhileBusy(event, Busy, CloseRequested))
        event->accept();
}

bool TCompMDIChild::eventFilter(QObject* watched, QEvent* event)
{
    // F1 asks for the window's help.
    const bool view = watched == FileListView || watched == DirTreeView;
    if (view && TakeHelpKey(event, [this] { frame_.ShowHelpContext(help::Compare); }))
        return true;
    if (watched == FileListView && IsOpenKey(event)) {
        OpenRow(FileListView->currentIndex());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vm
