// The two logs of the comparison benchmarks: a seeded synthetic tree and a mutated copy (files
// grown, shrunk, added, deleted; directories added and removed), written through the log writer
// into files. Header only: every .cpp file in bench/ is a benchmark program of its own.
#pragma once

#include "core/LogWriter.h"
#include "core/NameOrder.h"

#include <algorithm>
#include <random>
#include <string>
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
            info.Created = info.Accessed = info.Modified;
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

inline int64_t WriteLog(const std::string& path, const TShape& shape, bool mutated)
{
    TFileStream stream(path, TFileMode::Create);
    TLogWriter writer(stream, 45000.0);
    TTreeWriter tree(writer, shape, mutated);
    tree.WriteRoot("/bench/");
    writer.Finish();
    return tree.Entries();
}

} // namespace vmbench
