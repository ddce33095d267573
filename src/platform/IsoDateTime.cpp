#include "platform/IsoDateTime.h"

#include <cmath>
#include <ctime>

namespace vm {

namespace {
constexpr int64_t kSecondsFrom1899To1970 = 25569LL * 86400;
constexpr int64_t kFirstDay = -719162; // 0001-01-01, in days since 1970-01-01
constexpr int64_t kLastDay = 2932896;  // 9999-12-31

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The offset from UTC of a local time given as seconds since 1970-01-01 "local" (its fields
// read as if it were UTC), through mktime.
int32_t OffsetByMktime(int64_t local)
{
    const int64_t day = FloorDiv(local, 86400);
    const int64_t second = local - day * 86400;
    struct tm tm = {};
    CivilFromDays(day, tm.tm_year, tm.tm_mon, tm.tm_mday);
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_hour = static_cast<int>(second / 3600);
    tm.tm_min = static_cast<int>(second / 60 % 60);
    tm.tm_sec = static_cast<int>(second % 60);
    tm.tm_isdst = -1;
    const time_t utc = mktime(&tm);
    if (utc == static_cast<time_t>(-1))
        return 0;
    return static_cast<int32_t>(local - static_cast<int64_t>(utc));
}

char* Digits(char* p, int64_t value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}
} // namespace

int32_t TIsoDateTimeText::OffsetOf(int64_t local)
{
    const int64_t day = FloorDiv(local, 86400);
    auto found = dayOffsets_.find(day);
    if (found == dayOffsets_.end()) {
        // A day whose first and last second have the same offset keeps it all day (zones
        // change their offset at most once a day).
        const int32_t first = OffsetByMktime(day * 86400);
        const int32_t last = OffsetByMktime(day * 86400 + 86399);
        found = dayOffsets_.emplace(day, first == last ? first : kOffsetChanges).first;
    }
    if (found->second != kOffsetChanges)
        return found->second;
    const int64_t hour = FloorDiv(local, 3600);
    auto hourFound = hourOffsets_.find(hour);
    if (hourFound == hourOffsets_.end())
        hourFound = hourOffsets_.emplace(hour, OffsetByMktime(local)).first;
    return hourFound->second;
}

std::string_view TIsoDateTimeText::FromLocalSeconds(int64_t seconds)
{
    // An entry's three dates are often one moment.
    if (seconds == lastSeconds_ && !lastUnix_ && length_ > 0)
        return std::string_view(text_, length_);
    lastSeconds_ = seconds;
    lastUnix_ = false;
    length_ = 0;
    const int64_t local = seconds - kSecondsFrom1899To1970;
    const int64_t day = FloorDiv(local, 86400);
    if (day < kFirstDay || day > kLastDay)
        return {};
    return Format(local, OffsetOf(local));
}

std::string_view TIsoDateTimeText::FromUnixSeconds(int64_t seconds)
{
    if (seconds == lastSeconds_ && lastUnix_ && length_ > 0)
        return std::string_view(text_, length_);
    lastSeconds_ = seconds;
    lastUnix_ = true;
    length_ = 0;
    // Beyond years 1 to 9999 (and far enough inside that no offset can carry a moment out).
    if (seconds < (kFirstDay + 1) * 86400 || seconds > (kLastDay - 1) * 86400)
        return {};
    const int64_t local = clock_.LocalSeconds(seconds);
    return Format(local, static_cast<int32_t>(local - seconds));
}

std::string_view TIsoDateTimeText::Format(int64_t local, int32_t offset)
{
    const int64_t day = FloorDiv(local, 86400);
    const int64_t second = local - day * 86400;
    int year = 0, month = 0, mday = 0;
    CivilFromDays(day, year, month, mday);

    char* p = text_;
    p = Digits(p, year, 4);
    *p++ = '-';
    p = Digits(p, month, 2);
    *p++ = '-';
    p = Digits(p, mday, 2);
    *p++ = 'T';
    p = Digits(p, second / 3600, 2);
    *p++ = ':';
    p = Digits(p, second / 60 % 60, 2);
    *p++ = ':';
    p = Digits(p, second % 60, 2);
    *p++ = offset < 0 ? '-' : '+';
    offset = std::abs(offset);
    p = Digits(p, offset / 3600, 2);
    *p++ = ':';
    p = Digits(p, offset / 60 % 60, 2);
    length_ = static_cast<size_t>(p - text_);
    return std::string_view(text_, length_);
}

std::string_view TIsoDateTimeText::FromDateTime(TDateTime value)
{
    const double seconds = std::round(value * kSecondsPerDay);
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15)
        return {};
    return FromLocalSeconds(static_cast<int64_t>(seconds));
}

} // namespace vm
