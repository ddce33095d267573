// What the file list shows for its rows, the window's texts, the tree's opening rule and the
// orders by path, type and date.
#include "display/DirTree.h"
#include "display/DisplayHelpers.h"
#include "explore/ExploreTexts.h"
#include "explore/FileSort.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"
#include "listwindow/ListWindowWork.h"
#include "output/ListTexts.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;

namespace {

const TLocale kLocale = TLocale::Classic().WithSeparators(",", ".");

TEST(ExploreTexts, CountsTotalsAndCaptions)
{
    EXPECT_EQ(SelectionText(0, 2, 8192, kLocale), "2 files selected - 8 KB");
    EXPECT_EQ(SelectionText(3, 1, 0, kLocale), "3 directories 1 files selected - 0 KB");
    EXPECT_EQ(AccumulatorText(0, kLocale), "");
    EXPECT_EQ(AccumulatorText(12288, kLocale), "(Deleted 12 KB)  ");
    EXPECT_EQ(ObjectCountText(12, false), "12 Object(s)");
    EXPECT_EQ(ObjectCountText(0, true), "0 object(s) match filter");
    EXPECT_EQ(SizeTotalsText(2048, 1073741824, kLocale), "Size 2 KB    Space taken 1.00 GB");
    std::vector<std::string> open = {"Exploring log 7", "Exploring log 7 (2)"};
    auto exists = [&](const std::string& c) {
        return std::find(open.begin(), open.end(), c) != open.end();
    };
    EXPECT_EQ(UniqueCaption("Exploring log 7", exists), "Exploring log 7 (3)");
    EXPECT_EQ(UniqueCaption("Exploring log 8", exists), "Exploring log 8");
    EXPECT_EQ(ExtensionOf("report.doc"), ".doc");
    EXPECT_EQ(ExtensionOf(".bashrc"), "");
    EXPECT_EQ(StemOf("archive.tar.gz"), "archive.tar");
}

TEST(FileListTexts, VersionedLibrariesAndRotatedLogsKeepTheirType)
{
    EXPECT_EQ(RowTypeExtension("libfoo.so.9"), ".so");
    EXPECT_EQ(RowTypeExtension("libbar.so.13"), ".so");
    EXPECT_EQ(RowTypeExtension("libc.so.6.1.2"), ".so");
    EXPECT_EQ(RowTypeExtension("app.log.1"), ".log");
    EXPECT_EQ(RowTypeExtension("kern.log.2.gz"), ".gz");
    EXPECT_EQ(RowTypeExtension("ls.1"), ".1");            // a manual page
    EXPECT_EQ(RowTypeExtension("backup.2024.01"), ".01"); // numbers alone
    EXPECT_EQ(RowTypeExtension(".bashrc.1"), ".1");
    EXPECT_EQ(RowTypeExtension("notes."), ".");
    EXPECT_EQ(RowTypeExtension("README"), "."); // typed as a file without an extension
}

class FileListTextsTest : public ::testing::Test
{
protected:
    FileListTextsTest()
        : stream_(SyntheticLog()
                      .Root("/", 4096)
                      .File(".bashrc", 10)
                      .Dir("etc")
                      .File("readme", 5000)
                      .File("b.conf", 3)
                      .Close()
                      .File("z.CONF", 1)
                      .Log()),
          log_(stream_),
          table_(store_, tree_, kLocale, [](const std::string& e) { return "type" + e; })
    {
        TDirTreeBuilder builder(log_, tree_);
        while (builder.Step(10)) {
        }
        table_.SetLog(&log_);
    }
    void Fill(TView view)
    {
        store_.Clear();
        TFillRequest r;
        r.View = view;
        r.Offset = log_.FirstOffset();
        TListFill fill(log_, tree_, store_, r);
        while (fill.Step(10)) {
        }
    }
    std::vector<std::string> Column(int column)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < table_.RowCount(); ++i)
            texts.push_back(table_.Text(i, column));
        return texts;
    }

    TMemoryStream stream_;
    TDirStorage log_;
    TDirTree tree_;
    TFileListStore store_;
    TFileListTable table_;
};

TEST_F(FileListTextsTest, RowsShowNamesPathsTypesAndRawValues)
{
    Fill(TView::AllFiles);
    EXPECT_THAT(Column(kColName), ElementsAre(".bashrc", "readme", "b.conf", "z.CONF"));
    EXPECT_THAT(Column(kColPath), ElementsAre("/", "/etc/", "/etc/", "/"));
    EXPECT_THAT(Column(kColType), ElementsAre("type.", "type.", "type.conf", "type.CONF"));
    EXPECT_EQ(table_.Text(1, kColSize), "5 KB");
    EXPECT_EQ(table_.Text(1, kColSpace), "8 KB");
    EXPECT_EQ(table_.Text(1, kColSizeValue), "5000");
    EXPECT_EQ(table_.RawNumber(1, kColSpace), 8192);
    EXPECT_EQ(table_.RawNumber(1, kColName), std::nullopt);
    EXPECT_EQ(table_.Text(1, kColDate), kLocale.DateTimeText(table_.Entry(1).Date));
    EXPECT_EQ(ListDateText(0, kLocale), ""); // a date the log never knew

    // Without extensions a name loses its extension only; a dot name stays whole.
    table_.SetOptions({false, TDateType::Created, true});
    EXPECT_THAT(Column(kColName), ElementsAre(".bashrc", "readme", "b", "z"));
    EXPECT_EQ(table_.Column(kColDate).Caption, "Date created");
    EXPECT_EQ(table_.Column(kColPath).Width, 220);
    EXPECT_TRUE(table_.Column(kColSize).RightAligned);
    EXPECT_EQ(table_.Column(kColSpaceValue).Width, 0);
}

TEST_F(FileListTextsTest, PathTypeAndNameOrdersFollowTheirCodes)
{
    Fill(TView::AllFiles);
    SortRows(store_, table_, 1); // "Full path", A to Z; equal paths keep their order
    EXPECT_THAT(Column(kColName), ElementsAre(".bashrc", "z.CONF", "readme", "b.conf"));
    SortRows(store_, table_, -2); // "Type", Z to A
    EXPECT_THAT(Column(kColType), ElementsAre("type.conf", "type.CONF", "type.", "type."));
    Fill(TView::Standard);
    SortRows(store_, table_, -5); // folders first, then names with case folded
    EXPECT_THAT(Column(kColName), ElementsAre("etc", ".bashrc", "z.CONF"));
}

TEST(InitialExpansion, FurtherPathsOpenOnlyWhileEverythingFits)
{
    TMemoryStream stream(SyntheticLog()
                             .Root("/a/")
                             .Dir("a1")
                             .Close()
                             .Dir("a2")
                             .Close()
                             .Root("/b/")
                             .Dir("b1")
                             .Close()
                             .Root("/c/")
                             .Dir("c1")
                             .Close()
                             .Dir("c2")
                             .Close()
                             .Dir("c3")
                             .Close()
                             .Log());
    TDirStorage log(stream);
    TDirTree tree;
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(3)) {
    }
    ASSERT_EQ(tree.ChildCount(TDirTree::kRoot), 3);
    const int a = tree.Child(0, 0), b = tree.Child(0, 1);
    EXPECT_THAT(InitialExpansion(tree, 100), ElementsAre(0, a, b, tree.Child(0, 2)));
    // 4 rows + a's 2 + b's 1 = 7 fit in 7; c's 3 more do not: c stays shut and so does a.
    EXPECT_THAT(InitialExpansion(tree, 7), ElementsAre(0, b));
    EXPECT_THAT(InitialExpansion(TDirTree(), 10), ElementsAre());
}

} // namespace

TEST_F(FileListTextsTest, LargestFirstOpensTheListByDiskSpaceWithTheLargestOnTop)
{
    // As the window sorts: the column's code, negated while the direction flag is off.
    auto sorted = [this](TListWindowWork& work) {
        int code = SortCodeOf(work.SortColumn);
        if (!work.TakeSortDirection())
            code = -code;
        SortRows(store_, table_, code);
        return Column(kColName);
    };
    Fill(TView::AllFiles);
    TListWindowWork largest(true);
    largest.OpenSorted(ExploreSortStart(true));
    EXPECT_THAT(sorted(largest), ElementsAre("readme", ".bashrc", "b.conf", "z.CONF"));
    // A click on "File name" then runs A to Z, as a first click after a plain opening does.
    largest.ClickColumn("File name");
    EXPECT_THAT(sorted(largest), ElementsAre(".bashrc", "b.conf", "readme", "z.CONF"));
    // Without the option the list opens as it always has.
    TListWindowWork plain(true);
    plain.OpenSorted(ExploreSortStart(false));
    EXPECT_THAT(sorted(plain), ElementsAre(".bashrc", "b.conf", "readme", "z.CONF"));
}
