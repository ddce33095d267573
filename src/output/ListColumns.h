// What printing, the clipboard and mail take from a list window, and the rules they share.
//
// A list window that wants its rows printed, copied and mailed offers a TListTable
// (output/ListTable.h) over its rows, and nothing else; it never hands over Qt items. What the
// outputs expect of it:
//   - Row numbers are the positions the window shows, 0 to RowCount() - 1; the rows must not
//     change while an output runs (the outputs read them straight from the table, no copy).
//   - Column 0 is the name the row shows as its caption ("File name"); a top-level path shows
//     its whole path there (so its caption holds a "/", which no file name can).
//   - Column 1 is the folder that holds the entry, ending with "/" ("Full path").
//   - Column 4 is the size text a mailed listing shows ("Disk space", "Space now").
//   - Columns without a caption are hidden values: no output shows them. Width 0 marks a
//     column the window hides for now (" <not used>" in print mode).
//   - RawNumber gives the byte count behind the size columns ("File size", "Disk space",
//     "Space was", "Space now"); the clipboard formats it in the chosen unit. "Changed by" is
//     taken as "Space now" minus "Space was" of the same row, whatever the window shows.
#pragma once

#include "output/ListTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The columns that output offers, by index in the table.
inline constexpr int kNameColumn = 0;
inline constexpr int kFolderColumn = 1;
inline constexpr int kMailSizeColumn = 4;

// One line of the column list of "Print options".
struct TColumnItem
{
    int Column = 0;   // index in the table
    std::string Text; // the caption, with " <not used>" for a hidden column in print mode
    bool Checkable = true;
};

// The items of the column list: every column with a caption, in order. In print mode a column
// of width 0 is marked " <not used>" and cannot be checked; in clipboard mode every item can.
std::vector<TColumnItem> ColumnItems(const TListTable& table, bool clipboardMode);

// Appends text so that it stays on one line and in one field, escaped as every printed name is
// (PrintableName): a tab, line break or other control character inside a name is written as
// \xNN. Backslashes stay as they are.
void AppendOneLine(std::string& out, std::string_view text);
std::string OneLine(std::string_view text);

// The characters of a UTF-8 text: its bytes other than continuation bytes.
size_t CharacterCount(std::string_view text);

// Where the numbers behind a table's size columns come from, found once per output.
class TColumnNumbers
{
public:
    explicit TColumnNumbers(const TListTable& table);
    // The byte count behind the column's text, or nothing for a column that shows none.
    std::optional<int64_t> Number(int row, int column) const;

private:
    const TListTable& table_;
    int changedBy_ = -1, spaceWas_ = -1, spaceNow_ = -1;
};

} // namespace vm
