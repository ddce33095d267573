// What the compare window offers for a row: the pop-up's items, the image beside the row, the
// dimming, and which rows a selection keeps.
#include "compare/CompareRules.h"
#include "compare/CompareDeletion.h"

#include "display/DisplayHelpers.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

TCompareRow Row(uint8_t kind, int64_t was, int64_t now, uint8_t condition, int32_t newLog = 500,
                uint32_t tags = 0)
{
    TCompareRow row;
    row.Offset = 100;
    row.DirOffset = kind == kRowPath ? 100 : 50;
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

TEST(CompareRules, DeletionTakesOnlyEntriesOfTheNewerLogBelowThePaths)
{
    TCompareRowStore store;
    auto add = [&store](TCompareRow row, const char* name) { store.Append(row, name); };
    TCompareRow topLevel = Row(kRowFolder, 4096, 8192, kConditionBoth, 40);
    topLevel.DirOffset = topLevel.Offset; // the path itself, listed as a folder
    add(topLevel, "/data/");
    add(Row(kRowFolder, 4096, 12288, kConditionBoth, 200), "docs");
    add(Row(kRowFile, 4096, 0, kConditionDeleted), "gone");
    add(Row(kRowFile, 0, 8192, kConditionAdded, 300, kTagRubbishBin), "bin");
    add(Row(kRowFile, 4096, 4096, kConditionBoth, 400, kTagDeleted), "removed");
    const TCompareDeletion plan = PlanSelectedDeletion(store, {0, 1, 2, 3, 4});
    EXPECT_EQ(plan.Positions, (std::vector<int>{1, 3}));
    EXPECT_EQ(plan.Directories, 1);
    EXPECT_EQ(plan.Files, 1);
    EXPECT_EQ(plan.Space, 12288 + 8192);
    ASSERT_EQ(plan.Rows.size(), 2u);
    EXPECT_EQ(plan.Rows[0].Offset, 200); // the entry in the newer log
    EXPECT_TRUE(plan.Rows[0].Directory);
    EXPECT_EQ(plan.Targets[1].RecordOffset, 100);
    EXPECT_EQ(plan.Targets[1].NewLogOffset, 300);
    // The rubbish bin's files are those that show its tag: only while the tags are shown.
    EXPECT_TRUE(PlanRubbishBinDeletion(store, false).Rows.empty());
    EXPECT_EQ(PlanRubbishBinDeletion(store, true).Positions, std::vector<int>{3});

    TDeletedTrees trees;
    trees.Add(150, 250);
    trees.Add(190, 210);
    EXPECT_EQ(RowsInsideTrees(store, trees), std::vector<int>{1});
}

} // namespace
