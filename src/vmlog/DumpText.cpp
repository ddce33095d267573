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

std::string Hex32(uint32_t value)
{
    char b[12];
    std::snprintf(b, sizeof b, "0x%08X", value);
    return b;
}

} // namespace vm::vmlog
