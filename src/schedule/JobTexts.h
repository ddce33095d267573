// What the scheduler dialogs show of jobs: the weekday and day-of-month names, a job's row in
// the job list (its day and time texts) and the order of the list's columns.
#pragma once

#include "platform/SchedulerJob.h"

#include <array>
#include <string>

namespace vm {

inline constexpr std::array<const char*, 7> kWeekdayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// "1st", "2nd", "3rd", "4th" ... "21st", "22nd", "23rd" ... "31st".
std::string DayOfMonthCaption(int day);

// "Each " (periodic) or "Next ", the named weekdays' first three letters and the named days of
// the month, separated by commas ("Each Mon,Wed,1,15"); a job without days runs "Today" or
// "Tomorrow".
std::string DayText(const TSchedulerJob& job);
// The time of day as hours, minutes and seconds, two digits each: "08:30:00".
std::string TimeText(uint32_t jobTime);

enum TJobColumn : int
{
    kIdColumn,
    kStatusColumn,
    kDayColumn,
    kTimeColumn,
    kCommandColumn,
    kJobColumnCount
};

using TJobRow = std::array<std::string, kJobColumnCount>;

// The texts of a job's row: its number, "Error" or nothing, the day and time texts, the command.
TJobRow JobRowTexts(const TSchedulerJob& job);

// Rows compare by their texts in a column, byte by byte; the numbers of the "ID" column compare
// as numbers. The result is -direction when a comes first in ascending order, direction when b
// does, 0 when they are equal.
int CompareJobRows(const TJobRow& a, const TJobRow& b, int column, int direction);

} // namespace vm
