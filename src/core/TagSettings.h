// The tag settings of one log, as the "Define user tags" dialog shows and edits them: twelve
// items ("Tag 1" to "Tag 11", then the rubbish bin) with a caption and a check mark each. Item
// i is tag number i + 1 of the log's name list; in the log's active-tag mask the eleven tags are
// bits 0 to 10 and the rubbish bin bit 30.
#pragma once

#include "core/DirStorage.h"

#include <array>
#include <cstdint>
#include <string>

namespace vm {

constexpr int kTagItemCount = 12;
constexpr int kRubbishBinItem = 11;
inline const char* const kUnusedTag = "Unused";

struct TTagSettings
{
    std::array<std::string, kTagItemCount> Captions;
    std::array<bool, kTagItemCount> Checked{};

    // The initial items: "Tag 1" to "Tag 11" and "Rubbish bin", none checked.
    TTagSettings();

    // Each item's caption from the log ("Unused" where it has no name) and its check mark from
    // the log's mask.
    void Load(const TDirStorage& log);
    // Stores the captions as tags 1 to 12 (a shorter list is padded with "New tag" first) and
    // then the mask. A log without a tag-name list keeps its names and mask.
    void Save(TDirStorage& log) const;

    // The log's mask of the checked items: bit i for item i, bit 30 for the rubbish bin.
    uint32_t LogMask() const;
    // The dialog's saved check state: bit i for item i, the rubbish bin included at bit 11.
    uint32_t CheckState() const;
    void SetCheckState(uint32_t state);
};

// The caption of item i for a log: its name of tag i + 1, or "Unused" when it has none.
std::string TagCaption(const TDirStorage& log, int item);
// The data word of an item: its position, the rubbish bin's 30 (its bit in the tag set).
int TagItemData(int item);
// Whether a caption can be stored as a tag name: a line break would shift every later name.
bool ValidTagCaption(const std::string& caption);
// Whether an item's caption may be edited (not the rubbish bin).
bool TagItemRenamable(int item);

// Writes the settings into the log file at path: opened for reading and writing with other
// writers shut out while it runs. Raises EStreamError (the file cannot be opened, or another
// program is writing it) and leaves the log as it was.
void SaveTagSettingsToFile(const TTagSettings& settings, const std::string& path);

} // namespace vm
