// `volumark /Folder=DIR` as the file manager starts it: with a screen the program shows the folder
// and keeps running; without one it says so at once and ends with status 6.
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

TEST(FolderProcess, StaysUpWithItsWindow)
{
    vmtest::TempDir dir;
    dir.MakeDir("tree");
    dir.MakeDir("tree/sub");
    dir.WriteFile("tree/sub/a.txt", "hello");
    const std::string program = vmtest::BuiltProgram("volumark");
    const std::string folder = "/Folder=" + (dir / "tree");
    std::vector<std::string> args = {"/usr/bin/env",
                                     "-C",
                                     dir.Path(),
                                     "QT_QPA_PLATFORM=offscreen",
                                     "VOLUMARK_REGISTRY=" + (dir / "registry.ini"),
                                     program,
                                     folder};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 30 && ended == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ended = waitpid(pid, &status, WNOHANG);
    }
    EXPECT_EQ(ended, 0) << "ended with status " << WEXITSTATUS(status);
    if (ended == 0) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
}

TEST(FolderProcess, WithoutADisplaySaysSoBeforeScanning)
{
    vmtest::TempDir dir;
    dir.MakeDir("tree");
    vmtest::ProcessResult r = vmtest::RunProcess(
        {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "-C",
         dir.Path(), "VOLUMARK_REGISTRY=" + (dir / "registry.ini"),
         vmtest::BuiltProgram("volumark"), "/Folder=" + (dir / "tree")});
    EXPECT_EQ(r.Status, 6);
    EXPECT_NE(r.Err.find("needs the windows, and there is no display"), std::string::npos) << r.Err;
}

} // namespace
