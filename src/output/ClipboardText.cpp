#include "output/ClipboardText.h"

namespace vm {

std::string SizeNumberText(int64_t bytes, TSizeFormat format, const TLocale& locale)
{
    switch (format) {
    case TSizeFormat::KB:
        return locale.FormatFixed(static_cast<double>(bytes) / 1024.0, 2);
    case TSizeFormat::MB:
        return locale.FormatFixed(static_cast<double>(bytes) / 1048576.0, 2);
    default:
        return locale.FormatFixed(static_cast<double>(bytes), 0);
    }
}

std::string ClipboardText(const TListTable& table, const std::vector<int>& columns,
                          TSizeFormat format, const TLocale& locale)
{
    const int rows = table.RowCount();
    const TColumnNumbers numbers(table);
    std::string out;
    out.reserve(static_cast<size_t>(rows + 1) * (columns.size() * 16 + 1));

    for (int column : columns) {
        AppendOneLine(out, table.Column(column).Caption);
        out += '\t';
    }
    out += '\n';
    for (int row = 0; row < rows; ++row) {
        for (int column : columns) {
            std::optional<int64_t> number;
            if (format != TSizeFormat::AsDisplayed)
                number = numbers.Number(row, column);
            if (number)
                out += SizeNumberText(*number, format, locale);
            else
                AppendOneLine(out, table.Text(row, column));
            out += '\t';
        }
        out += '\n';
    }
    return out;
}

} // namespace vm
