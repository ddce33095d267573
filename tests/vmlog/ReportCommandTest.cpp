// vmlog report as a script runs it: its tables in text, CSV and JSON, read back by Python's csv
// and json modules and checked against each other and the log's totals.
#include "core/Coding.h"
#include "support/CompareTestTrees.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vmtest;

namespace {

// Reads the CSV and the JSON report of one file, checks that they hold the same records, and
// prints per table the number of rows and the sum of the space (for a comparison: the change).
const char kSummarise[] = R"(
import csv, io, json, subprocess, sys
vmlog, name, extra = sys.argv[1], sys.argv[2], sys.argv[3:]
run = lambda f: subprocess.run([vmlog, "report", name, "--format", f] + extra,
                               capture_output=True, check=True).stdout.decode("utf-8")
rows = list(csv.DictReader(io.StringIO(run("csv"), newline="")))
objects = json.loads(run("json"))
assert len(rows) == len(objects)
same = lambda text, v: text == "" if v is None else \
                      float(text) == v if isinstance(v, float) else text == str(v)
for r, o in zip(rows, objects):
    for k, v in o.items():
        assert same(r[k], v), (k, r[k], v)
tables = {}
for o in objects:
    figure = (o["space"] if "space" in o else o["change"]) or 0
    n, s = tables.get(o["table"], (0, 0))
    tables[o["table"]] = (n + 1, s + figure)
for t, (n, s) in tables.items():
    print(t, n, s)
)";

class ReportCommandTest : public ::testing::Test
{
protected:
    ProcessResult Vmlog(std::vector<std::string> args)
    {
        args.insert(args.begin(), BuiltProgram("vmlog"));
        return RunProcess(args);
    }
    ProcessResult Summary(const std::string& file, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"/usr/bin/python3", "-c", kSummarise,
                                         BuiltProgram("vmlog"), file};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProcess(args);
    }
    void Save(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    TempDir dir_;
};

// Five files of 3 families (9 units of space), one with a comma and a line break in its name.
const TestTree kTree = {{"/data/",
                         4096,
                         {File("a.jpg", 4096 * 3), File("b.JPG", 1), File("c,\nd.txt", 4097),
                          Dir("logs", {File("app.log", 8192), File("x", 100)})}}};

} // namespace

TEST_F(ReportCommandTest, CsvAndJsonHoldTheSameTablesAndEachAddsUpToTheFiles)
{
    Save("t.kdf", TestLogBytes(kTree));
    ProcessResult run = Summary(dir_ / "t.kdf");
    ASSERT_EQ(run.Status, 0) << run.Err;
    // The total row, then each table: its rows and their space (9 units in five files).
    EXPECT_EQ(run.Out, "total 3 36864\n"
                       "family 4 36864\n"
                       "extension 4 36864\n"
                       "modified 5 36864\n"
                       "accessed 5 36864\n"
                       "largest_file 5 36864\n"
                       "largest_directory 1 16384\n");
    ProcessResult top = Summary(dir_ / "t.kdf", {"--by", "type", "--top", "1"});
    ASSERT_EQ(top.Status, 0) << top.Err;
    EXPECT_EQ(top.Out, "total 3 36864\nfamily 4 36864\nextension 1 16384\n");
}

TEST_F(ReportCommandTest, TextShowsEachTableAndSaysWhenTheLogHasNoOwners)
{
    Save("t.kdf", TestLogBytes(kTree));
    ProcessResult run = Vmlog({"report", dir_ / "t.kdf"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string& out = run.Out;
    EXPECT_EQ(out.rfind("Statistics of " + (dir_ / "t.kdf") +
                            "\n5 files in 1 directory: size 25 KB, space 36 KB\n\n"
                            "Space by type\n"
                            "  Type       Files   Size  Space  Share\n"
                            "  Images         2  13 KB  16 KB  44.4%\n",
                        0),
              0u)
        << out;
    EXPECT_NE(out.find("\nSpace by owner\n  This log does not record owners.\n"), std::string::npos)
        << out;
    // A line break in a name stays on its line.
    EXPECT_NE(out.find("/data/c,\\x0Ad.txt\n"), std::string::npos) << out;
    ProcessResult ages = Vmlog({"report", dir_ / "t.kdf", "--by=age"});
    EXPECT_EQ(ages.Out.find("Space by type"), std::string::npos);
    EXPECT_NE(ages.Out.find("Last accessed (days counted back from "), std::string::npos);
}

TEST_F(ReportCommandTest, AComparisonReportsChangeAndHasNoAgeTables)
{
    Save("old.kdf", TestLogBytes({{"/d/", 4096, {File("a.jpg", 1), File("b.log", 9000)}}}));
    Save("new.kdf", TestLogBytes({{"/d/", 4096, {File("a.jpg", 9000), File("c.jpg", 1)}}}));
    ASSERT_EQ(Vmlog({"compare", dir_ / "old.kdf", dir_ / "new.kdf", "-o", dir_ / "c.kcf"}).Status,
              0);
    ProcessResult run = Summary(dir_ / "c.kcf");
    ASSERT_EQ(run.Status, 0) << run.Err;
    // Images grew by 3 units, logs lost 3; a.jpg grew most, d/ grew in two files.
    EXPECT_EQ(run.Out, "total 1 0\nfamily 2 0\nextension 2 0\ngrew_file 2 12288\n");
    ProcessResult text = Vmlog({"report", dir_ / "c.kcf", "--by", "largest"});
    EXPECT_NE(text.Out.find("Files that grew most\n"
                            "  Change  Space was  Space now  Path\n"
                            "   +8 KB       4 KB      12 KB  /d/a.jpg\n"),
              std::string::npos)
        << text.Out;
    ProcessResult ages = Vmlog({"report", dir_ / "c.kcf", "--by", "age"});
    EXPECT_EQ(ages.Status, 2);
    EXPECT_NE(ages.Err.find("a comparison has no age tables"), std::string::npos);
}

TEST_F(ReportCommandTest, ADamagedLogReportsWhatReadsAndFailsWithTheReason)
{
    std::vector<uint8_t> log =
        TestLogBytes({{"/data/", 4096, {File("a", 1), File("b", 2), File("c", 3)}}});
    const int32_t a = vm::GetI32(log.data() + 40 + 12);
    const int32_t b = vm::GetI32(log.data() + a + 12);
    vm::PutU16(log.data() + b, 20);
    Save("bad.kdf", log);
    ProcessResult run = Vmlog({"report", dir_ / "bad.kdf", "--by", "largest"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Out.find("1 file in 0 directories"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Err, "vmlog: " + (dir_ / "bad.kdf") + " is damaged: offset " + std::to_string(b) +
                           ", reached from record " + std::to_string(a) +
                           ": the record has a length of 20; the report counts what comes "
                           "before it\n");
}

TEST_F(ReportCommandTest, RefusesBadArgumentsAndWhatIsNoLog)
{
    dir_.WriteFile("text.kdf", "just some text that is long enough to be read");
    EXPECT_EQ(Vmlog({"report", dir_ / "text.kdf"}).Status, 1);
    EXPECT_EQ(Vmlog({"report", dir_ / "none.kdf"}).Status, 1);
    for (std::vector<std::string> bad : {std::vector<std::string>{"report"},
                                         {"report", "x", "--by", "size"},
                                         {"report", "x", "--top", "0"},
                                         {"report", "x", "--top"},
                                         {"report", "x", "--format=xml"},
                                         {"report", "x", "y"},
                                         {"report", "x", "--sort"}}) {
        ProcessResult run = Vmlog(bad);
        EXPECT_EQ(run.Status, 2) << bad.back();
        EXPECT_NE(run.Err.find("usage: vmlog report FILE"), std::string::npos) << run.Err;
    }
}
