// Every program the build makes answers as Linux programs do: --help and -h with its usage on
// stdout and status 0, --version with its name and version, and an unknown option with its
// usage on stderr and a refusal; none of them starts any work for these.
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using vmtest::ProcessResult;

namespace {

namespace fs = std::filesystem;

struct TProgram
{
    std::string Name, Path;
    int RefusedStatus = 2;
};

// volumark, vmlog and vmadmin where they are built, and every benchmark of build/bench.
std::vector<TProgram> BuiltPrograms()
{
    std::vector<TProgram> programs;
    const fs::path bin = fs::path(vmtest::BuiltProgram("vmlog")).parent_path();
    // volumark keeps the statuses of its unattended run: 1 is "an argument was refused".
    programs.push_back({"volumark", bin / "volumark", 1});
    if (fs::exists(bin / "vmlog"))
        programs.push_back({"vmlog", bin / "vmlog"});
    // vmadmin ends with the unattended run's statuses too.
    if (fs::exists(bin / "vmadmin"))
        programs.push_back({"vmadmin", bin / "vmadmin", 1});
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(bin / "bench", ec)) {
        struct stat st = {};
        if (e.is_regular_file() && ::stat(e.path().c_str(), &st) == 0 && (st.st_mode & S_IXUSR))
            programs.push_back({e.path().filename(), e.path()});
    }
    return programs;
}

ProcessResult RunProgram(const TProgram& p, const std::string& argument, const std::string& dir)
{
    // In an empty directory, with no display: nothing may be read, written or shown.
    return vmtest::RunProcess(
        {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-C", dir, p.Path, argument});
}

} // namespace

TEST(StandardOptions, EveryProgramAnswersHelpVersionAndUnknownOptions)
{
    const std::vector<TProgram> programs = BuiltPrograms();
    ASSERT_GE(programs.size(), 4u) << "volumark, vmlog and the benchmarks are built";
    vmtest::TempDir dir;
    for (const TProgram& p : programs) {
        SCOPED_TRACE(p.Name);
        const ProcessResult help = RunProgram(p, "--help", dir.Path());
        EXPECT_EQ(help.Status, 0);
        EXPECT_EQ(help.Out.rfind("Usage: " + p.Name, 0), 0u) << help.Out;
        EXPECT_EQ(help.Err, "");
        EXPECT_EQ(RunProgram(p, "-h", dir.Path()).Out, help.Out);

        const ProcessResult version = RunProgram(p, "--version", dir.Path());
        EXPECT_EQ(version.Status, 0);
        EXPECT_EQ(version.Out, p.Name + " " + VOLUMARK_VERSION + "\n");

        const ProcessResult refused = RunProgram(p, "--no-such-option", dir.Path());
        EXPECT_EQ(refused.Status, p.RefusedStatus);
        EXPECT_EQ(refused.Out, "");
        EXPECT_NE(refused.Err.find("--no-such-option"), std::string::npos) << refused.Err;
        EXPECT_NE(refused.Err.find("Usage: " + p.Name), std::string::npos) << refused.Err;
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(StandardOptions, VmlogCommandsHaveTheirOwnHelp)
{
    const std::string vmlog = vmtest::BuiltProgram("vmlog");
    for (const char* command : {"scan", "dump", "compare", "export"}) {
        const ProcessResult r = vmtest::RunProcess({vmlog, command, "-o", "x", "--help"});
        EXPECT_EQ(r.Status, 0) << command;
        EXPECT_EQ(r.Out.rfind(std::string("Usage: vmlog ") + command + " ", 0), 0u) << r.Out;
    }
    const ProcessResult r = vmtest::RunProcess({vmlog, "frobnicate"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("vmlog: unknown command \"frobnicate\"\nUsage: vmlog ", 0), 0u) << r.Err;
}

TEST(StandardOptions, BenchmarksTakeEachOthersOptionsAndRefuseBadValues)
{
    const std::string bench =
        (fs::path(vmtest::BuiltProgram("vmlog")).parent_path() / "bench/clipboard_bench").string();
    ASSERT_TRUE(fs::exists(bench));
    // --entries and --keep belong to other benchmarks: taken, then the help ends it.
    ProcessResult r = vmtest::RunProcess({bench, "--entries", "5", "--keep", "--help"});
    EXPECT_EQ(r.Status, 0);
    r = vmtest::RunProcess({bench, "--rows", "many"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("clipboard_bench: --rows wants a whole number, not \"many\"\n", 0), 0u)
        << r.Err;
    r = vmtest::RunProcess({bench, "--runs"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("clipboard_bench: --runs needs a value\n", 0), 0u) << r.Err;
}
