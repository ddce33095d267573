// Letter case as the program's names compare it: only the ASCII letters "a" to "z" change, so
// that bytes of other characters (UTF-8, odd bytes in file names) are never touched.
#pragma once

#include <string>
#include <string_view>

namespace vm {

constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

inline std::string AsciiUpperCase(std::string s)
{
    for (char& c : s)
        c = AsciiUpper(c);
    return s;
}

inline std::string AsciiLowerCase(std::string s)
{
    for (char& c : s)
        c = AsciiLower(c);
    return s;
}

inline bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

inline bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && SameTextIgnoringCase(s.substr(0, prefix.size()), prefix);
}

inline bool EndsWithIgnoringCase(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() &&
           SameTextIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
}

} // namespace vm
