#include "refman/TagItems.h"

#include <algorithm>

namespace vm {

std::vector<TTagItem> TagMenuItems(const TTagSettings& settings,
                                   const std::vector<uint32_t>& selectedTags)
{
    std::vector<TTagItem> items;
    for (int i = 0; i < kTagItemCount; ++i) {
        if (!settings.Checked[size_t(i)])
            continue;
        TTagItem item;
        item.Caption = settings.Captions[size_t(i)];
        item.Bit = TagItemData(i);
        item.Image = i;
        const uint32_t mask = uint32_t(1) << item.Bit;
        item.Checked = !selectedTags.empty() &&
                       std::all_of(selectedTags.begin(), selectedTags.end(),
                                   [mask](uint32_t tags) { return (tags & mask) != 0; });
        items.push_back(item);
    }
    return items;
}

void ApplyTagItem(TDirStorage& log, const std::vector<int32_t>& offsets, int bit)
{
    if (offsets.size() == 1) {
        log.ToggleTag(offsets.front(), bit);
        return;
    }
    const uint32_t mask = uint32_t(1) << bit;
    const bool all = std::all_of(offsets.begin(), offsets.end(),
                                 [&](int32_t at) { return (log.ReadTags(at) & mask) != 0; });
    for (int32_t at : offsets)
        all ? log.ClearTag(at, bit) : log.SetTag(at, bit);
}

void ClearAllTags(TDirStorage& log, const std::vector<int32_t>& offsets)
{
    for (int32_t at : offsets) {
        const uint32_t tags = log.ReadTags(at) & ~kTagDeleted;
        for (int bit = 0; bit < 31; ++bit)
            if (tags & (uint32_t(1) << bit))
                log.ClearTag(at, bit);
    }
}

} // namespace vm
