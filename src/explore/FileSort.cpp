#include "explore/FileSort.h"

#include "listwindow/RowSort.h"

#include <algorithm>

namespace vm {

int SortCodeOf(const std::string& caption)
{
    if (caption.empty() || caption == "File name")
        return 5;
    if (caption == "Full path")
        return 1;
    if (caption == "Type")
        return 2;
    if (caption == "Date modified" || caption == "Date created" || caption == "Date accessed")
        return 4;
    if (caption == "File size")
        return 6;
    if (caption == "Disk space")
        return 7;
    if (caption == "Duplicates")
        return 8;
    if (caption == "Owner")
        return 9;
    if (caption == "Group")
        return 10;
    return 0;
}

void SortRowsByText(TFileListStore& store, const std::vector<std::string>& keys, int direction)
{
    SortByKeys(store, keys, CollateLess, direction < 0);
}

void SortRows(TFileListStore& store, const TFileListTable& table, int code)
{
    const bool reverse = code < 0;
    const int n = store.Count();
    auto byRow = [&store](auto f) { return [&store, f](int i) { return f(store.Row(i)); }; };
    switch (code < 0 ? -code : code) {
    case 1: {
        auto ranks = TextRanks<int64_t>(
            store,
            byRow([](const TFileRow& r) {
                return r.Kind == kRowPath ? -int64_t(r.Offset) - 2 : int64_t(r.DirOffset);
            }),
            byRow([&](const TFileRow& r) { return table.DirectoryText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), reverse);
        break;
    }
    case 2: {
        auto ranks = TextRanks<std::string>(
            store,
            byRow([&](const TFileRow& r) {
                return r.Kind == kRowFile ? table.TypeExtension(r) : std::string(1, char(r.Kind));
            }),
            byRow([&](const TFileRow& r) { return table.TypeText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), reverse);
        break;
    }
    case 4: {
        std::vector<TDateTime> dates(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            dates[size_t(i)] = store.Row(i).Date;
        SortByKeys(store, std::move(dates), std::less<TDateTime>(), reverse);
        break;
    }
    case 5:
        // Folders before files and names A to Z when reversed; the code itself means Z to A.
        SortByNames(
            store, byRow([&](const TFileRow& row) { return table.Caption(row); }),
            byRow([](const TFileRow& row) { return row.Image < kImagePlainFile ? 0 : 1; }),
            !reverse);
        break;
    case 6:
    case 7: {
        std::vector<int64_t> sizes(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            sizes[size_t(i)] = code == 6 || code == -6 ? store.Row(i).Size : store.Row(i).Allocated;
        SortByKeys(store, std::move(sizes), std::less<int64_t>(), !reverse);
        break;
    }
    case 8: {
        std::vector<std::string> names(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            names[size_t(i)] = std::string(store.Name(i));
        SortRowsByText(store, names, reverse ? -1 : 1);
        break;
    }
    case 9:
    case 10: {
        // Rows of one owner share an index, so each name is compared once per owner.
        const bool owner = code == 9 || code == -9;
        auto ranks = TextRanks<uint16_t>(
            store, byRow([&](const TFileRow& r) { return owner ? r.Owner : r.Group; }),
            byRow([&](const TFileRow& r) { return owner ? table.OwnerText(r) : table.GroupText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), reverse);
        break;
    }
    default:
        break;
    }
}

} // namespace vm
