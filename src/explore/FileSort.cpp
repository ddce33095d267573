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
    // Every key is read from the log, row by row in the order shown: right after a fill that is
    // the order of the log itself.
    const bool reverse = code < 0;
    std::string name; // read into, row after row
    switch (code < 0 ? -code : code) {
    case 1: {
        auto ranks = TextRanks<int64_t>(
            store,
            [&](const TFileRow& row) {
                const TDirNode* node = table.ShownNode(row, name);
                if (!node || row.Kind == kRowPath)
                    return -row.Offset - 2;
                return node->Level == 0 ? row.Offset : node->ParentOffset;
            },
            [&](const TFileRow& row) { return table.DirectoryText(table.Entry(row)); });
        SortByRanks(store, ranks, reverse);
        break;
    }
    case 2: {
        auto ranks = TextRanks<std::string>(
            store,
            [&](const TFileRow& row) {
                if (row.Kind != kRowFile)
                    return std::string(1, char(row.Kind));
                if (!table.ShownNode(row, name))
                    name.clear();
                return RowTypeExtension(name);
            },
            [&](const TFileRow& row) { return table.TypeText(table.Entry(row)); });
        SortByRanks(store, ranks, reverse);
        break;
    }
    case 4:
        SortByKeyOf(
            store,
            [&](const TFileRow& row) {
                const TDirNode* node = table.ShownNode(row, name, true);
                return node ? table.ShownDate(*node) : TDateTime(0);
            },
            std::less<TDateTime>(), reverse);
        break;
    case 5:
        // Folders before files and names A to Z when reversed; the code itself means Z to A.
        SortByNames(
            store,
            [&](const TFileRow& row) {
                if (!table.ShownNode(row, name))
                    name.clear();
                return RowCaption(name, uint8_t(row.Kind), table.Options().ShowExtensions);
            },
            [&](const TFileRow& row) { return row.Image < kImagePlainFile ? 0 : 1; }, !reverse);
        break;
    case 6:
    case 7: {
        const bool size = code == 6 || code == -6;
        SortByKeyOf(
            store,
            [&](const TFileRow& row) {
                const TDirNode* node = table.ShownNode(row, name);
                return !node ? int64_t(0) : size ? node->Size : node->Allocated;
            },
            std::less<int64_t>(), !reverse);
        break;
    }
    case 8: {
        std::vector<std::string> names(static_cast<size_t>(store.Count()));
        for (int i = 0; i < store.Count(); ++i)
            names[size_t(i)] = table.Entry(i).Name;
        SortRowsByText(store, names, reverse ? -1 : 1);
        break;
    }
    case 9:
    case 10: {
        // Rows of one owner share an id, so each name is compared once per owner.
        const bool owner = code == 9 || code == -9;
        auto ranks = TextRanks<uint32_t>(
            store,
            [&](const TFileRow& row) {
                const TDirNode* node = table.ShownNode(row, name);
                return !node ? kNoOwner : owner ? node->Owner : node->Group;
            },
            [&](const TFileRow& row) {
                const TFileEntry e = table.Entry(row);
                return owner ? table.OwnerText(e) : table.GroupText(e);
            });
        SortByRanks(store, ranks, reverse);
        break;
    }
    default:
        break;
    }
}

} // namespace vm
