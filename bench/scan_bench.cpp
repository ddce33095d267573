// Scan benchmark: `vmlog scan --threads 1` and `vmlog scan` with its default threads (one per
// core) on a tree of about a million entries, beside `du -s` and `ncdu -x -o /dev/null` on the
// same tree in the same run (wall time and peak memory of each child, and the load of the machine
// before and after), then the log writer alone on a synthetic tree of ten million entries
// without a disk: the extended format beside the exact one (the peer), each in a process of its
// own for its peak memory. For the writer's goal (at least 10 million entries a second, under
// 64 MB) on 100 million entries: scan_bench --writer-only --writer-entries 100000000.
//
//   scan_bench [--entries N] [--cache DIR] [--runs N] [--writer-entries N]
//
// The tree is generated from a fixed seed into DIR (default: bench-cache/ in the build directory)
// and kept there: it is built again only when it is missing or was left half made.
#include "BenchOptions.h"
#include "BenchRun.h"
#include "BenchTree.h"
#include "core/LogWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using vmbench::LoadAverage;
using vmbench::Measure;
using vmbench::RunChild;
using vmbench::SelfDirectory;
using vmbench::TFigures;

// ours: the default scan, which every other line is compared with (median against median).
void PrintFigures(const char* name, const TFigures& f, const TFigures& ours)
{
    std::printf("  %-36s best %6.2f s  median %6.2f s  peak memory %7.1f MB  %s", name, f.Best,
                f.Median, f.MaxRssKb / 1024.0, f.Ok ? "" : "(FAILED) ");
    if (&f != &ours)
        std::printf(" default/this: time %.2f (best %.2f), memory %.2f", ours.Median / f.Median,
                    ours.Best / f.Best,
                    static_cast<double>(ours.MaxRssKb) / std::max(f.MaxRssKb, 1L));
    std::printf("\n");
}

void ScanBenchmark(const std::string& tree, const std::string& log, int runs)
{
    std::string vmlog = SelfDirectory() + "/../vmlog";
    std::vector<std::string> single = {vmlog,  "scan", "--threads", "1", "--unit",
                                       "4096", tree,   "-o",        log};
    std::vector<std::string> scan = {vmlog, "scan", "--unit", "4096", tree, "-o", log};
    std::vector<std::string> du = {"du", "-s", tree};
    std::vector<std::string> ncdu = {"ncdu", "-x", "-o", "/dev/null", tree};
    std::string loadBefore = LoadAverage();
    // Warm the caches: every tool then reads the same inodes and directories from memory.
    RunChild(du);
    RunChild(scan);
    TFigures ours = Measure(scan, runs);
    TFigures one = Measure(single, runs);
    TFigures duFigures = Measure(du, runs);
    TFigures ncduFigures = Measure(ncdu, runs);
    std::printf("scan of %s (%d runs each, warm cache, %u cores, load %s before, %s after):\n",
                tree.c_str(), runs, std::thread::hardware_concurrency(), loadBefore.c_str(),
                LoadAverage().c_str());
    PrintFigures("vmlog scan --unit 4096 (default)", ours, ours);
    PrintFigures("vmlog scan --threads 1 --unit 4096", one, ours);
    PrintFigures("du -s", duFigures, ours);
    PrintFigures("ncdu -x -o /dev/null", ncduFigures, ours);
    std::error_code ec;
    std::printf("  log size %.1f MB\n", std::filesystem::file_size(log, ec) / 1048576.0);
}

// A stream that keeps nothing: the writer alone, without the cost of a file.
class TDiscardStream : public vm::TStream
{
public:
    int64_t Read(void* buffer, int64_t n) override
    {
        std::memset(buffer, 0, static_cast<size_t>(n));
        return n;
    }
    int64_t ReadAt(int64_t, void* buffer, int64_t n) override { return Read(buffer, n); }
    void Write(const void*, int64_t n) override
    {
        pos_ += n;
        size_ = std::max(size_, pos_);
    }
    int64_t Seek(int64_t offset, vm::TSeekOrigin origin) override
    {
        pos_ = (origin == vm::TSeekOrigin::Begin ? 0
                : origin == vm::TSeekOrigin::End ? size_
                                                 : pos_) +
               offset;
        return pos_;
    }
    int64_t Size() override { return size_; }
    void SetSize(int64_t size) override { size_ = size; }

private:
    int64_t pos_ = 0, size_ = 0;
};

// Times the writer of the format on the synthetic tree in a child process; prints the figures.
void WriterBenchmark(int64_t entries, vm::TLogFormat format)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return;
    const auto start = std::chrono::steady_clock::now();
    const long peak = vmbench::InChild([&] {
        TDiscardStream stream;
        // The exact writer is given no limit here: its offsets wrap past 2 GiB, which costs
        // nothing and keeps its figures comparable.
        vm::TLogWriter writer = format == vm::TLogFormat::Extended
                                    ? vm::TLogWriter(stream, 45000.0, format)
                                    : vm::TLogWriter(stream, 45000.0, INT64_MAX);
        int64_t figures[2] = {vmbench::FeedSyntheticTree(writer, entries), 0};
        writer.Finish();
        figures[1] = stream.Size();
        if (::write(ends[1], figures, sizeof figures) != sizeof figures)
            throw std::runtime_error("pipe");
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int64_t figures[2] = {0, 0};
    const bool ok = peak >= 0 && ::read(ends[0], figures, sizeof figures) == sizeof figures;
    ::close(ends[0]);
    ::close(ends[1]);
    if (!ok) {
        std::printf("  %-8s writer FAILED\n", vm::LogFormatName(format));
        return;
    }
    std::printf("  %-8s %.2f s, %.2f million entries per second, %.0f MB of log, peak memory "
                "%.1f MB\n",
                vm::LogFormatName(format), seconds, figures[0] / seconds / 1e6,
                figures[1] / 1048576.0, peak / 1024.0);
    std::fflush(stdout); // before the next child copies what is buffered
}

} // namespace

int main(int argc, char** argv)
{
    const vmbench::TBenchArgs args = vmbench::BenchArgsOrExit(
        argc, argv, "scan_bench",
        "Times vmlog scan beside du and ncdu on a tree of about a million entries, then the log\n"
        "writer alone.",
        {{"--entries", "N", "entries in the tree (1,000,000)"},
         {"--runs", "N", "measure N times (5)"},
         {"--cache", "DIR", "keep the tree built once in DIR (build/bench-cache)"},
         {"--writer-entries", "N", "entries the log writer writes alone (10,000,000)"},
         {"--writer-only", nullptr, "time the log writer alone, without the tree and the scans"},
         {"--measure", nullptr, "measure at once (the benchmark runs itself again so)"}});
    const int64_t entries = args.Number("--entries", 1000000);
    const int64_t writerEntries = args.Number("--writer-entries", 10000000);
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 5)));
    const bool measuring = args.Has("--measure");
    const bool writerOnly = args.Has("--writer-only");
    const std::string cache = args.Text("--cache", vmbench::SelfDirectory() + "/../bench-cache");
    std::string tree = cache + "/tree-" + std::to_string(entries);
    if (!measuring && !writerOnly) {
        if (!vmbench::TreeIsComplete(tree)) {
            std::printf("building the benchmark tree in %s ...\n", tree.c_str());
            std::fflush(stdout);
            if (!vmbench::BuildTree(tree, entries, 20240601)) {
                std::fprintf(stderr, "scan_bench: cannot build the tree in %s\n", tree.c_str());
                return 1;
            }
        }
        // A child starts with the peak memory of the process it was started from; measuring
        // from a fresh process keeps the tree building's memory out of the children's figures.
        std::vector<char*> again(argv, argv + argc);
        again.push_back(const_cast<char*>("--measure"));
        again.push_back(nullptr);
        std::fflush(stdout);
        execv("/proc/self/exe", again.data());
        std::perror("scan_bench: exec");
        return 1;
    }
    if (!writerOnly)
        ScanBenchmark(tree, cache + "/bench.kdf", runs);
    std::printf("log writer alone, synthetic tree of %lld entries (no disk), each in a process of "
                "its own:\n",
                static_cast<long long>(writerEntries));
    std::fflush(stdout);
    WriterBenchmark(writerEntries, vm::TLogFormat::Extended);
    WriterBenchmark(writerEntries, vm::TLogFormat::Exact);
    return 0;
}
