// The list windows' base: making the window, the shared actions and the handlers that do not
// walk a file (views, date types, the filter, printing and the export, closing and keys). The
// long work is in QtListWindowFormWork.cpp, the file actions in QtListWindowFormFiles.cpp.
#include "listwindow/ListWindowForm.h"

#include "display/DirTree.h"
#include "display/QtImageLists.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/ListSortStart.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListTableModel.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "output/PrintForm.h"
#include "platform/QtText.h"
#include "references/RefStore.h"
#include "treemapview/QtViewsPane.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vm {

TListWindow::TListWindow(TChildFrame& frame, const TListWindowLook& look)
    : TListWindowWork(look.SortDirection), DateType(look.DateType), frame_(frame), look_(look),
      locale_(TLocale::FromEnvironment()), tree_(std::make_unique<TDirTree>())
{
    setObjectName(look.ObjectName);
    setWindowTitle(look.Caption);
    setWindowIcon(frame_.TreeImages().Icon(look.Icon));
    setAttribute(Qt::WA_DeleteOnClose, false); // the frame's sub-window owns and deletes it
    ownDisk_ = std::make_unique<TPosixFileSystem>();
    Disk = ownDisk_.get();
    CreateSharedActions();
}

TListWindow::~TListWindow() = default;

void TListWindow::CreateSharedActions()
{
    const TChoiceActions views = NewViewActions(this, [this](TView view) { ChooseView(view); });
    ViewStandardAction = views.Items[0];
    ViewFoldersAction = views.Items[1];
    ViewAllAction = views.Items[2];
    views_ = views.Group;

    UpOneLevelAction =
        NewToolAction(this, "Up folder", "UpOneLevelAction", "Go up one directory level",
                      look_.UpIconText, toolimg::Up, [this] { UpOneLevel(); });
    UpOneLevelAction->setShortcut(QKeySequence(Qt::Key_F12));

    // The filter dialog exists once the window has opened its file.
    FileFilterAction = NewToolAction(
        this, look_.FileFilterText, "FileFilterAction", "Alter file filter specifications",
        "File filter", toolimg::FileFilter,
        [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->PropertiesPage : nullptr); });
    TagFilterAction =
        NewToolAction(this, look_.TagFilterText, "TagFilterAction",
                      "Alter tag filter specifications", "Tag filter", toolimg::TagFilter, [this] {
                          ShowFilterDialog(FileFilterForm ? FileFilterForm->TagsPage : nullptr);
                      });
    // The menu's hint is the action's status tip; the toolbar button's is its tool tip.
    ToggleFilterAction = NewToolAction(this, look_.ToggleFilterText, "ToggleFilterAction", {},
                                       "Filter", toolimg::FilterOff, [this] { ToggleFilter(); });
    ToggleFilterAction->setStatusTip(look_.ToggleFilterStatusTip);
    ToggleFilterAction->setToolTip("Turn file filter on or off");
    ToggleFilterAction->setCheckable(true);
    ToggleFilterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    TagSettingsAction = NewToolAction(this, look_.TagSettingsText, "TagSettingsAction",
                                      "Specify names for tags", "Tags", toolimg::Tags);

    PrintAction = NewPrintAction(this, [this] { PrintClick(); });
    ExportListAction = NewExportListAction(this, [this] { ExportListClick(); });
    CopyAction = NewClipboardAction(this, [this] { CopyClick(); });
    EmailAction = NewToolAction(this, look_.EmailText, "EmailAction", "Email contents", "Email",
                                toolimg::Email);

    DeleteFilesAction = NewToolAction(this, look_.DeleteFilesText, "DeleteFilesAction",
                                      "Delete files marked with rubbish bin", "Delete",
                                      toolimg::Delete, [this] { DeleteFilesClick(); });
    DeleteSelectedFiles1 = NewAction(this, look_.DeleteSelectedFilesText, "DeleteSelectedFiles1");
    DeleteSelectedFiles1->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(DeleteSelectedFiles1, &QAction::triggered, this, &TListWindow::DeleteSelectedClick);

    StopAction = NewStopAction(this, [this] { StopClick(); });
    const TWindowActions window = NewWindowActions(this, frame_, [this] { CloseWindow(); });
    Close1 = window.Close;
    CloseAll1 = window.CloseAll;
    Exit1 = window.Exit;
    Refresh1 = NewRefreshAction(this, [this] { Refresh(); });

    const TChoiceActions dates =
        NewDateTypeActions(this, [this](TDateType type) { ChooseDateType(type); });
    DateCreated1 = dates.Items[0];
    DateModified1 = dates.Items[1];
    DateAccessed1 = dates.Items[2];
    dateTypes_ = dates.Group;
    CheckDateType(dateTypes_, DateType);

    const TBranchActions branch =
        NewBranchActions(this, [this](bool expand) { ExpandTreeBranch(DirTreeView, expand); });
    ExpandTree1 = branch.Expand;
    CollapseTree1 = branch.Collapse;
}

void TListWindow::CreateToolBar(QAction* compareFilter, QAction* show)
{
    ToolBar = NewListToolBar(this);
    ViewButton = AddViewButton(ToolBar, ViewButtonMenu);
    connect(ViewButton, &QToolButton::clicked, this, &TListWindow::ViewButtonClick);
    SetViewImage(1);
    const TListToolButtons buttons = AddListToolButtons(
        ToolBar, {UpOneLevelAction, FileFilterAction, TagFilterAction, compareFilter,
                  ToggleFilterAction, TagSettingsAction, DeleteFilesAction, EmailAction, CopyAction,
                  PrintAction, show, StopAction});
    FilterButton = buttons.Filter;
    StopButton = buttons.Stop;
}

void TListWindow::CreateTreePanel(int rootImage, bool stateImages)
{
    TreeModel = new TDirTreeModel(frame_.TreeImages(), this);
    if (stateImages)
        TreeModel->SetImages(rootImage, &frame_.StateImages());
    const TTreePanel panel = NewTreePanel(this, TreeModel, TreePopupMenu);
    treePanel_ = panel.Panel;
    ChildRefLabel = panel.RefLabel;
    TreeStack = panel.Stack;
    DirTreeView = panel.Tree;
    BlankTreeView = panel.Blank;
    if (stateImages)
        DirTreeView->setIconSize(QSize(34, 16)); // the arrow beside the folder
    connect(DirTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TListWindow::DirTreeViewChange);
    DirTreeView->installEventFilter(this);
}

void TListWindow::CreateListPanel(TListTableModel* model, std::initializer_list<QLabel*> extra,
                                  int nameColumn, std::initializer_list<int> sizeColumns,
                                  int dateColumn)
{
    ChildInfoLabel = NewCaptionLabel(this, "ChildInfoLabel");
    ChildPathLabel = NewCaptionLabel(this, "ChildPathLabel");
    listModel_ = model;
    FileListView = new QTreeView(this);
    FileListView->setObjectName("FileListView");
    FileListView->setAccessibleName(look_.ListName);
    if (*look_.ListToolTip)
        FileListView->setToolTip(look_.ListToolTip);
    SetUpListView(FileListView);
    FileListView->setModel(model);
    FitListColumns(FileListView, Table(), nameColumn, sizeColumns, dateColumn, locale_);
    FileListView->installEventFilter(this);
    FileListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileListView, &QAbstractItemView::doubleClicked, this, &TListWindow::OpenRow);
    connect(FileListView->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        ClickColumn(Table().Column(section).Caption);
        SortList(SortColumn);
    });
    connect(FileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TListWindow::ListSelectionChanged);

    // A cover for the list while it fills; the list shows its first rows at once and fills on,
    // so the cover stays hidden.
    ChildBlankListView = NewBlankListView(this, Table());
    InProcessAnimate = new TBusyIndicator(FileListView, [this] { return View == TView::AllFiles; });
    std::vector<QLabel*> labels = {ChildInfoLabel, ChildPathLabel};
    labels.insert(labels.end(), extra.begin(), extra.end());
    listPanel_ = NewListPanel(this, labels, ChildPathLabel, FileListView, ChildBlankListView);
}

void TListWindow::FinishLayout()
{
    ChildStatusBar = new TChildStatusBar(this);
    CreateViewsPane();
    LayOutListWindow(this, ToolBar, treePanel_, ListAndViews(this, listPanel_, ViewsPane),
                     ChildStatusBar);
    SetTableDateType(DateType);
    StopAction->setEnabled(false);
}

TSortStart TListWindow::OpenSortStart(bool largestFirst) const
{
    return ExploreSortStart(largestFirst);
}

QList<TGroupedMenu> TListWindow::MergedMenus() const
{
    return ListWindowMenus(FileMenu, EditMenu, ViewMenu, GoMenu, TagsMenu);
}

// ---- The toolbar, views and date types ------------------------------------------------------

void TListWindow::DisableToolBar()
{
    vm::DisableToolBar(ToolBar, StopAction);
}

void TListWindow::EnableToolBar()
{
    EnableMarkedToolBar(ToolBar);
    ToolBarEnabled();
}

void TListWindow::SetViewImage(int image)
{
    viewImage_ = image;
    ViewButton->setIcon(ToolbarImage(image));
}

void TListWindow::ChooseView(TView view)
{
    if (Busy && !look_.ViewRestartsFill) {
        // The group has checked the item already: put the view that is shown back.
        CheckView(views_, View);
        return;
    }
    View = view;
    CheckView(views_, view);
    SetViewImage(int(view));
    const bool shown = view != TView::Standard;
    const int path = SetTablePathShown(shown);
    FileListView->setColumnHidden(path, !shown);
    if (shown && (look_.PathColumnWidthReset || FileListView->columnWidth(path) == 0))
        FileListView->setColumnWidth(path, 220);
    RefillList();
}

void TListWindow::ViewButtonClick()
{
    ChooseView(TView(viewImage_ % 3 + 1));
}

void TListWindow::ChooseDateType(TDateType type)
{
    DateType = type;
    CheckDateType(dateTypes_, type);
    const int column = SetTableDateType(type);
    listModel_->headerDataChanged(Qt::Horizontal, column, column);
    if (Busy) {
        if (look_.DateTypeRestartsFill)
            RestartRequested = true; // the fill starts again with the new dates
        return;
    }
    Refresh();
}

void TListWindow::Refresh()
{
    if (Busy || SelectedNode() < 0)
        return;
    RefillList();
}

// ---- The filter ----------------------------------------------------------------------------

void TListWindow::CreateFilterDialog(int mode, bool tagsAvailable, const QStringList& lines)
{
    if (FileFilterForm)
        return;
    FileFilterForm = new TFileFilterForm(mode, frame_.RefStore().FilterIniPath(), frame_.UI(),
                                         frame_.TagImages(), this);
    connect(FileFilterForm, &TFileFilterForm::HelpRequested, this,
            [this](int context) { frame_.ShowHelpContext(context); });
    if (!lines.isEmpty())
        FileFilterForm->SetCompareLines(lines);
    FileFilterForm->Initialise(tagsAvailable);
}

void TListWindow::SetFilterOn(bool on)
{
    FilterOn = on;
    ToggleFilterAction->setIcon(ToolbarImage(FilterOn ? toolimg::FilterOn : toolimg::FilterOff));
    ToggleFilterAction->setChecked(FilterOn);
    FilterToggled();
}

void TListWindow::ToggleFilter()
{
    SetFilterOn(!FilterOn);
    if (look_.FilterRestartsFill)
        RefillList();
    else
        Refresh();
}

void TListWindow::ShowFilterDialog(QWidget* page)
{
    if (!FileFilterForm || !page || !PrepareFilterDialog(page))
        return;
    FileFilterForm->ShowPage(page);
    switch (RunFilterDialog(*FileFilterForm, FilterOn)) {
    case TFilterFollowUp::TurnOn:
        ToggleFilter(); // refills with the filter on
        break;
    case TFilterFollowUp::Refill:
        if (look_.FilterRestartsFill)
            RefillList();
        else
            Refresh();
        break;
    case TFilterFollowUp::Nothing:
        break;
    }
}

// ---- Printing, the clipboard and the export -------------------------------------------------

void TListWindow::PrintClick()
{
    frame_.PrintForm().ShowPrint(Table(), S(ChildPathLabel->text()),
                                 S(windowTitle()) + " - " + S(ChildRefLabel->text()));
}

void TListWindow::CopyClick()
{
    frame_.PrintForm().ShowCopy(Table());
}

void TListWindow::ExportListClick()
{
    ExportListCommand(this, Table(), &frame_.UI(), ChooseExportFile);
}

// ---- Closing and keys -----------------------------------------------------------------------

void TListWindow::CloseWindow()
{
    CloseListWindow(this);
}

void TListWindow::closeEvent(QCloseEvent* event)
{
    if (!MayClose()) {
        event->ignore();
        return;
    }
    if (!PutOffCloseWhileBusy(event, Busy, CloseRequested)) {
        ViewsPane->StopAll(); // their files close before the window's
        event->accept();
    }
}

bool TListWindow::eventFilter(QObject* watched, QEvent* event)
{
    // F1 asks for the help of the control it is pressed in: the list's or the window's.
    const bool view = watched == FileListView || watched == DirTreeView;
    if (view && TakeHelpKey(event, [this, watched] {
            frame_.ShowHelpContext(watched == FileListView ? look_.ListHelp : look_.Help);
        }))
        return true;
    if (watched == FileListView && event->type() == QEvent::FocusIn) {
        // Entering a list without a selection selects its first row.
        if (look_.SelectFirstRowOnEntry && listModel_->rowCount() > 0 &&
            !FileListView->selectionModel()->hasSelection()) {
            const QModelIndex first = listModel_->index(0, 0);
            FileListView->selectionModel()->setCurrentIndex(
                first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    } else if (watched == FileListView && IsOpenKey(event)) {
        OpenRow(FileListView->currentIndex());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vm
