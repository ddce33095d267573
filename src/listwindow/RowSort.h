// Sorting the shown order of a row store (listwindow/RowStore.h) by one key per row: the pieces the
// explore and compare windows' sort orders are made of. Header only: the keys are templates.
#pragma once

#include "core/NameOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace vm {

// The store's new shown order: entries[k].Position is the position shown until now of the row
// to show at k. The old order goes before the new one is made, so that no more than one order
// and the entries are held at once.
template <class TStore, class TEntries> void ReorderByPositions(TStore& store, TEntries& entries)
{
    if (!store.InStoredOrder()) {
        for (auto& entry : entries)
            entry.Position = store.StoredIndex(int(entry.Position));
        store.SetOrder({});
    }
    std::vector<uint32_t> order(entries.size());
    for (size_t k = 0; k < entries.size(); ++k)
        order[k] = entries[k].Position;
    entries.clear();
    entries.shrink_to_fit();
    store.SetOrder(std::move(order));
}

// The entries of a sort: a key and the position of its row, packed so that an eight-byte key
// and its position take 12 bytes, not 16.
#pragma pack(push, 4)
template <class TKey> struct TSortEntry
{
    TKey Key;
    uint32_t Position;
};
#pragma pack(pop)

// Sorts the entries by key (the position breaks ties, so that an unstable sort gives the stable
// order without a buffer of the entries' size) and makes their positions the new order.
template <class TStore, class TKey, class TLess>
void SortEntries(TStore& store, std::vector<TSortEntry<TKey>>& entries, TLess less, bool reverse)
{
    std::sort(entries.begin(), entries.end(),
              [&](const TSortEntry<TKey>& a, const TSortEntry<TKey>& b) {
                  const TKey& x = reverse ? b.Key : a.Key;
                  const TKey& y = reverse ? a.Key : b.Key;
                  if (less(x, y))
                      return true;
                  if (less(y, x))
                      return false;
                  return a.Position < b.Position;
              });
    ReorderByPositions(store, entries);
}

// Sorts the store's shown order by one key per shown row: keyOf(row) gives the key of a row,
// asked once per row in the order the rows were stored (so that keys read from a file are read
// in its order; it gets the row, since a row looked up by its position would be read out of
// that order).
// `less` compares keys, `reverse` turns the order around. Equal keys keep their order either
// way. Holds the keys with the rows' positions and the new order while it sorts.
template <class TStore, class TKeyOf, class TLess>
void SortByKeyOf(TStore& store, TKeyOf keyOf, TLess less, bool reverse)
{
    using TKey = std::decay_t<decltype(keyOf(store.Stored(0)))>;
    std::vector<TSortEntry<TKey>> entries;
    entries.reserve(static_cast<size_t>(store.Count()));
    store.ForEachInStoredOrder([&](int i, const auto& row) {
        entries.push_back({keyOf(row), uint32_t(i)});
    });
    SortEntries(store, entries, less, reverse);
}

// Sorts by one key per shown row held in a vector (keys[i] belongs to the row shown at i).
template <class TStore, class TKey, class TLess>
void SortByKeys(TStore& store, const std::vector<TKey>& keys, TLess less, bool reverse)
{
    std::vector<TSortEntry<TKey>> entries(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        entries[i] = {keys[i], uint32_t(i)};
    SortEntries(store, entries, less, reverse);
}

// The locale's comparison of two texts (strcoll).
inline bool CollateLess(const std::string& a, const std::string& b)
{
    return std::strcoll(a.c_str(), b.c_str()) < 0;
}

// The rank of each shown row's text among the distinct texts, so that a million rows compare
// numbers while only the few distinct texts (directories, types, conditions) go through the
// locale's comparison. idOf(row) names the text of a row cheaply; textOf(row) makes it once per
// id (both asked in the order the rows were stored).
template <class TId, class TStore, class TIdOf, class TTextOf>
std::vector<uint32_t> TextRanks(const TStore& store, TIdOf idOf, TTextOf textOf)
{
    std::unordered_map<TId, uint32_t> index;
    std::vector<std::string> texts;
    std::vector<uint32_t> ids(static_cast<size_t>(store.Count()));
    store.ForEachInStoredOrder([&](int i, const auto& row) {
        auto [it, added] = index.try_emplace(idOf(row), static_cast<uint32_t>(texts.size()));
        if (added)
            texts.push_back(textOf(row));
        ids[size_t(i)] = it->second;
    });
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

// Sorts by ranks (ranks[i] belongs to the row shown at i, as TextRanks gives them: fewer ranks
// than rows), lowest first or, reversed, highest first; equal ranks keep their order. A counting
// sort: one pass to count, one to place, whatever the number of rows.
template <class TStore>
void SortByRanks(TStore& store, const std::vector<uint32_t>& ranks, bool reverse)
{
    uint32_t top = 0;
    for (uint32_t rank : ranks)
        top = std::max(top, rank);
    std::vector<size_t> start(size_t(top) + 2, 0);
    for (uint32_t rank : ranks)
        ++start[(reverse ? top - rank : rank) + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<uint32_t> order(ranks.size());
    const bool identity = store.InStoredOrder();
    for (size_t i = 0; i < ranks.size(); ++i)
        order[start[reverse ? top - ranks[i] : ranks[i]]++] =
            identity ? uint32_t(i) : store.StoredIndex(int(i));
    store.SetOrder(std::move(order));
}

// The bytes of a name from 8 * chunk on, as NameSortKey takes its first eight but as they are
// (not folded): what orders names that are equal with letter case folded.
inline uint64_t RawNameChunk(std::string_view name, size_t chunk)
{
    uint64_t key = 0;
    for (size_t i = 8 * chunk; i < 8 * chunk + 8; ++i)
        key = key << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    return key;
}

// Sorts by name: the rows of group 0 (paths and folders) before those of group 1 (files), each
// group by its captions A to Z with ASCII letter case folded (core/NameOrder.h); `reverse` turns
// the whole order around. captionOf(row) gives the caption of a row (a string, or a view that
// holds until the next call), groupOf(row) its group.
//
// Rows are sorted on eight bytes of their captions at a time: the first eight of every caption,
// then, for each run of rows tied on them, the next eight, read again for those rows only, and
// so on; captions equal with letter case folded are then ordered by their bytes as they are.
// Millions of names alike in their first bytes ("IMG_2023...") cost passes over those rows,
// never a copy of their names.
template <class TStore, class TCaptionOf, class TGroupOf>
void SortByNames(TStore& store, TCaptionOf captionOf, TGroupOf groupOf, bool reverse)
{
    // 12 bytes a row: the group is the top bit of the position's word (2^31 rows at most).
#pragma pack(push, 4)
    struct TNameKey
    {
        uint64_t Chunk;
        uint32_t Position : 31;
        uint32_t Group : 1;
    };
#pragma pack(pop)
    static_assert(sizeof(TNameKey) == 12);
    std::vector<TNameKey> keys;
    keys.reserve(static_cast<size_t>(store.Count()));
    store.ForEachInStoredOrder([&](int i, const auto& row) {
        keys.push_back({NameSortKey(captionOf(row)), uint32_t(i), groupOf(row) ? 1u : 0u});
    });
    auto before = [reverse](const TNameKey& a, const TNameKey& b) {
        if (a.Group != b.Group)
            return reverse ? a.Group > b.Group : a.Group < b.Group;
        if (a.Chunk != b.Chunk)
            return reverse ? a.Chunk > b.Chunk : a.Chunk < b.Chunk;
        return a.Position < b.Position;
    };
    std::sort(keys.begin(), keys.end(), before);

    struct TRun
    {
        size_t Begin, End;
        size_t Chunk; // the chunk to read next
        bool Raw;     // bytes as they are, the captions being equal when folded
    };
    std::vector<TRun> runs;
    // Queues every run of rows in keys[begin, end) tied on the chunk they were sorted by.
    auto queueTies = [&](size_t begin, size_t end, size_t chunk, bool raw) {
        for (size_t b = begin; b < end;) {
            size_t e = b + 1;
            while (e < end && keys[e].Group == keys[b].Group && keys[e].Chunk == keys[b].Chunk)
                ++e;
            // Names hold no NUL: a chunk that ends in one ends the captions.
            const bool ended = (keys[b].Chunk & 0xFF) == 0;
            if (e - b > 1 && !ended)
                runs.push_back({b, e, chunk + 1, raw});
            else if (e - b > 1 && !raw)
                runs.push_back({b, e, 0, true});
            b = e;
        }
    };
    queueTies(0, keys.size(), 0, false);
    while (!runs.empty()) {
        const TRun run = runs.back();
        runs.pop_back();
        const auto first = keys.begin() + std::ptrdiff_t(run.Begin);
        const auto last = keys.begin() + std::ptrdiff_t(run.End);
        // Read in the order stored, the order of the file.
        std::sort(first, last, [&](const TNameKey& a, const TNameKey& b) {
            return store.StoredIndex(int(a.Position)) < store.StoredIndex(int(b.Position));
        });
        for (auto k = first; k != last; ++k) {
            // A string the function returns lives as long as this reference.
            const auto& held = captionOf(store.Row(int(k->Position)));
            const std::string_view caption = held;
            k->Chunk =
                run.Raw ? RawNameChunk(caption, run.Chunk)
                        : NameSortKey(8 * run.Chunk < caption.size() ? caption.substr(8 * run.Chunk)
                                                                     : std::string_view());
        }
        std::sort(first, last, before);
        queueTies(run.Begin, run.End, run.Chunk, run.Raw);
    }
    ReorderByPositions(store, keys);
}

} // namespace vm
