// A logging job as the submit dialog builds it: its time, its days and the command line that
// runs VM_BATCH.CMD beside the program for one reference.
#pragma once

#include "platform/SchedulerJob.h"

#include <array>
#include <string>

namespace vm {

inline const char* const kBatchFileName = "VM_BATCH.CMD";

// What the submit dialog holds.
struct TJobRequest
{
    std::string Reference;
    bool RunPeriodically = true;
    int Hours = 0, Minutes = 0;
    bool Compare = true;
    bool CompareLatest = true; // else with the log in LogText
    std::string LogText;       // the log box's text ("0012")
    bool DeleteOldCompares = false;
    std::array<bool, 7> Weekdays{};   // Monday first
    std::array<bool, 31> MonthDays{}; // the 1st first
    std::string ProgramLocation;      // the directory that holds VM_BATCH.CMD
    std::string DataDirectory;        // where the run finds its references
};

uint32_t JobTimeOf(int hours, int minutes);
uint8_t WeekdayMask(const std::array<bool, 7>& checked);
uint32_t MonthDayMask(const std::array<bool, 31>& checked);

// The program location with a "/" at its end.
std::string ProgramDirectory(const std::string& location);
// The log box's text as a log number: a whole number, else 0.
int LogNumberOfText(const std::string& text);

// The command line: VM_BATCH.CMD in the program directory, the reference name, the data
// directory, the program directory, then "/c" (with the latest log) or "/c=N" (with log N) and
// "/k" when the compare box is checked. Every part is quoted for the shell, so that it reaches
// the script literally whatever it holds.
std::string JobCommandLine(const TJobRequest& request);

// The job: its time, the checked days (item i sets bit i), periodic or once, and the command.
TSchedulerJob JobOf(const TJobRequest& request);

} // namespace vm
