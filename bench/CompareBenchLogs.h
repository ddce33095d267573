// The two logs of the comparison benchmarks: a seeded synthetic tree and a mutated copy (files
// grown, shrunk, added, deleted; directories added and removed), written through the log writer
// into files. Header only: every .cpp file in bench/ is a benchmark program of its own.
#pragma once

#include "BenchOptions.h"
#include "core/LogWriter.h"
#include "core/NameOrder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace vmbench {

using namespace vm;

// The tree: directories five levels deep, each with a seeded number of files and, above the
// last level, of subdirectories. Everything about an entry comes from its own seed, so the
// mutated copy (files grown, shrunk, added, deleted; directories added and removed) follows
// the same names where it keeps them.
struct TShape
{
    int Levels = 6;
    int DirsPerDir = 8;
    int FilesPerDir = 26; // on average
};

inline uint64_t Mix(uint64_t a, uint64_t b)
{
    uint64_t x = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    return x ^ (x >> 29);
}

struct TEntrySpec
{
    std::string Name;
    bool Directory;
    int64_t Size;
    uint64_t Seed;
};

class TTreeWriter
{
public:
    TTreeWriter(TScanSink& sink, const TShape& shape, bool mutated)
        : sink_(sink), shape_(shape), mutated_(mutated)
    {
    }
    void WriteRoot(const std::string& path)
    {
        sink_.BeginRoot(path, 4096);
        WriteDirectory(1, 1);
        sink_.EndDirectory();
    }
    int64_t Entries() const { return entries_; }

private:
    static std::string Name(std::mt19937_64& rng)
    {
        static const char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-. ";
        std::string name;
        for (int n = 6 + static_cast<int>(rng() % 14); n > 0; --n)
            name += kLetters[rng() % (sizeof kLetters - 1)];
        return name;
    }

    std::vector<TEntrySpec> Listing(uint64_t seed, int level)
    {
        std::mt19937_64 rng(seed);
        std::vector<TEntrySpec> list;
        const int files = static_cast<int>(rng() % (2 * shape_.FilesPerDir + 1));
        const int dirs = level < shape_.Levels ? shape_.DirsPerDir : 0;
        for (int i = 0; i < files + dirs; ++i) {
            bool directory = i >= files;
            list.push_back({Name(rng), directory, static_cast<int64_t>(rng() % 200000), rng()});
        }
        if (mutated_) {
            std::mt19937_64 change(Mix(seed, 7));
            std::vector<TEntrySpec> kept;
            for (TEntrySpec& e : list) {
                unsigned roll = change() % 1000;
                if (roll < (e.Directory ? 5u : 20u))
                    continue; // deleted (a directory with its whole subtree)
                if (!e.Directory && roll < 80)
                    e.Size = roll % 2 ? e.Size * 2 + 1 : e.Size / 3; // grown or shrunk
                kept.push_back(e);
            }
            for (int added = static_cast<int>(change() % 3); added > 0; --added)
                kept.push_back({Name(change), change() % 50 == 0 && level < shape_.Levels,
                                static_cast<int64_t>(change() % 100000), change()});
            list = std::move(kept);
        }
        std::sort(list.begin(), list.end(), [](const TEntrySpec& a, const TEntrySpec& b) {
            return NameLess(a.Name, b.Name);
        });
        list.erase(
            std::unique(list.begin(), list.end(),
                        [](const TEntrySpec& a, const TEntrySpec& b) { return a.Name == b.Name; }),
            list.end());
        return list;
    }

    void WriteDirectory(uint64_t seed, int level)
    {
        for (const TEntrySpec& e : Listing(seed, level)) {
            TFileInfo info;
            info.Name = e.Name;
            info.Attributes = e.Directory ? faDirectory : faNormal;
            info.Size = e.Directory ? 4096 : e.Size;
            info.OnDisk = info.Size;
            info.Modified.LocalSeconds = 1700000000 + static_cast<int64_t>(e.Seed % 10000000);
            info.Modified.UnixSeconds = info.Modified.LocalSeconds;
            info.Modified.Nanoseconds = static_cast<int32_t>(e.Seed % 1000000000);
            info.Created = info.Accessed = info.Modified;
            // Owners of a shared server: a few dozen users, their own groups, usual modes.
            info.Owner = 1000 + static_cast<uint32_t>(e.Seed % 48);
            info.Group = 100 + static_cast<uint32_t>(e.Seed % 7);
            info.Mode = e.Directory ? 040755 : 0100644;
            sink_.Entry(info, false);
            ++entries_;
            if (e.Directory) {
                WriteDirectory(e.Seed, level + 1);
                sink_.EndDirectory();
            }
        }
    }

    TScanSink& sink_;
    TShape shape_;
    bool mutated_;
    int64_t entries_ = 0;
};

inline int64_t WriteLog(const std::string& path, const TShape& shape, bool mutated,
                        TLogFormat format = TLogFormat::Exact)
{
    TFileStream stream(path, TFileMode::Create);
    TLogWriter writer(stream, 45000.0, format);
    TTreeWriter tree(writer, shape, mutated);
    tree.WriteRoot("/bench/");
    writer.Finish();
    return tree.Entries();
}

// The options of the benchmarks over these logs: --entries N (about N entries in the tree),
// --runs N, --dir DIR (where the logs are written, under a fresh directory), --log-format
// exact|extended (the format of the logs) and --keep (leave the files).
struct TLogBenchOptions
{
    TShape Shape;
    int Runs = 5;
    std::string Base;
    bool Keep = false;
    TLogFormat Format = TLogFormat::Exact;
    TBenchArgs Args; // all of them, for a benchmark's own options
};

// The options, or the end of the process (help, version, bad usage). base: the default --dir.
inline TLogBenchOptions ParseLogBenchOptions(int argc, char** argv, const std::string& name,
                                             const std::string& purpose, std::string base,
                                             std::vector<TBenchOption> more = {})
{
    std::vector<TBenchOption> own = {
        {"--entries", "N", "about N entries in each log's tree (1,000,000)"},
        {"--runs", "N", "measure N times (5)"},
        {"--dir", "DIR", "write the logs in a fresh directory under DIR (" + base + ")"},
        {"--log-format", "FORMAT", "exact or extended: the format of the logs (exact)"},
        {"--keep", nullptr, "leave the files behind"}};
    own.insert(own.end(), more.begin(), more.end());
    const TBenchArgs args = BenchArgsOrExit(argc, argv, name, purpose, own);
    TLogBenchOptions options;
    options.Args = args;
    const std::string format = args.Text("--log-format", "exact");
    if (format != "exact" && format != "extended") {
        std::fprintf(stderr, "%s: --log-format wants exact or extended, not \"%s\"\n", name.c_str(),
                     format.c_str());
        std::exit(2);
    }
    options.Format = format == "extended" ? TLogFormat::Extended : TLogFormat::Exact;
    options.Base = args.Text("--dir", base);
    options.Keep = args.Has("--keep");
    options.Runs = std::max(1, static_cast<int>(args.Number("--runs", options.Runs)));
    if (args.Has("--entries")) // 37449 directories share the entries
        options.Shape.FilesPerDir =
            std::max(1, static_cast<int>(args.Number("--entries", 0) / 37449) - 1);
    return options;
}

// A fresh directory under base named after the benchmark; empty, with the reason on stderr,
// when it cannot be made.
inline std::string MakeBenchDirectory(const std::string& base, const std::string& name)
{
    std::string pattern = base + "/" + name + ".XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror((name + ": mkdtemp").c_str());
        return {};
    }
    return pattern;
}

// The tree of the second, smaller log: a tenth of the files a directory and a level less.
inline TShape SmallShape(TShape shape)
{
    shape.FilesPerDir = std::max(1, shape.FilesPerDir / 10);
    shape.Levels = shape.Levels - 1;
    return shape;
}

} // namespace vmbench
