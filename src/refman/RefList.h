// What the reference manager's two lists show: the reference list with the date, size and change
// of each reference's latest log, and the right-hand list in one of its three views (logs,
// comparisons, paths), each row with its texts, its picture and the keys it sorts by. The rows
// are read from the data directory through the reference store; the window only shows them.
#pragma once

#include "platform/Locale.h"
#include "references/RefStore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vm {

inline const char* const kNotLogged = "<not logged>";

// A row of the reference list.
struct TRefRow
{
    int Number = -1;
    std::string Caption; // the stored name; the section key when the name is empty
    // "Last log date", "Last log size", "Log change".
    std::string LastLogDate, LastLogSize, LogChange;
    // What those three columns sort by: the latest log's date and space taken, and the change
    // since the log before it (0 when "Log change" is empty).
    double DateKey = 0;
    int64_t SizeKey = 0;
    int64_t ChangeKey = 0;
};

// Every reference of the data directory, in number order. The latest log is the one with the
// latest date among the logs taken in number order; the change compares it with the latest one
// before it. Only the headers of the logs are read, and the roots of those two.
std::vector<TRefRow> ListReferenceRows(const TRefStore& store, const TLocale& locale);

// The views of the right-hand list.
enum class TRHSView
{
    Logs,
    Compares,
    Paths,
    History // a chart and a table of the logs over time instead of the list
};

struct TRHSColumn
{
    const char* Caption;
    int Width;
    bool RightAligned;
};

struct TRHSViewInfo
{
    const char* ActionCaption; // the item of the "&View" menu
    int ButtonImage;           // the View button's picture
    std::array<TRHSColumn, 4> Columns;
    int FillSortCode; // the order a fresh fill is sorted in
};
const TRHSViewInfo& ViewInfo(TRHSView view);
// The view the View button shows next: logs, comparisons, paths, history, logs ...
TRHSView NextView(TRHSView view);

// A row of the right-hand list.
struct TRHSRow
{
    std::string Caption;
    std::array<std::string, 3> Columns; // the texts of the other columns
    int Image = -1;
    int StateImage = -1;   // comparisons: unchanged, smaller or bigger
    std::string FileName;  // logs and comparisons: the file listed, in the reference directory
    int Log = 0;           // logs: the log's number; comparisons: the old log
    int NewLog = 0;        // comparisons: the new log
    int64_t Size = 0;      // logs: the size total; comparisons: how much the space grew
    int64_t Allocated = 0; // logs: the space taken
    double Date = 0;       // logs: the log's date; comparisons: when the file was written
    TRefPath Path;         // paths: as stored
};

// The logs of reference n in number order: "Log 12", size, space taken, date ("unavailable"
// for a log that cannot be read).
std::vector<TRHSRow> LogRows(const TRefStore& store, const TLocale& locale, int n);
// The comparisons of reference n: "Log 11 with Log 12", when written, growth of the space taken.
std::vector<TRHSRow> ComparisonRows(const TRefStore& store, const TLocale& locale, int n);
// The paths of reference n as stored; none for a reference without paths.
std::vector<TRHSRow> PathRows(const TRefStore& store, int n);

// The widths of a list's columns in pixels: each the wider of its least width and the width of
// what it shows, except that the first column (names and paths, which may be long) is narrowed
// so that the other columns stay within the available width, though never below its least
// width. A column whose least width is negative is hidden and keeps width 0.
std::vector<int> FitColumnWidths(const std::vector<int>& least, const std::vector<int>& shown,
                                 int available);

// The texts of the rows shown in the views.
std::string LogCaption(int number);
std::string ComparisonCaption(int first, int second);

} // namespace vm
