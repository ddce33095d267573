// Runs a program as its own process and collects what it printed and its exit status.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace vmtest {

struct ProcessResult
{
    int Status = -1; // the exit status; 128 + the signal when a signal ended it
    std::string Out, Err;
};

// argv[0] is the program's path; no shell is involved.
ProcessResult RunProcess(const std::vector<std::string>& argv);

// A program started as its own process (as RunProcess starts it), to be signalled or waited for
// while others run. The destructor waits for it.
class StartedProcess
{
public:
    explicit StartedProcess(const std::vector<std::string>& argv);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    // -1 when it could not be started.
    pid_t Pid() const { return pid_; }
    // Waits for its end (once) and gives what it printed and its status.
    ProcessResult Wait();

private:
    int out_ = -1, err_ = -1;
    pid_t pid_ = -1;
    bool waited_ = false;
    ProcessResult result_;
};

} // namespace vmtest
