#include "support/ProcessRunner.h"

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vmtest {

namespace {
std::string ReadAll(int fd)
{
    std::string s;
    char b[4096];
    for (ssize_t n; (n = ::read(fd, b, sizeof b)) > 0;)
        s.append(b, static_cast<size_t>(n));
    return s;
}

// A temporary file that is already unlinked: output of any size lands there without pipes that
// could fill while we wait.
int AnonymousFile()
{
    char name[] = "/tmp/volumark-out-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    unlink(name);
    return fd;
}
} // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv)
{
    return StartedProcess(argv).Wait();
}

StartedProcess::StartedProcess(const std::vector<std::string>& argv)
    : out_(AnonymousFile()), err_(AnonymousFile())
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_, 1);
    posix_spawn_file_actions_adddup2(&actions, err_, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

StartedProcess::~StartedProcess()
{
    Wait();
    close(out_);
    close(err_);
}

ProcessResult StartedProcess::Wait()
{
    if (waited_)
        return result_;
    waited_ = true;
    if (pid_ > 0) {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0) {
        }
        result_.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    lseek(out_, 0, SEEK_SET);
    lseek(err_, 0, SEEK_SET);
    result_.Out = ReadAll(out_);
    result_.Err = ReadAll(err_);
    return result_;
}

} // namespace vmtest
