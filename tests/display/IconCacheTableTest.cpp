// The icon cache's lookup rules: extensions compared upper-cased, images that differ per file
// never matched, and only rows the image list holds counted.
#include "display/IconCacheTable.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(IconCacheTable, ExtensionsDifferingOnlyInCaseShareOneRow)
{
    TIconCacheTable table;
    const int count = 6;
    EXPECT_EQ(table.GetImageIndex(".txt", count), count); // a miss: the caller adds image 6
    table.SetRow(count, ".txt", "Plain text document");
    EXPECT_EQ(table.GetImageIndex(".TXT", count + 1), 6);
    EXPECT_EQ(table.GetImageIndex(".Txt", count + 1), 6);
    ASSERT_NE(table.Row(6), nullptr);
    EXPECT_EQ(table.Row(6)->Extension, ".TXT");
    EXPECT_EQ(table.Row(6)->Index, "6");
    EXPECT_EQ(table.Row(6)->TypeText, "Plain text document");
}

TEST(IconCacheTable, OwnIconExtensionsAreNeverMatched)
{
    TIconCacheTable table;
    for (const char* ext : {".exe", ".BAT", ".Pif", ".com", ".ICO", ".mcc"}) {
        SCOPED_TRACE(ext);
        table.SetRow(6, ext, "Program");
        // Two files of such a type get two images: each lookup is a miss.
        EXPECT_EQ(table.GetImageIndex(ext, 7), 7);
        table.SetRow(7, ext, "Program");
        EXPECT_EQ(table.GetImageIndex(ext, 8), 8);
    }
    EXPECT_FALSE(TIconCacheTable::NeverCached(".EXE2"));
    EXPECT_FALSE(TIconCacheTable::NeverCached("EXE")); // without its dot it is another name
}

TEST(IconCacheTable, FixedImagesAndRowsBeyondTheListNeverMatch)
{
    TIconCacheTable table;
    // Rows below the first cached image stay empty: an empty extension never matches them.
    table.SetRow(8, "", "Nothing");
    EXPECT_EQ(table.GetImageIndex("", 9), 9);
    EXPECT_EQ(table.Row(3), nullptr);

    // A row written past the list's count (an icon that was never added) is not trusted.
    table.SetRow(12, ".LOG", "Log");
    EXPECT_EQ(table.GetImageIndex(".log", 10), 10);
    EXPECT_EQ(table.GetImageIndex(".log", 13), 12);
}

TEST(IconCacheTable, UpperCasingIsByteWise)
{
    EXPECT_EQ(TIconCacheTable::UpperExtension(".tar-gz_1"), ".TAR-GZ_1");
    // Bytes outside ASCII are kept as they are, whatever the locale.
    EXPECT_EQ(TIconCacheTable::UpperExtension(".\xc3\xa9t\xc3\xa9"), ".\xc3\xa9T\xc3\xa9");
}

} // namespace
} // namespace vm
