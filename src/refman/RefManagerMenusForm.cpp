// The reference manager's menus, pop-ups and toolbar, and the one place that sets whether each
// of their commands can be used.
#include "refman/RefManagerForm.h"

#include "app/MainForm.h"
#include "refman/RefEditing.h"
#include "refman/RefManRules.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The pictures of the toolbar, by the index the buttons use; 7, 8 and 9 are the three views.
namespace toolimg {
constexpr int Wizard = 0, New = 1, Rename = 2, Delete = 3, LogNow = 4, Open = 5, AddPath = 6,
              ViewLogs = 7, ViewCompares = 8, ViewPaths = 9, Compare = 10, Shares = 11;
}

} // namespace

QAction* TRefManager::MakeAction(const QString& caption, const char* name,
                                 void (TRefManager::*handler)())
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void TRefManager::CreateMenus()
{
    File1 = new QMenu("&File", this);
    File1->setObjectName("File1");
    CreateReference1 = MakeAction("Create &reference ...", "CreateReference1", nullptr);
    CreateReference1->setStatusTip("Create a reference with the reference wizard");
    connect(CreateReference1, &QAction::triggered, this, [this] { ShowWizard(); });
    DataDirectory1 =
        MakeAction("Data directory ...", "DataDirectory1", &TRefManager::DataDirectory1Click);
    DataDirectory1->setStatusTip("Show the references of another data directory");
    Close1 = MakeAction("&Close", "Close1", nullptr);
    CloseAll1 = MakeAction("Close &all", "CloseAll1", nullptr);
    connect(CloseAll1, &QAction::triggered, &frame_, &TMDIParent::CloseAllButRefMan);
    Exit1 = MakeAction("E&xit", "Exit1", nullptr);
    connect(Exit1, &QAction::triggered, &frame_, &QWidget::close);
    File1->addAction(CreateReference1);
    File1->addAction(DataDirectory1);
    File1->addAction(Close1);
    File1->addAction(CloseAll1);
    File1->addSeparator();
    File1->addAction(Exit1);

    Edit1 = new QMenu("&Edit", this);
    Edit1->setObjectName("Edit1");
    connect(Edit1, &QMenu::aboutToShow, this, &TRefManager::UpdateActions);
    SelectAll1 = MakeAction("&Select all", "SelectAll1", &TRefManager::SelectAllClick);
    Delete1 = MakeAction("&Delete", "Delete1", &TRefManager::Delete1Click);
    Delete1->setShortcut(QKeySequence(Qt::Key_Delete));
    Rename1 = MakeAction("&Rename", "Rename1", &TRefManager::RenameClick);
    Rename1->setShortcut(QKeySequence(Qt::Key_F2));
    for (QAction* a : {SelectAll1, Delete1, Rename1}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        Edit1->addAction(a);
        addAction(a); // the keys work wherever the focus is inside the window
    }

    View1 = new QMenu("&View", this);
    View1->setObjectName("View1");
    viewGroup_ = new QActionGroup(this);
    ViewLogsAction = MakeAction(ViewInfo(TRHSView::Logs).ActionCaption, "ViewLogsAction", nullptr);
    ViewComparesAction =
        MakeAction(ViewInfo(TRHSView::Compares).ActionCaption, "ViewComparesAction", nullptr);
    ViewPathsAction =
        MakeAction(ViewInfo(TRHSView::Paths).ActionCaption, "ViewPathsAction", nullptr);
    ViewHistoryAction =
        MakeAction(ViewInfo(TRHSView::History).ActionCaption, "ViewHistoryAction", nullptr);
    const std::pair<QAction*, TRHSView> views[] = {{ViewLogsAction, TRHSView::Logs},
                                                   {ViewComparesAction, TRHSView::Compares},
                                                   {ViewPathsAction, TRHSView::Paths},
                                                   {ViewHistoryAction, TRHSView::History}};
    for (const auto& [action, view] : views) {
        action->setCheckable(true);
        action->setProperty("category", "View");
        viewGroup_->addAction(action);
        View1->addAction(action);
        connect(action, &QAction::triggered, this, [this, v = view] { ShowView(v); });
    }
    ViewLogsAction->setChecked(true);
}

void TRefManager::CreatePopups()
{
    RefManRefPopupMenu = new QMenu(this);
    RefManRefPopupMenu->setObjectName("RefManRefPopupMenu");
    Create1 = MakeAction("&Create", "Create1", &TRefManager::NewClick);
    RefRename1 = MakeAction("&Rename", "RefRename1", &TRefManager::RenameClick);
    RefDelete1 = MakeAction("&Delete", "RefDelete1", &TRefManager::DeleteRefClick);
    LogNow1 = MakeAction("&Log now", "LogNow1", &TRefManager::LogNow1Click);
    LogAndCompareNow1 =
        MakeAction("Log and compare now", "LogAndCompareNow1", &TRefManager::LogAndCompareNowClick);
    ExploreLatestLog1 =
        MakeAction("&Explore latest log", "ExploreLatestLog1", &TRefManager::ExploreLatestLogClick);
    RefManRefPopupMenu->addActions({Create1, RefRename1, RefDelete1});
    RefManRefPopupMenu->addSeparator();
    RefManRefPopupMenu->addActions({LogNow1, LogAndCompareNow1, ExploreLatestLog1});
    RefManRefPopupMenu->setDefaultAction(ExploreLatestLog1);
    RefManRefPopupMenu->addSeparator();
    LogFormat1 = RefManRefPopupMenu->addMenu("Log &format");
    LogFormat1->setObjectName("LogFormat1");
    ExactFormat1 = LogFormat1->addAction("&Exact (up to 2 GiB, no owners)");
    ExactFormat1->setObjectName("ExactFormat1");
    ExtendedFormat1 = LogFormat1->addAction("E&xtended (owners, groups, no size limit)");
    ExtendedFormat1->setObjectName("ExtendedFormat1");
    auto* formats = new QActionGroup(LogFormat1);
    for (QAction* item : {ExactFormat1, ExtendedFormat1}) {
        item->setCheckable(true);
        formats->addAction(item);
    }
    connect(ExactFormat1, &QAction::triggered, this, [this] { LogFormatClick(TLogFormat::Exact); });
    connect(ExtendedFormat1, &QAction::triggered, this,
            [this] { LogFormatClick(TLogFormat::Extended); });
    connect(LogFormat1, &QMenu::aboutToShow, this, &TRefManager::ShowLogFormat);

    RefManPathPopupMenu = new QMenu(this);
    RefManPathPopupMenu->setObjectName("RefManPathPopupMenu");
    AddPath1 = MakeAction("&Add path ...", "AddPath1", &TRefManager::AddPath1Click);
    SpecifyPath1 = MakeAction("&Specify path ...", "SpecifyPath1", &TRefManager::SpecifyPath1Click);
    SelectAllPaths1 =
        MakeAction("&Select all paths", "SelectAllPaths1", &TRefManager::SelectAllClick);
    DeletePaths1 = MakeAction("&Delete path(s)", "DeletePaths1", &TRefManager::DeletePaths1Click);
    RefManPathPopupMenu->addActions({AddPath1, SpecifyPath1, SelectAllPaths1, DeletePaths1});
    RefManPathPopupMenu->addSeparator();
    ChangeAllocationUnit1 = RefManPathPopupMenu->addMenu("&Change allocation unit");
    ChangeAllocationUnit1->setObjectName("ChangeAllocationUnit1");
    for (int32_t unit : AllocationUnitChoices()) {
        QAction* item = ChangeAllocationUnit1->addAction(QString::number(unit));
        item->setObjectName(QString("AllocUnit%1").arg(unit));
        connect(item, &QAction::triggered, this, [this, unit] { AllocationUnitClick(unit); });
    }
    QAction* other = ChangeAllocationUnit1->addAction("Other ...");
    other->setObjectName("OtherAllocUnit1");
    connect(other, &QAction::triggered, this, [this] { AllocationUnitClick(0); });
    ChangeFileSystem1 = RefManPathPopupMenu->addMenu("Change &file system");
    ChangeFileSystem1->setObjectName("ChangeFileSystem1");
    int tag = 0;
    for (const std::string& system : FileSystemChoices()) {
        QAction* item = ChangeFileSystem1->addAction(Q(system));
        item->setData(++tag);
        item->setObjectName(Q("FileSystem" + system));
        connect(item, &QAction::triggered, this, [this, tag] { FileSystemClick(tag); });
    }

    RefManLogsPopupMenu = new QMenu(this);
    RefManLogsPopupMenu->setObjectName("RefManLogsPopupMenu");
    ExploreLog1 = MakeAction("&Explore log", "ExploreLog1", &TRefManager::OpenClick);
    CompareLogs1 = MakeAction("&Compare logs", "CompareLogs1", &TRefManager::CompareClick);
    SelectAllLogs1 =
        MakeAction("&Select all log(s)", "SelectAllLogs1", &TRefManager::SelectAllClick);
    DeleteLogs1 = MakeAction("&Delete log(s)", "DeleteLogs1", &TRefManager::DeleteLogs1Click);
    RefManLogsPopupMenu->addActions({ExploreLog1, CompareLogs1, SelectAllLogs1, DeleteLogs1});
    RefManLogsPopupMenu->setDefaultAction(ExploreLog1);

    RefManCompsPopupMenu = new QMenu(this);
    RefManCompsPopupMenu->setObjectName("RefManCompsPopupMenu");
    ViewCompare1 = MakeAction("View compare", "ViewCompare1", &TRefManager::OpenClick);
    SelectAllCompares1 =
        MakeAction("Select all compares", "SelectAllCompares1", &TRefManager::SelectAllClick);
    DeleteCompare1 =
        MakeAction("Delete compare", "DeleteCompare1", &TRefManager::DeleteCompare1Click);
    RefManCompsPopupMenu->addActions({ViewCompare1, SelectAllCompares1, DeleteCompare1});
    RefManCompsPopupMenu->setDefaultAction(ViewCompare1);

    ShowPopupMenu = new QMenu(this);
    ShowPopupMenu->setObjectName("ShowPopupMenu");
    ShowPopupMenu->addActions(
        {ViewLogsAction, ViewComparesAction, ViewPathsAction, ViewHistoryAction});
}

void TRefManager::CreateToolBar()
{
    ToolBar = new QToolBar("Reference tool bar", this);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar->setIconSize(QSize(20, 20));
    QStyle* style = this->style();
    const TImageList& small = frame_.SmallImageList;
    auto themed = [](const char* name, const QIcon& fallback) {
        return QIcon::fromTheme(name, fallback);
    };
    ToolBarSmallImageList = {
        themed("tools-wizard", style->standardIcon(QStyle::SP_FileDialogNewFolder)),
        themed("document-new", style->standardIcon(QStyle::SP_FileIcon)),
        themed("edit-rename", style->standardIcon(QStyle::SP_FileDialogDetailedView)),
        themed("edit-delete", style->standardIcon(QStyle::SP_TrashIcon)),
        small.Icon(img::Log),
        themed("document-open", style->standardIcon(QStyle::SP_DialogOpenButton)),
        small.Icon(img::Path),
        small.Icon(img::Log),
        small.Icon(img::Comparison),
        small.Icon(img::Path),
        small.Icon(img::Comparison),
        themed("network-server", style->standardIcon(QStyle::SP_DriveNetIcon)),
        themed("office-chart-line", style->standardIcon(QStyle::SP_FileDialogInfoView)),
    };
    auto button = [&](const QString& caption, const char* name, int image, const QString& hint,
                      void (TRefManager::*handler)()) {
        auto* b = new QToolButton(ToolBar);
        b->setObjectName(name);
        b->setText(caption);
        b->setAccessibleName(caption);
        b->setToolTip(hint.isEmpty() ? caption : hint);
        b->setIcon(ToolBarSmallImageList[size_t(image)]);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumSize(52, 36);
        b->setAutoRaise(true);
        if (handler) // a null member pointer would be called, and crash, on the first click
            connect(b, &QToolButton::clicked, this, handler);
        ToolBar->addWidget(b);
        return b;
    };
    WizardButton =
        button("Wizard", "WizardButton", toolimg::Wizard, "Launch the reference wizard", nullptr);
    connect(WizardButton, &QToolButton::clicked, this, [this] { ShowWizard(); });
    NewButton =
        button("New", "NewButton", toolimg::New, "Create a new reference", &TRefManager::NewClick);
    RenameButton = button("Rename", "RenameButton", toolimg::Rename, "", &TRefManager::RenameClick);
    DeleteButton =
        button("Delete", "DeleteButton", toolimg::Delete, "", &TRefManager::DeleteRefClick);
    LogNowButton =
        button("Log now", "LogNowButton", toolimg::LogNow, "", &TRefManager::LogNowButtonClick);
    ToolBar->addSeparator();
    OpenButton = button("Open", "OpenButton", toolimg::Open, "", &TRefManager::OpenClick);
    ToolBar->addSeparator();
    ViewButton = button("View", "ViewButton", toolimg::ViewLogs, "", &TRefManager::ViewButtonClick);
    ViewButton->setMenu(ShowPopupMenu);
    ViewButton->setPopupMode(QToolButton::MenuButtonPopup);
    ToolBar->addSeparator();
    AddPathButton =
        button("Add path", "AddPathButton", toolimg::AddPath, "", &TRefManager::AddPathButtonClick);
    CompareButton =
        button("Compare", "CompareButton", toolimg::Compare, "", &TRefManager::CompareClick);
    ToolBar->addSeparator();
    SharesButton =
        button("Shares ...", "SharesButton", toolimg::Shares, "", &TRefManager::SharesButtonClick);
    // The button Qt adds when the window is too narrow for every button.
    if (auto* more = ToolBar->findChild<QToolButton*>("qt_toolbar_ext_button"))
        more->setAccessibleName("More buttons");
}

QList<TGroupedMenu> TRefManager::MergedMenus() const
{
    return {{File1, menugroup::File}, {Edit1, menugroup::Edit}, {View1, menugroup::View}};
}

void TRefManager::UpdateActions()
{
    TRefManState state;
    const QTreeWidgetItem* ref = SelectedRef();
    state.RefSelected = ref != nullptr;
    state.RefNamed = ref && !ref->text(0).isEmpty();
    state.View = view_;
    state.RHSCount = RHSListView->topLevelItemCount();
    const QList<QTreeWidgetItem*> selected = SelectedRHS();
    state.RHSSelected = int(selected.size());
    if (!selected.isEmpty())
        state.FirstSelectedCaption = selected.first()->text(0).toStdString();
    state.RHSFocused = RHSListView->hasFocus();
    state.Running = running_;
    state.FolderMode = frame_.InFolderMode();
    const TRefManEnables e = RefManEnables(state);

    Edit1->menuAction()->setEnabled(e.EditMenu);
    View1->menuAction()->setEnabled(e.ViewMenu);
    ViewButton->setEnabled(e.ViewButton);
    AddPathButton->setEnabled(e.AddPathButton);
    RenameButton->setEnabled(e.RenameButton);
    DeleteButton->setEnabled(e.DeleteButton);
    LogNowButton->setEnabled(e.LogNowButton);
    OpenButton->setEnabled(e.OpenButton);
    OpenButton->setToolTip(e.OpenButton ? Q(e.OpenHint) : QString("Open"));
    CompareButton->setEnabled(e.CompareButton);
    CreateReference1->setEnabled(e.CreateReference);
    DataDirectory1->setEnabled(e.CreateReference);
    NewButton->setEnabled(e.NewButton);
    WizardButton->setEnabled(e.WizardButton);
    SharesButton->setEnabled(e.SharesButton);
    // The window's own "&Close" and "Close &all": the reference manager stays open.
    Close1->setEnabled(false);
    CloseAll1->setEnabled(false);
    SelectAll1->setEnabled(e.EditSelectAll);
    Delete1->setEnabled(e.EditDelete);
    Rename1->setEnabled(e.EditRename);
    Create1->setEnabled(!running_);
    RefRename1->setEnabled(e.RefRename);
    RefDelete1->setEnabled(e.RefDelete);
    LogNow1->setEnabled(e.RefLogNow);
    LogAndCompareNow1->setEnabled(e.RefOthers);
    ExploreLatestLog1->setEnabled(e.RefOthers);
    LogFormat1->menuAction()->setEnabled(e.RefLogFormat);
    AddPath1->setEnabled(e.PathAdd);
    SpecifyPath1->setEnabled(e.PathSpecify);
    SelectAllPaths1->setEnabled(e.PathSelectAll);
    DeletePaths1->setEnabled(e.PathDelete);
    ChangeAllocationUnit1->menuAction()->setEnabled(e.PathChangeUnit);
    ChangeFileSystem1->menuAction()->setEnabled(e.PathChangeSystem);
    ExploreLog1->setEnabled(e.LogExplore);
    CompareLogs1->setEnabled(e.LogCompare);
    SelectAllLogs1->setEnabled(e.LogSelectAll);
    DeleteLogs1->setEnabled(e.LogDelete);
    ViewCompare1->setEnabled(e.CompView);
    SelectAllCompares1->setEnabled(e.CompSelectAll);
    DeleteCompare1->setEnabled(e.CompDelete);
}

void TRefManager::SetRunning(bool running)
{
    running_ = running;
    setEnabled(!running);
    for (QAction* menu : frame_.menuBar()->actions())
        menu->setEnabled(!running);
    if (!running) {
        // Every item gets back its own state, not merely "enabled".
        frame_.UpdateActions();
        Edit1->menuAction()->setEnabled(true);
        View1->menuAction()->setEnabled(true);
    }
    UpdateActions();
}

} // namespace vm
