// Damaged comparison files under the compare window's walks: links that point back, levels that
// jump, siblings of another directory, a cut file and random damage all end the tree and every
// view's walk after at most one visit per record.
#include "compare/CompareFill.h"
#include "compare/CompareTree.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

#include <random>

using namespace vm;
using namespace vmtest;

namespace {

class CompareDamageTest : public ::testing::Test
{
protected:
    CompareDamageTest()
    {
        paths_ = WriteCompareSample(dir_, SampleOldTree(), SampleNewTree());
        const std::string content = ReadWholeFile(paths_.Comparison);
        bytes_.assign(content.begin(), content.end());
        TMemoryStream stream(bytes_);
        TDirCompare file(stream);
        WalkRecords(file, [&](int32_t at, const TCompareRecord&, const std::string&) {
            offsets_[file.GetFullPath(at)] = at;
            return true;
        });
    }
    void Poke32(const std::string& path, int field, int32_t value)
    {
        PutI32(bytes_.data() + offsets_.at(path) + field, value);
    }

    // Builds the tree of the damaged bytes; its fault.
    std::string Tree(TDirTree& tree)
    {
        TMemoryStream stream(bytes_);
        TDirCompare file(stream);
        TCompareTreeBuilder builder(file, tree);
        int steps = 0;
        while (builder.Step(1))
            EXPECT_LT(++steps, Budget());
        return builder.Fault();
    }
    // Fills a view of the directory at offset; the rows' names and the fault.
    std::pair<std::vector<std::string>, std::string> Fill(TView view, int32_t offset)
    {
        TMemoryStream stream(bytes_);
        TDirCompare file(stream);
        TCompareRowStore store;
        TCompareFillRequest request;
        request.View = view;
        request.Offset = offset;
        TCompareFill fill(file, store, request, nullptr);
        int steps = 0;
        while (fill.Step(1))
            EXPECT_LT(++steps, Budget());
        // The names as the rows read them back.
        TDirTree tree;
        const TLocale locale = TLocale::Classic();
        TCompareListTable table(store, tree, locale, [](const std::string& e) { return e; });
        table.SetComparison(&file);
        std::vector<std::string> names;
        for (int i = 0; i < store.Count(); ++i)
            names.push_back(table.Entry(i).Name);
        return {names, fill.Fault()};
    }
    // No walk visits more records than the file can hold.
    int Budget() const { return int(bytes_.size() / kCompareMinRecordLength) + 2; }

    TempDir dir_;
    CompareSamplePaths paths_;
    std::vector<uint8_t> bytes_;
    std::map<std::string, int32_t> offsets_;
};

TEST_F(CompareDamageTest, DirectoryChainPointingBackEndsTheTree)
{
    Poke32("/data/empty", cmp::NextDirOffset, offsets_.at("/data/added"));
    TDirTree tree;
    EXPECT_NE(Tree(tree).find("the link points back"), std::string::npos);
    EXPECT_EQ(tree.Count(), 5); // the root, /data/, added, docs and empty
    EXPECT_NE(Fill(TView::Folders, kNoOffset).second, "");
}

TEST_F(CompareDamageTest, LevelJumpEndsTheTreeWithoutAnUnsetParent)
{
    // docs claims level 3: no directory of level 2 was met before it.
    uint8_t* docs = bytes_.data() + offsets_.at("/data/docs");
    PutU16(docs + cmp::Level, 3);
    TDirTree tree;
    EXPECT_NE(Tree(tree).find("has no parent directory before it"), std::string::npos);
    EXPECT_EQ(tree.Count(), 3); // the root, /data/ and added
}

TEST_F(CompareDamageTest, SiblingOfAnotherDirectoryEndsTheStandardView)
{
    // a.txt's next sibling leads into empty/.
    Poke32("/data/docs/a.txt", cmp::NextSiblingOffset, offsets_.at("/data/empty/f.txt"));
    auto [names, fault] = Fill(TView::Standard, offsets_.at("/data/docs"));
    EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
    EXPECT_NE(fault.find("is not an entry of the directory listed"), std::string::npos);
}

TEST_F(CompareDamageTest, CutFileShowsWhatReads)
{
    bytes_.resize(size_t(offsets_.at("/data/gone/x.bin")) + 40);
    auto [names, fault] = Fill(TView::AllFiles, kNoOffset);
    EXPECT_EQ(names.back(), "f.txt");
    EXPECT_NE(fault, "");
    TDirTree tree;
    Tree(tree);
    EXPECT_EQ(tree.Count(), 6); // every directory lies before the cut
}

TEST_F(CompareDamageTest, RandomDamageNeverLoops)
{
    const std::vector<uint8_t> sound = bytes_;
    std::vector<int32_t> records;
    for (const auto& [path, at] : offsets_)
        records.push_back(at);
    const int links[] = {cmp::ParentOffset,  cmp::NextOffset, cmp::NextSiblingOffset,
                         cmp::NextDirOffset, cmp::Level,      cmp::RecordLength};
    std::mt19937 random(20240613);
    for (int round = 0; round < 400; ++round) {
        bytes_ = sound;
        for (int hits = 1 + int(random() % 3); hits > 0; --hits) {
            const int32_t at = records[random() % records.size()];
            const int field = links[random() % std::size(links)];
            const int32_t value = random() % 2 ? int32_t(random() % bytes_.size())
                                               : records[random() % records.size()];
            if (field == cmp::Level || field == cmp::RecordLength)
                PutU16(bytes_.data() + at + field, uint16_t(value % 400));
            else
                PutI32(bytes_.data() + at + field, value);
        }
        TDirTree tree;
        Tree(tree);
        for (TView view : {TView::Standard, TView::Folders, TView::AllFiles})
            for (int32_t dir : {kNoOffset, offsets_.at("/data"), offsets_.at("/data/docs")})
                Fill(view, dir);
    }
}

} // namespace
