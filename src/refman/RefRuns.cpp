#include "refman/RefRuns.h"

#include "core/LogScan.h"
#include "platform/UserInterface.h"
#include "references/CompareRun.h"
#include "references/RefStore.h"
#include "references/ShortenText.h"

#include <algorithm>
#include <optional>

namespace vm {

namespace {

constexpr int kQuietProgressCalls = 20;
constexpr size_t kProgressTextLength = 42;

// What a run changes on screen, undone on every way out.
class TRunScreen
{
public:
    TRunScreen(TUserInterface& ui, const TRunningHook& running, const char* heading)
        : ui_(ui), running_(running)
    {
        TStatusWindow& status = ui_.Status();
        status.SetHeading(heading);
        status.SetText("");
        status.SetHeading2Visible(false);
        if (running_)
            running_(true);
        status.Show();
        ui_.SetBusy(true);
    }
    // The status window goes and the window comes back before any message is shown.
    ~TRunScreen()
    {
        ui_.Status().Hide();
        ui_.SetBusy(false);
        if (running_)
            running_(false);
    }
    TRunScreen(const TRunScreen&) = delete;
    TRunScreen& operator=(const TRunScreen&) = delete;

private:
    TUserInterface& ui_;
    const TRunningHook& running_;
};

} // namespace

void TRunProgress::Start()
{
    ProgressCount = 0;
    StopRequested = false;
}

void TRunProgress::Report(const std::string& text, bool& stop)
{
    if (++ProgressCount < kQuietProgressCalls)
        return;
    ui_.Status().SetText(ShortenText(text, kProgressTextLength));
    ui_.ProcessMessages();
    if (ui_.Status().StopRequested()) {
        stop = true;
        StopRequested = true;
    }
}

TStatusEvent TRunProgress::Handler()
{
    return [this](const std::string& text, bool& stop) { Report(text, stop); };
}

void ReportUnreadable(TUserInterface& ui, const std::vector<TUnreadableDirectory>& unreadable)
{
    constexpr size_t kNamed = 10;
    if (unreadable.empty())
        return;
    std::string text =
        UnreadableDirectoriesText(unreadable.size()) + "; the log holds them as empty directories:";
    for (size_t i = 0; i < unreadable.size() && i < kNamed; ++i)
        text += "\n" + UnreadableDirectoryText(unreadable[i]);
    if (unreadable.size() > kNamed)
        text += "\n... and " + std::to_string(unreadable.size() - kNamed) + " more";
    ui.MessageDlg(text, TMsgDlgType::Warning, mbtn::OK);
}

TRunOutcome LogNow(const TRefStore& store, TUserInterface& ui, int n, const std::string& refName,
                   TRunProgress& progress, const TRunningHook& running)
{
    const TRefPaths paths = store.ReadRefPaths(n);
    if (paths.empty() || paths[0].Path.empty()) {
        ui.ShowMessage("No path(s) set for this reference. Volumark is unable to log");
        return {};
    }
    if (!AllocUnitsSet(paths)) {
        ui.Beep();
        ui.ShowMessage("Can not log [" + refName + "] while an Allocation Unit is set to zero");
        return {};
    }

    TRunOutcome outcome;
    std::optional<std::string> failure;
    std::vector<TUnreadableDirectory> unreadable;
    {
        TRunScreen screen(ui, running, "Now Logging :");
        progress.Start();
        try {
            // The run keeps nothing of a stop: its log takes its name only when complete.
            const TLogRunResult result = LogReference(store, ui, n, progress.Handler());
            outcome.Stopped = result.Stopped;
            outcome.Completed = !result.Refused && !result.Stopped;
            outcome.LogNumber = outcome.Completed ? result.LogNumber : -1;
            if (outcome.Completed)
                unreadable = result.Unreadable;
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (failure)
        ui.MessageDlg(*failure, TMsgDlgType::Error, mbtn::OK);
    ReportUnreadable(ui, unreadable);
    return outcome;
}

TRunOutcome CompareNow(const TRefStore& store, TUserInterface& ui, int n, int a, int b,
                       TRunProgress& progress, const TRunningHook& running)
{
    const int oldLog = std::min(a, b);
    const int newLog = std::max(a, b);
    TRunOutcome outcome;
    std::optional<std::string> failure;
    {
        TRunScreen screen(ui, running, "Now Comparing :");
        TLoggingInProgress inProgress(ui);
        progress.Start();
        // A stopped or failed comparison leaves no file: it takes its name only when complete.
        try {
            const TCompareRunResult result =
                RunComparison(store, n, oldLog, newLog, progress.Handler());
            outcome.Stopped = result.Stopped || progress.StopRequested;
            outcome.Completed = !outcome.Stopped;
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (failure)
        ui.MessageDlg(*failure, TMsgDlgType::Error, mbtn::OK);
    return outcome;
}

} // namespace vm
