// The pane of the treemap and the statistics: a view is filled only while it shows, once for
// each change the window reports, and the area choice fills the treemap again by size.
#include "treemapview/QtViewsPane.h"

#include <QApplication>
#include <QComboBox>

#include <gtest/gtest.h>

using namespace vm;

TEST(ViewsPaneTest, OnlyTheViewShownIsFilledAndOnlyWhenOutOfDate)
{
    TViewsPane pane;
    std::vector<TTreemapMeasure> maps;
    int statistics = 0;
    pane.FillTreemap = [&](TTreemapView&, TTreemapMeasure m) { maps.push_back(m); };
    pane.FillStatistics = [&](TStatisticsView&) { ++statistics; };
    pane.Invalidate(); // hidden: nothing is read
    EXPECT_TRUE(maps.empty());
    pane.show();
    ASSERT_EQ(maps.size(), 1u);
    EXPECT_EQ(maps[0], TTreemapMeasure::Space);
    EXPECT_EQ(statistics, 0);
    pane.setCurrentWidget(pane.Statistics);
    EXPECT_EQ(statistics, 1);
    pane.setCurrentIndex(0); // the map is still up to date
    EXPECT_EQ(maps.size(), 1u);
    pane.AreaChoice->setCurrentIndex(1);
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[1], TTreemapMeasure::Size);
    pane.Invalidate();
    EXPECT_EQ(maps.size(), 3u);
    pane.setCurrentWidget(pane.Statistics);
    EXPECT_EQ(statistics, 2);
    EXPECT_FALSE(pane.Treemap->accessibleName().isEmpty());
    EXPECT_EQ(pane.AreaChoice->accessibleName(), "Treemap area");
}
