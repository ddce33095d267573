// The explore window's controls, actions and menus. Its handlers are in QtExploreCommands.cpp,
// building the tree and filling the list in QtExploreWork.cpp.
#include "explore/ExploreForm.h"

#include "app/MainForm.h"
#include "explore/QtFileListModel.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "output/QtListExport.h"
#include "platform/HelpTopics.h"
#include "platform/Stream.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

namespace vm {

TExploreChild::TExploreChild(TMDIParent& frame)
    : TListWindowWork(true), frame_(frame), locale_(TLocale::FromEnvironment()),
      tree_(std::make_unique<TDirTree>()),
      table_(store_, *tree_, locale_, [&frame](const std::string& extension) {
          return frame.FileTypes().FileTypeText(extension);
      })
{
    setObjectName("ExploreChild");
    setWindowTitle("Explore logs");
    setWindowIcon(frame_.TreeViewImageList.Icon(img::Log));
    setAttribute(Qt::WA_DeleteOnClose, false); // the frame's sub-window owns and deletes it

    CreateActions();
    CreateMenus();
    CreateFileActions();
    CreateToolBar();

    QWidget* left = CreateTreePanel();
    QWidget* right = CreateListPanel();
    ChildStatusBar = new TChildStatusBar(this);
    LayOutListWindow(this, ToolBar, left, right, ChildStatusBar);

    ChooseDateType(TDateType::Modified);
    StopAction->setEnabled(false);
}

TExploreChild::~TExploreChild() = default;

void TExploreChild::CreateActions()
{
    const TChoiceActions views = NewViewActions(this, [this](TView view) { ChooseView(view); });
    ViewStandardAction = views.Items[0];
    ViewFoldersAction = views.Items[1];
    ViewAllAction = views.Items[2];
    views_ = views.Group;

    UpOneLevelAction =
        NewToolAction(this, "Up folder", "UpOneLevelAction", "Go up one directory level", "Up",
                      toolimg::Up, [this] { UpOneLevel(); });
    UpOneLevelAction->setShortcut(QKeySequence(Qt::Key_F12));

    FileFilterAction = NewToolAction(this, "File filter ...", "FileFilterAction",
                                     "Alter file filter specifications", "File filter",
                                     toolimg::FileFilter, [this] { ShowFilterDialog(false); });
    TagFilterAction =
        NewToolAction(this, "Tag filter ...", "TagFilterAction", "Alter tag filter specifications",
                      "Tag filter", toolimg::TagFilter, [this] { ShowFilterDialog(true); });
    // The menu's hint is the action's status tip; the toolbar button's is its tool tip.
    ToggleFilterAction = NewToolAction(this, "Toggle filter", "ToggleFilterAction", {}, "Filter",
                                       toolimg::FilterOff, [this] { ToggleFilter(); });
    ToggleFilterAction->setStatusTip("Turn file filter on or off");
    ToggleFilterAction->setToolTip("Turn file filter on or off");
    ToggleFilterAction->setCheckable(true);
    ToggleFilterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    TagSettingsAction =
        NewToolAction(this, "Tag settings ...", "TagSettingsAction", "Specify names for tags",
                      "Tags", toolimg::Tags, [this] { TagSettingsClick(); });

    PrintAction = NewPrintAction(this, [this] { PrintClick(); });
    ExportListAction = NewExportListAction(this, [this] { ExportListClick(); });
    CopyAction = NewClipboardAction(this, [this] { CopyClick(); });
    EmailAction = NewToolAction(this, "Email", "EmailAction", "Email contents", {}, toolimg::Email,
                                [this] { EmailClick(); });

    // Deleting and copying listed files: QtExploreFileActions.cpp.
    DeleteFilesAction =
        NewToolAction(this, "Delete tagged files", "DeleteFilesAction",
                      "Delete files marked with rubbish bin", "Delete", toolimg::Delete);
    CopyAllFilesAction = NewAction(this, "all files ...", "CopyAllFilesAction");
    CopyAllFilesAction->setIconText("Copy files");
    CopySelectedFilesAction = NewAction(this, "selected files ...", "CopySelectedFilesAction");

    StopAction = NewStopAction(this, [this] { StopClick(); });
    const TWindowActions window = NewWindowActions(this, frame_, [this] { CloseWindow(); });
    Close1 = window.Close;
    CloseAll1 = window.CloseAll;
    Exit1 = window.Exit;
    SelectAllFiles1 = NewAction(this, "Select &all files", "SelectAllFiles1");
    SelectAllFiles1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    SelectAllFiles1->setEnabled(false);
    DeleteSelectedFiles1 = NewAction(this, "D&elete selected files", "DeleteSelectedFiles1");
    DeleteSelectedFiles1->setShortcut(QKeySequence(Qt::Key_Delete));
    DeleteSelectedFiles1->setEnabled(false);
    Refresh1 = NewRefreshAction(this, [this] { Refresh(); });

    const TChoiceActions dates =
        NewDateTypeActions(this, [this](TDateType type) { ChooseDateType(type); });
    DateCreated1 = dates.Items[0];
    DateModified1 = dates.Items[1];
    DateAccessed1 = dates.Items[2];
    dateTypes_ = dates.Group;

    const TBranchActions branch =
        NewBranchActions(this, [this](bool expand) { ExpandTreeBranch(DirTreeView, expand); });
    ExpandTree1 = branch.Expand;
    CollapseTree1 = branch.Collapse;

    ScopeShortcutsToWindow(this);
}

void TExploreChild::CreateMenus()
{
    const TFileMenu file = NewListFileMenu(this, {PrintAction, ExportListAction}, EmailAction,
                                           {Close1, CloseAll1, Exit1});
    FileMenu = file.File;
    SendMenu = file.Send;

    EditMenu =
        NewMenu(this, "&Edit", "Edit1",
                {CopyAction, DeleteFilesAction, nullptr, SelectAllFiles1, DeleteSelectedFiles1});

    ViewMenu = NewMenu(this, "&View", "View1",
                       {ViewStandardAction, ViewFoldersAction, ViewAllAction, nullptr,
                        ToggleFilterAction, FileFilterAction, TagFilterAction});
    ViewMenu->addSeparator();
    DateTypesMenu = ViewMenu->addMenu("View &date types");
    DateTypesMenu->setObjectName("ViewDateTypes1");
    DateTypesMenu->addActions(dateTypes_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(Refresh1);

    GoMenu = NewMenu(this, "&Go", "Go1", {UpOneLevelAction});
    TagsMenu = NewMenu(this, "&Tags", "Tags1", {TagSettingsAction});

    TreePopupMenu = NewMenu(this, {}, "TreePopupMenu", {ExpandTree1, CollapseTree1});
    ViewButtonMenu =
        NewMenu(this, {}, "ViewButtonMenu", {ViewStandardAction, ViewFoldersAction, ViewAllAction});
}

void TExploreChild::CreateToolBar()
{
    ToolBar = NewListToolBar(this);
    ViewButton = AddViewButton(ToolBar, ViewButtonMenu);
    connect(ViewButton, &QToolButton::clicked, this, &TExploreChild::ViewButtonClick);
    SetViewImage(1);
    const TListToolButtons buttons =
        AddListToolButtons(ToolBar, {UpOneLevelAction, FileFilterAction, TagFilterAction, nullptr,
                                     ToggleFilterAction, TagSettingsAction, DeleteFilesAction,
                                     EmailAction, CopyAction, PrintAction, nullptr, StopAction});
    FilterButton = buttons.Filter;
    StopButton = buttons.Stop;
}

QWidget* TExploreChild::CreateTreePanel()
{
    TreeModel = new TDirTreeModel(frame_.TreeViewImageList, this);
    const TTreePanel panel = NewTreePanel(this, TreeModel, TreePopupMenu);
    ChildRefLabel = panel.RefLabel;
    TreeStack = panel.Stack;
    DirTreeView = panel.Tree;
    BlankTreeView = panel.Blank;
    connect(DirTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TExploreChild::DirTreeViewChange);
    DirTreeView->installEventFilter(this);
    return panel.Panel;
}

QWidget* TExploreChild::CreateListPanel()
{
    ChildInfoLabel = NewCaptionLabel(this, "ChildInfoLabel");
    ChildPathLabel = NewCaptionLabel(this, "ChildPathLabel");
    AccumulatorLabel = NewCaptionLabel(this, "AccumulatorLabel");
    AccumulatorLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ListModel = new TFileListModel(table_, frame_.SmallImageList, frame_.TagImageList,
                                   frame_.IconCache(), this);
    FileListView = new QTreeView(this);
    FileListView->setObjectName("FileListView");
    FileListView->setAccessibleName("Files and directories");
    FileListView->setToolTip("Sortable Viewer for Files and Directories contained by Directory in "
                             "the Reference Tree Viewer.");
    SetUpListView(FileListView);
    FileListView->setModel(ListModel);
    FitListColumns(FileListView, table_, kColName, {kColSize, kColSpace}, kColDate, locale_);
    FileListView->installEventFilter(this);
    FileListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileListView, &QWidget::customContextMenuRequested, this,
            &TExploreChild::ChildPopupMenuPopup);
    connect(FileListView, &QAbstractItemView::doubleClicked, this, &TExploreChild::OpenRow);
    connect(FileListView->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        ClickColumn(table_.Column(section).Caption);
        SortFileListView(SortColumn);
    });
    connect(FileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TExploreChild::ListSelectionChanged);

    // A cover for the list while it fills; the list shows its first rows at once
    // and fills on, so the cover stays hidden.
    ChildBlankListView = NewBlankListView(this, table_);
    InProcessAnimate = new TBusyIndicator(FileListView, [this] { return View == TView::AllFiles; });
    return NewListPanel(this, {ChildInfoLabel, ChildPathLabel, AccumulatorLabel}, ChildPathLabel,
                        FileListView, ChildBlankListView);
}

} // namespace vm
