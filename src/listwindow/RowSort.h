// Sorting the shown order of a row store (listwindow/RowStore.h) by one key per row: the pieces the
// explore and compare windows' sort orders are made of. Header only: the keys are templates.
#pragma once

#include "core/NameOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace vm {

// Sorts the store's shown order by one key per shown row (keys[i] belongs to the row shown at
// i); `less` compares keys, `reverse` turns the order around. Equal keys keep their order
// either way.
template <class TStore, class TKey, class TLess>
void SortByKeys(TStore& store, std::vector<TKey> keys, TLess less, bool reverse)
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
    // The sorted positions become the new order in place: no third array of a row's size.
    const std::vector<uint32_t>& old = store.Order();
    for (uint32_t& position : positions)
        position = old[position];
    store.SetOrder(std::move(positions));
}

// The locale's comparison of two texts (strcoll).
inline bool CollateLess(const std::string& a, const std::string& b)
{
    return std::strcoll(a.c_str(), b.c_str()) < 0;
}

// The rank of each shown row's text among the distinct texts, so that a million rows compare
// numbers while only the few distinct texts (directories, types, conditions) go through the
// locale's comparison. idOf(row) names the text cheaply; textOf(row) makes it once per id.
template <class TId, class TStore, class TIdOf, class TTextOf>
std::vector<uint32_t> TextRanks(const TStore& store, TIdOf idOf, TTextOf textOf)
{
    std::unordered_map<TId, uint32_t> index;
    std::vector<std::string> texts;
    std::vector<uint32_t> ids(static_cast<size_t>(store.Count()));
    for (int i = 0; i < store.Count(); ++i) {
        const auto& row = store.Row(i);
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

// Sorts by name: the rows of group 0 (paths and folders) before those of group 1 (files), each
// group by its captions A to Z with ASCII letter case folded (core/NameOrder.h); `reverse` turns
// the whole order around. captionOf(row) gives a string_view that lives as long as the store.
template <class TStore, class TCaptionOf, class TGroupOf>
void SortByNames(TStore& store, TCaptionOf captionOf, TGroupOf groupOf, bool reverse)
{
    // 16 bytes a row: the group fills what would be the padding after the position.
    struct TNameKey
    {
        uint64_t Prefix;
        uint32_t Position;
        uint8_t Group;
    };
    const int n = store.Count();
    std::vector<TNameKey> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto& row = store.Row(i);
        keys[size_t(i)] = {NameSortKey(captionOf(row)), uint32_t(i), uint8_t(groupOf(row))};
    }
    auto less = [&](const TNameKey& a, const TNameKey& b) {
        if (a.Group != b.Group)
            return a.Group < b.Group;
        if (a.Prefix != b.Prefix)
            return a.Prefix < b.Prefix;
        return CompareNames(captionOf(store.Row(int(a.Position))),
                            captionOf(store.Row(int(b.Position)))) < 0;
    };
    SortByKeys(store, std::move(keys), less, reverse);
}

} // namespace vm
