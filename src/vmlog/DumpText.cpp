#include "vmlog/DumpText.h"

#include "core/Coding.h"

#include <cstdio>

namespace vm::vmlog {

namespace {
// The length of the valid UTF-8 sequence at s[i] (2 to 4), or 0.
size_t Utf8Length(const std::string& s, size_t i)
{
    auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = at(i);
    size_t n = c >= 0xC2 && c <= 0xDF   ? 2
               : c >= 0xE0 && c <= 0xEF ? 3
               : c >= 0xF0 && c <= 0xF4 ? 4
                                        : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    // Overlong forms and surrogates are not UTF-8.
    if ((c == 0xE0 && at(i + 1) < 0xA0) || (c == 0xED && at(i + 1) > 0x9F) ||
        (c == 0xF0 && at(i + 1) < 0x90) || (c == 0xF4 && at(i + 1) > 0x8F))
        return 0;
    return n;
}
} // namespace

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
        size_t n = c >= 0x80 ? Utf8Length(bytes, i) : 0;
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
    return packed == 0 ? std::string("none") : DateTimeText(UnpackTime(packed));
}

std::string Hex32(uint32_t value)
{
    char b[12];
    std::snprintf(b, sizeof b, "0x%08X", value);
    return b;
}

} // namespace vm::vmlog
