#include "refman/HistoryChart.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(HistoryChart, DateAxisShowsTheTimeOfDayOnlyWhenTicksFallWithinADay)
{
    const TDateTime day = 46364; // a date in December 2026
    // Four logs of one morning: every tick would otherwise read the same date.
    EXPECT_TRUE(AxisShowsTimeOfDay(day + 0.46, day + 0.47, 4));
    // Six logs a week apart, and a single log drawn a day either side: dates alone.
    EXPECT_FALSE(AxisShowsTimeOfDay(day - 35, day, 6));
    EXPECT_FALSE(AxisShowsTimeOfDay(day - 1, day + 1, 2));
    // Three days over six ticks: the ticks fall hours apart.
    EXPECT_TRUE(AxisShowsTimeOfDay(day, day + 3, 6));
}

} // namespace
} // namespace vm
