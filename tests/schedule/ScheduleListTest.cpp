// The scheduler dialogs without their windows: day and time texts, the job list's order, the
// messages of connecting and deleting, and the checks and messages of submitting a job.
#include "schedule/ScheduleList.h"
#include "platform/ScriptedUserInterface.h"
#include "schedule/JobCommand.h"
#include "schedule/JobTexts.h"
#include "schedule/SubmitJob.h"
#include "support/FakeScheduler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using vm::TSchedulerJob;
using vmtest::FakeScheduler;
using vmtest::MakeJob;
namespace jobflag = vm::jobflag;

TEST(JobTexts, TimesDaysAndTheirTexts)
{
    EXPECT_EQ(vm::JobTimeOf(23, 59), 86340000u);
    std::array<bool, 31> days{};
    days[0] = days[30] = true;
    EXPECT_EQ(vm::MonthDayMask(days), 0x40000001u);
    std::array<bool, 7> weekdays{};
    weekdays[0] = weekdays[6] = true;
    EXPECT_EQ(vm::WeekdayMask(weekdays), 0x41);

    TSchedulerJob job = MakeJob(7, "x", 0x05);
    job.DaysOfMonth = (1u << 0) | (1u << 14);
    EXPECT_EQ(vm::DayText(job), "Each Mon,Wed,1,15");
    job.Flags = 0;
    job.DaysOfWeek = 0x40;
    job.DaysOfMonth = 0;
    EXPECT_EQ(vm::DayText(job), "Next Sun");
    job.DaysOfWeek = 0;
    EXPECT_EQ(vm::DayText(job), "Tomorrow");
    job.Flags = jobflag::RunsToday | jobflag::ExecError;
    EXPECT_EQ(vm::DayText(job), "Today");
    EXPECT_EQ(vm::JobRowTexts(job)[vm::kStatusColumn], "Error");
    EXPECT_EQ(vm::TimeText(job.JobTime), "08:30:00");
    EXPECT_EQ(vm::TimeText(86399000), "23:59:59");

    std::vector<std::string> captions;
    for (int day : {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 30, 31})
        captions.push_back(vm::DayOfMonthCaption(day));
    EXPECT_EQ(captions, (std::vector<std::string>{"1st", "2nd", "3rd", "4th", "11th", "12th",
                                                  "13th", "21st", "22nd", "23rd", "30th", "31st"}));
}

TEST(JobCommand, ProgramDirectoryAndCompareSwitches)
{
    vm::TJobRequest r;
    r.Reference = "Servers";
    r.ProgramLocation = "/opt/volumark";
    r.DataDirectory = "/srv/vm";
    r.DeleteOldCompares = true;
    EXPECT_EQ(vm::JobCommandLine(r), "'/opt/volumark/VM_BATCH.CMD' 'Servers' '/srv/vm' "
                                     "'/opt/volumark/' '/c' '/k'");
    r.CompareLatest = false;
    r.LogText = "0012";
    r.ProgramLocation = "/opt/volumark/";
    EXPECT_EQ(vm::JobCommandLine(r), "'/opt/volumark/VM_BATCH.CMD' 'Servers' '/srv/vm' "
                                     "'/opt/volumark/' '/c=12' '/k'");
    r.Compare = false;
    EXPECT_EQ(vm::JobCommandLine(r),
              "'/opt/volumark/VM_BATCH.CMD' 'Servers' '/srv/vm' '/opt/volumark/'");
    EXPECT_EQ(vm::LogNumberOfText("twelve"), 0);
}

class ScheduleList : public testing::Test
{
protected:
    ScheduleList()
    {
        fake.Jobs[""] = {MakeJob(10, "'/opt/vm/VM_BATCH.CMD' 'b'"), MakeJob(2, "/usr/bin/other"),
                         MakeJob(1, "'/opt/vm/vm_batch.cmd' 'a'", 0x02)};
    }
    FakeScheduler fake;
    vm::TScriptedUserInterface ui;
    vm::TScheduleList list{fake, ui};

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (const auto& row : list.Rows())
            texts.push_back(row.Row[size_t(column)]);
        return texts;
    }
};

TEST_F(ScheduleList, ServerBoxLeavesThisComputerOut)
{
    fake.KnownServers = {"FS1", "WORKSTATION", "FS2"};
    EXPECT_EQ(list.Activate(), (std::vector<std::string>{"FS1", "FS2"}));
    EXPECT_STREQ(list.StatusText(), "Not connected");
}

TEST_F(ScheduleList, JobsListByNumberAndSortByAnyColumnEitherWay)
{
    ASSERT_TRUE(list.Connect(""));
    EXPECT_STREQ(list.StatusText(), "Connected");
    EXPECT_EQ(Column(vm::kIdColumn), (std::vector<std::string>{"1", "2", "10"}));
    list.SortBy(vm::kIdColumn);
    list.SortBy(vm::kIdColumn); // the same column again: the other way
    EXPECT_EQ(Column(vm::kIdColumn), (std::vector<std::string>{"10", "2", "1"}));
    list.SortBy(vm::kDayColumn); // another column: ascending, by its text
    EXPECT_EQ(Column(vm::kDayColumn),
              (std::vector<std::string>{"Each Mon", "Each Mon", "Each Tue"}));
    EXPECT_EQ(list.SortDirection(), 1);
    // Read again, the rows come by number in the direction last chosen.
    list.SortBy(vm::kDayColumn);
    list.Connect("");
    EXPECT_EQ(Column(vm::kIdColumn), (std::vector<std::string>{"10", "2", "1"}));
    list.ServerTextChanged();
    EXPECT_STREQ(list.StatusText(), "Not connected");
}

TEST_F(ScheduleList, ConnectionFailuresSayWhat)
{
    EXPECT_FALSE(list.Connect("fileserver"));
    fake.NextError = vm::ESchedulerError(vm::schederr::ServiceNotRunning, "");
    EXPECT_FALSE(list.Connect(""));
    fake.NextError = vm::ESchedulerError(-1, "crontab: permission denied");
    EXPECT_FALSE(list.Connect(""));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Invalid or unknown server name",
                                                    "Schedule service is not running",
                                                    "crontab: permission denied"}));
    EXPECT_TRUE(list.Rows().empty());
    EXPECT_FALSE(list.Connected());
    EXPECT_FALSE(ui.Busy);
}

TEST_F(ScheduleList, DeletingAsksFirstAndWarnsAboutOtherJobs)
{
    list.Connect("");
    list.Delete(-1);
    ui.Answers = {vm::idOK, vm::idYes};
    list.Delete(1); // job 2, not the batch file's
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Please select job first",
                                                    "Warning - this is not a Volumark job !!",
                                                    "OK to delete job 2"}));
    EXPECT_EQ(fake.Deleted, (std::vector<std::pair<std::string, uint32_t>>{{"", 2}}));
    EXPECT_EQ(Column(vm::kIdColumn), (std::vector<std::string>{"1", "10"}));

    ui.Shown.clear();
    ui.Answers = {vm::idNo};
    list.Delete(0); // the batch file's name in any letter case: no warning
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"OK to delete job 1"});
    EXPECT_EQ(fake.Deleted.size(), 1u);

    // A job gone meanwhile needs no message; the list read again shows it gone.
    fake.Jobs[""].erase(fake.Jobs[""].begin());
    ui.Shown.clear();
    ui.Answers = {vm::idYes};
    list.Delete(1);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"OK to delete job 10"});
    EXPECT_EQ(Column(vm::kIdColumn), std::vector<std::string>{"1"});
}

TEST_F(ScheduleList, SubmittingNeedsAConnection)
{
    EXPECT_FALSE(list.CanSubmit());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Must connect to server before submitting job"});
    list.Connect("");
    EXPECT_TRUE(list.CanSubmit());
}

class SubmitJob : public testing::Test
{
protected:
    SubmitJob()
    {
        dir.MakeDir("prog");
        dir.WriteFile("prog/VM_BATCH.CMD", "#!/bin/sh\n");
        chmod((dir / "prog/VM_BATCH.CMD").c_str(), 0755);
        request.Reference = "Servers";
        request.ProgramLocation = dir / "prog";
        request.DataDirectory = dir.Path();
        request.Weekdays[2] = true;
    }
    vmtest::TempDir dir;
    FakeScheduler fake;
    vm::TScriptedUserInterface ui;
    vm::TJobRequest request;
};

TEST_F(SubmitJob, RefusalsLeaveNothingQueued)
{
    vm::TJobRequest r = request;
    r.Reference.clear();
    EXPECT_FALSE(vm::SubmitJob(r, "", fake, ui));
    r = request;
    r.ProgramLocation.clear();
    EXPECT_FALSE(vm::SubmitJob(r, "", fake, ui));
    r = request;
    r.CompareLatest = false; // a log box left empty would give "/c=0", which every run refuses
    EXPECT_FALSE(vm::SubmitJob(r, "", fake, ui));
    r = request;
    r.Weekdays = {}; // periodic, with no day to repeat on
    EXPECT_FALSE(vm::SubmitJob(r, "", fake, ui));
    r = request;
    r.ProgramLocation = dir / "elsewhere";
    EXPECT_FALSE(vm::SubmitJob(r, "workstation", fake, ui));
    r.ProgramLocation = "prog";
    EXPECT_FALSE(vm::SubmitJob(r, "", fake, ui));
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"A reference name must be specified",
                                        "Please specify the program file location for Volumark",
                                        "Please choose the log to compare with", vm::kNoDayToRunOn,
                                        "Can't find VM_BATCH.CMD in " + (dir / "elsewhere"),
                                        "The program location must be a full path, beginning "
                                        "with /"}));
    EXPECT_TRUE(fake.Jobs[""].empty());
}

TEST_F(SubmitJob, QueuesTheJobAndSaysItsNumber)
{
    request.RunPeriodically = false;
    request.Hours = 23;
    request.Minutes = 59;
    fake.NextId = 17;
    EXPECT_EQ(vm::SubmitJob(request, "", fake, ui), 17u);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Successfully queued job 17"});
    const TSchedulerJob& job = fake.Jobs[""].at(0);
    EXPECT_EQ(job.JobTime, 86340000u);
    EXPECT_EQ(job.DaysOfWeek, 0x04);
    EXPECT_EQ(job.Flags, 0);
    EXPECT_EQ(job.Command, vm::JobCommandLine(request));

    // Another computer's location is its own business: no look on this one's disk.
    fake.Jobs["FS1"] = {};
    request.ProgramLocation = "/apps/vm";
    ui.Shown.clear();
    fake.NextError = vm::ESchedulerError(5, "Access is denied.");
    EXPECT_FALSE(vm::SubmitJob(request, "FS1", fake, ui));
    EXPECT_EQ(vm::SubmitJob(request, "FS1", fake, ui), 18u);
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"Access is denied.", "Successfully queued job 18"}));
    EXPECT_FALSE(ui.Busy);
}

TEST(SubmitBoxes, ReferencesInFileOrderAndLogsInNumberOrder)
{
    vmtest::TempDir dir;
    dir.WriteFile("Volumark.ini", "[Ref0001]\nName=Servers\n[Ref0000]\nName=Home\n[Other]\n"
                                  "Name=not a reference\n");
    dir.MakeDir("Ref0001");
    for (const char* name :
         {"Log0012.kdf", "Log0003.KDF", "Log0100.kdf", "Log0004.txt", "00030012.kcf"})
        dir.WriteFile(std::string("Ref0001/") + name, "");
    dir.MakeDir("Ref0001/Log0007.kdf");
    vm::TRefStore store(dir.Path());
    EXPECT_EQ(vm::ReferenceNames(store), (std::vector<std::string>{"Servers", "Home"}));
    EXPECT_EQ(vm::LogNumberTexts(store, "servers"),
              (std::vector<std::string>{"0003", "0012", "0100"}));
    EXPECT_TRUE(vm::LogNumberTexts(store, "Home").empty()); // no directory
    EXPECT_TRUE(vm::LogNumberTexts(store, "nobody").empty());
    EXPECT_EQ(vm::SubmitCaption(""), "Submit job on local machine");
    EXPECT_EQ(vm::SubmitCaption("FS1"), "Submit job on server FS1");
}

} // namespace
