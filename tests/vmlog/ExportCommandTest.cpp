// vmlog export and vmlog compare --top as a user runs them, their output read back by an
// independent reader (Python's csv and json modules, run as a process).
#include "core/Coding.h"
#include "core/DirStorage.h"
#include "support/CompareTestTrees.h"
#include "support/ProcessRunner.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vmtest;

namespace {

// Reads an export and checks it against the disk: every entry's path (from path_bytes where it
// is there) exists, files have the size the export says. Prints the number of entries, the sum
// of the files' sizes, how many paths came from their bytes and how many could not be reached
// (a name that is not UTF-8, in CSV, which has no bytes beside it).
const char kCheckAgainstDisk[] = R"(
import base64, csv, json, os, sys
fmt, name = sys.argv[1], sys.argv[2]
if fmt == "csv":
    with open(name, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
elif fmt == "json":
    rows = json.load(open(name, encoding="utf-8"))
else:
    rows = [json.loads(line) for line in open(name, encoding="utf-8")]
total = from_bytes = unreachable = 0
for r in rows:
    if r["kind"] == "file":
        total += int(r["size"])
    path = r["path"].encode("utf-8")
    if "path_bytes" in r:
        path = base64.b64decode(r["path_bytes"])
        from_bytes += 1
    elif "\ufffd" in r["path"]:
        unreachable += 1
        continue
    st = os.lstat(path)
    if r["kind"] == "file":
        assert int(r["size"]) == st.st_size, (path, r["size"], st.st_size)
    else:
        assert os.path.isdir(path), path
print(len(rows), total, from_bytes, unreachable)
)";

class ExportCommandTest : public ::testing::Test
{
protected:
    ProcessResult Vmlog(std::vector<std::string> args)
    {
        args.insert(args.begin(), BuiltProgram("vmlog"));
        return RunProcess(args);
    }
    ProcessResult Python(const std::string& script, std::vector<std::string> args)
    {
        args.insert(args.begin(), {"/usr/bin/python3", "-c", script});
        return RunProcess(args);
    }
    void Save(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    TempDir dir_;
};

TEST_F(ExportCommandTest, EveryEntryOfARealTreeReadsBackExactlyInEachFormat)
{
    // Names a CSV or JSON writer must quote or escape, and names that are not UTF-8.
    dir_.MakeDir("tree");
    dir_.MakeDir("tree/sub, \"dir\"");
    dir_.WriteFile("tree/sub, \"dir\"/line\nbreak.txt", std::string(5000, 'x'));
    dir_.WriteFile("tree/plain.txt", "hello");
    dir_.WriteFile("tree/back\\slash\ttab", "12");
    dir_.WriteFile("tree/caf\xC3\xA9.txt", std::string(123, 'c'));
    dir_.WriteFile("tree/bad\xFF\xFEname", std::string(77, 'b'));
    dir_.WriteFile("tree/cut\xE2\x82", "");
    ASSERT_EQ(Vmlog({"scan", "--unit", "4096", dir_ / "tree", "-o", dir_ / "t.kdf"}).Status, 0);
    const int64_t files = 5000 + 5 + 2 + 123 + 77;

    for (const char* format : {"csv", "json", "jsonl"}) {
        SCOPED_TRACE(format);
        const std::string out = dir_ / (std::string("t.") + format);
        ProcessResult run = Vmlog({"export", dir_ / "t.kdf", "--format", format, "-o", out});
        ASSERT_EQ(run.Status, 0) << run.Err;
        ProcessResult check = Python(kCheckAgainstDisk, {format, out});
        ASSERT_EQ(check.Status, 0) << check.Err;
        // 8 entries: the root, the subdirectory and six files, two of them not UTF-8.
        const bool csv = std::string(format) == "csv";
        EXPECT_EQ(check.Out, "8 " + std::to_string(files) + (csv ? " 0 2" : " 2 0") + "\n");
    }
}

TEST_F(ExportCommandTest, CsvAndJsonCarryTheSameFieldsAndDates)
{
    Save("t.kdf",
         TestLogBytes(
             {{"/data/", 4096, {File("a,b", 10, 1700000000), Dir("d", {File("x\"y", 4097)})}}}));
    const char script[] = R"(
import csv, io, json, subprocess, sys
vmlog, log = sys.argv[1], sys.argv[2]
out = lambda f: subprocess.run([vmlog, "export", log, "--format", f], capture_output=True,
                               check=True).stdout.decode("utf-8")
rows = list(csv.DictReader(io.StringIO(out("csv"), newline="")))
objects = json.loads(out("json"))
lines = [json.loads(l) for l in out("jsonl").splitlines()]
assert objects == lines
for r, o in zip(rows, objects):
    for k, v in o.items():
        text = "" if v is None else ";".join(v) if isinstance(v, list) else \
               str(v).lower() if isinstance(v, bool) else str(v)
        assert r[k] == text, (k, r[k], text)
for o in objects:
    print(o["path"], o["kind"], o["size"], o["allocated"], o["modified"], o["attributes"],
          o["tags"], o["deleted"])
)";
    ProcessResult run = Python(script, {BuiltProgram("vmlog"), dir_ / "t.kdf"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    // Local seconds 1700000000 since 1970 are 2023-11-14 22:13:20 local time; the test runs
    // in UTC (TZ unset in CI) or the offset shows, so the offset is not asserted here.
    EXPECT_NE(run.Out.find("/data directory 4107 16384 "), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("/data/a,b file 10 4096 2023-11-14T22:13:20"), std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("/data/d/x\"y file 4097 8192 "), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find(" 128 [] False\n"), std::string::npos) << run.Out;
}

TEST_F(ExportCommandTest, TagsGoByTheLogsOwnNamesAndTheDeletedMarkApart)
{
    Save("t.kdf", TestLogBytes({{"/data/", 4096, {File("a", 1), File("b", 2)}}}));
    {
        vm::TFileStream file(dir_ / "t.kdf", vm::TFileMode::OpenReadWrite);
        vm::TDirStorage log(file);
        log.SetTagName(2, "Keep me");
        const int32_t a = log.FindPath("/data/a");
        log.SetTag(a, 1);
        log.SetTag(a, 30);
        log.WriteTags(log.FindPath("/data/b"), vm::kTagDeleted | 1);
    }
    ProcessResult run = Vmlog({"export", dir_ / "t.kdf", "--format", "jsonl"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("\"path\":\"/data/a\",\"kind\":\"file\""), std::string::npos);
    EXPECT_NE(run.Out.find("\"tags\":[\"Keep me\",\"Rubbish Bin\"],\"deleted\":false}\n"),
              std::string::npos)
        << run.Out;
    // Naming tag 2 in a log without names gave tag 1 the name "New tag".
    EXPECT_NE(run.Out.find("\"tags\":[\"New tag\"],\"deleted\":true}\n"), std::string::npos)
        << run.Out;
}

TEST_F(ExportCommandTest, AComparisonNamesEachConditionAndItsChange)
{
    Save("old.kdf", TestLogBytes({{"/data/",
                                   4096,
                                   {File("same", 100), File("grows", 10), File("shrinks", 9000),
                                    Dir("gone", {File("x", 1)})}}}));
    Save("new.kdf", TestLogBytes({{"/data/",
                                   4096,
                                   {File("same", 100), File("grows", 5000), File("shrinks", 10),
                                    File("new", 5), File("empty", 0)}}}));
    ASSERT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"}).Status,
              0);
    ASSERT_EQ(Vmlog({"export", dir_ / "c.kcf", "--format", "json", "-o", dir_ / "c.json"}).Status,
              0);
    ProcessResult run = Python(R"(
import json, sys
for o in json.load(open(sys.argv[1])):
    print(o["path"], o["kind"], o["condition"], o["allocated_was"], o["allocated_now"],
          o["change"], o["size_was"], o["size_now"])
)",
                               {dir_ / "c.json"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "/data directory shrank 28672 20480 -8192 9111 5115\n"
                       "/data/empty file unchanged 0 0 0 0 0\n"
                       "/data/gone directory deleted 8192 0 -8192 1 0\n"
                       "/data/gone/x file deleted 4096 0 -4096 1 0\n"
                       "/data/grows file grew 4096 8192 4096 10 5000\n"
                       "/data/new file added 0 4096 4096 0 5\n"
                       "/data/same file unchanged 4096 4096 0 100 100\n"
                       "/data/shrinks file shrank 12288 4096 -8192 9000 10\n");
}

TEST_F(ExportCommandTest, ADamagedLogExportsWhatReadsAndFailsWithTheReason)
{
    std::vector<uint8_t> log =
        TestLogBytes({{"/data/", 4096, {File("a", 1), File("b", 2), File("c", 3)}}});
    // The third record ("b") gets a length no record can have.
    const int32_t a = vm::GetI32(log.data() + 40 + 12);
    const int32_t b = vm::GetI32(log.data() + a + 12);
    vm::PutU16(log.data() + b, 20);
    Save("bad.kdf", log);
    for (const char* format : {"csv", "json"}) {
        SCOPED_TRACE(format);
        const std::string out = dir_ / (std::string("bad.") + format);
        ProcessResult run = Vmlog({"export", dir_ / "bad.kdf", "--format", format, "-o", out});
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, "vmlog: " + (dir_ / "bad.kdf") + " is damaged: offset " +
                               std::to_string(b) + ", reached from record " + std::to_string(a) +
                               ": the record has a length of 20; 2 entries before "
                               "it were exported\n");
        // What was exported is a whole file the reader takes.
        ProcessResult read = Python(R"(
import csv, json, sys
rows = list(csv.DictReader(open(sys.argv[2], newline=""))) if sys.argv[1] == "csv" \
       else json.load(open(sys.argv[2]))
print([r["path"] for r in rows])
)",
                                    {format, out});
        EXPECT_EQ(read.Out, "['/data', '/data/a']\n") << read.Err;
    }
}

TEST_F(ExportCommandTest, RefusesWhatIsNoLogAndBadArguments)
{
    dir_.WriteFile("text.kdf", "just some text that is long enough to be read");
    ProcessResult notLog = Vmlog({"export", dir_ / "text.kdf"});
    EXPECT_EQ(notLog.Status, 1);
    EXPECT_NE(notLog.Err.find("is neither a log nor a comparison"), std::string::npos);
    ProcessResult missing = Vmlog({"export", dir_ / "none.kdf", "-o", dir_ / "out.csv"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("none.kdf"), std::string::npos);
    EXPECT_NE(::access((dir_ / "out.csv").c_str(), F_OK), 0);
    EXPECT_EQ(Vmlog({"export"}).Status, 2);
    EXPECT_EQ(Vmlog({"export", dir_ / "text.kdf", "--format", "xml"}).Status, 2);
    EXPECT_EQ(Vmlog({"export", dir_ / "text.kdf", "-o"}).Status, 2);

    // The output may not be the file read, by its name, a symbolic link or another hard link:
    // the export would take the log's place.
    const std::string log = dir_ / "log.kdf";
    const std::vector<uint8_t> sample = SampleLogBytes();
    const std::string bytes(sample.begin(), sample.end());
    dir_.WriteFile("log.kdf", bytes);
    ASSERT_EQ(::symlink(log.c_str(), (dir_ / "link.kdf").c_str()), 0);
    ASSERT_EQ(::link(log.c_str(), (dir_ / "hard.kdf").c_str()), 0);
    for (const std::string& out :
         {log, dir_ / "link.kdf", dir_ / "hard.kdf", dir_.Path() + "/./log.kdf"}) {
        ProcessResult same = Vmlog({"export", log, "-o", out});
        EXPECT_EQ(same.Status, 2) << out;
        EXPECT_NE(same.Err.find("is the file " + log + " itself; nothing was written"),
                  std::string::npos)
            << same.Err;
    }
    EXPECT_TRUE(ReadWholeFile(log) == bytes);
}

TEST_F(ExportCommandTest, TopNamesTheDirectoriesThatChangedMostWithoutTheirAncestors)
{
    // deep/er/est grew by 3 units and nothing else below deep changed: deep and deep/er say
    // nothing more than deep/er/est. big grew in two subdirectories: it is listed with them.
    Save("old.kdf",
         TestLogBytes({{"/d/",
                        4096,
                        {Dir("deep", {Dir("er", {Dir("est", {File("f", 1)})})}),
                         Dir("big", {Dir("one", {File("f", 1)}), Dir("two", {File("f", 1)})}),
                         Dir("small", {File("f", 4096 * 5)}), Dir("same", {File("f", 9)})}}}));
    Save("new.kdf",
         TestLogBytes(
             {{"/d/",
               4096,
               {Dir("deep", {Dir("er", {Dir("est", {File("f", 4096 * 4)})})}),
                Dir("big", {Dir("one", {File("f", 4096 * 3)}), Dir("two", {File("f", 4096 * 2)})}),
                Dir("small", {File("f", 1)}), Dir("same", {File("f", 9)})}}}));
    ProcessResult run =
        Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf", "--top", "3"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "Directories that grew most:\n"
                       "  +12 KB  /d/big  (was 20 KB, now 32 KB)\n"
                       "  +12 KB  /d/deep/er/est  (was 8 KB, now 20 KB)\n"
                       "  +8 KB  /d/big/one  (was 8 KB, now 16 KB)\n"
                       "Directories that shrank most:\n"
                       "  -16 KB  /d/small  (was 24 KB, now 8 KB)\n");
    EXPECT_EQ(
        Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf", "--top", "0"})
            .Status,
        2);
}

} // namespace
