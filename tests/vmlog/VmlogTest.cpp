// vmlog as administrators run it: a real process, its output and its exit status.
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "support/LogInvariants.h"
#include "support/ProcessRunner.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

class VmlogTest : public ::testing::Test
{
protected:
    ProcessResult Vmlog(std::vector<std::string> args)
    {
        args.insert(args.begin(), BuiltProgram("vmlog"));
        return RunProcess(args);
    }
    bool Exists(const std::string& path)
    {
        struct stat st = {};
        return lstat(path.c_str(), &st) == 0;
    }
    // The names in dir_ (to see that nothing partial is left behind).
    std::vector<std::string> Files()
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_.Path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    TempDir dir_;
};

TEST_F(VmlogTest, ScanWritesACompleteLogWithTheDefaultTagNames)
{
    dir_.MakeDir("a/sub");
    dir_.WriteFile("a/sub/f", "12345");
    dir_.MakeDir("b");
    dir_.WriteFile("b/g", "1");
    std::string out = dir_ / "log.kdf";
    ProcessResult r =
        Vmlog({"scan", "--unit", "1024", dir_ / "a", "--unit", "0", dir_ / "b/", "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    TFileStream s(out, TFileMode::OpenRead);
    TDirStorage log(s);
    EXPECT_THAT(LogFaults(log, {1024, 0}), IsEmpty());
    std::vector<LoggedRecord> all = AllRecords(log);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].Name, dir_ / "a/");
    EXPECT_EQ(all[0].Node.Allocated, 1024 + 1024);
    EXPECT_EQ(all[3].Name, dir_ / "b/");
    EXPECT_EQ(all[3].Node.Allocated, 1);
    ASSERT_EQ(log.TagNameCount(), 12);
    std::string name;
    log.GetTagName(12, name);
    EXPECT_EQ(name, "Rubbish Bin");
    EXPECT_EQ(Files(), (std::vector<std::string>{"a", "b", "log.kdf"}));
}

// The same tree scanned with one thread and with many: the same log, apart from the moments of
// the scan itself (the log date and the root's times).
TEST_F(VmlogTest, ScanWritesTheSameLogWithAnyNumberOfThreads)
{
    for (int d = 0; d < 30; ++d) {
        std::string dir = "t/d" + std::to_string(d);
        dir_.MakeDir(dir + "/inner");
        for (int f = 0; f < 20; ++f)
            dir_.WriteFile(dir + "/inner/f" + std::to_string(f), std::string(f * 100, 'x'));
        ASSERT_EQ(link((dir_ / (dir + "/inner/f7")).c_str(), (dir_ / (dir + "/link")).c_str()), 0);
    }
    auto scan = [&](const std::string& threads) {
        std::string out = dir_ / ("log-" + threads + ".kdf");
        ProcessResult r =
            Vmlog({"scan", "--threads", threads, "--unit", "4096", dir_ / "t", "-o", out});
        EXPECT_EQ(r.Status, 0) << r.Err;
        std::string bytes = ReadWholeFile(out);
        std::fill(bytes.begin() + 16, bytes.begin() + 24, '\0');           // the log date
        std::fill(bytes.begin() + 40 + 37, bytes.begin() + 40 + 49, '\0'); // the root's times
        return bytes;
    };
    scan("1"); // the first listing of each new directory sets its access time
    std::string one = scan("1");
    EXPECT_TRUE(scan("8") == one);
    EXPECT_TRUE(scan("3") == one);
}

TEST_F(VmlogTest, ScanWithoutAUnitTakesTheVolumes)
{
    dir_.MakeDir("a");
    dir_.WriteFile("a/f", "1");
    ASSERT_EQ(Vmlog({"scan", dir_ / "a", "-o", dir_ / "log.kdf"}).Status, 0);
    TFileStream s(dir_ / "log.kdf", TFileMode::OpenRead);
    TDirStorage log(s);
    struct statvfs vfs = {};
    ASSERT_EQ(statvfs(dir_.Path().c_str(), &vfs), 0);
    EXPECT_EQ(AllRecords(log).at(0).Node.Allocated, static_cast<int64_t>(vfs.f_frsize));
}

TEST_F(VmlogTest, BadUsageAndBadInputEndWithAClearMessage)
{
    dir_.WriteFile("file", "x");
    dir_.MakeDir("d");
    struct Case
    {
        std::vector<std::string> Args;
        int Status;
        std::string Message;
    } cases[] = {
        {{}, 2, "Usage: vmlog COMMAND"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"scan", "-o", dir_ / "x.kdf"}, 2, "no path to scan"},
        {{"scan", dir_ / "d"}, 2, "no log file given"},
        {{"scan", "--unit", "big", dir_ / "d", "-o", dir_ / "x.kdf"},
         2,
         "--unit wants a whole number"},
        {{"scan", "--unit"}, 2, "--unit needs a value"},
        {{"scan", "--threads", "0", dir_ / "d", "-o", dir_ / "x.kdf"},
         2,
         "--threads wants a whole number from 1 to 1024, not \"0\""},
        {{"scan", "--threads", "-3", dir_ / "d", "-o", dir_ / "x.kdf"}, 2, "--threads wants"},
        {{"scan", "--fast", dir_ / "d", "-o", dir_ / "x.kdf"}, 2, "unknown option --fast"},
        // An empty path would have become "/": the whole root file system.
        {{"scan", "", "-o", dir_ / "x.kdf"}, 2, "an empty path names nothing to scan"},
        {{"scan", dir_ / "missing", "-o", dir_ / "x.kdf"}, 1, dir_ / "missing/: No such file"},
        {{"scan", dir_ / "file", "-o", dir_ / "x.kdf"}, 1, "Not a directory"},
        {{"scan", dir_ / "d", "-o", dir_ / "no/such/dir/x.kdf"}, 1, "Cannot create file"},
        {{"scan", "/" + std::string(300, 'p'), "-o", dir_ / "x.kdf"}, 1, "File name too long"},
        {{"dump"}, 2, "usage: vmlog dump FILE"},
        {{"dump", dir_ / "missing.kdf"}, 1, "Cannot open file"},
        {{"dump", dir_ / "file"}, 1, "is not a log"},
        {{"dump", dir_ / "d"}, 1, "Is a directory"},
    };
    for (const Case& c : cases) {
        ProcessResult r = Vmlog(c.Args);
        std::string what =
            c.Args.empty() ? "(none)" : c.Args[0] + " " + std::to_string(c.Args.size());
        EXPECT_EQ(r.Status, c.Status) << what << ": " << r.Err;
        EXPECT_THAT(r.Err, HasSubstr(c.Message)) << what;
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"d", "file"}));
}

TEST_F(VmlogTest, RootPathTooLongForALogIsRefusedAndLeavesNothing)
{
    std::string path = dir_.Path();
    while (path.size() < 270) {
        path += "/" + std::string(60, 'd');
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    }
    ProcessResult r = Vmlog({"scan", path, "-o", dir_ / "x.kdf"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_THAT(r.Err, HasSubstr("longer than 259 bytes"));
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(VmlogTest, DumpShowsTheHeaderEveryRecordAndTheTagNames)
{
    TMemoryStream s(SyntheticLog()
                        .Root("/data/")
                        .File("odd\x01name\xff", 10)
                        .Dir("sub")
                        .File("b", 5000)
                        .Log(DefaultTagNames()));
    s.SaveToFile(dir_ / "log.kdf");
    ProcessResult r = Vmlog({"dump", dir_ / "log.kdf"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_THAT(r.Out, HasSubstr("signature \"Volumark 1.02\\x1A\"\n"));
    EXPECT_THAT(r.Out, HasSubstr("extension length 24\n"));
    EXPECT_THAT(r.Out, HasSubstr("first record 40\n"));
    EXPECT_THAT(r.Out, HasSubstr("\n40 level 0 dir \"/data/\" size 5010 allocated 16384 attributes "
                                 "0x00000010 "));
    EXPECT_THAT(r.Out, HasSubstr("\n112 level 1 file \"odd\\x01name\\xFF\" size 10 allocated 4096 "
                                 "attributes 0x00000080 created 2000-01-01 00:00:00 accessed "
                                 "2000-01-01 00:00:00 modified 2000-01-01 00:00:00 parent 40 next "
                                 "187 sibling 187 nextdir -1 nexttagged -1 prevtagged -1 tags "
                                 "0x00000000\n"));
    EXPECT_THAT(r.Out, HasSubstr("\ntag names 12\ntag 1 \"Tag 1\"\n"));
    EXPECT_THAT(r.Out, HasSubstr("\ntag 12 \"Rubbish Bin\"\n"));
    EXPECT_THAT(r.Out, Not(HasSubstr("damaged")));

    // C1 controls (U+009B is a terminal's CSI) and a right-to-left override come out escaped
    // too, and so does a backslash.
    TMemoryStream odd(SyntheticLog()
                          .Root("/d/")
                          .File("\xC2\x9B"
                                "2J\xE2\x80\xAEtxt.exe\\",
                                1)
                          .Log(DefaultTagNames()));
    odd.SaveToFile(dir_ / "odd.kdf");
    r = Vmlog({"dump", dir_ / "odd.kdf"});
    EXPECT_THAT(r.Out, HasSubstr(" file \"\\xC2\\x9B2J\\xE2\\x80\\xAEtxt.exe\\x5C\" size 1 "));
}

TEST_F(VmlogTest, DumpOfADamagedLogShowsWhatReadsAndWhereItIsDamaged)
{
    std::vector<uint8_t> b = SampleLogBytes();
    Poke32(b, sample::kB + 12, sample::kA); // NextOffset of b points back
    Poke32(b, sample::kA + 8, 5000);        // a.txt's parent lies outside the file
    TMemoryStream(b).SaveToFile(dir_ / "log.kdf");
    ProcessResult r = Vmlog({"dump", dir_ / "log.kdf"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_THAT(r.Out, HasSubstr("\n252 level 2 file \"b\""));
    EXPECT_THAT(r.Out, Not(HasSubstr("\n319 level")));
    EXPECT_THAT(r.Out,
                HasSubstr("damaged: record 112: ParentOffset 5000 lies outside the records\n"));
    EXPECT_THAT(r.Out, HasSubstr("damaged: record 252: NextOffset 112 points back\n"));
    EXPECT_THAT(r.Err, HasSubstr("is damaged"));

    b = SampleLogBytes();
    b.resize(sample::kC + 10);
    TMemoryStream(b).SaveToFile(dir_ / "cut.kdf");
    r = Vmlog({"dump", dir_ / "cut.kdf"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_THAT(r.Out, HasSubstr("is cut off by the end of the file"));
}

// As du does: every directory that could not be read on stderr with its reason, then how many,
// and status 1 after the log was written; one whose names can be read but whose entries cannot
// be looked at too. A name made of terminal escape sequences is printed escaped, never acted on.
// Run as "nobody": permissions do not keep root out.
TEST_F(VmlogTest, ScanSaysWhichDirectoriesItCouldNotReadAndEndsWithStatusOne)
{
    const std::string odd = "\x1B[2J\x1B[31mFAKE: all ok";
    dir_.MakeDir("t/locked/inner");
    dir_.MakeDir("t/" + odd);
    dir_.MakeDir("t/names-only/inner");
    dir_.WriteFile("t/names-only/f", "1");
    dir_.WriteFile("t/f", "12345");
    dir_.MakeDir("out");
    ::chmod((dir_ / "out").c_str(), 0777);
    for (const std::string& d : {std::string("t/locked"), "t/" + odd})
        ::chmod((dir_ / d).c_str(), 0);
    ::chmod((dir_ / "t/names-only").c_str(), 0644);
    const std::string log = dir_ / "out/log.kdf";
    std::optional<bool> ran = RunUnprivileged(dir_.Path(), [&] {
        ProcessResult r = Vmlog({"scan", "--unit", "1", dir_ / "t", "-o", log});
        TMemoryStream err(std::vector<uint8_t>(r.Err.begin(), r.Err.end()));
        err.SaveToFile(dir_ / "out/err.txt");
        return r.Status == 1;
    });
    for (const std::string& d : {std::string("t/locked"), "t/" + odd, std::string("t/names-only")})
        ::chmod((dir_ / d).c_str(), 0700);
    ASSERT_TRUE(ran.has_value()) << "could not run as an unprivileged user";
    const std::string err = dir_.ReadFile("out/err.txt");
    EXPECT_TRUE(*ran) << err;
    EXPECT_EQ(err, "vmlog: cannot read " + (dir_ / "t/\\x1B[2J\\x1B[31mFAKE: all ok") +
                       ": Permission denied\n" + "vmlog: cannot read " + (dir_ / "t/locked") +
                       ": Permission denied\n" + "vmlog: cannot read " + (dir_ / "t/names-only") +
                       ": Permission denied\n" + "vmlog: 3 directories could not be read\n");
    TFileStream stream(log, TFileMode::OpenRead);
    TDirStorage written(stream);
    EXPECT_THAT(LogFaults(written, {1}), IsEmpty());
    EXPECT_EQ(AllRecords(written).size(), 5u); // the root, the three directories empty, f
}

// One damage, three readers: dump, the checked walk and the comparison name it alike.
TEST_F(VmlogTest, OneDamagedLogReadsTheSameInDumpWalkAndComparison)
{
    std::vector<uint8_t> sound = SampleLogBytes();
    TMemoryStream(sound).SaveToFile(dir_ / "old.kdf");
    for (auto [field, value] : {std::pair{rec::NextOffset, sample::kA}, // points back
                                std::pair{rec::RecordLength, 7}}) {     // no record there
        std::vector<uint8_t> b = sound;
        if (field == rec::RecordLength)
            Poke16(b, sample::kC, static_cast<uint16_t>(value));
        else
            Poke32(b, sample::kB + field, value);
        TMemoryStream damaged(b);
        TDirStorage log(damaged);
        TLogWalk walk = TLogWalk::AllRecords(log);
        TDirNode node;
        std::string name;
        while (walk.Next(node, name)) {
        }
        const std::string reason = walk.Damage().Text();
        ASSERT_FALSE(reason.empty());
        damaged.SaveToFile(dir_ / "new.kdf");

        ProcessResult dump = Vmlog({"dump", dir_ / "new.kdf"});
        EXPECT_EQ(dump.Status, 1);
        EXPECT_THAT(dump.Out, HasSubstr("damaged: " + reason + "\n"));
        ProcessResult compare =
            Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"});
        EXPECT_EQ(compare.Status, 1);
        EXPECT_THAT(compare.Err, HasSubstr("The new log is damaged (" + reason + ")"));
    }
}

} // namespace
