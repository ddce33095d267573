#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vm {

namespace {

class TPipe
{
public:
    TPipe()
    {
        if (pipe2(fds_, O_CLOEXEC) != 0)
            fds_[0] = fds_[1] = -1;
    }
    ~TPipe()
    {
        CloseRead();
        CloseWrite();
    }
    TPipe(const TPipe&) = delete;
    TPipe& operator=(const TPipe&) = delete;
    bool Ok() const { return fds_[0] >= 0; }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { CloseFd(fds_[0]); }
    void CloseWrite() { CloseFd(fds_[1]); }

private:
    static void CloseFd(int& fd)
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
    int fds_[2];
};

// Reads both pipes until the child closes them or the deadline passes; false at the deadline.
bool Collect(TPipe& out, TPipe& err, TChildResult& result,
             std::chrono::steady_clock::time_point deadline)
{
    while (out.Read() >= 0 || err.Read() >= 0) {
        pollfd fds[2] = {{out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (poll(fds, 2, int(left.count())) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        TPipe* pipes[2] = {&out, &err};
        std::string* texts[2] = {&result.Out, &result.Err};
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[8192];
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0)
                texts[i]->append(buf, size_t(n));
            else if (n == 0 || errno != EINTR)
                pipes[i]->CloseRead();
        }
    }
    return true;
}

} // namespace

TChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    TChildResult result;
    TPipe out, err;
    if (!out.Ok() || !err.Ok() || argv.empty()) {
        result.SpawnError = argv.empty() ? EINVAL : errno;
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.Write(), 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.CloseWrite();
    err.CloseWrite();
    if (rc != 0) {
        result.SpawnError = rc;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!Collect(out, err, result, deadline)) {
        result.TimedOut = true;
        kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.TimedOut && WIFEXITED(status))
        result.ExitStatus = WEXITSTATUS(status);
    return result;
}

} // namespace vm
