// Scan benchmark: `vmlog scan --threads 1` and `vmlog scan` with its default threads (one per
// core) on a tree of about a million entries, beside `du -s` and `ncdu -x -o /dev/null` on the
// same tree in the same run (wall time and peak memory of each child, and the load of the machine
// before and after), then the log writer alone on a synthetic tree of ten million entries
// without a disk.
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

void WriterBenchmark(int64_t entries)
{
    TDiscardStream stream;
    vm::TLogWriter writer(stream, 45000.0, INT64_MAX);
    auto start = std::chrono::steady_clock::now();
    int64_t written = vmbench::FeedSyntheticTree(writer, entries);
    writer.Finish();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("log writer alone, synthetic tree of %lld entries (no disk, no offset limit):\n"
                "  %.2f s, %.2f million entries per second, %.0f MB of log, peak memory %.1f MB\n",
                static_cast<long long>(written), seconds, written / seconds / 1e6,
                stream.Size() / 1048576.0, usage.ru_maxrss / 1024.0);
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
         {"--measure", nullptr, "measure at once (the benchmark runs itself again so)"}});
    const int64_t entries = args.Number("--entries", 1000000);
    const int64_t writerEntries = args.Number("--writer-entries", 10000000);
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 5)));
    const bool measuring = args.Has("--measure");
    const std::string cache = args.Text("--cache", vmbench::SelfDirectory() + "/../bench-cache");
    std::string tree = cache + "/tree-" + std::to_string(entries);
    if (!measuring) {
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
    ScanBenchmark(tree, cache + "/bench.kdf", runs);
    WriterBenchmark(writerEntries);
    return 0;
}
