// The text "Copy to clipboard" puts on the clipboard: a header line of the chosen columns'
// captions, then one line per row, every field followed by a tab. Sizes are copied as the list
// shows them or as plain numbers in bytes, kilobytes or megabytes, so that a spreadsheet can
// add them up. Built as one string straight from the table.
#pragma once

#include "output/ListColumns.h"
#include "platform/Locale.h"

#include <string>
#include <vector>

namespace vm {

// The choices of "Select file size format:", in their order.
enum class TSizeFormat
{
    AsDisplayed = 0, // "As displayed (eg 1.23MB or 10.5GB)"
    Bytes = 1,       // "Bytes (eg 1230000 or 10500000000)"
    KB = 2,          // "KB (eg 1230 or 10500000)"
    MB = 3,          // "MB (eg 1.23 or 10500)"
};

// A byte count as a number in the format: bytes with thousands separators and no decimals
// (1,234,567), kilobytes (/ 1024) and megabytes (/ 1048576) with two decimals. Not for
// AsDisplayed.
std::string SizeNumberText(int64_t bytes, TSizeFormat format, const TLocale& locale);

// The clipboard text of the table's columns (indexes, in order): lines end with "\n".
std::string ClipboardText(const TListTable& table, const std::vector<int>& columns,
                          TSizeFormat format, const TLocale& locale);

} // namespace vm
