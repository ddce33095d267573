#include "platform/IniFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using vm::TIniFile;

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    vmtest::TempDir dir;
    std::string path = dir / "test.ini";
    TIniFile ini{path};
};

TEST_F(IniFileTest, MissingFileReadsEmptyAndFirstWriteCreatesIt)
{
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.DeleteKey("S", "K");
    ini.EraseSection("S");
    EXPECT_EQ(access(path.c_str(), F_OK), -1) << "a change that changes nothing creates no file";
    ini.WriteString("S", "K", "v");
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\nK=v\n");
}

TEST_F(IniFileTest, NamesIgnoreCaseFirstMatchWinsAndValuesAreTrimmed)
{
    dir.WriteFile("test.ini", "; comment\n[Servers]\n  Fs1 =  10.0.0.2  \nfs1=second\n"
                              "[servers]\nOther=x\n[Empty]\n");
    EXPECT_EQ(ini.ReadString("SERVERS", "FS1", ""), "10.0.0.2");
    EXPECT_EQ(ini.ReadString("servers", "Other", "none"), "none")
        << "only the first section counts";
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Servers", "Empty"}));
    EXPECT_EQ(ini.CountKeys("servers"), 1);
    EXPECT_TRUE(ini.SectionExists("EMPTY"));
    EXPECT_EQ(ini.CountKeys("Empty"), 0);
    EXPECT_FALSE(ini.ValueExists("Servers", "comment"));

    ini.WriteString("servers", "FS1", "10.0.0.3");
    EXPECT_EQ(ini.ReadString("Servers", "fs1", ""), "10.0.0.3");
    EXPECT_EQ(dir.ReadFile("test.ini"),
              "; comment\n[Servers]\nFS1=10.0.0.3\nfs1=second\n[servers]\nOther=x\n[Empty]\n");
}

TEST_F(IniFileTest, WritesKeepOrderAndOtherLines)
{
    dir.WriteFile("test.ini", "[A]\nx=1\n# kept\n\n[B]\ny=2\n");
    ini.WriteString("A", "z", "3");
    ini.WriteInteger("C", "n", -7);
    EXPECT_EQ(dir.ReadFile("test.ini"), "[A]\nx=1\n# kept\nz=3\n\n[B]\ny=2\n\n[C]\nn=-7\n");
    EXPECT_EQ(ini.ReadSectionValues("A"),
              (std::vector<std::pair<std::string, std::string>>{{"x", "1"}, {"z", "3"}}));
    EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"x", "z"}));
    EXPECT_EQ(ini.ReadInteger("C", "n", 0), -7);

    ini.DeleteKey("a", "X");
    ini.EraseSection("b");
    EXPECT_EQ(dir.ReadFile("test.ini"), "[A]\n# kept\nz=3\n\n[C]\nn=-7\n");
}

TEST_F(IniFileTest, ReadIntegerFallsBackOnJunk)
{
    dir.WriteFile("test.ini", "[S]\na=12x\nb=\nc=99999999999999999999999\nd= 42 \n");
    EXPECT_EQ(ini.ReadInteger("S", "a", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "b", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "c", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "d", 5), 42);
}

TEST_F(IniFileTest, LineBreaksAndBadNamesAreRefusedWithoutTouchingTheFile)
{
    ini.WriteString("S", "k", "kept");
    std::string before = dir.ReadFile("test.ini");
    EXPECT_THROW(ini.WriteString("S", "k", "a\nb=c"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S", "k", "a\rb"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S", "k", std::string("a\0b", 3)), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S\n[T]", "k", "v"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S]", "k", "v"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S", " ", "v"), std::runtime_error);
    EXPECT_THROW(ini.WriteString("S", "[x]", "v"), std::runtime_error);
    EXPECT_EQ(dir.ReadFile("test.ini"), before);
}

TEST_F(IniFileTest, DamagedFileReadsAndWritesBackWithoutLosingSections)
{
    std::string junk("\x01\xff\xfe\0garbage\0\0", 13);
    std::string longLine(1 << 20, 'L');
    std::string content = junk + "\n[A]\r\nk1 = v1\r\n" + longLine +
                          "\n[B]\nb=1\n[A]\nk2=v2\n[C\nc=3\n" + "[D]\nd=" + longLine +
                          "\n[E]\ne=tail";
    dir.WriteFile("test.ini", content);

    EXPECT_EQ(ini.ReadString("A", "k1", ""), "v1") << "CR LF line ends read as line ends";
    EXPECT_EQ(ini.ReadString("C", "c", ""), "3") << "an unclosed header still names its section";
    EXPECT_EQ(ini.ReadString("D", "d", "").size(), longLine.size());
    EXPECT_EQ(ini.ReadString("E", "e", ""), "tail") << "no final line break";
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));

    ini.WriteString("E", "f", "new");
    ini.WriteString("A", "k1", "changed");
    std::string after = dir.ReadFile("test.ini");
    EXPECT_EQ(after.substr(0, junk.size()), junk) << "junk before the first section is kept";
    EXPECT_NE(after.find("k2=v2"), std::string::npos) << "the duplicate section is kept";
    EXPECT_NE(after.find(longLine + "\n[B]"), std::string::npos);
    EXPECT_EQ(ini.ReadString("E", "e", ""), "tail");
    EXPECT_EQ(ini.ReadString("E", "f", ""), "new");
    EXPECT_EQ(ini.ReadString("B", "b", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "k1", ""), "changed");
    EXPECT_EQ(ini.ReadString("D", "d", "").size(), longLine.size());
}

TEST_F(IniFileTest, CrLfFilesGetCrLfLinesAndModesAreKept)
{
    dir.WriteFile("test.ini", "[A]\r\nx=1\r\n");
    ini.WriteString("A", "y", "2");
    ini.WriteString("B", "z", "3");
    EXPECT_EQ(dir.ReadFile("test.ini"), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(ini.ReadString("B", "z", ""), "3");

    chmod(path.c_str(), 0600);
    ini.WriteString("A", "x", "changed");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    mode_t old = umask(022);
    TIniFile fresh(dir / "fresh.ini");
    fresh.WriteString("S", "k", "v");
    umask(old);
    ASSERT_EQ(stat((dir / "fresh.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(IniFileTest, EraseSectionRemovesEveryCopyAndDeleteKeyEveryLine)
{
    dir.WriteFile("test.ini", "[A]\nk=1\nk=2\n[B]\nb=1\n[a]\nk=3\n");
    ini.DeleteKey("A", "k");
    EXPECT_FALSE(ini.ValueExists("A", "k"));
    ini.EraseSection("A");
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ(dir.ReadFile("test.ini"), "[B]\nb=1\n");
}

TEST_F(IniFileTest, ReplaceKeysChangesAGroupAtOnceOrNotAtAll)
{
    dir.WriteFile("test.ini", "[S]\nName=x\nP0=a\nNext=5\nP1=b\np2=c\n[T]\nP0=t\n");
    auto isP = [](const std::string& key) { return key.size() == 2 && (key[0] | 0x20) == 'p'; };
    ini.ReplaceKeys("S", isP, {{"P0", "new"}});
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\nName=x\nNext=5\nP0=new\n[T]\nP0=t\n");
    // A value the file cannot hold refuses the whole group before anything is written.
    EXPECT_THROW(ini.ReplaceKeys("S", isP, {{"P0", "ok"}, {"P1", "two\nlines"}}),
                 std::runtime_error);
    EXPECT_EQ(ini.ReadString("S", "P0", ""), "new");
    ini.ReplaceKeys("U", isP, {{"P0", "made"}});
    EXPECT_EQ(ini.ReadString("U", "P0", ""), "made");
}

TEST_F(IniFileTest, WritesThroughASymbolicLinkKeepTheLink)
{
    dir.WriteFile("real.ini", "[S]\na=1\n");
    ASSERT_EQ(symlink("real.ini", path.c_str()), 0);
    ini.WriteString("S", "b", "2");
    EXPECT_EQ(dir.ReadFile("real.ini"), "[S]\na=1\nb=2\n");
    char buf[64];
    EXPECT_GT(readlink(path.c_str(), buf, sizeof buf), 0);
}

TEST_F(IniFileTest, UnwritableDirectoryReportsTheFile)
{
    TIniFile bad("/proc/volumark-no-such-dir/x.ini");
    try {
        bad.WriteString("S", "k", "v");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/proc/volumark-no-such-dir/x.ini"),
                  std::string::npos);
    }
}

// Runs body in count child processes at the same time and waits for all of them.
template <class F> void InChildren(int count, F body)
{
    std::vector<pid_t> kids;
    for (int c = 0; c < count; ++c) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int rc = 0;
            try {
                body(c);
            } catch (...) {
                rc = 1;
            }
            _exit(rc);
        }
        kids.push_back(pid);
    }
    for (pid_t pid : kids) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

TEST_F(IniFileTest, TwoProcessesWritingAtOnceKeepEveryWrite)
{
    InChildren(2, [&](int c) {
        TIniFile mine(path);
        for (int i = 0; i < 200; ++i)
            mine.WriteInteger("Keys", "P" + std::to_string(c) + "_" + std::to_string(i), i);
    });
    EXPECT_EQ(ini.CountKeys("Keys"), 400);
    EXPECT_EQ(ini.ReadInteger("Keys", "P1_199", -1), 199);
}

TEST_F(IniFileTest, TakeNumberNeverGivesTheSameNumberTwice)
{
    int pipes[2];
    ASSERT_EQ(pipe(pipes), 0);
    InChildren(2, [&](int) {
        TIniFile mine(path);
        for (int i = 0; i < 150; ++i) {
            long long n = mine.TakeNumber("Counter", "Next", 1);
            if (write(pipes[1], &n, sizeof n) != sizeof n)
                throw std::runtime_error("pipe");
        }
    });
    close(pipes[1]);
    std::set<long long> seen;
    long long n;
    while (read(pipes[0], &n, sizeof n) == sizeof n)
        EXPECT_TRUE(seen.insert(n).second) << n << " taken twice";
    close(pipes[0]);
    EXPECT_EQ(seen.size(), 300u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 300);
    EXPECT_EQ(ini.ReadInteger("Counter", "Next", 0), 301);
}

} // namespace
