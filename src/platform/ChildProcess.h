// Runs another program as a child process, without a shell, and collects what it printed and
// how it ended. For short helper commands (crontab) whose output the caller reads whole.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace vm {

struct TChildResult
{
    int SpawnError = 0;    // errno when the program could not be started (ENOENT: not found)
    int ExitStatus = -1;   // the exit status; -1 when a signal ended it or it was killed
    bool TimedOut = false; // it was still running at the deadline and was killed
    std::string Out, Err;

    bool Succeeded() const { return SpawnError == 0 && ExitStatus == 0; }
};

// argv[0] is looked up on PATH; standard input is /dev/null. The child is killed when it runs
// longer than timeout.
TChildResult RunChild(const std::vector<std::string>& argv,
                      std::chrono::milliseconds timeout = std::chrono::seconds(30));

} // namespace vm
