#include "fileops/FileActions.h"

#include "core/LogFormat.h"
#include "display/DisplayHelpers.h"

#include <algorithm>

namespace vm {

TPopupEnabling ChildPopupEnabling(const TPopupState& state)
{
    TPopupEnabling e;
    e.CopyFiles = e.CopyAll = state.AllFilesView && !state.AtRoot;
    e.CopySelected = e.CopyAll && state.SelectedRows > 0;
    if (!state.HasFocusedRow || state.FocusedDeleted)
        return e;
    e.Open = e.SelectAll = e.DeleteSelected = e.Properties = e.TagItems = true;
    if (state.FocusedKind == kRowPath)
        e.DeleteSelected = false;
    if (state.SelectedRows > 1)
        e.Open = e.Properties = false;
    if (state.ReadOnly)
        e.DeleteSelected = e.TagItems = false;
    return e;
}

std::vector<TTagMenuItem> TagMenuItems(const TTagSettings& settings,
                                       const std::vector<uint32_t>& tagSets)
{
    std::vector<TTagMenuItem> items;
    for (int slot = 0; slot < kTagItemCount; ++slot) {
        if (!settings.Checked[size_t(slot)])
            continue;
        TTagMenuItem item;
        item.Caption = settings.Captions[size_t(slot)];
        item.Slot = slot;
        item.Bit = TagItemData(slot);
        item.Image = item.Bit <= 10 ? item.Bit : kRubbishBinImage;
        const uint32_t mask = uint32_t(1) << item.Bit;
        item.Checked = !tagSets.empty() && std::all_of(tagSets.begin(), tagSets.end(),
                                                       [mask](uint32_t t) { return t & mask; });
        items.push_back(std::move(item));
    }
    return items;
}

TTagChange TagItemChange(const std::vector<uint32_t>& tagSets, int bit)
{
    if (tagSets.size() <= 1)
        return TTagChange::Toggle;
    const uint32_t mask = uint32_t(1) << bit;
    const bool all =
        std::all_of(tagSets.begin(), tagSets.end(), [mask](uint32_t t) { return t & mask; });
    return all ? TTagChange::Clear : TTagChange::Set;
}

void ApplyTagItem(TDirStorage& log, const std::vector<int64_t>& offsets, int bit)
{
    std::vector<int64_t> live;
    std::vector<uint32_t> tagSets;
    for (int64_t offset : offsets) {
        const uint32_t tags = log.ReadTags(offset);
        if (tags & kTagDeleted)
            continue;
        live.push_back(offset);
        tagSets.push_back(tags);
    }
    const TTagChange change = TagItemChange(tagSets, bit);
    for (int64_t offset : live) {
        if (change == TTagChange::Toggle)
            log.ToggleTag(offset, bit);
        else if (change == TTagChange::Set)
            log.SetTag(offset, bit);
        else
            log.ClearTag(offset, bit);
    }
}

void ClearAllTags(TDirStorage& log, int64_t offset)
{
    if (log.ReadTags(offset) & kTagDeleted)
        return;
    for (int bit = 0; bit < 31; ++bit)
        if (log.ReadTags(offset) & (uint32_t(1) << bit))
            log.ClearTag(offset, bit);
}

bool SelectableByAll(uint32_t tags)
{
    return (tags & kTagDeleted) == 0;
}

} // namespace vm
