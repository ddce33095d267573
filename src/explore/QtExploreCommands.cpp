// The explore window's handlers that do not walk the log: views, date types, the filter and tag
// dialogs, the toolbar's enabling, closing, and keys.
#include "app/MainForm.h"
#include "explore/ExploreForm.h"
#include "explore/QtFileListModel.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "output/QtListExport.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vm {

QList<TGroupedMenu> TExploreChild::MergedMenus() const
{
    return ListWindowMenus(FileMenu, EditMenu, ViewMenu, GoMenu, TagsMenu);
}

void TExploreChild::DisableToolBar()
{
    vm::DisableToolBar(ToolBar, StopAction);
}

void TExploreChild::EnableToolBar()
{
    EnableMarkedToolBar(ToolBar);
    if (ReadOnly)
        DeleteFilesAction->setEnabled(false);
}

void TExploreChild::SetViewImage(int image)
{
    viewImage_ = image;
    ViewButton->setIcon(ToolbarImage(image));
}

void TExploreChild::ChooseView(TView view)
{
    View = view;
    CheckView(views_, view);
    SetViewImage(int(view));
    TFileListOptions options = table_.Options();
    options.PathShown = view != TView::Standard;
    table_.SetOptions(options);
    FileListView->setColumnHidden(kColPath, !options.PathShown);
    if (options.PathShown)
        FileListView->setColumnWidth(kColPath, 220);
    ShownOffset = -2;
    ProcessFillListView();
}

void TExploreChild::ViewButtonClick()
{
    ChooseView(TView(viewImage_ % 3 + 1));
}

void TExploreChild::ChooseDateType(TDateType type)
{
    DateType = type;
    CheckDateType(dateTypes_, type);
    TFileListOptions options = table_.Options();
    options.DateType = type;
    table_.SetOptions(options);
    ListModel->headerDataChanged(Qt::Horizontal, kColDate, kColDate);
    if (!tree_ || tree_->Count() <= 1)
        return; // the window is being made
    if (SelectedNode() <= TDirTree::kRoot)
        FillListView(-1);
    else
        Refresh();
}

void TExploreChild::Refresh()
{
    if (Busy || SelectedNode() < 0)
        return;
    ForceRefill = true;
    ProcessFillListView();
}

void TExploreChild::ToggleFilter()
{
    FilterOn = !FilterOn;
    ToggleFilterAction->setIcon(ToolbarImage(FilterOn ? toolimg::FilterOn : toolimg::FilterOff));
    ToggleFilterAction->setChecked(FilterOn);
    ForceRefill = true;
    ProcessFillListView();
}

void TExploreChild::ShowFilterDialog(bool tagPage)
{
    if (!FileFilterForm)
        return;
    FileFilterForm->PageControl->setTabVisible(2, false);
    FileFilterForm->PageControl->setTabVisible(1, true);
    FileFilterForm->ShowPage(tagPage ? FileFilterForm->TagsPage : FileFilterForm->PropertiesPage);
    if (std::unique_ptr<TLogAccess> access = OpenLog())
        FileFilterForm->ConstructTagNames(*access->Log);
    switch (RunFilterDialog(*FileFilterForm, FilterOn)) {
    case TFilterFollowUp::TurnOn:
        ToggleFilter(); // refills with the filter on
        break;
    case TFilterFollowUp::Refill:
        ForceRefill = true;
        ProcessFillListView();
        break;
    case TFilterFollowUp::Nothing:
        break;
    }
}

void TExploreChild::CloseWindow()
{
    CloseListWindow(this);
}

void TExploreChild::closeEvent(QCloseEvent* event)
{
    // A log in memory has no file to come back to: its window stays until the program ends.
    if (InMemory()) {
        event->ignore();
        return;
    }
    if (!PutOffCloseWhileBusy(event, Busy, CloseRequested))
        event->accept();
}

bool TExploreChild::eventFilter(QObject* watched, QEvent* event)
{
    // F1 asks for the help of the control it is pressed in: the list's or the window's.
    const bool view = watched == FileListView || watched == DirTreeView;
    if (view && TakeHelpKey(event, [this, watched] {
            frame_.ShowHelpContext(watched == FileListView ? help::FileList : help::Explore);
        }))
        return true;
    if (watched == FileListView && event->type() == QEvent::FocusIn) {
        // Entering a list without a selection selects its first row.
        if (ListModel->rowCount() > 0 && !FileListView->selectionModel()->hasSelection()) {
            const QModelIndex first = ListModel->index(0, 0);
            FileListView->selectionModel()->setCurrentIndex(
                first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    } else if (watched == FileListView && IsOpenKey(event)) {
        OpenRow(FileListView->currentIndex());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TExploreChild::PrintClick()
{
    frame_.PrintForm().ShowPrint(table_, S(ChildPathLabel->text()),
                                 S(windowTitle()) + " - " + S(ChildRefLabel->text()));
}

void TExploreChild::CopyClick()
{
    frame_.PrintForm().ShowCopy(table_);
}

void TExploreChild::EmailClick()
{
    frame_.EmailForm().ShowFor(Reference, LogNumber, LogFileName, table_, FileListView,
                               stream_.get());
}

void TExploreChild::ExportListClick()
{
    ExportListCommand(this, table_, frame_.Context().UI, ChooseExportFile);
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
        settings.Load(*access->Log);
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
        if (TUserInterface* ui = frame_.Context().UI)
            ui->ShowMessage(e.what());
    }
}

} // namespace vm
