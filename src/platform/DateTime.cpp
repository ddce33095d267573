#include "platform/DateTime.h"

#include <cmath>

namespace vm {

namespace {
// Days from 0001-01-01 to the given civil date (proleptic Gregorian), after Howard Hinnant.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468; // days since 1970-01-01
}

constexpr int64_t kDaysUnixEpoch = 25569; // 1899-12-30 to 1970-01-01
} // namespace

void CivilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

TDateTime EncodeDateTime(const TDateTimeParts& p)
{
    int64_t days =
        DaysFromCivil(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)) +
        kDaysUnixEpoch;
    double frac =
        (p.Hour * 3600.0 + p.Minute * 60.0 + p.Second + p.MilliSecond / 1000.0) / kSecondsPerDay;
    // Before 1899-12-30 the whole part counts backwards while the fraction still runs forwards.
    return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

bool DecodeDateTime(TDateTime value, TDateTimeParts& p)
{
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0)
        return false;
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    int64_t ms = std::llround(frac * kSecondsPerDay * 1000.0);
    int64_t days = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays(days - kDaysUnixEpoch, p.Year, p.Month, p.Day);
    p.Hour = static_cast<int>(ms / 3600000);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.MilliSecond = static_cast<int>(ms % 1000);
    return true;
}

TDateTime UnixToLocalDateTime(int64_t seconds, int64_t nanoseconds)
{
    time_t t = static_cast<time_t>(seconds);
    struct tm tm
    {
    };
    if (!localtime_r(&t, &tm))
        return 0.0;
    TDateTimeParts p;
    p.Year = tm.tm_year + 1900;
    p.Month = tm.tm_mon + 1;
    p.Day = tm.tm_mday;
    p.Hour = tm.tm_hour;
    p.Minute = tm.tm_min;
    p.Second = tm.tm_sec;
    p.MilliSecond = static_cast<int>(nanoseconds / 1000000);
    return EncodeDateTime(p);
}

TDateTime Now()
{
    struct timespec ts
    {
    };
    clock_gettime(CLOCK_REALTIME, &ts);
    return UnixToLocalDateTime(ts.tv_sec, ts.tv_nsec);
}

int64_t LocalDateTimeToUnix(TDateTime value)
{
    TDateTimeParts p;
    if (!DecodeDateTime(value, p))
        return 0;
    struct tm tm
    {
    };
    tm.tm_year = p.Year - 1900;
    tm.tm_mon = p.Month - 1;
    tm.tm_mday = p.Day;
    tm.tm_hour = p.Hour;
    tm.tm_min = p.Minute;
    tm.tm_sec = p.Second;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(mktime(&tm));
}

} // namespace vm
