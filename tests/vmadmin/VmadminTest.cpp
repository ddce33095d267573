// vmadmin as a program: the windows' refusals with their own words and nothing changed on disk,
// a data directory whose locks would not reach other computers left alone, the unattended run's
// exit statuses, and the metrics files read back by Prometheus' own text parser.
#include "AdminFixture.h"

#include "core/LogWalk.h"
#include "platform/Scheduler.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/TextCoding.h"
#include "references/LogHistory.h"
#include "references/Metrics.h"
#include "schedule/JobCommand.h"
#include "schedule/ScheduleList.h"
#include "schedule/SubmitJob.h"
#include "support/FakeMounts.h"

#include <nlohmann/json.hpp>

namespace vmtest {
namespace {

using nlohmann::json;

class VmadminTest : public AdminFixture
{
protected:
    // A reference "Web" with one path, /trees/web, logged never.
    void MakeWeb()
    {
        ASSERT_EQ(Admin({"ref", "create", "Web"}).Status, 0);
        ASSERT_EQ(Admin({"path", "add", "Web", Tree("web"), "--unit", "4096"}).Status, 0);
    }
    // Runs the command, which must be refused with the message and leave the data directory as
    // it was.
    void ExpectRefused(const std::vector<std::string>& args, const std::string& message,
                       const std::vector<std::string>& env = {})
    {
        const auto before = Snapshot();
        const ProcessResult r = Admin(args, env);
        EXPECT_EQ(r.Status, 1) << args[0] << " " << args[1] << ": " << r.Err;
        EXPECT_TRUE(r.Err.starts_with("vmadmin: ")) << r.Err;
        EXPECT_NE(r.Err.find(message), std::string::npos)
            << "wanted: " << message << "\ngot: " << r.Err;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(Snapshot(), before) << message;
    }
};

TEST_F(VmadminTest, RefusalsGiveTheWindowsWordsAndChangeNothing)
{
    MakeWeb();
    const std::string web = Root / "trees/web/";
    Tree("web/inner");
    Tree("other");

    ExpectRefused({"ref", "create", ""}, "You must type a VALID reference name");
    ExpectRefused({"ref", "create", "line\nbreak"}, "You must type a VALID reference name");
    ExpectRefused({"ref", "create", "   "}, "You must type a VALID reference name");
    ExpectRefused({"ref", "create", " wEB "}, "Reference name already used - Choose another");
    ExpectRefused({"ref", "create", std::string(81, 'n')},
                  "Reference name is too long - Reference names must be less than 80 characters");
    ExpectRefused({"ref", "create", "wEB"}, "Reference name already used - Choose another");
    ASSERT_EQ(Admin({"ref", "create", "  Mail "}).Status, 0);
    ExpectRefused({"ref", "rename", "Mail", "web"}, "Reference name already used - Choose another");
    ExpectRefused({"ref", "rename", "Mail", ""}, "You must type a VALID reference name");
    ExpectRefused({"ref", "rename", "Mail", "  "}, "You must type a VALID reference name");

    ExpectRefused({"path", "add", "Web", Root / "trees/web/inner"},
                  "This directory already included in " + web);
    ExpectRefused({"path", "add", "Web", Root / "trees/web/."}, "Directory already selected");
    ExpectRefused({"path", "add", "Web", Root / "trees"},
                  "This directory covers directories already selected. Delete ? (answered "
                  "Cancel; --yes answers OK)");
    ExpectRefused({"path", "add", "Web", Root / "trees/web/file"},
                  "The path \"" + web + "file/\" cannot be added: Not a directory");
    ExpectRefused({"path", "add", "Web", Root / "trees/gone"},
                  "The path \"" + (Root / "trees/gone/") +
                      "\" cannot be added: No such file or directory");
    for (const char* unit : {"0", "-512", "99999999999", "4k", ""}) {
        ExpectRefused({"path", "add", "Web", Root / "trees/other", "--unit", unit},
                      "Allocation units must be 1 or greater!");
        ExpectRefused({"path", "set", "Web", web, "--unit", unit},
                      "Allocation units must be 1 or greater!");
    }
    ExpectRefused({"path", "remove", "Web", Root / "trees/other"},
                  Root / "trees/other/ is not a path of reference [Web]");
    ExpectRefused({"log", "now", "nobody"}, "Reference [nobody] not found");

    // Covered paths go when the question is answered.
    EXPECT_EQ(Admin({"path", "add", "Web", Root / "trees", "--yes"}).Status, 0);
    const json paths = json::parse(Admin({"ref", "show", "web", "--json"}).Out)["paths"];
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0]["path"], Root / "trees/");
}

// A name cannot act on the terminal of whoever reads the table: a right-to-left override and a
// C1 control (a terminal's CSI) come out escaped, as on every other printed line.
TEST_F(VmadminTest, TablesPrintNamesEscaped)
{
    ASSERT_EQ(Admin({"ref", "create", "abc\u202Etxt.exe\u009B2J"}).Status, 0);
    const ProcessResult r = Admin({"ref", "list"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("abc\\xE2\\x80\\xAEtxt.exe\\xC2\\x9B2J"), std::string::npos) << r.Out;
}

TEST_F(VmadminTest, ADataDirectoryWhoseLocksStayOnThisComputerIsNotChanged)
{
    MakeWeb();
    FakeMounts mounts(Root);
    mounts.Add(mounts.Root() + "/data", "nfs", "fs1:/export/volumark",
               "rw,vers=3,local_lock=all,addr=10.0.0.2");
    const std::string mountinfo = "VOLUMARK_MOUNTINFO=" + mounts.Write();
    const std::string why = "local_lock=all, so its locks are seen on this computer only";

    ExpectRefused({"ref", "create", "Mail"}, "Volumark will not change", {mountinfo});
    ExpectRefused({"ref", "rename", "Web", "Mail"}, why, {mountinfo});
    ExpectRefused({"ref", "delete", "Web"}, why, {mountinfo});
    ExpectRefused({"path", "add", "Web", Tree("more")}, why, {mountinfo});
    ExpectRefused({"log", "now", "Web"}, why, {mountinfo});
    // Reading is safe: the listings still work.
    EXPECT_EQ(Admin({"ref", "list"}, {mountinfo}).Status, 0);

    // The unattended run does not repair or log there either.
    const auto before = Snapshot();
    std::vector<std::string> argv = Environment({mountinfo});
    argv.insert(argv.end(), {BuiltProgram("volumark"), "--data", Data(), "/Ref=Web"});
    const ProcessResult run = RunProcess(argv);
    EXPECT_EQ(run.Status, 2) << run.Err;
    EXPECT_NE(run.Err.find(why), std::string::npos) << run.Err;
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(VmadminTest, ExitStatusesAreTheUnattendedRuns)
{
    const ProcessResult help = Admin({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("vmadmin job add REF --at HH:MM"), std::string::npos);
    EXPECT_NE(help.Out.find("  2 the reference could not be logged"), std::string::npos);
    EXPECT_EQ(Admin({"--version"}).Status, 0);

    const ProcessResult unknown = Admin({"refs"});
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_EQ(unknown.Err,
              "vmadmin: unknown command \"refs\"\nUsage: vmadmin [--data DIR] [--json] "
              "[--yes] COMMAND ...\nTry \"vmadmin --help\".\n");
    EXPECT_EQ(Admin({"ref", "list", "--colour"}).Status, 1);

    ASSERT_EQ(Admin({"ref", "create", "Empty"}).Status, 0);
    const ProcessResult notLogged = Admin({"log", "now", "empty"});
    EXPECT_EQ(notLogged.Status, 2);
    EXPECT_EQ(notLogged.Err, "vmadmin: Can not log this Ref\nAllocation unit not set\n");
    EXPECT_EQ(Admin({"compare", "run", "Empty", "1", "2"}).Status, 1);

    // A data directory that does not exist is refused, not made.
    std::vector<std::string> argv = Environment();
    argv.insert(argv.end(), {BuiltProgram("vmadmin"), "--data", Root / "typo", "ref", "list"});
    const ProcessResult typo = RunProcess(argv);
    EXPECT_EQ(typo.Status, 1);
    EXPECT_FALSE(std::filesystem::exists(Root / "typo"));
    // $VOLUMARK_DATA names the data directory as --data does.
    argv = Environment({"VOLUMARK_DATA=" + Data()});
    argv.insert(argv.end(), {BuiltProgram("vmadmin"), "ref", "list", "--json"});
    EXPECT_EQ(json::parse(RunProcess(argv).Out)[0]["name"], "Empty");
}

TEST_F(VmadminTest, EitherToolListsAndDeletesTheJobsTheOtherMade)
{
    MakeWeb();
    const std::string programDir = BuiltProgram("");
    ProcessResult added = Admin({"job", "add", "web", "--at", "23:59", "--days", "1,31",
                                 "--compare=12", "--keep", "--program-dir", programDir});
    ASSERT_EQ(added.Status, 0) << added.Err;
    EXPECT_EQ(added.Out, "1\n");

    // The line is the one the submit dialog makes of the same choices.
    vm::TJobRequest request;
    request.Reference = "Web";
    request.Hours = 23;
    request.Minutes = 59;
    request.MonthDays[0] = request.MonthDays[30] = true;
    request.CompareLatest = false;
    request.LogText = "12";
    request.DeleteOldCompares = true;
    request.ProgramLocation = programDir;
    request.DataDirectory = Data();
    vm::TCronScheduler scheduler(vm::TCrontabAccess::File(Crontab()));
    vm::TScriptedUserInterface ui;
    vm::TScheduleList list(scheduler, ui);
    ASSERT_TRUE(list.Connect(""));
    ASSERT_EQ(list.Rows().size(), 1u);
    EXPECT_EQ(list.Rows()[0].Job.Command, vm::JobCommandLine(request));
    EXPECT_EQ(list.Rows()[0].Job.JobTime, 86340000u);
    EXPECT_EQ(list.Rows()[0].Job.DaysOfMonth, 0x40000001u);
    ui.Answers.push_back(vm::idYes); // "OK to delete job 1"
    list.Delete(0);
    EXPECT_EQ(json::parse(Admin({"job", "list", "--json"}).Out), json::array());

    // The dialog adds, vmadmin lists and deletes.
    request.Weekdays[0] = true;
    const std::optional<uint32_t> id = vm::SubmitJob(request, "", scheduler, ui);
    ASSERT_TRUE(id);
    const json jobs = json::parse(Admin({"job", "list", "--json"}).Out);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]["id"], *id);
    EXPECT_EQ(jobs[0]["day"], "Each Mon,1,31");
    EXPECT_EQ(jobs[0]["command"], vm::JobCommandLine(request));
    EXPECT_EQ(Admin({"job", "delete", std::to_string(*id)}).Status, 0);
    EXPECT_TRUE(scheduler.EnumJobs("").empty());
    const ProcessResult gone = Admin({"job", "delete", std::to_string(*id)});
    EXPECT_EQ(gone.Status, 1);
    EXPECT_NE(gone.Err.find("There is no job " + std::to_string(*id)), std::string::npos);
}

// Every sample of a metrics file as Prometheus' own parser (python3-prometheus-client) reads
// it: {"name": [[labels, value], ...]}.
json ParsedMetrics(const std::string& file)
{
    const char* script = R"(
import json, sys
from prometheus_client.parser import text_string_to_metric_families
out = {}
with open(sys.argv[1], encoding="utf-8") as f:
    for family in text_string_to_metric_families(f.read()):
        assert family.type == "gauge", family.name
        for s in family.samples:
            out.setdefault(s.name, []).append([s.labels, s.value])
print(json.dumps(out))
)";
    const ProcessResult r = RunProcess({"/usr/bin/python3", "-c", script, file});
    EXPECT_EQ(r.Status, 0) << r.Err;
    return r.Status == 0 ? json::parse(r.Out) : json::object();
}

// The value of the sample whose labels include path (empty: the reference's own sample).
double Sample(const json& metrics, const std::string& name, const std::string& path = "")
{
    for (const json& s : metrics.value(name, json::array()))
        if (path.empty() ? !s[0].contains("path") : s[0].value("path", "") == path)
            return s[1].get<double>();
    ADD_FAILURE() << name << " " << path << " is missing";
    return -1;
}

// Records of the log per root, counted by a walk of the log itself.
std::map<std::string, int64_t> EntriesOf(const std::string& logPath)
{
    vm::TFileStream file(logPath, vm::TFileMode::OpenRead);
    vm::TDirStorage log(file);
    std::map<std::string, int64_t> entries;
    vm::TLogWalk roots = vm::TLogWalk::Roots(log);
    vm::TDirNode node;
    std::string name;
    while (roots.Next(node, name)) {
        vm::TLogWalk below = vm::TLogWalk::Subtree(log, roots.Offset());
        int64_t count = 1;
        vm::TDirNode child;
        std::string childName;
        while (below.Next(child, childName))
            ++count;
        entries[name] = count;
    }
    return entries;
}

TEST_F(VmadminTest, MetricsReadByPrometheusParserAgreeWithTheLogs)
{
    // A path whose name the text format must escape, and one that is not UTF-8.
    const std::string odd = Tree("we\"ird\\dir \xff", 3000);
    Tree("we\"ird\\dir \xff/sub", 7000);
    const std::string plain = Tree("plain", 12345);
    ASSERT_EQ(Admin({"ref", "create", "Files \"A\""}).Status, 0);
    ASSERT_EQ(Admin({"path", "add", "files \"a\"", odd, "--unit", "4096"}).Status, 0);
    ASSERT_EQ(Admin({"path", "add", "files \"a\"", plain, "--unit", "512"}).Status, 0);
    ASSERT_EQ(Admin({"log", "now", "Files \"A\""}).Status, 0);
    Root.WriteFile("trees/plain/grown", std::string(100000, 'g'));
    // The reference switches to extended logs: the figures compare across the two formats.
    EXPECT_EQ(Admin({"ref", "format", "files \"a\"", "wide"}).Status, 1);
    ASSERT_EQ(Admin({"ref", "format", "files \"a\"", "extended"}).Status, 0);
    EXPECT_EQ(json::parse(Admin({"ref", "show", "files \"a\"", "--json"}).Out)["log_format"],
              "extended");
    const ProcessResult second = Admin({"log", "now", "Files \"A\""});
    ASSERT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Out + second.Err, ""); // quiet on success

    const std::string file = Root / ("metrics/" + vm::MetricsFileName(Data(), 0));
    const json m = ParsedMetrics(file);
    const std::string ref = Data() + "/Ref0000";
    const vm::TLogSummary was = vm::ReadLogSummary(ref + "/Log0001.kdf", 1);
    const vm::TLogSummary now = vm::ReadLogSummary(ref + "/Log0002.kdf", 2);
    const std::map<std::string, int64_t> entries = EntriesOf(ref + "/Log0002.kdf");
    ASSERT_EQ(now.Roots.size(), 2u);
    {
        vm::TFileStream stream(ref + "/Log0002.kdf", vm::TFileMode::OpenRead);
        EXPECT_TRUE(vm::TDirStorage(stream).HasOwners());
    }

    EXPECT_EQ(m.size(), 13u) << m.dump();
    const json labels = m["volumark_reference_space_bytes"][0][0];
    EXPECT_EQ(labels, json({{"data_dir", Data()}, {"ref", "0000"}, {"reference", "Files \"A\""}}));
    EXPECT_EQ(Sample(m, "volumark_reference_space_bytes"), now.Allocated);
    EXPECT_EQ(Sample(m, "volumark_reference_size_bytes"), now.Size);
    EXPECT_EQ(Sample(m, "volumark_reference_entries"),
              entries.begin()->second + entries.rbegin()->second);
    EXPECT_EQ(Sample(m, "volumark_reference_space_change_bytes"), now.Allocated - was.Allocated);
    EXPECT_GT(now.Allocated, was.Allocated);
    EXPECT_EQ(Sample(m, "volumark_reference_unreadable_directories"), 0);
    EXPECT_EQ(Sample(m, "volumark_last_log_number"), 2);
    EXPECT_EQ(Sample(m, "volumark_last_log_timestamp_seconds"), vm::LocalDateTimeToUnix(now.Date));
    const double seconds = Sample(m, "volumark_last_log_duration_seconds");
    EXPECT_GT(seconds, 0);
    EXPECT_LT(seconds, 60);
    for (size_t i = 0; i < now.Roots.size(); ++i) {
        const vm::TRootTotals& root = now.Roots[i];
        const std::string label = vm::ValidUtf8(root.Path);
        EXPECT_EQ(Sample(m, "volumark_path_space_bytes", label), root.Allocated) << label;
        EXPECT_EQ(Sample(m, "volumark_path_size_bytes", label), root.Size) << label;
        EXPECT_EQ(Sample(m, "volumark_path_entries", label), entries.at(root.Path)) << label;
        EXPECT_EQ(Sample(m, "volumark_path_space_change_bytes", label),
                  root.Allocated - was.Roots[i].Allocated)
            << label;
        EXPECT_EQ(Sample(m, "volumark_path_unreadable_directories", label), 0) << label;
    }
    EXPECT_EQ(vm::ValidUtf8(now.Roots[1].Path), vm::ValidUtf8(odd + "/")); // paths in name order

    // Written on request: the same figures, the run's duration kept; a deleted reference's
    // file goes.
    ASSERT_EQ(Admin({"ref", "create", "Other"}).Status, 0);
    ASSERT_EQ(Admin({"path", "add", "Other", Tree("x"), "--unit", "1"}).Status, 0);
    ASSERT_EQ(Admin({"log", "now", "Other"}).Status, 0);
    const std::string otherFile = Root / ("metrics/" + vm::MetricsFileName(Data(), 1));
    EXPECT_TRUE(std::filesystem::exists(otherFile));
    ASSERT_EQ(Admin({"ref", "delete", "Other"}).Status, 0);
    ASSERT_EQ(Admin({"metrics"}).Status, 0);
    EXPECT_EQ(ParsedMetrics(file), m);
    EXPECT_FALSE(std::filesystem::exists(otherFile));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Root / "metrics"))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{vm::MetricsFileName(Data(), 0)}); // no temporaries
}

} // namespace
} // namespace vmtest
