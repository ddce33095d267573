// The clipboard text of a list and the column list of "Print options".
#include "output/ClipboardText.h"

#include "support/ListTableDouble.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using vmtest::ExploreLikeTable;
using vmtest::ListTableDouble;

TLocale Comma()
{
    return TLocale::Classic().WithSeparators(",", ".");
}

TEST(ColumnItemsTest, HiddenColumnsAreNotUsedInPrintModeOnly)
{
    ListTableDouble t = ExploreLikeTable();
    std::vector<TColumnItem> print = ColumnItems(t, false);
    ASSERT_EQ(print.size(), 6u); // the caption-less column of raw values is never offered
    EXPECT_EQ(print[1].Text, "Full path <not used>");
    EXPECT_FALSE(print[1].Checkable);
    EXPECT_TRUE(print[0].Checkable);
    EXPECT_EQ(print[5].Column, 5);

    std::vector<TColumnItem> copy = ColumnItems(t, true);
    EXPECT_EQ(copy[1].Text, "Full path");
    EXPECT_TRUE(copy[1].Checkable);
}

TEST(ClipboardTextTest, HeaderAndRowsEndEachFieldWithATab)
{
    ListTableDouble t = ExploreLikeTable();
    t.Add({"a.txt", "/srv/", "Text", "2 KB", "4 KB", "01/02/03"}, {{3, 1234}, {4, 4096}});
    t.Add({"b", "/srv/", "File", "1.00 MB", "1.00 MB", ""}, {{3, 1048576}, {4, 1048576}});
    EXPECT_EQ(ClipboardText(t, {0, 3, 4}, TSizeFormat::AsDisplayed, Comma()),
              "File name\tFile size\tDisk space\t\n"
              "a.txt\t2 KB\t4 KB\t\n"
              "b\t1.00 MB\t1.00 MB\t\n");
    EXPECT_EQ(ClipboardText(t, {0, 1, 3}, TSizeFormat::KB, Comma()),
              "File name\tFull path\tFile size\t\n"
              "a.txt\t/srv/\t1.21\t\n"
              "b\t/srv/\t1,024.00\t\n");
    EXPECT_EQ(ClipboardText(t, {3, 4}, TSizeFormat::MB, Comma()),
              "File size\tDisk space\t\n0.00\t0.00\t\n1.00\t1.00\t\n");
}

TEST(ClipboardTextTest, SizeFormatsUseTheLocale)
{
    EXPECT_EQ(SizeNumberText(1234567, TSizeFormat::Bytes, Comma()), "1,234,567");
    EXPECT_EQ(SizeNumberText(10500000000, TSizeFormat::Bytes, Comma()), "10,500,000,000");
    EXPECT_EQ(SizeNumberText(1234567, TSizeFormat::Bytes, TLocale::Classic()), "1234567");
    EXPECT_EQ(SizeNumberText(1259520, TSizeFormat::KB, Comma()), "1,230.00");
    EXPECT_EQ(SizeNumberText(1289748, TSizeFormat::MB, Comma()), "1.23");
    EXPECT_EQ(SizeNumberText(-2048, TSizeFormat::KB, Comma()), "-2.00");
    EXPECT_EQ(
        SizeNumberText(1234567, TSizeFormat::Bytes, TLocale::Classic().WithSeparators(".", ",")),
        "1.234.567");
}

TEST(ClipboardTextTest, ChangedByIsSpaceNowMinusSpaceWas)
{
    ListTableDouble t;
    t.Columns = {{"File name", 160, false}, {"Full path", 0, false}, {"File type", 100, false},
                 {"Space was", 80, true},   {"Space now", 80, true}, {"Changed by", 80, true}};
    // The window's own number for "Changed by" is was minus now; the copy is now minus was.
    t.Add({"grew", "/x/", "File", "4 KB", "12 KB", "+8 KB"}, {{3, 4096}, {4, 12288}, {5, -8192}});
    t.Add({"went", "/x/", "File", "8 KB", "0 KB", "-8 KB"}, {{3, 8192}, {4, 0}, {5, 8192}});
    EXPECT_EQ(ClipboardText(t, {0, 3, 4, 5}, TSizeFormat::Bytes, Comma()),
              "File name\tSpace was\tSpace now\tChanged by\t\n"
              "grew\t4,096\t12,288\t8,192\t\n"
              "went\t8,192\t0\t-8,192\t\n");
}

TEST(ClipboardTextTest, TabsAndLineBreaksInNamesDoNotSplitTheRow)
{
    ListTableDouble t = ExploreLikeTable();
    t.Add({"two\tparts\nand\rmore", "/odd\t/", "", "1 KB", "1 KB", ""}, {{3, 1}, {4, 4096}});
    EXPECT_EQ(ClipboardText(t, {0, 1, 4}, TSizeFormat::Bytes, Comma()),
              "File name\tFull path\tDisk space\t\n"
              "two\\x09parts\\x0Aand\\x0Dmore\t/odd\\x09/\t4,096\t\n");
}

TEST(ClipboardTextTest, AnEmptyListGivesTheHeaderLine)
{
    ListTableDouble t = ExploreLikeTable();
    EXPECT_EQ(ClipboardText(t, {0}, TSizeFormat::KB, Comma()), "File name\t\n");
}

} // namespace
} // namespace vm
