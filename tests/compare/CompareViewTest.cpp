// The compare window's logic on comparisons of logs written from trees in memory: the tree and
// its arrows, each view's walk, the rows' conditions, signs and texts, the compare filter, the
// sort keys and the totals.
#include "compare/CompareFill.h"
#include "compare/CompareSort.h"
#include "compare/CompareTree.h"
#include "listwindow/ListWindowWork.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace vm;
using namespace vmtest;

namespace {

class CompareViewTest : public ::testing::Test
{
protected:
    void Write(const TestTree& oldTree, const TestTree& newTree)
    {
        paths_ = WriteCompareSample(dir_, oldTree, newTree);
        stream_ = std::make_unique<TFileStream>(paths_.Comparison, TFileMode::OpenRead);
        file_ = std::make_unique<TDirCompare>(*stream_);
        table_.SetComparison(file_.get());
        TCompareTreeBuilder builder(*file_, tree_);
        while (builder.Step(3)) {
        }
        EXPECT_EQ(builder.Fault(), "");
    }
    void WriteSample() { Write(SampleOldTree(), SampleNewTree()); }

    int Node(const std::string& name) const
    {
        for (int n = 0; n < tree_.Count(); ++n)
            if (tree_.Name(n) == name)
                return n;
        ADD_FAILURE() << "no node " << name;
        return -1;
    }
    int32_t OffsetOf(const std::string& name) const
    {
        return name.empty() ? kNoOffset : tree_.Node(Node(name)).Offset;
    }

    // Fills the list of the directory (the root for "") in a view; the names in walk order.
    std::vector<std::string> Fill(TView view, const std::string& dir = "",
                                  const TFilterTest* filter = nullptr)
    {
        store_.Clear();
        TCompareFillRequest request;
        request.View = view;
        request.Offset = OffsetOf(dir);
        request.Filter = filter;
        fill_ = std::make_unique<TCompareFill>(*file_, store_, request, nullptr);
        while (fill_->Step(2)) {
        }
        EXPECT_EQ(fill_->Fault(), "");
        return Names();
    }
    // The rows' names in the order shown.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < store_.Count(); ++i)
            names.push_back(table_.Entry(i).Name);
        return names;
    }
    int Position(const std::string& name) const
    {
        for (int i = 0; i < store_.Count(); ++i)
            if (table_.Entry(i).Name == name)
                return i;
        throw std::runtime_error("no row " + name);
    }
    const TCompareRow& Row(const std::string& name) const { return store_.Row(Position(name)); }
    TCompareEntry Entry(const std::string& name) const { return table_.Entry(Position(name)); }
    std::string Text(const std::string& name, int column) const
    {
        return table_.Text(Position(name), column);
    }

    TempDir dir_;
    CompareSamplePaths paths_;
    std::unique_ptr<TFileStream> stream_;
    std::unique_ptr<TDirCompare> file_;
    TDirTree tree_{"Log 3 with log 4"};
    TCompareRowStore store_;
    TLocale locale_ = TLocale::Classic();
    TCompareListTable table_{store_, tree_, locale_,
                             [](const std::string& e) { return e + " File"; }};
    std::unique_ptr<TCompareFill> fill_;
};

TEST_F(CompareViewTest, TreeHoldsTheDirectoriesWithTheirArrows)
{
    WriteSample();
    ASSERT_EQ(tree_.Count(), 6); // the root, /data/ and four directories
    EXPECT_EQ(tree_.Node(Node("/data/")).State, 0);
    EXPECT_EQ(tree_.Node(Node("added")).State, int(TChange::Added));
    EXPECT_EQ(tree_.Node(Node("docs")).State, int(TChange::Bigger));
    // It existed, took its own unit and held no data; now it holds a file.
    EXPECT_EQ(tree_.Node(Node("empty")).State, int(TChange::Added));
    EXPECT_EQ(tree_.Node(Node("gone")).State, int(TChange::Deleted));
    EXPECT_EQ(tree_.Parent(Node("docs")), Node("/data/"));
    EXPECT_EQ(CompareInitialExpansion(tree_), (std::vector<int>{0, Node("/data/")}));
}

TEST_F(CompareViewTest, ADateNeverKnownShowsEmpty)
{
    // A date a log cannot hold (past 2036) is stored as never known.
    const TestTree tree = {{"/r/", 4096, {File("far", 1, 4102444800), File("near", 1)}}};
    Write(tree, tree);
    Fill(TView::Standard, "/r/");
    EXPECT_EQ(Text("far", kCmpDate), "");
    EXPECT_NE(Text("near", kCmpDate), "");
    EXPECT_EQ(Text("far", kCmpDateValue), "0");
}

TEST_F(CompareViewTest, RowsSayHowEachEntryChanged)
{
    WriteSample();
    EXPECT_EQ(
        Fill(TView::Standard, "/data/"),
        (std::vector<std::string>{"added", "docs", "empty", "gone", "same.txt", "shrink.dat"}));
    struct Expected
    {
        const char *Name, *Condition, *Changed;
        TChange Arrow;
    };
    for (const Expected& e : std::initializer_list<Expected>{
             {"added", "Dir added", "+8 KB", TChange::Added},
             {"docs", "Dir bigger", "+24 KB", TChange::Bigger},
             {"empty", "Dir bigger", "+12 KB", TChange::Bigger},
             {"gone", "Dir deleted", "-12 KB", TChange::Deleted},
             {"same.txt", "File unchanged", "0 KB", TChange::Unchanged},
             {"shrink.dat", "File smaller", "-16 KB", TChange::Smaller}}) {
        SCOPED_TRACE(e.Name);
        EXPECT_EQ(Text(e.Name, kCmpCondition), e.Condition);
        EXPECT_EQ(Text(e.Name, kCmpChanged), e.Changed);
        EXPECT_EQ(RowStateImage(Row(e.Name).Kind, Row(e.Name).Change), int(e.Arrow));
    }
    EXPECT_EQ(Entry("gone").NewLogOffset, kNoOffset);
    EXPECT_EQ(Text("docs", kCmpType), "File folder");
    EXPECT_EQ(Text("shrink.dat", kCmpWas), "20 KB");
    EXPECT_EQ(Text("shrink.dat", kCmpNow), "4 KB");
    EXPECT_EQ(Text("shrink.dat", kCmpWasValue), "20480");
    EXPECT_EQ(table_.RawNumber(store_.Count() - 1, kCmpChanged), -16384);

    // An added file that takes no space has not changed; a file that appeared has.
    Fill(TView::Standard, "docs");
    EXPECT_EQ(Text("new.txt", kCmpCondition), "File unchanged");
    EXPECT_EQ(Text("new.txt", kCmpChanged), "0 KB");
    EXPECT_EQ(RowStateImage(kRowFile, Row("new.txt").Change), int(TChange::Unchanged));
    EXPECT_EQ(Text("c.txt", kCmpCondition), "File added");
    EXPECT_EQ(Text("c.txt", kCmpChanged), "+4 KB");
    EXPECT_EQ(fill_->DirectoryPath(), "/data/docs/");

    // The root lists the top-level path as a path, without an arrow.
    EXPECT_EQ(Fill(TView::Standard), std::vector<std::string>{"/data/"});
    EXPECT_EQ(Row("/data/").Kind, kRowPath);
    EXPECT_EQ(Text("/data/", kCmpCondition), "Path bigger");
    EXPECT_EQ(RowStateImage(kRowPath, Row("/data/").Change), 0);
    EXPECT_EQ(Text("/data/", kCmpPath), "/data/");
}

TEST_F(CompareViewTest, EachViewWalksItsRecords)
{
    WriteSample();
    EXPECT_EQ(Fill(TView::Folders),
              (std::vector<std::string>{"/data/", "added", "docs", "empty", "gone"}));
    EXPECT_EQ(Row("/data/").Kind, kRowFolder); // paths are folders outside the standard view
    EXPECT_EQ(Fill(TView::AllFiles),
              (std::vector<std::string>{"y", "a.txt", "b.txt", "c.txt", "new.txt", "f.txt", "x.bin",
                                        "same.txt", "shrink.dat"}));
    EXPECT_EQ(Text("y", kCmpPath), "/data/added/");
    EXPECT_EQ(Text("x.bin", kCmpPath), "/data/gone/");
    EXPECT_EQ(Fill(TView::Folders, "/data/"),
              (std::vector<std::string>{"added", "docs", "empty", "gone"}));
    EXPECT_EQ(Fill(TView::Folders, "docs"), std::vector<std::string>{});
    EXPECT_EQ(Fill(TView::AllFiles, "docs"),
              (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "new.txt"}));
    EXPECT_EQ(Fill(TView::AllFiles, "gone"), std::vector<std::string>{"x.bin"});
    EXPECT_EQ(Fill(TView::Standard, "empty"), std::vector<std::string>{"f.txt"});
}

TEST_F(CompareViewTest, RootTotalsCoverEveryTopLevelPath)
{
    TestTree oldTree = SampleOldTree(), newTree = SampleNewTree();
    oldTree.push_back({"/more/", 4096, {File("m", 100000)}});
    newTree.push_back({"/more/", 4096, {File("m", 100000), File("n", 50000)}});
    Write(oldTree, newTree);
    EXPECT_EQ(Fill(TView::Standard), (std::vector<std::string>{"/data/", "/more/"}));
    const TSizeTotals totals = fill_->Totals();
    EXPECT_EQ(totals.Allocated, Entry("/data/").AllocNow + Entry("/more/").AllocNow);
    EXPECT_EQ(totals.Size, 30000 + 5000 + 100 + 9000 + 4096 + 1000 + 1 + 100000 + 50000);
    EXPECT_EQ(fill_->DirectoryPath(), "");
    Fill(TView::Standard, "/more/");
    EXPECT_EQ(fill_->Totals().Allocated, 102400 + 53248); // a top-level path takes no unit
    EXPECT_EQ(fill_->DirectoryPath(), "/more/");
}

TEST_F(CompareViewTest, CompareFilterLinesPickTheirFiles)
{
    WriteSample();
    TFilterTest test;
    test.Mode = kCompareFilterMode;
    ASSERT_EQ(CompareFilterLines().size(), 5u);
    auto only = [&](size_t line) {
        test.CompareOn = true;
        test.CompareLines.assign(5, false);
        test.CompareLines[line] = true;
        return Fill(TView::AllFiles, "", &test);
    };
    EXPECT_EQ(only(0), (std::vector<std::string>{"b.txt", "new.txt", "same.txt"}));
    EXPECT_EQ(only(1), (std::vector<std::string>{"y", "a.txt", "c.txt", "f.txt"}));
    EXPECT_EQ(only(2), (std::vector<std::string>{"x.bin", "shrink.dat"}));
    EXPECT_EQ(only(3), (std::vector<std::string>{"y", "c.txt", "f.txt"}));
    EXPECT_EQ(only(4), std::vector<std::string>{"x.bin"});
    // Unchecked, the compare part lets every file pass; directories are never filtered.
    test.CompareOn = false;
    EXPECT_EQ(Fill(TView::AllFiles, "", &test).size(), 9u);
    test.CompareOn = true; // deleted files only
    EXPECT_EQ(Fill(TView::Standard, "/data/", &test),
              (std::vector<std::string>{"added", "docs", "empty", "gone"}));
    // The size test takes the space a deleted file had; without a new log the tag test is off.
    test.CompareOn = false;
    test.SizeOn = true;
    test.Threshold = 7000;
    test.TagsOn = true;
    EXPECT_EQ(Fill(TView::AllFiles, "", &test),
              (std::vector<std::string>{"a.txt", "f.txt", "x.bin"}));
}

TEST_F(CompareViewTest, SortKeysOrderTheRows)
{
    WriteSample();
    Fill(TView::Standard, "/data/");
    auto names = [&] { return Names(); };
    SortCompareRows(store_, table_, CompareSortKeyOf("File name"), false);
    EXPECT_EQ(names(), (std::vector<std::string>{"shrink.dat", "same.txt", "gone", "empty", "docs",
                                                 "added"}));
    SortCompareRows(store_, table_, CompareSortKeyOf("File name"), true);
    EXPECT_EQ(names(), (std::vector<std::string>{"added", "docs", "empty", "gone", "same.txt",
                                                 "shrink.dat"}));
    // "Space now" with the direction flag off (one click after the first fill): largest first.
    SortCompareRows(store_, table_, CompareSortKeyOf("Space now"), false);
    EXPECT_EQ(names().front(), "docs");
    EXPECT_EQ(names().back(), "gone");
    SortCompareRows(store_, table_, CompareSortKeyOf("Space now"), true);
    EXPECT_EQ(names().front(), "gone");
    // "Changed by" sorts by the space then less the space now: what grew most first.
    SortCompareRows(store_, table_, CompareSortKeyOf("Changed by"), true);
    EXPECT_EQ(names().front(), "docs");
    EXPECT_EQ(names().back(), "shrink.dat");
    SortCompareRows(store_, table_, CompareSortKeyOf("Condition"), true); // Z to A
    EXPECT_EQ(Text(names().front(), kCmpCondition), "File unchanged");
    EXPECT_EQ(CompareSortKeyOf("Date accessed"), 7);
    EXPECT_EQ(CompareSortKeyOf("Nothing"), 0);
}

TEST_F(CompareViewTest, LargestFirstOpensBySpaceNowAndChangedBysFirstClickPutsGrowthFirst)
{
    WriteSample();
    Fill(TView::Standard, "/data/");
    // As the window sorts: a click turns the direction round, then the rows are sorted by it.
    auto front = [this](TListWindowWork& work) {
        SortCompareRows(store_, table_, CompareSortKeyOf(work.SortColumn),
                        work.TakeSortDirection());
        return table_.Entry(0).Name + " ... " + table_.Entry(store_.Count() - 1).Name;
    };
    TListWindowWork largest(false);
    largest.OpenSorted(CompareSortStart(true));
    largest.FirstClick = CompareFirstClick(true);
    EXPECT_EQ(front(largest), "docs ... gone");
    // Whatever was clicked before, the first click on "Changed by" puts the largest growth
    // first; the next one turns it round.
    largest.ClickColumn("Space was");
    front(largest);
    for (const char* expected : {"docs ... shrink.dat", "shrink.dat ... docs"}) {
        largest.ClickColumn("Changed by");
        EXPECT_EQ(front(largest), expected);
    }
    // Without the option: "File name" A to Z, and "Changed by" first puts the largest loss first.
    TListWindowWork plain(false);
    plain.OpenSorted(CompareSortStart(false));
    plain.FirstClick = CompareFirstClick(false);
    EXPECT_EQ(front(plain), "added ... shrink.dat");
    plain.ClickColumn("Changed by");
    EXPECT_EQ(front(plain), "shrink.dat ... docs");
}

TEST_F(CompareViewTest, RowsReadWhatTheyShowFromTheComparisonKeptOpen)
{
    WriteSample();
    Fill(TView::Standard, "/data/");
    // Removed from the disk while the list shows it: the reader still holds it, and a new
    // table (nothing read yet) shows and sorts the rows as before.
    std::filesystem::remove(paths_.Comparison);
    TCompareListTable fresh(store_, tree_, locale_,
                            [](const std::string& e) { return e + " File"; });
    fresh.SetComparison(file_.get());
    SortCompareRows(store_, fresh, CompareSortKeyOf("Space was"), true);
    EXPECT_EQ(fresh.Text(store_.Count() - 1, kCmpName), "docs");
    EXPECT_EQ(fresh.Text(store_.Count() - 1, kCmpWas), "24 KB");
    EXPECT_EQ(fresh.Text(store_.Count() - 1, kCmpPath), "/data/");

    // A space the window set (a deletion the new log does not record) shows and sorts until the
    // next fill.
    const int64_t shrink = Row("shrink.dat").Offset;
    store_.SetSpaceNow(shrink, 0);
    EXPECT_EQ(Text("shrink.dat", kCmpNow), "0 KB");
    EXPECT_EQ(table_.RawNumber(Position("shrink.dat"), kCmpChanged), -20480);
    SortCompareRows(store_, table_, CompareSortKeyOf("Space now"), true);
    EXPECT_EQ(Names().front(), "gone");
    EXPECT_EQ(Names()[1], "shrink.dat");
    store_.Clear();
    EXPECT_EQ(store_.SpaceNow(shrink), nullptr);
}

TEST_F(CompareViewTest, ARowWhoseRecordDoesNotReadShowsBlank)
{
    WriteSample();
    Fill(TView::Standard, "/data/");
    TCompareRow lost;
    lost.Offset = int64_t(std::filesystem::file_size(paths_.Comparison)) + 100;
    lost.Image = kImageTypeIcon;
    const int position = store_.Append(lost);
    for (int column = 0; column < kCompareColumnCount; ++column) {
        EXPECT_EQ(table_.Text(position, column), "") << column;
        EXPECT_EQ(table_.RawNumber(position, column), std::nullopt) << column;
    }
    EXPECT_FALSE(table_.Entry(position).Read);
    EXPECT_EQ(table_.DirectoryText(position), "");
    for (const char* column : {"File name", "Full path", "File type", "Condition", "Date created",
                               "Space was", "Space now", "Changed by"}) {
        SortCompareRows(store_, table_, CompareSortKeyOf(column), true);
        EXPECT_EQ(store_.Count(), 7) << column;
    }
    // Without a comparison to read, every row is blank.
    table_.SetComparison(nullptr);
    EXPECT_EQ(table_.Text(0, kCmpName), "");
}

TEST_F(CompareViewTest, SingleDirectoryRecordEndsTheTreeAtItsLinkToFourteen)
{
    Write({{"/only/", 4096, {}}}, {{"/only/", 4096, {}}});
    TCompareRecord first;
    std::string name;
    ASSERT_TRUE(file_->ReadRecord(kCompareFirstOffset, first, name));
    EXPECT_EQ(first.NextDirOffset, kCompareFirstOffset);
    EXPECT_EQ(tree_.Count(), 2);
    EXPECT_EQ(tree_.Name(1), "/only/");
    EXPECT_EQ(Fill(TView::Folders), std::vector<std::string>{"/only/"});
    EXPECT_EQ(Fill(TView::AllFiles), std::vector<std::string>{});
}

} // namespace
