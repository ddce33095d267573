#include "vmlog/DumpText.h"

#include "core/Coding.h"
#include "platform/TextCoding.h"

#include <cstdio>

namespace vm::vmlog {

std::string QuotedName(const std::string& bytes)
{
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        size_t n = c >= 0x80 ? Utf8SequenceLength(bytes, i) : 0;
        if (n > 0) {
            out.append(bytes, i, n);
            i += n;
            continue;
        }
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
        ++i;
    }
    return out + "\"";
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
