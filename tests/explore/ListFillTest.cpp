// The explore window's model without the window: the tree from the directory chain, each view's
// walk (tag mode too), the own-files totals, sorting and the duplicates reduction, on logs made
// in memory, damaged ones included.
#include "explore/ListFill.h"
#include "explore/Duplicates.h"
#include "explore/FileSort.h"
#include "explore/LogTree.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using namespace vmtest::sample; // /data/ [a.txt 10, sub/ [b 5000, c 7], z 1]

class ListFillTest : public ::testing::Test
{
protected:
    explicit ListFillTest(std::vector<uint8_t> bytes = SampleLogBytes())
        : stream_(std::move(bytes)), log_(std::make_unique<TDirStorage>(stream_))
    {
        BuildTree();
    }
    void BuildTree()
    {
        tree_ = TDirTree("Log 1");
        TDirTreeBuilder builder(*log_, tree_);
        while (builder.Step(2)) {
        }
        fault_ = builder.Fault();
    }
    void Reopen(std::vector<uint8_t> bytes)
    {
        log_.reset();
        stream_ = TMemoryStream(std::move(bytes));
        log_ = std::make_unique<TDirStorage>(stream_);
        BuildTree();
    }
    std::vector<std::string> Fill(TView view, int32_t offset, bool tags = false,
                                  const TFilterTest* filter = nullptr)
    {
        store_.Clear();
        TFillRequest r;
        r.View = view;
        r.Offset = offset;
        r.TagMode = tags;
        r.Filter = filter;
        r.RootHeading = "Log 1";
        TListFill fill(*log_, tree_, store_, r);
        heading_ = fill.Heading();
        while (fill.Step(1)) {
        }
        std::vector<std::string> names;
        for (int i = 0; i < store_.Count(); ++i)
            names.emplace_back(Name(i));
        return names;
    }
    TFileListTable Table()
    {
        TFileListTable table(store_, tree_, locale_, nullptr);
        table.SetLog(log_.get());
        return table;
    }
    std::string Name(int i) { return Table().Entry(i).Name; }

    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    TDirTree tree_;
    std::string fault_, heading_;
    TFileListStore store_;
    TLocale locale_ = TLocale::Classic();
};

TEST_F(ListFillTest, TreeHoldsTheRootPathsAndDirectoriesInLogOrder)
{
    EXPECT_EQ(fault_, "");
    ASSERT_EQ(tree_.Count(), 3);
    EXPECT_EQ(tree_.Name(0), "Log 1");
    EXPECT_EQ(tree_.Name(1), "/data/");
    EXPECT_EQ(tree_.Node(1).Kind, kTreePath);
    EXPECT_EQ(tree_.Name(2), "sub");
    EXPECT_EQ(tree_.Node(2).Kind, kTreeDirectory);
    EXPECT_EQ(tree_.PathOf(2), "/data/sub/");
    EXPECT_EQ(tree_.FindOffset(kSub), 2);
    EXPECT_EQ(tree_.FindOffset(kA), -1);
    // One path with a sub-directory fits: the root and the path open.
    EXPECT_THAT(InitialExpansion(tree_, 30), ElementsAre(0, 1));
}

TEST_F(ListFillTest, EachViewWalksItsOwnEntries)
{
    EXPECT_THAT(Fill(TView::Standard, -1), ElementsAre("/data/"));
    EXPECT_EQ(store_.Row(0).Kind, kRowPath);
    EXPECT_EQ(heading_, "Log 1");
    EXPECT_THAT(Fill(TView::Standard, kRoot), ElementsAre("a.txt", "sub", "z"));
    EXPECT_EQ(heading_, "/data/");
    EXPECT_EQ(store_.Row(1).Kind, kRowFolder);
    EXPECT_EQ(Table().Entry(1).Size, 5007); // a directory shows its whole subtree
    EXPECT_THAT(Fill(TView::Folders, -1), ElementsAre("/data/", "sub"));
    EXPECT_EQ(store_.Row(0).Kind, kRowFolder);
    EXPECT_EQ(Table().DirectoryText(Table().Entry(0)), "/data/");
    EXPECT_EQ(Table().DirectoryText(Table().Entry(1)), "/data/");
    EXPECT_THAT(Fill(TView::Folders, kRoot), ElementsAre("sub"));
    EXPECT_THAT(Fill(TView::Folders, kSub), IsEmpty());
    EXPECT_THAT(Fill(TView::AllFiles, -1), ElementsAre("a.txt", "b", "c", "z"));
    EXPECT_EQ(Table().DirectoryText(Table().Entry(1)), "/data/sub/");
    EXPECT_EQ(store_.Row(1).Image, kImagePlainFile);
    EXPECT_THAT(Fill(TView::AllFiles, kSub), ElementsAre("b", "c"));
    EXPECT_EQ(store_.SumSize(), 5007);
}

TEST_F(ListFillTest, TagModeListsTaggedEntriesOfTheListedDirectory)
{
    log_->SetTag(kC, 0);
    EXPECT_THAT(Fill(TView::AllFiles, -1, true), ElementsAre("c"));
    log_->SetTag(kA, 3);
    log_->SetTag(kSub, 1);
    EXPECT_THAT(Fill(TView::AllFiles, -1, true), ElementsAre("c", "a.txt"));
    EXPECT_THAT(Fill(TView::AllFiles, kSub, true), ElementsAre("c"));
    EXPECT_THAT(Fill(TView::Standard, kRoot, true), ElementsAre("a.txt", "sub"));
    EXPECT_THAT(Fill(TView::Standard, kSub, true), ElementsAre("c"));
    EXPECT_THAT(Fill(TView::Folders, -1, true), ElementsAre("sub"));
    // The standard view of the root lists the paths, tagged or not.
    EXPECT_THAT(Fill(TView::Standard, -1, true), ElementsAre("/data/"));

    TFilterTest onlyTag3;
    onlyTag3.TagsOn = onlyTag3.SelectedTags = true;
    onlyTag3.Mask = 1u << 3;
    EXPECT_THAT(Fill(TView::AllFiles, -1, true, &onlyTag3), ElementsAre("a.txt"));
}

TEST_F(ListFillTest, EmptyTaggedChainListsNothing)
{
    TFillRequest r;
    r.View = TView::AllFiles;
    r.TagMode = true;
    TListFill fill(*log_, tree_, store_, r);
    EXPECT_FALSE(fill.HasStart());
    EXPECT_FALSE(fill.Step(10));
}

TEST_F(ListFillTest, CyclicTaggedChainEndsWithItsFault)
{
    log_->SetTag(kA, 0);
    log_->SetTag(kC, 0);
    std::vector<uint8_t> bytes = stream_.Bytes();
    Poke32(bytes, kC + rec::NextTaggedOffset, kA); // a -> c -> a, never back to the head
    Reopen(bytes);
    store_.Clear();
    TFillRequest r;
    r.View = TView::AllFiles;
    r.TagMode = true;
    TListFill fill(*log_, tree_, store_, r);
    int steps = 0;
    while (fill.Step(1) && ++steps < 100) {
    }
    EXPECT_LT(steps, 100);
    EXPECT_EQ(store_.Count(), 2);
    EXPECT_THAT(fill.Fault(), ::testing::HasSubstr("comes back to"));
}

TEST_F(ListFillTest, LevelJumpInTheDirectoryChainEndsTheTree)
{
    std::vector<uint8_t> bytes = stream_.Bytes();
    Poke16(bytes, kSub + rec::Level, 3);
    Reopen(bytes);
    EXPECT_EQ(tree_.Count(), 2); // the root and the path: what reads
    EXPECT_EQ(fault_, "the directory at 183 (level 3) has no parent directory before it");
}

TEST(SubDirTotals, FolderRowsAddUpToTheParentsTotal)
{
    // d holds 3 KB of files and two directories of 5 KB and 7 KB.
    TMemoryStream stream(SyntheticLog()
                             .Root("/r/", 0)
                             .Dir("d")
                             .File("f", 3072)
                             .Dir("s1")
                             .File("x", 5120)
                             .Close()
                             .Dir("s2")
                             .File("y", 7168)
                             .Close()
                             .Log());
    TDirStorage log(stream);
    TDirTree tree;
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(10)) {
    }
    const int32_t root = log.FirstOffset();
    const int32_t d = tree.Node(2).Offset;
    EXPECT_EQ(GetSubDirTotals(log, d).Size, 3072);
    EXPECT_EQ(GetSubDirTotals(log, root).Size, 0);

    TFileListStore store;
    TFillRequest r;
    r.View = TView::Folders;
    r.Offset = root;
    TListFill fill(log, tree, store, r);
    while (fill.Step(5)) {
    }
    ASSERT_EQ(store.Count(), 3);
    TFileListTable table(store, tree, TLocale::Classic(), nullptr);
    table.SetLog(&log);
    EXPECT_EQ(table.Entry(0).Size, 3072);
    EXPECT_EQ(table.Entry(1).Size, 5120);
    EXPECT_EQ(table.Entry(2).Size, 7168);
    EXPECT_EQ(store.SumSize(), 15360);
}

TEST_F(ListFillTest, NameOrderPutsFoldersFirstAndTheFlagReversesIt)
{
    Fill(TView::Standard, kRoot); // a.txt, sub, z
    TFileListTable table = Table();
    SortRows(store_, table, -5);
    EXPECT_EQ(Name(0), "sub");
    EXPECT_EQ(Name(1), "a.txt");
    SortRows(store_, table, 5);
    EXPECT_EQ(Name(0), "z");
    EXPECT_EQ(Name(2), "sub");
    SortRows(store_, table, 6); // largest first
    EXPECT_EQ(Name(0), "sub");
    EXPECT_EQ(Name(2), "z");
    EXPECT_EQ(SortCodeOf("Date accessed"), 4);
    EXPECT_EQ(SortCodeOf("Disk space"), 7);
}

TEST(Duplicates, NumberedPartsAreRemovedFromTheKey)
{
    EXPECT_EQ(RemoveDuplicatePartFromFilename("Report (2).doc").Key, "Report.doc");
    EXPECT_EQ(RemoveDuplicatePartFromFilename("Report (old).doc").Key, "Report (old).doc");
    EXPECT_FALSE(RemoveDuplicatePartFromFilename("Report.doc").Removed);
    EXPECT_EQ(RemoveDuplicatePartFromFilename("a ().txt").Key, "a.txt");
    EXPECT_EQ(RemoveDuplicatePartFromFilename("x) (1").Key, "x) (1");
}

TEST(Duplicates, OnlyNamesThatOccurMoreThanOnceStay)
{
    TMemoryStream stream(SyntheticLog()
                             .Root("/r/", 0)
                             .File("a.doc", 1)
                             .File("a.txt", 1)
                             .File("b.txt", 1)
                             .Dir("d1")
                             .File("a (2).txt", 2)
                             .File("a.txt", 3)
                             .Close()
                             .Dir("d2")
                             .File("a.txt", 4)
                             .Close()
                             .Log());
    TDirStorage log(stream);
    TDirTree tree;
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(10)) {
    }
    const TLocale locale = TLocale::Classic();
    auto reduce = [&](TDuplicateOptions options) {
        TFileListStore store;
        TFillRequest r;
        r.View = TView::AllFiles;
        TListFill fill(log, tree, store, r);
        while (fill.Step(5)) {
        }
        TFileListTable table(store, tree, locale, nullptr);
        table.SetLog(&log);
        ExtractDuplicates(store, table, options);
        std::vector<std::string> names;
        for (int i = 0; i < store.Count(); ++i)
            names.emplace_back(table.Entry(i).Name);
        return names;
    };
    EXPECT_THAT(reduce({}), ElementsAre("a.txt", "a (2).txt", "a.txt", "a.txt"));
    EXPECT_THAT(reduce({false, false, true}),
                ElementsAre("a.doc", "a.txt", "a (2).txt", "a.txt", "a.txt"));
    EXPECT_THAT(reduce({true, false, false}), ElementsAre("a.txt", "a (2).txt", "a.txt",
                                                          "a.txt")); // 1 to 4 bytes: all "1 KB"
}

} // namespace
