// A scheduled job as the scheduler's callers see it: when it runs and what it runs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vm {

namespace jobflag {
constexpr uint8_t RunPeriodically = 0x1; // runs on every day it names, not once
constexpr uint8_t ExecError = 0x2;       // its line cannot be read, or it missed its one run
constexpr uint8_t RunsToday = 0x4;       // a job without days that runs later today
} // namespace jobflag

struct TSchedulerJob
{
    uint32_t JobId = 0;       // given by the scheduler when the job is added
    uint32_t JobTime = 0;     // milliseconds after midnight, local time
    uint32_t DaysOfMonth = 0; // bit i: day i + 1 of the month (bits 0 to 30)
    uint8_t DaysOfWeek = 0;   // bit i: weekday i, Monday = bit 0 to Sunday = bit 6
    uint8_t Flags = 0;        // jobflag bits
    std::string Command;      // the command line, as the shell reads it
};

// Error codes that callers tell apart; every other failure carries an errno value or -1, and
// always its own message (the crontab command's, or errno's text).
namespace schederr {
constexpr int ServiceNotRunning = 2184; // no scheduler to talk to (no crontab command)
constexpr int InvalidName = 123;        // a computer this scheduler does not serve
} // namespace schederr

class ESchedulerError : public std::runtime_error
{
public:
    ESchedulerError(int code, const std::string& message) : std::runtime_error(message), Code(code)
    {
    }
    int Code;
};

} // namespace vm
