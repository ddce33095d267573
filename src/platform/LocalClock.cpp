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
    const int64_t period =
        unixSeconds >= 0 ? unixSeconds / kSpan : -((-unixSeconds + kSpan - 1) / kSpan);
    if (period <= -kPeriodBias || period >= kPeriodBias)
        return unixSeconds + OffsetAt(unixSeconds);
    std::atomic<uint64_t>& slot = slots_[static_cast<size_t>(period) & (kSlots - 1)];
    uint64_t packed = slot.load(std::memory_order_relaxed);
    if (!(packed & kValid) || PeriodOf(packed) != period) {
        const int64_t first = OffsetAt(period * kSpan);
        const bool uniform = first == OffsetAt(period * kSpan + kSpan - 1);
        if (first <= -kOffsetBias || first >= kOffsetBias)
            return unixSeconds + (uniform ? first : OffsetAt(unixSeconds));
        packed = kValid | (uniform ? kUniform : 0) |
                 static_cast<uint64_t>(first + kOffsetBias) << kOffsetShift |
                 static_cast<uint64_t>(period + kPeriodBias);
        slot.store(packed, std::memory_order_relaxed);
    }
    if (!(packed & kUniform))
        return unixSeconds + OffsetAt(unixSeconds);
    return unixSeconds + static_cast<int64_t>((packed >> kOffsetShift) & kOffsetMask) - kOffsetBias;
}

} // namespace vm
