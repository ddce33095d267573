// The log of about a million entries that the explore and treemap benchmarks share: a seeded
// synthetic tree written once into the benchmarks' cache and kept there for later runs. Header
// only: every .cpp file in bench/ is a benchmark program of its own.
#pragma once

#include "BenchSupport.h"
#include "core/LogWriter.h"
#include "core/NameOrder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace vmbench {

using namespace vm;

// A tree of about `entries` entries: directories six levels deep, eight below each directory
// above the last level, files spread over them; names of mixed case with extensions.
class TTreeMaker
{
public:
    TTreeMaker(TScanSink& sink, int64_t entries) : sink_(sink), random_(20240611)
    {
        // 8^0 + ... + 8^5 = 37449 directories share the files.
        filesPerDir_ = std::max<int64_t>(1, entries / 37449 - 1);
    }
    void Write()
    {
        sink_.BeginRoot("/bench/", 4096);
        Directory(1);
        sink_.EndDirectory();
    }
    int64_t Entries() const { return entries_; }

private:
    std::string Name()
    {
        static const char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
        static const char* const kExtensions[] = {".txt", ".doc", ".jpg",    ".cpp", ".h",
                                                  ".pdf", "",     ".tar.gz", ".mp3", ".log"};
        std::string name;
        for (int n = 5 + int(random_() % 12); n > 0; --n)
            name += kLetters[random_() % (sizeof kLetters - 1)];
        return name + kExtensions[random_() % 10];
    }

    void Directory(int level)
    {
        struct TEntry
        {
            std::string Name;
            bool Directory;
        };
        std::vector<TEntry> list;
        const int64_t files = int64_t(random_() % uint64_t(2 * filesPerDir_ + 1));
        for (int64_t i = 0; i < files; ++i)
            list.push_back({Name(), false});
        for (int i = 0; level < 6 && i < 8; ++i)
            list.push_back({Name(), true});
        std::sort(list.begin(), list.end(),
                  [](const TEntry& a, const TEntry& b) { return NameLess(a.Name, b.Name); });
        list.erase(std::unique(list.begin(), list.end(),
                               [](const TEntry& a, const TEntry& b) { return a.Name == b.Name; }),
                   list.end());
        for (const TEntry& e : list) {
            TFileInfo info;
            info.Name = e.Name;
            info.Attributes = e.Directory ? faDirectory : faNormal;
            info.Size = e.Directory ? 0 : int64_t(random_() % 5000000);
            info.OnDisk = info.Size;
            info.Modified.LocalSeconds = 1600000000 + int64_t(random_() % 100000000);
            info.Created = info.Accessed = info.Modified;
            // Owners as a shared server has them: a few dozen accounts in a few groups (kept out
            // of the random sequence, so that the tree is the same in both formats).
            info.Owner = 1000 + uint32_t(entries_ % 37);
            info.Group = 100 + uint32_t(entries_ % 7);
            sink_.Entry(info, false);
            ++entries_;
            if (e.Directory) {
                Directory(level + 1);
                sink_.EndDirectory();
            }
        }
    }

    TScanSink& sink_;
    std::mt19937_64 random_;
    int64_t filesPerDir_;
    int64_t entries_ = 0;
};

// The cached log of about `entries` entries in cache (written once, in a child process so that
// the caller stays small for its memory figures), in the format given; "" when it cannot be
// written.
inline std::string ExploreBenchLog(const std::string& cache, int64_t entries,
                                   TLogFormat format = TLogFormat::Exact)
{
    std::filesystem::create_directories(cache);
    const std::string log = cache + "/explore-" + std::to_string(entries) +
                            (format == TLogFormat::Exact ? "" : "-extended") + ".kdf";
    if (std::filesystem::exists(log))
        return log;
    std::fprintf(stderr, "writing %s once\n", log.c_str());
    const std::string partial = log + ".partial";
    if (InChild([&] {
            TFileStream stream(partial, TFileMode::Create);
            TLogWriter writer(stream, 45000.0, format);
            TTreeMaker(writer, entries).Write();
            writer.Finish();
        }) < 0)
        return {};
    std::filesystem::rename(partial, log);
    return log;
}

} // namespace vmbench
