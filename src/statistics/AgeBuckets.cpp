#include "statistics/AgeBuckets.h"

#include <cmath>

namespace vm {

namespace {
// How many days back each bucket reaches (its first day is the reference day less this).
constexpr double kWeek = 7, kMonth = 30, kYear = 365, kThreeYears = 1095;
} // namespace

const char* AgeBucketName(TAgeBucket bucket)
{
    switch (bucket) {
    case TAgeBucket::Week:
        return "Within a week";
    case TAgeBucket::Month:
        return "A week to a month";
    case TAgeBucket::Year:
        return "A month to a year";
    case TAgeBucket::ThreeYears:
        return "One to three years";
    case TAgeBucket::Older:
        return "Over three years";
    case TAgeBucket::Unknown:
        break;
    }
    return "No date";
}

TAgeScale::TAgeScale(TDateTime reference)
{
    const double day = std::floor(reference);
    week_ = day - kWeek;
    month_ = day - kMonth;
    year_ = day - kYear;
    threeYears_ = day - kThreeYears;
}

TDayRange AgeBucketDays(TAgeBucket bucket, TDateTime reference)
{
    const double day = std::floor(reference);
    switch (bucket) {
    case TAgeBucket::Week: // dates after the day too: a clock set wrong
        return {day - kWeek, EncodeDateTime({2068, 12, 31})};
    case TAgeBucket::Month:
        return {day - kMonth, day - kWeek - 1};
    case TAgeBucket::Year:
        return {day - kYear, day - kMonth - 1};
    case TAgeBucket::ThreeYears:
        return {day - kThreeYears, day - kYear - 1};
    case TAgeBucket::Older:
        return {EncodeDateTime({1970, 1, 1}), day - kThreeYears - 1};
    case TAgeBucket::Unknown:
        break;
    }
    return {};
}

} // namespace vm
