#include "output/ListExport.h"

#include "output/ExportWriter.h"
#include "output/ListColumns.h"
#include "platform/PendingFile.h"

namespace vm {

std::vector<TListExportColumn> ListExportColumns(const TListTable& table)
{
    std::vector<TListExportColumn> columns;
    const TColumnNumbers numbers(table);
    for (int c = 0; c < table.ColumnCount(); ++c) {
        const TListColumn column = table.Column(c);
        if (column.Caption.empty() || column.Width <= 0)
            continue;
        columns.push_back({c, false, column.Caption});
        if (table.RowCount() > 0 ? numbers.Number(0, c).has_value() : column.RightAligned)
            columns.push_back({c, true, column.Caption + " (bytes)"});
    }
    return columns;
}

TListExportResult ExportListCsv(const TListTable& table, TFileSystem& fs, const std::string& path,
                                const TListExportProgress& progress, int step)
{
    const std::vector<TListExportColumn> columns = ListExportColumns(table);
    std::vector<std::string> names;
    for (const TListExportColumn& c : columns)
        names.push_back(c.Name);

    TPendingFile file(fs, path, TPendingFile::TOnCommit::Replace);
    TFileStream& stream = file.Stream();
    TExportWriter writer(TExportFormat::Csv, names, [&stream](std::string_view text) {
        stream.Write(text.data(), static_cast<int64_t>(text.size()));
    });
    const TColumnNumbers numbers(table);
    const int rows = table.RowCount();
    TListExportResult result;
    if (!progress(0, rows))
        return {0, true};
    for (int row = 0; row < rows; ++row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const TListExportColumn& c = columns[i];
            if (!c.Bytes) {
                writer.SetText(static_cast<int>(i), table.Text(row, c.Column));
            } else if (std::optional<int64_t> n = numbers.Number(row, c.Column)) {
                writer.SetNumber(static_cast<int>(i), *n);
            }
        }
        writer.EndRecord();
        if ((row + 1) % step == 0 && row + 1 < rows && !progress(row + 1, rows))
            return {row + 1, true};
    }
    writer.Finish();
    file.Commit();
    progress(rows, rows);
    result.Rows = rows;
    return result;
}

} // namespace vm
