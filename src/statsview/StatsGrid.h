// A statistics table as the statistics view shows it: the cells of every row as texts with the
// numbers they sort by, the bar of each row's share (or change), and the selection that leads to
// the row's files. The view's model shows a grid and sorts it; nothing here draws.
#pragma once

#include "platform/Locale.h"
#include "statistics/StatisticsRows.h"
#include "statistics/StatisticsTables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

struct TGridColumn
{
    std::string Caption;
    bool Numeric = true; // right-aligned, sorted by number, largest first on its first click
};

struct TGridCell
{
    std::string Text;
    int64_t Number = 0; // the sort key of a numeric column
};

struct TGridRow
{
    std::vector<TGridCell> Cells;
    // The row's bar, from -1 to 1: its share of the table's total space, or its change against
    // the largest change of the table (negative for a loss).
    double Bar = 0;
    TStatsSelection Select;
};

struct TStatsGrid
{
    TStatsTableInfo Info;
    std::vector<TGridColumn> Columns;
    int BarColumn = -1; // the column whose cells carry the bar
    bool Diverging = false; // bars of change: losses to the left of the middle, growth right
    std::vector<TGridRow> Rows;
    // The order the rows stand in: the column and direction (as first shown: largest first).
    int SortColumn = -1;
    bool Descending = true;
};

// The grid of a log's table: name, files, size, space, share (a table of paths: space, size,
// share, path, as the report writes it). Names are made one line (control bytes escaped).
TStatsGrid GridOf(const TLogTable& table, const TLocale& locale);
// The grid of a comparison's table: name, files was, files now, space was, space now, change
// (a table of paths: change, space was, space now, path).
TStatsGrid GridOf(const TChangeTable& table, const TLocale& locale);

// Sorts the rows by a column: numbers by value, names in the order of names in a directory;
// rows that tie keep their order.
void SortGrid(TStatsGrid& grid, int column, bool descending);

// What a screen reader hears for a row: every cell with its caption ("Type Images, Files 12,
// ...").
std::string GridRowDescription(const TStatsGrid& grid, size_t row);

} // namespace vm
