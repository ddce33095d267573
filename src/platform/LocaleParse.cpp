// Reading a date typed in the locale's short date format back into a date-time.
#include "platform/AsciiCase.h"
#include "platform/Locale.h"

#include <cctype>
#include <vector>

namespace vm {

namespace {

enum class TField
{
    Day,
    Month,
    Year
};

// The order of day, month and year in a strftime date pattern.
std::vector<TField> FieldOrder(const std::string& pattern)
{
    std::vector<TField> order;
    for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        char k = pattern[++i];
        if ((k == 'E' || k == 'O') && i + 1 < pattern.size())
            k = pattern[++i];
        switch (k) {
        case 'd':
        case 'e':
            order.push_back(TField::Day);
            break;
        case 'm':
        case 'b':
        case 'B':
        case 'h':
            order.push_back(TField::Month);
            break;
        case 'y':
        case 'Y':
            order.push_back(TField::Year);
            break;
        case 'D':
            order.insert(order.end(), {TField::Month, TField::Day, TField::Year});
            break;
        case 'F':
            order.insert(order.end(), {TField::Year, TField::Month, TField::Day});
            break;
        default:
            break;
        }
    }
    if (order.size() != 3)
        order = {TField::Month, TField::Day, TField::Year};
    return order;
}

struct TToken
{
    std::string Text;
    bool Number;
};

std::vector<TToken> Tokens(const std::string& text)
{
    std::vector<TToken> tokens;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c) || std::isalpha(c) || c >= 0x80) {
            const bool number = std::isdigit(c);
            size_t j = i;
            while (j < text.size()) {
                const auto d = static_cast<unsigned char>(text[j]);
                if (number ? !std::isdigit(d) : !(std::isalpha(d) || d >= 0x80))
                    break;
                ++j;
            }
            tokens.push_back({text.substr(i, j - i), number});
            i = j;
        } else {
            ++i;
        }
    }
    return tokens;
}

int MonthOfName(const std::string& name, const TLocale& l)
{
    for (int m = 0; m < 12; ++m)
        if (SameTextIgnoringCase(name, l.ShortMonthNames[size_t(m)]) ||
            SameTextIgnoringCase(name, l.LongMonthNames[size_t(m)]))
            return m + 1;
    return 0;
}

bool Small(const TToken& t, int& value)
{
    if (!t.Number || t.Text.size() > 4)
        return false;
    value = std::stoi(t.Text);
    return true;
}

} // namespace

std::optional<TDateTime> TLocale::ParseDateTime(const std::string& text) const
{
    const std::vector<TToken> tokens = Tokens(text);
    const std::vector<TField> order = FieldOrder(ShortDateFormat);
    if (tokens.size() < 3)
        return std::nullopt;
    TDateTimeParts p;
    int yearDigits = 4;
    for (size_t i = 0; i < 3; ++i) {
        const TToken& t = tokens[i];
        int value = 0;
        if (order[i] == TField::Month && !t.Number)
            value = MonthOfName(t.Text, *this);
        else if (!Small(t, value))
            return std::nullopt;
        switch (order[i]) {
        case TField::Day:
            p.Day = value;
            break;
        case TField::Month:
            p.Month = value;
            break;
        case TField::Year:
            p.Year = value;
            yearDigits = static_cast<int>(t.Text.size());
            break;
        }
    }
    if (yearDigits <= 2)
        p.Year += p.Year <= 68 ? 2000 : 1900;
    size_t next = 3;
    int* time[] = {&p.Hour, &p.Minute, &p.Second};
    for (int*& field : time) {
        if (next < tokens.size() && tokens[next].Number) {
            if (!Small(tokens[next], *field))
                return std::nullopt;
            ++next;
        }
    }
    if (next < tokens.size() && !tokens[next].Number) {
        const bool pm = SameTextIgnoringCase(tokens[next].Text, PmText);
        if (!pm && !SameTextIgnoringCase(tokens[next].Text, AmText))
            return std::nullopt;
        if (p.Hour < 1 || p.Hour > 12)
            return std::nullopt;
        p.Hour = p.Hour % 12 + (pm ? 12 : 0);
        ++next;
    }
    if (next != tokens.size())
        return std::nullopt;
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.Year % 4 == 0 && p.Year % 100 != 0) || p.Year % 400 == 0;
    if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12 || p.Day < 1 ||
        p.Day > kDays[p.Month - 1] || (p.Month == 2 && p.Day == 29 && !leap) || p.Hour > 23 ||
        p.Minute > 59 || p.Second > 59)
        return std::nullopt;
    return EncodeDateTime(p);
}

} // namespace vm
