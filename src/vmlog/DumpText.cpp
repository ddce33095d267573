#include "vmlog/DumpText.h"

#include "core/Coding.h"
#include "platform/TextCoding.h"

#include <cstdio>

namespace vm::vmlog {

std::string QuotedName(const std::string& bytes)
{
    return "\"" + PrintableName(bytes, "\"\\") + "\"";
}

std::string DateTimeText(TDateTime value)
{
    if (value == 0)
        return "none"; // a date never known
    TDateTimeParts p;
    if (!DecodeDateTime(value, p))
        return "?";
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour,
                  p.Minute, p.Second);
    return b;
}

std::string PackedTimeText(int32_t packed)
{
    return DateTimeText(UnpackTime(packed));
}

std::string LogTimeText(const TLogTime& time)
{
    if (!time.Stored)
        return "none";
    if (time.Local)
        return DateTimeText(static_cast<double>(time.Seconds) / kSecondsPerDay);
    const int64_t day = time.Seconds / 86400 - (time.Seconds % 86400 < 0 ? 1 : 0);
    const int64_t second = time.Seconds - day * 86400;
    int year = 0, month = 0, mday = 0;
    CivilFromDays(day, year, month, mday);
    char b[64];
    std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d.%09uZ", year, month, mday,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                  static_cast<int>(second % 60), time.Nanoseconds);
    return b;
}

std::string Hex32(uint32_t value)
{
    char b[12];
    std::snprintf(b, sizeof b, "0x%08X", value);
    return b;
}

} // namespace vm::vmlog
