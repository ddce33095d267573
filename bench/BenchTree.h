// Trees for the scan benchmark: one built on disk from a seed (kept between runs), and one fed
// straight into a scan sink for benchmarks of the writer alone. Header only: every .cpp file in
// bench/ is a benchmark program of its own.
#pragma once

#include "core/ScanSink.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vmbench {

inline std::string MarkerOf(const std::string& tree)
{
    return tree + ".complete";
}

inline bool TreeIsComplete(const std::string& tree)
{
    struct stat st = {};
    return stat(MarkerOf(tree).c_str(), &st) == 0 && stat(tree.c_str(), &st) == 0;
}

// A tree of about `entries` names: a random recursive tree of directories (one in twenty
// entries; depth grows with its logarithm), files spread over them with a skew (most
// directories small, a few large, one of 20,000 files), names of mixed case with dots and
// extensions. Most files are empty; one in twenty has up to 4 KiB of data, one in a hundred is
// sparse, and one in two hundred each is a further hard link or a symbolic link.
inline bool BuildTree(const std::string& tree, int64_t entries, uint64_t seed)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::remove_all(tree, ec);
    fs::remove(MarkerOf(tree), ec);
    fs::create_directories(tree, ec);
    if (ec)
        return false;
    std::mt19937_64 random(seed);
    auto pick = [&random](uint64_t n) { return n ? random() % n : 0; };
    const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    auto stem = [&] {
        std::string s(4 + pick(12), 'x');
        for (char& c : s)
            c = alphabet[pick(sizeof alphabet - 1)];
        return s;
    };

    int64_t dirCount = std::max<int64_t>(1, entries / 20);
    std::vector<std::string> dirs = {tree};
    for (int64_t i = 1; i < dirCount; ++i) {
        const std::string& parent = dirs[pick(dirs.size())];
        std::string name = (pick(30) == 0 ? "." : "") + stem() + "-" + std::to_string(i);
        dirs.push_back(parent + "/" + name);
        if (mkdir(dirs.back().c_str(), 0755) != 0)
            return false;
    }
    std::vector<int64_t> files(dirs.size(), 0);
    int64_t remaining = entries - dirCount;
    int64_t wide = std::min<int64_t>(20000, remaining / 10);
    files[dirs.size() / 2] += wide;
    remaining -= wide;
    std::vector<double> weight(dirs.size());
    double total = 0;
    for (double& w : weight) {
        double u = std::uniform_real_distribution<double>(0.0, 1.0)(random);
        w = u * u * u * u;
        total += w;
    }
    for (size_t i = 0; i < dirs.size(); ++i)
        files[i] += static_cast<int64_t>(remaining * weight[i] / total);

    std::vector<char> data(4096, 'd');
    std::string lastFile;
    for (size_t d = 0; d < dirs.size(); ++d) {
        int dir = open(dirs[d].c_str(), O_RDONLY | O_DIRECTORY);
        if (dir < 0)
            return false;
        for (int64_t f = 0; f < files[d]; ++f) {
            static const char* const extensions[] = {".txt", ".dat", ".JPG",   ".cpp",
                                                     ".h",   "",     ".tar.gz"};
            std::string name =
                (pick(40) == 0 ? "." : "") + stem() + "-" + std::to_string(f) + extensions[pick(7)];
            uint64_t kind = pick(200);
            if (kind == 0 && !lastFile.empty()) {
                if (linkat(AT_FDCWD, lastFile.c_str(), dir, name.c_str(), 0) == 0)
                    continue;
            } else if (kind == 1) {
                if (symlinkat("../target", dir, name.c_str()) == 0)
                    continue;
            }
            int fd = openat(dir, name.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd < 0)
                continue;
            if (kind >= 2 && kind < 12) {
                ssize_t n = write(fd, data.data(), 1 + pick(data.size() - 1));
                (void)n;
            } else if (kind >= 12 && kind < 14) {
                int r = ftruncate(fd, static_cast<off_t>(1 + pick(100 << 20)));
                (void)r;
            }
            close(fd);
            if (kind >= 2 && kind < 12)
                lastFile = dirs[d] + "/" + name;
        }
        close(dir);
    }
    std::FILE* marker = std::fopen(MarkerOf(tree).c_str(), "w");
    if (!marker)
        return false;
    std::fprintf(marker, "%lld entries, seed %llu\n", static_cast<long long>(entries),
                 static_cast<unsigned long long>(seed));
    std::fclose(marker);
    return true;
}

// Feeds a sink a tree of `entries` entries in the order a scan would: directories of 20 files
// and 3 subdirectories down to depth 8, the rest in files. Returns the entries fed.
inline int64_t FeedSyntheticTree(vm::TScanSink& sink, int64_t entries)
{
    vm::TFileInfo file, dir;
    file.Attributes = vm::faNormal;
    file.Modified = file.Created = file.Accessed = vm::TFileTime{1700000000, 0, 1700000000};
    file.Owner = 1000;
    file.Group = 100;
    file.Mode = 0100644;
    dir = file;
    dir.Attributes = vm::faDirectory;
    dir.Mode = 040755;
    sink.BeginRoot("/synthetic/tree/", 4096);
    int64_t fed = 0;
    struct TLevel
    {
        int Files = 0, Dirs = 0;
    };
    std::vector<TLevel> open(1);
    while (fed < entries && !open.empty()) {
        TLevel& top = open.back();
        if (top.Files < 20) {
            file.Name = "file-" + std::to_string(top.Files++) + ".dat";
            file.Size = file.OnDisk = 100 * top.Files;
            sink.Entry(file, false);
            ++fed;
        } else if (top.Dirs < 3 && open.size() < 8) {
            dir.Name = "directory-" + std::to_string(top.Dirs++);
            sink.Entry(dir, false);
            ++fed;
            open.emplace_back();
        } else if (open.size() == 1) {
            open.back() = TLevel(); // the root takes another round of entries
        } else {
            sink.EndDirectory();
            open.pop_back();
        }
    }
    while (!open.empty()) {
        sink.EndDirectory();
        open.pop_back();
    }
    return fed;
}

} // namespace vmbench
