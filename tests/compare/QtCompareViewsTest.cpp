// The compare window's treemap and statistics over two logs written by the real scan and their
// comparison: the largest growth outlined in the map of changes, the changes by type, and
// "Largest first" opening the list by the space now.
#include "compare/CompChildForm.h"
#include "references/RefStore.h"
#include "statsview/QtStatisticsView.h"
#include "support/ScannedSample.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"
#include "treemapview/QtViewsPane.h"

#include <QApplication>
#include <QElapsedTimer>

#include <filesystem>

using namespace vm;

namespace {

class CompareViewsTest : public vmtest::FrameTest
{
protected:
    CompareViewsTest() : sample_(vmtest::WriteScannedSample(scan_))
    {
        dir_.WriteFile("Volumark.ini", "[Ref0001]\nName=Home\nNextLogNo=5\n");
        dir_.MakeDir("Ref0001");
        const TRefStore store(dir_.Path());
        std::filesystem::copy_file(sample_.OldLog, store.LogFileName(1, 3));
        std::filesystem::copy_file(sample_.NewLog, store.LogFileName(1, 4));
        std::filesystem::copy_file(sample_.Comparison, store.CompFileName(1, 3, 4));
    }
    TCompMDIChild* Open()
    {
        frame_->DisplayComp(1, 3, 4);
        auto* child = qobject_cast<TCompMDIChild*>(frame_->ActiveChild());
        QElapsedTimer clock;
        clock.start();
        do {
            vmtest::Idle(child);
            QApplication::processEvents();
        } while (child &&
                 (child->Busy || child->ViewsPane->Treemap->Busy() ||
                  child->ViewsPane->Statistics->Busy()) &&
                 clock.elapsed() < 20000);
        return child;
    }
    vmtest::TempDir scan_;
    vmtest::ScannedSample sample_;
};

} // namespace

TEST_F(CompareViewsTest, TheMapOutlinesTheLargestGrowthAndTheStatisticsShowChanges)
{
    context_.Display.LargestFirst = true;
    TCompMDIChild* child = Open();
    ASSERT_NE(child, nullptr);
    TTreemapView* map = child->ViewsPane->Treemap;
    ASSERT_NE(map->Work(), nullptr);
    ASSERT_TRUE(map->Work()->Done());
    ASSERT_FALSE(map->OutlinedOffsets().empty());
    const int64_t grown = map->OutlinedOffsets().front();
    const QString tip = map->TipAt(map->RectOf(grown).center());
    EXPECT_TRUE(tip.contains("photos/c.jpg")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("All new")) << tip.toStdString();
    EXPECT_EQ(child->SortColumn, "Space now");
    EXPECT_EQ(child->FirstClick->Column, "Changed by");

    child->ViewsPane->setCurrentWidget(child->ViewsPane->Statistics);
    Open();
    const std::vector<TStatsGrid>& grids = child->ViewsPane->Statistics->Grids();
    ASSERT_FALSE(grids.empty());
    EXPECT_EQ(grids.front().Info.Title, "Change by type");
    EXPECT_EQ(grids.front().Rows.front().Cells.front().Text, "Images");

    // The row of a type leads to its files: the filter set to them, all files listed.
    emit child->ViewsPane->Statistics->RowChosen(grids.front().Rows.front().Select);
    Open();
    EXPECT_TRUE(child->FilterOn);
    EXPECT_EQ(child->View, TView::AllFiles);
    std::vector<std::string> rows = vmtest::RowNames(child);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
}
