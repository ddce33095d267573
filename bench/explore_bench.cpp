// Benchmark of the explore window's model over a log of about 1,000,000 entries: the directory
// tree built from the directory chain, the all files view of the root (the time to its first
// rows and the whole fill), sorting every row by name and by size, and the peak memory of all of
// it. Beside them, in the same run and on the same file: `cat LOG > /dev/null` and a plain
// TLogWalk::AllRecords walk, the least any reader of the whole log must pay. With
// --format extended the log records owners (a few dozen), and sorting by owner is timed too.
//
// The log is written once from a seeded synthetic tree into bench-cache/ of the build directory
// and kept there for later runs.
//
// usage: explore_bench [--entries N] [--runs N] [--cache DIR] [--format exact|extended]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchOptions.h"
#include "BenchSupport.h"
#include "ExploreBenchLog.h"
#include "core/LogWalk.h"
#include "explore/FileListTable.h"
#include "explore/FileSort.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

struct TFigures
{
    double Tree = 0, FirstRows = 0, Fill = 0, SortName = 0, SortSize = 0, SortOwner = 0;
    int Directories = 0, Rows = 0;
};

TFigures ExploreOnce(const std::string& path)
{
    TFigures f;
    TFileStream stream(path, TFileMode::OpenRead);
    TDirStorage log(stream);

    auto start = TClock::now();
    TDirTree tree("Log 1");
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(4096)) {
    }
    f.Tree = Seconds(start);
    f.Directories = tree.Count() - 1;

    TFileListStore store;
    const TLocale locale = TLocale::Classic();
    TFileListTable table(store, tree, locale,
                         [](const std::string& extension) { return extension + " File"; });
    table.SetOptions({true, TDateType::Modified, false, log.HasOwners()});
    table.SetLog(&log);
    TFillRequest request;
    request.View = TView::AllFiles;
    request.RootHeading = "Log 1";
    start = TClock::now();
    TListFill fill(log, tree, store, request);
    // The window shows what one step of its fill gives; a screen holds about 40 rows.
    while (store.Count() < 40 && fill.Step(256)) {
    }
    f.FirstRows = Seconds(start);
    while (fill.Step(4096)) {
    }
    f.Fill = Seconds(start);
    f.Rows = store.Count();

    start = TClock::now();
    SortRows(store, table, -5);
    f.SortName = Seconds(start);
    start = TClock::now();
    SortRows(store, table, 6);
    f.SortSize = Seconds(start);
    if (log.HasOwners()) {
        start = TClock::now();
        SortRows(store, table, SortCodeOf("Owner"));
        f.SortOwner = Seconds(start);
    }
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    const TBenchArgs args = BenchArgsOrExit(
        argc, argv, "explore_bench",
        "Times the explore window's tree, all files view and sorts over a log of about a\n"
        "million entries.",
        {{"--entries", "N", "about N entries in the log (1,000,000; at least 1000)"},
         {"--runs", "N", "measure N times (3)"},
         {"--cache", "DIR", "keep the files written once in DIR (build/bench-cache)"},
         {"--format", "F", "exact (the default) or extended, whose log records owners"}});
    const int64_t entries = std::max<int64_t>(1000, args.Number("--entries", 1000000));
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 3)));
    const std::string cache = args.Text("--cache", SelfDirectory() + "/../bench-cache");
    std::filesystem::create_directories(cache);
    const std::optional<TLogFormat> format = LogFormatOfName(args.Text("--format", "exact"));
    if (!format) {
        std::fprintf(stderr, "explore_bench: --format is exact or extended\n");
        return 2;
    }
    const std::string log = ExploreBenchLog(cache, entries, *format);
    if (log.empty())
        return 1;
    const std::string cat = "cat '" + log + "' > /dev/null";
    if (std::system(cat.c_str()) != 0) // the log in the page cache, as for every figure below
        return 1;

    // Before any work here: a child starts with what this process holds.
    const long baseline = InChild([] {});
    const long peak = InChild([&] { ExploreOnce(log); });

    std::vector<double> catTimes, walkTimes, tree, first, fill, sortName, sortSize, sortOwner;
    TFigures f;
    for (int run = 0; run < runs; ++run) {
        auto start = TClock::now();
        if (std::system(cat.c_str()) != 0)
            return 1;
        catTimes.push_back(Seconds(start));

        start = TClock::now();
        {
            TFileStream stream(log, TFileMode::OpenRead);
            TDirStorage storage(stream);
            TLogWalk walk = TLogWalk::AllRecords(storage);
            TDirNode node;
            std::string name;
            while (walk.Next(node, name)) {
            }
        }
        walkTimes.push_back(Seconds(start));

        f = ExploreOnce(log);
        tree.push_back(f.Tree);
        first.push_back(f.FirstRows);
        fill.push_back(f.Fill);
        sortName.push_back(f.SortName);
        sortSize.push_back(f.SortSize);
        sortOwner.push_back(f.SortOwner);
    }
    std::printf("log: %s, %lld bytes, %d directories, %d file rows in the all files view\n",
                log.c_str(), static_cast<long long>(std::filesystem::file_size(log)), f.Directories,
                f.Rows);
    std::printf("medians of %d runs, log in the page cache:\n", runs);
    std::printf("  peer  cat LOG > /dev/null               %7.3f s\n", Median(catTimes));
    std::printf("  peer  TLogWalk::AllRecords walk         %7.3f s\n", Median(walkTimes));
    std::printf("  tree from the directory chain          %7.3f s\n", Median(tree));
    std::printf("  all files view: first rows             %7.4f s\n", Median(first));
    std::printf("  all files view: every row              %7.3f s\n", Median(fill));
    std::printf("  sort by name                           %7.3f s\n", Median(sortName));
    std::printf("  sort by size                           %7.3f s\n", Median(sortSize));
    if (*format == TLogFormat::Extended)
        std::printf("  sort by owner                          %7.3f s\n", Median(sortOwner));
    if (peak > 0 && f.Rows > 0)
        std::printf("peak memory of tree, fill and sorts: %ld KiB (%.0f bytes a row above the "
                    "%ld KiB of an empty process)\n",
                    peak, (peak - baseline) * 1024.0 / f.Rows, baseline);
    return 0;
}
