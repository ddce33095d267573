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

// A number as FourDigitForm writes it: four digits, or more without a leading zero.
std::optional<int> FourDigitNumber(const std::string& s)
{
    if (s.size() < 4 || (s.size() > 4 && s[0] == '0'))
        return std::nullopt;
    return Digits(s);
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

std::optional<TCompNumbers> CompNumbersOfName(const std::string& name)
{
    const std::string extension = ".kcf";
    if (!name.ends_with(extension))
        return std::nullopt;
    const std::string digits = name.substr(0, name.size() - extension.size());
    std::optional<TCompNumbers> best;
    size_t bestImbalance = 0;
    bool bestRising = false;
    for (size_t cut = 4; cut + 4 <= digits.size(); ++cut) {
        std::optional<int> first = FourDigitNumber(digits.substr(0, cut));
        std::optional<int> second = FourDigitNumber(digits.substr(cut));
        if (!first || !second)
            continue;
        const bool rising = *first < *second;
        const size_t imbalance =
            cut > digits.size() - cut ? 2 * cut - digits.size() : digits.size() - 2 * cut;
        if (!best || (rising && !bestRising) ||
            (rising == bestRising && imbalance < bestImbalance)) {
            best = TCompNumbers{*first, *second};
            bestImbalance = imbalance;
            bestRising = rising;
        }
    }
    return best;
}

} // namespace vm
