// Running the programs a benchmark measures: each as a child process with its output thrown
// away, timed on the wall clock with its peak memory, several runs summed up as best and median;
// and the machine's load to print beside the figures. Header only: every .cpp file in bench/ is
// a benchmark program of its own.
#pragma once

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vmbench {

struct TRun
{
    double Seconds = 0;
    double CpuSeconds = 0; // user and system time of the child
    long MaxRssKb = 0;
    int Status = -1;
};

// Runs argv with its output (and progress) thrown away; wall time and the child's peak resident
// memory.
inline TRun RunChild(const std::vector<std::string>& argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    TRun run;
    TClock::time_point start = TClock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        int status = 0;
        struct rusage usage = {};
        while (wait4(pid, &status, 0, &usage) < 0) {
        }
        run.Seconds = Seconds(start);
        run.MaxRssKb = usage.ru_maxrss;
        run.CpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The best of runs (the least disturbed by the other work on the machine), and the median.
struct TFigures
{
    double Best = 0, Median = 0;
    long MaxRssKb = 0;
    bool Ok = true;
};

inline TFigures Measure(const std::vector<std::string>& argv, int runs)
{
    std::vector<double> times;
    TFigures f;
    for (int i = 0; i < runs; ++i) {
        TRun r = RunChild(argv);
        f.Ok = f.Ok && r.Status == 0;
        times.push_back(r.Seconds);
        f.MaxRssKb = std::max(f.MaxRssKb, r.MaxRssKb);
    }
    f.Best = *std::min_element(times.begin(), times.end());
    f.Median = Median(times);
    return f;
}

// "0.52 0.61 0.70": the load averages over 1, 5 and 15 minutes.
inline std::string LoadAverage()
{
    char text[128] = {};
    std::FILE* f = std::fopen("/proc/loadavg", "r");
    if (!f)
        return "unknown";
    if (!std::fgets(text, sizeof text, f))
        text[0] = 0;
    std::fclose(f);
    std::string s(text);
    size_t end = 0;
    for (int fields = 0; fields < 3 && end != std::string::npos; ++fields)
        end = s.find(' ', end + 1);
    return s.substr(0, end);
}

} // namespace vmbench
