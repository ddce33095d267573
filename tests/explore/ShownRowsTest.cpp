// The explore list's rows keep only their entries' offsets and read the rest from the log: what
// the window corrects before the log has it, a log that no longer reads, and orders that must
// come out as they did when rows carried their names and sizes.
#include "explore/FileListTable.h"
#include "explore/FileSort.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;

namespace {

class ShownRowsTest : public ::testing::Test
{
protected:
    ShownRowsTest()
        : stream_(SyntheticLog()
                      .Root("/r/", 1024)
                      .Dir("a")
                      .File("Document_b", 3000)
                      .File("document_a", 1000)
                      .File("DOCUMENT", 2000)
                      .Close()
                      .Dir("b")
                      .File("document_a", 2000)
                      .File("documents", 3000)
                      .File("zz", 2000)
                      .Close()
                      .Log()),
          log_(stream_), table_(store_, tree_, locale_, nullptr)
    {
        TDirTreeBuilder builder(log_, tree_);
        while (builder.Step(100)) {
        }
        table_.SetLog(&log_);
        TFillRequest r;
        r.View = TView::AllFiles;
        TListFill fill(log_, tree_, store_, r);
        while (fill.Step(100)) {
        }
    }
    std::vector<std::string> Shown()
    {
        std::vector<std::string> shown;
        for (int i = 0; i < store_.Count(); ++i)
            shown.push_back(table_.Text(i, kColPath) + table_.Text(i, kColName) + " " +
                            table_.Text(i, kColSizeValue));
        return shown;
    }
    int Position(const std::string& path)
    {
        for (int i = 0; i < store_.Count(); ++i)
            if (table_.Text(i, kColPath) + table_.Text(i, kColName) == path)
                return i;
        return -1;
    }

    TMemoryStream stream_;
    TDirStorage log_;
    TDirTree tree_{"Log 1"};
    TFileListStore store_;
    TLocale locale_ = TLocale::Classic();
    TFileListTable table_;
};

// Names alike in their first eight letters are ordered by the whole name, letter case folded,
// and equal names keep their order; a later sort by size starts from the order shown.
TEST_F(ShownRowsTest, NamesAlikeInTheirFirstLettersAndEqualSizesKeepTheOrderOfOld)
{
    SortRows(store_, table_, -5); // A to Z, "S" before "_" as in ASCII
    EXPECT_THAT(Shown(),
                ElementsAre("/r/a/DOCUMENT 2000", "/r/b/documents 3000", "/r/a/document_a 1000",
                            "/r/b/document_a 2000", "/r/a/Document_b 3000", "/r/b/zz 2000"));
    SortRows(store_, table_, 5); // Z to A; the two document_a keep their order
    EXPECT_THAT(Shown(),
                ElementsAre("/r/b/zz 2000", "/r/a/Document_b 3000", "/r/a/document_a 1000",
                            "/r/b/document_a 2000", "/r/b/documents 3000", "/r/a/DOCUMENT 2000"));
    SortRows(store_, table_, 6); // largest first, equal sizes as they showed
    EXPECT_THAT(Shown(),
                ElementsAre("/r/a/Document_b 3000", "/r/b/documents 3000", "/r/b/zz 2000",
                            "/r/b/document_a 2000", "/r/a/DOCUMENT 2000", "/r/a/document_a 1000"));
    SortRows(store_, table_, -6);
    EXPECT_EQ(Shown().front(), "/r/a/document_a 1000");
    EXPECT_EQ(Shown().back(), "/r/b/documents 3000");
    SortRows(store_, table_, -5);
    SortRows(store_, table_, 1); // by folder, each folder's rows as they showed
    EXPECT_THAT(Shown(),
                ElementsAre("/r/a/DOCUMENT 2000", "/r/a/document_a 1000", "/r/a/Document_b 3000",
                            "/r/b/documents 3000", "/r/b/document_a 2000", "/r/b/zz 2000"));
}

// Tags and space the window set show until the log has them; the sums count them again.
TEST_F(ShownRowsTest, WhatTheWindowChangedShowsUntilTheLogHasIt)
{
    EXPECT_EQ(store_.SumAllocated(), 13 * 1024); // in units of 1 KB
    const int b = Position("/r/a/Document_b");
    const int64_t offset = store_.Row(b).Offset;
    store_.SetTags(offset, kTagDeleted);
    store_.SetAllocated(offset, 0);
    EXPECT_EQ(table_.Entry(b).Tags, kTagDeleted);
    EXPECT_EQ(table_.Text(b, kColSpaceValue), "0");
    EXPECT_EQ(table_.Text(b, kColSizeValue), "3000"); // the size stays the record's
    EXPECT_TRUE(store_.SumsStale());
    const TSizeTotals totals = table_.ShownTotals();
    EXPECT_EQ(totals.Size, 13000);
    EXPECT_EQ(totals.Allocated, store_.SumAllocated() - 3072);
    store_.ForgetTags(); // the log has them now: it shows its own
    EXPECT_EQ(table_.Entry(b).Tags, 0u);
    EXPECT_EQ(table_.Text(b, kColSpaceValue), "0"); // space changed on the disk only stays
}

// A log that stops reading under the window leaves blank rows that still sort and count.
TEST_F(ShownRowsTest, RowsOfALogThatNoLongerReadsShowBlank)
{
    table_.SetLog(nullptr);
    EXPECT_EQ(table_.Text(0, kColName), "");
    EXPECT_EQ(table_.RawNumber(0, kColSize), 0);
    EXPECT_FALSE(table_.Entry(0).Read);
    for (int code : {1, 2, 4, 5, 6, 7, 8, 9, 10, -5, -6}) {
        SortRows(store_, table_, code);
        EXPECT_EQ(store_.Count(), 6);
    }
    EXPECT_EQ(table_.ShownTotals().Allocated, 0);
}

// Names alike far beyond their first eight letters, or alike but for letter case, as photo and
// build trees have them by the million.
TEST(ShownRowsNames, NamesAlikeForManyLettersOrButForCaseSortWhole)
{
    TMemoryStream stream(SyntheticLog()
                             .Root("/r/", 1024)
                             .File("img_2023-04-01_0002.jpg", 1)
                             .File("IMG_2023-04-01_0001.jpg", 1)
                             .File("img_2023-04-01_0001.jpg", 1)
                             .File("img_2023-04-01_000", 1)
                             .File("img_2023-04-01_0001.JPG", 1)
                             .File("img_2023-04", 1)
                             .Log());
    TDirStorage log(stream);
    TDirTree tree("Log 1");
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(100)) {
    }
    TFileListStore store;
    TFillRequest r;
    r.View = TView::AllFiles;
    TListFill fill(log, tree, store, r);
    while (fill.Step(100)) {
    }
    TFileListTable table(store, tree, TLocale::Classic(), nullptr);
    table.SetLog(&log);
    auto names = [&] {
        std::vector<std::string> shown;
        for (int i = 0; i < store.Count(); ++i)
            shown.push_back(table.Entry(i).Name);
        return shown;
    };
    SortRows(store, table, -5); // A to Z: shorter first, then the bytes as they are
    EXPECT_THAT(names(), ElementsAre("img_2023-04", "img_2023-04-01_000", "IMG_2023-04-01_0001.jpg",
                                     "img_2023-04-01_0001.JPG", "img_2023-04-01_0001.jpg",
                                     "img_2023-04-01_0002.jpg"));
    SortRows(store, table, 5);
    EXPECT_THAT(names(), ElementsAre("img_2023-04-01_0002.jpg", "img_2023-04-01_0001.jpg",
                                     "img_2023-04-01_0001.JPG", "IMG_2023-04-01_0001.jpg",
                                     "img_2023-04-01_000", "img_2023-04"));
}

} // namespace
