#include "platform/LocalClock.h"

#include <ctime>

namespace vm {

int64_t TLocalClock::OffsetAt(int64_t unixSeconds)
{
    time_t t = static_cast<time_t>(unixSeconds);
    struct tm tm = {};
    if (!localtime_r(&t, &tm))
        return 0;
    return tm.tm_gmtoff;
}

int64_t TLocalClock::LocalSeconds(int64_t unixSeconds)
{
    // localtime_r for each of three times of a million entries costs more than listing them.
    int64_t hour = unixSeconds >= 0 ? unixSeconds / 3600 : -((-unixSeconds + 3599) / 3600);
    if (hour <= -kHourBias || hour >= kHourBias)
        return unixSeconds + OffsetAt(unixSeconds);
    std::atomic<uint64_t>& slot = slots_[static_cast<size_t>(hour) & (kSlots - 1)];
    uint64_t packed = slot.load(std::memory_order_relaxed);
    if (!(packed & kValid) || HourOf(packed) != hour) {
        int64_t first = OffsetAt(hour * 3600);
        bool uniform = first == OffsetAt(hour * 3600 + 3599);
        if (first <= -kOffsetBias || first >= kOffsetBias)
            return unixSeconds + (uniform ? first : OffsetAt(unixSeconds));
        packed = kValid | (uniform ? kUniform : 0) |
                 static_cast<uint64_t>(first + kOffsetBias) << kOffsetShift |
                 static_cast<uint64_t>(hour + kHourBias);
        slot.store(packed, std::memory_order_relaxed);
    }
    if (!(packed & kUniform))
        return unixSeconds + OffsetAt(unixSeconds);
    return unixSeconds + static_cast<int64_t>((packed >> kOffsetShift) & kOffsetMask) - kOffsetBias;
}

} // namespace vm
