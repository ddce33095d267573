// Benchmark of "Copy to clipboard" on a list of about 1,000,000 rows: the clipboard text built
// from the explore window's own row table (names, sizes and dates read from the log as each row
// is, folders from the directory tree, types), with the sizes as the list shows them and as
// kilobytes; and the listing mail text of the same rows. The goal is at most 3 s for the copy.
//
// Beside it, in the same run: awk writing the same rows as tab-separated text from a file of
// their raw fields (a peer that only formats and joins, with nothing to look up).
//
// usage: clipboard_bench [--rows N] [--runs N] [--cache DIR]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchOptions.h"
#include "BenchSupport.h"
#include "ExploreBenchLog.h"
#include "explore/FileListTable.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"
#include "output/ClipboardText.h"
#include "output/EmailInfo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <vector>

using namespace vm;

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since)
{
    return std::chrono::duration<double>(TClock::now() - since).count();
}

double Best(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The all files view of a synthetic log of about `rows` entries (bench-cache/ of the build
// directory keeps the log for later runs), as the window has it: the tree and the rows, which
// read what they show from the log.
struct TBenchList
{
    explicit TBenchList(const std::string& path)
        : Stream(path, TFileMode::OpenRead, 64 * 1024), Log(Stream)
    {
        TDirTreeBuilder builder(Log, Tree);
        while (builder.Step(4096)) {
        }
        TFillRequest request;
        request.View = TView::AllFiles;
        request.RootHeading = "Log 1";
        TListFill fill(Log, Tree, Store, request);
        while (fill.Step(4096)) {
        }
    }
    TFileStream Stream;
    TDirStorage Log;
    TDirTree Tree{"Log 1"};
    TFileListStore Store;
};

// The raw fields of every row, tab-separated, for the peer.
void WriteRawFields(const TFileListTable& table, const std::string& path)
{
    std::ofstream out(path);
    for (int row = 0; row < table.RowCount(); ++row)
        out << table.Text(row, kColName) << '\t' << table.Text(row, kColPath) << '\t'
            << table.Text(row, kColType) << '\t' << *table.RawNumber(row, kColSize) << '\t'
            << *table.RawNumber(row, kColSpace) << '\t' << table.Text(row, kColDateValue) << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    const vmbench::TBenchArgs args = vmbench::BenchArgsOrExit(
        argc, argv, "clipboard_bench",
        "Times \"Copy to clipboard\" and the listing mail text of a list of a million rows.",
        {{"--rows", "N", "about N entries in the log, whose files are the rows (1,000,000)"},
         {"--runs", "N", "measure N times (3)"},
         {"--cache", "DIR", "keep the log written once in DIR (build/bench-cache)"}});
    const int64_t entries = std::max<int64_t>(1000, args.Number("--rows", 1000000));
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 3)));
    const std::string cache = args.Text("--cache", vmbench::SelfDirectory() + "/../bench-cache");
    std::filesystem::create_directories(cache);
    const std::string log = vmbench::ExploreBenchLog(cache, entries, TLogFormat::Exact);
    if (log.empty())
        return 1;

    TBenchList list(log);
    const int rows = list.Store.Count();
    // File types come from the desktop's database through a cache by extension; the cache is
    // what a long copy meets.
    std::unordered_map<std::string, std::string> types;
    TLocale locale = TLocale::Classic().WithSeparators(",", ".");
    TFileListTable table(list.Store, list.Tree, locale, [&](const std::string& extension) {
        auto [it, added] = types.try_emplace(extension);
        if (added)
            it->second = extension == "." ? "File" : extension.substr(1) + " file";
        return it->second;
    });
    TFileListOptions options;
    options.PathShown = true; // the all files view
    table.SetOptions(options);
    table.SetLog(&list.Log);
    const std::vector<int> columns{kColName, kColPath, kColType, kColSize, kColSpace, kColDate};

    const std::string raw = "/tmp/volumark-clipboard-bench-" + std::to_string(getpid()) + ".tsv";
    WriteRawFields(table, raw);
    const std::string awk = "awk -F'\\t' '{printf \"%s\\t%s\\t%s\\t%.2f\\t%.2f\\t%s\\t\\n\", $1, "
                            "$2, $3, $4 / 1024, $5 / 1024, $6}' " +
                            raw + " > /dev/null";

    std::vector<double> shown, kilobytes, mail, peer;
    size_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = TClock::now();
        bytes = ClipboardText(table, columns, TSizeFormat::AsDisplayed, locale).size();
        shown.push_back(Seconds(start));
        start = TClock::now();
        ClipboardText(table, columns, TSizeFormat::KB, locale);
        kilobytes.push_back(Seconds(start));
        start = TClock::now();
        ListMailText(table, AllRows(table));
        mail.push_back(Seconds(start));
        start = TClock::now();
        if (std::system(awk.c_str()) != 0)
            std::fprintf(stderr, "clipboard_bench: awk failed\n");
        peer.push_back(Seconds(start));
    }
    std::remove(raw.c_str());

    std::printf("Copy to clipboard, %d rows x %zu columns (%.1f MB of text), %d runs:\n", rows,
                columns.size(), double(bytes) / 1e6, runs);
    std::printf("  sizes as displayed        best %6.3f s  median %6.3f s  (goal: at most 3 s)\n",
                Best(shown), Median(shown));
    std::printf("  sizes in KB               best %6.3f s  median %6.3f s\n", Best(kilobytes),
                Median(kilobytes));
    std::printf("  listing mail text         best %6.3f s  median %6.3f s\n", Best(mail),
                Median(mail));
    std::printf("  peer  awk, raw fields     best %6.3f s  median %6.3f s\n", Best(peer),
                Median(peer));
    return 0;
}
