#include "platform/MailCodes.h"
#include "platform/MailSender.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vm {

namespace {

constexpr int kExitNoUser = 67; // EX_NOUSER of sysexits.h
constexpr size_t kKeptOutput = 4096;

class TFd
{
public:
    explicit TFd(int fd = -1) : fd_(fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    void Close()
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// The running command: its standard input (a socket, so that writing to a command that has
// quit gives an error instead of a signal) and its merged output.
struct TChild
{
    pid_t Pid = -1;
    TFd In, Out;
};

// Starts the command as the leader of a process group of its own, so that whatever it starts
// (a shell's children) can be ended with it.
std::string Start(const std::vector<std::string>& argv, TChild& child)
{
    int in[2], out[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0)
        return std::strerror(errno);
    TFd inChild(in[0]);
    child.In.Reset(in[1]);
    if (pipe2(out, O_CLOEXEC) != 0)
        return std::strerror(errno);
    TFd outChild(out[1]);
    child.Out.Reset(out[0]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inChild.Get(), 0);
    posix_spawn_file_actions_adddup2(&actions, outChild.Get(), 1);
    posix_spawn_file_actions_adddup2(&actions, outChild.Get(), 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int rc = posix_spawnp(&child.Pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? std::string() : std::strerror(rc);
}

// True (with its exit status, -1 after a signal) once the command has ended.
bool Ended(pid_t pid, int& status)
{
    int raw = 0;
    pid_t r = waitpid(pid, &raw, WNOHANG);
    if (r != pid)
        return false;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return true;
}

// Reads what the command's output holds now, without waiting.
void ReadWaiting(TFd& out, std::string& output)
{
    char buf[1024];
    for (ssize_t n; out.Get() >= 0 && (n = read(out.Get(), buf, sizeof buf)) > 0;)
        if (output.size() < kKeptOutput)
            output.append(buf, size_t(n));
}

// Writes the message and collects the output until the command ends; false when the deadline
// came first. A command that has ended is done, also when something it left running still holds
// its output open.
bool Exchange(TChild& child, const std::string& message, std::string& output,
              std::chrono::steady_clock::time_point deadline, int& status)
{
    constexpr long long kLookMs = 20; // how often the command's end is looked for
    size_t sent = 0;
    fcntl(child.In.Get(), F_SETFL, O_NONBLOCK);
    fcntl(child.Out.Get(), F_SETFL, O_NONBLOCK);
    for (;;) {
        if (sent == message.size())
            child.In.Close(); // end of the message
        if (Ended(child.Pid, status)) {
            ReadWaiting(child.Out, output);
            return true;
        }
        const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   deadline - std::chrono::steady_clock::now())
                                   .count();
        if (left <= 0)
            return false;
        pollfd fds[2];
        nfds_t count = 0;
        const int outAt = child.Out.Get() >= 0 ? int(count++) : -1;
        if (outAt >= 0)
            fds[outAt] = {child.Out.Get(), POLLIN, 0};
        const int inAt = child.In.Get() >= 0 ? int(count++) : -1;
        if (inAt >= 0)
            fds[inAt] = {child.In.Get(), POLLOUT, 0};
        if (poll(fds, count, int(std::min(left, kLookMs))) <= 0)
            continue;
        if (inAt >= 0 && (fds[inAt].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n =
                send(child.In.Get(), message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
            if (n > 0)
                sent += size_t(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                sent = message.size(); // the command stopped reading; its status tells why
        }
        if (outAt >= 0 && (fds[outAt].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[1024];
            ssize_t n = read(child.Out.Get(), buf, sizeof buf);
            if (n == 0)
                child.Out.Close();
            else if (n > 0 && output.size() < kKeptOutput)
                output.append(buf, size_t(n));
        }
    }
}

std::string FirstLine(const std::string& s)
{
    std::string line = s.substr(0, s.find('\n'));
    return line.empty() ? std::string() : ": " + line;
}

} // namespace

std::vector<std::string> SplitCommand(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < command.size(); ++i) {
        char c = command[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < command.size())
                word += command[++i];
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == '\\' && i + 1 < command.size()) {
            word += command[++i];
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

TMailSendResult SendWithCommand(const TMailProfile& profile, const TOutgoingMail& mail,
                                const std::string& message)
{
    std::vector<std::string> argv = SplitCommand(profile.Command);
    if (argv.empty())
        return {MAPI_E_FAILURE, "The mail profile \"" + profile.Name + "\" has no Command"};
    if (!mail.WriteBccHeader)
        for (const auto* list : {&mail.To, &mail.CC, &mail.Bcc})
            for (const TMailAddress& a : *list)
                argv.push_back(a.Mailbox); // never begins with "-": see IsMailbox
    TChild child;
    std::string why = Start(argv, child);
    if (!why.empty())
        return {MAPI_E_FAILURE, "Cannot run \"" + argv[0] + "\": " + why};
    std::string output;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(profile.TimeoutSeconds);
    int status = -1;
    if (!Exchange(child, message, output, deadline, status)) {
        // The command and everything it started go: a shell's children would live on.
        kill(-child.Pid, SIGKILL);
        waitpid(child.Pid, nullptr, 0);
        return {MAPI_E_FAILURE, "\"" + argv[0] + "\" did not finish within " +
                                    std::to_string(profile.TimeoutSeconds) + " seconds"};
    }
    if (status == 0)
        return {SUCCESS_SUCCESS, ""};
    std::string result =
        status < 0 ? "was stopped by a signal" : "ended with status " + std::to_string(status);
    return {status == kExitNoUser ? MAPI_E_UNKNOWN_RECIPIENT : MAPI_E_FAILURE,
            "\"" + argv[0] + "\" " + result + FirstLine(output)};
}

} // namespace vm
