// Benchmark of vmlog export over the million-entry log of the comparison benchmarks (a seeded
// synthetic tree, bench/CompareBenchLogs.h): CSV, one JSON array and JSON Lines, each as its own
// process writing its file, beside the peer `cat OUT > COPY` of the same output measured in the
// same run (the least that writing that many bytes costs). The goal is at least 1,000,000
// entries a second for CSV and JSON. The peak memory of each export is measured for the full log
// and for one of about a seventieth of its entries, to show that it does not grow with them.
// The files lie in /dev/shm where it can be written (a file system in memory, so that a shared
// disk's flushing of the 300 MB outputs does not decide the figures), else in $TMPDIR or /tmp.
//
// usage: export_bench [--entries N] [--runs N] [--dir DIR] [--log-format F] [--exports LIST]
// [--keep]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
// For an extended log of 30 million entries (past 2 GiB; its JSON Lines take some 9 GB):
//   export_bench --log-format extended --entries 30000000 --exports jsonl --runs 1 --dir DISK
#include "BenchSupport.h"
#include "CompareBenchLogs.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace vmbench;

namespace {

struct TRun
{
    double Seconds = -1;
    long PeakKiB = -1;
};

// Runs argv as a process with its stdout into the file out (none: inherited); the wall time and
// its peak memory.
TRun Run(const std::vector<std::string>& argv, const std::string& out = {})
{
    const auto start = TClock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        if (!out.empty()) {
            int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
                ::_exit(127);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    return {Seconds(start), usage.ru_maxrss};
}

int64_t FileSize(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    const TLogBenchOptions options = ParseLogBenchOptions(
        argc, argv, "export_bench",
        "Times vmlog export to CSV, JSON and JSON Lines beside cat of the "
        "same output.",
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm"
        : tmp && *tmp                   ? tmp
                                        : "/tmp",
        {{"--exports", "LIST", "the exports to time, of csv,json,jsonl (all)"}});
    std::vector<std::string> exports;
    {
        const std::string list = options.Args.Text("--exports", "csv,json,jsonl") + ",";
        for (size_t at = 0, comma; (comma = list.find(',', at)) != std::string::npos;
             at = comma + 1)
            if (comma > at)
                exports.push_back(list.substr(at, comma - at));
    }
    const TShape& shape = options.Shape;
    const int runs = options.Runs;
    const std::string dir = MakeBenchDirectory(options.Base, "export_bench");
    if (dir.empty())
        return 1;
    const std::string vmlog = SelfDirectory() + "/../vmlog";
    const std::string log = dir + "/log.kdf", small = dir + "/small.kdf";
    const TShape smallShape = SmallShape(shape);
    int64_t entries = 0, smallEntries = 0;
    // Written in a child so that nothing of it stays in this process.
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return 1;
    const long made = InChild([&] {
        int64_t counts[2] = {WriteLog(log, shape, false, options.Format),
                             WriteLog(small, smallShape, false, options.Format)};
        if (::write(pipeEnds[1], counts, sizeof counts) != sizeof counts)
            throw std::runtime_error("pipe");
    });
    int64_t counts[2] = {0, 0};
    if (made < 0 || ::read(pipeEnds[0], counts, sizeof counts) != sizeof counts) {
        std::fprintf(stderr, "export_bench: cannot write the logs in %s\n", dir.c_str());
        return 1;
    }
    entries = counts[0];
    smallEntries = counts[1];
    std::printf("%s log of %lld entries (%.1f MB); a small one of %lld entries\n",
                LogFormatName(options.Format), static_cast<long long>(entries), FileSize(log) / 1e6,
                static_cast<long long>(smallEntries));

    int status = 0;
    for (const std::string& name : exports) {
        const char* format = name.c_str();
        const std::string out = dir + "/out." + format, copy = dir + "/copy." + format;
        std::vector<double> ours, peer;
        long peak = 0;
        for (int r = 0; r < runs; ++r) {
            TRun run = Run({vmlog, "export", log, "--format", format, "-o", out});
            TRun cat = Run({"/bin/cat", out}, copy);
            if (run.Seconds < 0 || cat.Seconds < 0) {
                std::fprintf(stderr, "export_bench: the %s export failed\n", format);
                status = 1;
                break;
            }
            ours.push_back(run.Seconds);
            peer.push_back(cat.Seconds);
            peak = std::max(peak, run.PeakKiB);
        }
        if (ours.empty())
            continue;
        const TRun smallRun = Run({vmlog, "export", small, "--format", format, "-o", out + "-s"});
        const double median = Median(ours);
        std::printf("vmlog export --format %-5s median %.3f s, best %.3f s of %d: %.2f million "
                    "entries/s (goal: at least 1; 1.5 for jsonl); output %.1f MB; peak memory %ld "
                    "KiB (%ld KiB "
                    "for the small log)\n",
                    format, median, *std::min_element(ours.begin(), ours.end()), runs,
                    static_cast<double>(entries) / median / 1e6, FileSize(out) / 1e6, peak,
                    smallRun.PeakKiB);
        std::printf("  peer cat OUT > COPY:      median %.3f s, best %.3f s; ratio export / peer "
                    "%.1f\n",
                    Median(peer), *std::min_element(peer.begin(), peer.end()),
                    median / Median(peer));
        ::unlink(copy.c_str());
        ::unlink((out + "-s").c_str());
    }
    if (options.Keep)
        std::printf("files kept in %s\n", dir.c_str());
    else
        std::filesystem::remove_all(dir);
    return status;
}
