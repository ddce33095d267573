#include "app/MainForm.h"

#include "app/AboutForm.h"
#include "app/HelpForm.h"
#include "app/QtResources.h"
#include "app/ToolsOptionsForm.h"
#include "compare/CompChildForm.h"
#include "display/QtImageLists.h"
#include "explore/ExploreForm.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeleteDirectoryForm.h"
#include "fileops/DeleteFileForm.h"
#include "fileops/QtFileOperations.h"
#include "fileops/TagSettingsForm.h"
#include "network/VolumeInfoForm.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "platform/HelpTopics.h"
#include "platform/Scheduler.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"
#include "schedule/ScheduleForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace vm {

namespace {

const char* const kGroupProperty = "vmGroupIndex";

QAction* Item(QMenu* menu, const QString& caption, const char* name, int group)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setProperty(kGroupProperty, group);
    return action;
}

QMenu* Menu(QWidget* owner, const QString& caption, const char* name, int group)
{
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(name);
    menu->menuAction()->setProperty(kGroupProperty, group);
    return menu;
}

} // namespace

bool SchedulerSupported()
{
    if (const char* file = std::getenv("VOLUMARK_CRONTAB"); file && *file)
        return true;
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/crontab";
        if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate))
            return true;
    }
    return false;
}

TMDIParent::TMDIParent(TAppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), iconCache_(SmallImageList, fileTypes_)
{
    setObjectName("MDIParent");
    setWindowTitle("Volumark");
    setWindowIcon(ApplicationIcon());
    setAttribute(Qt::WA_AlwaysShowToolTips);
    InitResources();

    TImageLists images = MakeImageLists();
    TreeViewImageList = images.TreeViewImageList;
    SmallImageList = images.SmallImageList;
    StateImageList = images.StateImageList;
    TagImageList = images.TagImageList;

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMDIParent::UpdateMenus);
    statusBar(); // the hints of menu items show there

    schedulerSupported_ = SchedulerSupported();
    CreateActions();
    CreateMenus();
    options_ = new TToolsOptionsForm(context_, this);
    connect(options_, &TToolsOptionsForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    about_ = new TAboutForm(this);
    printForm_ = new TPrintForm(context_, this);
    connect(printForm_, &TPrintForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    emailForm_ = new TEmailForm(context_, TagImageList, this);
    connect(emailForm_, &TEmailForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    if (context_.Arguments.empty())
        VolumeInfo(); // hidden until its menu item shows it
    if (schedulerSupported_) {
        scheduler_ = std::make_unique<TCronScheduler>();
        schedule_ = new TScheduleForm(context_, *scheduler_, this);
        connect(schedule_, &TScheduleForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    }
    tagSettings_ = new TTagSettingsForm(TagImageList, this);
    connect(tagSettings_, &TTagSettingsForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    UpdateMenus();
}

TMDIParent::~TMDIParent()
{
    // QWidget's destructor closes the children, which would call back into this half-destroyed
    // window: cut the connections first.
    MdiArea->disconnect(this);
    MdiArea->viewport()->removeEventFilter(this);
    for (QMdiSubWindow* window : MdiArea->subWindowList())
        window->disconnect(this);
    // The scheduler dialog uses the scheduler, which goes with the members, before QWidget's
    // destructor would delete the dialog.
    delete schedule_;
}

void TMDIParent::CreateActions()
{
    FileMenu = Menu(this, "&File", "File1", menugroup::File);
    Close1 = Item(FileMenu, "&Close", "Close1", 97);
    Close1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    Close1->setStatusTip("Close the active window");
    connect(Close1, &QAction::triggered, this, &TMDIParent::Close1Click);
    CloseAll1 = Item(FileMenu, "&Close all", "CloseAll1", 98);
    CloseAll1->setStatusTip("Close every window but the reference manager");
    connect(CloseAll1, &QAction::triggered, this, &TMDIParent::CloseAllButRefMan);
    FileMenu->addSeparator();
    Exit1 = Item(FileMenu, "Exit", "Exit1", 100);
    Exit1->setStatusTip("End Volumark");
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    ToolsMenu = Menu(this, "&Tools", "Tools1", menugroup::Tools);
    Options1 = Item(ToolsMenu, "&Options ...", "Options1", 10);
    Options1->setStatusTip("Display, e-mail, command-line and log settings");
    connect(Options1, &QAction::triggered, this, &TMDIParent::Options1Click);
    NetworkShareList1 = Item(ToolsMenu, "&Network share list ...", "NetworkShareList1", 20);
    NetworkShareList1->setStatusTip("Servers and shares with their file systems and cluster sizes");
    connect(NetworkShareList1, &QAction::triggered, this, &TMDIParent::NetworkShareList1Click);
    NTScheduler1 = Item(ToolsMenu, "&Scheduler ...", "NTScheduler1", 20);
    NTScheduler1->setStatusTip("Logging jobs that run on a schedule");
    connect(NTScheduler1, &QAction::triggered, this, &TMDIParent::NTScheduler1Click);
    ConfirmDeletions1 = Item(ToolsMenu, "Confirm &deletions", "ConfirmDeletions1", 20);
    ConfirmDeletions1->setCheckable(true);
    ConfirmDeletions1->setChecked(context_.ConfirmDeletions);
    ConfirmDeletions1->setStatusTip("Ask before deleting read-only, hidden and system files");
    connect(ConfirmDeletions1, &QAction::triggered, this, &TMDIParent::ConfirmDeletions1Click);

    WindowMenu = Menu(this, "&Window", "Window1", menugroup::Window);
    Cascade1 = new QAction("&Cascade", this);
    Cascade1->setObjectName("Cascade1");
    connect(Cascade1, &QAction::triggered, MdiArea, &QMdiArea::cascadeSubWindows);
    TileVertical1 = new QAction("Tile &Vertical", this);
    TileVertical1->setObjectName("TileVertical1");
    connect(TileVertical1, &QAction::triggered, this, &TMDIParent::TileVertical1Click);
    TileHorizontal1 = new QAction("Tile &Horizontal", this);
    TileHorizontal1->setObjectName("TileHorizontal1");
    connect(TileHorizontal1, &QAction::triggered, this, &TMDIParent::TileHorizontal1Click);
    ArrangeIcons1 = new QAction("Arrange &Icons", this);
    ArrangeIcons1->setObjectName("ArrangeIcons1");
    connect(ArrangeIcons1, &QAction::triggered, this, &TMDIParent::ArrangeIcons1Click);
    for (QAction* a : {Cascade1, TileVertical1, TileHorizontal1, ArrangeIcons1})
        a->setProperty(kGroupProperty, 30);
    connect(WindowMenu, &QMenu::aboutToShow, this, &TMDIParent::RebuildWindowMenu);

    HelpMenu = Menu(this, "&Help", "Help1", menugroup::Help);
    HelpContents1 = Item(HelpMenu, "&Help contents && Index", "HelpContents1", 40);
    connect(HelpContents1, &QAction::triggered, this, &TMDIParent::ShowHelpContents);
    HelpMenu->addSeparator();
    About1 = Item(HelpMenu, "&About Volumark", "About1", 40);
    connect(About1, &QAction::triggered, this, &TMDIParent::About1Click);
    // The frame's own help request (F1 outside any dialog) opens the index.
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { Help().ShowIndex(); });
}

void TMDIParent::CreateMenus()
{
    frameMenus_ = {{FileMenu, menugroup::File},
                   {ToolsMenu, menugroup::Tools},
                   {WindowMenu, menugroup::Window},
                   {HelpMenu, menugroup::Help}};
    RebuildWindowMenu();
}

void TMDIParent::UpdateMenus()
{
    QList<TGroupedMenu> childMenus;
    if (QMdiSubWindow* active = MdiArea->activeSubWindow())
        if (auto* offering = dynamic_cast<TMdiChildMenus*>(active->widget()))
            childMenus = offering->MergedMenus();

    // A child menu replaces every frame menu of its group; the rest stand in group order, the
    // frame's before the child's within a group that both have.
    QList<TGroupedMenu> merged;
    for (const TGroupedMenu& m : frameMenus_) {
        const bool replaced = std::any_of(childMenus.begin(), childMenus.end(),
                                          [&](auto& c) { return c.GroupIndex == m.GroupIndex; });
        if (!replaced)
            merged.append(m);
    }
    for (const TGroupedMenu& c : childMenus)
        if (c.Menu)
            merged.append(c);
    std::stable_sort(
        merged.begin(), merged.end(),
        [](const TGroupedMenu& a, const TGroupedMenu& b) { return a.GroupIndex < b.GroupIndex; });

    QMenuBar* bar = menuBar();
    for (QAction* action : bar->actions())
        bar->removeAction(action);
    for (const TGroupedMenu& m : merged) {
        m.Menu->menuAction()->setProperty(kGroupProperty, m.GroupIndex);
        bar->addAction(m.Menu->menuAction());
    }
    UpdateActions();
}

void TMDIParent::UpdateActions()
{
    const QWidget* active = ActiveChild();
    const QList<QWidget*> children = Children();
    const bool closable = std::any_of(children.begin(), children.end(),
                                      [](const QWidget* c) { return !IsRefManager(c); });
    Close1->setEnabled(active && !IsRefManager(active));
    CloseAll1->setEnabled(closable);
    NetworkShareList1->setEnabled(!folderMode_);
    NTScheduler1->setEnabled(schedulerSupported_ && !folderMode_);
    ConfirmDeletions1->setChecked(context_.ConfirmDeletions);
    WindowMenu->menuAction()->setEnabled(!folderMode_);
    const bool anyChild = !children.isEmpty();
    for (QAction* a : {Cascade1, TileVertical1, TileHorizontal1, ArrangeIcons1})
        a->setEnabled(anyChild);
}

void TMDIParent::RebuildWindowMenu()
{
    UpdateActions();
    WindowMenu->clear();
    WindowMenu->addAction(Cascade1);
    WindowMenu->addAction(TileVertical1);
    WindowMenu->addAction(TileHorizontal1);
    WindowMenu->addAction(ArrangeIcons1);
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    WindowMenu->addSeparator();
    auto* group = new QActionGroup(WindowMenu);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        const QString caption = window->windowTitle();
        const QString text = number < 10 ? QString("&%1 %2").arg(number).arg(caption)
                                         : QString("%1 %2").arg(number).arg(caption);
        QAction* action = WindowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(window == MdiArea->activeSubWindow());
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, window] {
            if (MdiArea->subWindowList().contains(window))
                MdiArea->setActiveSubWindow(window);
        });
    }
}

int TMDIParent::GetImageIndex(const std::string& extension) const
{
    return iconCache_.GetImageIndex(extension);
}

const TRefStore& TMDIParent::RefStore() const
{
    if (!refStore_ || refStore_->DataDir() != context_.DataDirectory)
        refStore_.emplace(context_.DataDirectory);
    return *refStore_;
}

void TMDIParent::CaptionChanged(const QString& old, const QString& caption)
{
    // The program's title follows the caption of the window it names.
    std::string& title = context_.ApplicationTitle;
    if (title == "Volumark " + old.toStdString())
        title = "Volumark " + caption.toStdString();
}

void TMDIParent::DisplayLog(int reference, int logNumber)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* child = new TExploreChild(*this);
    child->setProperty(kReferenceProperty, reference);
    AddChild(child);
    const TRefStore& store = RefStore();
    child->ConstructDirTree(
        {reference, logNumber, store.LogFileName(reference, logNumber), store.RefName(reference)});
    QApplication::restoreOverrideCursor();
    context_.ApplicationTitle = "Volumark " + child->windowTitle().toStdString();
}

void TMDIParent::DisplayComp(int reference, int firstLog, int secondLog)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* child = new TCompMDIChild(*this);
    child->setProperty(kReferenceProperty, reference);
    AddChild(child);
    const TRefStore& store = RefStore();
    child->ConstructDirTreeView(
        {reference, firstLog, secondLog, store.CompFileName(reference, firstLog, secondLog),
         store.LogFileName(reference, secondLog), store.RefName(reference)});
    QApplication::restoreOverrideCursor();
    context_.ApplicationTitle = "Volumark " + child->windowTitle().toStdString();
}

void TMDIParent::OpenFile(const TFilePlace& place)
{
    const bool log = place.Kind == TFileKind::Log;
    if (place.InReference()) {
        if (log)
            DisplayLog(place.Reference, place.Log);
        else
            DisplayComp(place.Reference, place.OldLog, place.NewLog);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* child = nullptr;
    if (log) {
        auto* explore = new TExploreChild(*this);
        AddChild(explore);
        explore->ConstructFileDirTree(place.Path, place.Log);
        child = explore;
    } else {
        auto* compare = new TCompMDIChild(*this);
        AddChild(compare);
        compare->ConstructFileDirTreeView(place.Path, place.OldLog, place.NewLog);
        child = compare;
    }
    QApplication::restoreOverrideCursor();
    context_.ApplicationTitle = "Volumark " + child->windowTitle().toStdString();
}

void TMDIParent::DisplayStreamLog(std::unique_ptr<TStream> stream)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* child = new TExploreChild(*this);
    QMdiSubWindow* window = AddChild(child);
    child->ConstructStreamDirTree(std::move(stream));
    window->showMaximized();
    child->setFocus();
    QApplication::restoreOverrideCursor();
    EnterFolderMode();
}

void TMDIParent::EnterFolderMode()
{
    folderMode_ = true;
    for (QMdiSubWindow* window : MdiArea->subWindowList())
        if (IsRefManager(window->widget())) {
            for (QAction* action : window->widget()->findChildren<QAction*>())
                if (action->text() == "Create &reference ...")
                    action->setEnabled(false);
            window->setEnabled(false);
        }
    UpdateActions();
    emit FolderModeEntered();
}

void TMDIParent::Options1Click()
{
    options_->exec();
}

TVolumeInfoForm& TMDIParent::VolumeInfo()
{
    if (!volumeInfo_) {
        volumeInfo_ = new TVolumeInfoForm(context_, this);
        connect(volumeInfo_, &TVolumeInfoForm::HelpRequested, this, &TMDIParent::ShowHelpContext);
    }
    return *volumeInfo_;
}

void TMDIParent::NetworkShareList1Click()
{
    TVolumeInfoForm& form = VolumeInfo();
    if (!form.isVisible())
        form.move(geometry().center() - form.rect().center());
    form.show();
    form.raise();
    form.activateWindow();
}

void TMDIParent::NTScheduler1Click()
{
    if (schedule_)
        schedule_->exec();
}

TFileOperationDialogs& TMDIParent::FileOperations()
{
    if (!fileOperations_) {
        fileOperations_ = std::make_unique<TFileOperationDialogs>(
            *context_.UI,
            [this](bool confirm) {
                context_.ConfirmDeletions = confirm;
                ConfirmDeletions1->setChecked(confirm);
            },
            this);
        connect(fileOperations_->DeleteFileForm, &TDeleteFileForm::HelpRequested, this,
                &TMDIParent::ShowHelpContext);
        connect(fileOperations_->DeleteDirectoryForm, &TDeleteDirectoryForm::HelpRequested, this,
                &TMDIParent::ShowHelpContext);
        connect(fileOperations_->CopyOptionsForm, &TCopyOptionsForm::HelpRequested, this,
                &TMDIParent::ShowHelpContext);
    }
    return *fileOperations_;
}

void TMDIParent::ConfirmDeletions1Click()
{
    context_.ConfirmDeletions = !context_.ConfirmDeletions;
    ConfirmDeletions1->setChecked(context_.ConfirmDeletions);
}

void TMDIParent::About1Click()
{
    about_->exec();
}

THelpForm& TMDIParent::Help()
{
    if (!help_)
        help_ = std::make_unique<THelpForm>(
            QString::fromStdString(FindHelpDirectory(context_.ProgramPath)));
    return *help_;
}

void TMDIParent::ShowHelpContext(int context)
{
    Help().ShowContext(context);
}

void TMDIParent::ShowHelpContents()
{
    Help().ShowContents();
}

void TMDIParent::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (help_)
        help_->close();
    QCoreApplication::quit();
}

} // namespace vm
