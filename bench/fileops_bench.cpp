// Benchmark of copying and deleting listed files on a real tree: "Copy files" of 20,000 small
// files in 200 folders (structure kept) and of one 256 MiB file, and the directory deletion of
// the same tree (scan, delete, mark in the log), each from the logic the windows call, with the
// status window shown as the windows show it.
//
// Beside them, in the same run: cp -r of the same tree, cp of the same file, rm -rf of the same
// tree. The peak memory of a child that copies only the large file shows that no copy holds a
// file in memory.
//
// The trees lie in /dev/shm where it can be written (a file system in memory, so that the figures
// are those of the programs and not of a shared disk's flushing), else in /tmp; --dir chooses.
//
// usage: fileops_bench [--files N] [--runs N] [--dir DIR]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
#include "BenchOptions.h"
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "fileops/CopyFiles.h"
#include "fileops/DirectoryDeletion.h"
#include "platform/ScriptedUserInterface.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vm;
namespace fs = std::filesystem;

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since)
{
    return std::chrono::duration<double>(TClock::now() - since).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Shell(const std::string& command)
{
    return std::system(command.c_str());
}

// Times a command of the peer, after the disk has caught up with what came before (so that
// neither side pays for the other's writing).
double TimedShell(const std::string& command)
{
    ::sync();
    const auto start = TClock::now();
    Shell(command);
    return Seconds(start);
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// files small files of 4 KiB in folders of a hundred, below root/tree.
void MakeTree(const std::string& tree, int files)
{
    const std::string block(4096, 'x');
    for (int i = 0; i < files; ++i) {
        const std::string folder = tree + "/d" + std::to_string(i / 100);
        if (i % 100 == 0)
            fs::create_directories(folder);
        std::ofstream(folder + "/f" + std::to_string(i) + ".dat") << block;
    }
}

// The log of a tree, in memory, and the offsets of its files.
struct TLogged
{
    TMemoryStream Stream;
    std::unique_ptr<TDirStorage> Log;
    std::vector<int64_t> Files;
};

void LogTree(TLogged& logged, const std::string& path)
{
    logged.Stream = TMemoryStream();
    logged.Log = std::make_unique<TDirStorage>(logged.Stream);
    logged.Log->BuildLog({{path + "/", 4096}});
    logged.Files.clear();
    TDirNode node;
    std::string name;
    for (TLogWalk all = TLogWalk::AllRecords(*logged.Log); all.Next(node, name);)
        if (node.Kind == kKindFile)
            logged.Files.push_back(all.Offset());
}

double CopyAll(TLogged& logged, const std::string& from, const std::string& to)
{
    TPosixFileSystem disk;
    TScriptedUserInterface ui;
    TCopyRequest request;
    request.Destination = to + "/";
    request.ShownDirectory = from + "/";
    fs::create_directories(to); // as the copy options dialog leaves it
    ::sync();
    const auto start = TClock::now();
    const TCopyResult result = CopyFiles(*logged.Log, logged.Files, request, disk, ui);
    const double seconds = Seconds(start);
    if (!result.Failures.empty())
        std::fprintf(stderr, "copy failures: %zu, first %s\n", result.Failures.size(),
                     result.Failures[0].c_str());
    return seconds;
}

long PeakKiBOfChild(const std::function<void()>& body)
{
    pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const vmbench::TBenchArgs args = vmbench::BenchArgsOrExit(
        argc, argv, "fileops_bench",
        "Times copying and deleting listed files beside cp and rm on the same trees.",
        {{"--files", "N", "small files in the tree (20,000)"},
         {"--runs", "N", "measure N times (3)"},
         {"--dir", "DIR", "make the trees in a fresh directory under DIR (" + shm + ")"}});
    const int files = static_cast<int>(args.Number("--files", 20000));
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 3)));
    const std::string dir = args.Text("--dir", shm);
    std::string pattern = dir + "/volumark-fileops-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string tree = root + "/tree", big = root + "/big";
    MakeTree(tree, files);
    fs::create_directories(big);
    Shell("head -c 268435456 /dev/urandom > " + Quoted(big + "/large.bin"));
    TLogged small, large;
    LogTree(small, tree);
    LogTree(large, big);
    std::printf("tree: %d files of 4 KiB in %d folders; large file: 256 MiB; %d runs in %s\n",
                files, (files + 99) / 100, runs, dir.c_str());

    std::vector<double> ours, cp, oursBig, cpBig, deletion, rm;
    for (int run = 0; run < runs; ++run) {
        fs::remove_all(root + "/copy");
        ours.push_back(CopyAll(small, tree, root + "/copy"));
        fs::remove_all(root + "/copy");
        cp.push_back(TimedShell("cp -r " + Quoted(tree) + " " + Quoted(root + "/copy")));
        fs::remove_all(root + "/copy");

        oursBig.push_back(CopyAll(large, big, root + "/bigcopy"));
        fs::remove_all(root + "/bigcopy");
        cpBig.push_back(
            TimedShell("cp " + Quoted(big + "/large.bin") + " " + Quoted(root + "/large.copy")));
        fs::remove(root + "/large.copy");

        // The directory dialog's deletion of a copy of the tree: scan, delete, mark.
        Shell("cp -r " + Quoted(tree) + " " + Quoted(root + "/doomed"));
        TLogged doomed;
        LogTree(doomed, root);
        TPosixFileSystem disk;
        TDirectoryDeletion work;
        work.Prepare(*doomed.Log, doomed.Log->FindPath(root + "/doomed"), disk);
        TDirectoryProgress quiet{[](const std::string&) {}, [](int) {}, [](const std::string&) {},
                                 [] {}, [] { return false; }};
        ::sync();
        const auto start = TClock::now();
        const TDirectoryDeleted done = work.Delete(true, quiet);
        deletion.push_back(Seconds(start));
        if (!done.DirectoryMarked)
            std::fprintf(stderr, "the deletion left %zu entries\n", done.NotDeleted.size());
        Shell("cp -r " + Quoted(tree) + " " + Quoted(root + "/doomed"));
        rm.push_back(TimedShell("rm -rf " + Quoted(root + "/doomed")));
    }
    const long peak = PeakKiBOfChild([&] { CopyAll(large, big, root + "/bigcopy"); });
    const long idle = PeakKiBOfChild([] {});

    std::printf(
        "copy %d small files    volumark median %.3f s   cp -r median %.3f s   ratio %.2f\n", files,
        Median(ours), Median(cp), Median(ours) / Median(cp));
    std::printf(
        "copy one 256 MiB file  volumark median %.3f s   cp    median %.3f s   ratio %.2f\n",
        Median(oursBig), Median(cpBig), Median(oursBig) / Median(cpBig));
    std::printf(
        "delete the tree        volumark median %.3f s   rm -rf median %.3f s  ratio %.2f\n",
        Median(deletion), Median(rm), Median(deletion) / Median(rm));
    std::printf("peak memory of a child copying the 256 MiB file: %ld KiB (a child that does "
                "nothing: %ld KiB)\n",
                peak, idle);
    fs::remove_all(root);
    return 0;
}
