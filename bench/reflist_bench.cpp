// Benchmark of the reference manager's lists over a reference with 10,000 logs (an hourly job's
// fourteen months): the reference list (every log's date, the roots of the latest two) and the
// logs view (every log's totals and date), beside a peer measured in the same run on the same
// files: "head -q -c 256 Log*.kdf > /dev/null", which opens every log and reads its start. The
// files are in the page cache. The goal is under a second for each list.
//
// usage: reflist_bench [--logs N] [--runs N] [--dir DIR] [--keep]
//   --logs: how many logs the reference holds (10,000); --runs: how many times each side is
//   timed (5); --dir: where the data directory goes ($TMPDIR or /tmp); --keep leaves it there.
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchOptions.h"
#include "core/DirStorage.h"
#include "core/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Locale.h"
#include "references/RefStore.h"
#include "refman/RefList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace vm;

namespace {

struct TOptions
{
    int Logs = 10000;
    int Runs = 5;
    std::string Dir;
    bool Keep = false;
};

TOptions ParseOptions(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = tmp && *tmp ? tmp : "/tmp";
    const vmbench::TBenchArgs args = vmbench::BenchArgsOrExit(
        argc, argv, "reflist_bench",
        "Times the reference manager's reference list and logs view over ten thousand logs.",
        {{"--logs", "N", "logs of the reference (10,000)"},
         {"--runs", "N", "measure N times (5)"},
         {"--dir", "DIR", "write the logs under DIR (" + dir + ")"},
         {"--keep", nullptr, "leave the files behind"}});
    TOptions o;
    o.Dir = args.Text("--dir", dir);
    o.Logs = std::max(1, static_cast<int>(args.Number("--logs", o.Logs)));
    o.Runs = std::max(1, static_cast<int>(args.Number("--runs", o.Runs)));
    o.Keep = args.Has("--keep");
    return o;
}

// Log m: three roots of twenty files each, sizes growing with m, dated an hour apart.
void WriteLog(const std::string& path, int m)
{
    TFileStream file(path, TFileMode::Create);
    const TDateTime date = 45000.0 + m / 24.0;
    TLogWriter writer(file, date);
    writer.SetClock([date] { return date; });
    for (const char* root : {"/srv/projects/", "/srv/home/", "/srv/mail/"}) {
        writer.BeginRoot(root, 4096);
        for (int f = 0; f < 20; ++f) {
            TFileInfo info;
            info.Name = "file" + std::to_string(f);
            info.Size = info.OnDisk = 1000 * (f + 1) + 5000 * int64_t(m);
            info.Attributes = AttributesOf(info.Name, 0100644, info.Size, info.OnDisk, false);
            writer.Entry(info, false);
        }
        writer.EndDirectory();
    }
    writer.Finish();
    TDirStorage log(file);
    std::vector<std::string> names = DefaultTagNames();
    for (size_t i = 0; i < names.size(); ++i)
        log.SetTagName(int(i) + 1, names[i]);
    file.Flush();
}

struct TTimes
{
    double Best = 0, Median = 0;
};

TTimes Time(int runs, const std::function<void()>& run)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds.front(), seconds[seconds.size() / 2]};
}

void Print(const char* what, const TTimes& t)
{
    std::printf("  %-44s best %.3f s, median %.3f s\n", what, t.Best, t.Median);
}

} // namespace

int main(int argc, char** argv)
{
    const TOptions options = ParseOptions(argc, argv);
    const std::string data = options.Dir + "/volumark-reflist-bench";
    std::filesystem::remove_all(data);
    std::filesystem::create_directories(data + "/Ref0000");
    TIniFile(data + "/Volumark.ini").WriteString("Ref0000", "Name", "Hourly");
    TRefStore store(data);
    for (int m = 1; m <= options.Logs; ++m)
        WriteLog(store.LogFileName(0, m), m);

    const TLocale locale = TLocale::FromEnvironment();
    size_t rows = 0;
    // Once for the page cache, and to check what the lists show.
    const std::vector<TRefRow> refs = ListReferenceRows(store, locale);
    const std::vector<TRHSRow> logs = LogRows(store, locale, 0);
    if (refs.size() != 1 || int(logs.size()) != options.Logs || refs[0].LogChange.empty()) {
        std::fprintf(stderr, "reflist_bench: the lists do not show the logs written\n");
        return 1;
    }
    std::printf("reference with %d logs of 63 records each, %d runs, in %s\n", options.Logs,
                options.Runs, data.c_str());
    std::printf("  latest %s, %s, change %s\n", refs[0].LastLogDate.c_str(),
                refs[0].LastLogSize.c_str(), refs[0].LogChange.c_str());
    Print("reference list (dates, latest two totals):",
          Time(options.Runs, [&] { rows += ListReferenceRows(store, locale).size(); }));
    Print("logs view (totals and date of every log):",
          Time(options.Runs, [&] { rows += LogRows(store, locale, 0).size(); }));
    const std::string peer = "cd '" + store.RefDir(0) + "' && head -q -c 256 Log*.kdf > /dev/null";
    Print("peer: head -q -c 256 Log*.kdf:", Time(options.Runs, [&] {
              if (std::system(peer.c_str()) != 0)
                  std::fprintf(stderr, "reflist_bench: the peer failed\n");
          }));
    if (!options.Keep)
        std::filesystem::remove_all(data);
    return rows > 0 ? 0 : 1;
}
