// Local date-times as ISO 8601 texts with the offset from UTC in force at that moment
// ("2024-05-01T12:34:56+02:00"), as exports write them so that a script anywhere reads the same
// instant. Logs keep local times without their offset; the offset is the one the time zone of
// this process gives for that local time (TZ, else /etc/localtime).
//
// Made for millions of dates: the offset is looked up once per local day (once per hour on days
// when it changes), not once per date.
#pragma once

#include "platform/DateTime.h"
#include "platform/LocalClock.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace vm {

class TIsoDateTimeText
{
public:
    // Whole seconds since 1899-12-30 00:00 local time (the packed time of logs); a moment
    // outside years 1 to 9999 gives "". The text stays valid until the next call.
    std::string_view FromLocalSeconds(int64_t seconds);
    // A date-time as days since 1899-12-30 (the dates of comparisons), to the nearest second.
    std::string_view FromDateTime(TDateTime value);
    // A moment as Unix seconds (UTC; what extended logs keep), shown on the local clock with the
    // offset in force then, which is exact: no local time has to be guessed back.
    std::string_view FromUnixSeconds(int64_t seconds);

private:
    int32_t OffsetOf(int64_t localUnixSeconds);
    // Writes the local time (seconds since 1970-01-01 read on the local clock) with its offset.
    std::string_view Format(int64_t local, int32_t offset);

    static constexpr int32_t kOffsetChanges = INT32_MIN; // the day has no single offset
    std::unordered_map<int64_t, int32_t> dayOffsets_, hourOffsets_;
    char text_[32] = {};
    int64_t lastSeconds_ = 0; // the moment text_ holds, when length_ is not 0
    bool lastUnix_ = false;   // lastSeconds_ are Unix seconds, not local ones
    size_t length_ = 0;
    TLocalClock clock_;
};

} // namespace vm
