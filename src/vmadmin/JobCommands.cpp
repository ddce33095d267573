// vmadmin job ...: logging jobs in the crontab, through the same scheduler, job lines, markers
// and quoting as the scheduler dialogs (platform/Scheduler.h, schedule/), so that either can list
// and delete what the other made.
#include "platform/AsciiCase.h"
#include "platform/Scheduler.h"
#include "schedule/JobCommand.h"
#include "schedule/JobTexts.h"
#include "schedule/ScheduleList.h"
#include "schedule/ScheduleSettings.h"
#include "schedule/SubmitJob.h"
#include "vmadmin/Commands.h"
#include "vmadmin/Output.h"

#include <sstream>

namespace vm::vmadmin {

namespace {

const char* const kJobAddUsage =
    "vmadmin job add REF --at HH:MM [--weekdays DAYS] [--days DAYS] [--once] [--compare[=N]] "
    "[--keep] [--program-dir DIR]";

std::vector<std::string> CommaList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

// "mon,wed" or the whole names, letter case ignored.
std::array<bool, 7> Weekdays(const std::string& text)
{
    std::array<bool, 7> checked{};
    for (const std::string& item : CommaList(text)) {
        bool known = false;
        for (size_t i = 0; i < kWeekdayNames.size(); ++i) {
            const std::string name = kWeekdayNames[i];
            if (SameTextIgnoringCase(item, name) || SameTextIgnoringCase(item, name.substr(0, 3))) {
                checked[i] = true;
                known = true;
            }
        }
        if (!known)
            throw EUsage("\"" + item + "\" is no weekday (mon, tue, wed, thu, fri, sat, sun)");
    }
    return checked;
}

std::array<bool, 31> MonthDays(const std::string& text)
{
    std::array<bool, 31> checked{};
    for (const std::string& item : CommaList(text)) {
        const int day = PositiveNumber(item, "a day of the month");
        if (day > 31)
            throw EUsage("a day of the month must be from 1 to 31, not " + item);
        checked[size_t(day - 1)] = true;
    }
    return checked;
}

void TimeOfDay(const std::string& text, TJobRequest& request)
{
    int hours = -1, minutes = -1;
    char colon = 0;
    std::istringstream in(text);
    if (!(in >> hours >> colon >> minutes) || colon != ':' || !in.eof() || hours < 0 ||
        hours > 23 || minutes < 0 || minutes > 59)
        throw EUsage("--at needs a time of day from 00:00 to 23:59, not \"" + text + "\"");
    request.Hours = hours;
    request.Minutes = minutes;
}

TJson JobJson(const TSchedulerJob& job)
{
    const TJobRow row = JobRowTexts(job);
    TJson weekdays = TJson::array(), days = TJson::array();
    for (size_t i = 0; i < kWeekdayNames.size(); ++i)
        if (job.DaysOfWeek & (1u << i))
            weekdays.push_back(kWeekdayNames[i]);
    for (int d = 0; d < 31; ++d)
        if (job.DaysOfMonth & (1u << d))
            days.push_back(d + 1);
    return {{"id", job.JobId},
            {"status", row[kStatusColumn]},
            {"day", row[kDayColumn]},
            {"time", row[kTimeColumn]},
            {"periodic", (job.Flags & jobflag::RunPeriodically) != 0},
            {"weekdays", weekdays},
            {"days_of_month", days},
            {"command", JsonText(job.Command)}};
}

} // namespace

int JobList(TAdmin& admin, const TArgs& args)
{
    TArgReader(args).Operands(0, 0, "vmadmin job list");
    TCronScheduler scheduler;
    const std::vector<TSchedulerJob> jobs = scheduler.EnumJobs("");
    if (admin.Json) {
        TJson list = TJson::array();
        for (const TSchedulerJob& job : jobs)
            list.push_back(JobJson(job));
        PrintJson(list);
        return 0;
    }
    TTable table({{"ID", true}, {"Status"}, {"Day"}, {"Time"}, {"Command Line"}});
    for (const TSchedulerJob& job : jobs) {
        const TJobRow row = JobRowTexts(job);
        table.Add({row[kIdColumn], row[kStatusColumn], row[kDayColumn], row[kTimeColumn],
                   row[kCommandColumn]});
    }
    Print(table.Text());
    return 0;
}

int JobAdd(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> at = reader.Value("--at");
    const std::optional<std::string> weekdays = reader.Value("--weekdays");
    const std::optional<std::string> days = reader.Value("--days");
    const bool once = reader.Flag("--once");
    const std::optional<std::string> compare = reader.FlagOrValue("--compare");
    const bool keep = reader.Flag("--keep");
    const std::optional<std::string> programDir = reader.Value("--program-dir");
    const TArgs ops = reader.Operands(1, 1, kJobAddUsage);
    if (!at)
        throw EUsage(std::string("--at is needed; usage: ") + kJobAddUsage);
    if (keep && !compare)
        throw EUsage("--keep deletes old comparisons when a comparison is made: give --compare");

    const int n = FindReference(admin.Store, ops[0]);
    TJobRequest request;
    const std::string stored = admin.Store.RefName(n);
    request.Reference = stored == kRefDirectoryMissing ? ops[0] : stored;
    request.RunPeriodically = !once;
    TimeOfDay(*at, request);
    request.Compare = compare.has_value();
    request.CompareLatest = !compare || compare->empty();
    if (compare && !compare->empty())
        request.LogText = std::to_string(PositiveNumber(*compare, "the log to compare with"));
    request.DeleteOldCompares = keep;
    if (weekdays)
        request.Weekdays = Weekdays(*weekdays);
    if (days)
        request.MonthDays = MonthDays(*days);
    // Where VM_BATCH.CMD lies: as the submit dialog would offer it.
    request.ProgramLocation =
        programDir.value_or(ReadScheduleSetting(kServerProgramPathValue)
                                .value_or(DefaultProgramLocation(admin.ProgramPath)));
    if (request.ProgramLocation.empty())
        request.ProgramLocation = DefaultProgramLocation(admin.ProgramPath);
    request.DataDirectory = admin.Store.DataDir();

    TCronScheduler scheduler;
    if (!CheckJobRequest(request, "", scheduler, admin.UI))
        return 1;
    const uint32_t id = scheduler.AddJob("", JobOf(request));
    if (admin.Json)
        PrintJson({{"id", id}});
    else
        Print(std::to_string(id) + "\n");
    return 0;
}

int JobDelete(TAdmin& admin, const TArgs& args)
{
    const TArgs ops = TArgReader(args).Operands(1, 1, "vmadmin job delete JOB");
    const int id = PositiveNumber(ops[0], "a job number");
    TCronScheduler scheduler;
    TScheduleList list(scheduler, admin.UI);
    if (!list.Connect(""))
        return 1;
    auto listed = [&] {
        for (size_t i = 0; i < list.Rows().size(); ++i)
            if (list.Rows()[i].Job.JobId == uint32_t(id))
                return int(i);
        return -1;
    };
    const int row = listed();
    if (row < 0)
        throw EUsage("There is no job " + ops[0]);
    // Naming the job on the command line is the confirmation the dialog asks for.
    admin.UI.AssumeYes = true;
    list.Delete(row);
    return listed() < 0 ? 0 : 1;
}

} // namespace vm::vmadmin
