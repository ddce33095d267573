// Benchmark of `vmlog compare` over two logs of about 1,000,000 entries each (a seeded synthetic
// tree and a mutated copy, written through the log writer into files, in the exact format or with
// --log-format extended in the extended one), beside a peer measured in the same run on the same
// files: "cat OLD NEW > /dev/null; cat CMP > COPY; sync COPY", which reads both logs and writes
// and syncs a file as large as the comparison (vmlog syncs the comparison before it names it).
// The peak memory of vmlog compare is measured for the full tree and for one a tenth of its size,
// to show that it does not grow with the number of entries. For logs past 2 GiB:
//   compare_bench --log-format extended --entries 30000000 --runs 3 --dir /a/disk/with/room
//
// usage: compare_bench [--entries N] [--runs N] [--dir DIR] [--keep]
//   --entries: about how many entries each log holds (1,000,000); --runs: how many times each
//   side is timed (5); --dir: where the files go ($TMPDIR or /tmp); --keep leaves them there.
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchRun.h"
#include "BenchSupport.h"
#include "CompareBenchLogs.h"
#include "references/CompareRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

int64_t FileSize(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

struct TFiles
{
    std::string Old, New, Comparison, Copy;
    int64_t OldEntries = 0, NewEntries = 0;
};

// Writes the two logs in a child so that the parent, whose children are measured, stays small.
bool MakeLogs(TFiles& files, const TShape& shape, TLogFormat format)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return false;
    long rss = InChild([&] {
        int64_t counts[2] = {WriteLog(files.Old, shape, false, format),
                             WriteLog(files.New, shape, true, format)};
        if (::write(pipeEnds[1], counts, sizeof counts) != sizeof counts)
            throw std::runtime_error("pipe");
    });
    int64_t counts[2] = {0, 0};
    bool ok = rss >= 0 && ::read(pipeEnds[0], counts, sizeof counts) == sizeof counts;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    files.OldEntries = counts[0];
    files.NewEntries = counts[1];
    return ok;
}

TFiles FilesIn(const std::string& dir, const std::string& tag)
{
    return {dir + "/old" + tag + ".kdf", dir + "/new" + tag + ".kdf", dir + "/cmp" + tag + ".kcf",
            dir + "/copy" + tag + ".kcf"};
}

} // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    const TLogBenchOptions options =
        ParseLogBenchOptions(argc, argv, "compare_bench",
                             "Times the comparison of two logs of about a million entries beside "
                             "cat of the same files.",
                             tmp && *tmp ? tmp : "/tmp");
    const TShape& shape = options.Shape;
    const int runs = options.Runs;
    const std::string dir = MakeBenchDirectory(options.Base, "compare_bench");
    if (dir.empty())
        return 1;

    TFiles big = FilesIn(dir, ""), small = FilesIn(dir, "-small");
    const TShape smallShape = SmallShape(shape);
    if (!MakeLogs(big, shape, options.Format) || !MakeLogs(small, smallShape, options.Format)) {
        std::fprintf(stderr, "compare_bench: cannot write the logs in %s\n", dir.c_str());
        return 1;
    }

    const std::string vmlog = SelfDirectory() + "/../vmlog";
    std::vector<double> ours, peer;
    long peakBig = 0;
    const std::string peerCommand = "cat '" + big.Old + "' '" + big.New + "' > /dev/null && cat '" +
                                    big.Comparison + "' > '" + big.Copy + "' && sync '" + big.Copy +
                                    "'";
    for (int run = 0; run < runs; ++run) {
        const TRun compare = RunChild({vmlog, "compare", big.Old, big.New, "-o", big.Comparison});
        if (compare.Status != 0)
            std::fprintf(stderr, "compare_bench: vmlog compare failed (%d)\n", compare.Status);
        ours.push_back(compare.Seconds);
        peakBig = std::max(peakBig, compare.MaxRssKb);
        auto start = std::chrono::steady_clock::now();
        if (std::system(peerCommand.c_str()) != 0)
            std::fprintf(stderr, "compare_bench: the peer command failed\n");
        peer.push_back(Seconds(start));
    }
    const long peakSmall =
        RunChild({vmlog, "compare", small.Old, small.New, "-o", small.Comparison}).MaxRssKb;

    std::printf("tree: old log %lld entries (%lld bytes), new log %lld entries (%lld bytes)\n",
                static_cast<long long>(big.OldEntries), static_cast<long long>(FileSize(big.Old)),
                static_cast<long long>(big.NewEntries), static_cast<long long>(FileSize(big.New)));
    std::printf("comparison: %lld bytes\n", static_cast<long long>(FileSize(big.Comparison)));
    std::printf("logs in the %s format\n", LogFormatName(options.Format));
    std::printf("vmlog compare: median %.3f s, best %.3f s of %d\n", Median(ours),
                *std::min_element(ours.begin(), ours.end()), runs);
    std::printf("peer (%s): median %.3f s, best %.3f s\n",
                "cat OLD NEW > /dev/null; cat CMP > COPY; sync COPY", Median(peer),
                *std::min_element(peer.begin(), peer.end()));
    std::printf("ratio compare / peer (medians): %.2f\n", Median(ours) / Median(peer));
    std::printf("peak memory of vmlog compare: %ld KiB at %lld entries, %ld KiB at %lld entries\n",
                peakBig, static_cast<long long>(big.OldEntries), peakSmall,
                static_cast<long long>(small.OldEntries));

    if (options.Keep) {
        std::printf("files kept in %s\n", dir.c_str());
        return 0;
    }
    for (const TFiles* f : {&big, &small})
        for (const std::string* p : {&f->Old, &f->New, &f->Comparison, &f->Copy})
            ::unlink(p->c_str());
    ::rmdir(dir.c_str());
    return 0;
}
