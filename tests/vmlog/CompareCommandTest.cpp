// vmlog compare and the comparison side of vmlog dump, run as a user runs them.
#include "core/CompareFormat.h"
#include "support/CompareTestTrees.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace vmtest;

namespace {

class CompareCommandTest : public ::testing::Test
{
protected:
    CompareCommandTest()
    {
        Save("old.kdf",
             TestLogBytes({{"/data/", 4096, {File("a", 10), Dir("gone", {File("x", 1)})}}}));
        Save("new.kdf", TestLogBytes({{"/data/", 4096, {File("a", 20), File("b", 5)}}}));
    }
    void Save(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    ProcessResult Vmlog(std::vector<std::string> args)
    {
        args.insert(args.begin(), BuiltProgram("vmlog"));
        return RunProcess(args);
    }
    bool Exists(const std::string& name) { return ::access((dir_ / name).c_str(), F_OK) == 0; }

    TempDir dir_;
};

TEST_F(CompareCommandTest, WritesAComparisonThatDumpShows)
{
    ProcessResult run =
        Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");

    ProcessResult dump = Vmlog({"dump", dir_ / "c.kcf"});
    EXPECT_EQ(dump.Status, 0) << dump.Err;
    EXPECT_NE(dump.Out.find("version 102\n"), std::string::npos) << dump.Out;
    EXPECT_NE(dump.Out.find("\n14 level 0 dir both \"/data/\" size 25 was 11 "), std::string::npos)
        << dump.Out;
    EXPECT_NE(dump.Out.find(" level 1 file both \"a\" size 20 was 10 allocated 4096 was 4096 "),
              std::string::npos);
    EXPECT_NE(dump.Out.find(" level 1 file added \"b\" size 5 was 0 "), std::string::npos);
    EXPECT_NE(dump.Out.find(" level 2 file deleted \"x\" size 0 was 1 "), std::string::npos);
    EXPECT_NE(dump.Out.find(" newlog -1\n"), std::string::npos);
    EXPECT_NE(dump.Out.find("\nrecords 5\n"), std::string::npos);
}

TEST_F(CompareCommandTest, DumpTellsComparisonsFromLogsByContent)
{
    ASSERT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"}).Status,
              0);
    ::rename((dir_ / "c.kcf").c_str(), (dir_ / "c.dat").c_str());
    ::rename((dir_ / "old.kdf").c_str(), (dir_ / "old.kcf").c_str());
    EXPECT_EQ(Vmlog({"dump", dir_ / "c.dat"}).Out.rfind("comparison ", 0), 0u);
    EXPECT_EQ(Vmlog({"dump", dir_ / "old.kcf"}).Out.rfind("log ", 0), 0u);
    // A comparison of two empty logs is the header alone: the name has to tell.
    Save("e.kcf", {'V', 'o', 'l', 'u', 'm', 'a', 'r', 'k', ' ', '1', '.', '0', '2', 0x1A});
    ProcessResult empty = Vmlog({"dump", dir_ / "e.kcf"});
    EXPECT_EQ(empty.Status, 0) << empty.Err;
    EXPECT_NE(empty.Out.find("records 0\n"), std::string::npos) << empty.Out;
}

TEST_F(CompareCommandTest, DumpOfADamagedComparisonSaysWhereAndFails)
{
    ASSERT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"}).Status,
              0);
    std::string bytes = ReadWholeFile(dir_ / "c.kcf");
    // The second record's NextOffset points back at the first; the walk must end there.
    const size_t second = vm::GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + 14 + 12);
    vm::PutI32(reinterpret_cast<uint8_t*>(bytes.data()) + second + 12, 14);
    Save("bad.kcf", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ProcessResult dump = Vmlog({"dump", dir_ / "bad.kcf"});
    EXPECT_EQ(dump.Status, 1);
    EXPECT_NE(dump.Out.find("\nrecords 2\n"), std::string::npos) << dump.Out;
    EXPECT_NE(dump.Out.find("damaged: offset 14, reached from record " + std::to_string(second) +
                            ": the link points back"),
              std::string::npos)
        << dump.Out;
    EXPECT_NE(dump.Err.find("is damaged"), std::string::npos);

    Save("cut.kcf", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 14 + 50));
    ProcessResult cut = Vmlog({"dump", dir_ / "cut.kcf"});
    EXPECT_EQ(cut.Status, 1);
    EXPECT_NE(cut.Out.find("damaged: offset 14, reached from the start: the record is cut off by "
                           "the end of the file"),
              std::string::npos)
        << cut.Out;
}

TEST_F(CompareCommandTest, BadInputFailsWithAClearMessageAndNoOutput)
{
    ProcessResult missing =
        Vmlog({"compare", dir_ / "nothere.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "vmlog: The old log cannot be opened: Cannot open file " +
                               (dir_ / "nothere.kdf") + ": No such file or directory\n");
    EXPECT_FALSE(Exists("c.kcf"));

    // A damaged new log: the comparison is not left behind half made.
    std::vector<uint8_t> log = TestLogBytes({{"/data/", 4096, {File("a", 1), File("b", 2)}}});
    vm::PutI32(log.data() + 40 + 72 + 12, 40); // "a" links back to the root
    Save("bad.kdf", log);
    ProcessResult damaged =
        Vmlog({"compare", dir_ / "old.kdf", dir_ / "bad.kdf", "-o", dir_ / "c.kcf"});
    EXPECT_EQ(damaged.Status, 1);
    EXPECT_NE(damaged.Err.find("The new log is damaged"), std::string::npos) << damaged.Err;
    EXPECT_NE(damaged.Err.find("No comparison was written."), std::string::npos);
    EXPECT_FALSE(Exists("c.kcf"));

    EXPECT_EQ(Vmlog({"compare", dir_ / "old.kdf", "-o", dir_ / "c.kcf"}).Status, 2);
    EXPECT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf"}).Status, 2);
    EXPECT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o"}).Status, 2);
    EXPECT_EQ(Vmlog({"compare", "--fast", dir_ / "old.kdf", dir_ / "new.kdf", "-o", "x"}).Status,
              2);
    EXPECT_FALSE(Exists("c.kcf"));
}

} // namespace
