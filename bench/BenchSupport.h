// What the benchmarks share: timing, medians and the peak memory of work run in a child process.
// Header only: every .cpp file in bench/ is a benchmark program of its own.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vmbench {

using TClock = std::chrono::steady_clock;

inline double Seconds(TClock::time_point since)
{
    return std::chrono::duration<double>(TClock::now() - since).count();
}

// The directory of the running benchmark (build/bench), to find the build's other files.
inline std::string SelfDirectory()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    buffer[n] = 0;
    return std::filesystem::path(buffer).parent_path().string();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs fn in a child process; returns the child's peak resident memory in KiB (-1 on failure).
template <class F> long InChild(F fn)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            fn();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            status = 1;
        }
        std::fflush(nullptr);
        ::_exit(status);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

} // namespace vmbench
