// Scans of real trees built in temporary directories: what each entry is logged as, in which
// order, and that every log keeps its links and totals.
#include "core/DirStorage.h"
#include "core/ScanRecorder.h"
#include "core/TreeScanner.h"
#include "support/FaultyFileSystem.h"
#include "support/FaultyStream.h"
#include "support/LogInvariants.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class ScanTreeTest : public ::testing::Test
{
protected:
    void SetUp() override { dir_.MakeDir("t"); }

    // The root as a log names it.
    std::string Root() const { return dir_ / "t/"; }
    std::string P(const std::string& name) const { return dir_ / ("t/" + name); }
    void MakeDir(const std::string& name) const { dir_.MakeDir("t/" + name); }
    void MakeFile(const std::string& name, size_t size) const
    {
        dir_.WriteFile("t/" + name, std::string(size, 'x'));
    }

    TDirStorage& Scan(const std::vector<int32_t>& units = {4096},
                      std::vector<std::string> paths = {})
    {
        if (paths.empty())
            paths = {Root()};
        std::vector<TScanRoot> roots;
        for (size_t i = 0; i < paths.size(); ++i)
            roots.push_back({paths[i], i < units.size() ? units[i] : 0});
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        if (fs_)
            log_->SetFileSystem(*fs_);
        if (status_)
            log_->SetStatusEvent(status_);
        log_->BuildLog(roots);
        return *log_;
    }

    // The record whose full path is P(name) (or the root for "").
    LoggedRecord Record(const std::string& name)
    {
        std::string want = name.empty() ? Root().substr(0, Root().size() - 1) : P(name);
        for (const LoggedRecord& r : AllRecords(*log_))
            if (r.Path == want)
                return r;
        ADD_FAILURE() << "no record " << want;
        return {};
    }
    // The names of the root's entries in log order.
    std::vector<std::string> RootEntries()
    {
        std::vector<std::string> names;
        for (const LoggedRecord& r : AllRecords(*log_))
            if (r.Node.Level == 1)
                names.push_back(r.Name);
        return names;
    }

    TempDir dir_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    std::unique_ptr<FaultyFileSystem> fs_;
    TStatusEvent status_;
};

class AllocationUnitTest : public ScanTreeTest, public ::testing::WithParamInterface<int32_t>
{
};

TEST_P(AllocationUnitTest, FilesRoundUpAndDirectoriesTakeOneUnit)
{
    const int64_t u = GetParam();
    MakeFile("empty", 0);
    MakeFile("one", 1);
    MakeFile("exact", 8192);
    MakeFile("over", 4097);
    MakeDir("sub/deeper");
    MakeFile("sub/f", 10);
    TDirStorage& log = Scan({static_cast<int32_t>(u)});
    auto up = [u](int64_t s) { return u > 0 && s % u ? s + u - s % u : s; };

    EXPECT_EQ(Record("empty").Node.Allocated, 0);
    EXPECT_EQ(Record("one").Node.Allocated, up(1));
    EXPECT_EQ(Record("exact").Node.Allocated, 8192);
    EXPECT_EQ(Record("over").Node.Allocated, up(4097));
    // An empty directory: no bytes, one unit; its parent counts the unit too.
    EXPECT_EQ(Record("sub/deeper").Node.Size, 0);
    EXPECT_EQ(Record("sub/deeper").Node.Allocated, u);
    EXPECT_EQ(Record("sub").Node.Size, 10);
    EXPECT_EQ(Record("sub").Node.Allocated, u + u + up(10));
    // The root has no unit of its own.
    EXPECT_EQ(Record("").Node.Size, 1 + 8192 + 4097 + 10);
    EXPECT_EQ(Record("").Node.Allocated, up(1) + 8192 + up(4097) + 2 * u + up(10));
    EXPECT_THAT(LogFaults(log, {static_cast<int32_t>(u)}), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Units, AllocationUnitTest, ::testing::Values(0, 1, 4096));

TEST_F(ScanTreeTest, SingleEmptyDirectoryIsHeaderRootAndTagNames)
{
    TDirStorage& log = Scan();
    std::vector<std::string> names = DefaultTagNames();
    for (size_t i = 0; i < names.size(); ++i)
        log.SetTagName(static_cast<int>(i + 1), names[i]);
    std::string tagLines;
    for (const std::string& n : names)
        tagLines += n + "\r\n";
    const std::vector<uint8_t>& b = stream_.Bytes();
    ASSERT_EQ(b.size(), 40 + Root().size() + 66 + tagLines.size());
    EXPECT_EQ(std::string(b.begin(), b.begin() + 14), std::string("Volumark 1.02\x1A"));
    EXPECT_EQ(GetU16(&b[14]), 24);
    EXPECT_EQ(GetI32(&b[24]), static_cast<int32_t>(40 + Root().size() + 66));
    EXPECT_EQ(std::string(b.end() - tagLines.size(), b.end()), tagLines);
    TDirNode root;
    std::string name;
    ASSERT_TRUE(log.ReadNode(40, root, name));
    EXPECT_EQ(name, Root());
    EXPECT_EQ(root.NextOffset, -1);
    EXPECT_EQ(root.Size, 0);
    EXPECT_EQ(root.Allocated, 0);
    EXPECT_EQ(root.Attributes, faDirectory);
    EXPECT_EQ(GetU16(&b[40]), Root().size() + 66);
}

TEST_F(ScanTreeTest, NamesSortUpperCasedThenByTheirExactBytes)
{
    for (const char* n : {"b", "B", "a", "A_", "a_", "_x", "Z", "ab", "aB", "\xC3\xA9",
                          "README.TXT", "ReadMe", "readme"})
        MakeFile(n, 1);
    Scan();
    EXPECT_THAT(RootEntries(), ElementsAre("a", "aB", "ab", "A_", "a_", "B", "b", "ReadMe",
                                           "readme", "README.TXT", "Z", "_x", "\xC3\xA9"));
}

TEST_F(ScanTreeTest, DotNamesAreLoggedHidden)
{
    MakeFile(".profile", 3);
    MakeDir(".cache");
    MakeFile(".cache/x", 5);
    MakeFile("visible", 1);
    Scan();
    EXPECT_THAT(RootEntries(), ElementsAre(".cache", ".profile", "visible"));
    EXPECT_EQ(Record(".profile").Node.Attributes, faHidden);
    EXPECT_EQ(Record(".cache").Node.Attributes, faDirectory | faHidden);
    EXPECT_EQ(Record(".cache/x").Node.Attributes, faNormal);
    EXPECT_EQ(Record("").Node.Size, 9);
}

TEST_F(ScanTreeTest, SymbolicLinksAreFilesThatAreNeverFollowed)
{
    TempDir outside;
    outside.WriteFile("big", std::string(100000, 'y'));
    ASSERT_EQ(symlink(outside.Path().c_str(), P("todir").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", P("dangling").c_str()), 0);
    TDirStorage& log = Scan();
    struct stat st = {};
    ASSERT_EQ(lstat(P("todir").c_str(), &st), 0);
    LoggedRecord link = Record("todir");
    EXPECT_EQ(link.Node.Kind, kKindFile);
    EXPECT_EQ(link.Node.Attributes, faReparsePoint);
    EXPECT_EQ(link.Node.Size, static_cast<int64_t>(outside.Path().size()));
    EXPECT_EQ(link.Node.Allocated, st.st_blocks * 512);
    EXPECT_EQ(Record("dangling").Node.Size, 7);
    EXPECT_EQ(AllRecords(log).size(), 3u); // the root and the two links, nothing behind them
}

TEST_F(ScanTreeTest, HardLinkedFileCountsItsSpaceOnceOnTheFirstName)
{
    MakeDir("a");
    MakeDir("b");
    MakeFile("a/x", 5000);
    ASSERT_EQ(link(P("a/x").c_str(), P("b/y").c_str()), 0);
    TDirStorage& log = Scan();
    EXPECT_EQ(Record("a/x").Node.Allocated, 8192);
    EXPECT_EQ(Record("b/y").Node.Allocated, 0);
    EXPECT_EQ(Record("b/y").Node.Size, 5000);
    EXPECT_EQ(Record("").Node.Allocated, 4096 + 8192 + 4096);
    EXPECT_THAT(LogFaults(log, {4096}), IsEmpty());
}

TEST_F(ScanTreeTest, SparseFileTakesWhatTheDiskHolds)
{
    int fd = open(P("sparse").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 10 * 1024 * 1024), 0);
    ASSERT_EQ(pwrite(fd, "data", 4, 5 * 1024 * 1024), 4);
    close(fd);
    Scan();
    struct stat st = {};
    ASSERT_EQ(stat(P("sparse").c_str(), &st), 0);
    LoggedRecord r = Record("sparse");
    EXPECT_EQ(r.Node.Attributes, faSparse);
    EXPECT_EQ(r.Node.Size, 10 * 1024 * 1024);
    EXPECT_EQ(r.Node.Allocated, st.st_blocks * 512);
}

// A directory that cannot be read at all, and one whose names can be read but whose entries
// cannot be looked at (no search permission), are both logged empty and reported with the reason.
TEST_F(ScanTreeTest, UnreadableAndUnsearchableDirectoriesAreLoggedEmptyAndReported)
{
    for (const char* d : {"locked", "names-only"}) {
        MakeDir(d);
        MakeFile(std::string(d) + "/secret", 10);
        MakeDir(std::string(d) + "/sub");
    }
    chmod(P("locked").c_str(), 0);
    chmod(P("names-only").c_str(), 0644);
    std::optional<bool> sound = vmtest::RunUnprivileged(dir_.Path(), [&] {
        TDirStorage& log = Scan();
        std::vector<std::string> reported;
        for (const TUnreadableDirectory& d : log.UnreadableDirectories())
            reported.push_back(d.Path + " " + ErrorText(d.Error));
        return Record("locked").Node.Allocated == 4096 &&
               Record("names-only").Node.Allocated == 4096 && AllRecords(log).size() == 3 &&
               reported == std::vector<std::string>{P("locked/") + " " + ErrorText(EACCES),
                                                    P("names-only/") + " " + ErrorText(EACCES)};
    });
    chmod(P("locked").c_str(), 0700);
    chmod(P("names-only").c_str(), 0700);
    ASSERT_TRUE(sound.has_value()) << "could not run as an unprivileged user";
    EXPECT_TRUE(*sound);
}

TEST_F(ScanTreeTest, DirectoryThatCannotBeOpenedOrLiesOnAnotherDeviceIsEmpty)
{
    fs_ = std::make_unique<FaultyFileSystem>();
    fs_->UnopenableDirectories = {"locked"};
    fs_->OtherDeviceNames = {"mnt"};
    fs_->VanishingNames = {"gone"};
    for (const char* d : {"locked", "mnt"}) {
        MakeDir(d);
        MakeFile(std::string(d) + "/inside", 10);
    }
    MakeFile("gone", 10);
    TDirStorage& log = Scan();
    EXPECT_THAT(RootEntries(), ElementsAre("locked", "mnt"));
    EXPECT_EQ(AllRecords(log).size(), 3u);
    EXPECT_EQ(Record("mnt").Node.Allocated, 4096);
    EXPECT_EQ(Record("mnt").Node.Attributes, faDirectory);
    EXPECT_THAT(LogFaults(log, {4096}), IsEmpty());
    // The directory that could not be opened is reported with its reason; the other file system
    // is no failure.
    ASSERT_EQ(log.UnreadableDirectories().size(), 1u);
    EXPECT_EQ(log.UnreadableDirectories()[0].Path, P("locked/"));
    EXPECT_EQ(log.UnreadableDirectories()[0].Error, EACCES);
}

TEST_F(ScanTreeTest, NamesWithOddBytesAreKeptAsTheyAre)
{
    const std::vector<std::string> odd = {"tab\there",      "new\nline", "back\\slash", "\x01\x7f",
                                          "\xff\xfe latin", "spa ce ",   "UPPER"};
    for (const std::string& n : odd)
        MakeFile(n, 2);
    TDirStorage& log = Scan();
    for (const std::string& n : odd) {
        LoggedRecord r = Record(n);
        EXPECT_EQ(r.Name, n);
        EXPECT_EQ(log.FindPath(P(n)), r.Offset) << n;
    }
}

TEST_F(ScanTreeTest, TreeDeeperThan32LevelsKeepsEveryLevelAndFullPath)
{
    std::string path;
    for (int i = 0; i < 40; ++i) {
        path += (i ? "/" : "") + std::string("level-") + std::to_string(i) + "-padding-name";
        MakeDir(path);
        MakeFile(path + "/f", 1);
    }
    TDirStorage& log = Scan();
    LoggedRecord deepest = Record(path + "/f");
    EXPECT_EQ(deepest.Node.Level, 41);
    EXPECT_GT(deepest.Path.size(), 255u);
    EXPECT_EQ(log.FindPath(P(path + "/f")), deepest.Offset);
    EXPECT_EQ(Record("").Node.Allocated, 40 * 4096 + 40 * 4096);
    EXPECT_THAT(LogFaults(log, {4096}), IsEmpty());
}

// A window of open directories smaller than the depth: the directories left behind are reached
// again through "..", and the entries come out exactly as with every directory open.
TEST_F(ScanTreeTest, DeepTreeNeedsNoMoreOpenDirectoriesThanAllowed)
{
    std::string path;
    for (int i = 0; i < 30; ++i) {
        path += (i ? "/" : "") + std::string("d") + std::to_string(i);
        MakeDir(path);
        MakeDir(path + "-sibling");
        MakeFile(path + "-sibling/f", 3);
    }
    auto trace = [&](size_t maxOpen, FaultyFileSystem& fs) {
        TScanRecorder recorder;
        TTreeScanner scanner(fs, recorder);
        scanner.SetMaxOpenDirectories(maxOpen);
        scanner.ScanRoot(Root(), 4096);
        return recorder.Trace();
    };
    FaultyFileSystem wide, narrow;
    std::vector<std::string> all = trace(1000, wide), limited = trace(4, narrow);
    EXPECT_EQ(limited, all);
    EXPECT_EQ(all.size(), 1 + 30 * 3 + 30 * 2 + 1u);
    EXPECT_LE(narrow.MostOpenDirectories, 5);
    EXPECT_EQ(narrow.OpenDirectories, 0);
    EXPECT_GT(wide.MostOpenDirectories, 30);
}

// On the way up, a directory that holds nothing more still leads back to the one above it, whose
// remaining subdirectories are read as they are.
TEST_F(ScanTreeTest, DeepChainLeadsBackToSubdirectoriesLeftAbove)
{
    MakeDir("a/b/c/d/e/f/g");
    MakeDir("a/z");
    MakeFile("a/z/inside", 1);
    auto trace = [&](size_t maxOpen) {
        FaultyFileSystem fs;
        TScanRecorder recorder;
        TTreeScanner scanner(fs, recorder);
        scanner.SetMaxOpenDirectories(maxOpen);
        scanner.ScanRoot(Root(), 4096);
        EXPECT_EQ(fs.OpenDirectories, 0);
        return recorder.Trace();
    };
    std::vector<std::string> limited = trace(3);
    EXPECT_EQ(limited, trace(1000));
    EXPECT_THAT(limited, ::testing::Contains("entry 3 " + Root() + "a/z/inside"));
}

TEST_F(ScanTreeTest, RecorderSeesTheDocumentedCallSequence)
{
    MakeFile("a.txt", 1);
    MakeDir("sub");
    MakeFile("sub/b", 1);
    MakeFile("z", 1);
    FaultyFileSystem fs;
    TScanRecorder recorder;
    TTreeScanner scanner(fs, recorder);
    scanner.ScanRoot(Root(), 4096);
    EXPECT_THAT(recorder.Trace(),
                ElementsAre("root " + Root(), "entry 1 " + Root() + "a.txt",
                            "entry 1 " + Root() + "sub", "entry 2 " + Root() + "sub/b", "end 1",
                            "entry 1 " + Root() + "z", "end 0"));
}

TEST_F(ScanTreeTest, StatusGetsEachListedDirectoryAndAStopEndsTheWholeScan)
{
    for (const char* d : {"a", "b", "c"}) {
        MakeDir(d);
        for (const char* f : {"1", "2", "3"})
            MakeFile(std::string(d) + "/" + f, 1);
    }
    std::vector<std::string> texts;
    status_ = [&texts](const std::string& text, bool& stop) {
        texts.push_back(text);
        stop = texts.size() == 5; // the second entry of a/
    };
    TDirStorage& log = Scan();
    EXPECT_TRUE(log.WasStopped());
    EXPECT_THAT(texts, ElementsAre(Root(), Root(), Root(), P("a/"), P("a/")));
    // The root and a/ were written; nothing after the stop; what is there is sound.
    EXPECT_THAT(RootEntries(), ElementsAre("a"));
    EXPECT_THAT(LogFaults(log, {4096}), IsEmpty());
    EXPECT_EQ(Record("a").Node.Allocated, 4096);
}

TEST_F(ScanTreeTest, MessagePumpRunsOnceBeforeEachSubdirectory)
{
    MakeDir("a/b");
    MakeDir("c");
    MakeFile("f", 1);
    stream_ = TMemoryStream();
    TDirStorage log(stream_);
    int pumped = 0;
    log.SetMessagePump([&pumped] { ++pumped; });
    log.BuildLog({{Root(), 512}});
    EXPECT_EQ(pumped, 3);
    EXPECT_FALSE(log.WasStopped());
}

TEST_F(ScanTreeTest, SeveralRootsChainAndKeepTheirOwnUnits)
{
    MakeDir("one/x");
    MakeDir("two/y");
    MakeFile("two/y/f", 1);
    TDirStorage& log = Scan({1024, 512}, {P("one"), P("two/")});
    std::vector<std::string> roots;
    TDirNode n;
    std::string name;
    for (int32_t at = log.FirstOffset(); log.ReadNode(at, n, name); at = n.NextSiblingOffset)
        roots.push_back(name);
    EXPECT_THAT(roots, ElementsAre(P("one/"), P("two/")));
    EXPECT_THAT(LogFaults(log, {1024, 512}), IsEmpty());
    EXPECT_EQ(log.FindPath(P("two/y/f")), Record("two/y/f").Offset);
}

TEST_F(ScanTreeTest, RootPathThatDoesNotFitARecordIsRefusedBeforeWriting)
{
    std::string longPath = "/" + std::string(300, 'p') + "/";
    stream_ = TMemoryStream();
    TDirStorage log(stream_);
    try {
        log.BuildLog({{Root(), 4096}, {longPath, 4096}});
        FAIL() << "no error";
    } catch (const EScanError& e) {
        EXPECT_THAT(e.what(), HasSubstr("longer than 259 bytes"));
    }
    EXPECT_EQ(stream_.Size(), 0);
}

TEST_F(ScanTreeTest, MissingRootIsAnEmptyRoot)
{
    TDirStorage& log = Scan({4096}, {P("missing/")});
    std::vector<LoggedRecord> all = AllRecords(log);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Name, P("missing/"));
}

TEST_F(ScanTreeTest, DatesKeepEverythingThePackedTimeHolds)
{
    MakeFile("y1975", 1);
    MakeFile("y2040", 1);
    MakeFile("y2000", 1);
    auto setTime = [&](const std::string& n, int y) {
        TDateTimeParts parts{y, 6, 1, 12, 30, 15, 0};
        struct timespec t[2] = {{LocalDateTimeToUnix(EncodeDateTime(parts)), 0},
                                {LocalDateTimeToUnix(EncodeDateTime(parts)), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, P(n).c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
    };
    setTime("y1975", 1975);
    setTime("y2040", 2040);
    setTime("y2000", 2000);
    Scan();
    TDateTimeParts p;
    ASSERT_TRUE(DecodeDateTime(Record("y1975").Node.Modified, p));
    EXPECT_EQ(p.Year * 10000 + p.Month * 100 + p.Day, 19750601);
    EXPECT_EQ(p.Hour * 3600 + p.Minute * 60 + p.Second, 12 * 3600 + 30 * 60 + 15);
    ASSERT_TRUE(DecodeDateTime(Record("y2000").Node.Accessed, p));
    EXPECT_EQ(p.Year, 2000);
    // Beyond 2036 the packed time has no room: stored as 0, which reads as no date.
    EXPECT_EQ(Record("y2040").Node.Modified, 0.0);
}

TEST_F(ScanTreeTest, FullDiskIsAnErrorAndTouchesNothingOnDisk)
{
    for (int i = 0; i < 50; ++i)
        MakeFile("file-" + std::to_string(i), static_cast<size_t>(i));
    auto snapshot = [&] {
        std::vector<std::string> s;
        for (const LoggedRecord& r : AllRecords(Scan()))
            s.push_back(r.Path + " " + std::to_string(r.Node.Size) + " " +
                        std::to_string(r.Node.Modified));
        return s;
    };
    std::vector<std::string> before = snapshot();
    DiskFullStream full(1000);
    TDirStorage log(full);
    EXPECT_THROW(log.BuildLog({{Root(), 4096}}), EWriteError);
    EXPECT_GT(full.FailedWrites(), 0);
    EXPECT_EQ(snapshot(), before);
}

} // namespace
