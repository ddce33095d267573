#include "platform/Locale.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace vm {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s)
{
    TDateTimeParts p;
    p.Year = y, p.Month = mo, p.Day = d, p.Hour = h, p.Minute = mi, p.Second = s;
    return EncodeDateTime(p);
}

TEST(LocaleNumbers, FixedDecimalsWithGrouping)
{
    TLocale us = TLocale::Classic().WithSeparators(",", ".");
    EXPECT_EQ(us.FormatFixed(1234567.891, 2), "1,234,567.89");
    EXPECT_EQ(us.FormatFixed(999.999, 2), "1,000.00");
    EXPECT_EQ(us.FormatFixed(-0.001, 2), "0.00");
    EXPECT_EQ(us.FormatFixed(-12.5, 0), "-12"); // round half to even, as printf does
    TLocale indian = us;
    indian.Grouping = {3, 2};
    EXPECT_EQ(indian.FormatFixed(123456789, 2), "12,34,56,789.00");
    EXPECT_EQ(TLocale::Classic().FormatFixed(1234567, 2), "1234567.00");
}

TEST(LocaleNumbers, UpToTwoDecimalsWithoutTrailingZeros)
{
    TLocale de = TLocale::Classic().WithSeparators(".", ",");
    EXPECT_EQ(de.FormatUpTo2(12345.5), "12345,5"); // never grouped
    EXPECT_EQ(de.FormatUpTo2(3), "3");
    EXPECT_EQ(de.FormatUpTo2(0.256), "0,26");
    EXPECT_EQ(de.FormatUpTo2(0), "0");
    EXPECT_EQ(de.FormatUpTo2(-7.10), "-7,1");
    EXPECT_EQ(de.FormatUpTo2(0.001), "0");
}

TEST(LocaleDates, ShortDateAndLongTimeWithTheTimeLeftOutAtMidnight)
{
    TLocale c = TLocale::Classic();
    EXPECT_EQ(c.DateTimeText(At(2024, 3, 5, 14, 7, 9)), "03/05/24 14:07:09");
    EXPECT_EQ(c.DateTimeText(At(2024, 3, 5, 0, 0, 0)), "03/05/24");
    EXPECT_EQ(c.DateTimeText(At(2024, 3, 5, 0, 0, 1)), "03/05/24 00:00:01");
    EXPECT_EQ(c.DayDateTimeText(At(2024, 3, 5, 14, 7, 9)), "Tue 03/05/24 14:07:09");
    EXPECT_EQ(c.DayDateTimeText(At(1899, 12, 30, 0, 0, 0)), "Sat 12/30/99");

    TLocale us = c;
    us.ShortDateFormat = "%m/%d/%Y";
    us.LongTimeFormat = "%r";
    EXPECT_EQ(us.DayDateTimeText(At(2024, 3, 3, 0, 30, 0)), "Sun 03/03/2024 12:30:00 AM");
    EXPECT_EQ(us.DateTimeText(At(2024, 3, 3, 13, 5, 0)), "03/03/2024 01:05:00 PM");
    TLocale de = c;
    de.ShortDateFormat = "%d.%m.%Y";
    de.LongTimeFormat = "%T";
    de.ShortDayNames[1] = "Mo";
    EXPECT_EQ(de.DayDateTimeText(At(2024, 3, 4, 9, 0, 0)), "Mo 04.03.2024 09:00:00");
}

TEST(LocaleDates, PatternConversionsAndOddPatterns)
{
    TLocale c = TLocale::Classic();
    TDateTimeParts p;
    p.Year = 2009, p.Month = 7, p.Day = 4, p.Hour = 21, p.Minute = 3, p.Second = 0;
    EXPECT_EQ(c.FormatPattern("%a %A %b %B %e|%F|%R|%l%p|%Ey|%%|%q|%", p, 6),
              "Sat Saturday Jul July  4|2009-07-04|21:03| 9PM|09|%|%q|%");
    TLocale loop = c;
    loop.TimeAmPmFormat = "%r"; // a pattern that names itself writes nothing
    EXPECT_EQ(loop.FormatPattern("[%r]", p, 6), "[]");
    EXPECT_EQ(c.DateTimeText(1e300), ""); // outside the calendar
}

// The environment decides; C.UTF-8 is always there, other locales only when installed or
// compiled for the test.
class LocaleEnvironment : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* n : {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG", "LOCPATH"}) {
            const char* v = std::getenv(n);
            saved_.emplace_back(n, v ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(n);
        }
    }
    void TearDown() override
    {
        for (auto& [n, v] : saved_)
            v ? setenv(n.c_str(), v->c_str(), 1) : unsetenv(n.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(LocaleEnvironment, CLocaleHasNoGroupingAndUnknownLocalesFallBack)
{
    setenv("LC_ALL", "C.UTF-8", 1);
    TLocale l = TLocale::FromEnvironment();
    EXPECT_EQ(l.ThousandSeparator, "");
    EXPECT_EQ(l.DecimalSeparator, ".");
    EXPECT_EQ(l.FormatFixed(1024, 2), "1024.00");
    EXPECT_EQ(l.ShortDayNames[0], "Sun");
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(TLocale::FromEnvironment().FormatFixed(1024, 2), "1024.00");
}

TEST_F(LocaleEnvironment, CompiledLocaleGivesItsSeparatorsAndNames)
{
    vmtest::TempDir dir;
    std::string cmd = "localedef -i de_DE -f UTF-8 " + (dir / "de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot compile de_DE here";
    setenv("LOCPATH", dir.Path().c_str(), 1);
    setenv("LANG", "C.UTF-8", 1);
    setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
    setenv("LC_TIME", "de_DE.UTF-8", 1);
    TLocale l = TLocale::FromEnvironment();
    EXPECT_EQ(l.FormatFixed(1234567.5, 2), "1.234.567,50");
    EXPECT_EQ(l.DayDateTimeText(At(2024, 3, 4, 9, 5, 7)), "Mo 04.03.2024 09:05:07");
}

} // namespace
} // namespace vm
