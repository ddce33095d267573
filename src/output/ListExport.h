// "E&xport list ...": a list window's rows as they stand (view, filter, sort order, the columns
// shown) written into a CSV file (output/ExportWriter.h), each shown column with the text the
// window shows and, beside every size column, its exact byte count in a column of its own
// ("Disk space (bytes)"), so that a spreadsheet can add them up.
//
// The file is written under a temporary name and takes its name only when complete: a stop or
// a failure leaves no file behind, and an earlier file of that name as it was.
#pragma once

#include "output/ListTable.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

class TFileSystem;

// One column of the export: a shown column of the table, or the byte count behind one.
struct TListExportColumn
{
    int Column = 0;
    bool Bytes = false;
    std::string Name;
};
// The shown columns (a caption and a width above 0) in their order, each size column followed
// by its byte count.
std::vector<TListExportColumn> ListExportColumns(const TListTable& table);

// Told how many of the total rows are written; returns false to stop.
using TListExportProgress = std::function<bool(int done, int total)>;

struct TListExportResult
{
    int Rows = 0;
    bool Stopped = false;
};

// Writes the table into path. progress is called before the first row, after every `step`
// rows and at the end. Raises the file system's errors (the file is then not written).
TListExportResult ExportListCsv(const TListTable& table, TFileSystem& fs, const std::string& path,
                                const TListExportProgress& progress, int step = 5000);

} // namespace vm
