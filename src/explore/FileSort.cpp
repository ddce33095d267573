#include "explore/FileSort.h"

#include "core/NameOrder.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

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
    return 0;
}

namespace {

// Sorts the order by one key per shown row; `less` compares keys, `reverse` turns it around.
// Equal keys keep their order either way.
template <class TKey, class TLess>
void SortByKeys(TFileListStore& store, std::vector<TKey> keys, TLess less, bool reverse)
{
    std::vector<uint32_t> positions(keys.size());
    for (uint32_t i = 0; i < positions.size(); ++i)
        positions[i] = i;
    if (reverse)
        std::stable_sort(positions.begin(), positions.end(),
                         [&](uint32_t a, uint32_t b) { return less(keys[b], keys[a]); });
    else
        std::stable_sort(positions.begin(), positions.end(),
                         [&](uint32_t a, uint32_t b) { return less(keys[a], keys[b]); });
    std::vector<uint32_t> order(positions.size());
    const std::vector<uint32_t>& old = store.Order();
    for (size_t i = 0; i < positions.size(); ++i)
        order[i] = old[positions[i]];
    store.SetOrder(std::move(order));
}

bool CollateLess(const std::string& a, const std::string& b)
{
    return std::strcoll(a.c_str(), b.c_str()) < 0;
}

// The rank of each row's text among the distinct texts, so that a million rows compare numbers
// while only the few distinct texts (directories, types) go through the locale's comparison.
template <class TId, class TIdOf, class TTextOf>
std::vector<uint32_t> TextRanks(const TFileListStore& store, TIdOf idOf, TTextOf textOf)
{
    std::unordered_map<TId, uint32_t> index;
    std::vector<std::string> texts;
    std::vector<uint32_t> ids(static_cast<size_t>(store.Count()));
    for (int i = 0; i < store.Count(); ++i) {
        const TFileRow& row = store.Row(i);
        auto [it, added] = index.emplace(idOf(row), static_cast<uint32_t>(texts.size()));
        if (added)
            texts.push_back(textOf(row));
        ids[size_t(i)] = it->second;
    }
    std::vector<uint32_t> byText(texts.size());
    for (uint32_t i = 0; i < byText.size(); ++i)
        byText[i] = i;
    std::sort(byText.begin(), byText.end(),
              [&](uint32_t a, uint32_t b) { return CollateLess(texts[a], texts[b]); });
    std::vector<uint32_t> rank(texts.size());
    for (uint32_t r = 0; r < byText.size(); ++r)
        rank[byText[r]] =
            r > 0 && texts[byText[r]] == texts[byText[r - 1]] ? rank[byText[r - 1]] : r;
    for (uint32_t& id : ids)
        id = rank[id];
    return ids;
}

struct TNameKey
{
    uint8_t Group; // 0 paths and folders, 1 files
    uint64_t Prefix;
    uint32_t Position;
};

} // namespace

void SortRowsByText(TFileListStore& store, const std::vector<std::string>& keys, int direction)
{
    SortByKeys(store, keys, CollateLess, direction < 0);
}

void SortRows(TFileListStore& store, const TFileListTable& table, int code)
{
    const bool reverse = code < 0;
    const int n = store.Count();
    switch (code < 0 ? -code : code) {
    case 1: {
        auto ranks = TextRanks<int64_t>(
            store,
            [](const TFileRow& r) {
                return r.Kind == kRowPath ? -int64_t(r.Offset) - 2 : int64_t(r.DirOffset);
            },
            [&](const TFileRow& r) { return table.DirectoryText(r); });
        SortByKeys(store, std::move(ranks), std::less<uint32_t>(), reverse);
        break;
    }
    case 2: {
        auto ranks = TextRanks<std::string>(
            store,
            [&](const TFileRow& r) {
                return r.Kind == kRowFile ? table.TypeExtension(r) : std::string(1, char(r.Kind));
            },
            [&](const TFileRow& r) { return table.TypeText(r); });
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
    case 5: {
        // Folders before files and names A to Z when reversed; the code itself means Z to A.
        std::vector<TNameKey> keys(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const TFileRow& row = store.Row(i);
            keys[size_t(i)] = {uint8_t(row.Image < kImagePlainFile ? 0 : 1),
                               NameSortKey(table.Caption(row)), uint32_t(i)};
        }
        auto less = [&](const TNameKey& a, const TNameKey& b) {
            if (a.Group != b.Group)
                return a.Group < b.Group;
            if (a.Prefix != b.Prefix)
                return a.Prefix < b.Prefix;
            return CompareNames(table.Caption(store.Row(int(a.Position))),
                                table.Caption(store.Row(int(b.Position)))) < 0;
        };
        SortByKeys(store, std::move(keys), less, !reverse);
        break;
    }
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
    default:
        break;
    }
}

} // namespace vm
