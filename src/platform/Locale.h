// The user's number and date conventions: separators, digit grouping, the short date and long
// time patterns, day and month names. A plain value passed to whatever formats text for people;
// FromEnvironment reads it from the process environment (LC_ALL, LC_NUMERIC, LC_TIME, LANG) as
// the C library resolves it, and tests build one field by field.
//
// The C and POSIX locales (also C.UTF-8) have no thousands separator: sizes then show as
// "1024.00 MB". That is what every other program on such a system shows, so the program does
// not invent a grouping the user did not ask for.
#pragma once

#include "platform/DateTime.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vm {

struct TLocale
{
    std::string ThousandSeparator;      // empty: digits are not grouped
    std::vector<int> Grouping{3};       // group sizes from the right; the last one repeats
    std::string DecimalSeparator = "."; // never empty
    // Patterns in strftime notation (%d %m %y %Y %H %M %S %I %p %r %T %D %F %e %b %a ...).
    std::string ShortDateFormat = "%m/%d/%y";
    std::string LongTimeFormat = "%H:%M:%S";
    std::string TimeAmPmFormat = "%I:%M:%S %p"; // what %r stands for
    std::string AmText = "AM", PmText = "PM";
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};

    // The C locale: the values above.
    static TLocale Classic();
    // The locale the environment names. A category whose locale is not installed falls back to
    // the C conventions for that category.
    static TLocale FromEnvironment();
    // A copy with a thousands separator and a decimal separator (tests and explicit choices).
    TLocale WithSeparators(std::string thousands, std::string decimal) const;

    // value with exactly `decimals` decimals, rounded, digits grouped: 1234.5 -> "1,234.50".
    std::string FormatFixed(double value, int decimals) const;
    // value with at most two decimals, no trailing zeros and no grouping: 12.5 -> "12.5",
    // 3 -> "3", 0.25 -> "0.25", 0 -> "0". (A whole part of 0 is written, so a percentage is
    // never an empty text.)
    std::string FormatUpTo2(double value) const;

    // The date-time as the short date and the long time, separated by a blank; the time is
    // left out when it is exactly midnight.
    std::string DateTimeText(TDateTime value) const;
    // A date typed in the short date format, optionally followed by a time ("h:mm[:ss]", with
    // the AM or PM text where the user writes one): the reverse of DateTimeText. Fields may be
    // separated by any characters that are not letters or digits; two-digit years 00 to 68 are
    // 2000 to 2068, 69 to 99 are 1969 to 1999. Nothing when the text is not such a date.
    std::optional<TDateTime> ParseDateTime(const std::string& text) const;
    // The abbreviated day name, a blank and DateTimeText.
    std::string DayDateTimeText(TDateTime value) const;
    // The full day name, the day, the full month name, the year and the long time:
    // "Friday, 1 March 2024 10:00:00".
    std::string LongDateTimeText(TDateTime value) const;
    // A date-time through a strftime-style pattern (see above) using this locale's names.
    // Unknown conversions are copied as they stand.
    std::string FormatPattern(const std::string& pattern, const TDateTimeParts& parts,
                              int weekDay) const;

private:
    std::optional<std::string> Conversion(char conversion, const TDateTimeParts& parts,
                                          int weekDay) const;
    std::string DateTimeText(TDateTime value, bool withDay) const;
};

} // namespace vm
