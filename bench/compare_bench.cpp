// Benchmark of the comparison of two logs of about 1,000,000 entries each (a seeded synthetic tree
// and a mutated copy, written through the log writer into files), beside a peer measured in the
// same run on the same files: "cat OLD NEW > /dev/null; cat CMP > COPY", which reads both logs
// and writes a file as large as the comparison. Both run with the files in the page cache.
// The peak memory of a comparison is measured in a child process, for the full tree and for one
// a tenth of its size, to show that it does not grow with the number of entries.
//
// usage: compare_bench [--entries N] [--runs N] [--dir DIR] [--keep]
//   --entries: about how many entries each log holds (1,000,000); --runs: how many times each
//   side is timed (5); --dir: where the files go ($TMPDIR or /tmp); --keep leaves them there.
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "core/LogWriter.h"
#include "core/NameOrder.h"
#include "references/CompareRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vm;

namespace {

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

uint64_t Mix(uint64_t a, uint64_t b)
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

int64_t WriteLog(const std::string& path, const TShape& shape, bool mutated)
{
    TFileStream stream(path, TFileMode::Create);
    TLogWriter writer(stream, 45000.0);
    TTreeWriter tree(writer, shape, mutated);
    tree.WriteRoot("/bench/");
    writer.Finish();
    return tree.Entries();
}

double Seconds(const std::chrono::steady_clock::time_point& since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

int64_t FileSize(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Runs fn in a child process; returns the child's peak resident memory in KiB (-1 on failure).
template <class F> long InChild(F fn)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            fn();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            status = 1;
        }
        std::fflush(nullptr);
        ::_exit(status);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

struct TFiles
{
    std::string Old, New, Comparison, Copy;
    int64_t OldEntries = 0, NewEntries = 0;
};

// Writes the two logs in a child so that the parent, whose children are measured, stays small.
bool MakeLogs(TFiles& files, const TShape& shape)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return false;
    long rss = InChild([&] {
        int64_t counts[2] = {WriteLog(files.Old, shape, false), WriteLog(files.New, shape, true)};
        if (::write(pipeEnds[1], counts, sizeof counts) != sizeof counts)
            throw std::runtime_error("pipe");
    });
    int64_t counts[2] = {0, 0};
    bool ok = rss >= 0 && ::read(pipeEnds[0], counts, sizeof counts) == sizeof counts;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    files.OldEntries = counts[0];
    files.NewEntries = counts[1];
    return ok;
}

TFiles FilesIn(const std::string& dir, const std::string& tag)
{
    return {dir + "/old" + tag + ".kdf", dir + "/new" + tag + ".kdf", dir + "/cmp" + tag + ".kcf",
            dir + "/copy" + tag + ".kcf"};
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    TShape shape;
    bool keep = false;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--keep")
            keep = true;
        else if (a == "--entries" && hasValue) // 37449 directories share the entries
            shape.FilesPerDir = std::max(1, static_cast<int>(std::atol(argv[++i]) / 37449) - 1);
        else if (a == "--runs" && hasValue)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--dir" && hasValue)
            base = argv[++i];
        else if (a.rfind("--", 0) == 0 && hasValue && argv[i + 1][0] != '-')
            ++i; // another benchmark's option and its value
    }
    char pattern[4096];
    std::snprintf(pattern, sizeof pattern, "%s/compare_bench.XXXXXX", base.c_str());
    if (!::mkdtemp(pattern)) {
        std::perror("compare_bench: mkdtemp");
        return 1;
    }
    const std::string dir = pattern;

    TFiles big = FilesIn(dir, ""), small = FilesIn(dir, "-small");
    TShape smallShape = shape;
    smallShape.FilesPerDir = std::max(1, shape.FilesPerDir / 10);
    smallShape.Levels = shape.Levels - 1;
    if (!MakeLogs(big, shape) || !MakeLogs(small, smallShape)) {
        std::fprintf(stderr, "compare_bench: cannot write the logs in %s\n", dir.c_str());
        return 1;
    }

    std::vector<double> ours, peer;
    long peakBig = 0, peakSmall = 0;
    const std::string peerCommand = "cat '" + big.Old + "' '" + big.New + "' > /dev/null && cat '" +
                                    big.Comparison + "' > '" + big.Copy + "'";
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        peakBig = InChild([&] {
            vm::TPosixFileSystem fs;
            CompareLogFiles(fs, big.Old, big.New, big.Comparison);
        });
        ours.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        if (std::system(peerCommand.c_str()) != 0)
            std::fprintf(stderr, "compare_bench: the peer command failed\n");
        peer.push_back(Seconds(start));
    }
    peakSmall = InChild([&] {
        vm::TPosixFileSystem fs;
        CompareLogFiles(fs, small.Old, small.New, small.Comparison);
    });

    std::printf("tree: old log %lld entries (%lld bytes), new log %lld entries (%lld bytes)\n",
                static_cast<long long>(big.OldEntries), static_cast<long long>(FileSize(big.Old)),
                static_cast<long long>(big.NewEntries), static_cast<long long>(FileSize(big.New)));
    std::printf("comparison: %lld bytes\n", static_cast<long long>(FileSize(big.Comparison)));
    std::printf("compare (CompareLogFiles in a child process): median %.3f s, best %.3f s of %d\n",
                Median(ours), *std::min_element(ours.begin(), ours.end()), runs);
    std::printf("peer (%s): median %.3f s, best %.3f s\n",
                "cat OLD NEW > /dev/null && cat CMP > COPY", Median(peer),
                *std::min_element(peer.begin(), peer.end()));
    std::printf("ratio compare / peer (medians): %.2f\n", Median(ours) / Median(peer));
    std::printf("peak memory of a comparison: %ld KiB at %lld entries, %ld KiB at %lld entries\n",
                peakBig, static_cast<long long>(big.OldEntries), peakSmall,
                static_cast<long long>(small.OldEntries));

    if (keep) {
        std::printf("files kept in %s\n", dir.c_str());
        return 0;
    }
    for (const TFiles* f : {&big, &small})
        for (const std::string* p : {&f->Old, &f->New, &f->Comparison, &f->Copy})
            ::unlink(p->c_str());
    ::rmdir(dir.c_str());
    return 0;
}
