#include "platform/Scheduler.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/ChildProcess.h"
#include "platform/ConfigPath.h"
#include "platform/CrontabText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace vm {

namespace {

const char* const kCrontabVariable = "VOLUMARK_CRONTAB";

std::string Trimmed(std::string text)
{
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    text.erase(0, text.find_first_not_of(" \t\r\n"));
    return text;
}

// Why a crontab command failed, in its own words where it gave any.
[[noreturn]] void CommandFailed(const std::string& what, const TChildResult& r)
{
    if (r.SpawnError == ENOENT)
        throw ESchedulerError(schederr::ServiceNotRunning, "The crontab command was not found");
    if (r.SpawnError != 0)
        throw ESchedulerError(r.SpawnError, what + ": " + std::strerror(r.SpawnError));
    std::string message = Trimmed(r.Err);
    if (message.empty())
        message = r.TimedOut ? what + " did not answer"
                             : what + " ended with status " + std::to_string(r.ExitStatus);
    throw ESchedulerError(-1, message);
}

// A temporary file with the text, removed when this goes.
class TTemporaryText
{
public:
    explicit TTemporaryText(const std::string& text)
    {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/volumark-crontab-XXXXXX";
        int fd = mkstemp(path_.data());
        if (fd < 0)
            throw ESchedulerError(errno, "Cannot write " + path_ + ": " + std::strerror(errno));
        close(fd);
        try {
            ReplaceFileContent(path_, text);
        } catch (const std::runtime_error& e) {
            unlink(path_.c_str());
            throw ESchedulerError(-1, e.what());
        }
    }
    ~TTemporaryText() { unlink(path_.c_str()); }
    TTemporaryText(const TTemporaryText&) = delete;
    TTemporaryText& operator=(const TTemporaryText&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

TCrontabAccess TCrontabAccess::FromEnvironment()
{
    if (const char* file = std::getenv(kCrontabVariable); file && *file)
        return File(file);
    // With the variable unset this names ~/.config/volumark/crontab: its ".lock" companion is
    // the lock of every instance of this user.
    return Command(UserConfigFile(kCrontabVariable, "crontab"));
}

TCrontabAccess TCrontabAccess::File(std::string path)
{
    TCrontabAccess access;
    access.file_ = std::move(path);
    access.lockPath_ = WriteTarget(access.file_);
    return access;
}

TCrontabAccess TCrontabAccess::Command(std::string lockPath)
{
    TCrontabAccess access;
    access.lockPath_ = std::move(lockPath);
    return access;
}

std::string TCrontabAccess::Read() const
{
    if (!file_.empty()) {
        try {
            return ReadFileContent(file_);
        } catch (const std::runtime_error& e) {
            throw ESchedulerError(-1, e.what());
        }
    }
    TChildResult r = RunChild({"crontab", "-l"});
    if (r.Succeeded())
        return r.Out;
    // Only "no crontab for <user>" means an empty crontab. Any other failure must not be taken
    // for one: a change written over it would replace every job of the user with ours.
    if (r.SpawnError == 0 && r.ExitStatus > 0 && r.Err.find("no crontab for") != std::string::npos)
        return {};
    CommandFailed("crontab -l", r);
}

void TCrontabAccess::Install(const std::string& text) const
{
    if (!file_.empty()) {
        try {
            ReplaceFileContent(WriteTarget(file_), text);
        } catch (const std::runtime_error& e) {
            throw ESchedulerError(-1, e.what());
        }
        return;
    }
    // crontab installs a file given by name whole, or not at all.
    TTemporaryText file(text);
    TChildResult r = RunChild({"crontab", file.Path()});
    if (!r.Succeeded())
        CommandFailed("crontab", r);
}

TCronScheduler::TCronScheduler(TCrontabAccess crontab, TClock clock)
    : crontab_(std::move(crontab)), clock_(std::move(clock))
{
}

std::string TCronScheduler::LocalComputerName() const
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::vector<std::string> TCronScheduler::Servers() const
{
    return {};
}

void TCronScheduler::CheckServer(const std::string& server) const
{
    if (!server.empty() && !SameTextIgnoringCase(server, LocalComputerName()))
        throw ESchedulerError(schederr::InvalidName,
                              "Only this computer's jobs can be scheduled, not " + server + "'s");
}

std::tm TCronScheduler::Now() const
{
    std::time_t now = clock_();
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

template <class F> void TCronScheduler::Change(F change)
{
    const std::string& lockPath = crontab_.LockPath();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(lockPath).parent_path(), ec);
    std::optional<TFileLock> lock;
    try {
        lock.emplace(lockPath);
    } catch (const std::runtime_error& e) {
        throw ESchedulerError(-1, e.what());
    }
    TCrontabText text(crontab_.Read());
    if (change(text))
        crontab_.Install(text.Text());
}

std::vector<TSchedulerJob> TCronScheduler::EnumJobs(const std::string& server)
{
    CheckServer(server);
    std::vector<TSchedulerJob> jobs;
    for (TCrontabJob& entry : TCrontabText(crontab_.Read()).Jobs(Now()))
        jobs.push_back(std::move(entry.Job));
    return jobs;
}

uint32_t TCronScheduler::AddJob(const std::string& server, const TSchedulerJob& job)
{
    CheckServer(server);
    uint32_t id = 0;
    Change([&](TCrontabText& text) {
        id = text.NextJobId();
        text.AddJob(id, job, Now());
        return true;
    });
    return id;
}

void TCronScheduler::DeleteJob(const std::string& server, uint32_t jobId)
{
    CheckServer(server);
    Change([&](TCrontabText& text) {
        if (!text.RemoveJob(jobId))
            throw ESchedulerError(ENOENT, "There is no job " + std::to_string(jobId));
        return true;
    });
}

bool TCronScheduler::JobStarted(uint32_t jobId)
{
    bool found = false;
    Change([&](TCrontabText& text) { return found = text.JobStarted(jobId, Now()); });
    return found;
}

std::string RetireRunOnceJobOfEnvironment()
{
    const char* value = std::getenv(kRunOnceVariable);
    if (!value)
        return {};
    std::string id = value;
    unsetenv(kRunOnceVariable);
    char* end = nullptr;
    errno = 0;
    unsigned long number = std::strtoul(id.c_str(), &end, 10);
    if (id.empty() || *end != '\0' || errno != 0 || number == 0 || number > UINT32_MAX)
        return std::string(kRunOnceVariable) + " does not name a job: " + id;
    try {
        if (!TCronScheduler().JobStarted(uint32_t(number)))
            return "Scheduled job " + id + " is no longer in the crontab";
    } catch (const ESchedulerError& e) {
        return "Scheduled job " + id + " could not be retired: " + e.what();
    }
    return {};
}

} // namespace vm
