#include "statsview/StatsGrid.h"

#include "core/NameOrder.h"
#include "output/ListColumns.h"
#include "output/SizeText.h"

#include <algorithm>
#include <cmath>

namespace vm {

namespace {

TGridCell Count(int64_t n)
{
    return {std::to_string(n), n};
}

TGridCell Bytes(int64_t n, const TLocale& locale)
{
    return {SizeText(n, locale), n};
}

TGridCell Share(double share, const TLocale& locale)
{
    return {ShareText(share, locale), std::llround(share * 1e9)};
}

TGridCell Change(int64_t change, const TLocale& locale)
{
    return {ChangeText(change, locale), change};
}

TGridCell Name(const std::string& name)
{
    return {OneLine(name), 0};
}

} // namespace

TStatsGrid GridOf(const TLogTable& table, const TLocale& locale)
{
    TStatsGrid grid;
    grid.Info = table.Info;
    const std::string& name = table.Info.NameCaption;
    if (table.Info.Paths) {
        grid.Columns = {{"Space"}, {"Size"}, {"Share"}, {name, false}};
        grid.BarColumn = 2;
        grid.SortColumn = 0;
    } else {
        grid.Columns = {{name, false}, {"Files"}, {"Size"}, {"Space"}, {"Share"}};
        grid.BarColumn = 4;
        grid.SortColumn = 3;
    }
    for (const TStatsRow& r : table.Rows) {
        TGridRow row;
        if (table.Info.Paths)
            row.Cells = {Bytes(r.Space, locale), Bytes(r.Size, locale), Share(r.Share, locale),
                         Name(r.Name)};
        else
            row.Cells = {Name(r.Name), Count(r.Count), Bytes(r.Size, locale),
                         Bytes(r.Space, locale), Share(r.Share, locale)};
        row.Bar = r.Share;
        row.Select = r.Select;
        grid.Rows.push_back(std::move(row));
    }
    // The age tables stand in the order of the ages, not of their space.
    if (table.Info.Key == "modified" || table.Info.Key == "accessed")
        grid.SortColumn = -1;
    return grid;
}

TStatsGrid GridOf(const TChangeTable& table, const TLocale& locale)
{
    TStatsGrid grid;
    grid.Info = table.Info;
    grid.Diverging = true;
    const std::string& name = table.Info.NameCaption;
    if (table.Info.Paths) {
        grid.Columns = {{"Change"}, {"Space was"}, {"Space now"}, {name, false}};
        grid.BarColumn = 0;
    } else {
        grid.Columns = {{name, false}, {"Files was"}, {"Files now"},
                        {"Space was"},  {"Space now"}, {"Change"}};
        grid.BarColumn = 5;
    }
    // The rows come largest change first, growth or loss; the bars measure against the largest.
    int64_t largest = 0;
    for (const TChangeRow& r : table.Rows)
        largest = std::max(largest, r.Change() < 0 ? -r.Change() : r.Change());
    for (const TChangeRow& r : table.Rows) {
        TGridRow row;
        if (table.Info.Paths)
            row.Cells = {Change(r.Change(), locale), Bytes(r.SpaceWas, locale),
                         Bytes(r.SpaceNow, locale), Name(r.Name)};
        else
            row.Cells = {Name(r.Name),
                         Count(r.CountWas),
                         Count(r.CountNow),
                         Bytes(r.SpaceWas, locale),
                         Bytes(r.SpaceNow, locale),
                         Change(r.Change(), locale)};
        row.Bar = largest > 0 ? double(r.Change()) / double(largest) : 0.0;
        row.Select = r.Select;
        grid.Rows.push_back(std::move(row));
    }
    return grid;
}

void SortGrid(TStatsGrid& grid, int column, bool descending)
{
    if (column < 0 || column >= static_cast<int>(grid.Columns.size()))
        return;
    const bool numeric = grid.Columns[column].Numeric;
    std::stable_sort(grid.Rows.begin(), grid.Rows.end(),
                     [&](const TGridRow& a, const TGridRow& b) {
                         const TGridCell& x = descending ? b.Cells[column] : a.Cells[column];
                         const TGridCell& y = descending ? a.Cells[column] : b.Cells[column];
                         return numeric ? x.Number < y.Number : CompareNames(x.Text, y.Text) < 0;
                     });
    grid.SortColumn = column;
    grid.Descending = descending;
}

std::string GridRowDescription(const TStatsGrid& grid, size_t row)
{
    std::string text;
    if (row >= grid.Rows.size())
        return text;
    for (size_t c = 0; c < grid.Columns.size(); ++c) {
        if (!text.empty())
            text += ", ";
        text += grid.Columns[c].Caption + " " + grid.Rows[row].Cells[c].Text;
    }
    return text;
}

} // namespace vm
