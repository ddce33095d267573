#include "references/RefNames.h"
#include "platform/AsciiCase.h"

#include <climits>

namespace vm {

namespace {

std::optional<int> Digits(const std::string& s)
{
    if (s.empty() || s.size() > 9)
        return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

std::string FourDigitForm(long long n)
{
    std::string s = std::to_string(n);
    if (s.size() < 4)
        s.insert(0, 4 - s.size(), '0');
    return s;
}

std::string RefSectionName(int n)
{
    return "Ref" + FourDigitForm(n);
}

std::string LogFileBaseName(int m)
{
    return "Log" + FourDigitForm(m) + ".kdf";
}

std::string CompFileBaseName(int a, int b)
{
    return FourDigitForm(a) + FourDigitForm(b) + ".kcf";
}

std::optional<int> RefNumberOfName(const std::string& name)
{
    if (!StartsWithIgnoringCase(name, "REF"))
        return std::nullopt;
    return Digits(name.substr(3));
}

std::optional<int> LogNumberOfName(const std::string& name)
{
    if (!StartsWithIgnoringCase(name, "LOG"))
        return std::nullopt;
    std::string rest = name.substr(3);
    return Digits(rest.substr(0, rest.find('.')));
}

} // namespace vm
