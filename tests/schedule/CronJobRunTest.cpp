// Scheduled jobs as cron runs them: the command of a crontab line handed to /bin/sh, with
// VM_BATCH.CMD (a stub that records its arguments, or the real script beside the program) and
// the real program logging a real data directory.
#include "platform/CrontabText.h"
#include "platform/Scheduler.h"
#include "schedule/JobCommand.h"
#include "schedule/SubmitJob.h"
#include "support/CronLine.h"
#include "support/ProcessRunner.h"
#include "support/RefFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using vmtest::CronCommandOf;
using vmtest::ProcessResult;
using vmtest::TempDir;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

std::vector<std::string> SplitAtNul(const std::string& text)
{
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t end; (end = text.find('\0', at)) != std::string::npos; at = end + 1)
        parts.push_back(text.substr(at, end - at));
    return parts;
}

TEST(CronJobRun, EveryNameReachesTheScriptLiterallyAndRunsNothingElse)
{
    TempDir dir;
    // The program location and the data directory hold quotes, blanks and "%" themselves.
    const std::string program = dir / "it's 100% $HOME";
    const std::string data = dir / "data \"x\" `y`";
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(data);
    dir.WriteFile("it's 100% $HOME/VM_BATCH.CMD",
                  "#!/bin/sh\nprintf '%s\\0' \"$@\" >> \"$RECORD\"\n");
    chmod((program + "/VM_BATCH.CMD").c_str(), 0755);
    dir.MakeDir("cwd");
    const std::string names[] = {"say \"hi\"",    "it's",           "$(touch PWNED)",
                                 "`touch PWNED`", "a; touch PWNED", "50%",
                                 "100%% done\\%", "back\\slash\\",  "& | > PWNED <*?"};
    vm::TCronScheduler scheduler(vm::TCrontabAccess::File(dir / "tab"));
    for (const std::string& name : names) {
        vm::TJobRequest r;
        r.Reference = name;
        r.ProgramLocation = program;
        r.DataDirectory = data;
        r.CompareLatest = false;
        r.LogText = "0012";
        r.DeleteOldCompares = true;
        r.Weekdays[0] = true;
        scheduler.AddJob("", vm::JobOf(r));
    }
    const std::vector<std::string> lines = Lines(dir.ReadFile("tab"));
    ASSERT_EQ(lines.size(), std::size(names));
    for (size_t i = 0; i < lines.size(); ++i) {
        std::remove((dir / "record").c_str());
        ProcessResult r =
            vmtest::RunProcess({"/usr/bin/env", "-C", dir / "cwd", "RECORD=" + (dir / "record"),
                                "/bin/sh", "-c", CronCommandOf(lines[i])});
        EXPECT_EQ(r.Status, 0) << lines[i] << "\n" << r.Err;
        EXPECT_EQ(SplitAtNul(dir.ReadFile("record")),
                  (std::vector<std::string>{names[i], data, program + "/", "/c=12", "/k"}))
            << lines[i];
        EXPECT_FALSE(std::filesystem::exists(dir / "cwd/PWNED")) << lines[i];
    }
}

// VM_BATCH.CMD as the build places it beside the program, run over a real data directory.
class BatchFile : public testing::Test
{
protected:
    BatchFile()
    {
        fx.AddRef(0, "My Big Ref", {{fx.MakeTree("t"), "4096"}});
        fx.Root.WriteFile("registry.ini", "");
    }
    // Runs argv with the test's settings and crontab files, and a display named that the run
    // must not try to use.
    ProcessResult Run(std::vector<std::string> argv)
    {
        std::vector<std::string> env = {
            "/usr/bin/env", "DISPLAY=:99", "VOLUMARK_REGISTRY=" + (fx.Root / "registry.ini"),
            "VOLUMARK_MAIL=" + (fx.Root / "mail.ini"), "VOLUMARK_CRONTAB=" + (fx.Root / "tab")};
        argv.insert(argv.begin(), env.begin(), env.end());
        return vmtest::RunProcess(argv);
    }
    std::string Batch() const { return std::string(VOLUMARK_BINARY_DIR) + "/VM_BATCH.CMD"; }
    std::string ProgramDir() const { return std::string(VOLUMARK_BINARY_DIR) + "/"; }

    vmtest::RefFixture fx;
};

TEST_F(BatchFile, LogsTheReferenceAndPassesTheExitStatusOn)
{
    ProcessResult first = Run({Batch(), "My Big Ref", fx.DataDir(), ProgramDir(), "/c"});
    EXPECT_EQ(first.Status, 0) << first.Err;
    ProcessResult second = Run({Batch(), "my big ref", fx.DataDir(), ProgramDir(), "/c", "/k"});
    EXPECT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(fx.RefFiles(0),
              (std::vector<std::string>{"00010002.kcf", "Log0001.kdf", "Log0002.kdf"}));

    ProcessResult unknown = Run({Batch(), "nobody", fx.DataDir(), ProgramDir()});
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(unknown.Err.find("Reference [nobody] not found"), std::string::npos) << unknown.Err;
    ProcessResult badLog = Run({Batch(), "My Big Ref", fx.DataDir(), ProgramDir(), "/c=99"});
    EXPECT_EQ(badLog.Status, 4) << badLog.Err;
    EXPECT_EQ(Run({Batch(), "My Big Ref", fx.Root / "missing", ProgramDir()}).Status, 2);
    EXPECT_EQ(Run({Batch(), "My Big Ref"}).Status, 1);
}

TEST_F(BatchFile, ARunOnceJobLogsOnceAndLeavesTheRestOfTheCrontab)
{
    const std::string foreign = "MAILTO=\"\"\n15 3 * * * /usr/bin/backup\n";
    fx.Root.WriteFile("tab", foreign);
    vm::TJobRequest request;
    request.Reference = "My Big Ref";
    request.ProgramLocation = VOLUMARK_BINARY_DIR;
    request.DataDirectory = fx.DataDir();
    request.RunPeriodically = false; // no days either: the next time of day
    vm::TCronScheduler scheduler(vm::TCrontabAccess::File(fx.Root / "tab"));
    const uint32_t id = scheduler.AddJob("", vm::JobOf(request));
    request.Weekdays[3] = true;
    request.RunPeriodically = true;
    scheduler.AddJob("", vm::JobOf(request));

    const std::vector<std::string> lines = Lines(fx.Root.ReadFile("tab"));
    ASSERT_EQ(lines.size(), 4u);
    ProcessResult r = Run({"/bin/sh", "-c", CronCommandOf(lines[2])});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
    EXPECT_EQ(fx.Root.ReadFile("tab"), foreign + lines[3] + "\n");
    EXPECT_TRUE(scheduler.EnumJobs("").at(0).JobId != id);
}

} // namespace

// The installed layout: the program in usr/bin, the script in usr/lib/volumark beside a link to
// the program. The submit dialog offers that directory, and a job's line run from it logs.
TEST_F(BatchFile, AnInstalledProgramOffersTheScriptsDirectoryAndItsJobsRun)
{
    namespace fs = std::filesystem;
    const std::string usr = fx.Root / "usr";
    fs::create_directories(usr + "/bin");
    fs::create_directories(usr + "/lib/volumark");
    fs::create_symlink(ProgramDir() + "volumark", usr + "/bin/volumark");
    fs::copy_file(Batch(), usr + "/lib/volumark/VM_BATCH.CMD");
    fs::create_symlink("../../bin/volumark", usr + "/lib/volumark/volumark");

    EXPECT_EQ(vm::DefaultProgramLocation(usr + "/bin/volumark"), usr + "/lib/volumark");
    EXPECT_EQ(vm::DefaultProgramLocation(ProgramDir() + "volumark") + "/", ProgramDir());
    EXPECT_EQ(vm::DefaultProgramLocation(fx.Root / "elsewhere/volumark"), fx.Root / "elsewhere");

    vm::TJobRequest request;
    request.Reference = "My Big Ref";
    request.ProgramLocation = vm::DefaultProgramLocation(usr + "/bin/volumark");
    request.DataDirectory = fx.DataDir();
    request.Compare = false;
    ProcessResult r = Run({"/bin/sh", "-c", vm::JobCommandLine(request)});
    EXPECT_EQ(r.Status, 0) << vm::JobCommandLine(request) << "\n" << r.Err;
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
}
