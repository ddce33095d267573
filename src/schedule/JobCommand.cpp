#include "schedule/JobCommand.h"

#include "platform/ShellIntegration.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vm {

uint32_t JobTimeOf(int hours, int minutes)
{
    return uint32_t(hours) * 3600000u + uint32_t(minutes) * 60000u;
}

uint8_t WeekdayMask(const std::array<bool, 7>& checked)
{
    uint8_t mask = 0;
    for (size_t i = 0; i < checked.size(); ++i)
        if (checked[i])
            mask |= uint8_t(1u << i);
    return mask;
}

uint32_t MonthDayMask(const std::array<bool, 31>& checked)
{
    uint32_t mask = 0;
    for (size_t i = 0; i < checked.size(); ++i)
        if (checked[i])
            mask |= 1u << i;
    return mask;
}

std::string ProgramDirectory(const std::string& location)
{
    if (!location.empty() && location.back() == '/')
        return location;
    return location + "/";
}

int LogNumberOfText(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < INT_MIN || v > INT_MAX)
        return 0;
    return int(v);
}

std::string JobCommandLine(const TJobRequest& request)
{
    const std::string dir = ProgramDirectory(request.ProgramLocation);
    std::string command = ShellQuote(dir + kBatchFileName) + " " + ShellQuote(request.Reference) +
                          " " + ShellQuote(request.DataDirectory) + " " + ShellQuote(dir);
    if (request.Compare) {
        if (request.CompareLatest)
            command += " " + ShellQuote("/c");
        else
            command += " " + ShellQuote("/c=" + std::to_string(LogNumberOfText(request.LogText)));
        if (request.DeleteOldCompares)
            command += " " + ShellQuote("/k");
    }
    return command;
}

TSchedulerJob JobOf(const TJobRequest& request)
{
    TSchedulerJob job;
    job.JobTime = JobTimeOf(request.Hours, request.Minutes);
    job.DaysOfWeek = WeekdayMask(request.Weekdays);
    job.DaysOfMonth = MonthDayMask(request.MonthDays);
    job.Flags = request.RunPeriodically ? jobflag::RunPeriodically : 0;
    job.Command = JobCommandLine(request);
    return job;
}

} // namespace vm
