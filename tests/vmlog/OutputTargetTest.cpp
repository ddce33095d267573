// Where vmlog writes: a file takes its name only when complete, but a device or a pipe named as
// the output is written into (export) or refused (scan, compare), never renamed over: as root,
// "-o /dev/null" must leave /dev/null a device.
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vmtest;
using ::testing::HasSubstr;

namespace {

ProcessResult Vmlog(std::vector<std::string> args)
{
    args.insert(args.begin(), BuiltProgram("vmlog"));
    return RunProcess(args);
}

TEST(OutputTarget, ADeviceOrAPipeIsWrittenIntoOrRefusedButNeverReplaced)
{
    TempDir dir;
    dir.MakeDir("t");
    dir.WriteFile("t/a", "12345");
    const std::string log = dir / "log.kdf";
    ASSERT_EQ(Vmlog({"scan", dir / "t", "-o", log}).Status, 0);

    // A pipe stands for any special file (and can be made without privileges).
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"scan", dir / "t", "-o", pipe},
          std::vector<std::string>{"compare", log, log, "-o", pipe}}) {
        ProcessResult r = Vmlog(args);
        EXPECT_EQ(r.Status, 1) << args[0];
        EXPECT_THAT(r.Err, HasSubstr("it is not a regular file")) << args[0];
    }
    dir.MakeDir("out");
    EXPECT_EQ(Vmlog({"export", log, "-o", dir / "out"}).Status, 1);
    struct stat st = {};
    ASSERT_EQ(lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(lstat((dir / "out").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    // A device is written into as standard output would be.
    if (geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    const std::string null = dir / "null";
    ASSERT_EQ(mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ProcessResult r = Vmlog({"export", log, "--format", "jsonl", "-o", null});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ASSERT_EQ(lstat(null.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(Vmlog({"scan", dir / "t", "-o", null}).Status, 1);
    ASSERT_EQ(lstat(null.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

} // namespace
