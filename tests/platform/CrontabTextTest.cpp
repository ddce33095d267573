// The crontab as text: job lines made, read back and retired, every other line kept to the
// byte, and cron's own escapes.
#include "platform/CrontabText.h"

#include <gtest/gtest.h>

namespace {

using vm::TCrontabText;
using vm::TSchedulerJob;
namespace jobflag = vm::jobflag;

// A local date and time, with its weekday worked out.
std::tm At(int year, int month, int day, int hour, int minute)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    std::mktime(&t);
    return t;
}

// 2024-06-03 was a Monday.
const std::tm kMonday = At(2024, 6, 3, 12, 0);

TSchedulerJob Job(int hours, int minutes, uint8_t weekdays, uint32_t monthDays, uint8_t flags,
                  const std::string& command = "'/opt/vm/VM_BATCH.CMD' 'Servers'")
{
    TSchedulerJob job;
    job.JobTime = uint32_t(hours * 3600000 + minutes * 60000);
    job.DaysOfWeek = weekdays;
    job.DaysOfMonth = monthDays;
    job.Flags = flags;
    job.Command = command;
    return job;
}

const char* const kForeign = "# m h dom mon dow command\n"
                             "MAILTO=\"admin@example.com\"\n"
                             "\n"
                             "  15 3 * * *   /usr/bin/backup --all  # nightly\n"
                             "@reboot /usr/bin/thing\n"
                             "# 0 1 * * * old # Volumark job 41\n"
                             "5 4 * * 1 echo '# Volumark job' \\% 2\n";

TEST(CrontabText, JobLinesCarryCronFieldsAndMarkerAndReadBackAsTheyWereGiven)
{
    TCrontabText text("");
    text.AddJob(1, Job(23, 59, 0x41, 0, jobflag::RunPeriodically), kMonday); // Monday, Sunday
    text.AddJob(2, Job(8, 5, 0, 0x40000001, 0), kMonday);                    // 1st and 31st
    text.AddJob(3, Job(6, 0, 0x04, 0x00004001, jobflag::RunPeriodically), kMonday);
    EXPECT_EQ(text.Text(), "59 23 * * 0,1 '/opt/vm/VM_BATCH.CMD' 'Servers' # Volumark job 1\n"
                           "5 8 1,31 * * VOLUMARK_RUN_ONCE=2 '/opt/vm/VM_BATCH.CMD' 'Servers' "
                           "# Volumark job 2 once\n"
                           "0 6 1,15 * 3 '/opt/vm/VM_BATCH.CMD' 'Servers' # Volumark job 3\n");

    auto jobs = TCrontabText(text.Text()).Jobs(kMonday);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].Job.JobTime, 86340000u);
    EXPECT_EQ(jobs[0].Job.DaysOfWeek, 0x41);
    EXPECT_EQ(jobs[0].Job.Flags, jobflag::RunPeriodically);
    EXPECT_EQ(jobs[1].Job.DaysOfMonth, 0x40000001u);
    EXPECT_EQ(jobs[1].Job.Flags, 0);
    EXPECT_EQ(jobs[1].Job.Command, "'/opt/vm/VM_BATCH.CMD' 'Servers'"); // without the variable
    EXPECT_EQ(jobs[2].Job.DaysOfMonth, 0x4001u);
    EXPECT_EQ(jobs[2].Job.DaysOfWeek, 0x04);
    EXPECT_EQ(jobs[2].Job.JobId, 3u);
}

TEST(CrontabText, EveryOtherLineKeepsItsBytesThroughAddingAndDeleting)
{
    // Also a last line without its line break, which gains one when a job follows it.
    const std::string foreign = std::string(kForeign) + "30 2 * * * tail-without-newline";
    TCrontabText text(foreign);
    EXPECT_TRUE(text.Jobs(kMonday).empty()); // no marker, or only in a comment or in quotes
    EXPECT_EQ(text.Text(), foreign);
    EXPECT_EQ(text.NextJobId(), 42u); // the commented-out job still holds its number

    text.AddJob(42, Job(1, 0, 0x1, 0, jobflag::RunPeriodically), kMonday);
    text.AddJob(43, Job(2, 0, 0x2, 0, jobflag::RunPeriodically), kMonday);
    EXPECT_EQ(text.Text().rfind(foreign + "\n", 0), 0u);
    EXPECT_TRUE(text.RemoveJob(42));
    EXPECT_FALSE(text.RemoveJob(41)); // a comment is never a job
    EXPECT_FALSE(text.RemoveJob(42));
    EXPECT_TRUE(text.RemoveJob(43));
    EXPECT_EQ(text.Text(), foreign + "\n");
}

TEST(CrontabText, AJobWithoutDaysRunsOnceTodayOrTomorrowAndShowsWhichAndWhenItWasMissed)
{
    TCrontabText text("");
    text.AddJob(1, Job(18, 30, 0, 0, jobflag::RunPeriodically), At(2024, 12, 31, 9, 0));
    text.AddJob(2, Job(8, 0, 0, 0, 0), At(2024, 12, 31, 9, 0)); // passed: tomorrow, next year
    EXPECT_EQ(text.Text(), "30 18 31 12 * VOLUMARK_RUN_ONCE=1 '/opt/vm/VM_BATCH.CMD' 'Servers' "
                           "# Volumark job 1 next\n"
                           "0 8 1 1 * VOLUMARK_RUN_ONCE=2 '/opt/vm/VM_BATCH.CMD' 'Servers' "
                           "# Volumark job 2 next\n");
    auto jobs = text.Jobs(At(2024, 12, 31, 9, 0));
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].Job.Flags, jobflag::RunsToday);
    EXPECT_EQ(jobs[1].Job.Flags, 0); // tomorrow
    EXPECT_EQ(jobs[0].Job.DaysOfWeek | jobs[0].Job.DaysOfMonth, 0u);
    // The next evening both dates lie behind: neither ran, and both say so.
    for (const vm::TCrontabJob& late : text.Jobs(At(2025, 1, 1, 20, 0)))
        EXPECT_EQ(late.Job.Flags & jobflag::ExecError, jobflag::ExecError) << late.Job.JobId;
}

TEST(CrontabText, ARunOnceJobForgetsTheDayItRanOnAndGoesAfterItsLastDay)
{
    TCrontabText text(kForeign);
    text.AddJob(1, Job(7, 0, 0x05, 0x04, 0), kMonday); // Monday, Wednesday and the 3rd
    text.AddJob(2, Job(7, 0, 0x05, 0, jobflag::RunPeriodically), kMonday);
    text.AddJob(3, Job(23, 0, 0, 0, 0), kMonday);
    const std::string before = text.Text();

    // Monday the 3rd: both of its days that match go; the command keeps its bytes.
    EXPECT_TRUE(text.JobStarted(1, kMonday));
    auto jobs = text.Jobs(kMonday);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].Job.DaysOfWeek, 0x04);
    EXPECT_EQ(jobs[0].Job.DaysOfMonth, 0u);
    EXPECT_NE(text.Text().find("0 7 * * 3 VOLUMARK_RUN_ONCE=1 '/opt/vm/VM_BATCH.CMD' 'Servers' "
                               "# Volumark job 1 once\n"),
              std::string::npos);
    EXPECT_TRUE(text.JobStarted(2, kMonday)); // periodic: stays as it is
    EXPECT_TRUE(text.JobStarted(3, kMonday)); // no days: gone after its run
    EXPECT_TRUE(text.JobStarted(1, At(2024, 6, 5, 7, 0)));
    EXPECT_FALSE(text.JobStarted(1, At(2024, 6, 5, 7, 0)));

    jobs = text.Jobs(kMonday);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].Job.JobId, 2u);
    EXPECT_EQ(text.Text().rfind(kForeign, 0), 0u);
}

TEST(CrontabText, HandWrittenLinesReadAsCronReadsThemOrShowAnError)
{
    TCrontabText text("0 9 * * * a # Volumark job 1\n"
                      "0 9 1-5/2 * * b # Volumark job 2\n"
                      "0 9 * * 1-5,7 c # Volumark job 3\n"
                      "*/5 9 * * * d # Volumark job 4\n"
                      "0 9 */2 * 1 e # Volumark job 5\n"
                      "0 9 * 6 * f # Volumark job 6\n"
                      "0 9 * * mon g # Volumark job 7\n"
                      "@daily h # Volumark job 8\n");
    auto jobs = text.Jobs(kMonday);
    ASSERT_EQ(jobs.size(), 8u);
    EXPECT_EQ(jobs[0].Job.DaysOfWeek, 0x7F); // every day
    EXPECT_EQ(jobs[1].Job.DaysOfMonth, 0x15u);
    EXPECT_EQ(jobs[2].Job.DaysOfWeek, 0x5F); // Monday to Friday, and 7 is Sunday
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(jobs[i].Job.Flags, jobflag::RunPeriodically) << i;
    // Every minute, both fields starred (cron then wants both), a month, weekday names, no
    // fields at all: none can be shown as days, each is listed with an error to be deleted.
    for (size_t i = 3; i < 8; ++i)
        EXPECT_TRUE(jobs[i].Job.Flags & jobflag::ExecError) << i;
    EXPECT_EQ(jobs[7].Job.Command, "@daily h");
}

TEST(CrontabText, CronEscapesTurnBackIntoTheCommand)
{
    for (const std::string command : {"50%", "a\\%b", "end\\", "\\\\x", "100%% \\n"})
        EXPECT_EQ(vm::CronUnescape(vm::CronEscape(command)), command) << command;
    EXPECT_EQ(vm::CronEscape("50% a\\b"), "50\\% a\\\\b");
    EXPECT_EQ(vm::CronUnescape("echo a%b c"), "echo a"); // the rest is the command's input
}

TEST(CrontabText, WhatCannotBeALineIsRefused)
{
    TCrontabText text(kForeign);
    for (const std::string& command :
         {std::string("a\nb"), std::string("a\rb"), std::string("a\0b", 3), std::string()}) {
        EXPECT_THROW(text.AddJob(1, Job(1, 0, 1, 0, 1, command), kMonday), vm::ESchedulerError);
    }
    TSchedulerJob late = Job(1, 0, 1, 0, 1);
    late.JobTime = 86400000;
    EXPECT_THROW(text.AddJob(1, late, kMonday), vm::ESchedulerError);
    EXPECT_THROW(text.AddJob(1, Job(1, 0, 0x80, 0, 1), kMonday), vm::ESchedulerError);
    EXPECT_EQ(text.Text(), kForeign);
}

} // namespace
