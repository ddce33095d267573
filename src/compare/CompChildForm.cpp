// The compare window's controls, actions and menus. Building the tree and filling the list are in
// QtCompareWork.cpp, the other handlers in QtCompareCommands.cpp.
#include "compare/CompChildForm.h"

#include "app/MainForm.h"
#include "compare/QtCompareListModel.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vm {

TCompMDIChild::TCompMDIChild(TMDIParent& frame)
    : TListWindowWork(false), frame_(frame), locale_(TLocale::FromEnvironment()),
      tree_(std::make_unique<TDirTree>()),
      table_(store_, *tree_, locale_, [&frame](const std::string& extension) {
          return frame.FileTypes().FileTypeText(extension);
      })
{
    setObjectName("CompMDIChild");
    setWindowTitle("Compare logs");
    setWindowIcon(frame_.TreeViewImageList.Icon(img::Comparison));
    setAttribute(Qt::WA_DeleteOnClose, false); // the frame's sub-window owns and deletes it
    ownDisk_ = std::make_unique<TPosixFileSystem>();
    Disk = ownDisk_.get();

    CreateActions();
    CreateMenus();
    CreateToolBar();

    QWidget* left = CreateTreePanel();
    QWidget* right = CreateListPanel();
    ChildStatusBar = new TChildStatusBar(this);
    LayOutListWindow(this, ToolBar, left, right, ChildStatusBar);

    TCompareListOptions options = table_.Options();
    options.DateType = DateType;
    table_.SetOptions(options);
    StopAction->setEnabled(false);
    UpOneLevelAction->setEnabled(false);
    UpdateTagActions();
}

TCompMDIChild::~TCompMDIChild() = default;

void TCompMDIChild::CreateActions()
{
    const TChoiceActions views = NewViewActions(this, [this](TView view) { ChooseView(view); });
    ViewStandardAction = views.Items[0];
    ViewFoldersAction = views.Items[1];
    ViewAllAction = views.Items[2];
    views_ = views.Group;

    UpOneLevelAction =
        NewToolAction(this, "Up folder", "UpOneLevelAction", "Go up one directory level", "Up ",
                      toolimg::Up, [this] { UpOneLevel(); });
    UpOneLevelAction->setShortcut(QKeySequence(Qt::Key_F12));

    FileFilterAction = NewToolAction(
        this, "&File filter settings ...", "FileFilterAction", "Alter file filter specifications",
        "File filter", toolimg::FileFilter,
        [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->PropertiesPage : nullptr); });
    TagFilterAction =
        NewToolAction(this, "&Tag filter settings", "TagFilterAction",
                      "Alter tag filter specifications", "Tag filter", toolimg::TagFilter, [this] {
                          ShowFilterDialog(FileFilterForm ? FileFilterForm->TagsPage : nullptr);
                      });
    CompareFilterAction = NewToolAction(
        this, "Compare filter", "CompareFilterAction", "Alter compare filter specifications",
        "Compare", toolimg::CompareFilter,
        [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->ComparePage : nullptr); });
    ToggleFilterAction = NewToolAction(this, "&Turn file filter on", "ToggleFilterAction",
                                       "Turn file filter on or off", "Filter", toolimg::FilterOff,
                                       [this] { ToggleFilter(); });
    ToggleFilterAction->setCheckable(true);
    ToggleFilterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    TagSettingsAction =
        NewToolAction(this, "Tag settings", "TagSettingsAction", "Specify names for tags", "Tags",
                      toolimg::Tags, [this] { TagSettingsClick(); });

    EmailAction = NewToolAction(this, "Email ...", "EmailAction", "Email contents", "Email",
                                toolimg::Email, [this] { EmailClick(); });
    CopyAction = NewClipboardAction(this, [this] { CopyClick(); });
    PrintAction = NewPrintAction(this, [this] { PrintClick(); });
    ExportListAction = NewExportListAction(this, [this] { ExportListClick(); });
    PrintSetup1 = NewAction(this, "Print &setup ...", "PrintSetup1");
    connect(PrintSetup1, &QAction::triggered, this, &TCompMDIChild::PrintSetupClick);

    // Deleting and copying: QtCompareFileActions.cpp.
    DeleteFilesAction = NewToolAction(this, "Delete files", "DeleteFilesAction",
                                      "Delete files marked with rubbish bin", "Delete",
                                      toolimg::Delete, [this] { DeleteFilesClick(); });
    DeleteSelectedFiles1 = NewAction(this, "&Delete selected files", "DeleteSelectedFiles1");
    DeleteSelectedFiles1->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(DeleteSelectedFiles1, &QAction::triggered, this, &TCompMDIChild::DeleteSelectedClick);

    ShowArrows1 = NewAction(this, "Show &arrows", "ShowArrows1");
    ShowTags1 = NewAction(this, "Show &tags", "ShowTags1");
    stateImages_ = NewChoiceActions(this, {ShowArrows1, ShowTags1}).Group;
    ShowArrows1->setChecked(true);
    connect(ShowArrows1, &QAction::triggered, this, [this] { ShowStateImages(false); });
    connect(ShowTags1, &QAction::triggered, this, [this] { ShowStateImages(true); });
    ShowAction = NewToolAction(this, "Show", "ShowAction", "Show tags or arrows", {},
                               toolimg::ShowArrows, [this] { ShowButtonClick(); });

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
    DateCreated1->setChecked(true);

    const TBranchActions branch =
        NewBranchActions(this, [this](bool expand) { ExpandTreeBranch(DirTreeView, expand); });
    ExpandTree1 = branch.Expand;
    CollapseTree1 = branch.Collapse;

    // The row pop-up's items.
    Open1 = NewAction(this, "Open", "Open1");
    connect(Open1, &QAction::triggered, this, &TCompMDIChild::OpenClick);
    QuickView1 = NewAction(this, "Quick View", "QuickView1");
    SelectAllFiles1 = NewAction(this, "Select all files", "SelectAllFiles1");
    connect(SelectAllFiles1, &QAction::triggered, this, &TCompMDIChild::SelectAllFilesClick);
    DeleteSelected1 = NewAction(this, "Delete selected", "DeleteSelected1");
    connect(DeleteSelected1, &QAction::triggered, this, &TCompMDIChild::DeleteSelectedClick);
    CopySelectedFiles1 = NewAction(this, "Selected files ...", "CopySelectedFiles1");
    connect(CopySelectedFiles1, &QAction::triggered, this, [this] { CopyFilesClick(true); });
    CopyAllFiles1 = NewAction(this, "All files ...", "CopyAllFiles1");
    connect(CopyAllFiles1, &QAction::triggered, this, [this] { CopyFilesClick(false); });
    Properties1 = NewAction(this, "Properties", "Properties1");
    connect(Properties1, &QAction::triggered, this, &TCompMDIChild::PropertiesClick);
    ClearAllTags1 = NewAction(this, "Clear all tags", "ClearAllTags1");
    connect(ClearAllTags1, &QAction::triggered, this, &TCompMDIChild::ClearAllTagsClick);

    ScopeShortcutsToWindow(this);
}

void TCompMDIChild::CreateMenus()
{
    const TFileMenu file = NewListFileMenu(this, {PrintSetup1, PrintAction, ExportListAction},
                                           EmailAction, {Close1, CloseAll1, Exit1});
    FileMenu = file.File;
    SendMenu = file.Send;
    EditMenu = NewMenu(this, "&Edit", "Edit1", {CopyAction, DeleteSelectedFiles1});

    ViewMenu = NewMenu(this, "&View", "View1",
                       {ViewStandardAction, ViewFoldersAction, ViewAllAction, nullptr});
    ViewMenu->addActions(stateImages_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(ToggleFilterAction);
    DateTypesMenu = ViewMenu->addMenu("View date types");
    DateTypesMenu->setObjectName("ViewDateTypes1");
    DateTypesMenu->addActions(dateTypes_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(FileFilterAction);
    ViewMenu->addAction(TagFilterAction);
    ViewMenu->addAction(CompareFilterAction);
    ViewMenu->addSeparator();
    ViewMenu->addAction(Refresh1);

    GoMenu = NewMenu(this, "&Go", "Go1", {UpOneLevelAction});
    TagsMenu = NewMenu(this, "&Tags", "Tags1", {TagSettingsAction});

    ChildPopupMenu = new QMenu(this);
    ChildPopupMenu->setObjectName("ChildPopupMenu");
    ChildPopupMenu->addAction(Open1);
    ChildPopupMenu->setDefaultAction(Open1);
    ChildPopupMenu->addAction(QuickView1);
    ChildPopupMenu->addAction(SelectAllFiles1);
    ChildPopupMenu->addAction(DeleteSelected1);
    CopyFilesMenu = ChildPopupMenu->addMenu("Copy files");
    CopyFilesMenu->setObjectName("CopyFiles1");
    CopyFilesMenu->addAction(CopySelectedFiles1);
    CopyFilesMenu->addAction(CopyAllFiles1);
    ChildPopupMenu->addSeparator();
    ChildPopupMenu->addAction(Properties1);
    ChildPopupMenu->addSeparator();
    fixedPopupItems_ = int(ChildPopupMenu->actions().size());

    TreePopupMenu = NewMenu(this, {}, "TreePopupMenu", {ExpandTree1, CollapseTree1});
    ViewButtonMenu =
        NewMenu(this, {}, "ViewButtonMenu", {ViewStandardAction, ViewFoldersAction, ViewAllAction});
}

void TCompMDIChild::CreateToolBar()
{
    ToolBar = NewListToolBar(this);
    ViewButton = AddViewButton(ToolBar, ViewButtonMenu);
    connect(ViewButton, &QToolButton::clicked, this, &TCompMDIChild::ViewButtonClick);
    SetViewImage(1);
    const TListToolButtons buttons = AddListToolButtons(
        ToolBar, {UpOneLevelAction, FileFilterAction, TagFilterAction, CompareFilterAction,
                  ToggleFilterAction, TagSettingsAction, DeleteFilesAction, EmailAction, CopyAction,
                  PrintAction, ShowAction, StopAction});
    FilterButton = buttons.Filter;
    ShowButton = buttons.Show;
    StopButton = buttons.Stop;
}

QWidget* TCompMDIChild::CreateTreePanel()
{
    TreeModel = new TDirTreeModel(frame_.TreeViewImageList, this);
    TreeModel->SetImages(img::Comparison, &frame_.StateImageList);
    const TTreePanel panel = NewTreePanel(this, TreeModel, TreePopupMenu);
    ChildRefLabel = panel.RefLabel;
    TreeStack = panel.Stack;
    DirTreeView = panel.Tree;
    BlankTreeView = panel.Blank;
    DirTreeView->setIconSize(QSize(34, 16)); // the arrow beside the folder
    connect(DirTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TCompMDIChild::DirTreeViewChange);
    DirTreeView->installEventFilter(this);
    return panel.Panel;
}

QWidget* TCompMDIChild::CreateListPanel()
{
    ChildInfoLabel = NewCaptionLabel(this, "ChildInfoLabel");
    ChildPathLabel = NewCaptionLabel(this, "ChildPathLabel");
    ListModel = new TCompareListModel(table_, frame_.SmallImageList, frame_.StateImageList,
                                      frame_.TagImageList, frame_.IconCache(), this);
    FileListView = new QTreeView(this);
    FileListView->setObjectName("FileListView");
    FileListView->setAccessibleName("Files and directories compared");
    SetUpListView(FileListView);
    FileListView->setModel(ListModel);
    FitListColumns(FileListView, table_, kCmpName, {kCmpWas, kCmpNow, kCmpChanged}, kCmpDate,
                   locale_);
    FileListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileListView, &QWidget::customContextMenuRequested, this,
            &TCompMDIChild::PopupMenuShow);
    FileListView->installEventFilter(this);
    connect(FileListView, &QAbstractItemView::doubleClicked, this, &TCompMDIChild::OpenRow);
    connect(FileListView->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        ClickColumn(table_.Column(section).Caption);
        SortCompareFilesListView(SortColumn);
    });
    connect(FileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TCompMDIChild::ListSelectionChanged);

    // A cover for the list while it fills; the list shows its first rows at once and fills on,
    // so the cover stays hidden.
    ChildBlankListView = NewBlankListView(this, table_);
    InProcessAnimate = new TBusyIndicator(FileListView, [this] { return View == TView::AllFiles; });
    return NewListPanel(this, {ChildInfoLabel, ChildPathLabel}, ChildPathLabel, FileListView,
                        ChildBlankListView);
}

} // namespace vm
