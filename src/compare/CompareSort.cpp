#include "compare/CompareSort.h"

#include "listwindow/RowSort.h"

namespace vm {

int CompareSortKeyOf(const std::string& caption)
{
    if (caption.empty() || caption == "File name")
        return 1;
    if (caption == "Full path")
        return 2;
    if (caption == "File type")
        return 3;
    if (caption == "Condition")
        return 6;
    if (caption == "Date created" || caption == "Date modified" || caption == "Date accessed")
        return 7;
    if (caption == "Space was")
        return 8;
    if (caption == "Space now")
        return 9;
    if (caption == "Changed by")
        return 10;
    return 0;
}

void SortCompareRows(TCompareRowStore& store, const TCompareListTable& table, int key,
                     bool directionOn)
{
    const bool reverse = !directionOn;
    // The sorts take functions of a row and ask them in the order the rows were listed, which
    // is the comparison's: what a row carries is taken from it, the rest read through the table
    // in the file's order.
    auto byEntry = [&table](auto f) {
        return [&table, f](const TCompareRow& row) { return f(table.Entry(row)); };
    };
    auto numbers = [&](auto valueOf, bool largestFirst) {
        SortByKeyOf(store, byEntry(valueOf), std::less<>(), largestFirst != reverse);
    };
    switch (key) {
    case 1:
        SortByNames(
            store, [&table](const TCompareRow& row) { return table.Caption(row); },
            [](const TCompareRow& row) { return row.Image < kImagePlainFile ? 0 : 1; }, reverse);
        break;
    case 2: {
        // A directory's rows share its text: the directory's offset names it (a path's own
        // offset, kept apart from the directories' by its sign).
        auto ranks = TextRanks<int64_t>(
            store,
            [&](const TCompareRow& r) {
                return r.Kind == kRowPath ? -int64_t(r.Offset) - 2 : table.Entry(r).DirOffset;
            },
            [&table](const TCompareRow& r) { return table.DirectoryText(r); });
        SortByRanks(store, ranks, !reverse);
        break;
    }
    case 3: {
        auto ranks = TextRanks<std::string>(
            store,
            [&](const TCompareRow& r) {
                return r.Kind == kRowFile ? table.TypeExtension(r) : std::string(1, char(r.Kind));
            },
            [&table](const TCompareRow& r) { return table.TypeText(r); });
        SortByRanks(store, ranks, !reverse);
        break;
    }
    case 6: {
        auto ranks = TextRanks<int>(
            store, [](const TCompareRow& r) { return int(r.Kind) << 8 | int(r.Change); },
            [&table](const TCompareRow& r) { return table.ConditionText(r); });
        SortByRanks(store, ranks, !reverse);
        break;
    }
    case 7:
        numbers([&table](const TCompareEntry& e) { return e.Date(table.Options().DateType); },
                true);
        break;
    case 8:
        numbers([](const TCompareEntry& e) { return e.AllocWas; }, false);
        break;
    case 9:
        numbers([](const TCompareEntry& e) { return e.AllocNow; }, false);
        break;
    case 10:
        numbers([](const TCompareEntry& e) { return e.AllocWas - e.AllocNow; }, false);
        break;
    default:
        break;
    }
}

} // namespace vm
