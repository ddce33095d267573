// Ages of files as the statistics count them: modified (or accessed) within a week, a week to a
// month, a month to a year, one to three years, or earlier, counted back in whole days from the
// day of a moment (the log's date), so that each bucket is a range of days the file filter can
// select. A date later than that day counts as within a week.
#pragma once

#include "platform/DateTime.h"

#include <array>
#include <cstdint>

namespace vm {

enum class TAgeBucket : uint8_t
{
    Week,
    Month,
    Year,
    ThreeYears,
    Older,
    Unknown // the file holds no date
};
constexpr int kAgeBucketCount = 6;
constexpr std::array<TAgeBucket, kAgeBucketCount> kAgeBuckets = {
    TAgeBucket::Week,       TAgeBucket::Month, TAgeBucket::Year,
    TAgeBucket::ThreeYears, TAgeBucket::Older, TAgeBucket::Unknown};

// "Within a week", "A week to a month", "A month to a year", "One to three years",
// "Over three years", "No date".
const char* AgeBucketName(TAgeBucket bucket);

// The buckets of one reference moment, its day boundaries worked out once for a whole walk.
class TAgeScale
{
public:
    explicit TAgeScale(TDateTime reference);
    TAgeBucket Of(TDateTime date, bool known) const
    {
        if (!known)
            return TAgeBucket::Unknown;
        return date >= week_         ? TAgeBucket::Week
               : date >= month_      ? TAgeBucket::Month
               : date >= year_       ? TAgeBucket::Year
               : date >= threeYears_ ? TAgeBucket::ThreeYears
                                     : TAgeBucket::Older;
    }

private:
    double week_, month_, year_, threeYears_; // the first day of each bucket
};

inline TAgeBucket AgeBucketOf(TDateTime date, bool known, TDateTime reference)
{
    return TAgeScale(reference).Of(date, known);
}

// The days a bucket spans: from First at 0:00 to Last at 23:59:59 (Unknown has none). The
// ends are the days a two-digit year can name: Older starts at 1970-01-01, and Week, which holds
// the dates after the reference day too, ends at 2068-12-31.
struct TDayRange
{
    TDateTime First = 0, Last = 0;
};
TDayRange AgeBucketDays(TAgeBucket bucket, TDateTime reference);

} // namespace vm
