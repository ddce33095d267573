// What the compare window enables and selects, as functions of plain state: the row pop-up's
// items, the rows "Select all files" selects, the rows a selection may not keep, and the
// selection total.
#pragma once

#include "compare/CompareList.h"
#include "display/ListRows.h"
#include "fileops/FileActions.h"

#include <string>
#include <vector>

namespace vm {

// What the compare window knows when its row pop-up menu opens.
struct TComparePopupInput
{
    bool TagsAvailable = false;
    TView View = TView::Standard;
    bool RootSelected = true; // the tree's root is the selected node
    int SelectedRows = 0;
    const TCompareRow* Row = nullptr; // the row the pop-up is for (the focused one); null: none
    bool TagsShown = false;           // the list shows tag images rather than arrows
};

// The explore window's rules (fileops/FileActions.h), where a row counts as deleted when the
// new log cannot be reached, the row has no entry there, its entry is deleted from the disk, or
// it shows the deleted image (the deleted mark, or the arrow of an entry only the old log has).
TPopupEnabling ComparePopupEnabling(const TComparePopupInput& in);

// The image a row shows beside its own: with the arrows, its change (none for a path row); with
// the tags, the deleted mark for a deleted file, else the tag image of its tag set (kNoTagImage:
// none). The second tells whether it is a tag image.
struct TRowState
{
    int Image = 0;
    bool Tag = false;
};
TRowState RowStateOf(const TCompareRow& row, bool tagsShown, bool tagsAvailable);
// Whether the row is shown cut (dimmed): its entry was deleted from the disk, or it shows the
// deleted mark.
bool RowGhosted(const TCompareRow& row, bool tagsShown, bool tagsAvailable);

// The positions of the rows "Select all files" selects: files whose entry is not deleted from
// the disk.
std::vector<int> SelectableFileRows(const TCompareRowStore& store);
// Whether a row that has just been selected is deselected again: its entry was deleted from the
// disk and it is not a folder.
bool DeselectedAgain(const TCompareRow& row, bool tagsAvailable);
// Panel 2: "Total selected - 12 KB" (the space now of the selected rows).
std::string SelectedTotalText(int64_t allocNow, const TLocale& locale);

// Whether a row may be changed through the new log (tags, properties, deletion): it has an entry
// there that is not deleted from the disk.
bool ReachesNewLog(const TCompareRow& row);

} // namespace vm
