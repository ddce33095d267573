#include "output/ListColumns.h"

#include "platform/TextCoding.h"

namespace vm {

std::vector<TColumnItem> ColumnItems(const TListTable& table, bool clipboardMode)
{
    std::vector<TColumnItem> items;
    for (int c = 0; c < table.ColumnCount(); ++c) {
        TListColumn column = table.Column(c);
        if (column.Caption.empty())
            continue;
        TColumnItem item;
        item.Column = c;
        item.Text = column.Caption;
        if (!clipboardMode && column.Width == 0) {
            item.Text += " <not used>";
            item.Checkable = false;
        }
        items.push_back(std::move(item));
    }
    return items;
}

void AppendOneLine(std::string& out, std::string_view text)
{
    out += PrintableName(text, "");
}

std::string OneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendOneLine(out, text);
    return out;
}

size_t CharacterCount(std::string_view text)
{
    size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

TColumnNumbers::TColumnNumbers(const TListTable& table) : table_(table)
{
    for (int c = 0; c < table.ColumnCount(); ++c) {
        const std::string caption = table.Column(c).Caption;
        if (caption == "Changed by")
            changedBy_ = c;
        else if (caption == "Space was")
            spaceWas_ = c;
        else if (caption == "Space now")
            spaceNow_ = c;
    }
}

std::optional<int64_t> TColumnNumbers::Number(int row, int column) const
{
    if (column == changedBy_ && spaceWas_ >= 0 && spaceNow_ >= 0) {
        std::optional<int64_t> was = table_.RawNumber(row, spaceWas_);
        std::optional<int64_t> now = table_.RawNumber(row, spaceNow_);
        if (was && now)
            return *now - *was;
    }
    return table_.RawNumber(row, column);
}

} // namespace vm
