// vmlog over extended logs, as an administrator runs it: scan in the extended format, dump,
// export with owners, groups and modes as the disk has them, and compare an exact old log with
// an extended new one.
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vmtest;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class ExtendedLogsTest : public ::testing::Test
{
protected:
    ExtendedLogsTest()
    {
        dir_.MakeDir("t");
        dir_.MakeDir("t/sub");
        dir_.WriteFile("t/a", std::string(100, 'a'));
        dir_.WriteFile("t/sub/b", std::string(5000, 'b'));
        chmod((dir_ / "t/sub/b").c_str(), 02755);
    }
    ProcessResult Vmlog(std::vector<std::string> args)
    {
        args.insert(args.begin(), BuiltProgram("vmlog"));
        return RunProcess(args);
    }
    // t/theirs with three bytes, made by an unprivileged user (as root: nobody).
    void MakeTheirs(mode_t mode)
    {
        chmod((dir_ / "t").c_str(), 0777);
        std::optional<bool> made = RunUnprivileged(dir_.Path(), [&] {
            int fd = open((dir_ / "t/theirs").c_str(), O_CREAT | O_WRONLY | O_EXCL, mode);
            return fd >= 0 && write(fd, "xyz", 3) == 3 && close(fd) == 0;
        });
        ASSERT_TRUE(made.value_or(false)) << "could not create a file as an unprivileged user";
    }
    // The JSON Lines export of file, one object a line.
    std::vector<nlohmann::json> Export(const std::string& file)
    {
        ProcessResult r = Vmlog({"export", file, "--format", "jsonl"});
        EXPECT_EQ(r.Status, 0) << r.Err;
        std::vector<nlohmann::json> rows;
        std::istringstream lines(r.Out);
        for (std::string line; std::getline(lines, line);)
            rows.push_back(nlohmann::json::parse(line));
        return rows;
    }

    TempDir dir_;
};

TEST_F(ExtendedLogsTest, ScanDumpAndExportKeepOwnersGroupsAndModesAsTheDiskHasThem)
{
    ASSERT_NO_FATAL_FAILURE(MakeTheirs(0604));
    const std::string log = dir_ / "x.kdf";
    ProcessResult r =
        Vmlog({"scan", "--format", "extended", "--unit", "4096", dir_ / "t", "-o", log});
    ASSERT_EQ(r.Status, 0) << r.Err;

    ProcessResult dump = Vmlog({"dump", log});
    ASSERT_EQ(dump.Status, 0) << dump.Err;
    EXPECT_THAT(dump.Out, HasSubstr("signature \"Volumark XLOG\\x1A\""));
    EXPECT_THAT(dump.Out, HasSubstr("format extended, version 1"));
    EXPECT_THAT(dump.Out, HasSubstr("owners recorded"));
    EXPECT_THAT(dump.Out, HasSubstr("record count 5"));
    EXPECT_THAT(dump.Out, HasSubstr("\"theirs\" size 3 allocated 4096"));

    std::vector<nlohmann::json> rows = Export(log);
    ASSERT_EQ(rows.size(), 5u);
    for (const nlohmann::json& row : rows) {
        const std::string path = row["path"];
        SCOPED_TRACE(path);
        struct stat st = {};
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_EQ(row["owner"], st.st_uid);
        EXPECT_EQ(row["group"], st.st_gid);
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", st.st_mode & 07777);
        EXPECT_EQ(row["mode"], mode);
        if (row["kind"] == "file") {
            EXPECT_EQ(row["size"], st.st_size);
        }
    }
    EXPECT_EQ(rows[4]["path"], dir_ / "t/theirs");
    EXPECT_EQ(rows[4]["mode"], "0604");
    if (geteuid() == 0) {
        EXPECT_EQ(rows[4]["owner"], 65534);
    }
    EXPECT_EQ(rows[3]["path"], dir_ / "t/sub/b");
    EXPECT_EQ(rows[3]["mode"], "2755");

    // The CSV header names the three fields; an exact log's export has none of them.
    ProcessResult csv = Vmlog({"export", log});
    EXPECT_THAT(csv.Out, HasSubstr("deleted,owner,group,mode\r\n"));
    const std::string exact = dir_ / "e.kdf";
    ASSERT_EQ(Vmlog({"scan", dir_ / "t", "-o", exact}).Status, 0);
    EXPECT_THAT(Vmlog({"export", exact}).Out, Not(HasSubstr("owner")));
    EXPECT_THAT(Vmlog({"dump", exact}).Out, Not(HasSubstr("format extended")));
}

TEST_F(ExtendedLogsTest, AnExactOldLogComparesWithAnExtendedNewOne)
{
    const std::string old = dir_ / "old.kdf", fresh = dir_ / "new.kdf", cmp = dir_ / "c.kcf";
    ASSERT_EQ(Vmlog({"scan", "--unit", "4096", dir_ / "t", "-o", old}).Status, 0);
    dir_.WriteFile("t/a", std::string(9000, 'a'));
    dir_.WriteFile("t/new", "n");
    ASSERT_EQ(
        Vmlog({"scan", "--format", "extended", "--unit", "4096", dir_ / "t", "-o", fresh}).Status,
        0);
    ProcessResult r = Vmlog({"compare", old, fresh, "-o", cmp, "--top", "1"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_THAT(r.Out, HasSubstr("Directories that grew most:\n  +"));

    ProcessResult dump = Vmlog({"dump", cmp});
    ASSERT_EQ(dump.Status, 0) << dump.Err;
    EXPECT_THAT(dump.Out, HasSubstr("signature \"Volumark XCMP\\x1A\""));
    EXPECT_THAT(dump.Out, HasSubstr("format extended, version 1"));

    std::vector<nlohmann::json> rows = Export(cmp);
    ASSERT_EQ(rows.size(), 5u); // t, a, new, sub, sub/b
    EXPECT_EQ(rows[1]["condition"], "grew");
    EXPECT_EQ(rows[1]["allocated_was"], 4096);
    EXPECT_EQ(rows[1]["allocated_now"], 12288);
    EXPECT_EQ(rows[2]["condition"], "added");
    struct stat st = {};
    ASSERT_EQ(lstat((dir_ / "t/new").c_str(), &st), 0);
    EXPECT_EQ(rows[2]["owner"], st.st_uid);
}

TEST_F(ExtendedLogsTest, ReportsCountSpaceByTheOwnersAndGroupsTheFilesRecord)
{
    ASSERT_NO_FATAL_FAILURE(MakeTheirs(0600));
    struct stat theirs = {}, mine = {};
    ASSERT_EQ(lstat((dir_ / "t/theirs").c_str(), &theirs), 0);
    ASSERT_EQ(lstat((dir_ / "t/a").c_str(), &mine), 0);
    const std::string old = dir_ / "old.kdf", fresh = dir_ / "new.kdf", cmp = dir_ / "c.kcf";
    ASSERT_EQ(Vmlog({"scan", "--unit", "4096", dir_ / "t", "-o", old}).Status, 0);
    dir_.WriteFile("t/a", std::string(9000, 'a'));
    ASSERT_EQ(
        Vmlog({"scan", "--format", "extended", "--unit", "4096", dir_ / "t", "-o", fresh}).Status,
        0);
    ASSERT_EQ(Vmlog({"compare", old, fresh, "-o", cmp}).Status, 0);

    // The rows of one table of a report, by id.
    auto table = [&](const std::string& file, const std::string& by, const std::string& name) {
        ProcessResult r = Vmlog({"report", file, "--by", by, "--format", "json"});
        EXPECT_EQ(r.Status, 0) << r.Err;
        std::map<int64_t, nlohmann::json> rows;
        for (const nlohmann::json& row : nlohmann::json::parse(r.Out))
            if (row["table"] == name)
                rows[row["id"].get<int64_t>()] = row;
        return rows;
    };
    auto owners = table(fresh, "owner", "owner");
    ASSERT_EQ(owners.count(theirs.st_uid), 1u);
    if (theirs.st_uid != mine.st_uid) {
        EXPECT_EQ(owners[theirs.st_uid]["files"], 1);
        EXPECT_EQ(owners[theirs.st_uid]["size"], 3);
        EXPECT_EQ(owners[mine.st_uid]["size"], 9000 + 5000);
    }
    EXPECT_EQ(table(fresh, "owner", "group").count(theirs.st_gid), 1u);
    // The comparison's owners are the new log's; the old exact log records none.
    auto changes = table(cmp, "owner", "owner");
    ASSERT_EQ(changes.count(mine.st_uid), 1u);
    EXPECT_EQ(changes[mine.st_uid]["space_now"], (theirs.st_uid == mine.st_uid ? 4096 : 0) +
                                                     12288 + 8192);
    ProcessResult exact = Vmlog({"report", old, "--by", "owner"});
    EXPECT_THAT(exact.Out, HasSubstr("This log does not record owners."));
}

TEST_F(ExtendedLogsTest, AnUnknownFormatIsBadUsage)
{
    ProcessResult r = Vmlog({"scan", "--format", "wide", dir_ / "t", "-o", dir_ / "x.kdf"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_THAT(r.Err, HasSubstr("--format wants exact or extended, not \"wide\""));
}

} // namespace
