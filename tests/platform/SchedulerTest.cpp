// The crontab scheduler: through a file that stands for the crontab, and through a crontab
// command on the PATH (a stub that behaves as the real one does, or fails). The user's crontab
// must never be lost: not when reading it fails, not when two instances change it at once.
#include "platform/Scheduler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vm::ESchedulerError;
using vm::TCronScheduler;
using vm::TCrontabAccess;
using vmtest::TempDir;

vm::TSchedulerJob Job(const std::string& command)
{
    vm::TSchedulerJob job;
    job.JobTime = 3600000;
    job.DaysOfWeek = 0x1;
    job.Flags = vm::jobflag::RunPeriodically;
    job.Command = command;
    return job;
}

const char* const kUserLines = "# mine\nMAILTO=me\n15 3 * * * /usr/bin/backup\n";

// A crontab command for tests: "-l" prints the crontab file (or says there is none), a file
// argument installs that file; $STUB_FAIL_LIST and $STUB_FAIL_INSTALL make either fail as the
// real command fails. Every call is logged.
class CrontabStub : public testing::Test
{
protected:
    CrontabStub()
    {
        dir_.MakeDir("bin");
        dir_.WriteFile(
            "bin/crontab",
            "#!/bin/sh\n"
            "echo \"$*\" >> \"$STUB_DIR/calls\"\n"
            "if [ \"$1\" = -l ]; then\n"
            "  [ -z \"$STUB_FAIL_LIST\" ] || { echo \"$STUB_FAIL_LIST\" >&2; exit 1; }\n"
            "  [ -f \"$STUB_DIR/tab\" ] || { echo \"no crontab for tester\" >&2; exit 1; }\n"
            "  exec cat \"$STUB_DIR/tab\"\n"
            "fi\n"
            "[ -z \"$STUB_FAIL_INSTALL\" ] || { echo \"$STUB_FAIL_INSTALL\" >&2; exit 1; }\n"
            "exec cp \"$1\" \"$STUB_DIR/tab\"\n");
        chmod((dir_ / "bin/crontab").c_str(), 0755);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        setenv("PATH", (dir_ / "bin:" + savedPath_).c_str(), 1);
        setenv("STUB_DIR", dir_.Path().c_str(), 1);
        unsetenv("STUB_FAIL_LIST");
        unsetenv("STUB_FAIL_INSTALL");
    }
    ~CrontabStub() override { setenv("PATH", savedPath_.c_str(), 1); }

    TCronScheduler Scheduler() { return TCronScheduler(TCrontabAccess::Command(dir_ / "lock")); }
    std::string Calls() { return dir_.ReadFile("calls"); }

    TempDir dir_;
    std::string savedPath_;
};

TEST_F(CrontabStub, NoCrontabYetGetsOneWithTheJob)
{
    TCronScheduler scheduler = Scheduler();
    EXPECT_TRUE(scheduler.EnumJobs("").empty());
    EXPECT_EQ(scheduler.AddJob("", Job("/bin/true")), 1u);
    EXPECT_EQ(dir_.ReadFile("tab"), "0 1 * * 1 /bin/true # Volumark job 1\n");
    EXPECT_EQ(scheduler.EnumJobs("").at(0).Command, "/bin/true");
}

TEST_F(CrontabStub, AFailingListLeavesTheCrontabUntouchedAndSaysWhy)
{
    dir_.WriteFile("tab", kUserLines);
    setenv("STUB_FAIL_LIST", "crontab: your crontab is locked by an administrator", 1);
    TCronScheduler scheduler = Scheduler();
    for (auto change : {std::function<void()>([&] { scheduler.AddJob("", Job("/bin/true")); }),
                        std::function<void()>([&] { scheduler.DeleteJob("", 1); })}) {
        try {
            change();
            ADD_FAILURE() << "the change went on without the crontab";
        } catch (const ESchedulerError& e) {
            EXPECT_STREQ(e.what(), "crontab: your crontab is locked by an administrator");
        }
    }
    EXPECT_EQ(dir_.ReadFile("tab"), kUserLines);
    EXPECT_EQ(Calls(), "-l\n-l\n"); // nothing was installed
}

TEST_F(CrontabStub, ARefusedInstallIsReportedWithTheCommandsWords)
{
    dir_.WriteFile("tab", kUserLines);
    setenv("STUB_FAIL_INSTALL", "errors in crontab file, can't install.", 1);
    try {
        Scheduler().AddJob("", Job("/bin/true"));
        ADD_FAILURE() << "a refused install reported as success";
    } catch (const ESchedulerError& e) {
        EXPECT_STREQ(e.what(), "errors in crontab file, can't install.");
    }
    EXPECT_EQ(dir_.ReadFile("tab"), kUserLines);
}

TEST_F(CrontabStub, WithoutACrontabCommandThereIsNoScheduleService)
{
    setenv("PATH", (dir_ / "nowhere").c_str(), 1);
    try {
        Scheduler().EnumJobs("");
        ADD_FAILURE();
    } catch (const ESchedulerError& e) {
        EXPECT_EQ(e.Code, vm::schederr::ServiceNotRunning);
    }
}

TEST(CrontabFile, OnlyThisComputerIsServed)
{
    TempDir dir;
    TCronScheduler scheduler(TCrontabAccess::File(dir / "tab"));
    const std::string local = scheduler.LocalComputerName();
    ASSERT_FALSE(local.empty());
    EXPECT_TRUE(scheduler.Servers().empty());
    std::string shouted = local;
    for (char& c : shouted)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(scheduler.AddJob(shouted, Job("x")), 1u);
    EXPECT_EQ(scheduler.EnumJobs("").size(), 1u);
    try {
        scheduler.EnumJobs("fileserver");
        ADD_FAILURE();
    } catch (const ESchedulerError& e) {
        EXPECT_EQ(e.Code, vm::schederr::InvalidName);
    }
}

TEST(CrontabFile, DeletingTakesOnlyTheMarkedLineAndNumbersAreNotGivenTwice)
{
    TempDir dir;
    dir.WriteFile("tab", kUserLines);
    TCronScheduler scheduler(TCrontabAccess::File(dir / "tab"));
    EXPECT_EQ(scheduler.AddJob("", Job("a")), 1u);
    EXPECT_EQ(scheduler.AddJob("", Job("b")), 2u);
    scheduler.DeleteJob("", 1);
    EXPECT_EQ(scheduler.AddJob("", Job("c")), 3u);
    try {
        scheduler.DeleteJob("", 1);
        ADD_FAILURE();
    } catch (const ESchedulerError& e) {
        EXPECT_EQ(e.Code, ENOENT);
    }
    EXPECT_EQ(dir.ReadFile("tab"), std::string(kUserLines) + "0 1 * * 1 b # Volumark job 2\n"
                                                             "0 1 * * 1 c # Volumark job 3\n");
}

TEST(CrontabFile, TwoInstancesAddingAtOnceLoseNoJob)
{
    TempDir dir;
    dir.WriteFile("tab", kUserLines);
    constexpr int kEach = 25;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    TCronScheduler scheduler(TCrontabAccess::File(dir / "tab"));
    for (int i = 0; i < kEach; ++i)
        scheduler.AddJob("", Job(child == 0 ? "child" : "parent"));
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::vector<vm::TSchedulerJob> jobs = scheduler.EnumJobs("");
    ASSERT_EQ(jobs.size(), size_t(2 * kEach));
    std::set<uint32_t> numbers;
    for (const vm::TSchedulerJob& job : jobs)
        numbers.insert(job.JobId);
    EXPECT_EQ(numbers.size(), size_t(2 * kEach));
    EXPECT_EQ(dir.ReadFile("tab").rfind(kUserLines, 0), 0u);
}

} // namespace
