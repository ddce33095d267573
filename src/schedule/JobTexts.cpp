#include "schedule/JobTexts.h"

#include <cstdio>

namespace vm {

std::string DayOfMonthCaption(int day)
{
    const char* suffix = "th";
    if (day == 1 || day == 21 || day == 31)
        suffix = "st";
    else if (day == 2 || day == 22)
        suffix = "nd";
    else if (day == 3 || day == 23)
        suffix = "rd";
    return std::to_string(day) + suffix;
}

std::string DayText(const TSchedulerJob& job)
{
    if (job.DaysOfWeek == 0 && job.DaysOfMonth == 0)
        return (job.Flags & jobflag::RunsToday) ? "Today" : "Tomorrow";
    std::string text = (job.Flags & jobflag::RunPeriodically) ? "Each " : "Next ";
    for (size_t i = 0; i < kWeekdayNames.size(); ++i)
        if (job.DaysOfWeek & (1u << i))
            text += std::string(kWeekdayNames[i], 3) + ",";
    for (int i = 0; i < 31; ++i)
        if (job.DaysOfMonth & (1u << i))
            text += std::to_string(i + 1) + ",";
    text.pop_back(); // the last comma
    return text;
}

std::string TimeText(uint32_t jobTime)
{
    const uint32_t seconds = jobTime / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

TJobRow JobRowTexts(const TSchedulerJob& job)
{
    return {std::to_string(job.JobId), (job.Flags & jobflag::ExecError) ? "Error" : "",
            DayText(job), TimeText(job.JobTime), job.Command};
}

namespace {

std::string SortKey(const TJobRow& row, int column)
{
    const std::string& text = row[size_t(column)];
    if (column != kIdColumn || text.size() >= 10)
        return text;
    return std::string(10 - text.size(), '0') + text;
}

} // namespace

int CompareJobRows(const TJobRow& a, const TJobRow& b, int column, int direction)
{
    if (column < 0 || column >= kJobColumnCount)
        return 0;
    const int order = SortKey(a, column).compare(SortKey(b, column));
    return order < 0 ? -direction : order > 0 ? direction : 0;
}

} // namespace vm
