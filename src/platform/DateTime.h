// Date-times as the program keeps them: doubles counting days since 1899-12-30 00:00 local
// time, with the time of day as the fraction.
#pragma once

#include <cstdint>
#include <ctime>

namespace vm {

using TDateTime = double;

struct TDateTimeParts
{
    int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

// Seconds in one day, and the date-time of the Unix epoch (1970-01-01 00:00).
constexpr double kSecondsPerDay = 86400.0;
constexpr double kUnixEpochDays = 25569.0;

TDateTime EncodeDateTime(const TDateTimeParts& parts);
// The civil date (proleptic Gregorian) of a day counted from 1970-01-01.
void CivilFromDays(int64_t daysSince1970, int& year, int& month, int& day);
// False when the value lies outside years 1 to 9999.
bool DecodeDateTime(TDateTime value, TDateTimeParts& parts);

// The current local date and time.
TDateTime Now();
// A moment given as Unix seconds and nanoseconds, in local time.
TDateTime UnixToLocalDateTime(int64_t seconds, int64_t nanoseconds = 0);
// The Unix seconds of a local date-time (whole seconds, fractions dropped).
int64_t LocalDateTimeToUnix(TDateTime value);

} // namespace vm
