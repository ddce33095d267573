// The scheduler that runs logging jobs: add, list and delete jobs of a computer, and the
// computers it can serve. TCronScheduler keeps the jobs in the user's crontab and serves only
// the local computer; other schedulers (remote ones, in tests) stand behind the same interface.
#pragma once

#include "platform/SchedulerJob.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace vm {

class TScheduler
{
public:
    virtual ~TScheduler() = default;

    // The name of this computer; empty when it cannot be told.
    virtual std::string LocalComputerName() const = 0;
    // The other computers whose schedulers can be reached, as far as they are known.
    virtual std::vector<std::string> Servers() const = 0;

    // The jobs of a computer (an empty name is this one), in the scheduler's order.
    virtual std::vector<TSchedulerJob> EnumJobs(const std::string& server) = 0;
    // Adds the job (its JobId is ignored) and returns the number it was given.
    virtual uint32_t AddJob(const std::string& server, const TSchedulerJob& job) = 0;
    // Deletes the job of that number. Raises ESchedulerError when no job carries it.
    virtual void DeleteJob(const std::string& server, uint32_t jobId) = 0;
    // All four raise ESchedulerError: schederr::InvalidName for a computer not served,
    // schederr::ServiceNotRunning when there is no scheduler, else the scheduler's own message.
};

// Where the crontab lives: the user's crontab through the crontab command, or, when
// $VOLUMARK_CRONTAB names one, a plain file that stands for it.
class TCrontabAccess
{
public:
    // $VOLUMARK_CRONTAB when set and not empty, else the crontab command.
    static TCrontabAccess FromEnvironment();
    static TCrontabAccess File(std::string path);
    // lockPath: the file whose ".lock" companion the instances of the program lock while they
    // change the crontab.
    static TCrontabAccess Command(std::string lockPath);

    // The whole crontab; empty when the user has none. Raises ESchedulerError with the
    // command's own message (its standard error) or errno's text when it cannot be read.
    std::string Read() const;
    // Installs the text as the whole crontab. Raises ESchedulerError likewise.
    void Install(const std::string& text) const;
    // The path whose ".lock" file guards a read, change and write.
    const std::string& LockPath() const { return lockPath_; }

private:
    std::string file_; // empty: the crontab command
    std::string lockPath_;
};

using TClock = std::function<std::time_t()>;

class TCronScheduler : public TScheduler
{
public:
    explicit TCronScheduler(
        TCrontabAccess crontab = TCrontabAccess::FromEnvironment(),
        TClock clock = [] { return std::time(nullptr); });

    std::string LocalComputerName() const override;
    // None: only this computer is served.
    std::vector<std::string> Servers() const override;
    // The crontab is read once for each call.
    std::vector<TSchedulerJob> EnumJobs(const std::string& server) override;
    uint32_t AddJob(const std::string& server, const TSchedulerJob& job) override;
    void DeleteJob(const std::string& server, uint32_t jobId) override;

    // A run-once job has started (see TCrontabText::JobStarted). False when no line carries it.
    bool JobStarted(uint32_t jobId);

private:
    // Only this computer: an empty name or its own (letter case ignored).
    void CheckServer(const std::string& server) const;
    std::tm Now() const;
    // Reads, changes and installs the crontab under the lock; nothing is installed when the
    // change answers false or when reading failed.
    template <class F> void Change(F change);

    TCrontabAccess crontab_;
    TClock clock_;
};

// For the program's start: when $VOLUMARK_RUN_ONCE names a job, that job has started (its run
// is the program's); the variable is removed so that nothing started later inherits it.
// Returns what went wrong, or empty.
std::string RetireRunOnceJobOfEnvironment();

} // namespace vm
