// The comparison run over real logs of real trees in a data directory: the file it names and
// replaces, and what it does with missing, unreadable and damaged logs, a stop and a full disk.
#include "references/CompareRun.h"
#include "core/DirCompare.h"
#include "references/RefStore.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using vmtest::ReadWholeFile;
using vmtest::TempDir;

namespace {

class CompareRunTest : public ::testing::Test
{
protected:
    CompareRunTest() : store_(data_.Path())
    {
        data_.MakeDir("Ref0003");
        data_.MakeDir("tree");
        data_.MakeDir("tree/sub");
        data_.WriteFile("tree/a.txt", "hello");
        data_.WriteFile("tree/sub/b", "bb");
        BuildLog(12);
        data_.WriteFile("tree/a.txt", "hello, world");
        ::unlink((data_ / "tree/sub/b").c_str());
        data_.WriteFile("tree/New", "n");
        BuildLog(14);
    }

    void BuildLog(int number)
    {
        TFileStream stream(store_.LogFileName(3, number), TFileMode::Create);
        TDirStorage log(stream);
        log.BuildLog({{data_ / "tree/", 4096}});
        stream.Flush();
    }

    // "condition path" of every record of a comparison file.
    static std::vector<std::string> Summary(const std::string& path)
    {
        TFileStream stream(path, TFileMode::OpenRead);
        TDirCompare file(stream);
        std::vector<std::string> out;
        WalkRecords(file, [&](int32_t at, const TCompareRecord& r, const std::string&) {
            out.push_back(std::to_string(r.Condition) + " " + file.GetFullPath(at));
            return true;
        });
        return out;
    }

    // The names in the reference directory, hidden ones too.
    std::vector<std::string> RefFiles() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(data_ / "Ref0003"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir data_;
    TRefStore store_;
};

TEST_F(CompareRunTest, WritesTheReferencesComparisonFileReplacingAnOldOne)
{
    const std::string expected = data_ / "Ref0003/00120014.kcf";
    data_.WriteFile("Ref0003/00120014.kcf", std::string(5000, '#'));
    TCompareRunResult result = RunComparison(store_, 3, 12, 14);
    EXPECT_EQ(result.Path, expected);
    EXPECT_FALSE(result.Stopped);
    const std::string tree = data_ / "tree";
    EXPECT_EQ(Summary(expected),
              (std::vector<std::string>{"2 " + tree, "2 " + tree + "/a.txt", "0 " + tree + "/New",
                                        "2 " + tree + "/sub", "1 " + tree + "/sub/b"}));
    EXPECT_EQ(ReadWholeFile(expected).find("##"), std::string::npos);
}

TEST_F(CompareRunTest, MissingLogIsAnErrorThatLeavesTheComparisonAlone)
{
    data_.WriteFile("Ref0003/00110014.kcf", "earlier");
    try {
        RunComparison(store_, 3, 11, 14);
        FAIL() << "no error";
    } catch (const ECompareRunError& e) {
        EXPECT_EQ(std::string(e.what()), "The old log cannot be opened: Cannot open file " +
                                             store_.LogFileName(3, 11) +
                                             ": No such file or directory");
    }
    EXPECT_EQ(data_.ReadFile("Ref0003/00110014.kcf"), "earlier");

    data_.MakeDir("Ref0003/Log0015.kdf");
    try {
        RunComparison(store_, 3, 12, 15);
        FAIL() << "no error";
    } catch (const ECompareRunError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The new log " + store_.LogFileName(3, 15) + " is not a log file.");
    }
    EXPECT_NE(::access((data_ / "Ref0003/00120015.kcf").c_str(), F_OK), 0);
}

TEST_F(CompareRunTest, ComparisonOverOneOfItsLogsIsRefused)
{
    const std::string log = store_.LogFileName(3, 14);
    const std::string before = ReadWholeFile(log);
    ::symlink(log.c_str(), (data_ / "alias.kcf").c_str());
    for (const std::string& out : {log, data_ / "alias.kcf"}) {
        try {
            CompareLogFiles(store_.Files(), store_.LogFileName(3, 12), log, out);
            FAIL() << "no error for " << out;
        } catch (const ECompareRunError& e) {
            EXPECT_NE(std::string(e.what()).find("is one of the logs it compares"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(ReadWholeFile(log), before);
}

TEST_F(CompareRunTest, UnreadableLogIsAnError)
{
    ::chmod(store_.LogFileName(3, 14).c_str(), 0);
    std::optional<bool> refused = vmtest::RunUnprivileged(data_.Path(), [&] {
        try {
            RunComparison(store_, 3, 12, 14);
        } catch (const ECompareRunError&) {
            return true;
        } catch (...) {
        }
        return false;
    });
    ASSERT_TRUE(refused.has_value()) << "could not run as an unprivileged user";
    EXPECT_TRUE(*refused);
}

TEST_F(CompareRunTest, DamagedLogFailsAndLeavesNoComparison)
{
    data_.WriteFile("Ref0003/00120014.kcf", "earlier");
    // The new log's second record links back to the first.
    const std::string log = store_.LogFileName(3, 14);
    {
        TFileStream stream(log, TFileMode::OpenReadWrite);
        TDirStorage storage(stream);
        TDirNode first;
        std::string name;
        ASSERT_TRUE(storage.ReadNode(storage.FirstOffset(), first, name));
        uint8_t back[4];
        PutI32(back, storage.FirstOffset());
        stream.Seek(first.NextOffset + rec::NextOffset, TSeekOrigin::Begin);
        stream.Write(back, 4);
        stream.Flush();
    }
    try {
        RunComparison(store_, 3, 12, 14);
        FAIL() << "no error";
    } catch (const ECompareRunError& e) {
        EXPECT_NE(std::string(e.what()).find("The new log is damaged"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(RefFiles(), (std::vector<std::string>{"00120014.kcf", "Log0012.kdf", "Log0014.kdf"}));
    EXPECT_EQ(data_.ReadFile("Ref0003/00120014.kcf"), "earlier");
}

// A stop, a full disk and an exception from the progress handler: each leaves the reference
// directory as it was.
TEST_F(CompareRunTest, StoppedFailingAndThrowingRunsLeaveNoFile)
{
    data_.WriteFile("Ref0003/00120014.kcf", "earlier");
    const std::vector<std::string> before = RefFiles();
    std::vector<std::string> seen;
    TCompareRunResult result =
        RunComparison(store_, 3, 12, 14, [&](const std::string& p, bool& stop) {
            seen.push_back(p);
            stop = true;
        });
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(result.Path, "");
    EXPECT_EQ(seen, std::vector<std::string>{data_ / "tree"});
    EXPECT_EQ(RefFiles(), before);

    EXPECT_THROW(RunComparison(store_, 3, 12, 14,
                               [](const std::string&, bool&) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_EQ(RefFiles(), before);

    vmtest::FaultyFileSystem fs;
    fs.DiskSpace = 100;
    store_.SetFileSystem(fs);
    EXPECT_THROW(RunComparison(store_, 3, 12, 14), EWriteError);
    EXPECT_EQ(RefFiles(), before);
    EXPECT_EQ(data_.ReadFile("Ref0003/00120014.kcf"), "earlier");

    EXPECT_THROW(CompareLogFiles(fs, store_.LogFileName(3, 12), store_.LogFileName(3, 14),
                                 data_ / "no/such.kcf"),
                 ECompareRunError);
}

} // namespace
