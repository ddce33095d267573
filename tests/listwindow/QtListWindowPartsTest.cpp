// The steps the explore and compare windows share: their keys, a close put off while busy, long
// work cut into steps, the state of that work and of the list's order, and the view and date
// type items.
#include "listwindow/ListWindowWork.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ListWindowKeys, F1IsTakenFromTheFrameAndShowsHelpOnlyWhenPressed)
{
    int shown = 0;
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_F1, Qt::NoModifier);
    override.ignore();
    EXPECT_TRUE(TakeHelpKey(&override, [&] { ++shown; }));
    EXPECT_TRUE(override.isAccepted());
    EXPECT_EQ(shown, 0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    EXPECT_TRUE(TakeHelpKey(&press, [&] { ++shown; }));
    EXPECT_EQ(shown, 1);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    EXPECT_FALSE(TakeHelpKey(&other, [&] { ++shown; }));
    EXPECT_EQ(shown, 1);
}

TEST(ListWindowKeys, ReturnAndEnterOpenOnlyWhenPressed)
{
    QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    EXPECT_TRUE(IsOpenKey(&ret));
    EXPECT_TRUE(IsOpenKey(&enter));
    EXPECT_FALSE(IsOpenKey(&release));
    EXPECT_FALSE(IsOpenKey(&space));
}

TEST(ListWindowClose, ACloseWhileBusyWaitsForTheRunningStep)
{
    bool requested = false;
    QCloseEvent idle;
    EXPECT_FALSE(PutOffCloseWhileBusy(&idle, false, requested));
    EXPECT_FALSE(requested);
    QCloseEvent busy;
    busy.accept();
    EXPECT_TRUE(PutOffCloseWhileBusy(&busy, true, requested));
    EXPECT_TRUE(requested);
    EXPECT_FALSE(busy.isAccepted());
}

TEST(ListWindowSteps, AStepGoesOnOnlyWhileWorkRemainsAndNothingInterruptsIt)
{
    int steps = 0;
    // Done before the time is up.
    EXPECT_FALSE(StepFor(
        1000, [&] { return ++steps < 3; }, [] { return false; }));
    EXPECT_EQ(steps, 3);
    // Time up with work left.
    steps = 0;
    EXPECT_TRUE(StepFor(
        0, [&] { return ++steps < 100; }, [] { return false; }));
    EXPECT_EQ(steps, 1);
    // Interrupted: by the first look, or by one as the time runs out.
    steps = 0;
    EXPECT_FALSE(StepFor(
        1000, [&] { return ++steps < 100; }, [] { return true; }));
    EXPECT_EQ(steps, 0);
    bool stop = false;
    EXPECT_FALSE(StepFor(
        0,
        [&] {
            stop = true; // as a Stop handled during the step
            return true;
        },
        [&] { return stop; }));
}

TEST(ListWindowWork, StopEndsOnlyARunningFillEarlyAndAFillStartsAfresh)
{
    TListWindowWork work(true);
    work.StopClick();
    EXPECT_TRUE(work.StopPressed);
    EXPECT_FALSE(work.RestartRequested);
    work.StartFill();
    EXPECT_TRUE(work.Busy);
    EXPECT_FALSE(work.StopPressed);
    work.StopClick();
    EXPECT_TRUE(work.RestartRequested);
    work.CloseRequested = true;
    EXPECT_TRUE(work.TakeCloseRequest());
    EXPECT_FALSE(work.Busy);
    work.StartFill();
    EXPECT_FALSE(work.TakeCloseRequest());
    EXPECT_TRUE(work.Busy);
}

TEST(ListWindowWork, AColumnClickTurnsTheOrderRoundOnceAndRefillsKeepIt)
{
    TListWindowWork work(false);
    work.ClickColumn("Size");
    EXPECT_EQ(work.SortColumn, "Size");
    EXPECT_TRUE(work.TakeSortDirection());
    EXPECT_TRUE(work.TakeSortDirection()); // a refill sorts again the same way
    work.ClickColumn("Size");
    EXPECT_FALSE(work.TakeSortDirection());
}

TEST(ListWindowActions, ViewAndDateTypeItemsCallTheirChoiceAndAreCheckedOneAtATime)
{
    QWidget window;
    std::vector<TView> views;
    const TChoiceActions v = NewViewActions(&window, [&](TView view) { views.push_back(view); });
    ASSERT_EQ(v.Items.size(), 3u);
    EXPECT_TRUE(v.Items[0]->isChecked());
    v.Items[2]->trigger();
    v.Items[1]->trigger();
    EXPECT_EQ(views, (std::vector<TView>{TView::AllFiles, TView::Folders}));
    CheckView(v.Group, TView::Standard);
    EXPECT_TRUE(v.Items[0]->isChecked());
    EXPECT_FALSE(v.Items[1]->isChecked());

    std::vector<TDateType> types;
    const TChoiceActions d =
        NewDateTypeActions(&window, [&](TDateType type) { types.push_back(type); });
    EXPECT_EQ(d.Group->checkedAction(), nullptr);
    d.Items[2]->trigger();
    EXPECT_EQ(types, std::vector<TDateType>{TDateType::Accessed});
    CheckDateType(d.Group, TDateType::Modified);
    EXPECT_EQ(d.Group->checkedAction()->objectName(), "DateModified1");
    CheckDateType(d.Group, TDateType::Created);
    EXPECT_EQ(d.Group->checkedAction()->objectName(), "DateCreated1");
}

TEST(ListWindowActions, AMenuTakesItsItemsInOrderWithSeparators)
{
    QWidget window;
    QAction* a = NewAction(&window, "A", "A1");
    QAction* b = NewAction(&window, "B", "B1");
    QMenu* menu = NewMenu(&window, "&M", "M1", {a, nullptr, b});
    EXPECT_EQ(menu->objectName(), "M1");
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], a);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], b);
}

TEST(ListWindowBusyIndicator, ShowsOnlyOnceWorkHasRunForAMomentAndStopCancelsIt)
{
    QWidget list;
    list.resize(300, 200);
    list.show();
    int asked = 0;
    TBusyIndicator busy(&list, [&] {
        ++asked;
        return true;
    });
    auto runFor = [](int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    busy.StartSoon();
    runFor(300);
    EXPECT_FALSE(busy.isVisible()); // a short fill shows nothing
    busy.Stop();
    runFor(1600);
    EXPECT_FALSE(busy.isVisible());
    EXPECT_EQ(asked, 0);

    busy.StartSoon();
    runFor(1700);
    EXPECT_TRUE(busy.isVisible());
    EXPECT_EQ(asked, 1);
    busy.CancelStart(); // the tree is built: the indicator stays for the fill that follows
    EXPECT_TRUE(busy.isVisible());
    busy.Stop();
    EXPECT_FALSE(busy.isVisible());
}

} // namespace
} // namespace vm
