// The statistics of a log against sums worked out from the tree the log was written from, and
// the rows that lead from a table to its files.
#include "statistics/LogStatistics.h"
#include "core/DirCompare.h"
#include "core/FileFilter.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/StatisticsRows.h"
#include "support/CompareSample.h"
#include "support/CompareTestTrees.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace vm;
using namespace vmtest;

namespace {

constexpr double kLogDate = 45000.5; // 2023-03-15 12:00, local time
constexpr int64_t kLogDay = 45000;

int64_t SecondsDaysBefore(double days)
{
    return int64_t((kLogDate - 25569.0 - days) * 86400.0);
}

// A tree of a few hundred files of mixed types, sizes and ages, in nested directories.
TestTree RandomTree(uint64_t seed)
{
    std::mt19937_64 random(seed);
    const char* extensions[] = {".jpg", ".JPG", ".txt", ".tar.gz", ".log", "",
                                ".so",  ".mp4", ".c",   ".weird",  ".PDF"};
    const double ages[] = {-2, 0,   0.4, 7,   7.6,  8,    29.9, 30,
                           31, 364, 365, 366, 1094, 1095, 1096, 5000};
    int serial = 0;
    std::function<std::vector<TestEntry>(int)> fill = [&](int level) {
        std::vector<TestEntry> entries;
        for (int i = 8 + int(random() % 12); i >= 0; --i) {
            const std::string stem = "f" + std::to_string(serial++);
            if (level < 3 && random() % 5 == 0) {
                entries.push_back(Dir("d" + stem, fill(level + 1)));
                continue;
            }
            const int64_t size = random() % 3 == 0 ? 0 : int64_t(random() % 200000);
            entries.push_back(File(stem + extensions[random() % std::size(extensions)], size,
                                   SecondsDaysBefore(ages[random() % std::size(ages)])));
        }
        return entries;
    };
    return {{"/srv/", 4096, fill(0)}, {"/home/", 1024, fill(1)}};
}

struct Expected
{
    std::map<std::string, TSpaceFigures> Extensions;
    std::array<TSpaceFigures, kFamilyCount> Families{};
    std::array<TSpaceFigures, kAgeBucketCount> Ages{};
    TSpaceFigures Files;
    int64_t Directories = 0;
};

// The sums, from the tree and the facts FlattenTree works out for each path.
void Sum(const std::vector<TestEntry>& entries, const std::string& dir,
         const std::map<std::string, PathFacts>& facts, Expected& e)
{
    for (const TestEntry& entry : entries) {
        const std::string path = dir + "/" + entry.Name;
        if (entry.Directory) {
            ++e.Directories;
            Sum(entry.Entries, path, facts, e);
            continue;
        }
        const PathFacts& f = facts.at(path);
        e.Files.Add(f.Size, f.Allocated);
        std::string extension;
        const size_t dot = entry.Name.rfind('.');
        if (dot != std::string::npos && dot > 0)
            for (char c : entry.Name.substr(dot))
                extension += char(std::tolower(c));
        e.Extensions[extension].Add(f.Size, f.Allocated);
        e.Families[size_t(FileFamilyOf(entry.Name))].Add(f.Size, f.Allocated);
        // Whole days back from the log's day: up to 7 a week, up to 30 a month, and so on.
        const double date = 25569.0 + double(entry.ModifiedSeconds) / 86400.0;
        const int64_t daysBack = kLogDay - int64_t(std::floor(date));
        const size_t bucket = daysBack <= 7      ? 0
                              : daysBack <= 30   ? 1
                              : daysBack <= 365  ? 2
                              : daysBack <= 1095 ? 3
                                                 : 4;
        e.Ages[bucket].Add(f.Size, f.Allocated);
    }
}

class LogStatisticsTest : public ::testing::Test
{
protected:
    void Write(const TestTree& tree)
    {
        stream_ = std::make_unique<TMemoryStream>();
        WriteTestLog(tree, *stream_, kLogDate);
        log_ = std::make_unique<TDirStorage>(*stream_);
    }
    std::unique_ptr<TMemoryStream> stream_;
    std::unique_ptr<TDirStorage> log_;
};

} // namespace

TEST_F(LogStatisticsTest, TablesAddUpToTheTreesOwnSums)
{
    for (uint64_t seed : {1, 2, 3}) {
        SCOPED_TRACE(seed);
        const TestTree tree = RandomTree(seed);
        Write(tree);
        Expected e;
        const auto facts = FlattenTree(tree);
        for (const TestRoot& root : tree)
            Sum(root.Entries, root.Path.substr(0, root.Path.size() - 1), facts, e);
        ASSERT_GT(e.Files.Count, 20);
        ASSERT_GT(e.Directories, 3);

        TLogStatisticsWalk walk(*log_, -1);
        while (walk.Step(7)) {
        }
        const TLogStatistics s = walk.Take();
        EXPECT_EQ(s.Damage, "");
        EXPECT_EQ(s.Files, e.Files);
        EXPECT_EQ(s.Directories, e.Directories);
        EXPECT_EQ(s.AgeReference, kLogDate);
        EXPECT_FALSE(s.HasOwners);
        for (size_t f = 0; f < kFamilyCount; ++f)
            EXPECT_EQ(s.Families[f], e.Families[f]) << FamilyName(kFamilies[f]);
        EXPECT_EQ(s.Extensions.size(), e.Extensions.size());
        for (const auto& [extension, figures] : e.Extensions)
            EXPECT_EQ(s.Extensions.at(extension), figures) << extension;
        for (size_t a = 0; a < 5; ++a) {
            EXPECT_EQ(s.Modified[a], e.Ages[a]) << AgeBucketName(kAgeBuckets[a]);
            EXPECT_EQ(s.Accessed[a], e.Ages[a]) << AgeBucketName(kAgeBuckets[a]);
        }
        EXPECT_EQ(s.Modified[size_t(TAgeBucket::Unknown)].Count, 0);

        // The largest: the hundred largest spaces of the tree, each with its own path.
        std::vector<int64_t> files, dirs;
        for (const auto& [path, f] : facts)
            if (path != "/srv" && path != "/home")
                (f.Directory ? dirs : files).push_back(f.Allocated);
        std::sort(files.rbegin(), files.rend());
        std::sort(dirs.rbegin(), dirs.rend());
        files.resize(std::min<size_t>(files.size(), 100));
        dirs.resize(std::min<size_t>(dirs.size(), 100));
        std::vector<int64_t> gotFiles, gotDirs;
        for (const TLargestEntry& l : s.LargestFiles) {
            gotFiles.push_back(l.Space);
            EXPECT_EQ(facts.at(l.Path).Allocated, l.Space) << l.Path;
        }
        for (const TLargestEntry& l : s.LargestDirectories) {
            gotDirs.push_back(l.Space);
            EXPECT_TRUE(facts.at(l.Path).Directory) << l.Path;
        }
        EXPECT_EQ(gotFiles, files);
        EXPECT_EQ(gotDirs, dirs);
    }
}

TEST_F(LogStatisticsTest, ASubtreeCountsWhatLiesBelowAndDeletedFilesStayOut)
{
    Write({{"/data/",
            4096,
            {File("a.jpg", 5000), Dir("sub", {File("b.jpg", 10), File("c.log", 9000)}),
             File("d.txt", 1)}}});
    log_->WriteTags(log_->FindPath("/data/sub/c.log"), kTagDeleted);
    const TLogStatistics all = CollectLogStatistics(*log_);
    EXPECT_EQ(all.Files.Count, 3);
    EXPECT_EQ(all.DeletedFiles, 1);
    EXPECT_EQ(all.Families[size_t(TFileFamily::Logs)].Count, 0);
    const TLogStatistics sub = CollectLogStatistics(*log_, log_->FindPath("/data/sub"));
    EXPECT_EQ(sub.Files, (TSpaceFigures{1, 10, 4096}));
    EXPECT_EQ(sub.Directories, 0);
    ASSERT_EQ(sub.LargestFiles.size(), 1u);
    EXPECT_EQ(sub.LargestFiles[0].Path, "/data/sub/b.jpg");
}

TEST_F(LogStatisticsTest, EveryRowLeadsToExactlyItsFiles)
{
    const TestTree tree = RandomTree(9);
    Write(tree);
    const TLogStatistics s = CollectLogStatistics(*log_);
    const TLocale locale = TLocale::Classic();
    std::vector<TStatsRow> rows = FamilyRows(s);
    for (auto more : {ExtensionRows(s), AgeRows(s, false), AgeRows(s, true)})
        rows.insert(rows.end(), more.begin(), more.end());
    int filtered = 0;
    for (const TStatsRow& row : rows) {
        SCOPED_TRACE(row.Name);
        std::optional<TFilterFields> fields = row.Select.FilterFields(locale);
        std::optional<TFilterTest> test;
        if (fields) {
            TFilterParse parse =
                ParseFilterFields(*fields, kExploreFilterMode, false, kLogDate, locale);
            ASSERT_TRUE(parse.Test) << parse.Message;
            test = parse.Test;
            ++filtered;
        }
        int64_t matching = 0, passing = 0;
        TLogWalk walk = TLogWalk::AllRecords(*log_);
        TDirNode node;
        std::string name;
        while (walk.Next(node, name)) {
            if (node.Kind != kKindFile)
                continue;
            matching += row.Select.Matches(FactsOf(node, name, walk.Offset())) ? 1 : 0;
            passing += test && FileMatchesFilter(*test, name, node) ? 1 : 0;
        }
        EXPECT_EQ(matching, row.Count);
        if (test) {
            EXPECT_EQ(passing, row.Count);
        }
    }
    // Only the Other family and files without an extension had no filter to give.
    EXPECT_EQ(filtered, int(rows.size()) - 2);
}

TEST(StatisticsCollectorTest, OwnersAndGroupsAreSummedWhereTheEntriesCarryThem)
{
    TStatisticsCollector collector(10, kLogDate, true);
    TEntryFacts f;
    f.Name = "a.txt";
    for (auto [owner, group, space] : {std::tuple{1000u, 100u, 4096},
                                       {1000u, 200u, 8192},
                                       {1001u, 100u, 4096},
                                       {kNoOwnerId, kNoOwnerId, 1}}) {
        f.Owner = owner;
        f.Group = group;
        f.Space = space;
        collector.Add(f);
    }
    const TLogStatistics s = collector.Finish([](int64_t) { return std::string(); });
    EXPECT_EQ(s.Owners.at(1000), (TSpaceFigures{2, 0, 12288}));
    EXPECT_EQ(s.Owners.at(1001).Space, 4096);
    EXPECT_EQ(s.Groups.at(100).Count, 2);
    const std::vector<TStatsRow> rows =
        OwnerRows(s, false, [](uint32_t id) { return "user" + std::to_string(id); });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Name, "user1000");
    EXPECT_EQ(rows[0].Id, 1000);
    EXPECT_EQ(rows[2].Name, "(unknown)");
    TEntryFacts other;
    other.Owner = 1001;
    EXPECT_TRUE(rows[1].Select.Matches(other));
    EXPECT_FALSE(rows[0].Select.Matches(other));
    // An owner row leads to its files through the filter, by number; the unknown one cannot.
    const TLocale locale = TLocale::Classic();
    std::optional<TFilterFields> fields = rows[1].Select.FilterFields(locale);
    ASSERT_TRUE(fields);
    EXPECT_TRUE(fields->OwnerOn);
    EXPECT_EQ(fields->Owner, "1001");
    const TFilterParse parse =
        ParseFilterFields(*fields, kExploreFilterMode, false, kLogDate, locale, true);
    ASSERT_TRUE(parse.Test) << parse.Message;
    TDirNode node;
    node.Kind = kKindFile;
    node.Owner = 1001;
    EXPECT_TRUE(FileMatchesFilter(*parse.Test, "a.txt", node));
    node.Owner = 1000;
    EXPECT_FALSE(FileMatchesFilter(*parse.Test, "a.txt", node));
    EXPECT_FALSE(rows[2].Select.FilterFields(locale));
}

TEST(ComparisonStatisticsTest, ChangesAddUpToBothTreesAndNameWhatGrewMost)
{
    TempDir dir;
    const TestTree oldTree = SampleOldTree(), newTree = SampleNewTree();
    const CompareSamplePaths paths = WriteCompareSample(dir, oldTree, newTree);
    TFileStream file(paths.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    TComparisonStatisticsWalk walk(comparison, -1, 3);
    while (walk.Step(2)) {
    }
    const TComparisonStatistics s = walk.Take();
    EXPECT_EQ(s.Damage, "");
    // The pass over the whole file at once counts the same.
    const TComparisonStatistics whole = CollectComparisonStatistics(comparison, -1, 3);
    EXPECT_EQ(whole.Files, s.Files);
    EXPECT_EQ(whole.Families, s.Families);
    EXPECT_EQ(whole.Directories, s.Directories);
    EXPECT_EQ(whole.GrowingFiles.size(), s.GrowingFiles.size());
    // The sums of each side, from the trees.
    TChangeFigures files;
    std::map<std::string, TChangeFigures> extensions;
    for (const auto& [path, f] : FlattenTree(oldTree))
        if (!f.Directory) {
            ++files.CountWas;
            files.SpaceWas += f.Allocated;
            files.SizeWas += f.Size;
            ++extensions[ExtensionKey(path.substr(path.rfind('/') + 1))].CountWas;
        }
    for (const auto& [path, f] : FlattenTree(newTree))
        if (!f.Directory) {
            ++files.CountNow;
            files.SpaceNow += f.Allocated;
            files.SizeNow += f.Size;
            ++extensions[ExtensionKey(path.substr(path.rfind('/') + 1))].CountNow;
        }
    EXPECT_EQ(s.Files, files);
    for (const auto& [extension, f] : extensions) {
        EXPECT_EQ(s.Extensions.at(extension).CountWas, f.CountWas) << extension;
        EXPECT_EQ(s.Extensions.at(extension).CountNow, f.CountNow) << extension;
    }
    EXPECT_FALSE(s.HasOwners);
    // The largest change first, whichever way: the .txt files grew by 9 units, the rest lost 5.
    std::vector<std::string> families;
    for (const TChangeRow& r : FamilyChangeRows(s))
        families.push_back(r.Name + " " + std::to_string(r.Change()));
    EXPECT_EQ(families, (std::vector<std::string>{"Documents 36864", "Other -20480"}));
    // docs/a.txt grew by 20480, empty/f.txt was added with 12288, c.txt and y with 4096 each.
    std::vector<std::string> grew;
    for (const TChangeRow& r : GrewFileRows(s))
        grew.push_back(r.Name + " " + std::to_string(r.Change()));
    EXPECT_EQ(grew, (std::vector<std::string>{"/data/docs/a.txt 20480", "/data/empty/f.txt 12288",
                                              "/data/added/y 4096"}));
    const std::vector<TChangeRow> dirs = GrewDirectoryRows(s);
    ASSERT_FALSE(dirs.empty());
    EXPECT_EQ(dirs[0].Name, "/data/docs");
    EXPECT_EQ(comparison.GetFullPath(int32_t(dirs[0].Select.Offset)), "/data/docs");

    // The subtree of docs/ alone: its files then and now, and itself as what grew most.
    const TComparisonStatistics docs =
        CollectComparisonStatistics(comparison, dirs[0].Select.Offset);
    EXPECT_EQ(docs.Files.CountWas, 2);
    EXPECT_EQ(docs.Files.CountNow, 4);
    ASSERT_FALSE(docs.ChangedDirectories.Grew.empty());
    EXPECT_EQ(docs.ChangedDirectories.Grew[0].Path, "/data/docs");
}

TEST(StatisticsCollectorTest, PastATableOfAThousandExtensionsTheRestShareOneRowButKeepTheirFamily)
{
    TStatisticsCollector collector(0, kLogDate, false);
    TEntryFacts f;
    f.Space = 1;
    std::vector<std::string> names;
    for (int i = 0; i < int(kMaxExtensions) + 500; ++i)
        names.push_back("f.x" + std::to_string(i));
    names.push_back("late.JPG");
    names.push_back("early.x0"); // an extension the table holds: its own row
    for (const std::string& name : names) {
        f.Name = name;
        collector.Add(f);
    }
    const TLogStatistics s = collector.Finish([](int64_t) { return std::string(); });
    EXPECT_EQ(s.Extensions.size(), kMaxExtensions + 1);
    EXPECT_EQ(s.Extensions.at(kOtherExtensions).Count, 501);
    EXPECT_EQ(s.Extensions.at(".x0").Count, 2);
    EXPECT_EQ(s.Families[size_t(TFileFamily::Images)].Count, 1);
    EXPECT_EQ(s.Families[size_t(TFileFamily::Other)].Count, int64_t(kMaxExtensions) + 501);
    const std::vector<TStatsRow> rows = ExtensionRows(s, 0);
    auto others = std::find_if(rows.begin(), rows.end(),
                               [](const TStatsRow& r) { return r.Name == "(others)"; });
    ASSERT_NE(others, rows.end());
    EXPECT_FALSE(others->Select.FilterFields(TLocale::Classic()));
}
