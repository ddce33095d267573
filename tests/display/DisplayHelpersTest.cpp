#include "display/DisplayHelpers.h"
#include "output/SizeText.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(SizeText, KilobytesRoundUpBelowOneMebibyte)
{
    TLocale c = TLocale::Classic();
    EXPECT_EQ(SizeText(0, c), "0 KB");
    EXPECT_EQ(SizeText(1, c), "1 KB");
    EXPECT_EQ(SizeText(1024, c), "1 KB");
    EXPECT_EQ(SizeText(1025, c), "2 KB");
    EXPECT_EQ(SizeText(-1024, c), "-1 KB");
    EXPECT_EQ(SizeText(1048575, c), "1024 KB");
}

TEST(SizeText, MegabytesAndGigabytesUseTheLocaleSeparators)
{
    TLocale us = TLocale::Classic().WithSeparators(",", ".");
    TLocale de = TLocale::Classic().WithSeparators(".", ",");
    EXPECT_EQ(SizeText(1048576, us), "1.00 MB");
    EXPECT_EQ(SizeText(1073741823, us), "1,024.00 MB");
    EXPECT_EQ(SizeText(1073741823, de), "1.024,00 MB");
    EXPECT_EQ(SizeText(1073741823, TLocale::Classic()), "1024.00 MB");
    EXPECT_EQ(SizeText(1073741824, us), "1.00 GB");
    EXPECT_EQ(SizeText(-1610612736, us), "-1.50 GB");
    EXPECT_EQ(SizeText(INT64_MAX, us), "8,589,934,592.00 GB");
    // The most negative count has no positive counterpart in 64 bits.
    EXPECT_EQ(SizeText(INT64_MIN, us), "-8,589,934,592.00 GB");
}

TEST(ZeroPad, PadsToWidthAndKeepsLongerTexts)
{
    EXPECT_EQ(ZeroPad4(7), "0007");
    EXPECT_EQ(ZeroPad4(0), "0000");
    EXPECT_EQ(ZeroPad4(12345), "12345");
    EXPECT_EQ(ZeroPad8("1A"), "0000001A");
    EXPECT_EQ(ZeroPad8("123456789"), "123456789");
}

TEST(SplitFileName, LastDotDividesBaseAndExtension)
{
    auto split = [](const std::string& n) {
        TFileNameParts p = SplitFileName(n);
        return p.Base + "|" + p.Extension;
    };
    EXPECT_EQ(split("report.txt"), "report|txt");
    EXPECT_EQ(split("archive.tar.gz"), "archive.tar|gz");
    EXPECT_EQ(split(".txt"), ".|txt");
    EXPECT_EQ(split("abc"), "|abc");
    EXPECT_EQ(split("abc."), "abc|");
    EXPECT_EQ(split("..x"), ".|x");
    EXPECT_EQ(split(""), "|");
}

TEST(TagImageIndex, DeletedThenRubbishBinThenCount)
{
    EXPECT_EQ(TagImageIndex(0), -1);
    EXPECT_EQ(TagImageIndex((1 << 2) | (1 << 30)), 11);
    EXPECT_EQ(TagImageIndex((1 << 3) | (1 << 5)), 12);
    EXPECT_EQ(TagImageIndex(1 << 17), -1);
    EXPECT_EQ(TagImageIndex(1 << 0), 0);
    EXPECT_EQ(TagImageIndex(1 << 10), 10);
    EXPECT_EQ(TagImageIndex(INT32_MIN | (1 << 30) | 1), 13);
    EXPECT_EQ(TagImageIndex(-1), 13);
}

TEST(ItemTag, KindAndOffsetStayApartForLargeOffsets)
{
    TItemTag w = 0;
    SetItemKind(w, 3);
    SetItemOffset(w, 0x7FFFFFF0ull); // beyond 28 bits: a log of almost 2 GiB
    EXPECT_EQ(ItemKind(w), 3u);
    EXPECT_EQ(ItemOffset(w), 0x7FFFFFF0ull);
    SetItemKindKeepOffset(w, 15);
    EXPECT_EQ(ItemKind(w), 15u);
    EXPECT_EQ(ItemOffset(w), 0x7FFFFFF0ull);
    SetItemKind(w, 1);
    EXPECT_EQ(ItemOffset(w), 0u);
    SetItemOffset(w, 12);
    SetItemOffset(w, 8); // setting it again replaces it
    EXPECT_EQ(ItemOffset(w), 8u);
    EXPECT_EQ(ItemKind(w), 1u);
}

} // namespace
} // namespace vm
