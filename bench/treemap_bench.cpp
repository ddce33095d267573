// Benchmark of the treemap and the statistics below the windows, over the million-entry log the
// explore benchmark caches and over a comparison of two logs of compare_bench's shape:
//   - the treemap of the root: the size tree read from the file and laid out at 1280x900 with
//     frames and name bands, and the peak memory it takes per entry laid out;
//   - the treemap painted at 1280x900 into an image, as the treemap view paints it (where the
//     windows are built), and for scale the same rectangles filled one by one by QPainter;
//   - the statistics of the whole file in one walk;
//   - `vmlog report` on the file, as a process;
// each beside the peer measured in the same run: one plain walk of the file (TLogWalk over the
// log, WalkRecords over the comparison), the least any reader of the whole file pays. Each figure
// is wall-clock time, with the processor time beside it (what the work costs when other work on
// the machine takes turns with it).
//
// usage: treemap_bench [--entries N] [--runs N] [--cache DIR] [--dir DIR] [--keep] (--help)
#include "BenchOptions.h"
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
#ifdef VOLUMARK_BENCH_PAINT
#include "treemapview/QtTreemapPaint.h"
#include "treemapview/TreemapSource.h"

#include <QGuiApplication>
#include <QImage>
#endif

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

const TCellRect kScreen{0, 0, 1280, 900};
const TFrameMetrics kFrames{1, 13, 40}; // a name band of one line of an ordinary font

// Wall-clock and processor time.
struct TTime
{
    double Wall = 0, Cpu = 0;
};

double CpuNow()
{
    timespec t = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <class F> TTime Timed(F&& work)
{
    const auto wall = TClock::now();
    const double cpu = CpuNow();
    work();
    return {Seconds(wall), CpuNow() - cpu};
}

struct TTreemapFigures
{
    TTime Read, Layout, Paint, Fill;
    size_t Entries = 0, LaidOut = 0;
};

#ifdef VOLUMARK_BENCH_PAINT
template <class Builder> struct TSourceOf;
template <> struct TSourceOf<TLogTreeBuilder>
{
    using Type = TLogTreemapSource;
};
template <> struct TSourceOf<TComparisonTreeBuilder>
{
    using Type = TComparisonTreemapSource;
};

// The laid out map painted as the view paints it, and its rectangles filled and nothing else
// (apart from TreemapOnce, whose peak memory is the tree's alone).
template <class Builder, class File> void PaintOnce(File& file, TTreemapFigures& f)
{
    typename TSourceOf<Builder>::Type source(file, "root");
    const QFont font = QGuiApplication::font();
    auto work = source.MakeWork(-1, kScreen, TreemapFrameMetrics(font));
    while (work->Step(1 << 16)) {
    }
    QImage image(kScreen.W, kScreen.H, QImage::Format_RGB32);
    f.Paint = Timed([&] {
        QPainter painter(&image);
        PaintTreemap(painter, *work, source, font);
    });
    f.Fill = Timed([&] {
        QPainter painter(&image);
        const TTreemapLayout& layout = *work->Layout();
        const QColor colour(0x80, 0x80, 0x80);
        for (TNodeIndex n = layout.Root(); n < work->Tree().Count(); n = layout.NextShown(n)) {
            const TCellRect& r = layout.Rect(n);
            painter.fillRect(r.X, r.Y, r.W, r.H, colour);
        }
    });
}
#endif

// The root's treemap of a log or a comparison: its tree read in one walk, then laid out.
template <class Builder, class File> TTreemapFigures TreemapOnce(File& file)
{
    TTreemapFigures f;
    Builder builder(file, -1);
    f.Read = Timed([&] {
        while (builder.Step(1 << 16)) {
        }
    });
    TTreemapLayout layout(builder.Tree(), 0, kScreen, kFrames);
    f.Layout = Timed([&] { layout.Run(); });
    f.Entries = builder.Tree().Count();
    f.LaidOut = layout.LaidOut();
    return f;
}

// Each figure's runs, wall-clock and processor time apart.
struct TTimes
{
    std::vector<double> Wall, Cpu;
    void Add(TTime t)
    {
        Wall.push_back(t.Wall);
        Cpu.push_back(t.Cpu);
    }
    TTime Median() const { return {vmbench::Median(Wall), vmbench::Median(Cpu)}; }
};

struct TSide
{
    TTimes Walk, Read, Treemap, Paint, Fill, Statistics, Report;
    TTreemapFigures Last;
    long Baseline = 0, Peak = 0;
};

void Line(const char* what, const TTimes& times, const TTime& walk, const char* goal)
{
    const TTime t = times.Median();
    std::printf("  %-40s %7.3f s (cpu %.3f s)  %.2f x the walk (cpu %.2f)%s\n", what, t.Wall, t.Cpu,
                t.Wall / walk.Wall, t.Cpu / walk.Cpu, goal);
}

void Print(const char* what, const TSide& s)
{
    const TTime walk = s.Walk.Median();
    std::printf("%s: %zu entries in the tree, %zu laid out at 1280x900\n", what, s.Last.Entries,
                s.Last.LaidOut);
    std::printf("  %-40s %7.3f s (cpu %.3f s)\n", "peer  one plain walk of the file", walk.Wall,
                walk.Cpu);
    Line("treemap of the root: read the tree", s.Read, walk, "");
    Line("treemap of the root: read and laid out", s.Treemap, walk, "; goal 0.3 s");
#ifdef VOLUMARK_BENCH_PAINT
    const TTime paint = s.Paint.Median(), fill = s.Fill.Median();
    std::printf("  %-40s %7.3f s (cpu %.3f s)  %.2f x the walk (cpu %.2f); goal 0.1 s\n",
                "treemap painted at 1280x900", paint.Wall, paint.Cpu, paint.Wall / walk.Wall,
                paint.Cpu / walk.Cpu);
    std::printf("  %-40s %7.3f s (cpu %.3f s)\n", "  (its rectangles by QPainter, one call each)",
                fill.Wall, fill.Cpu);
#else
    std::printf("  (painting not measured: built without the windows)\n");
#endif
    Line("statistics of the whole file, one walk", s.Statistics, walk, "; goal 1 s");
    Line("vmlog report FILE", s.Report, walk, "; goal 2 x the walk");
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
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    const TBenchArgs args = BenchArgsOrExit(
        argc, argv, "treemap_bench",
        "Times the treemap of the root, the statistics and vmlog report over a log of about a\n"
        "million entries and over a comparison of two such logs, beside one plain walk of each.",
        {{"--entries", "N", "about N entries in each tree (1,000,000; at least 1000)"},
         {"--runs", "N", "measure N times (5)"},
         {"--cache", "DIR", "where the explore benchmark keeps its log (build/bench-cache)"},
         {"--dir", "DIR",
          "write the comparison's logs in a fresh directory under DIR (" + base + ")"},
         {"--keep", nullptr, "leave the comparison and its logs behind"}});
#ifdef VOLUMARK_BENCH_PAINT
    // Painting into an image needs fonts, not a display (made once the arguments are read, so
    // that --help and --version say nothing else).
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
#endif
    const int64_t entries = std::max<int64_t>(1000, args.Number("--entries", 1000000));
    const std::string cache = args.Text("--cache", SelfDirectory() + "/../bench-cache");
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 5)));
    TShape shape; // 37449 directories share the entries, as in compare_bench
    shape.FilesPerDir = std::max(1, static_cast<int>(entries / 37449) - 1);
    const std::string dirBase = args.Text("--dir", base);
    const bool keep = args.Has("--keep");
    const std::string vmlog = SelfDirectory() + "/../vmlog";

    const std::string log = ExploreBenchLog(cache, entries);
    const std::string dir = MakeBenchDirectory(dirBase, "treemap_bench");
    if (log.empty() || dir.empty())
        return 1;
    const std::string oldLog = dir + "/old.kdf", newLog = dir + "/new.kdf",
                      comparison = dir + "/cmp.kcf";
    if (InChild([&] {
            WriteLog(oldLog, shape, false);
            WriteLog(newLog, shape, true);
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
            logSide.Walk.Add(Timed([&] {
                TLogWalk walk = TLogWalk::AllRecords(storage);
                TDirNode node;
                std::string name;
                while (walk.Next(node, name)) {
                }
            }));
            logSide.Last = TreemapOnce<TLogTreeBuilder>(storage);
            logSide.Read.Add(logSide.Last.Read);
#ifdef VOLUMARK_BENCH_PAINT
            PaintOnce<TLogTreeBuilder>(storage, logSide.Last);
#endif
            logSide.Paint.Add(logSide.Last.Paint);
            logSide.Fill.Add(logSide.Last.Fill);
            logSide.Treemap.Add({logSide.Last.Read.Wall + logSide.Last.Layout.Wall,
                                 logSide.Last.Read.Cpu + logSide.Last.Layout.Cpu});
            logSide.Statistics.Add(Timed([&] { CollectLogStatistics(storage); }));
        }
        {
            TFileStream stream(comparison, TFileMode::OpenRead);
            TDirCompare file(stream);
            cmpSide.Walk.Add(Timed([&] {
                WalkRecords(
                    file, [](int32_t, const TCompareRecord&, const std::string&) { return true; });
            }));
            cmpSide.Last = TreemapOnce<TComparisonTreeBuilder>(file);
            cmpSide.Read.Add(cmpSide.Last.Read);
#ifdef VOLUMARK_BENCH_PAINT
            PaintOnce<TComparisonTreeBuilder>(file, cmpSide.Last);
#endif
            cmpSide.Paint.Add(cmpSide.Last.Paint);
            cmpSide.Fill.Add(cmpSide.Last.Fill);
            cmpSide.Treemap.Add({cmpSide.Last.Read.Wall + cmpSide.Last.Layout.Wall,
                                 cmpSide.Last.Read.Cpu + cmpSide.Last.Layout.Cpu});
            cmpSide.Statistics.Add(Timed([&] { CollectComparisonStatistics(file); }));
        }
        for (auto [side, file] : {std::pair{&logSide, &log}, {&cmpSide, &comparison}}) {
            const TRun report = RunChild({vmlog, "report", *file});
            side->Report.Add({report.Seconds, report.CpuSeconds});
        }
    }

    std::printf("load average %s; medians of %d runs, files in the page cache\n",
                LoadAverage().c_str(), runs);
    std::printf("log %s, %lld bytes\n", log.c_str(),
                static_cast<long long>(std::filesystem::file_size(log)));
    Print("log", logSide);
    std::printf("comparison of two logs of compare_bench's shape, %lld bytes\n",
                static_cast<long long>(std::filesystem::file_size(comparison)));
    Print("comparison", cmpSide);

    if (keep) {
        std::printf("files kept in %s\n", dir.c_str());
        return 0;
    }
    for (const std::string* p : {&oldLog, &newLog, &comparison})
        ::unlink(p->c_str());
    ::rmdir(dir.c_str());
    return 0;
}
