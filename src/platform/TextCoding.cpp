#include "platform/TextCoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vm {

namespace {

// The code point of the valid sequence of n bytes at text[i].
uint32_t CodePoint(std::string_view s, size_t i, size_t n)
{
    auto b = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(s[i + k])); };
    switch (n) {
    case 2:
        return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3:
        return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    case 4:
        return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    default:
        return b(0);
    }
}

// Characters that change how the text around them is shown rather than showing themselves.
bool ActsOnText(uint32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendEscaped(std::string& out, std::string_view bytes)
{
    for (unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    }
}

} // namespace

size_t Utf8SequenceLength(std::string_view s, size_t i)
{
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    const size_t n = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((n == 2 && c < 0xC2) || (n == 3 && c == 0xE0 && b(i + 1) < 0xA0) ||
        (n == 3 && c == 0xED && b(i + 1) >= 0xA0) || (n == 4 && c == 0xF0 && b(i + 1) < 0x90) ||
        (n == 4 && (c > 0xF4 || (c == 0xF4 && b(i + 1) >= 0x90))))
        return 0;
    return n;
}

bool IsValidUtf8(std::string_view text)
{
    // Names are mostly ASCII: eight bytes at a time while no byte has its top bit set.
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    for (; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

bool AppendValidUtf8(std::string& out, std::string_view text)
{
    if (IsValidUtf8(text)) {
        out.append(text);
        return true;
    }
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8SequenceLength(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return false;
}

std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendValidUtf8(out, text);
    return out;
}

std::string Base64(std::string_view in)
{
    static const char t[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    for (size_t i = 0; i < in.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size())
            v |= static_cast<unsigned char>(in[i + 1]) << 8;
        if (i + 2 < in.size())
            v |= static_cast<unsigned char>(in[i + 2]);
        out += t[(v >> 18) & 63];
        out += t[(v >> 12) & 63];
        out += i + 1 < in.size() ? t[(v >> 6) & 63] : '=';
        out += i + 2 < in.size() ? t[v & 63] : '=';
    }
    return out;
}

std::string PrintableName(std::string_view bytes, std::string_view alsoEscaped)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F ||
                alsoEscaped.find(static_cast<char>(c)) != std::string_view::npos)
                AppendEscaped(out, bytes.substr(i, 1));
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0)
            AppendEscaped(out, bytes.substr(i, 1));
        else if (ActsOnText(CodePoint(bytes, i, n)))
            AppendEscaped(out, bytes.substr(i, n));
        else
            out.append(bytes.substr(i, n));
        i += n == 0 ? 1 : n;
    }
    return out;
}

} // namespace vm
