#include "support/FakeScheduler.h"

#include <algorithm>
#include <cerrno>

namespace vmtest {

std::vector<vm::TSchedulerJob>& FakeScheduler::Of(const std::string& server)
{
    if (NextError) {
        vm::ESchedulerError error = *NextError;
        NextError.reset();
        throw error;
    }
    const std::string key = server == Local ? std::string() : server;
    auto it = Jobs.find(key);
    if (it == Jobs.end())
        throw vm::ESchedulerError(vm::schederr::InvalidName, "unknown computer " + server);
    return it->second;
}

std::vector<vm::TSchedulerJob> FakeScheduler::EnumJobs(const std::string& server)
{
    ++EnumCalls;
    return Of(server);
}

uint32_t FakeScheduler::AddJob(const std::string& server, const vm::TSchedulerJob& job)
{
    std::vector<vm::TSchedulerJob>& jobs = Of(server);
    jobs.push_back(job);
    jobs.back().JobId = NextId;
    return NextId++;
}

void FakeScheduler::DeleteJob(const std::string& server, uint32_t jobId)
{
    std::vector<vm::TSchedulerJob>& jobs = Of(server);
    Deleted.emplace_back(server, jobId);
    if (std::erase_if(jobs, [&](const vm::TSchedulerJob& j) { return j.JobId == jobId; }) == 0)
        throw vm::ESchedulerError(ENOENT, "no such job");
}

vm::TSchedulerJob MakeJob(uint32_t id, const std::string& command, uint8_t weekdays, uint8_t flags)
{
    vm::TSchedulerJob job;
    job.JobId = id;
    job.JobTime = 8 * 3600000 + 30 * 60000;
    job.DaysOfWeek = weekdays;
    job.Flags = flags;
    job.Command = command;
    return job;
}

} // namespace vmtest
