// What the explore and compare windows do alike, tested once over both on the offscreen platform:
// long work that a new selection restarts, Stop ends and a close waits for; the root listed
// however the tree got the focus; Up and opening rows; views and date types; sorting that keeps
// the selection. Both windows show the same tree: the explore window its log, the compare window
// the comparison of that log with itself.
#include "compare/CompChildForm.h"
#include "explore/ExploreForm.h"
#include "listwindow/QtChildStatusBar.h"
#include "support/CompareSample.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTreeView>

using namespace vm;
using namespace vmtest;

namespace {

struct ExploreKind
{
    using Window = TExploreChild;
    static void Display(TMDIParent& frame) { frame.DisplayLog(1, 4); }
    static constexpr int PathColumn = kColPath;
    static constexpr int DateColumn = kColDate;
    // A fill a new selection ends early says so until the fill for it starts.
    static constexpr bool SaysStoppedBeforeARestart = true;
};

struct CompareKind
{
    using Window = TCompMDIChild;
    static void Display(TMDIParent& frame) { frame.DisplayComp(1, 3, 4); }
    static constexpr int PathColumn = kCmpPath;
    static constexpr int DateColumn = kCmpDate;
    static constexpr bool SaysStoppedBeforeARestart = false;
};

template <class Kind> class ListWindowTest : public FrameTest
{
protected:
    using Window = typename Kind::Window;

    ListWindowTest() { TListWindow::StepMilliseconds = 25; }
    ~ListWindowTest() override { TListWindow::StepMilliseconds = 25; }

    // /data/ with `dirs` directories big0, big1 ... of `files` files (f0, f1 ... of 10000,
    // 20000 ... bytes), and "small" with one.txt.
    void Write(int dirs, int files)
    {
        TestTree tree = {{"/data/", 4096, {Dir("small", {File("one.txt", 1)})}}};
        for (int d = 0; d < dirs; ++d) {
            TestEntry dir = Dir("big" + std::to_string(d));
            for (int f = 0; f < files; ++f)
                dir.Entries.push_back(File("f" + std::to_string(f), 10000 * (f + 1)));
            tree[0].Entries.push_back(dir);
        }
        WriteCompareSample(dir_, tree, tree);
    }
    // Opens the window over what Write wrote; its long work run out.
    Window* Open()
    {
        Kind::Display(*frame_);
        auto* child = qobject_cast<Window*>(frame_->ActiveChild());
        Idle(child);
        return child;
    }
    // Runs events (and deferred deletions) until the window is gone; false when it stays.
    static bool Destroyed(QPointer<Window>& child)
    {
        for (int i = 0; i < 1000 && child; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return !child;
    }
};

using Kinds = testing::Types<ExploreKind, CompareKind>;
TYPED_TEST_SUITE(ListWindowTest, Kinds);

TYPED_TEST(ListWindowTest, NewSelectionDuringAFillRestartsItForTheNewDirectory)
{
    this->Write(2, 3000);
    auto* child = this->Open();
    TListWindow::StepMilliseconds = 0;
    SelectNode(child, "big0");
    ASSERT_TRUE(child->Busy);
    SelectNode(child, "small");
    EXPECT_TRUE(child->RestartRequested);
    QApplication::processEvents(); // the fill sees the request and ends early
    EXPECT_FALSE(child->Busy);
    EXPECT_EQ(child->ChildPathLabel->text() == "Stopped by user:",
              TypeParam::SaysStoppedBeforeARestart);
    Idle(child); // the posted restart fills the new selection
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"one.txt"});
    EXPECT_EQ(child->ChildPathLabel->text(), "Contents of: /data/small/");
    EXPECT_EQ(child->CurrentDirectoryPath, "/data/small/");

    // A later selection during a fill restarts again.
    SelectNode(child, "big0");
    SelectNode(child, "small");
    Idle(child);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"one.txt"});
}

TYPED_TEST(ListWindowTest, StopLeavesAnEmptyListAndTheToolbarAsItWas)
{
    this->Write(2, 3000);
    auto* child = this->Open();
    TListWindow::StepMilliseconds = 0;
    child->EmailAction->setEnabled(false); // off for a reason of its own
    SelectNode(child, "big1");
    ASSERT_TRUE(child->Busy);
    EXPECT_TRUE(child->StopAction->isEnabled());
    EXPECT_FALSE(child->FileFilterAction->isEnabled()); // the toolbar is off while it fills
    child->StopAction->trigger();
    Idle(child);
    EXPECT_FALSE(child->Busy);
    EXPECT_TRUE(RowNames(child).empty());
    EXPECT_EQ(child->ChildPathLabel->text(), "Stopped by user:");
    EXPECT_FALSE(child->StopAction->isEnabled());
    EXPECT_TRUE(child->FileFilterAction->isEnabled());
    EXPECT_FALSE(child->EmailAction->isEnabled());
}

TYPED_TEST(ListWindowTest, CloseDuringLongWorkClosesOnceItsStepHasReturned)
{
    // During the build of a large tree.
    this->Write(3000, 0);
    TListWindow::StepMilliseconds = 0;
    TypeParam::Display(*this->frame_);
    QPointer<typename TypeParam::Window> child =
        qobject_cast<typename TypeParam::Window*>(this->frame_->ActiveChild());
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->Busy);
    this->frame_->MdiArea->activeSubWindow()->close(); // refused while busy
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->CloseRequested);
    EXPECT_TRUE(this->Destroyed(child));
    EXPECT_TRUE(this->frame_->Children().isEmpty());

    // During a fill.
    this->Write(2, 3000);
    TListWindow::StepMilliseconds = 25;
    child = this->Open();
    TListWindow::StepMilliseconds = 0;
    SelectNode(child.data(), "big0");
    ASSERT_TRUE(child->Busy);
    this->frame_->MdiArea->activeSubWindow()->close();
    ASSERT_TRUE(child);
    EXPECT_TRUE(this->Destroyed(child));
}

// In an active window the tree takes the focus when it is shown, which makes the root its
// current node before the window selects it: the root is listed all the same, and "Up folder"
// is off there.
TYPED_TEST(ListWindowTest, TheRootIsListedWithUpOffWhenTheTreeTookTheFocusFirst)
{
    this->Write(2, 2);
    this->frame_->activateWindow();
    QApplication::processEvents();
    auto* child = this->Open();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"/data/"});
    EXPECT_EQ(child->ChildStatusBar->PanelText(0), "1 Object(s)");
    EXPECT_FALSE(child->UpOneLevelAction->isEnabled());
}

TYPED_TEST(ListWindowTest, UpAndOpeningRowsMoveThroughTheTree)
{
    this->Write(2, 2);
    auto* child = this->Open();
    child->UpOneLevel(); // at the root: nothing
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"/data/"});

    // Opening the path row, then the directory "small" (Enter); Up goes back a level each time.
    child->OpenRow(child->FileListView->model()->index(0, 0));
    Idle(child);
    EXPECT_EQ(RowNames(child), (std::vector<std::string>{"big0", "big1", "small"}));
    EXPECT_EQ(child->CurrentDirectoryPath, "/data/");
    EXPECT_TRUE(child->UpOneLevelAction->isEnabled());
    child->FileListView->setCurrentIndex(
        child->FileListView->model()->index(RowPosition(child, "small"), 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(child->FileListView, &enter);
    Idle(child);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"one.txt"});
    child->UpOneLevelAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child), (std::vector<std::string>{"big0", "big1", "small"}));
    child->UpOneLevelAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"/data/"});
    EXPECT_FALSE(child->UpOneLevelAction->isEnabled());
}

TYPED_TEST(ListWindowTest, ViewsShowTheFullPathAndDateTypesRetitleTheDateColumn)
{
    this->Write(2, 2);
    auto* child = this->Open();
    const int path = TypeParam::PathColumn;
    EXPECT_TRUE(child->FileListView->isColumnHidden(path));

    child->ViewAllAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child).size(), 5u); // every file below the root
    EXPECT_FALSE(child->FileListView->isColumnHidden(path));
    EXPECT_EQ(child->FileListView->columnWidth(path), 220);
    EXPECT_EQ(child->ChildStatusBar->PanelText(0), "5 Object(s)");
    child->ViewButtonClick(); // all files -> standard
    Idle(child);
    EXPECT_TRUE(child->ViewStandardAction->isChecked());
    EXPECT_TRUE(child->FileListView->isColumnHidden(path));
    child->ViewButtonClick(); // standard -> folders
    Idle(child);
    EXPECT_TRUE(child->ViewFoldersAction->isChecked());
    EXPECT_FALSE(child->FileListView->isColumnHidden(path));

    child->DateAccessed1->trigger();
    Idle(child);
    EXPECT_TRUE(child->DateAccessed1->isChecked());
    EXPECT_EQ(
        child->FileListView->model()->headerData(TypeParam::DateColumn, Qt::Horizontal).toString(),
        "Date accessed");
    EXPECT_FALSE(RowNames(child).empty()); // listed again
}

TYPED_TEST(ListWindowTest, SortingByAColumnKeepsTheSelectionAndASecondClickTurnsItRound)
{
    this->Write(1, 3);
    auto* child = this->Open();
    SelectNode(child, "big0");
    Idle(child);
    SelectRows(child, {"f0", "f2"});
    const QString selected = child->ChildStatusBar->PanelText(2);
    EXPECT_FALSE(selected.isEmpty());
    const std::vector<std::string> before = RowNames(child);
    child->FileListView->header()->sectionClicked(0);
    const std::vector<std::string> after = RowNames(child);
    EXPECT_EQ(std::vector<std::string>(after.rbegin(), after.rend()), before);
    EXPECT_TRUE(child->FileListView->header()->isSortIndicatorShown());
    // The same rows stay selected in their new places, and the total says so.
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), selected);
    QStringList names;
    for (const QModelIndex& index : child->FileListView->selectionModel()->selectedRows())
        names << QString::fromStdString(RowName(child, index.row()));
    names.sort();
    EXPECT_EQ(names, (QStringList{"f0", "f2"}));
    child->FileListView->header()->sectionClicked(0);
    EXPECT_EQ(RowNames(child), before);
    // A refill keeps the order.
    child->Refresh1->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child), before);
}

} // namespace
