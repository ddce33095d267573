#include "compare/CompareRules.h"

#include "display/DisplayHelpers.h"
#include "output/SizeText.h"

namespace vm {

TPopupEnabling ComparePopupEnabling(const TComparePopupInput& in)
{
    TPopupState state;
    state.AllFilesView = in.View == TView::AllFiles;
    state.AtRoot = in.RootSelected;
    state.SelectedRows = in.SelectedRows;
    state.HasFocusedRow = in.Row != nullptr;
    if (in.Row) {
        const TRowState shown = RowStateOf(*in.Row, in.TagsShown, in.TagsAvailable);
        state.FocusedKind = in.Row->TopLevel() ? uint8_t(kRowPath) : uint8_t(in.Row->Kind);
        state.FocusedDeleted = !in.TagsAvailable || !ReachesNewLog(*in.Row) ||
                               shown.Image == (shown.Tag ? kDeletedImage : int(TChange::Deleted));
    }
    return ChildPopupEnabling(state);
}

TRowState RowStateOf(const TCompareRow& row, bool tagsShown, bool tagsAvailable)
{
    const TChange change = row.Change;
    if (!tagsShown)
        return {RowStateImage(uint8_t(row.Kind), change), false};
    if (row.Kind == kRowFile && change == TChange::Deleted)
        return {kDeletedImage, true};
    return {tagsAvailable ? TagImageIndex(int32_t(row.Tags)) : kNoTagImage, true};
}

bool RowGhosted(const TCompareRow& row, bool tagsShown, bool tagsAvailable)
{
    if (tagsAvailable && row.DeletedFromDisk())
        return true;
    const TRowState state = RowStateOf(row, tagsShown, tagsAvailable);
    return state.Tag && state.Image == kDeletedImage;
}

std::vector<int> SelectableFileRows(const TCompareRowStore& store)
{
    std::vector<int> rows;
    for (int i = 0; i < store.Count(); ++i) {
        const TCompareRow& row = store.Row(i);
        if (row.Kind == kRowFile && !row.DeletedFromDisk())
            rows.push_back(i);
    }
    return rows;
}

bool DeselectedAgain(const TCompareRow& row, bool tagsAvailable)
{
    return tagsAvailable && row.DeletedFromDisk() && row.Kind != kRowFolder;
}

std::string SelectedTotalText(int64_t allocNow, const TLocale& locale)
{
    return "Total selected - " + SizeText(allocNow, locale);
}

bool ReachesNewLog(const TCompareRow& row)
{
    return row.InNewLog && !row.DeletedFromDisk();
}

} // namespace vm
