#include "explore/Duplicates.h"

#include "explore/FileSort.h"

#include <charconv>

namespace vm {

namespace {

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool IsInteger(std::string_view s)
{
    s = Trimmed(s);
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

} // namespace

TDuplicateKey RemoveDuplicatePartFromFilename(std::string_view name)
{
    const size_t open = name.find('(');
    const size_t close = name.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return {false, std::string(name)};
    const std::string_view inside = name.substr(open + 1, close - open - 1);
    if (!inside.empty() && !IsInteger(inside))
        return {false, std::string(name)};
    std::string key(Trimmed(name.substr(0, open)));
    key += ExtensionOf(name);
    return {true, key};
}

std::string DuplicateMatchKey(std::string_view name, const TDuplicateOptions& options)
{
    std::string key = RemoveDuplicatePartFromFilename(name).Key;
    if (options.IgnoreExtension)
        key.resize(StemOf(key).size());
    return key;
}

bool ItemsMatch(const TFileListTable& table, int a, int b, const TDuplicateOptions& options)
{
    const int count = table.RowCount();
    if (a < 0 || b < 0 || a >= count || b >= count)
        return false;
    if (DuplicateMatchKey(table.Entry(a).Name, options) !=
        DuplicateMatchKey(table.Entry(b).Name, options))
        return false;
    if (options.MatchSize && table.Text(a, kColSize) != table.Text(b, kColSize))
        return false;
    if (options.MatchDate && table.Text(a, kColDate) != table.Text(b, kColDate))
        return false;
    return true;
}

void ExtractDuplicates(TFileListStore& store, const TFileListTable& table,
                       const TDuplicateOptions& options)
{
    std::vector<std::string> keys(static_cast<size_t>(store.Count()));
    for (int i = 0; i < store.Count(); ++i)
        keys[size_t(i)] = DuplicateMatchKey(table.Entry(i).Name, options);
    SortRowsByText(store, keys, 1);
    std::vector<uint32_t> kept;
    for (int i = 0; i < store.Count(); ++i)
        if (ItemsMatch(table, i, i - 1, options) || ItemsMatch(table, i, i + 1, options))
            kept.push_back(store.Order()[size_t(i)]);
    store.SetOrder(std::move(kept));
}

} // namespace vm
