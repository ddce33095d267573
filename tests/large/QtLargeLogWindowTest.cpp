// The explore window over an extended log past 2 GiB (14 million records) on the offscreen
// platform, used as an administrator would: the tree with the directories beyond 2 GiB, the all
// files view of the root with its totals, a row beyond 2 GiB as it shows, sorting by size, and a
// tag set through the window landing on its own record and nowhere else in the file. It writes
// 2.1 GB into the temporary directory and takes a few minutes: ctest label "large".
#include "core/DirStorage.h"
#include "core/ExtendedLogFormat.h"
#include "core/LogWalk.h"
#include "core/NameOrder.h"
#include "explore/ExploreForm.h"
#include "explore/QtFileListModel.h"
#include "large/LargeLog.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "output/ListTexts.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

using namespace vm;
using namespace vmtest;

namespace {

constexpr int64_t k2GiB = int64_t{1} << 31;
constexpr int64_t kChunk = int64_t{1} << 20;
// The tagged chain's links in its head, the log's first record.
constexpr int64_t kHeadLinks = kExtendedLogHeaderSize + xrec::NextTaggedOffset;
static_assert(xrec::PrevTaggedOffset == xrec::NextTaggedOffset + 8);

// The list position showing the entry at offset, or -1 (rows keep only their offsets, so this
// costs no reads).
int PositionOf(TExploreChild* child, int64_t offset)
{
    for (int i = 0; i < child->Rows().Count(); ++i)
        if (child->Rows().Row(i).Offset == offset)
            return i;
    return -1;
}

std::vector<int64_t> SortedOffsets(TExploreChild* child)
{
    std::vector<int64_t> offsets(static_cast<size_t>(child->Rows().Count()));
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = child->Rows().Row(static_cast<int>(i)).Offset;
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

// About a thousand rows spread over the list, each checked against what a row of its group
// should show (the list in groups of groupRows rows): the first that is not, as text.
std::string SampledRowsDiffer(TExploreChild* child, int64_t groupRows,
                              const std::function<bool(const TFileEntry&, int64_t)>& expected)
{
    const int count = child->Rows().Count();
    for (int p = 0; p < count; p += std::max(1, count / 997)) {
        const TFileEntry row = child->Table().Entry(p);
        if (!expected(row, p / groupRows))
            return "row " + std::to_string(p) + ": " + row.Name + " " + std::to_string(row.Size);
    }
    return "";
}

// A file's bytes as 1 MiB chunks: a hash of every chunk, and the whole of the chunks kept.
struct TFileImage
{
    std::vector<size_t> Hashes;
    std::map<int64_t, std::string> Kept;
};

TFileImage ImageOf(const std::string& path, const std::vector<int64_t>& keep)
{
    TFileImage image;
    std::ifstream in(path, std::ios::binary);
    std::string chunk(static_cast<size_t>(kChunk), '\0');
    for (int64_t at = 0; in.read(chunk.data(), kChunk) || in.gcount() > 0; at += kChunk) {
        const std::string_view read(chunk.data(), static_cast<size_t>(in.gcount()));
        image.Hashes.push_back(std::hash<std::string_view>()(read));
        if (std::find(keep.begin(), keep.end(), at / kChunk) != keep.end())
            image.Kept[at / kChunk] = std::string(read);
    }
    return image;
}

// Where after differs from before outside the byte ranges allowed to change, as text: "" when
// nowhere.
std::string ChangesOutside(const TFileImage& before, const TFileImage& after,
                           const std::vector<std::pair<int64_t, int64_t>>& allowed)
{
    if (before.Hashes.size() != after.Hashes.size())
        return "the file's length changed";
    std::string changes;
    for (size_t c = 0; c < before.Hashes.size(); ++c) {
        if (before.Hashes[c] == after.Hashes[c])
            continue;
        const int64_t chunk = static_cast<int64_t>(c);
        if (!before.Kept.count(chunk) || !after.Kept.count(chunk)) {
            changes += " chunk at " + std::to_string(chunk * kChunk);
            continue;
        }
        const std::string &a = before.Kept.at(chunk), &b = after.Kept.at(chunk);
        for (size_t i = 0; i < a.size(); ++i) {
            const int64_t at = chunk * kChunk + static_cast<int64_t>(i);
            const bool may = std::any_of(allowed.begin(), allowed.end(), [at](const auto& r) {
                return at >= r.first && at < r.second;
            });
            if (a[i] != b[i] && !may)
                changes += " byte " + std::to_string(at);
        }
    }
    return changes;
}

class LargeLogWindowTest : public FrameTest
{
protected:
    LargeLogWindowTest() { TExploreChild::StepMilliseconds = 100; }
    ~LargeLogWindowTest() override { TExploreChild::StepMilliseconds = 25; }
};

TEST_F(LargeLogWindowTest, TheExploreWindowShowsAndTagsALogPast2GiB)
{
    if (!HasFreeSpace(dir_.Path(), 4e9))
        GTEST_SKIP() << "less than 4 GB free in " << dir_.Path();
    dir_.WriteFile("Volumark.ini", "[Ref0001]\nName=Large\nNextLogNo=8\n");
    dir_.MakeDir("Ref0001");
    const std::string path = dir_ / "Ref0001/Log0007.kdf";
    const TLargeLog facts = WriteLargeLog(path);

    // A file beyond 2 GiB in the middle of its directory, and its next sibling, found by the
    // log's own reader.
    const std::string directory = kLargeRoot + facts.LastTop() + "/directory-3/directory-1/";
    const std::string name = "file-with-a-longer-name-7.dat";
    int64_t file = kNoOffset, next = kNoOffset, lastTop = kNoOffset;
    {
        TFileStream stream(path, TFileMode::OpenRead);
        TDirStorage log(stream);
        file = log.FindPath(directory + name);
        next = log.FindPath(directory + "file-with-a-longer-name-8.dat");
        lastTop = log.FindPath(kLargeRoot + facts.LastTop());
    }
    ASSERT_GT(lastTop, k2GiB);
    ASSERT_GT(file, lastTop);
    ASSERT_GT(next, file);

    frame_->DisplayLog(1, 7);
    auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
    ASSERT_NE(child, nullptr);
    Settle(child, 600000);
    ASSERT_FALSE(child->Busy);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{}); // nothing refused or damaged

    // The tree: the root, the path and every directory, the last top-level one in place.
    const TDirTree& tree = child->Tree();
    ASSERT_EQ(tree.Count(), facts.Directories + 2);
    int top = -1;
    for (int n = 0; n < tree.Count(); ++n)
        if (tree.Name(n) == facts.LastTop())
            top = n;
    ASSERT_GT(top, 0);
    EXPECT_EQ(tree.Parent(top), 1);
    EXPECT_EQ(tree.Node(top).Offset, lastTop);

    // Its standard view: 40 files and four directories, read from beyond 2 GiB.
    child->DirTreeView->setCurrentIndex(child->TreeModel->IndexOf(top));
    Settle(child, 600000);
    ASSERT_EQ(child->Rows().Count(), 44);
    EXPECT_GE(RowPosition(child, "directory-3"), 0);
    EXPECT_GE(RowPosition(child, "file-with-a-longer-name-39.dat"), 0);
    EXPECT_EQ(child->ChildStatusBar->PanelText(0), "44 Object(s)");

    // The all files view of the root lists every file, with the log's totals.
    child->DirTreeView->setCurrentIndex(child->TreeModel->IndexOf(0));
    Settle(child, 600000);
    child->ViewAllAction->trigger();
    Settle(child, 600000);
    ASSERT_FALSE(child->Busy);
    ASSERT_EQ(child->Rows().Count(), facts.Files);
    EXPECT_EQ(child->ChildStatusBar->PanelText(0),
              QString::fromStdString(ObjectCountText(facts.Files, false)));
    EXPECT_EQ(child->ChildStatusBar->PanelText(1),
              QString::fromStdString(
                  SizeTotalsText(facts.FileBytes, facts.FileSpace, TLocale::FromEnvironment())));
    int at = PositionOf(child, file);
    ASSERT_GE(at, 0);
    const auto shown = [child](int row, int column) {
        return child->ListModel->index(row, column).data().toString().toStdString();
    };
    EXPECT_EQ(shown(at, kColName), name);
    EXPECT_EQ(shown(at, kColPath), directory);
    EXPECT_EQ(child->Table().Entry(at).Size, 1007);

    // The list opens sorted by name: each of the 40 names once per directory, A to Z.
    std::vector<std::string> names;
    for (int f = 0; f < 40; ++f)
        names.push_back("file-with-a-longer-name-" + std::to_string(f) + ".dat");
    std::sort(names.begin(), names.end(), NameLess);
    EXPECT_EQ(SampledRowsDiffer(child, facts.Directories,
                                [&names](const TFileEntry& row, int64_t group) {
                                    return row.Name == names[static_cast<size_t>(group)];
                                }),
              "");

    // Sorting by size keeps every row and groups the sizes, smallest first.
    const std::vector<int64_t> offsets = SortedOffsets(child);
    child->SortFileListView("File size");
    Settle(child, 600000);
    ASSERT_EQ(child->Rows().Count(), facts.Files);
    EXPECT_TRUE(SortedOffsets(child) == offsets);
    EXPECT_EQ(SampledRowsDiffer(
                  child, facts.Directories,
                  [](const TFileEntry& row, int64_t group) { return row.Size == 1000 + group; }),
              "");
    at = PositionOf(child, file);
    ASSERT_GE(at, 0);
    EXPECT_EQ(shown(at, kColName), name);
    EXPECT_EQ(shown(at, kColPath), directory);

    // A tag set on that row is written into its record, and nothing else in the file changes
    // but the links of the tagged chain's head, the first record.
    const std::vector<int64_t> kept = {0, file / kChunk, (next - 1) / kChunk};
    const TFileImage before = ImageOf(path, kept);
    child->FileListView->clearSelection();
    child->FileListView->selectionModel()->setCurrentIndex(
        child->ListModel->index(at, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    child->MenuClickTag(2);
    Settle(child, 600000);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{});
    EXPECT_EQ(child->Table().Entry(at).Tags, 1u << 2);
    EXPECT_EQ(
        ChangesOutside(before, ImageOf(path, kept), {{kHeadLinks, kHeadLinks + 16}, {file, next}}),
        "");

    TFileStream stream(path, TFileMode::OpenRead);
    TDirStorage log(stream);
    EXPECT_EQ(log.ReadTags(file), 1u << 2);
    EXPECT_EQ(log.ReadTags(next), 0u);
    std::vector<int64_t> tagged;
    TDirNode node;
    std::string text;
    for (TLogWalk t = TLogWalk::Tagged(log); t.Next(node, text);)
        tagged.push_back(t.Offset());
    EXPECT_EQ(tagged, std::vector<int64_t>{file});
}

} // namespace
