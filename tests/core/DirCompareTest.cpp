// The comparison of two logs written from trees in memory: what each entry becomes, in which
// order, and the links of the file that the compare window walks.
#include "core/DirCompare.h"
#include "core/LogChecks.h"
#include "support/CompareTestTrees.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vm;
using namespace vmtest;

namespace {

class DirCompareTest : public ::testing::Test
{
protected:
    struct Row
    {
        int32_t Offset;
        TCompareRecord R;
        std::string Name;
        std::string Path;
    };

    std::vector<Row> Compare(const TestTree& oldTree, const TestTree& newTree)
    {
        oldLog_ = TMemoryStream(TestLogBytes(oldTree));
        newLog_ = TMemoryStream(TestLogBytes(newTree));
        return CompareStreams();
    }
    std::vector<Row> CompareStreams()
    {
        TDirStorage oldLog(oldLog_), newLog(newLog_);
        TDirCompare writer(out_);
        writer.SetProgressHandler(progress_);
        writer.CompareLogs(oldLog, newLog);
        stopped_ = writer.Stopped();
        damage_ = writer.LogDamage();
        return Rows();
    }
    std::vector<Row> Rows()
    {
        TDirCompare reader(out_);
        std::vector<Row> rows;
        TCompareWalkEnd end =
            WalkRecords(reader, [&](int32_t at, const TCompareRecord& r, const std::string& name) {
                rows.push_back({at, r, name, reader.GetFullPath(at)});
                return true;
            });
        EXPECT_EQ(end.Damage, "");
        return rows;
    }
    // "condition path" per record, in file order.
    static std::vector<std::string> Summary(const std::vector<Row>& rows)
    {
        static const char* const kText[] = {"add", "del", "both"};
        std::vector<std::string> out;
        for (const Row& row : rows)
            out.push_back(std::string(kText[row.R.Condition % 3]) + " " + row.Path);
        return out;
    }
    const Row& Find(const std::vector<Row>& rows, const std::string& path)
    {
        for (const Row& row : rows)
            if (row.Path == path)
                return row;
        ADD_FAILURE() << "no record for " << path;
        return rows.front();
    }

    TMemoryStream oldLog_, newLog_, out_;
    TCompareProgress progress_;
    bool stopped_ = false;
    std::string damage_;
};

const TestTree kSample = {
    {"/data/",
     4096,
     {File("a.txt", 100), Dir("sub", {File("b", 5000), Dir("empty")}), File("z", 0)}},
    {"/srv/", 1024, {File("one", 1)}},
};

TEST_F(DirCompareTest, IdenticalLogsGiveOneRecordPerEntryInBoth)
{
    auto rows = Compare(kSample, kSample);
    EXPECT_EQ(Summary(rows),
              (std::vector<std::string>{"both /data", "both /data/a.txt", "both /data/sub",
                                        "both /data/sub/b", "both /data/sub/empty", "both /data/z",
                                        "both /srv", "both /srv/one"}));
    TDirStorage newLog(newLog_);
    for (const Row& row : rows) {
        EXPECT_EQ(row.R.SizeNow, row.R.SizeWas) << row.Path;
        EXPECT_EQ(row.R.AllocNow, row.R.AllocWas) << row.Path;
        EXPECT_EQ(newLog.GetFullPath(row.R.NewLogOffset), row.Path);
    }
    EXPECT_EQ(Find(rows, "/data").Name, "/data/");
    EXPECT_EQ(Find(rows, "/data").R.SizeNow, 5100);
    EXPECT_EQ(Find(rows, "/data").R.AllocNow, 4096 * 5); // two files, two directories
    EXPECT_EQ(Find(rows, "/data/sub/b").R.AllocNow, 8192);
    EXPECT_EQ(Find(rows, "/srv/one").R.AllocNow, 1024);
}

TEST_F(DirCompareTest, EmptyOldOrNewLogGivesEverythingAddedOrDeleted)
{
    auto added = Compare({}, kSample);
    auto deleted = (out_ = TMemoryStream(), Compare(kSample, {}));
    ASSERT_EQ(added.size(), 8u);
    ASSERT_EQ(deleted.size(), 8u);
    for (size_t i = 0; i < added.size(); ++i) {
        const TCompareRecord& a = added[i].R;
        const TCompareRecord& d = deleted[i].R;
        EXPECT_EQ(added[i].Path, deleted[i].Path);
        EXPECT_EQ(a.Condition, kConditionAdded) << added[i].Path;
        EXPECT_EQ(d.Condition, kConditionDeleted) << added[i].Path;
        EXPECT_EQ(a.SizeWas + a.AllocWas + d.SizeNow + d.AllocNow, 0);
        EXPECT_EQ(a.SizeNow, d.SizeWas);
        EXPECT_EQ(a.AllocNow, d.AllocWas);
        EXPECT_NE(a.NewLogOffset, -1);
        EXPECT_EQ(d.NewLogOffset, -1);
    }
    EXPECT_EQ(Find(added, "/data/sub/b").R.SizeNow, 5000);

    // A stream with no bytes at all is an empty log too; two of them give the header alone.
    oldLog_ = TMemoryStream();
    newLog_ = TMemoryStream();
    out_ = TMemoryStream();
    EXPECT_TRUE(CompareStreams().empty());
    EXPECT_EQ(out_.Bytes(), (std::vector<uint8_t>{'V', 'o', 'l', 'u', 'm', 'a', 'r', 'k', ' ', '1',
                                                  '.', '0', '2', 0x1A}));
}

TEST_F(DirCompareTest, DirectoryOnlyInOneLogGoesOutWithItsWholeSubtree)
{
    const TestTree oldTree = {{"/r/", 0, {Dir("D", {File("x", 1), Dir("y", {File("z", 2)})})}}};
    // The new log has names that sort around D's subtree: "D " and "D-" after it, "d" (the same
    // letters) right behind it, and "C~" before it.
    const TestTree newTree = {
        {"/r/", 0, {File("C~", 3), File("D ", 4), Dir("d", {File("x", 1)}), File("D-", 5)}}};
    EXPECT_EQ(Summary(Compare(oldTree, newTree)),
              (std::vector<std::string>{"both /r", "add /r/C~", "del /r/D", "del /r/D/x",
                                        "del /r/D/y", "del /r/D/y/z", "add /r/d", "add /r/d/x",
                                        "add /r/D ", "add /r/D-"}));
    out_ = TMemoryStream();
    EXPECT_EQ(Summary(Compare(newTree, oldTree)),
              (std::vector<std::string>{"both /r", "del /r/C~", "add /r/D", "add /r/D/x",
                                        "add /r/D/y", "add /r/D/y/z", "del /r/d", "del /r/d/x",
                                        "del /r/D ", "del /r/D-"}));
}

TEST_F(DirCompareTest, NamesThatDifferOnlyInCaseAreSeparateEntries)
{
    const TestTree oldTree = {
        {"/r/", 0, {File("Readme", 1), File("README", 2), File("readme", 3), File("b", 9)}}};
    const TestTree newTree = {{"/r/", 0, {File("README", 20), File("readMe", 30), File("B", 9)}}};
    auto rows = Compare(oldTree, newTree);
    EXPECT_EQ(Summary(rows),
              (std::vector<std::string>{"both /r", "add /r/B", "del /r/b", "both /r/README",
                                        "del /r/Readme", "add /r/readMe", "del /r/readme"}));
    EXPECT_EQ(Find(rows, "/r/README").R.SizeWas, 2);
    EXPECT_EQ(Find(rows, "/r/README").R.SizeNow, 20);
}

TEST_F(DirCompareTest, PathBelowANameComesBeforeLongerNames)
{
    const TestTree full = {
        {"/x/", 0, {File("AB-", 1), File("AB C", 2), Dir("AB", {File("X", 3)}), File("ABC", 4)}}};
    const TestTree withoutDir = {{"/x/", 0, {File("AB-", 1), File("AB C", 2), File("ABC", 4)}}};
    EXPECT_EQ(Summary(Compare(full, full)),
              (std::vector<std::string>{"both /x", "both /x/AB", "both /x/AB/X", "both /x/AB C",
                                        "both /x/AB-", "both /x/ABC"}));
    out_ = TMemoryStream();
    EXPECT_EQ(Summary(Compare(withoutDir, full)),
              (std::vector<std::string>{"both /x", "add /x/AB", "add /x/AB/X", "both /x/AB C",
                                        "both /x/AB-", "both /x/ABC"}));
}

TEST_F(DirCompareTest, NamesAboveTildeAreMatchedAfterTheOtherLogEnds)
{
    // Bytes above "~" (UTF-8 names) sort after every ASCII name, so they come last; a log that
    // has run out must not stand in their way.
    const TestTree oldTree = {{"/r/", 0, {File("a", 1), File("\xc3\xa9t\xc3\xa9", 2)}}};
    const TestTree newTree = {
        {"/r/", 0, {File("~~~~~~~~~~~~~~~~~~~~~~", 5), File("\xc3\xa9t\xc3\xa9", 3)}}};
    auto rows = Compare(oldTree, newTree);
    EXPECT_EQ(Summary(rows),
              (std::vector<std::string>{"both /r", "del /r/a", "add /r/~~~~~~~~~~~~~~~~~~~~~~",
                                        "both /r/\xc3\xa9t\xc3\xa9"}));
    EXPECT_EQ(Find(rows, "/r/\xc3\xa9t\xc3\xa9").R.SizeWas, 2);
}

TEST_F(DirCompareTest, RootsAreMatchedByPathWhateverOrderEitherLogHoldsThem)
{
    // The old log holds its paths in the order they were added; the new one, logged after a path
    // was added and the paths sorted, in name order. Paths in both are unchanged, the rest
    // added or deleted, and the comparison lists them in name order.
    const TestTree old = {{"/r/proj/", 0, {File("p", 1)}},
                          {"/r/gone/", 0, {File("g", 3)}},
                          {"/r/docs/", 0, {Dir("d", {File("f", 2)})}}};
    const TestTree now = {{"/r/docs/", 0, {Dir("d", {File("f", 2)})}},
                          {"/r/extra/", 0, {File("e", 4)}},
                          {"/r/proj/", 0, {File("p", 1)}}};
    auto rows = Compare(old, now);
    EXPECT_EQ(Summary(rows),
              (std::vector<std::string>{"both /r/docs", "both /r/docs/d", "both /r/docs/d/f",
                                        "add /r/extra", "add /r/extra/e", "del /r/gone",
                                        "del /r/gone/g", "both /r/proj", "both /r/proj/p"}));
    EXPECT_EQ(Find(rows, "/r/docs").R.AllocWas, Find(rows, "/r/docs").R.AllocNow);
    out_ = TMemoryStream();
    EXPECT_EQ(Summary(Compare(now, old)),
              (std::vector<std::string>{"both /r/docs", "both /r/docs/d", "both /r/docs/d/f",
                                        "del /r/extra", "del /r/extra/e", "add /r/gone",
                                        "add /r/gone/g", "both /r/proj", "both /r/proj/p"}));
}

TEST_F(DirCompareTest, MatchedEntryTakesTheNewLogsData)
{
    TestEntry oldFile = File("f", 10, 1600000000);
    TestEntry newFile = File("f", 12, 1700000000);
    newFile.ExtraAttributes = faReadOnly;
    // A file that became a directory is still one entry; its content is added.
    auto rows = Compare({{"/r/", 0, {oldFile, File("g", 7)}}},
                        {{"/r/", 0, {newFile, Dir("g", {File("in", 1)})}}});
    EXPECT_EQ(Summary(rows),
              (std::vector<std::string>{"both /r", "both /r/f", "both /r/g", "add /r/g/in"}));
    const Row& f = Find(rows, "/r/f");
    EXPECT_EQ(f.R.Attributes, faNormal | faReadOnly);
    EXPECT_EQ(f.R.Modified, (TFileTime{1700000000, 0}.ToDateTime()));
    EXPECT_EQ(f.R.Kind, kKindFile);
    EXPECT_EQ(Find(rows, "/r/g").R.Kind, kKindDirectory);
    EXPECT_EQ(Find(rows, "/r/g").R.SizeWas, 7);
    EXPECT_EQ(Find(rows, "/r/g/in").R.ParentOffset, Find(rows, "/r/g").Offset);
}

TEST_F(DirCompareTest, OnlyDirectoryAtFourteenLinksToItself)
{
    auto rows =
        Compare({{"/data/", 0, {File("a", 1), File("b", 2)}}}, {{"/data/", 0, {File("a", 1)}}});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Offset, 14);
    EXPECT_EQ(rows[0].R.NextDirOffset, 14);
    TDirCompare reader(out_);
    EXPECT_EQ(reader.ForwardLink(14, rows[0].R.NextDirOffset), -1);
}

TEST_F(DirCompareTest, DeepTreesKeepTheirLevelsAndParents)
{
    TestEntry leaf = File("leaf", 1);
    std::string path;
    for (int level = 60; level >= 1; --level) {
        leaf = Dir("d" + std::to_string(level), {leaf});
        path = "/d" + std::to_string(level) + path;
    }
    auto rows = Compare({{"/deep/", 0, {leaf}}}, {{"/deep/", 0, {leaf}}});
    ASSERT_EQ(rows.size(), 62u);
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].R.Level, i);
        EXPECT_EQ(rows[i].R.ParentOffset, rows[i - 1].Offset);
    }
    EXPECT_EQ(rows.back().Path, "/deep" + path + "/leaf");
}

TEST_F(DirCompareTest, ProgressNamesOldDirectoriesAndStopEndsTheRun)
{
    std::vector<std::string> seen;
    progress_ = [&](const std::string& path, bool&) { seen.push_back(path); };
    Compare(kSample, kSample);
    EXPECT_EQ(seen, (std::vector<std::string>{"/data", "/data/sub", "/data/sub/empty", "/srv"}));
    EXPECT_FALSE(stopped_);

    out_ = TMemoryStream();
    progress_ = [&](const std::string& path, bool& stop) { stop = path == "/data/sub"; };
    // The step that asked is still written; nothing after it.
    EXPECT_EQ(Summary(Compare(kSample, kSample)),
              (std::vector<std::string>{"both /data", "both /data/a.txt", "both /data/sub"}));
    EXPECT_TRUE(stopped_);
}

TEST_F(DirCompareTest, DamagedInputLogEndsItsWalkAndSaysWhere)
{
    std::vector<uint8_t> bytes = TestLogBytes(kSample);
    TMemoryStream probe(bytes);
    TDirStorage log(probe);
    TDirNode node;
    std::string name;
    ASSERT_TRUE(log.ReadNode(40, node, name));
    const int32_t second = node.NextOffset;
    ASSERT_TRUE(log.ReadNode(second, node, name));
    PutI32(bytes.data() + second + rec::NextOffset, 40); // back to the first record
    oldLog_ = TMemoryStream(bytes);
    newLog_ = TMemoryStream(TestLogBytes(kSample));
    auto rows = CompareStreams();
    EXPECT_EQ(Summary(rows)[1], "both /data/a.txt");
    EXPECT_EQ(Find(rows, "/data/sub").R.Condition, kConditionAdded);
    EXPECT_NE(damage_.find("old log is damaged"), std::string::npos) << damage_;
    EXPECT_NE(damage_.find(TLogDamage{40, second, "the link points back"}.Text()),
              std::string::npos)
        << damage_;
}

TEST_F(DirCompareTest, ABrokenChainOfTopLevelPathsIsDamageNotADeletedPath)
{
    std::vector<uint8_t> bytes = TestLogBytes(kSample);
    PutI32(bytes.data() + 40 + rec::NextSiblingOffset, 40); // /data's next path: itself
    oldLog_ = TMemoryStream(bytes);
    newLog_ = TMemoryStream(TestLogBytes(kSample));
    auto rows = CompareStreams();
    EXPECT_EQ(Find(rows, "/data/sub/b").R.Condition, kConditionBoth);
    EXPECT_NE(damage_.find("old log is damaged"), std::string::npos) << damage_;
    EXPECT_NE(damage_.find(TLogDamage{40, 40, "the link points back"}.Text()), std::string::npos)
        << damage_;
}

} // namespace

namespace {

// Logs of a real tree on disk, before and after changes, as the logging run makes them.
TEST(DirCompareOfScannedTrees, MatchesEntriesByExactNameAcrossCaseAndNonAsciiNames)
{
    vmtest::TempDir dir;
    dir.MakeDir("t");
    dir.MakeDir("t/Docs");
    dir.MakeDir("t/docs");
    dir.WriteFile("t/Docs/a", "1");
    dir.WriteFile("t/docs/a", "22");
    dir.WriteFile("t/\xc3\xa9t\xc3\xa9", "333");
    dir.WriteFile("t/~", "4");
    dir.WriteFile("t/README", "5");
    auto scan = [&](TMemoryStream& stream) {
        TDirStorage log(stream);
        log.BuildLog({{dir / "t/", 1024}});
    };
    TMemoryStream oldStream, newStream, out;
    scan(oldStream);
    dir.WriteFile("t/docs/a", std::string(3000, 'x'));
    dir.WriteFile("t/Readme", "6");
    ASSERT_EQ(::unlink((dir / "t/Docs/a").c_str()), 0);
    scan(newStream);

    TDirStorage oldLog(oldStream), newLog(newStream);
    TDirCompare comparison(out);
    comparison.CompareLogs(oldLog, newLog);
    std::vector<std::string> rows;
    const std::string t = dir / "t";
    WalkRecords(comparison, [&](int32_t at, const TCompareRecord& r, const std::string&) {
        rows.push_back(std::to_string(r.Condition) + " " +
                       comparison.GetFullPath(at).substr(t.size()) + " " +
                       std::to_string(r.SizeWas) + ">" + std::to_string(r.SizeNow));
        return true;
    });
    EXPECT_EQ(rows,
              (std::vector<std::string>{"2  8>3006", "2 /Docs 1>0", "1 /Docs/a 1>0",
                                        "2 /docs 2>3000", "2 /docs/a 2>3000", "2 /README 1>1",
                                        "0 /Readme 0>1", "2 /~ 1>1", "2 /\xc3\xa9t\xc3\xa9 3>3"}));
}

} // namespace
