// What the compare window offers for a row: the pop-up's items, the image beside the row, the
// dimming, and which rows a selection keeps.
#include "compare/CompareRules.h"

#include "app/DisplayHelpers.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

TCompareRow Row(uint8_t kind, int64_t was, int64_t now, uint8_t condition, int32_t newLog = 500,
                uint32_t tags = 0)
{
    TCompareRow row;
    row.Kind = kind;
    row.AllocWas = was;
    row.AllocNow = now;
    row.Condition = condition;
    row.NewLogOffset = condition == kConditionDeleted ? kNoOffset : newLog;
    row.Tags = tags;
    return row;
}

TEST(CompareRules, PopupOffersOnlyWhatTheRowAllows)
{
    const TCompareRow file = Row(kRowFile, 4096, 8192, kConditionBoth, 500, 1);
    TComparePopupInput in;
    in.TagsAvailable = true;
    in.SelectedRows = 1;
    in.Row = &file;
    TPopupEnabling e = ComparePopupEnabling(in);
    EXPECT_TRUE(e.Open && e.SelectAll && e.Properties && e.TagItems && e.DeleteSelected);
    EXPECT_FALSE(e.QuickView);
    EXPECT_FALSE(e.CopyFiles); // the standard view of the root
    in.View = TView::AllFiles;
    in.RootSelected = false;
    in.SelectedRows = 2;
    e = ComparePopupEnabling(in);
    EXPECT_TRUE(e.CopyFiles && e.CopyAll && e.CopySelected);
    EXPECT_FALSE(e.Open || e.Properties); // several rows
    EXPECT_TRUE(e.TagItems);

    // A path is never deleted; a row only the old log has, or one deleted from the disk, gets
    // nothing that reaches the new log; nor does any row of a read-only window.
    const TCompareRow path = Row(kRowPath, 0, 4096, kConditionBoth);
    in.Row = &path;
    EXPECT_FALSE(ComparePopupEnabling(in).DeleteSelected);
    const TCompareRow gone = Row(kRowFile, 4096, 0, kConditionDeleted);
    const TCompareRow removed = Row(kRowFile, 4096, 4096, kConditionBoth, 500, kTagDeleted);
    for (const TCompareRow* row : {&gone, &removed}) {
        in.Row = row;
        e = ComparePopupEnabling(in);
        EXPECT_FALSE(e.Open || e.SelectAll || e.Properties || e.TagItems || e.DeleteSelected);
    }
    in.Row = &file;
    in.TagsAvailable = false;
    e = ComparePopupEnabling(in);
    EXPECT_FALSE(e.TagItems || e.DeleteSelected || e.Open);
    EXPECT_TRUE(e.CopyFiles);
}

TEST(CompareRules, ImagesAndDimmingFollowTheChangeOrTheTags)
{
    const TCompareRow bigger = Row(kRowFile, 4096, 8192, kConditionBoth, 500, 0x4);
    const TCompareRow deleted = Row(kRowFile, 4096, 0, kConditionDeleted);
    const TCompareRow folder = Row(kRowFolder, 4096, 0, kConditionDeleted);
    const TCompareRow path = Row(kRowPath, 4096, 8192, kConditionBoth);
    const TCompareRow removed = Row(kRowFile, 4096, 4096, kConditionBoth, 500, kTagDeleted);
    // Arrows.
    EXPECT_EQ(RowStateOf(bigger, false, true).Image, int(TChange::Bigger));
    EXPECT_EQ(RowStateOf(deleted, false, true).Image, int(TChange::Deleted));
    EXPECT_EQ(RowStateOf(path, false, true).Image, 0);
    // Tags: a deleted file shows the deleted mark whether or not the new log can be read.
    EXPECT_EQ(RowStateOf(bigger, true, true).Image, 2);
    EXPECT_EQ(RowStateOf(deleted, true, false).Image, kDeletedImage);
    EXPECT_EQ(RowStateOf(folder, true, true).Image, kNoTagImage);
    EXPECT_EQ(RowStateOf(bigger, true, false).Image, kNoTagImage);
    EXPECT_TRUE(RowGhosted(deleted, true, true));
    EXPECT_FALSE(RowGhosted(deleted, false, true));
    EXPECT_TRUE(RowGhosted(removed, false, true));
    EXPECT_FALSE(RowGhosted(removed, false, false));

    EXPECT_TRUE(DeselectedAgain(removed, true));
    TCompareRow removedFolder = removed;
    removedFolder.Kind = kRowFolder;
    EXPECT_FALSE(DeselectedAgain(removedFolder, true));
    EXPECT_FALSE(DeselectedAgain(removed, false));
    EXPECT_EQ(SelectedTotalText(12288, TLocale::Classic()), "Total selected - 12 KB");
}

} // namespace
