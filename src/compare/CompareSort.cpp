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
    // The sorts take functions of a shown position; these lists' rows carry what they sort by.
    auto byRow = [&store](auto f) { return [&store, f](int i) { return f(store.Row(i)); }; };
    auto numbers = [&](auto valueOf, bool largestFirst) {
        SortByKeyOf(store, byRow(valueOf), std::less<>(), largestFirst != reverse);
    };
    switch (key) {
    case 1:
        SortByNames(
            store, byRow([&](const TCompareRow& row) { return table.Caption(row); }),
            byRow([](const TCompareRow& row) { return row.Image < kImagePlainFile ? 0 : 1; }),
            reverse);
        break;
    case 2: {
        auto ranks = TextRanks<int64_t>(
            store,
            byRow([](const TCompareRow& r) {
                return r.Kind == kRowPath ? -int64_t(r.Offset) - 2 : int64_t(r.DirOffset);
            }),
            byRow([&](const TCompareRow& r) { return table.DirectoryText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), !reverse);
        break;
    }
    case 3: {
        auto ranks = TextRanks<std::string>(
            store,
            byRow([&](const TCompareRow& r) {
                return r.Kind == kRowFile ? table.TypeExtension(r) : std::string(1, char(r.Kind));
            }),
            byRow([&](const TCompareRow& r) { return table.TypeText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), !reverse);
        break;
    }
    case 6: {
        auto ranks = TextRanks<int>(
            store, byRow([](const TCompareRow& r) { return r.Kind << 8 | int(r.Change()); }),
            byRow([&](const TCompareRow& r) { return table.ConditionText(r); }));
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), !reverse);
        break;
    }
    case 7:
        numbers([](const TCompareRow& r) { return r.Date; }, true);
        break;
    case 8:
        numbers([](const TCompareRow& r) { return r.AllocWas; }, false);
        break;
    case 9:
        numbers([](const TCompareRow& r) { return r.AllocNow; }, false);
        break;
    case 10:
        numbers([](const TCompareRow& r) { return r.AllocWas - r.AllocNow; }, false);
        break;
    default:
        break;
    }
}

} // namespace vm
