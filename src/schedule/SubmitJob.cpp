#include "schedule/SubmitJob.h"

#include "platform/AsciiCase.h"
#include "references/RefNames.h"
#include "schedule/ScheduleList.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vm {

std::string SubmitCaption(const std::string& server)
{
    return "Submit job on " + (server.empty() ? std::string("local machine") : "server " + server);
}

std::vector<std::string> ReferenceNames(const TRefStore& store)
{
    std::vector<std::string> names;
    for (const auto& [section, values] : store.RefIni().ReadAll()) {
        if (!RefNumberOfName(section))
            continue;
        auto name = std::find_if(values.begin(), values.end(), [](const auto& kv) {
            return SameTextIgnoringCase(kv.first, "Name");
        });
        if (name != values.end() && !name->second.empty())
            names.push_back(name->second);
    }
    return names;
}

std::vector<std::string> LogNumberTexts(const TRefStore& store, const std::string& reference)
{
    const int n = store.FindRefByName(reference);
    if (n < 0)
        return {};
    std::vector<int> numbers;
    std::error_code ec;
    for (fs::directory_iterator it(store.RefDir(n), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::optional<int> m = LogNumberOfName(name);
        if (m && EndsWithIgnoringCase(name, ".kdf") && !it->is_directory(ec))
            numbers.push_back(*m);
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::string> texts;
    for (int m : numbers)
        texts.push_back(FourDigitForm(m));
    return texts;
}

std::string DefaultProgramLocation(const std::string& programPath)
{
    if (programPath.empty())
        return {};
    const fs::path dir = fs::path(programPath).parent_path();
    const fs::path installed = dir.parent_path() / "lib" / "volumark";
    std::error_code ec;
    if (!fs::exists(dir / kBatchFileName, ec) && fs::exists(installed / kBatchFileName, ec))
        return installed.string();
    return dir.string();
}

namespace {

// Why a job on this computer could not run as asked, or empty. Cron starts jobs in the home
// directory, so the location must be a full path; the script must be there to be run.
std::string LocalProblem(const TJobRequest& request)
{
    if (request.ProgramLocation[0] != '/')
        return "The program location must be a full path, beginning with /";
    const std::string batch = ProgramDirectory(request.ProgramLocation) + kBatchFileName;
    if (access(batch.c_str(), X_OK) != 0 || fs::is_directory(batch))
        return "Can't find " + std::string(kBatchFileName) + " in " + request.ProgramLocation;
    return {};
}

} // namespace

bool CheckJobRequest(const TJobRequest& request, const std::string& server, TScheduler& scheduler,
                     TUserInterface& ui)
{
    if (request.Reference.empty()) {
        ui.ShowMessage("A reference name must be specified");
        return false;
    }
    if (request.ProgramLocation.empty()) {
        ui.ShowMessage("Please specify the program file location for Volumark");
        return false;
    }
    // A periodic job with no day would never repeat: a job that runs once is "Run once only".
    if (request.RunPeriodically && WeekdayMask(request.Weekdays) == 0 &&
        MonthDayMask(request.MonthDays) == 0) {
        ui.ShowMessage(kNoDayToRunOn);
        return false;
    }
    // "/c=0" would be refused by every run of the job.
    if (request.Compare && !request.CompareLatest && LogNumberOfText(request.LogText) < 1) {
        ui.ShowMessage("Please choose the log to compare with");
        return false;
    }
    if (server.empty() || SameTextIgnoringCase(server, scheduler.LocalComputerName())) {
        if (std::string problem = LocalProblem(request); !problem.empty()) {
            ui.ShowMessage(problem);
            return false;
        }
    }
    return true;
}

std::optional<uint32_t> SubmitJob(const TJobRequest& request, const std::string& server,
                                  TScheduler& scheduler, TUserInterface& ui)
{
    if (!CheckJobRequest(request, server, scheduler, ui))
        return std::nullopt;
    const TSchedulerJob job = JobOf(request);
    ui.SetBusy(true);
    ui.ProcessMessages();
    uint32_t id = 0;
    try {
        id = scheduler.AddJob(server, job);
    } catch (const ESchedulerError& e) {
        ui.SetBusy(false);
        ui.ProcessMessages();
        ui.MessageDlg(SchedulerErrorText(e), TMsgDlgType::Error, mbtn::OK);
        return std::nullopt;
    }
    ui.SetBusy(false);
    ui.ProcessMessages();
    ui.ShowMessage("Successfully queued job " + std::to_string(id));
    return id;
}

} // namespace vm
