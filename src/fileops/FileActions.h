// What the file list's row actions decide from plain state: which items of the row pop-up menu
// are offered, the tag items it adds and how a tag item changes the selected rows. The explore
// window asks these; the compare window's tag items follow the same rules.
#pragma once

#include "core/TagSettings.h"
#include "display/ListRows.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

// What the explore window knows when its row pop-up menu opens.
struct TPopupState
{
    bool AllFilesView = false;
    bool AtRoot = true; // the list shows the root
    int SelectedRows = 0;
    bool HasFocusedRow = false;
    bool FocusedDeleted = false; // the focused row's entry is deleted from the disk
    uint8_t FocusedKind = kRowFile;
    bool ReadOnly = false; // the log is held read only: no tags, no deletion
};

struct TPopupEnabling
{
    bool Open = false, QuickView = false, SelectAll = false, DeleteSelected = false;
    bool Properties = false;
    bool CopyFiles = false, CopyAll = false, CopySelected = false;
    bool TagItems = false; // the focused row may take tags
};

// "Copy files" and "all files ..." in the all files view below the root, "selected files ..."
// also with a selection; the row items for a focused row that is not deleted: a directory has no
// Quick View, a path neither Quick View nor Delete, and several selected rows neither Open,
// Quick View nor Properties; a log held read only takes neither tags nor deletions. Quick View is
// never offered: there is no viewer to run.
TPopupEnabling ChildPopupEnabling(const TPopupState& state);

// One tag item of the pop-up menu.
struct TTagMenuItem
{
    std::string Caption;
    int Slot = 0;  // the tag settings line (0 to 11)
    int Bit = 0;   // the tag's bit in an entry's tag set (0 to 10, or 30)
    int Image = 0; // the tag image list's image
    bool Checked = false;
};

// One item per checked line of the tag settings, in their order, checked when every one of
// tagSets (the focused row's, or every selected row's) has the tag's bit.
std::vector<TTagMenuItem> TagMenuItems(const TTagSettings& settings,
                                       const std::vector<uint32_t>& tagSets);

enum class TTagChange
{
    Toggle, // one row: its bit flips
    Set,    // several rows, not all of which have the bit: all get it
    Clear   // several rows that all have it: all lose it
};
TTagChange TagItemChange(const std::vector<uint32_t>& tagSets, int bit);

// A tag item chosen for the entries at offsets of the log (open for writing): its bit toggled
// on one entry, else set on all or cleared from all as TagItemChange decides from their tag sets
// now. Entries deleted from the disk keep their mark.
void ApplyTagItem(TDirStorage& log, const std::vector<int64_t>& offsets, int bit);
// "Clear all tags": every tag bit of the entry cleared one at a time, so that the tagged chain
// lets it go with the last one. An entry deleted from the disk keeps its mark.
void ClearAllTags(TDirStorage& log, int64_t offset);

// Whether "Select all files" takes a row: every row but those of entries deleted from the disk.
bool SelectableByAll(uint32_t tags);

} // namespace vm
