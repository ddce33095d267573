// The statistics view's tables as grids: the cells and bars of a log's and a comparison's
// tables, and sorting by names and by numbers.
#include "statsview/StatsGrid.h"

#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "support/ScannedSample.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

const TLocale kLocale = TLocale::Classic();
const TIdNames kNames{[](uint32_t id) { return std::to_string(id); },
                      [](uint32_t id) { return std::to_string(id); }};

std::vector<std::string> Column(const TStatsGrid& grid, int column)
{
    std::vector<std::string> texts;
    for (const TGridRow& row : grid.Rows)
        texts.push_back(row.Cells[column].Text);
    return texts;
}

} // namespace

TEST(StatsGridTest, ALogsTablesShowTheirFiguresWithSharesAndSortByAnyColumn)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.OldLog, TFileMode::OpenRead);
    TDirStorage log(file);
    const TLogStatistics stats = CollectLogStatistics(log);
    const std::vector<TLogTable> tables =
        LogTables(stats, TReportTables::All, 0, kLocale, kNames);
    ASSERT_EQ(tables[1].Info.Key, "extension");
    TStatsGrid grid = GridOf(tables[1], kLocale);
    ASSERT_EQ(grid.Columns.size(), 5u);
    EXPECT_EQ(grid.Columns[0].Caption, "Extension");
    EXPECT_FALSE(grid.Columns[0].Numeric);
    EXPECT_EQ(grid.BarColumn, 4);
    EXPECT_EQ(grid.SortColumn, 3); // space, largest first, as the rows come
    // big.tar 49 units, report.pdf 13, the two .jpg 3 + 1, main.cpp 1, notes.txt 1: 68 units.
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{".tar", ".pdf", ".jpg", ".cpp", ".txt"}));
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"1", "1", "2", "1", "1"}));
    EXPECT_EQ(grid.Rows[2].Cells[3].Text, "16 KB");
    EXPECT_EQ(grid.Rows[0].Cells[4].Text, "72.1%");
    EXPECT_NEAR(grid.Rows[0].Bar, 49.0 / 68.0, 1e-9);
    EXPECT_EQ(grid.Rows[2].Select.Kind, TStatsSelection::TKind::Extension);
    EXPECT_EQ(grid.Rows[2].Select.Extension, ".jpg");

    SortGrid(grid, 0, false); // names A to Z
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{".cpp", ".jpg", ".pdf", ".tar", ".txt"}));
    SortGrid(grid, 1, true); // files, most first; ties keep the order they had
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{".jpg", ".cpp", ".pdf", ".tar", ".txt"}));
    SortGrid(grid, 3, false); // space, least first
    EXPECT_EQ(Column(grid, 0).back(), ".tar");
    EXPECT_EQ(grid.SortColumn, 3);
    EXPECT_FALSE(grid.Descending);
    SortGrid(grid, 9, true); // no such column: nothing moves
    EXPECT_EQ(Column(grid, 0).back(), ".tar");
    EXPECT_EQ(GridRowDescription(grid, 0).rfind("Extension ", 0), 0u);

    // The age tables keep the order of the ages; the largest lists are paths, space first.
    EXPECT_EQ(GridOf(tables[2], kLocale).SortColumn, -1);
    const TStatsGrid largest = GridOf(tables.back(), kLocale);
    EXPECT_EQ(largest.Columns.back().Caption, "Path");
    EXPECT_EQ(largest.Rows.front().Cells.back().Text, sample.Tree + "docs");
    EXPECT_EQ(largest.Rows.front().Select.Kind, TStatsSelection::TKind::Entry);
}

TEST(StatsGridTest, ChangeBarsMeasureAgainstTheLargestChangeWithTheirSign)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    const TComparisonStatistics stats = CollectComparisonStatistics(comparison);
    const std::vector<TChangeTable> tables = ChangeTables(stats, TReportTables::All, 0, kNames);
    const TStatsGrid families = GridOf(tables[0], kLocale);
    ASSERT_EQ(families.Columns.back().Caption, "Change");
    // Images grew by 98 units (c.jpg), archives shrank by 47, documents by 1 (notes.txt).
    ASSERT_GE(families.Rows.size(), 3u);
    EXPECT_EQ(families.Rows[0].Cells[0].Text, "Images");
    EXPECT_DOUBLE_EQ(families.Rows[0].Bar, 1.0);
    EXPECT_EQ(families.Rows[0].Cells[5].Text, "+392 KB");
    EXPECT_EQ(families.Rows[1].Cells[0].Text, "Archives");
    EXPECT_NEAR(families.Rows[1].Bar, -47.0 / 98.0, 1e-9);
    const TStatsGrid grewFiles = GridOf(tables.back(), kLocale);
    EXPECT_EQ(grewFiles.Info.Key, "grew_file");
    EXPECT_EQ(grewFiles.Rows.front().Cells.back().Text, sample.Tree + "photos/c.jpg");
}
