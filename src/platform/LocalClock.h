// Unix seconds (UTC) to seconds on the local clock, fast enough for three times of every entry of
// a scan or a log: the offset from UTC is looked up once per day, not once per moment, and the
// days of several years are remembered at once.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vm {

// Safe to share between threads. The zone is the process's (TZ, else /etc/localtime), as read
// when an hour is first met.
class TLocalClock
{
public:
    // The local time of a moment, as seconds since 1970-01-01 00:00 read on the local clock.
    int64_t LocalSeconds(int64_t unixSeconds);

private:
    // A day whose start and end have the same offset has it throughout (time zones never change
    // twice within a day); a day that holds a change is converted second by second. Each
    // remembered day is one atomic word: bit 63 valid, bit 62 uniform, bits 44 to 61 the offset
    // in seconds biased by 2^17, bits 0 to 43 the day biased by 2^43 (days that do not fit are
    // not remembered). A thread that finds another day in the slot works the offset out and puts
    // its own there. 4096 slots hold eleven years of days.
    static constexpr size_t kSlots = 4096;
    static constexpr int64_t kSpan = 86400; // the seconds of one remembered period
    static constexpr uint64_t kValid = uint64_t{1} << 63;
    static constexpr uint64_t kUniform = uint64_t{1} << 62;
    static constexpr int kOffsetShift = 44;
    static constexpr uint64_t kOffsetMask = (uint64_t{1} << 18) - 1;
    static constexpr int64_t kOffsetBias = int64_t{1} << 17;
    static constexpr int64_t kPeriodBias = int64_t{1} << 43;

    static int64_t PeriodOf(uint64_t packed)
    {
        return static_cast<int64_t>(packed & ((uint64_t{1} << kOffsetShift) - 1)) - kPeriodBias;
    }
    static int64_t OffsetAt(int64_t unixSeconds);

    std::array<std::atomic<uint64_t>, kSlots> slots_{};
};

} // namespace vm
