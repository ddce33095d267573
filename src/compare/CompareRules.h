// What the compare window enables and selects, as functions of plain state: the row pop-up's
// items, the rows "Select all files" selects, the rows a selection may not keep, and the
// selection total.
#pragma once

#include "compare/CompareList.h"
#include "explore/ListFill.h"

#include <string>
#include <vector>

namespace vm {

// The state the row pop-up's items depend on.
struct TPopupInput
{
    bool TagsAvailable = false;
    TView View = TView::Standard;
    bool RootSelected = true; // the tree's root is the selected node
    int SelectedRows = 0;
    const TCompareRow* Row = nullptr; // the row the pop-up is for (the focused one); null: none
    bool TagsShown = false;           // the list shows tag images rather than arrows
};

struct TPopupEnabling
{
    bool Open = false, QuickView = false, SelectAllFiles = false, DeleteSelected = false;
    bool CopyFiles = false, CopyAllFiles = false, CopySelectedFiles = false;
    bool Properties = false;
    bool TagItems = false; // the tag items and "Clear all tags" are offered
};

// Copying is offered in the all files view below the root (selected files: with a selection);
// deleting selected rows with a selection while the new log can be reached. The rest only for a
// row that has an entry in the new log that is not deleted from the disk (its tag image is not
// the deleted one, nor its arrow the deleted one): "Open" and "Properties" for one row, "Select
// all files", and the tag items. Quick View stays off: Linux has no such viewer.
TPopupEnabling PopupEnabling(const TPopupInput& in);

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
