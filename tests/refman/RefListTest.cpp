// What the reference manager's lists show and how they sort, read from real data directories.
#include "refman/RefList.h"

#include "RefManData.h"
#include "display/ImageIndexes.h"
#include "platform/FileSystem.h"
#include "references/RefFiles.h"
#include "refman/RefListSort.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vm;
using vmtest::RefManData;

namespace {

constexpr TDateTime kDay = 45000.5; // 03/15/23 12:00:00

class RefListTest : public ::testing::Test
{
protected:
    std::vector<TRefRow> Refs() { return ListReferenceRows(fx.Store, locale); }
    const TRefRow& Ref(const std::vector<TRefRow>& rows, int n)
    {
        auto it = std::find_if(rows.begin(), rows.end(), [n](auto& r) { return r.Number == n; });
        EXPECT_NE(it, rows.end()) << "reference " << n;
        return *it;
    }

    RefManData fx;
    TLocale locale = TLocale::Classic();
};

TEST_F(RefListTest, ReferencesAreTheStoresDirectoriesInNumberOrder)
{
    fx.AddRef(12, "Servers", {});
    fx.AddRef(1, "Named", {});
    fx.Root.MakeDir("data/Ref0002"); // a directory without a section
    fx.Root.MakeDir("data/Logs");
    fx.Root.MakeDir("data/Ref0003.old");
    fx.Root.MakeDir("data/ref0004"); // not a name the store writes
    fx.Root.WriteFile("data/Ref0005", "a file, not a reference");
    const std::vector<TRefRow> rows = Refs();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Caption, "Named");
    EXPECT_EQ(rows[1].Caption, "Ref0002");
    EXPECT_EQ(rows[2].Caption, "Servers");
    for (const TRefRow& r : rows) {
        EXPECT_EQ(r.LastLogDate, kNotLogged);
        EXPECT_EQ(r.LastLogSize, "");
        EXPECT_EQ(r.ChangeKey, 0);
    }
}

TEST_F(RefListTest, LogChangeComparesTheLatestLogWithTheOneBefore)
{
    fx.AddRef(0, "Growing", {});
    fx.AddLog(0, 1, kDay, 1000);
    fx.AddLog(0, 2, kDay + 1, 3000);
    fx.AddLog(0, 3, kDay + 2, 5047);
    fx.AddRef(1, "Shrinking", {});
    fx.AddLog(1, 1, kDay, 5047);
    fx.AddLog(1, 2, kDay + 1, 3000);
    fx.AddRef(2, "Single", {});
    fx.AddLog(2, 7, kDay, 1000);
    fx.AddRef(3, "Same", {});
    fx.AddLog(3, 1, kDay, 1000);
    fx.AddLog(3, 2, kDay + 1, 1000);
    // A later number with an earlier date: the latest log is the one dated latest, and as it
    // comes first there is no log before it.
    fx.AddRef(4, "Clock went back", {});
    fx.AddLog(4, 1, kDay + 5, 1000);
    fx.AddLog(4, 2, kDay, 9000);
    const std::vector<TRefRow> rows = Refs();

    const TRefRow& growing = Ref(rows, 0);
    EXPECT_EQ(growing.LastLogDate, "03/17/23 12:00:00");
    EXPECT_EQ(growing.LastLogSize, "5 KB"); // 5047 bytes
    EXPECT_EQ(growing.LogChange, "+2 KB");  // 5047 - 3000, rounded up
    EXPECT_EQ(growing.ChangeKey, 2047);
    EXPECT_EQ(growing.SizeKey, 5047);
    EXPECT_DOUBLE_EQ(growing.DateKey, kDay + 2);

    EXPECT_EQ(Ref(rows, 1).LogChange, "-2 KB");
    EXPECT_EQ(Ref(rows, 1).ChangeKey, -2047);
    EXPECT_EQ(Ref(rows, 2).LogChange, "");
    EXPECT_EQ(Ref(rows, 2).LastLogSize, "1 KB");
    EXPECT_EQ(Ref(rows, 3).LogChange, "");
    EXPECT_EQ(Ref(rows, 3).ChangeKey, 0);
    EXPECT_EQ(Ref(rows, 4).LastLogSize, "1 KB");
    EXPECT_EQ(Ref(rows, 4).LogChange, "");
}

TEST_F(RefListTest, LogsAboveNineThousandNineHundredNinetyNineKeepTheirNumbersAndFiles)
{
    fx.AddRef(0, "Hourly", {});
    // Listed by name, Log10000.kdf comes before Log9999.kdf.
    fx.AddLog(0, 10000, kDay + 1, 2000);
    fx.AddLog(0, 9999, kDay, 1000);
    fx.Root.WriteFile("data/Ref0000/Log0009.kdf.partial", "a run's temporary file");
    fx.Root.WriteFile("data/Ref0000/log0009.kdf", "not a name the store writes");
    const std::vector<TRHSRow> logs = LogRows(fx.Store, locale, 0);
    ASSERT_EQ(logs.size(), 2u);
    EXPECT_EQ(logs[0].Caption, "Log 9999");
    EXPECT_EQ(logs[0].FileName, "Log9999.kdf");
    EXPECT_EQ(logs[1].Caption, "Log 10000");
    EXPECT_EQ(logs[1].FileName, "Log10000.kdf");
    EXPECT_EQ(logs[1].Log, 10000);
    EXPECT_EQ(logs[1].Image, img::Log);
    EXPECT_EQ(logs[1].Columns[0], "2 KB");
    EXPECT_EQ(logs[1].Columns[2], "Thu 03/16/23 12:00:00");
    const TRefRow hourly = Refs()[0];
    EXPECT_EQ(hourly.LastLogSize, "2 KB"); // log 10000 is the latest
    EXPECT_EQ(hourly.ChangeKey, 1000);
}

TEST_F(RefListTest, ALogThatCannotBeReadIsUndatedAndEmpty)
{
    fx.AddRef(0, "Damaged", {});
    fx.Root.WriteFile("data/Ref0000/Log0001.kdf", "not a log");
    const std::vector<TRHSRow> logs = LogRows(fx.Store, locale, 0);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].Columns, (std::array<std::string, 3>{"0 KB", "0 KB", "unavailable"}));
    EXPECT_EQ(Refs()[0].LastLogDate, kNotLogged);
}

TEST_F(RefListTest, ComparisonsShowTheirLogsAndHowTheSpaceChanged)
{
    fx.AddRef(0, "Compared", {});
    fx.AddLog(0, 1, kDay, 5000);
    fx.AddLog(0, 2, kDay + 1, 2952);
    fx.AddLog(0, 9999, kDay + 2, 2952);
    fx.AddLog(0, 10000, kDay + 3, 9000);
    fx.AddComparison(0, 1, 2);
    fx.AddComparison(0, 2, 9999);
    fx.AddComparison(0, 9999, 10000);
    const std::vector<TRHSRow> rows = ComparisonRows(fx.Store, locale, 0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Caption, "Log 1 with Log 2");
    EXPECT_EQ(rows[0].Columns[1], "-2 KB"); // 2953 - 5001 = -2048
    EXPECT_EQ(rows[0].Size, -2048);
    EXPECT_EQ(rows[0].StateImage, img::Smaller);
    EXPECT_EQ(rows[1].StateImage, img::Unchanged);
    EXPECT_EQ(rows[2].Caption, "Log 9999 with Log 10000");
    EXPECT_EQ(rows[2].FileName, "999910000.kcf");
    EXPECT_EQ(rows[2].StateImage, img::Bigger);
    EXPECT_EQ(rows[2].NewLog, 10000);
}

TEST_F(RefListTest, PathsAreShownAsStored)
{
    fx.AddRef(0, "No paths", {});
    EXPECT_TRUE(PathRows(fx.Store, 0).empty());
    fx.AddRef(1, "Two paths", {{"/srv/Data/", "4096"}, {"/srv/web/", "0"}});
    const std::vector<TRHSRow> rows = PathRows(fx.Store, 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Caption, "/srv/Data/");
    EXPECT_EQ(rows[0].Columns[0], "4096");
    EXPECT_EQ(rows[0].Columns[1], "ext4");
    EXPECT_EQ(rows[0].Path.Unit, 4096);
    EXPECT_FALSE(rows[1].Path.UnitValid);
}

// Sorts as a header click does: a stable sort under the signed code.
template <class Row, class Compare> std::vector<int> SortedBy(std::vector<Row> rows, Compare c)
{
    std::stable_sort(rows.begin(), rows.end(), [&](auto& a, auto& b) { return c(a, b) < 0; });
    std::vector<int> order;
    for (const Row& r : rows)
        order.push_back(int(r.SizeKey));
    return order;
}

TEST_F(RefListTest, HeaderClicksShareOneToggleThatStartsTrue)
{
    std::vector<TRefRow> rows(3);
    rows[0].SizeKey = 20;
    rows[1].SizeKey = 30;
    rows[2].SizeKey = 10;
    const int code = SortCodeOfColumn("Last log size");
    ASSERT_EQ(code, sortcode::LastLogSize);
    bool toggle = true;
    auto click = [&] {
        toggle = !toggle;
        const int signedCode = SignedSortCode(code, toggle);
        return SortedBy(rows, [&](auto& a, auto& b) { return CompareRefRows(a, b, signedCode); });
    };
    EXPECT_EQ(click(), (std::vector<int>{30, 20, 10})); // the first click: largest first
    EXPECT_EQ(click(), (std::vector<int>{10, 20, 30}));
    toggle = !toggle; // a click on the other list in between: the next one does not reverse
    EXPECT_EQ(click(), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(SortCodeOfColumn(""), sortcode::None);
    EXPECT_EQ(SortCodeOfColumn("log size"), sortcode::None); // captions are exact
}

TEST_F(RefListTest, AFreshFillSortsComparisonsNewestFirstAndKeepsLogsInNumberOrder)
{
    TRHSRow a, b, c;
    a.Log = 1, a.NewLog = 2;
    b.Log = 2, b.NewLog = 3;
    c.Log = 1, c.NewLog = 3;
    std::vector<TRHSRow> rows = {a, b, c};
    std::stable_sort(rows.begin(), rows.end(), [](auto& x, auto& y) {
        return CompareRHSRows(x, y, ViewInfo(TRHSView::Compares).FillSortCode) < 0;
    });
    EXPECT_EQ(rows[0].Log * 10 + rows[0].NewLog, 23);
    EXPECT_EQ(rows[1].Log * 10 + rows[1].NewLog, 13);
    EXPECT_EQ(rows[2].Log * 10 + rows[2].NewLog, 12);
    EXPECT_EQ(CompareRHSRows(a, b, ViewInfo(TRHSView::Logs).FillSortCode), 0);
    TRHSRow path1, path2;
    path1.Caption = "/b/";
    path2.Caption = "/a/";
    EXPECT_EQ(CompareRHSRows(path1, path2, ViewInfo(TRHSView::Paths).FillSortCode), 0);
    // "Compared logs" orders by the new log, then the old one.
    EXPECT_LT(CompareRHSRows(c, b, -sortcode::ComparedLogs), 0);
    EXPECT_GT(CompareRHSRows(c, a, -sortcode::ComparedLogs), 0);
}

TEST(FitColumnWidths, ALongFirstColumnLeavesTheOthersInView)
{
    // Short texts: each column the wider of its least width and its texts.
    EXPECT_EQ(FitColumnWidths({100, 110, 70, 70}, {90, 140, 60, 80}, 460),
              (std::vector<int>{100, 140, 70, 80}));
    // An 80-character name: cut to what the other columns leave.
    EXPECT_EQ(FitColumnWidths({100, 110, 70, 70}, {700, 140, 60, 80}, 460),
              (std::vector<int>{170, 140, 70, 80}));
    // A narrow list: never below the least width.
    EXPECT_EQ(FitColumnWidths({100, 110, 70, 70}, {700, 140, 60, 80}, 200),
              (std::vector<int>{100, 140, 70, 80}));
    // A hidden column takes no room.
    EXPECT_EQ(FitColumnWidths({120, 80, 80, -1}, {900, 60, 60, 40}, 500),
              (std::vector<int>{340, 80, 80, 0}));
}

} // namespace
