// The explore window's treemap and statistics over a log written by the real scan: they follow
// the tree's selection, a click leads to the entry in the tree and the list without moving the
// map, a double click zooms and Up leaves the zoom, a statistics row filters the list to its
// files, and "Largest first" opens the list by space.
#include "explore/ExploreForm.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/QtDirTreeModel.h"
#include "statsview/QtStatisticsView.h"
#include "support/ScannedSample.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"
#include "treemapview/QtViewsPane.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeView>

#include <filesystem>

using namespace vm;
using vmtest::Idle;
using vmtest::RowName;
using vmtest::RowNames;
using vmtest::Settle;

namespace {

std::string SelectedName(TExploreChild* child)
{
    const int node = child->TreeModel->NodeOf(child->DirTreeView->currentIndex());
    return node < 0 ? "" : std::string(child->Tree().Name(node));
}

std::vector<std::string> SelectedRows(TExploreChild* child)
{
    std::vector<std::string> names;
    for (const QModelIndex& i : child->FileListView->selectionModel()->selectedRows())
        names.emplace_back(RowName(child, i.row()));
    return names;
}

class ExploreViewsTest : public vmtest::FrameTest
{
protected:
    ExploreViewsTest() : sample_(vmtest::WriteScannedSample(scan_))
    {
        dir_.WriteFile("Volumark.ini", "[Ref0001]\nName=Home\nNextLogNo=8\n");
        dir_.MakeDir("Ref0001");
        std::filesystem::copy_file(sample_.NewLog, dir_ / "Ref0001/Log0007.kdf");
    }
    TExploreChild* Open()
    {
        frame_->DisplayLog(1, 7);
        auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
        Settle(child);
        return child;
    }
    int64_t OffsetOf(const std::string& path)
    {
        TFileStream file(dir_ / "Ref0001/Log0007.kdf", TFileMode::OpenRead);
        return TDirStorage(file).FindPath(sample_.Tree + path);
    }
    vmtest::TempDir scan_;
    vmtest::ScannedSample sample_;
};

} // namespace

TEST_F(ExploreViewsTest, TheMapFollowsTheTreeAndLeadsToEntriesWithoutMoving)
{
    TExploreChild* child = Open();
    ASSERT_NE(child, nullptr);
    TTreemapView* map = child->ViewsPane->Treemap;
    ASSERT_TRUE(map->isVisible());
    ASSERT_NE(map->Work(), nullptr);
    EXPECT_TRUE(map->Work()->Done());
    EXPECT_EQ(map->RootOffset(), -1);

    // A click on a file deep in the map: its directory in the tree, its row in the list.
    const int64_t jpg = OffsetOf("photos/c.jpg");
    const QPoint at = map->RectOf(jpg).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map, &press);
    Settle(child);
    EXPECT_EQ(SelectedName(child), "photos");
    EXPECT_EQ(SelectedRows(child), std::vector<std::string>{"c.jpg"});
    EXPECT_EQ(map->RootOffset(), -1); // the map stays as it was
    EXPECT_EQ(map->SelectedOffset(), jpg);

    // A double click zooms into a directory: it is selected in the tree and fills the map.
    const int64_t docs = OffsetOf("docs");
    emit map->ZoomRequested(docs);
    Settle(child);
    EXPECT_EQ(SelectedName(child), "docs");
    EXPECT_EQ(map->RootOffset(), docs);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"report.pdf"});
    // Backspace in the map is the window's Up: the zoom is left.
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(map, &back);
    Settle(child);
    const int top = child->TreeModel->NodeOf(child->DirTreeView->currentIndex());
    ASSERT_GT(top, 0);
    EXPECT_EQ(child->Tree().Parent(top), 0); // the top-level path, below the root
    EXPECT_EQ(map->RootOffset(), child->Tree().Node(top).Offset);
    // The pane can be hidden, and then reads nothing.
    child->ShowViewsAction->trigger();
    EXPECT_FALSE(child->ViewsPane->isVisible());
}

TEST_F(ExploreViewsTest, AStatisticsRowFiltersTheListToItsFiles)
{
    TExploreChild* child = Open();
    ASSERT_NE(child, nullptr);
    child->ViewsPane->setCurrentWidget(child->ViewsPane->Statistics);
    Settle(child);
    const std::vector<TStatsGrid>& grids = child->ViewsPane->Statistics->Grids();
    ASSERT_FALSE(grids.empty());
    const TStatsGrid& types = grids.front();
    const auto images = std::find_if(types.Rows.begin(), types.Rows.end(),
                                     [](const TGridRow& r) { return r.Cells[0].Text == "Images"; });
    ASSERT_NE(images, types.Rows.end());
    emit child->ViewsPane->Statistics->RowChosen(images->Select);
    Settle(child);
    EXPECT_TRUE(child->FilterOn);
    EXPECT_EQ(child->View, TView::AllFiles);
    std::vector<std::string> rows = RowNames(child);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));

    // A largest file leads to its row.
    const TStatsGrid& largest = grids[grids.size() - 2];
    ASSERT_EQ(largest.Info.Key, "largest_file");
    emit child->ViewsPane->Statistics->RowChosen(largest.Rows.front().Select);
    Settle(child);
    EXPECT_EQ(SelectedRows(child), std::vector<std::string>{"c.jpg"});
}

TEST_F(ExploreViewsTest, LargestFirstOpensTheListBySpace)
{
    context_.Display.LargestFirst = true;
    TExploreChild* child = Open();
    ASSERT_NE(child, nullptr);
    vmtest::SelectNode(child, "photos");
    Settle(child);
    EXPECT_EQ(child->SortColumn, "Disk space");
    EXPECT_EQ(RowNames(child), (std::vector<std::string>{"c.jpg", "a.jpg", "b.jpg"}));
}
