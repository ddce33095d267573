// A list window's rows made up in a test: columns, texts and the numbers behind size columns,
// as printing, the clipboard and mail read them.
#pragma once

#include "output/ListTable.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vmtest {

class ListTableDouble : public vm::TListTable
{
public:
    std::vector<vm::TListColumn> Columns;
    std::vector<std::vector<std::string>> Rows;     // one text per column
    std::map<std::pair<int, int>, int64_t> Numbers; // (row, column) -> bytes

    // A row; sizes (column, bytes) become the numbers behind those columns.
    ListTableDouble& Add(std::vector<std::string> texts,
                         std::vector<std::pair<int, int64_t>> sizes = {})
    {
        texts.resize(Columns.size());
        for (auto [column, bytes] : sizes)
            Numbers[{int(Rows.size()), column}] = bytes;
        Rows.push_back(std::move(texts));
        return *this;
    }

    int ColumnCount() const override { return int(Columns.size()); }
    vm::TListColumn Column(int column) const override { return Columns.at(size_t(column)); }
    int RowCount() const override { return int(Rows.size()); }
    std::string Text(int row, int column) const override
    {
        return Rows.at(size_t(row)).at(size_t(column));
    }
    std::optional<int64_t> RawNumber(int row, int column) const override
    {
        auto it = Numbers.find({row, column});
        if (it == Numbers.end())
            return std::nullopt;
        return it->second;
    }
};

// The explore window's shown columns: "File name", "Full path" (hidden: width 0), "Type",
// "File size", "Disk space", "Date modified", and one column of raw values without a caption.
inline ListTableDouble ExploreLikeTable()
{
    ListTableDouble t;
    t.Columns = {{"File name", 180, false},
                 {"Full path", 0, false},
                 {"Type", 100, false},
                 {"File size", 100, true},
                 {"Disk space", 100, true},
                 {"Date modified", 115, false},
                 {"", 0, false}};
    return t;
}

} // namespace vmtest
