#include "core/Coding.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {
std::array<uint8_t, 6> Real(int64_t v)
{
    std::array<uint8_t, 6> b{};
    EncodeReal48(v, b.data());
    return b;
}
} // namespace

TEST(Real48, FourKilobytesIsExponent141)
{
    std::array<uint8_t, 6> want{0x8D, 0, 0, 0, 0, 0};
    EXPECT_EQ(Real(4096), want);
}

TEST(Real48, WholeNumbersUpToTwoToTheFortyAreExact)
{
    for (int64_t v : {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{1023}, int64_t{8192}, int64_t{123456789},
                      (int64_t{1} << 40) - 1, int64_t{1} << 40, int64_t{-5}, int64_t{-1099511627776}}) {
        auto b = Real(v);
        EXPECT_EQ(DecodeReal48Rounded(b.data()), v) << v;
        EXPECT_EQ(DecodeReal48Truncated(b.data()), v) << v;
    }
    EXPECT_EQ(Real(0), (std::array<uint8_t, 6>{}));
}

TEST(Real48, HalvesRoundToEvenAboveTwoToTheForty)
{
    const int64_t p40 = int64_t{1} << 40;
    EXPECT_EQ(DecodeReal48Rounded(Real(p40 + 1).data()), p40);     // half, even stays
    EXPECT_EQ(DecodeReal48Rounded(Real(p40 + 3).data()), p40 + 4); // half, odd goes up
    EXPECT_EQ(DecodeReal48Rounded(Real(p40 + 2).data()), p40 + 2);
    // Rounding that carries into a new leading bit.
    const int64_t p41 = int64_t{1} << 41;
    EXPECT_EQ(DecodeReal48Rounded(Real(p41 - 1).data()), p41);
    // Double and integer encoders agree.
    std::array<uint8_t, 6> d{};
    EncodeReal48(static_cast<double>(p40 + 3), d.data());
    EXPECT_EQ(d, Real(p40 + 3));
}

TEST(Real48, ExponentZeroIsZeroWhateverTheFraction)
{
    std::array<uint8_t, 6> b{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DecodeReal48(b.data()), 0.0);
}

TEST(PackedTime, FoldPointAndTheYear2000)
{
    TDateTimeParts p;
    ASSERT_TRUE(DecodeDateTime(UnpackTime(-1008362753), p));
    EXPECT_EQ(p.Year, 2000);
    EXPECT_EQ(p.Month, 1);
    EXPECT_EQ(p.Day, 1);
    EXPECT_EQ(p.Hour * 3600 + p.Minute * 60 + p.Second, 0);

    // The fold point is stored as itself; 0 is no moment at all.
    ASSERT_TRUE(DecodeDateTime(UnpackTime(int32_t(kPackedFold)), p));
    EXPECT_EQ(UnpackSeconds(0), kPackedFold);
    EXPECT_EQ(UnpackTime(0), 0.0);
    EXPECT_EQ(p.Year, 1968);
    EXPECT_EQ(p.Month, 1);
    EXPECT_EQ(p.Day, 18);
    EXPECT_EQ(p.Hour, 3);
    EXPECT_EQ(p.Minute, 14);
    EXPECT_EQ(p.Second, 7);

    EXPECT_EQ(PackTime(EncodeDateTime({2000, 1, 1, 0, 0, 0, 0})), -1008362753);
}

TEST(PackedTime, RoundTripsEverySecondItCanHold)
{
    for (TDateTimeParts in : {TDateTimeParts{1900, 1, 1, 0, 0, 1, 0}, TDateTimeParts{1975, 6, 30, 23, 59, 59, 0},
                              TDateTimeParts{2029, 12, 31, 12, 0, 0, 0}, TDateTimeParts{2036, 2, 5, 6, 28, 15, 0}}) {
        int32_t packed = PackTimeOrZero(EncodeDateTime(in));
        ASSERT_NE(packed, 0);
        TDateTimeParts out;
        ASSERT_TRUE(DecodeDateTime(UnpackTime(packed), out));
        EXPECT_EQ(std::tie(out.Year, out.Month, out.Day, out.Hour, out.Minute, out.Second),
                  std::tie(in.Year, in.Month, in.Day, in.Hour, in.Minute, in.Second));
    }
    EXPECT_EQ(PackTimeOrZero(EncodeDateTime({2036, 2, 5, 6, 28, 16, 0})), 0);
    EXPECT_EQ(PackTimeOrZero(EncodeDateTime({1899, 12, 29, 0, 0, 0, 0})), 0);
    // Fractions of a second are dropped.
    EXPECT_EQ(PackTime(EncodeDateTime({2000, 1, 1, 0, 0, 0, 999})), -1008362753);
}
