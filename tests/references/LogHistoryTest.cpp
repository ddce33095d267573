#include "references/LogHistory.h"

#include "references/LoggingRun.h"
#include "references/RefStore.h"
#include "support/CompareTestTrees.h"
#include "support/RefFixture.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

class LogHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override { fx.AddRef(0, "Servers", {}); }
    // Log m of reference 0 holding the tree, dated date.
    void WriteLog(int m, const TestTree& tree, TDateTime date)
    {
        TFileStream file(store.LogFileName(0, m), TFileMode::Create);
        WriteTestLog(tree, file, date);
    }
    static TestTree Tree(int64_t data, int64_t home)
    {
        return {{"/data/", 4096, {File("f", data)}}, {"/home/", 1024, {File("g", home)}}};
    }

    RefFixture fx;
    TRefStore store{fx.DataDir()};
};

TEST_F(LogHistoryTest, LogsComeInDateOrderWithTheTotalsOfEachRootAndOfTheLog)
{
    const TDateTime monday = EncodeDateTime({2026, 12, 7, 14, 30, 5, 0});
    WriteLog(1, Tree(10000, 100), monday + 2);
    WriteLog(2, Tree(20000, 200), monday + 3);
    WriteLog(7, Tree(5000, 50), monday); // numbered later, logged first (a restored log)
    fx.Root.WriteFile(store.RefDir(0).substr(fx.Root.Path().size() + 1) + "/log0003.kdf.bak",
                      "not listed");

    std::vector<TLogSummary> history = LogHistory(store, 0);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].LogNumber, 7);
    EXPECT_EQ(history[1].LogNumber, 1);
    EXPECT_EQ(history[2].LogNumber, 2);
    for (const TLogSummary& s : history) {
        SCOPED_TRACE(s.LogNumber);
        const TLogTotals totals = LogTotals(store, 0, s.LogNumber);
        EXPECT_EQ(s.Size, totals.Size);
        EXPECT_EQ(s.Allocated, totals.Allocated);
        EXPECT_EQ(s.Date, LogDate(store, 0, s.LogNumber));
        ASSERT_EQ(s.Roots.size(), 2u);
        EXPECT_EQ(s.Roots[0].Path, "/data/");
        EXPECT_EQ(s.Roots[1].Path, "/home/");
        EXPECT_EQ(s.Roots[0].Size + s.Roots[1].Size, s.Size);
        EXPECT_EQ(s.Roots[0].Allocated + s.Roots[1].Allocated, s.Allocated);
    }
    EXPECT_EQ(history[1].Roots[0].Size, 10000);
    EXPECT_EQ(history[1].Roots[0].Allocated, 12288); // the file, in units of 4096
    EXPECT_EQ(history[1].Roots[1].Allocated, 1024);

    std::vector<TLogSummary> last = LogHistory(store, 0, 2);
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0].LogNumber, 1);
    EXPECT_EQ(last[1].LogNumber, 2);

    EXPECT_EQ(HistoryTableLines(history, TLocale::Classic()),
              (std::vector<std::string>{"Recent logs of this reference :",
                                        "Log  Date                   Space taken   Size  Change",
                                        "  7  Mon 12/07/26 14:30:05         9 KB   5 KB",
                                        "  1  Wed 12/09/26 14:30:05        13 KB  10 KB   +4 KB",
                                        "  2  Thu 12/10/26 14:30:05        21 KB  20 KB   +8 KB"}));
}

TEST_F(LogHistoryTest, AFileThatIsNoLogReadsAsEmptyAndAMissingOneIsLeftOut)
{
    WriteLog(1, Tree(1, 1), 46000);
    fx.Root.WriteFile(store.RefDir(0).substr(fx.Root.Path().size() + 1) + "/Log0002.kdf", "");
    EXPECT_FALSE(ReadLogSummary(store.LogFileName(0, 3), 3).Readable);
    std::vector<TLogSummary> history = LogHistory(store, 0);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].LogNumber, 2); // undated: first
    EXPECT_TRUE(history[0].Roots.empty());
    EXPECT_EQ(history[0].Allocated, 0);
    EXPECT_EQ(history[1].LogNumber, 1);
}

} // namespace
