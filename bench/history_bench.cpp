// Benchmark of the reference manager's history view over a reference with 1,000 logs (three
// top-level paths each, a few hundred entries below them): reading every log's header and roots
// (LogHistory), and the view drawing its chart and table (offscreen, rendered into an image).
// Beside them, in the same run, the peer `cat` of all 1,000 log files > /dev/null: what any
// reader of the logs' whole contents pays. The goal is the whole view in under a second.
//
// usage: history_bench [--logs N] [--runs N] [--dir DIR] [--keep]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchOptions.h"
#include "BenchSupport.h"
#include "core/LogWriter.h"
#include "references/LogHistory.h"
#include "references/RefStore.h"
#include "refman/QtHistoryView.h"

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace vm;
using namespace vmbench;

namespace {

// Log m: three roots with 8 directories of 30 files each, growing with m.
void WriteLog(const std::string& path, int m)
{
    TFileStream file(path, TFileMode::Create);
    TLogWriter writer(file, 45000.0 + m);
    for (const char* root : {"/srv/projects/", "/srv/home/", "/srv/archive/"}) {
        writer.BeginRoot(root, 4096);
        for (int d = 0; d < 8; ++d) {
            TFileInfo dir;
            dir.Name = "dir" + std::to_string(d);
            dir.Attributes = faDirectory;
            writer.Entry(dir, false);
            for (int f = 0; f < 30; ++f) {
                TFileInfo file;
                file.Name = "file" + std::to_string(f) + ".dat";
                file.Attributes = faNormal;
                file.Size = file.OnDisk = 1000 * (f + 1) + 37 * m;
                writer.Entry(file, false);
            }
            writer.EndDirectory();
        }
        writer.EndDirectory();
    }
    file.Flush();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string tmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    const TBenchArgs args = BenchArgsOrExit(
        argc, argv, "history_bench",
        "Times the reference manager's history view over a reference of a thousand logs.",
        {{"--logs", "N", "logs of the reference (1,000)"},
         {"--runs", "N", "measure N times (5)"},
         {"--dir", "DIR", "write the logs under DIR (" + tmp + ")"},
         {"--keep", nullptr, "leave the files behind"}});
    const int logs = std::max(1, static_cast<int>(args.Number("--logs", 1000)));
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 5)));
    const std::string base = args.Text("--dir", tmp);
    const bool keep = args.Has("--keep");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string data = base + "/history_bench." + std::to_string(::getpid());
    std::filesystem::create_directories(data + "/Ref0000");
    TRefStore store(data);
    for (int m = 1; m <= logs; ++m)
        WriteLog(store.LogFileName(0, m), m);
    std::printf("reference with %d logs in %s\n", logs, data.c_str());

    std::vector<double> read, draw, whole, peer;
    size_t shown = 0;
    THistoryView view;
    view.resize(1000, 700);
    for (int r = 0; r < runs; ++r) {
        auto start = TClock::now();
        std::vector<TLogSummary> history = LogHistory(store, 0);
        read.push_back(Seconds(start));
        auto drawn = TClock::now();
        shown = history.size();
        view.ShowHistory(std::move(history), TLocale::Classic());
        QImage image(view.size(), QImage::Format_ARGB32);
        view.render(&image);
        draw.push_back(Seconds(drawn));
        whole.push_back(Seconds(start));

        start = TClock::now();
        const std::string cat = "cat " + data + "/Ref0000/*.kdf > /dev/null";
        if (std::system(cat.c_str()) != 0)
            std::fprintf(stderr, "history_bench: the peer failed\n");
        peer.push_back(Seconds(start));
    }
    std::printf("logs shown: %zu, lines: %lld\n", shown,
                static_cast<long long>(view.HistoryChartView->chart()->series().size()));
    std::printf("read headers and roots (LogHistory): median %.3f s, best %.3f s of %d\n",
                Median(read), *std::min_element(read.begin(), read.end()), runs);
    std::printf("draw chart and table (offscreen):    median %.3f s, best %.3f s\n", Median(draw),
                *std::min_element(draw.begin(), draw.end()));
    std::printf("history view in all:                 median %.3f s, best %.3f s (goal: < 1 s)\n",
                Median(whole), *std::min_element(whole.begin(), whole.end()));
    std::printf("peer (cat of all %d logs > /dev/null): median %.3f s, best %.3f s\n", logs,
                Median(peer), *std::min_element(peer.begin(), peer.end()));
    if (!keep)
        std::filesystem::remove_all(data);
    return 0;
}
