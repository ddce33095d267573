#include "output/ListExport.h"

#include "platform/FileSystem.h"
#include "support/ListTableDouble.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

ListTableDouble Table()
{
    ListTableDouble t = ExploreLikeTable();
    t.Add({"a, \"quoted\".txt", "/d/", "TXT File", "1 KB", "4 KB", "12/07/26 14:30:05"},
          {{3, 10}, {4, 4096}});
    t.Add({"sub", "/d/", "File folder", "2.00 MB", "2.01 MB", ""}, {{3, 2097152}, {4, 2105344}});
    return t;
}

TEST(ListExport, ShownColumnsAsShownWithTheBytesBesideEverySizeColumn)
{
    TempDir dir;
    TPosixFileSystem fs;
    std::vector<std::pair<int, int>> calls;
    TListExportResult r = ExportListCsv(Table(), fs, dir / "list.csv", [&](int done, int total) {
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(r.Rows, 2);
    EXPECT_FALSE(r.Stopped);
    EXPECT_EQ(dir.ReadFile("list.csv"),
              "File name,Type,File size,File size (bytes),Disk space,Disk space (bytes),"
              "Date modified\r\n"
              "\"a, \"\"quoted\"\".txt\",TXT File,1 KB,10,4 KB,4096,12/07/26 14:30:05\r\n"
              "sub,File folder,2.00 MB,2097152,2.01 MB,2105344,\r\n");
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 2}, {2, 2}}));

    // The compare window's "Changed by" gets now minus was, whatever its text.
    ListTableDouble compare;
    compare.Columns = {{"File name", 160, false},
                       {"Space was", 80, true},
                       {"Space now", 80, true},
                       {"Changed by", 80, true}};
    compare.Add({"f", "8 KB", "4 KB", "-4 KB"}, {{1, 8192}, {2, 4096}});
    ExportListCsv(compare, fs, dir / "c.csv", [](int, int) { return true; });
    EXPECT_EQ(dir.ReadFile("c.csv"), "File name,Space was,Space was (bytes),Space now,"
                                     "Space now (bytes),Changed by,Changed by (bytes)\r\n"
                                     "f,8 KB,8192,4 KB,4096,-4 KB,-4096\r\n");
}

TEST(ListExport, AStopLeavesNoFileAndAnEarlierOneAsItWas)
{
    TempDir dir;
    TPosixFileSystem fs;
    ListTableDouble many = ExploreLikeTable();
    for (int i = 0; i < 25; ++i)
        many.Add({"f" + std::to_string(i)}, {{3, i}, {4, i}});
    dir.WriteFile("list.csv", "before");
    std::vector<int> seen;
    TListExportResult r = ExportListCsv(
        many, fs, dir / "list.csv",
        [&](int done, int) {
            seen.push_back(done);
            return done < 20;
        },
        10);
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(seen, (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(dir.ReadFile("list.csv"), "before");
    // Nothing else is left in the directory (no temporary).
    TPosixFileSystem check;
    int error = 0;
    std::vector<TFileInfo> entries;
    ASSERT_TRUE(check.ListPath(dir.Path(), entries, error));
    EXPECT_EQ(entries.size(), 1u);
}

} // namespace
