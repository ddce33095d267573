// Benchmark of the compare window's model over the comparison of two logs of about 1,000,000
// entries each (the logs of compare_bench: a seeded synthetic tree and a mutated copy): the tree
// built from the comparison's directory chain, the all files view of the root (the time to its
// first rows, and the whole fill with every row's tag set read from the new log, as the tag
// images need them), the first screen of rows painted through the list's table (which reads
// what it shows from the comparison), sorting every row by space now and by name (keys read
// from the comparison too), and the peak memory of all of it. Beside them, in the same run and on
// the same files: `cat CMP > /dev/null` and one WalkRecords pass over the comparison, the least any
// reader of the whole file must pay.
//
// The logs and the comparison are written once into bench-cache/ of the build directory and kept
// there for later runs.
//
// With --format extended both logs, and so the comparison, take the extended format, which a
// comparison past 2 GiB needs.
//
// usage: compare_window_bench [--entries N] [--runs N] [--cache DIR] [--format exact|extended]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchSupport.h"
#include "CompareBenchLogs.h"
#include "compare/CompareFill.h"
#include "compare/CompareRules.h"
#include "compare/CompareSort.h"
#include "compare/CompareTree.h"
#include "core/LogFile.h"
#include "references/CompareRun.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

struct TFigures
{
    double Tree = 0, FirstRows = 0, Fill = 0, Paint = 0, SortBySpace = 0, SortByName = 0;
    int Directories = 0, Rows = 0, Tagged = 0;
    size_t Painted = 0; // the characters painted
    size_t StoreBytes = 0;
};

TFigures CompareWindowOnce(const std::string& comparison, const std::string& newLogPath, bool sorts)
{
    TFigures f;
    TFileStream stream(comparison, TFileMode::OpenRead);
    TDirCompare file(stream);

    auto start = TClock::now();
    TDirTree tree("Log 1 with log 2");
    TCompareTreeBuilder builder(file, tree);
    while (builder.Step(4096)) {
    }
    f.Tree = Seconds(start);
    f.Directories = tree.Count() - 1;

    // The window's fill: the comparison and the new log opened once, each row's tag set read in
    // the same pass.
    start = TClock::now();
    TLogFile newLog(newLogPath, false);
    TCompareRowStore store;
    TCompareFillRequest request;
    request.View = TView::AllFiles;
    TCompareFill fill(file, store, request, &newLog.Log());
    // The window shows what one step of its fill gives; a screen holds about 40 rows.
    while (store.Count() < 40 && fill.Step(256)) {
    }
    f.FirstRows = Seconds(start);
    while (fill.Step(4096)) {
    }
    // The image beside each row as the tags view paints it.
    for (int i = 0; i < store.Count(); ++i)
        f.Tagged += RowStateOf(store.Row(i), true, true).Image >= 0;
    f.Fill = Seconds(start);
    f.Rows = store.Count();

    // The first screen as the view paints it: every column of 40 rows, read from the comparison.
    TLocale locale = TLocale::Classic();
    // Through a reader of its own with a small buffer, as the window reads for painting.
    TFileStream paintingStream(comparison, TFileMode::OpenRead, kPaintingReadBuffer);
    TDirCompare painting(paintingStream);
    TCompareListTable table(store, tree, locale, [](const std::string& e) { return e + " File"; });
    table.SetComparison(&painting);
    start = TClock::now();
    for (int i = 0; i < std::min(40, store.Count()); ++i)
        for (int c = 0; c < table.ColumnCount(); ++c)
            f.Painted += table.Text(i, c).size();
    f.Paint = Seconds(start);
    f.StoreBytes = store.MemoryBytes();
    if (!sorts)
        return f;
    // As the window sorts a list it has just filled (the file's order), then by another column.
    start = TClock::now();
    SortCompareRows(store, table, CompareSortKeyOf("File name"), true);
    f.SortByName = Seconds(start);
    start = TClock::now();
    SortCompareRows(store, table, CompareSortKeyOf("Space now"), false);
    f.SortBySpace = Seconds(start);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    TShape shape;
    const TBenchArgs args = BenchArgsOrExit(
        argc, argv, "compare_window_bench",
        "Times the compare window's tree and all files view over the comparison of two logs of\n"
        "about a million entries.",
        {{"--entries", "N", "about N entries in the log (1,000,000; at least 40000)"},
         {"--runs", "N", "measure N times (3)"},
         {"--cache", "DIR", "keep the files written once in DIR (build/bench-cache)"},
         {"--format", "F", "exact (the default) or extended, the logs' format"}});
    const int64_t entries = std::max<int64_t>(40000, args.Number("--entries", 1000000));
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 3)));
    const std::string cache = args.Text("--cache", SelfDirectory() + "/../bench-cache");
    const std::optional<TLogFormat> format = LogFormatOfName(args.Text("--format", "exact"));
    if (!format) {
        std::fprintf(stderr, "compare_window_bench: --format is exact or extended\n");
        return 2;
    }
    shape.FilesPerDir = std::max(1, static_cast<int>(entries / 37449) - 1); // as compare_bench
    std::filesystem::create_directories(cache);
    const std::string base = cache + "/compare-window-" + std::to_string(entries) +
                             (*format == TLogFormat::Extended ? "-extended" : "");
    const std::string oldLog = base + "-old.kdf", newLog = base + "-new.kdf",
                      comparison = base + ".kcf";
    if (!std::filesystem::exists(comparison)) {
        std::fprintf(stderr, "compare_window_bench: writing the logs and their comparison once\n");
        // In a child, so that this process stays small for the memory figures below.
        if (InChild([&] {
                WriteLog(oldLog, shape, false, *format);
                WriteLog(newLog, shape, true, *format);
                TPosixFileSystem fs;
                CompareLogFiles(fs, oldLog, newLog, comparison); // complete or not at all
            }) < 0)
            return 1;
    }
    const std::string cat = "cat '" + comparison + "' '" + newLog + "' > /dev/null";
    if (std::system(cat.c_str()) != 0) // the files in the page cache, as for every figure below
        return 1;
    const std::string catComparison = "cat '" + comparison + "' > /dev/null";

    // Before any work here: a child starts with what this process holds.
    const long baseline = InChild([] {});
    const long peak = InChild([&] { CompareWindowOnce(comparison, newLog, false); });
    const long sortPeak = InChild([&] { CompareWindowOnce(comparison, newLog, true); });

    std::vector<double> catTimes, walkTimes, tree, first, fill, paint, bySpace, byName;
    TFigures f;
    int records = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = TClock::now();
        if (std::system(catComparison.c_str()) != 0)
            return 1;
        catTimes.push_back(Seconds(start));

        start = TClock::now();
        {
            TFileStream stream(comparison, TFileMode::OpenRead);
            TDirCompare file(stream);
            records = 0;
            WalkRecords(file, [&records](int32_t, const TCompareRecord&, const std::string&) {
                ++records;
                return true;
            });
        }
        walkTimes.push_back(Seconds(start));

        f = CompareWindowOnce(comparison, newLog, true);
        tree.push_back(f.Tree);
        first.push_back(f.FirstRows);
        fill.push_back(f.Fill);
        paint.push_back(f.Paint);
        bySpace.push_back(f.SortBySpace);
        byName.push_back(f.SortByName);
    }
    std::printf("comparison: %s, %lld bytes, %d records, %d directories, %d file rows in the all "
                "files view of the root\n",
                comparison.c_str(), static_cast<long long>(std::filesystem::file_size(comparison)),
                records, f.Directories, f.Rows);
    std::printf("medians of %d runs, files in the page cache:\n", runs);
    std::printf("  peer  cat CMP > /dev/null                    %7.3f s\n", Median(catTimes));
    std::printf("  peer  one WalkRecords pass                   %7.3f s\n", Median(walkTimes));
    std::printf("  tree from the directory chain               %7.3f s\n", Median(tree));
    std::printf("  all files view: first rows                  %7.4f s\n", Median(first));
    std::printf("  all files view: every row with its tags     %7.3f s\n", Median(fill));
    std::printf("  first 40 rows painted, every column         %7.4f s\n", Median(paint));
    std::printf("  sort every row by name (after the fill)     %7.3f s\n", Median(byName));
    std::printf("  then sort every row by space now            %7.3f s\n", Median(bySpace));
    if (peak > 0 && f.Rows > 0)
        std::printf("peak memory of tree and fill: %ld KiB (%.0f bytes a row above the %ld KiB of "
                    "an empty process; the rows' store holds %.0f bytes a row)\n",
                    peak, (peak - baseline) * 1024.0 / f.Rows, baseline,
                    double(f.StoreBytes) / f.Rows);
    if (sortPeak > 0 && f.Rows > 0)
        std::printf("peak memory with the sorts: %ld KiB (%.0f bytes a row; a sort holds a key and "
                    "a position per row and the new order beside the rows)\n",
                    sortPeak, (sortPeak - baseline) * 1024.0 / f.Rows);
    return 0;
}
