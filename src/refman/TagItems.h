// The tag items of a file list's pop-up menu and what clicking them does to the log: one item
// per tag that the tag settings have checked, and "Clear all tags".
#pragma once

#include "core/DirStorage.h"
#include "refman/TagSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

struct TTagItem
{
    std::string Caption;
    int Bit = 0;   // 0 to 10, or 30 for the rubbish bin
    int Image = 0; // the tag image: the bit's own, 11 for the rubbish bin
    bool Checked = false;
};

// The items for the selected entries' tag sets, in the settings' order: checked when every one
// of the selected entries has the tag.
std::vector<TTagItem> TagMenuItems(const TTagSettings& settings,
                                   const std::vector<uint32_t>& selectedTags);

// Clicking the item of `bit` with the entries at offsets selected: one entry has the bit toggled;
// several lose it when all of them have it, else all get it.
void ApplyTagItem(TDirStorage& log, const std::vector<int32_t>& offsets, int bit);
// "Clear all tags": every tag of each entry is cleared (a deleted-from-disk mark stays).
void ClearAllTags(TDirStorage& log, const std::vector<int32_t>& offsets);

} // namespace vm
