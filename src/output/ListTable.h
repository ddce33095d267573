// A list window's rows as printing, the clipboard and mail read them, without the window: the
// columns with their captions, widths and alignment, and per row the text each column shows and,
// for columns that show a number (sizes), the number itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

struct TListColumn
{
    std::string Caption;
    int Width = 0; // in pixels as the window shows it; 0 for a hidden column
    bool RightAligned = false;
};

class TListTable
{
public:
    virtual ~TListTable() = default;
    virtual int ColumnCount() const = 0;
    virtual TListColumn Column(int column) const = 0;
    virtual int RowCount() const = 0;
    // The text the row shows in the column.
    virtual std::string Text(int row, int column) const = 0;
    // The number behind the text, for columns that show one (a size in bytes); nothing for the
    // others.
    virtual std::optional<int64_t> RawNumber(int row, int column) const = 0;
};

} // namespace vm
