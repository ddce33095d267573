#include "platform/IsoDateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace vm;

namespace {

// Runs the test body in a time zone of its own and puts the old one back.
class IsoDateTimeTest : public ::testing::Test
{
protected:
    void InZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    // Local seconds since 1899-12-30 of a local calendar time.
    static int64_t Local(int y, int mo, int d, int h, int mi, int s)
    {
        return static_cast<int64_t>(
            std::llround(EncodeDateTime({y, mo, d, h, mi, s, 0}) * kSecondsPerDay));
    }
    std::optional<std::string> saved_;
};

TEST_F(IsoDateTimeTest, TheOffsetIsTheOneInForceAtThatLocalTime)
{
    InZone("Europe/Berlin");
    TIsoDateTimeText iso;
    EXPECT_EQ(iso.FromLocalSeconds(Local(2024, 1, 15, 12, 0, 0)), "2024-01-15T12:00:00+01:00");
    EXPECT_EQ(iso.FromLocalSeconds(Local(2024, 7, 15, 12, 0, 0)), "2024-07-15T12:00:00+02:00");
    // The day summer time begins (02:00 becomes 03:00): before and after on the same day.
    EXPECT_EQ(iso.FromLocalSeconds(Local(2024, 3, 31, 1, 59, 59)), "2024-03-31T01:59:59+01:00");
    EXPECT_EQ(iso.FromLocalSeconds(Local(2024, 3, 31, 3, 0, 0)), "2024-03-31T03:00:00+02:00");
    // The cache of days holds no answer of another day: January again.
    EXPECT_EQ(iso.FromLocalSeconds(Local(2024, 1, 15, 23, 59, 59)), "2024-01-15T23:59:59+01:00");
}

TEST_F(IsoDateTimeTest, NegativeAndHalfHourOffsetsAndTheEdgesOfTheCalendar)
{
    InZone("America/St_Johns");
    TIsoDateTimeText iso;
    EXPECT_EQ(iso.FromLocalSeconds(Local(2023, 12, 1, 8, 5, 9)), "2023-12-01T08:05:09-03:30");
    EXPECT_EQ(iso.FromDateTime(EncodeDateTime({2023, 12, 1, 8, 5, 9, 600})),
              "2023-12-01T08:05:10-03:30");
    EXPECT_EQ(iso.FromLocalSeconds(Local(1899, 12, 30, 0, 0, 1)).substr(0, 19),
              "1899-12-30T00:00:01");
    EXPECT_EQ(iso.FromDateTime(3.0e6), ""); // past 9999-12-31
    EXPECT_EQ(iso.FromDateTime(std::nan("")), "");
}

} // namespace
