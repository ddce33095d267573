// The compare window's controls, actions and menus. Building the tree and filling the list are in
// QtCompareWork.cpp, the other handlers in QtCompareCommands.cpp.
#include "compare/CompChildForm.h"

#include "app/MainForm.h"
#include "app/QtListWindowPanels.h"
#include "app/QtListWindowParts.h"
#include "compare/QtCompareListModel.h"
#include "explore/QtChildStatusBar.h"
#include "explore/QtDirTreeModel.h"
#include "explore/QtExploreImages.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vm {

TCompMDIChild::TCompMDIChild(TMDIParent& frame)
    : frame_(frame), locale_(TLocale::FromEnvironment()), tree_(std::make_unique<TDirTree>()),
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

    animationTimer_ = new QTimer(this);
    animationTimer_->setSingleShot(true);
    animationTimer_->setInterval(1500);

    CreateActions();
    CreateMenus();
    CreateToolBar();

    QWidget* left = CreateTreePanel();
    QWidget* right = CreateListPanel();
    ChildStatusBar = new TChildStatusBar(this);
    LayOutListWindow(this, ToolBar, left, right, ChildStatusBar);

    connect(animationTimer_, &QTimer::timeout, this,
            [this] { InProcessAnimate->Start(View == TView::AllFiles); });
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
    ViewStandardAction =
        NewAction(this, "&Standard view", "ViewStandardAction", "Show standard view");
    ViewFoldersAction =
        NewAction(this, "All &folders view", "ViewFoldersAction", "Show all folders view");
    ViewAllAction = NewAction(this, "&All files view", "ViewAllAction", "Show all files view");
    views_ = new QActionGroup(this);
    for (QAction* a : {ViewStandardAction, ViewFoldersAction, ViewAllAction}) {
        a->setCheckable(true);
        views_->addAction(a);
    }
    ViewStandardAction->setChecked(true);
    connect(ViewStandardAction, &QAction::triggered, this, [this] { ChooseView(TView::Standard); });
    connect(ViewFoldersAction, &QAction::triggered, this, [this] { ChooseView(TView::Folders); });
    connect(ViewAllAction, &QAction::triggered, this, [this] { ChooseView(TView::AllFiles); });

    UpOneLevelAction =
        NewAction(this, "Up folder", "UpOneLevelAction", "Go up one directory level");
    UpOneLevelAction->setIconText("Up ");
    UpOneLevelAction->setIcon(ToolbarImage(toolimg::Up));
    UpOneLevelAction->setShortcut(QKeySequence(Qt::Key_F12));
    connect(UpOneLevelAction, &QAction::triggered, this, &TCompMDIChild::UpOneLevel);

    FileFilterAction = NewAction(this, "&File filter settings ...", "FileFilterAction",
                                 "Alter file filter specifications");
    FileFilterAction->setIconText("File filter");
    FileFilterAction->setIcon(ToolbarImage(toolimg::FileFilter));
    connect(FileFilterAction, &QAction::triggered, this, [this] {
        ShowFilterDialog(FileFilterForm ? FileFilterForm->PropertiesPage : nullptr);
    });
    TagFilterAction = NewAction(this, "&Tag filter settings", "TagFilterAction",
                                "Alter tag filter specifications");
    TagFilterAction->setIconText("Tag filter");
    TagFilterAction->setIcon(ToolbarImage(toolimg::TagFilter));
    connect(TagFilterAction, &QAction::triggered, this,
            [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->TagsPage : nullptr); });
    CompareFilterAction = NewAction(this, "Compare filter", "CompareFilterAction",
                                    "Alter compare filter specifications");
    CompareFilterAction->setIconText("Compare");
    CompareFilterAction->setIcon(ToolbarImage(toolimg::CompareFilter));
    connect(CompareFilterAction, &QAction::triggered, this,
            [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->ComparePage : nullptr); });
    ToggleFilterAction =
        NewAction(this, "&Turn file filter on", "ToggleFilterAction", "Turn file filter on or off");
    ToggleFilterAction->setIconText("Filter");
    ToggleFilterAction->setIcon(ToolbarImage(toolimg::FilterOff));
    ToggleFilterAction->setCheckable(true);
    ToggleFilterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(ToggleFilterAction, &QAction::triggered, this, &TCompMDIChild::ToggleFilter);

    TagSettingsAction =
        NewAction(this, "Tag settings", "TagSettingsAction", "Specify names for tags");
    TagSettingsAction->setIconText("Tags");
    TagSettingsAction->setIcon(ToolbarImage(toolimg::Tags));
    connect(TagSettingsAction, &QAction::triggered, this, &TCompMDIChild::TagSettingsClick);

    EmailAction = NewAction(this, "Email ...", "EmailAction", "Email contents");
    EmailAction->setIconText("Email");
    EmailAction->setIcon(ToolbarImage(toolimg::Email));
    connect(EmailAction, &QAction::triggered, this, &TCompMDIChild::EmailClick);
    CopyAction = NewAction(this, "Copy to clipboard ...", "CopyAction", "Copy to clipboard");
    CopyAction->setIconText("Copy");
    CopyAction->setIcon(ToolbarImage(toolimg::Copy));
    connect(CopyAction, &QAction::triggered, this, &TCompMDIChild::CopyClick);
    PrintAction = NewAction(this, "&Print ...", "PrintAction", "Print");
    PrintAction->setIconText("Print");
    PrintAction->setIcon(ToolbarImage(toolimg::Print));
    PrintAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(PrintAction, &QAction::triggered, this, &TCompMDIChild::PrintClick);
    ExportListAction = NewAction(this, kExportListText, "ExportListAction",
                                 "Save the list as it stands as a CSV file");
    connect(ExportListAction, &QAction::triggered, this, &TCompMDIChild::ExportListClick);
    PrintSetup1 = NewAction(this, "Print &setup ...", "PrintSetup1");
    connect(PrintSetup1, &QAction::triggered, this, &TCompMDIChild::PrintSetupClick);

    // Deleting and copying: QtCompareFileActions.cpp.
    DeleteFilesAction = NewAction(this, "Delete files", "DeleteFilesAction",
                                  "Delete files marked with rubbish bin");
    DeleteFilesAction->setIconText("Delete");
    DeleteFilesAction->setIcon(ToolbarImage(toolimg::Delete));
    connect(DeleteFilesAction, &QAction::triggered, this, &TCompMDIChild::DeleteFilesClick);
    DeleteSelectedFiles1 = NewAction(this, "&Delete selected files", "DeleteSelectedFiles1");
    DeleteSelectedFiles1->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(DeleteSelectedFiles1, &QAction::triggered, this, &TCompMDIChild::DeleteSelectedClick);

    ShowArrows1 = NewAction(this, "Show &arrows", "ShowArrows1");
    ShowTags1 = NewAction(this, "Show &tags", "ShowTags1");
    stateImages_ = new QActionGroup(this);
    for (QAction* a : {ShowArrows1, ShowTags1}) {
        a->setCheckable(true);
        stateImages_->addAction(a);
    }
    ShowArrows1->setChecked(true);
    connect(ShowArrows1, &QAction::triggered, this, [this] { ShowStateImages(false); });
    connect(ShowTags1, &QAction::triggered, this, [this] { ShowStateImages(true); });
    ShowAction = NewAction(this, "Show", "ShowAction", "Show tags or arrows");
    ShowAction->setIcon(ToolbarImage(toolimg::ShowArrows));
    connect(ShowAction, &QAction::triggered, this, &TCompMDIChild::ShowButtonClick);

    StopAction = NewAction(this, "Stop !", "StopAction");
    StopAction->setIcon(ToolbarImage(toolimg::Stop));
    connect(StopAction, &QAction::triggered, this, &TCompMDIChild::StopClick);

    Close1 = NewAction(this, "&Close", "Close1");
    Close1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    connect(Close1, &QAction::triggered, this, &TCompMDIChild::CloseWindow);
    CloseAll1 = NewAction(this, "Close &all", "CloseAll1");
    connect(CloseAll1, &QAction::triggered, &frame_, &TMDIParent::CloseAllButRefMan);
    Exit1 = NewAction(this, "E&xit", "Exit1");
    connect(Exit1, &QAction::triggered, &frame_, &QWidget::close);
    Refresh1 = NewAction(this, "&Refresh", "Refresh1");
    Refresh1->setShortcut(QKeySequence(Qt::Key_F5));
    connect(Refresh1, &QAction::triggered, this, &TCompMDIChild::Refresh);

    DateCreated1 = NewAction(this, "Date &created", "DateCreated1");
    DateModified1 = NewAction(this, "Date &modified", "DateModified1");
    DateAccessed1 = NewAction(this, "Date last &accessed", "DateAccessed1");
    dateTypes_ = new QActionGroup(this);
    for (QAction* a : {DateCreated1, DateModified1, DateAccessed1}) {
        a->setCheckable(true);
        dateTypes_->addAction(a);
    }
    DateCreated1->setChecked(true);
    connect(DateCreated1, &QAction::triggered, this,
            [this] { ChooseDateType(TDateType::Created); });
    connect(DateModified1, &QAction::triggered, this,
            [this] { ChooseDateType(TDateType::Modified); });
    connect(DateAccessed1, &QAction::triggered, this,
            [this] { ChooseDateType(TDateType::Accessed); });

    ExpandTree1 = NewAction(this, "&Expand tree", "ExpandTree1");
    connect(ExpandTree1, &QAction::triggered, this,
            [this] { ExpandTreeBranch(DirTreeView, true); });
    CollapseTree1 = NewAction(this, "&Collapse tree", "CollapseTree1");
    connect(CollapseTree1, &QAction::triggered, this,
            [this] { ExpandTreeBranch(DirTreeView, false); });

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

    // Shortcuts act in this window only: several compare windows may be open.
    for (QAction* a : findChildren<QAction*>()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
}

void TCompMDIChild::CreateMenus()
{
    FileMenu = new QMenu("&File", this);
    FileMenu->setObjectName("File1");
    FileMenu->addAction(PrintSetup1);
    FileMenu->addAction(PrintAction);
    FileMenu->addAction(ExportListAction);
    SendMenu = FileMenu->addMenu("&Send");
    SendMenu->setObjectName("Send1");
    SendMenu->addAction(EmailAction);
    FileMenu->addSeparator();
    FileMenu->addAction(Close1);
    FileMenu->addAction(CloseAll1);
    FileMenu->addSeparator();
    FileMenu->addAction(Exit1);

    EditMenu = new QMenu("&Edit", this);
    EditMenu->setObjectName("Edit1");
    EditMenu->addAction(CopyAction);
    EditMenu->addAction(DeleteSelectedFiles1);

    ViewMenu = new QMenu("&View", this);
    ViewMenu->setObjectName("View1");
    ViewMenu->addActions(views_->actions());
    ViewMenu->addSeparator();
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

    GoMenu = new QMenu("&Go", this);
    GoMenu->setObjectName("Go1");
    GoMenu->addAction(UpOneLevelAction);
    TagsMenu = new QMenu("&Tags", this);
    TagsMenu->setObjectName("Tags1");
    TagsMenu->addAction(TagSettingsAction);

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

    TreePopupMenu = new QMenu(this);
    TreePopupMenu->setObjectName("TreePopupMenu");
    TreePopupMenu->addAction(ExpandTree1);
    TreePopupMenu->addAction(CollapseTree1);
    ViewButtonMenu = new QMenu(this);
    ViewButtonMenu->setObjectName("ViewButtonMenu");
    ViewButtonMenu->addActions(views_->actions());
}

void TCompMDIChild::CreateToolBar()
{
    ToolBar = NewListToolBar(this);
    ViewButton = AddViewButton(ToolBar, ViewButtonMenu);
    connect(ViewButton, &QToolButton::clicked, this, &TCompMDIChild::ViewButtonClick);
    SetViewImage(1);
    ToolBar->addSeparator();
    AddToolButton(ToolBar, UpOneLevelAction, "UpButton");
    ToolBar->addSeparator();
    AddToolButton(ToolBar, FileFilterAction, "FileFilterButton");
    AddToolButton(ToolBar, TagFilterAction, "TagFilterButton");
    AddToolButton(ToolBar, CompareFilterAction, "CompareButton");
    FilterButton = AddToolButton(ToolBar, ToggleFilterAction, "FilterButton");
    ToolBar->addSeparator();
    AddToolButton(ToolBar, TagSettingsAction, "TagsButton");
    ToolBar->addSeparator();
    AddToolButton(ToolBar, DeleteFilesAction, "DeleteButton");
    ToolBar->addSeparator();
    AddToolButton(ToolBar, EmailAction, "EmailButton");
    AddToolButton(ToolBar, CopyAction, "CopyButton");
    AddToolButton(ToolBar, PrintAction, "PrintButton");
    ToolBar->addSeparator();
    ShowButton = AddToolButton(ToolBar, ShowAction, "ShowButton");
    ToolBar->addSeparator();
    StopButton = AddToolButton(ToolBar, StopAction, "StopButton");
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
        SortColumn = table_.Column(section).Caption;
        ColumnClicked = true;
        SortCompareFilesListView(SortColumn);
    });
    connect(FileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TCompMDIChild::ListSelectionChanged);

    // A cover for the list while it fills; the list shows its first rows at once and fills on,
    // so the cover stays hidden.
    ChildBlankListView = NewBlankListView(this, table_);
    InProcessAnimate = new TBusyIndicator(FileListView);
    return NewListPanel(this, {ChildInfoLabel, ChildPathLabel}, ChildPathLabel, FileListView,
                        ChildBlankListView);
}

} // namespace vm
