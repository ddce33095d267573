// What the compare window offers for a row: the pop-up's items, the image beside the row, the
// dimming, and which rows a selection keeps.
#include "compare/CompareRules.h"
#include "compare/CompareDeletion.h"

#include "compare/CompareFill.h"
#include "display/DisplayHelpers.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

TCompareRow Row(uint8_t kind, int64_t was, int64_t now, uint8_t condition, int32_t newLog = 500,
                uint32_t tags = 0)
{
    TCompareRecord record;
    record.Level = kind == kRowPath ? 0 : 1;
    record.AllocWas = was;
    record.AllocNow = now;
    record.Condition = condition;
    record.NewLogOffset = condition == kConditionDeleted ? kNoOffset : newLog;
    TCompareRow row = CompareRowOf(100, record);
    row.Kind = kind;
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
    TempDir dir;
    const CompareSamplePaths paths = WriteCompareSample(dir, SampleOldTree(), SampleNewTree());
    TFileStream stream(paths.Comparison, TFileMode::OpenRead);
    TDirCompare file(stream);
    TDirTree tree("Log 3 with log 4");
    TLocale locale = TLocale::Classic();
    TCompareRowStore store;
    TCompareListTable table(store, tree, locale, [](const std::string& e) { return e; });
    table.SetComparison(&file);
    // The top-level path listed as a folder, then what /data/ holds: added, docs, empty, gone,
    // same.txt, shrink.dat.
    TCompareRecord record;
    std::string name;
    ASSERT_TRUE(file.ReadRecord(kCompareFirstOffset, record, name));
    TCompareRow path = CompareRowOf(kCompareFirstOffset, record);
    path.Kind = kRowFolder;
    store.Append(path);
    TCompareFillRequest request;
    request.Offset = kCompareFirstOffset;
    TCompareFill fill(file, store, request, nullptr);
    while (fill.Step(10)) {
    }
    ASSERT_EQ(store.Count(), 7);
    store.Row(5).Tags = kTagRubbishBin; // same.txt
    store.Row(6).Tags = kTagDeleted;    // shrink.dat, deleted from the disk since
    const TCompareEntry docs = table.Entry(2), same = table.Entry(5);
    ASSERT_EQ(docs.Name, "docs");
    ASSERT_EQ(same.Name, "same.txt");

    const TCompareDeletion plan = PlanSelectedDeletion(table, {0, 2, 4, 5, 6});
    EXPECT_EQ(plan.Positions, (std::vector<int>{2, 5})); // not the path, gone or shrink.dat
    EXPECT_EQ(plan.Directories, 1);
    EXPECT_EQ(plan.Files, 1);
    EXPECT_EQ(plan.Space, docs.AllocNow + same.AllocNow);
    ASSERT_EQ(plan.Rows.size(), 2u);
    EXPECT_EQ(plan.Rows[0].Offset, docs.NewLogOffset); // the entry in the newer log
    EXPECT_TRUE(plan.Rows[0].Directory);
    EXPECT_EQ(plan.Targets[1].RecordOffset, store.Row(5).Offset);
    EXPECT_EQ(plan.Targets[1].NewLogOffset, same.NewLogOffset);
    // The rubbish bin's files are those that show its tag: only while the tags are shown.
    EXPECT_TRUE(PlanRubbishBinDeletion(table, false).Rows.empty());
    EXPECT_EQ(PlanRubbishBinDeletion(table, true).Positions, std::vector<int>{5});

    TDeletedTrees trees;
    trees.Add(docs.NewLogOffset, docs.NewLogOffset + 1);
    EXPECT_EQ(RowsInsideTrees(table, trees), std::vector<int>{2});
}

} // namespace
