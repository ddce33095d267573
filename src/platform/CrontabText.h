// The user's crontab as text, and the lines in it that are Volumark's jobs. Every line is kept
// byte for byte; only the job lines are read, added, changed and removed.
//
// A job line is cron's five time fields, the command and a marker comment that carries the
// job's number:
//
//   30 8 1,15 * 1,3 '/opt/volumark/VM_BATCH.CMD' 'Servers' '/srv/vm' '/opt/volumark/' # Volumark
//   job 7
//
// Days of the month and weekdays are "*" when the job names none; a line that names both kinds
// runs on either (cron's rule). Weekdays are cron's numbers: Monday 1 to Saturday 6, Sunday 0.
// The marker of a job that runs once on each day it names ends in " once"; a job that names no
// day runs once, on the date its line gives (day and month), and its marker ends in " next".
// Both kinds carry VOLUMARK_RUN_ONCE=<number> before their command, so that the run can retire
// its own line (JobStarted). Lines without a marker are not jobs, also when they look like one.
#pragma once

#include "platform/SchedulerJob.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vm {

// The variable that tells the program which run-once job started it.
inline const char* const kRunOnceVariable = "VOLUMARK_RUN_ONCE";

// The command as a crontab line must hold it: cron ends the command at a bare "%" and reads
// "\%" as "%" and "\\" as "\", so "%" and "\" are escaped.
std::string CronEscape(const std::string& command);
// The command that cron hands to the shell for a crontab command field: up to the first bare
// "%", with "\%" and "\\" read as "%" and "\".
std::string CronUnescape(const std::string& field);

enum class TJobKind
{
    Periodic, // runs on every day it names
    Once,     // runs once on each day it names, then its line goes
    Next,     // names no day: runs once on the date of its line
};

struct TCrontabJob
{
    TSchedulerJob Job;
    TJobKind Kind = TJobKind::Periodic;
};

class TCrontabText
{
public:
    explicit TCrontabText(const std::string& text);
    // The text with every change made; lines not changed keep their bytes.
    std::string Text() const;

    // The job lines in line order, read on the local date and time now (which tells "today" of
    // a job that names no day). A line whose fields cannot be read is listed with the
    // jobflag::ExecError flag, so that it can still be seen and deleted.
    std::vector<TCrontabJob> Jobs(const std::tm& now) const;
    // One above the highest number that any line's marker carries (a commented-out job line
    // too, so a number is never given twice while a line holds it); 1 for the first job.
    uint32_t NextJobId() const;
    // Appends the job's line with this number. A job that names no day runs today when its time
    // is still to come at now, else tomorrow. Raises ESchedulerError when the job cannot be
    // written as a line (a line break in the command, a time or day out of range).
    void AddJob(uint32_t id, const TSchedulerJob& job, const std::tm& now);
    // Removes every job line whose marker carries id; false when none does.
    bool RemoveJob(uint32_t id);
    // The run-once job id has started on the day of now: a job without days loses its line; a
    // "run once" job forgets today's weekday and day of the month, and its line goes when no day
    // is left. Periodic jobs stay. False when no job line carries id.
    bool JobStarted(uint32_t id, const std::tm& now);

private:
    std::vector<std::string> lines_;
    bool finalNewline_ = false;
};

} // namespace vm
