// Latency benchmark: a scan over a file system where every look-up waits on a round trip, as on a
// file server's network volume. A small FUSE file system of our own passes a tree of about 20,000
// entries through and sleeps a fixed time in every lookup, getattr and readdir (with no caching
// in the kernel, so that every look-up reaches it); `vmlog scan --threads 1`, `--threads 4`,
// `--threads 16` and `du -s` run over the mount in the same run.
//
//   latency_scan [--fuse-entries N] [--delay-us N] [--runs N] [--cache DIR]
//   Other options (scripts/bench gives every benchmark the same arguments) are ignored.
//
// Where FUSE cannot be mounted (no /dev/fuse, no permission, no libfuse3 at build time) it says
// so and ends with status 0.
#include "BenchOptions.h"
#include "BenchRun.h"
#include "BenchTree.h"

#include <cstdio>
#include <string>
#include <vector>

#if VOLUMARK_HAVE_FUSE3

#define FUSE_USE_VERSION 312
#include <fuse.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>

namespace {

// The passed-through tree and the wait of every round trip; set before mounting, then only read.
std::string gSource;
long gDelayNs = 200000;

void RoundTrip()
{
    struct timespec t = {0, gDelayNs};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

std::string Source(const char* path)
{
    return gSource + path;
}

void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg)
{
    // Every look-up reaches the file system: nothing is kept in the kernel, and a listing gives
    // names only (no attributes with them), as a server that must be asked about each entry.
    cfg->use_ino = 1;
    cfg->entry_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->negative_timeout = 0;
    conn->want &= ~FUSE_CAP_READDIRPLUS;
    return nullptr;
}

// The kernel's lookups come here too: the high-level interface looks a name up through getattr.
int GetAttr(const char* path, struct stat* st, struct fuse_file_info*)
{
    RoundTrip();
    return lstat(Source(path).c_str(), st) == 0 ? 0 : -errno;
}

int ReadLink(const char* path, char* buffer, size_t size)
{
    RoundTrip();
    ssize_t n = readlink(Source(path).c_str(), buffer, size - 1);
    if (n < 0)
        return -errno;
    buffer[n] = 0;
    return 0;
}

int OpenDir(const char* path, struct fuse_file_info* fi)
{
    DIR* d = opendir(Source(path).c_str());
    if (!d)
        return -errno;
    fi->fh = reinterpret_cast<uintptr_t>(d);
    return 0;
}

int ReadDir(const char*, void* buffer, fuse_fill_dir_t fill, off_t, struct fuse_file_info* fi,
            enum fuse_readdir_flags)
{
    RoundTrip();
    DIR* d = reinterpret_cast<DIR*>(fi->fh);
    rewinddir(d);
    // Offset 0 for every name: the whole listing in one answer.
    while (struct dirent* e = readdir(d)) {
        struct stat st = {};
        st.st_ino = e->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
        if (fill(buffer, e->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0)) != 0)
            break;
    }
    return 0;
}

int ReleaseDir(const char*, struct fuse_file_info* fi)
{
    closedir(reinterpret_cast<DIR*>(fi->fh));
    return 0;
}

// The mounted file system, served by its own threads until it is unmounted.
class TSlowMount
{
public:
    bool Mount(const std::string& at, std::string& why)
    {
        if (access("/dev/fuse", R_OK | W_OK) != 0) {
            why = "/dev/fuse cannot be opened";
            return false;
        }
        static struct fuse_operations ops = {};
        ops.init = Init;
        ops.getattr = GetAttr;
        ops.readlink = ReadLink;
        ops.opendir = OpenDir;
        ops.readdir = ReadDir;
        ops.releasedir = ReleaseDir;
        char program[] = "latency_scan";
        char* argv[] = {program, nullptr};
        struct fuse_args args = FUSE_ARGS_INIT(1, argv);
        fuse_ = fuse_new(&args, &ops, sizeof ops, nullptr);
        fuse_opt_free_args(&args);
        if (!fuse_) {
            why = "the FUSE library would not start";
            return false;
        }
        if (fuse_mount(fuse_, at.c_str()) != 0) {
            why = "mounting " + at + " was refused";
            fuse_destroy(fuse_);
            fuse_ = nullptr;
            return false;
        }
        config_ = fuse_loop_cfg_create();
        // Enough threads for every request of 16 scanning threads to wait at once.
        fuse_loop_cfg_set_max_threads(config_, 64);
        fuse_loop_cfg_set_idle_threads(config_, 64);
        loop_ = std::thread([this] { fuse_loop_mt(fuse_, config_); });
        return true;
    }

    ~TSlowMount()
    {
        if (!fuse_)
            return;
        fuse_exit(fuse_);
        fuse_unmount(fuse_); // wakes the loop
        loop_.join();
        fuse_loop_cfg_destroy(config_);
        fuse_destroy(fuse_);
    }

private:
    struct fuse* fuse_ = nullptr;
    struct fuse_loop_config* config_ = nullptr;
    std::thread loop_;
};

void PrintLine(const char* name, const vmbench::TFigures& f, const vmbench::TFigures& one)
{
    std::printf("  %-28s best %7.2f s  median %7.2f s  %s", name, f.Best, f.Median,
                f.Ok ? "" : "(FAILED) ");
    if (&f != &one)
        std::printf(" --threads 1/this: %.1fx (best %.1fx)", one.Median / f.Median,
                    one.Best / f.Best);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    const vmbench::TBenchArgs args = vmbench::BenchArgsOrExit(
        argc, argv, "latency_scan",
        "Times vmlog scan on 1, 4 and 16 threads and du over a FUSE file system that waits in\n"
        "every look-up.",
        {{"--fuse-entries", "N", "entries in the tree (20,000)"},
         {"--delay-us", "N",
          "microseconds every look-up waits (" + std::to_string(gDelayNs / 1000) + ")"},
         {"--runs", "N", "measure N times (3)"},
         {"--cache", "DIR", "keep the tree built once in DIR (build/bench-cache)"}});
    const int64_t entries = args.Number("--fuse-entries", 20000);
    gDelayNs = args.Number("--delay-us", gDelayNs / 1000) * 1000;
    const int runs = std::max(1, static_cast<int>(args.Number("--runs", 3)));
    const std::string cache = args.Text("--cache", vmbench::SelfDirectory() + "/../bench-cache");
    std::string tree = cache + "/latency-tree-" + std::to_string(entries);
    if (!vmbench::TreeIsComplete(tree)) {
        std::printf("building the latency benchmark tree in %s ...\n", tree.c_str());
        std::fflush(stdout);
        if (!vmbench::BuildTree(tree, entries, 20240602)) {
            std::fprintf(stderr, "latency_scan: cannot build the tree in %s\n", tree.c_str());
            return 1;
        }
    }
    gSource = tree;
    std::string mountPoint = cache + "/latency-mount-XXXXXX";
    if (!mkdtemp(mountPoint.data())) {
        std::perror("latency_scan: mkdtemp");
        return 1;
    }
    std::string why;
    std::string loadBefore = vmbench::LoadAverage();
    {
        TSlowMount mount;
        if (!mount.Mount(mountPoint, why)) {
            rmdir(mountPoint.c_str());
            std::printf("latency scan: FUSE cannot be mounted here (%s); skipped\n", why.c_str());
            return 0;
        }
        std::string vmlog = vmbench::SelfDirectory() + "/../vmlog";
        std::string log = cache + "/latency.kdf";
        auto scan = [&](const char* threads) {
            return std::vector<std::string>{vmlog,  "scan",     "--threads", threads, "--unit",
                                            "4096", mountPoint, "-o",        log};
        };
        vmbench::TFigures one = vmbench::Measure(scan("1"), runs);
        vmbench::TFigures four = vmbench::Measure(scan("4"), runs);
        vmbench::TFigures sixteen = vmbench::Measure(scan("16"), runs);
        vmbench::TFigures du = vmbench::Measure({"du", "-s", mountPoint}, runs);
        std::printf("latency scan of %lld entries through FUSE, %ld us a round trip in every "
                    "lookup, getattr and readdir (%d runs each, load %s before, %s after):\n",
                    static_cast<long long>(entries), gDelayNs / 1000, runs, loadBefore.c_str(),
                    vmbench::LoadAverage().c_str());
        PrintLine("vmlog scan --threads 1", one, one);
        PrintLine("vmlog scan --threads 4", four, one);
        PrintLine("vmlog scan --threads 16", sixteen, one);
        PrintLine("du -s", du, one);
    }
    rmdir(mountPoint.c_str());
    return 0;
}

#else

int main()
{
    std::printf("latency scan: built without libfuse3 (libfuse3-dev); skipped\n");
    return 0;
}

#endif
