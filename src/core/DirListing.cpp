#include "core/DirListing.h"

#include "core/NameOrder.h"

#include <algorithm>

namespace vm {

void ListSorted(TFileSystem& fs, TDirHandle dir, TListing& l, std::stop_token stop)
{
    l.Error = 0;
    l.Complete = fs.ListDirectory(dir, l.Entries, l.Count, l.Error, stop);
    l.Order.clear();
    l.Order.reserve(l.Count);
    for (size_t i = 0; i < l.Count; ++i)
        l.Order.push_back({NameSortKey(l.Entries[i].Name), static_cast<uint32_t>(i)});
    const std::vector<TFileInfo>& entries = l.Entries;
    std::sort(l.Order.begin(), l.Order.end(),
              [&entries](const TListing::TSortItem& a, const TListing::TSortItem& b) {
                  if (a.Key != b.Key)
                      return a.Key < b.Key;
                  return NameLess(entries[a.Index].Name, entries[b.Index].Name);
              });
}

} // namespace vm
