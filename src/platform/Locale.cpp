#include "platform/Locale.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>

namespace vm {

namespace {

// A locale object of the C library for some categories of the environment's locale; empty
// when the environment names a locale that is not installed.
class TCLocale
{
public:
    explicit TCLocale(int mask) : loc_(newlocale(mask, "", locale_t(0))) {}
    ~TCLocale()
    {
        if (loc_)
            freelocale(loc_);
    }
    TCLocale(const TCLocale&) = delete;
    TCLocale& operator=(const TCLocale&) = delete;

    explicit operator bool() const { return loc_ != locale_t(0); }
    std::string Item(nl_item item) const
    {
        const char* s = nl_langinfo_l(item, loc_);
        return s ? s : "";
    }

private:
    locale_t loc_;
};

void ReadNumeric(TLocale& l)
{
    TCLocale c(LC_NUMERIC_MASK);
    if (!c)
        return;
    std::string decimal = c.Item(RADIXCHAR);
    if (!decimal.empty())
        l.DecimalSeparator = decimal;
    l.ThousandSeparator = c.Item(THOUSEP);
    // The grouping string holds one byte per group, from the right; CHAR_MAX or 0 ends it.
    std::string grouping = c.Item(GROUPING);
    std::vector<int> groups;
    for (char g : grouping) {
        if (g <= 0 || g == CHAR_MAX)
            break;
        groups.push_back(g);
    }
    if (groups.empty())
        l.ThousandSeparator.clear();
    else
        l.Grouping = groups;
}

void ReadTime(TLocale& l)
{
    TCLocale c(LC_TIME_MASK);
    if (!c)
        return;
    auto set = [&](std::string& field, nl_item item) {
        std::string v = c.Item(item);
        if (!v.empty())
            field = v;
    };
    set(l.ShortDateFormat, D_FMT);
    set(l.LongTimeFormat, T_FMT);
    set(l.TimeAmPmFormat, T_FMT_AMPM);
    // Locales without a 12-hour clock have empty AM and PM texts; %p then writes nothing.
    l.AmText = c.Item(AM_STR);
    l.PmText = c.Item(PM_STR);
    for (int i = 0; i < 7; ++i) {
        set(l.ShortDayNames[i], ABDAY_1 + i);
        set(l.LongDayNames[i], DAY_1 + i);
    }
    for (int i = 0; i < 12; ++i) {
        set(l.ShortMonthNames[i], ABMON_1 + i);
        set(l.LongMonthNames[i], MON_1 + i);
    }
}

std::string Padded(int value, int width, char pad)
{
    std::string s = std::to_string(value);
    while (int(s.size()) < width)
        s.insert(s.begin(), pad);
    return s;
}

// Day of the week of a civil date, 0 = Sunday.
int WeekDayOf(const TDateTimeParts& parts)
{
    TDateTimeParts date;
    date.Year = parts.Year;
    date.Month = parts.Month;
    date.Day = parts.Day;
    auto days = static_cast<long long>(std::floor(EncodeDateTime(date)));
    // Day 0, 1899-12-30, was a Saturday.
    return int(((days + 6) % 7 + 7) % 7);
}

std::string GroupDigits(const std::string& digits, const std::string& separator,
                        const std::vector<int>& grouping)
{
    if (separator.empty() || grouping.empty())
        return digits;
    std::string out;
    size_t end = digits.size();
    size_t g = 0;
    while (end > 0) {
        size_t size = size_t(grouping[std::min(g, grouping.size() - 1)]);
        size_t start = end > size ? end - size : 0;
        std::string part = digits.substr(start, end - start);
        out = start > 0 ? separator + part + out : part + out;
        end = start;
        ++g;
    }
    return out;
}

} // namespace

TLocale TLocale::Classic()
{
    return TLocale();
}

TLocale TLocale::FromEnvironment()
{
    TLocale l;
    ReadNumeric(l);
    ReadTime(l);
    return l;
}

TLocale TLocale::WithSeparators(std::string thousands, std::string decimal) const
{
    TLocale l = *this;
    l.ThousandSeparator = std::move(thousands);
    l.DecimalSeparator = decimal.empty() ? "." : std::move(decimal);
    if (l.Grouping.empty())
        l.Grouping = {3};
    return l;
}

std::string TLocale::FormatFixed(double value, int decimals) const
{
    if (!std::isfinite(value))
        return std::to_string(value);
    // to_chars rounds exactly as printf does, several times faster (lists format millions).
    char buf[400];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
        end = buf + std::clamp(n, 0, int(sizeof buf) - 1);
    }
    std::string text(buf, end);
    size_t dot = text.find('.');
    std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    bool negative = std::signbit(value) && text.find_first_not_of("0.") != std::string::npos;
    std::string out = negative ? "-" : "";
    out += GroupDigits(whole, ThousandSeparator, Grouping);
    if (!fraction.empty())
        out += DecimalSeparator + fraction;
    return out;
}

std::string TLocale::FormatUpTo2(double value) const
{
    TLocale plain = *this;
    plain.ThousandSeparator.clear();
    std::string text = plain.FormatFixed(value, 2);
    size_t dec = text.rfind(DecimalSeparator);
    if (dec == std::string::npos)
        return text;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (text.size() == dec + DecimalSeparator.size())
        text.resize(dec);
    return text;
}

std::string TLocale::FormatPattern(const std::string& pattern, const TDateTimeParts& p,
                                   int weekDay) const
{
    std::string out;
    weekDay = ((weekDay % 7) + 7) % 7;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        size_t start = i;
        char k = pattern[++i];
        // The E and O modifiers ask for alternative eras and digits; the plain form is used.
        if ((k == 'E' || k == 'O') && i + 1 < pattern.size())
            k = pattern[++i];
        auto text = Conversion(k, p, weekDay);
        out += text ? *text : pattern.substr(start, i - start + 1);
    }
    return out;
}

std::optional<std::string> TLocale::Conversion(char k, const TDateTimeParts& p, int weekDay) const
{
    int month = std::clamp(p.Month, 1, 12) - 1;
    int hour12 = p.Hour % 12 == 0 ? 12 : p.Hour % 12;
    // One conversion a line, as a table.
    // clang-format off
    switch (k) {
    case 'a': return ShortDayNames[weekDay];
    case 'A': return LongDayNames[weekDay];
    case 'b':
    case 'h': return ShortMonthNames[month];
    case 'B': return LongMonthNames[month];
    case 'd': return Padded(p.Day, 2, '0');
    case 'e': return Padded(p.Day, 2, ' ');
    case 'm': return Padded(p.Month, 2, '0');
    case 'y': return Padded(p.Year % 100, 2, '0');
    case 'Y': return std::to_string(p.Year);
    case 'C': return Padded(p.Year / 100, 2, '0');
    case 'H': return Padded(p.Hour, 2, '0');
    case 'k': return Padded(p.Hour, 2, ' ');
    case 'I': return Padded(hour12, 2, '0');
    case 'l': return Padded(hour12, 2, ' ');
    case 'M': return Padded(p.Minute, 2, '0');
    case 'S': return Padded(p.Second, 2, '0');
    case 'p': return p.Hour < 12 ? AmText : PmText;
    case 'D': return FormatPattern("%m/%d/%y", p, weekDay);
    case 'F': return FormatPattern("%Y-%m-%d", p, weekDay);
    case 'T': return FormatPattern("%H:%M:%S", p, weekDay);
    case 'R': return FormatPattern("%H:%M", p, weekDay);
    case 'r':
        // A locale's %r may not contain %r again; anything else would recurse for ever.
        if (TimeAmPmFormat.find("%r") != std::string::npos)
            return std::string();
        return FormatPattern(TimeAmPmFormat, p, weekDay);
    case 'n': return std::string("\n");
    case 't': return std::string("\t");
    case '%': return std::string("%");
    default: return std::nullopt;
    }
    // clang-format on
}

std::string TLocale::DateTimeText(TDateTime value) const
{
    return DateTimeText(value, false);
}

std::string TLocale::DayDateTimeText(TDateTime value) const
{
    return DateTimeText(value, true);
}

std::string TLocale::LongDateTimeText(TDateTime value) const
{
    TDateTimeParts p;
    if (!DecodeDateTime(value, p))
        return std::string();
    const int wd = WeekDayOf(p);
    return LongDayNames[wd] + ", " + std::to_string(p.Day) + " " +
           LongMonthNames[size_t(p.Month - 1)] + " " + std::to_string(p.Year) + " " +
           FormatPattern(LongTimeFormat, p, wd);
}

std::string TLocale::DateTimeText(TDateTime value, bool withDay) const
{
    TDateTimeParts p;
    if (!DecodeDateTime(value, p))
        return std::string();
    int wd = WeekDayOf(p);
    std::string text = withDay ? ShortDayNames[wd] + " " : std::string();
    text += FormatPattern(ShortDateFormat, p, wd);
    if (p.Hour != 0 || p.Minute != 0 || p.Second != 0 || p.MilliSecond != 0)
        text += " " + FormatPattern(LongTimeFormat, p, wd);
    return text;
}

} // namespace vm
