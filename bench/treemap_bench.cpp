// Benchmark of the treemap and the statistics below the windows, over the million-entry log the
// explore benchmark caches and over a comparison of two logs of compare_bench's shape:
//   - the treemap of the root: the size tree read from the file and laid out at 1280x900 with
//     frames and name bands, and the peak memory it takes per entry laid out;
//   - the statistics of the whole file in one walk;
//   - `vmlog report` on the file, as a process;
// each beside the peer measured in the same run: one plain walk of the file (TLogWalk over the
// log, WalkRecords over the comparison), the least any reader of the whole file pays.
//
// usage: treemap_bench [--entries N] [--runs N] [--cache DIR] [--dir DIR] [--keep]
//   --cache: where the explore benchmark's log is kept (build/bench-cache); --dir: where the two
//   logs and the comparison are written, under a fresh directory ($TMPDIR or /tmp), removed at
//   the end unless --keep. Other options (scripts/bench gives every benchmark the same
//   arguments) are ignored.
#include "BenchRun.h"
#include "BenchSupport.h"
#include "CompareBenchLogs.h"
#include "ExploreBenchLog.h"
#include "core/DirCompare.h"
#include "core/LogWalk.h"
#include "references/CompareRun.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/LogStatistics.h"
#include "treemap/TreemapLayout.h"
#include "treemap/TreemapTrees.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

const TCellRect kScreen{0, 0, 1280, 900};
const TFrameMetrics kFrames{1, 13, 40}; // a name band of one line of an ordinary font

struct TTreemapFigures
{
    double Read = 0, Layout = 0;
    size_t Entries = 0, LaidOut = 0;
};

// The root's treemap of a log or a comparison: its tree read in one walk, then laid out.
template <class Builder, class File> TTreemapFigures TreemapOnce(File& file)
{
    TTreemapFigures f;
    auto start = TClock::now();
    Builder builder(file, -1);
    while (builder.Step(1 << 16)) {
    }
    f.Read = Seconds(start);
    start = TClock::now();
    TTreemapLayout layout(builder.Tree(), 0, kScreen, kFrames);
    layout.Run();
    f.Layout = Seconds(start);
    f.Entries = builder.Tree().Count();
    f.LaidOut = layout.LaidOut();
    return f;
}

struct TSide
{
    std::vector<double> Walk, Read, Treemap, Statistics, Report;
    TTreemapFigures Last;
    long Baseline = 0, Peak = 0;
    double ReportBest = 0;
};

void Print(const char* what, const TSide& s)
{
    const double walk = Median(s.Walk);
    std::printf("%s: %zu entries in the tree, %zu laid out at 1280x900\n", what, s.Last.Entries,
                s.Last.LaidOut);
    std::printf("  peer  one plain walk of the file            %7.3f s\n", walk);
    std::printf("  treemap of the root: read the tree         %7.3f s\n", Median(s.Read));
    std::printf("  treemap of the root: read and laid out     %7.3f s  (goal 0.3 s)\n",
                Median(s.Treemap));
    std::printf("  statistics of the whole file, one walk     %7.3f s  (goal 1 s)\n",
                Median(s.Statistics));
    std::printf("  vmlog report FILE                          %7.3f s  (%.2f x the walk; goal 2)\n",
                Median(s.Report), Median(s.Report) / walk);
    if (s.Peak > 0 && s.Last.Entries > 0)
        std::printf("  peak memory of the treemap: %ld KiB above the %ld KiB of an empty process:"
                    " %.1f bytes an entry of the tree, %.1f bytes a rectangle laid out (goal 32)\n",
                    s.Peak - s.Baseline, s.Baseline,
                    double(s.Peak - s.Baseline) * 1024.0 / double(s.Last.Entries),
                    double(s.Peak - s.Baseline) * 1024.0 / double(s.Last.LaidOut));
}

} // namespace

int main(int argc, char** argv)
{
    int64_t entries = 1000000;
    std::string cache = SelfDirectory() + "/../bench-cache";
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--entries")
            entries = std::max<int64_t>(1000, std::atoll(argv[i + 1]));
        else if (a == "--cache")
            cache = argv[i + 1];
    }
    const char* tmp = std::getenv("TMPDIR");
    const TLogBenchOptions options = ParseLogBenchOptions(argc, argv, tmp && *tmp ? tmp : "/tmp");
    const int runs = options.Runs;
    const std::string vmlog = SelfDirectory() + "/../vmlog";

    const std::string log = ExploreBenchLog(cache, entries);
    const std::string dir = MakeBenchDirectory(options.Base, "treemap_bench");
    if (log.empty() || dir.empty())
        return 1;
    const std::string oldLog = dir + "/old.kdf", newLog = dir + "/new.kdf",
                      comparison = dir + "/cmp.kcf";
    if (InChild([&] {
            WriteLog(oldLog, options.Shape, false);
            WriteLog(newLog, options.Shape, true);
            TPosixFileSystem fs;
            CompareLogFiles(fs, oldLog, newLog, comparison);
        }) < 0) {
        std::fprintf(stderr, "treemap_bench: cannot write the logs in %s\n", dir.c_str());
        return 1;
    }
    const std::string cat = "cat '" + log + "' '" + comparison + "' > /dev/null";
    if (std::system(cat.c_str()) != 0) // both files in the page cache, as for every figure below
        return 1;

    TSide logSide, cmpSide;
    // Before any work here: a child starts with what this process holds.
    logSide.Baseline = cmpSide.Baseline = InChild([] {});
    logSide.Peak = InChild([&] {
        TFileStream stream(log, TFileMode::OpenRead);
        TDirStorage storage(stream);
        TreemapOnce<TLogTreeBuilder>(storage);
    });
    cmpSide.Peak = InChild([&] {
        TFileStream stream(comparison, TFileMode::OpenRead);
        TDirCompare file(stream);
        TreemapOnce<TComparisonTreeBuilder>(file);
    });

    for (int run = 0; run < runs; ++run) {
        {
            TFileStream stream(log, TFileMode::OpenRead);
            TDirStorage storage(stream);
            auto start = TClock::now();
            TLogWalk walk = TLogWalk::AllRecords(storage);
            TDirNode node;
            std::string name;
            while (walk.Next(node, name)) {
            }
            logSide.Walk.push_back(Seconds(start));
            logSide.Last = TreemapOnce<TLogTreeBuilder>(storage);
            logSide.Read.push_back(logSide.Last.Read);
            logSide.Treemap.push_back(logSide.Last.Read + logSide.Last.Layout);
            start = TClock::now();
            CollectLogStatistics(storage);
            logSide.Statistics.push_back(Seconds(start));
        }
        {
            TFileStream stream(comparison, TFileMode::OpenRead);
            TDirCompare file(stream);
            auto start = TClock::now();
            WalkRecords(file,
                        [](int32_t, const TCompareRecord&, const std::string&) { return true; });
            cmpSide.Walk.push_back(Seconds(start));
            cmpSide.Last = TreemapOnce<TComparisonTreeBuilder>(file);
            cmpSide.Read.push_back(cmpSide.Last.Read);
            cmpSide.Treemap.push_back(cmpSide.Last.Read + cmpSide.Last.Layout);
            start = TClock::now();
            CollectComparisonStatistics(file);
            cmpSide.Statistics.push_back(Seconds(start));
        }
        logSide.Report.push_back(RunChild({vmlog, "report", log}).Seconds);
        cmpSide.Report.push_back(RunChild({vmlog, "report", comparison}).Seconds);
    }

    std::printf("load average %s; medians of %d runs, files in the page cache\n",
                LoadAverage().c_str(), runs);
    std::printf("log %s, %lld bytes\n", log.c_str(),
                static_cast<long long>(std::filesystem::file_size(log)));
    Print("log", logSide);
    std::printf("comparison of two logs of compare_bench's shape, %lld bytes\n",
                static_cast<long long>(std::filesystem::file_size(comparison)));
    Print("comparison", cmpSide);

    if (options.Keep) {
        std::printf("files kept in %s\n", dir.c_str());
        return 0;
    }
    for (const std::string* p : {&oldLog, &newLog, &comparison})
        ::unlink(p->c_str());
    ::rmdir(dir.c_str());
    return 0;
}
