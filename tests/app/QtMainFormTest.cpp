// The main window: its menus and their states, the rules for closing children, menu merging,
// unique captions, the icon cache over the small image list, and the status window rule.
#include "support/gui/QtFrameFixture.h"

#include "app/AboutForm.h"
#include "app/QtInteractive.h"
#include "app/SplashForm.h"
#include "app/StatusForm.h"
#include "platform/QtUserInterface.h"
#include "refman/RefManagerForm.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <fstream>

namespace vmtest {

namespace {

using vm::TMDIParent;

struct TItem
{
    QString Text;
    QString Shortcut;
    bool Enabled;
    bool Separator;
};

QList<TItem> Items(QMenu* menu)
{
    QList<TItem> items;
    for (QAction* a : menu->actions())
        items.append({a->text(), a->shortcut().toString(), a->isEnabled(), a->isSeparator()});
    return items;
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

class StartupWindows : public FrameTest
{
};

TEST_F(StartupWindows, FrameHasItsMenusInOrderWithShortcutsAndStates)
{
    // The start-up path itself: real user interface, status window and reference manager.
    vm::TAppContext context;
    context.ProgramPath = "/bin/sh";
    // A data directory that is not new: the wizard of a first run stays away.
    context.DataDirectory = dir_.Path();
    dir_.WriteFile("Volumark.ini", "");
    auto windows = vm::CreateInteractiveWindows(context);
    TMDIParent& frame = *windows->Main;
    frame.show();
    Settle();
    // The maximised child's caption joins the frame's, as in every MDI frame.
    EXPECT_EQ(frame.windowTitle(), "Volumark - [Reference manager]");
    EXPECT_EQ(context.UI, windows->UI.get());

    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    // The active reference manager's File, Edit and View menus are merged in.
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));

    const QList<TItem> file = Items(frame.FileMenu);
    ASSERT_EQ(file.size(), 4);
    EXPECT_EQ(file[0].Text, "&Close");
    EXPECT_EQ(file[0].Shortcut, "Ctrl+F4");
    EXPECT_FALSE(file[0].Enabled);
    EXPECT_EQ(file[1].Text, "&Close all");
    EXPECT_FALSE(file[1].Enabled);
    EXPECT_TRUE(file[2].Separator);
    EXPECT_EQ(file[3].Text, "Exit");
    EXPECT_TRUE(file[3].Enabled);

    const QList<TItem> tools = Items(frame.ToolsMenu);
    ASSERT_EQ(tools.size(), 4);
    EXPECT_EQ(tools[0].Text, "&Options ...");
    EXPECT_EQ(tools[1].Text, "&Network share list ...");
    EXPECT_EQ(tools[2].Text, "&Scheduler ...");
    EXPECT_EQ(tools[2].Enabled, vm::SchedulerSupported());
    EXPECT_EQ(tools[3].Text, "Confirm &deletions");
    EXPECT_TRUE(frame.ConfirmDeletions1->isChecked());

    emit frame.WindowMenu->aboutToShow();
    const QList<TItem> window = Items(frame.WindowMenu);
    ASSERT_GE(window.size(), 6);
    EXPECT_EQ(window[0].Text, "&Cascade");
    EXPECT_EQ(window[1].Text, "Tile &Vertical");
    EXPECT_EQ(window[2].Text, "Tile &Horizontal");
    EXPECT_EQ(window[3].Text, "Arrange &Icons");
    EXPECT_TRUE(window[4].Separator);
    EXPECT_EQ(window[5].Text, "&1 Reference manager");

    const QList<TItem> help = Items(frame.HelpMenu);
    ASSERT_EQ(help.size(), 3);
    EXPECT_EQ(help[0].Text, "&Help contents && Index");
    EXPECT_TRUE(help[1].Separator);
    EXPECT_EQ(help[2].Text, "&About Volumark");

    // The reference manager is there from the start, visible and maximised.
    ASSERT_NE(windows->RefManager, nullptr);
    EXPECT_EQ(windows->RefManager->objectName(), "RefManager");
    EXPECT_EQ(windows->RefManager->windowTitle(), "Reference manager");
    auto* sub = qobject_cast<QMdiSubWindow*>(windows->RefManager->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    EXPECT_TRUE(windows->RefManager->isVisible());

    // The status window as the logic finds it.
    vm::TStatusWindow& status = context.UI->Status();
    auto* form = dynamic_cast<vm::TStatusForm*>(&status);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Processing ... please wait");
    EXPECT_FALSE(status.IsVisible());
}

TEST_F(FrameTest, ImageListsHoldTheProgramsPictures)
{
    EXPECT_EQ(frame_->TreeViewImageList.Count(), 5);
    EXPECT_EQ(frame_->SmallImageList.Count(), 6);
    EXPECT_FALSE(frame_->SmallImageList.Icon(vm::img::File).isNull());
    EXPECT_EQ(frame_->StateImageList.Count(), 6);
    EXPECT_TRUE(frame_->StateImageList.Icon(0).isNull()); // no state
    EXPECT_EQ(frame_->TagImageList.Count(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_FALSE(frame_->TagImageList.Icon(i).isNull()) << i;
    EXPECT_TRUE(frame_->TagImageList.Icon(-1).isNull());
}

TEST_F(FrameTest, CloseLeavesTheReferenceManagerAndCloseAllLeavesOnlyIt)
{
    auto* refMan = new QWidget;
    refMan->setObjectName("RefManager");
    refMan->setWindowTitle("Reference manager");
    frame_->AddChild(refMan);
    Settle();
    // Only the frame's own child: both items are off, and Close does nothing.
    EXPECT_FALSE(frame_->Close1->isEnabled());
    EXPECT_FALSE(frame_->CloseAll1->isEnabled());
    frame_->Close1Click();
    Settle();
    EXPECT_EQ(frame_->Children().size(), 1);

    for (const char* caption : {"Log 1", "Log 2", "Log 3"})
        frame_->AddChild(new QWidget)->setWindowTitle(caption);
    Settle();
    EXPECT_TRUE(frame_->Close1->isEnabled());
    EXPECT_TRUE(frame_->CloseAll1->isEnabled());
    frame_->Close1Click(); // the active one: the last added
    Settle();
    ASSERT_EQ(frame_->Children().size(), 3);

    frame_->MdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(refMan->parentWidget()));
    Settle();
    EXPECT_FALSE(frame_->Close1->isEnabled());
    frame_->Close1Click();
    Settle();
    EXPECT_EQ(frame_->Children().size(), 3);

    frame_->CloseAllButRefMan();
    Settle();
    ASSERT_EQ(frame_->Children().size(), 1);
    EXPECT_EQ(frame_->Children()[0], refMan);
    EXPECT_FALSE(frame_->CloseAll1->isEnabled());
}

TEST_F(FrameTest, ClosingTheWindowTheTitleNamesGivesTheTitleBack)
{
    QWidget* kept = frame_->AddChild(new QWidget)->widget();
    kept->setWindowTitle("Exploring log 1");
    QWidget* named = frame_->AddChild(new QWidget)->widget();
    named->setWindowTitle("Comparing log 3 with log 4");
    frame_->Context().ApplicationTitle = "Volumark Comparing log 3 with log 4";
    named->setWindowTitle("Comparing log 3 with log 4 [read only]"); // it may change its caption
    frame_->Context().ApplicationTitle = "Volumark Comparing log 3 with log 4 [read only]";
    kept->parentWidget()->close(); // another window leaves the title alone
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame_->Context().ApplicationTitle,
              "Volumark Comparing log 3 with log 4 [read only]");
    named->parentWidget()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame_->Context().ApplicationTitle, "Volumark");
}

TEST_F(FrameTest, ActiveChildsMenusMergeByGroupIndex)
{
    auto* plain = new QWidget;
    plain->setObjectName("RefManager");
    QMdiSubWindow* plainWindow = frame_->AddChild(plain);
    auto* child = new TMenuChild("Log 1");
    QMdiSubWindow* childWindow = frame_->AddChild(child);
    Settle();
    frame_->MdiArea->setActiveSubWindow(childWindow);
    Settle();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));
    // The File menu shown is the child's, not the frame's.
    EXPECT_EQ(frame_->menuBar()->actions()[0], child->File->menuAction());

    frame_->MdiArea->setActiveSubWindow(plainWindow);
    Settle();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Tools", "&Window", "&Help"}));
    EXPECT_EQ(frame_->menuBar()->actions()[0], frame_->FileMenu->menuAction());

    // A child that goes away while active takes its menus with it.
    frame_->MdiArea->setActiveSubWindow(childWindow);
    Settle();
    childWindow->close();
    Settle();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Tools", "&Window", "&Help"}));
}

TEST_F(FrameTest, CaptionExistsIgnoresTheChildJustAdded)
{
    frame_->AddChild(new QWidget)->setWindowTitle("Log 7");
    EXPECT_FALSE(frame_->CaptionExists("Log 7"));
    frame_->AddChild(new QWidget)->setWindowTitle("Log 7");
    EXPECT_TRUE(frame_->CaptionExists("Log 7"));
    EXPECT_FALSE(frame_->CaptionExists("log 7")); // exact captions only
}

TEST_F(FrameTest, WindowMenuListsChildrenAndActivatesThem)
{
    QMdiSubWindow* first = frame_->AddChild(new QWidget);
    first->setWindowTitle("Log 1");
    frame_->AddChild(new QWidget)->setWindowTitle("Log 2");
    Settle();
    emit frame_->WindowMenu->aboutToShow();
    QList<QAction*> actions = frame_->WindowMenu->actions();
    ASSERT_EQ(actions.size(), 7);
    EXPECT_EQ(actions[5]->text(), "&1 Log 1");
    EXPECT_FALSE(actions[5]->isChecked());
    EXPECT_TRUE(actions[6]->isChecked());
    actions[5]->trigger();
    Settle();
    EXPECT_EQ(frame_->MdiArea->activeSubWindow(), first);
}

TEST_F(FrameTest, TilingPlacesChildrenSideBySideOrStacked)
{
    QMdiSubWindow* a = frame_->AddChild(new QWidget);
    QMdiSubWindow* b = frame_->AddChild(new QWidget);
    Settle();
    const QRect area = frame_->MdiArea->viewport()->rect();
    frame_->TileVertical1Click();
    EXPECT_EQ(a->geometry().top(), 0);
    EXPECT_EQ(b->geometry().left(), area.width() / 2);
    EXPECT_EQ(b->geometry().height(), area.height());
    frame_->TileHorizontal1Click();
    EXPECT_EQ(b->geometry().left(), 0);
    EXPECT_EQ(b->geometry().top(), area.height() / 2);
    EXPECT_EQ(b->geometry().width(), area.width());
}

TEST_F(FrameTest, ArrangeIconsLinesMinimisedChildrenAlongTheBottom)
{
    QMdiSubWindow* a = frame_->AddChild(new QWidget);
    QMdiSubWindow* b = frame_->AddChild(new QWidget);
    QMdiSubWindow* open = frame_->AddChild(new QWidget);
    a->showMinimized();
    b->showMinimized();
    Settle();
    const QRect before = open->geometry();
    frame_->ArrangeIcons1Click();
    const int bottom = frame_->MdiArea->viewport()->rect().height();
    EXPECT_EQ(a->geometry().bottom() + 1, bottom);
    EXPECT_EQ(a->geometry().left(), 0);
    EXPECT_EQ(b->geometry().left(), a->geometry().right() + 1);
    EXPECT_EQ(open->geometry(), before);
}

TEST_F(FrameTest, PicturesOfTheSplashAndAboutBoxAreDecoded)
{
    vm::TSplashForm splash;
    ASSERT_FALSE(splash.Picture->pixmap().isNull());
    EXPECT_EQ(splash.VersionLabel->text(), "Version 1.16");
    splash.SetStatus("Initialising code ...");
    EXPECT_EQ(splash.StatusLabel->text(), "Initialising code ...");
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(frame_->About().windowTitle(), "About Volumark");
    EXPECT_FALSE(frame_->About().Picture->pixmap().isNull());
}

TEST_F(FrameTest, ConfirmDeletionsTogglesTheSharedSetting)
{
    EXPECT_TRUE(frame_->ConfirmDeletions());
    frame_->ConfirmDeletions1->trigger();
    EXPECT_FALSE(frame_->ConfirmDeletions());
    EXPECT_FALSE(context_.ConfirmDeletions);
    EXPECT_FALSE(frame_->ConfirmDeletions1->isChecked());
    frame_->ConfirmDeletions1->trigger();
    EXPECT_TRUE(context_.ConfirmDeletions);
}

TEST_F(FrameTest, FolderModeRestrictsTheFrame)
{
    // The reference manager is disabled with its "Create &reference ..." item.
    auto* manager = new QWidget;
    manager->setObjectName("RefManager");
    auto* create = new QAction("Create &reference ...", manager);
    manager->addAction(create);
    QMdiSubWindow* managerWindow = frame_->AddChild(manager);
    bool signalled = false;
    QObject::connect(frame_.get(), &vm::TMDIParent::FolderModeEntered, [&] { signalled = true; });
    frame_->EnterFolderMode();
    EXPECT_TRUE(frame_->InFolderMode());
    EXPECT_TRUE(signalled);
    EXPECT_FALSE(create->isEnabled());
    EXPECT_FALSE(managerWindow->isEnabled());
    EXPECT_FALSE(frame_->NetworkShareList1->isEnabled());
    EXPECT_FALSE(frame_->NTScheduler1->isEnabled());
    EXPECT_FALSE(frame_->WindowMenu->menuAction()->isEnabled());
}

TEST_F(FrameTest, IconCacheGrowsTheSmallImageListOncePerExtension)
{
    dir_.WriteFile("a.txt", "a");
    dir_.WriteFile("B.TXT", "b");
    dir_.WriteFile("one.exe", "");
    dir_.WriteFile("two.EXE", "");
    vm::PrepareIconTheme();
    vm::TIconCache& cache = frame_->IconCache();
    const int start = frame_->SmallImageList.Count();
    EXPECT_EQ(frame_->GetImageIndex(".txt"), start);

    const int first = cache.ImageForFile(".txt", dir_ / "a.txt");
    if (first == vm::img::File)
        GTEST_SKIP() << "no icon theme: every file shows the plain file image";
    EXPECT_EQ(first, start);
    EXPECT_EQ(cache.ImageForFile(".TXT", dir_ / "B.TXT"), first);
    EXPECT_EQ(frame_->GetImageIndex(".Txt"), first);
    ASSERT_NE(cache.Table().Row(first), nullptr);
    EXPECT_EQ(cache.Table().Row(first)->Extension, ".TXT");
    EXPECT_EQ(cache.Table().Row(first)->TypeText, frame_->FileTypes().FileTypeText(".txt"));

    const int exe1 = cache.ImageForFile(".exe", dir_ / "one.exe");
    const int exe2 = cache.ImageForFile(".EXE", dir_ / "two.EXE");
    EXPECT_NE(exe1, exe2);
    EXPECT_EQ(frame_->SmallImageList.Count(), start + 3);

    // No file, no icon: the plain image, and the list does not grow.
    EXPECT_EQ(cache.ImageForFile(".gone", dir_ / "missing.gone"), vm::img::File);
    EXPECT_EQ(cache.ImageForFile("", dir_ / "a.txt"), vm::img::File);
    EXPECT_EQ(frame_->SmallImageList.Count(), start + 3);
}

TEST(SchedulerSupported, FollowsTheCrontabCommandOrTheTestFile)
{
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    unsetenv("VOLUMARK_CRONTAB");
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(vm::SchedulerSupported());
    setenv("VOLUMARK_CRONTAB", "/tmp/crontab-file", 1);
    EXPECT_TRUE(vm::SchedulerSupported());
    unsetenv("VOLUMARK_CRONTAB");
    setenv("PATH", saved.c_str(), 1);
}

} // namespace
} // namespace vmtest
