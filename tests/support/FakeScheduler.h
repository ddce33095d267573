// A scheduler that serves several computers from memory, for the dialogs' tests: what a remote
// scheduler would be, behind the same interface as the crontab.
#pragma once

#include "platform/Scheduler.h"

#include <map>
#include <optional>

namespace vmtest {

class FakeScheduler : public vm::TScheduler
{
public:
    std::string LocalComputerName() const override { return Local; }
    std::vector<std::string> Servers() const override { return KnownServers; }
    std::vector<vm::TSchedulerJob> EnumJobs(const std::string& server) override;
    uint32_t AddJob(const std::string& server, const vm::TSchedulerJob& job) override;
    void DeleteJob(const std::string& server, uint32_t jobId) override;

    std::string Local = "workstation";
    std::vector<std::string> KnownServers;
    // Jobs by computer ("" is the local one); computers without an entry are unknown.
    std::map<std::string, std::vector<vm::TSchedulerJob>> Jobs{{"", {}}};
    std::optional<vm::ESchedulerError> NextError; // raised by the next call, once
    uint32_t NextId = 1;
    int EnumCalls = 0;
    std::vector<std::pair<std::string, uint32_t>> Deleted;

private:
    std::vector<vm::TSchedulerJob>& Of(const std::string& server);
};

vm::TSchedulerJob MakeJob(uint32_t id, const std::string& command, uint8_t weekdays = 0x1,
                          uint8_t flags = vm::jobflag::RunPeriodically);

} // namespace vmtest
