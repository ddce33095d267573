// Scans whose directories are listed ahead by worker threads: for any tree, the log is the same
// to the byte as one thread writes, whatever the number of threads, the limits on listing ahead,
// and whichever thread happens to list a directory that vanishes, breaks off or holds a hard
// link; a stop ends every thread.
#include "core/DirStorage.h"
#include "core/LogWriter.h"
#include "core/TreeScanner.h"
#include "support/FaultyFileSystem.h"
#include "support/LogInvariants.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::IsEmpty;

namespace {

struct ScanResult
{
    std::vector<uint8_t> Bytes;
    std::vector<std::string> Unreadable; // "path errno"
    bool Stopped = false;
    size_t StatusCalls = 0;
};

struct ScanSetup
{
    unsigned Threads = 1;
    TLookahead Limits;
    size_t MaxOpen = 256;
    size_t StopAtStatus = 0; // 0: never stop
};

// A log of the roots written with a fixed date and clock, so that two scans of one tree can be
// compared byte for byte.
ScanResult ScanWith(FaultyFileSystem& fs, const std::vector<TScanRoot>& roots,
                    const ScanSetup& setup)
{
    TMemoryStream stream;
    ScanResult result;
    {
        TLogWriter writer(stream, 45000.5);
        writer.SetClock([] { return 45000.25; });
        TTreeScanner scanner(fs, writer);
        scanner.SetThreads(setup.Threads);
        scanner.SetLookahead(setup.Limits);
        scanner.SetMaxOpenDirectories(setup.MaxOpen);
        std::thread::id walker = std::this_thread::get_id();
        scanner.SetStatusEvent([&](const std::string&, bool& stop) {
            EXPECT_EQ(std::this_thread::get_id(), walker);
            stop = ++result.StatusCalls == setup.StopAtStatus;
        });
        for (const TScanRoot& r : roots)
            scanner.ScanRoot(r.Path, r.Unit);
        result.Stopped = scanner.Stopped();
        writer.Finish();
        for (const TUnreadableDirectory& d : writer.UnreadableDirectories())
            result.Unreadable.push_back(d.Path + " " + std::to_string(d.Error));
    }
    result.Bytes = stream.Bytes();
    return result;
}

// Variants of the scan that must all write the same log: one thread; two and eight with the
// default limits; eight with limits so small that the walker lists most directories itself and
// the queue fills and empties all the time; four with listing ahead only near the root.
std::vector<ScanSetup> Variants()
{
    std::vector<ScanSetup> v(5);
    v[1].Threads = 2;
    v[2].Threads = 8;
    v[3].Threads = 8;
    v[3].Limits = {3, 2, 1000};
    v[4].Threads = 4;
    v[4].Limits.Depth = 2;
    v[4].MaxOpen = 6;
    return v;
}

// The log with the three times of every record cleared.
std::vector<uint8_t> WithoutTimes(std::vector<uint8_t> bytes)
{
    int32_t end = GetI32(&bytes[hdr::TagListOffset]);
    for (int32_t at = kLogHeaderSize; at + kRecordFixedSize <= end;) {
        uint16_t length = GetU16(&bytes[static_cast<size_t>(at)]);
        if (length == 0)
            break;
        std::fill(bytes.begin() + at + rec::Created, bytes.begin() + at + rec::Size, 0);
        at += length;
    }
    return bytes;
}

std::string Describe(const ScanSetup& s)
{
    return std::to_string(s.Threads) + " threads, lookahead " + std::to_string(s.Limits.Entries) +
           "/" + std::to_string(s.Limits.Directories) + "/" + std::to_string(s.Limits.Depth);
}

void WriteSized(const std::string& path, size_t size)
{
    int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    std::string data(size, 'x');
    ASSERT_EQ(write(fd, data.data(), data.size()), static_cast<ssize_t>(size));
    close(fd);
}

class ParallelScanTest : public ::testing::Test
{
protected:
    std::string Root() const { return dir_ / "t/"; }
    std::string P(const std::string& name) const { return dir_ / ("t/" + name); }
    void MakeDir(const std::string& name) const { std::filesystem::create_directories(P(name)); }
    void MakeFile(const std::string& name, size_t size) const
    {
        std::filesystem::create_directories(std::filesystem::path(P(name)).parent_path());
        WriteSized(P(name), size);
    }

    // Every variant writes the same bytes and reports the same directories as one thread;
    // returns what one thread gave. rebuild makes the tree anew before each scan (for scans
    // that change it); the times of the entries then differ from one tree to the next and are
    // left out of the comparison.
    ScanResult ExpectSameLogEverywhere(FaultyFileSystem& fs,
                                       const std::function<void()>& rebuild = {}, size_t stopAt = 0)
    {
        // The first listing of a new directory sets its access time, which the next scan logs:
        // one scan first, so that every scan compared sees the same times.
        if (!rebuild)
            ScanWith(fs, {{Root(), 4096}}, {});
        ScanResult first;
        for (ScanSetup setup : Variants()) {
            if (rebuild)
                rebuild();
            setup.StopAtStatus = stopAt;
            ScanResult r = ScanWith(fs, {{Root(), 4096}}, setup);
            if (rebuild)
                r.Bytes = WithoutTimes(r.Bytes);
            if (setup.Threads == 1) {
                first = r;
                continue;
            }
            EXPECT_TRUE(r.Bytes == first.Bytes) << Describe(setup);
            EXPECT_EQ(r.Unreadable, first.Unreadable) << Describe(setup);
            EXPECT_EQ(r.Stopped, first.Stopped) << Describe(setup);
            EXPECT_EQ(r.StatusCalls, first.StatusCalls) << Describe(setup);
            EXPECT_EQ(fs.OpenDirectories, 0) << Describe(setup);
        }
        TMemoryStream copy;
        copy.Write(first.Bytes.data(), static_cast<int64_t>(first.Bytes.size()));
        TDirStorage log(copy);
        EXPECT_THAT(LogFaults(log, {4096}), IsEmpty());
        return first;
    }

    TempDir dir_;
};

TEST_F(ParallelScanTest, HardCasesGiveTheSameLogWithAnyNumberOfThreads)
{
    MakeDir("sizes/sub/deeper");
    for (auto [name, size] : std::vector<std::pair<const char*, size_t>>{
             {"empty", 0}, {"one", 1}, {"exact", 8192}, {"over", 4097}, {"sub/f", 10}})
        MakeFile(std::string("sizes/") + name, size);
    MakeDir("names");
    for (const char* n :
         {"b", "B", "a", "A_", "a_", "_x", "Z", "ab", "aB", "\xC3\xA9", "README.TXT", "ReadMe",
          "readme", "tab\there", "new\nline", "\x01\x7f", "\xff\xfe latin", ".profile"})
        MakeFile(std::string("names/") + n, 3);
    MakeDir(".cache/inner");
    MakeFile(".cache/x", 5);
    ASSERT_EQ(symlink(dir_.Path().c_str(), P("todir").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", P("dangling").c_str()), 0);
    MakeDir("a");
    MakeDir("b");
    MakeFile("a/x", 5000);
    ASSERT_EQ(link(P("a/x").c_str(), P("b/y").c_str()), 0);
    int fd = open(P("sparse").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 10 * 1024 * 1024), 0);
    close(fd);
    std::string deep = "deep";
    for (int i = 0; i < 40; ++i) {
        deep += "/level-" + std::to_string(i);
        MakeDir(deep + "-side");
        MakeFile(deep + "-side/f", static_cast<size_t>(i));
    }
    MakeDir("wide");
    for (int i = 0; i < 1500; ++i)
        MakeFile("wide/file-" + std::to_string(i), static_cast<size_t>(i % 7));
    for (const char* d : {"locked", "mnt"}) {
        MakeDir(d);
        MakeFile(std::string(d) + "/inside", 10);
    }
    MakeFile("gone", 10);

    FaultyFileSystem fs;
    fs.UnopenableDirectories = {"locked"};
    fs.OtherDeviceNames = {"mnt"};
    fs.VanishingNames = {"gone"};
    ScanResult r = ExpectSameLogEverywhere(fs);
    EXPECT_EQ(r.Unreadable, std::vector<std::string>{P("locked/") + " " + std::to_string(EACCES)});
}

// Trees grown at random from a seed: directories at every depth (some in long chains), files
// of every size, empty directories, hard links across directories, links to directories, and
// names that differ only in case.
void GrowRandomTree(const std::string& root, uint32_t seed, int entries)
{
    std::mt19937 random(seed);
    auto pick = [&random](size_t n) { return static_cast<size_t>(random() % n); };
    std::vector<std::string> dirs = {root}, files;
    const std::vector<std::string> stems = {
        "a",  "A", "b", "Data", "data", "DATA", ".hidden", "x.txt", "X.TXT", "\xC3\xA9t\xC3\xA9",
        "_u", "z9"};
    for (int i = 0; i < entries; ++i) {
        // A new directory often lies in the newest one, so that some chains run deep.
        const std::string& parent = pick(3) == 0 ? dirs.back() : dirs[pick(dirs.size())];
        std::string path = parent + "/" + stems[pick(stems.size())] + "-" + std::to_string(i);
        size_t kind = pick(20);
        if (kind < 4) {
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
            dirs.push_back(path);
        } else if (kind == 4 && !files.empty()) {
            ASSERT_EQ(link(files[pick(files.size())].c_str(), path.c_str()), 0);
        } else if (kind == 5) {
            ASSERT_EQ(symlink(dirs[pick(dirs.size())].c_str(), path.c_str()), 0);
        } else {
            WriteSized(path, kind == 6 ? 0 : pick(9000));
            files.push_back(path);
        }
    }
}

TEST_F(ParallelScanTest, SeededRandomTreesGiveTheSameLogWithAnyNumberOfThreads)
{
    for (uint32_t seed : {1u, 2u, 3u, 20240601u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::filesystem::remove_all(P(""));
        MakeDir("");
        GrowRandomTree(dir_ / "t", seed, 1500);
        FaultyFileSystem fs;
        ExpectSameLogEverywhere(fs);
    }
}

// Directories that vanish or become unreadable while they are listed, whichever thread lists
// them: each is logged as far as it was read and reported with the same reason.
TEST_F(ParallelScanTest, DirectoryThatVanishesOrBreaksOffWhileListedIsLoggedAlike)
{
    auto build = [this] {
        std::filesystem::remove_all(P(""));
        for (const char* d : {"vanishing", "breaking", "removed-before-open", "plain"}) {
            for (int i = 0; i < 6; ++i) {
                MakeDir(std::string(d) + "/sub-" + std::to_string(i));
                MakeFile(std::string(d) + "/file-" + std::to_string(i), 100);
                MakeFile(std::string(d) + "/sub-" + std::to_string(i) + "/f", 10);
            }
        }
    };
    FaultyFileSystem fs;
    fs.Inject = [](const std::string& op, const std::string& path) {
        std::string name = std::filesystem::path(path).filename().string();
        if (op == "list" && name == "vanishing") {
            std::filesystem::remove_all(path); // as another program might, while it is listed
            return 0;
        }
        if (op == "list" && name == "breaking")
            return EIO; // half of it read, then the disk fails
        if (op == "openat" && name == "removed-before-open")
            return ENOENT;
        return 0;
    };
    ScanResult r = ExpectSameLogEverywhere(fs, build);
    EXPECT_EQ(r.Unreadable,
              (std::vector<std::string>{P("breaking/") + " " + std::to_string(EIO),
                                        P("removed-before-open/") + " " + std::to_string(ENOENT),
                                        P("vanishing/") + " " + std::to_string(ENOENT)}));
}

size_t ThreadsOfThisProcess()
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// A stop in the middle while workers are busy listing: the log holds exactly what one thread
// would have written up to the same status call, and no worker and no open directory is left.
TEST_F(ParallelScanTest, StopWithWorkersBusyEndsEveryThread)
{
    for (int d = 0; d < 40; ++d)
        for (int f = 0; f < 12; ++f)
            MakeFile("dir-" + std::to_string(d) + "/sub/file-" + std::to_string(f), 1);
    for (int d = 0; d < 40; ++d)
        for (int f = 0; f < 12; ++f)
            MakeFile("dir-" + std::to_string(d) + "/file-" + std::to_string(f), 1);
    FaultyFileSystem fs;
    // Listings take a while, so that workers are in the middle of theirs when the stop comes.
    fs.Inject = [](const std::string& op, const std::string&) {
        if (op == "list")
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    };
    size_t before = ThreadsOfThisProcess();
    for (size_t stopAt : {1u, 50u, 300u}) {
        SCOPED_TRACE("stop at status call " + std::to_string(stopAt));
        ScanResult r = ExpectSameLogEverywhere(fs, {}, stopAt);
        EXPECT_TRUE(r.Stopped);
        EXPECT_EQ(r.StatusCalls, stopAt);
        EXPECT_EQ(ThreadsOfThisProcess(), before);
    }
}

// Many names of two files, in directories that different workers list: the space is counted on
// the first name the walk meets, as with one thread, not on the first a worker happened to see.
TEST_F(ParallelScanTest, HardLinksListedByDifferentWorkersCountOnTheFirstNameWalked)
{
    MakeFile("original", 5000);
    MakeFile("second", 300);
    for (int d = 0; d < 24; ++d) {
        std::string dir = "d" + std::to_string(100 + d);
        MakeDir(dir + "/inner");
        ASSERT_EQ(link(P("original").c_str(), P(dir + "/inner/name").c_str()), 0);
        ASSERT_EQ(link(P("second").c_str(), P(dir + "/other").c_str()), 0);
    }
    FaultyFileSystem fs;
    std::mutex mutex;
    std::set<std::thread::id> listers;
    fs.Inject = [&](const std::string& op, const std::string&) {
        if (op == "list") {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            std::lock_guard<std::mutex> lock(mutex);
            listers.insert(std::this_thread::get_id());
        }
        return 0;
    };
    ScanResult one = ExpectSameLogEverywhere(fs);
    EXPECT_GT(listers.size(), 2u);

    TMemoryStream copy;
    copy.Write(one.Bytes.data(), static_cast<int64_t>(one.Bytes.size()));
    TDirStorage log(copy);
    int counted = 0, repeats = 0;
    std::string first;
    for (const LoggedRecord& r : AllRecords(log)) {
        if (r.Name != "name" && r.Name != "original")
            continue;
        if (r.Node.Allocated == 8192) {
            ++counted;
            first = r.Path;
        } else if (r.Node.Allocated == 0) {
            ++repeats;
        }
    }
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(repeats, 24);
    EXPECT_EQ(first, P("d100/inner/name"));
}

// A tree deeper than the walk may keep open: the directories left behind are reached again
// through "..", the pool lists ahead only near the root, and the open directories stay bounded.
TEST_F(ParallelScanTest, DeepTreeStaysWithinTheOpenLimitWithWorkers)
{
    std::string path = "d";
    for (int i = 0; i < 60; ++i) {
        path += "/d" + std::to_string(i);
        MakeDir(path + "-sibling");
        MakeFile(path + "-sibling/f", 3);
    }
    FaultyFileSystem one, many;
    ScanSetup setup;
    setup.MaxOpen = 8;
    // The first listing of a new directory sets its access time, which the next scan logs.
    ScanWith(one, {{Root(), 4096}}, setup);
    ScanResult single = ScanWith(one, {{Root(), 4096}}, setup);
    setup.Threads = 8;
    setup.Limits.Directories = 4;
    ScanResult parallel = ScanWith(many, {{Root(), 4096}}, setup);
    EXPECT_TRUE(parallel.Bytes == single.Bytes);
    EXPECT_EQ(many.OpenDirectories, 0);
    // The walk's own, one for each listing made ahead or being made, and one reached through "..".
    EXPECT_LE(many.MostOpenDirectories, 8 + 4 + 8 + 1);
}

} // namespace
