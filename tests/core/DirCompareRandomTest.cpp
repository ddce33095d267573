// Seeded random pairs of trees, the second a mutation of the first: the comparison file must agree
// with a plain diff of the two trees' path maps, and every record's links must be right.
#include "core/DirCompare.h"
#include "support/CompareTestTrees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

using namespace vm;
using namespace vmtest;

namespace {

// Names that stress the order: letter case, separators' neighbours, tildes, bytes above 0x7E.
const std::vector<std::string> kNames = {
    "a",        "A",        "b",     "B",      "ab",     "AB",      "aB", "a b",
    "a-b",      "a.txt",    "A.TXT", "readme", "README", "ReadMe",  "~",  "~~~~~~~~~~~~~~~~~~~~~",
    "\xc3\xa9", "\xc3\x89", "z",     "Z",      "x\x01y", "0",       "9",  "\xe6\x97\xa5",
    "\xff",     "AB C",     "AB-",   "ab~",    "\x7f",   ".hidden",
};

class TreeMaker
{
public:
    explicit TreeMaker(uint32_t seed) : rng_(seed) {}

    TestTree RandomTree()
    {
        static const std::vector<std::string> kRoots = {"/a/", "/data/", "/m n/", "/srv/x/"};
        TestTree tree;
        if (Chance(0.1)) {
            tree.push_back({"/", Unit(), RandomEntries(0)});
            return tree;
        }
        for (const std::string& root : kRoots)
            if (tree.empty() || Chance(0.4))
                tree.push_back({root, Unit(), RandomEntries(0)});
        return tree;
    }

    TestTree Mutate(const TestTree& old)
    {
        TestTree tree;
        for (const TestRoot& root : old) {
            if (old.size() > 1 && Chance(0.1))
                continue; // a path dropped from the reference
            TestRoot copy = root;
            MutateEntries(copy.Entries, 1);
            tree.push_back(copy);
        }
        // Paths added to the reference, and paths in another order than the older log's.
        if ((tree.empty() || tree.front().Path != "/") && Chance(0.2))
            tree.push_back({"/new/", Unit(), RandomEntries(0)});
        if (Chance(0.3))
            std::shuffle(tree.begin(), tree.end(), rng_);
        return tree;
    }

private:
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int32_t Unit() { return std::vector<int32_t>{0, 512, 4096}[Between(0, 2)]; }

    int64_t Size()
    {
        switch (Between(0, 5)) {
        case 0:
            return 0;
        case 1:
            return Between(1, 3) == 1 ? 4096 : Between(4095, 4097);
        case 2:
            return int64_t{Between(0, 1 << 20)} << Between(0, 12);
        default:
            return Between(1, 100000);
        }
    }

    std::string Name()
    {
        if (Chance(0.7))
            return kNames[Between(0, static_cast<int>(kNames.size()) - 1)];
        static const char kLetters[] = "aAbBzZ~- .\x01\xc3\xa9";
        std::string name;
        for (int n = Between(1, 4); n > 0; --n)
            name += kLetters[Between(0, sizeof kLetters - 2)];
        return name;
    }

    // A name not yet in entries; often a letter-case variant of one that is.
    std::string FreshName(const std::vector<TestEntry>& entries)
    {
        for (;;) {
            std::string name = Name();
            if (!entries.empty() && Chance(0.3)) {
                name = entries[Between(0, static_cast<int>(entries.size()) - 1)].Name;
                for (char& c : name)
                    if (std::isalpha(static_cast<unsigned char>(c)) && Chance(0.5))
                        c = static_cast<char>(c ^ 0x20);
            }
            bool taken = false;
            for (const TestEntry& e : entries)
                taken = taken || e.Name == name;
            if (!taken)
                return name;
        }
    }

    TestEntry RandomEntry(const std::vector<TestEntry>& siblings, int depth)
    {
        std::string name = FreshName(siblings);
        if (depth < 5 && Chance(0.3))
            return Dir(name, RandomEntries(depth + 1));
        return File(name, Size(), 1600000000 + Between(0, 1000000));
    }

    std::vector<TestEntry> RandomEntries(int depth)
    {
        std::vector<TestEntry> entries;
        for (int n = Between(0, depth < 2 ? 7 : 3); n > 0; --n)
            entries.push_back(RandomEntry(entries, depth));
        return entries;
    }

    void MutateEntries(std::vector<TestEntry>& entries, int depth)
    {
        std::vector<TestEntry> kept;
        for (TestEntry& e : entries) {
            if (Chance(0.1))
                continue; // deleted, with everything below it
            if (Chance(0.05)) {
                // Same name, other kind: a file became a directory or the other way round.
                kept.push_back(e.Directory ? File(e.Name, Size())
                                           : Dir(e.Name, RandomEntries(depth)));
                continue;
            }
            if (e.Directory)
                MutateEntries(e.Entries, depth + 1);
            else if (Chance(0.3))
                e.Size = Chance(0.5) ? e.Size * 2 + Between(1, 5000) : e.Size / 2;
            kept.push_back(std::move(e));
        }
        for (int n = Chance(0.3) ? Between(1, 3) : 0; n > 0; --n)
            kept.push_back(RandomEntry(kept, depth));
        entries = std::move(kept);
    }

    std::mt19937 rng_;
};

struct Expected
{
    uint8_t Condition;
    bool Directory;
    int64_t SizeNow = 0, AllocNow = 0, SizeWas = 0, AllocWas = 0;
};

std::map<std::string, Expected> PlainDiff(const TestTree& oldTree, const TestTree& newTree)
{
    std::map<std::string, Expected> diff;
    for (const auto& [path, facts] : FlattenTree(oldTree))
        diff[path] = {kConditionDeleted, facts.Directory, 0, 0, facts.Size, facts.Allocated};
    for (const auto& [path, facts] : FlattenTree(newTree)) {
        auto it = diff.find(path);
        Expected e{kConditionAdded, facts.Directory, facts.Size, facts.Allocated, 0, 0};
        if (it != diff.end()) {
            e.Condition = kConditionBoth;
            e.SizeWas = it->second.SizeWas;
            e.AllocWas = it->second.AllocWas;
        }
        diff[path] = e;
    }
    return diff;
}

std::string ParentPath(const std::string& path)
{
    std::string parent = path.substr(0, path.rfind('/'));
    return parent.empty() ? "/" : parent;
}

struct Row
{
    int32_t Offset;
    TCompareRecord R;
    std::string Name, Path;
};

// Every link of every record against what the file order says it must be.
void CheckLinks(TDirCompare& file, const std::vector<Row>& rows, int64_t fileSize)
{
    std::map<std::string, const Row*> byPath;
    for (const Row& row : rows)
        byPath[row.Path] = &row;
    std::map<int32_t, std::vector<int32_t>> children; // parent offset -> entries in file order
    std::vector<int32_t> directories;
    for (const Row& row : rows) {
        children[row.R.Level == 0 ? 0 : row.R.ParentOffset].push_back(row.Offset);
        if (row.R.Kind == kKindDirectory)
            directories.push_back(row.Offset);
    }
    std::map<int32_t, int32_t> nextSibling, nextDir;
    for (const auto& [parent, list] : children)
        for (size_t i = 0; i < list.size(); ++i)
            nextSibling[list[i]] = i + 1 < list.size() ? list[i + 1] : -1;
    for (size_t i = 0; i < directories.size(); ++i)
        nextDir[directories[i]] = i + 1 < directories.size() ? directories[i + 1] : -1;
    if (directories.size() == 1 && directories[0] == 14)
        nextDir[14] = 14;

    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.Path);
        EXPECT_EQ(row.R.NextOffset, i + 1 < rows.size() ? rows[i + 1].Offset : fileSize);
        if (row.R.Level == 0) {
            EXPECT_EQ(row.R.ParentOffset, 14);
        } else {
            ASSERT_TRUE(byPath.count(ParentPath(row.Path)));
            const Row& parent = *byPath[ParentPath(row.Path)];
            EXPECT_EQ(row.R.ParentOffset, parent.Offset);
            EXPECT_EQ(row.R.Level, parent.R.Level + 1);
        }
        EXPECT_EQ(row.R.NextSiblingOffset, nextSibling[row.Offset]);
        EXPECT_EQ(row.R.NextDirOffset, row.R.Kind == kKindDirectory ? nextDir[row.Offset] : -1);
        if (row.R.Kind == kKindDirectory) {
            auto it = children.find(row.Offset);
            EXPECT_EQ(file.FirstEntry(row.Offset, row.R),
                      it == children.end() ? -1 : it->second.front());
        }
    }
}

TEST(DirCompareRandom, AgreesWithAPlainDiffOfTheTrees)
{
    int64_t records = 0;
    for (uint32_t seed = 1; seed <= 1000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TreeMaker maker(seed);
        TestTree oldTree = maker.RandomTree();
        TestTree newTree = maker.Mutate(oldTree);
        if (seed % 7 == 0)
            std::swap(oldTree, newTree);

        TMemoryStream oldStream(TestLogBytes(oldTree)), newStream(TestLogBytes(newTree)), out;
        TDirStorage oldLog(oldStream), newLog(newStream);
        TDirCompare writer(out);
        writer.CompareLogs(oldLog, newLog);
        ASSERT_EQ(writer.LogDamage(), "");

        TDirCompare reader(out);
        std::vector<Row> rows;
        TCompareWalkEnd end =
            WalkRecords(reader, [&](int32_t at, const TCompareRecord& r, const std::string& name) {
                rows.push_back({at, r, name, reader.GetFullPath(at)});
                return true;
            });
        ASSERT_EQ(end.Damage, "");

        const auto diff = PlainDiff(oldTree, newTree);
        ASSERT_EQ(rows.size(), diff.size());
        std::set<std::string> seen;
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            SCOPED_TRACE(row.Path);
            ASSERT_TRUE(seen.insert(row.Path).second) << "twice";
            auto it = diff.find(row.Path);
            ASSERT_NE(it, diff.end());
            const Expected& e = it->second;
            EXPECT_EQ(row.R.Condition, e.Condition);
            EXPECT_EQ(row.R.Kind == kKindDirectory, e.Directory);
            EXPECT_EQ(row.R.SizeNow, e.SizeNow);
            EXPECT_EQ(row.R.AllocNow, e.AllocNow);
            EXPECT_EQ(row.R.SizeWas, e.SizeWas);
            EXPECT_EQ(row.R.AllocWas, e.AllocWas);
            if (e.Condition == kConditionDeleted) {
                EXPECT_EQ(row.R.NewLogOffset, -1);
            } else {
                EXPECT_EQ(newLog.GetFullPath(row.R.NewLogOffset), row.Path);
            }
            if (i > 0) {
                EXPECT_LT(ComparePathKeys(rows[i - 1].Path, row.Path), 0) << rows[i - 1].Path;
            }
        }
        CheckLinks(reader, rows, out.Size());
        records += static_cast<int64_t>(rows.size());
        if (HasFatalFailure() || HasFailure())
            break;
    }
    EXPECT_GT(records, 10000); // the trees are not trivially small
}

} // namespace
