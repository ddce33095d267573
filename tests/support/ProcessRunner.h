// Runs a program as its own process and collects what it printed and its exit status.
#pragma once

#include <string>
#include <vector>

namespace vmtest {

struct ProcessResult
{
    int Status = -1; // the exit status; 128 + the signal when a signal ended it
    std::string Out, Err;
};

// argv[0] is the program's path; no shell is involved.
ProcessResult RunProcess(const std::vector<std::string>& argv);

} // namespace vmtest
