#include "refman/RefRuns.h"

#include "platform/UserInterface.h"
#include "references/CompareRun.h"
#include "references/RefStore.h"
#include "references/ShortenText.h"

#include <algorithm>
#include <optional>
#include <unistd.h>

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
    ~TRunScreen() { Close(); }
    TRunScreen(const TRunScreen&) = delete;
    TRunScreen& operator=(const TRunScreen&) = delete;

    // Hides the status window and gives the window back (before a message is shown).
    void Close()
    {
        if (closed_)
            return;
        closed_ = true;
        ui_.Status().Hide();
        ui_.SetBusy(false);
        if (running_)
            running_(false);
    }

private:
    TUserInterface& ui_;
    const TRunningHook& running_;
    bool closed_ = false;
};

void RemoveIfThere(const std::string& path)
{
    if (!path.empty())
        unlink(path.c_str());
}

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

TLogRunResult RunLogging(const TRefStore& store, TAppContext& app, int n,
                         const TStatusEvent& handler)
{
    bool stopped = false;
    TStatusEvent watch = [&](const std::string& text, bool& stop) {
        if (handler)
            handler(text, stop);
        stopped = stopped || stop;
    };
    TLogRunResult result = LogReference(store, app, n, watch);
    if (result.Stopped || stopped) {
        // The log the run reports, never a number read before the run: another process may
        // have taken that one meanwhile.
        RemoveIfThere(result.Path);
        result.Stopped = true;
    }
    return result;
}

TRunOutcome LogNow(const TRefStore& store, TAppContext& app, int n, const std::string& refName,
                   TRunProgress& progress, const TRunningHook& running)
{
    TUserInterface& ui = *app.UI;
    const TRefPaths paths = store.ReadRefPaths(n);
    if (paths.Paths.empty() || paths.Paths[0].empty()) {
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
    {
        TRunScreen screen(ui, running, "Now Logging :");
        progress.Start();
        try {
            const TLogRunResult result = RunLogging(store, app, n, progress.Handler());
            outcome.Stopped = result.Stopped;
            outcome.Completed = !result.Refused && !result.Stopped;
            outcome.LogNumber = outcome.Completed ? result.LogNumber : -1;
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (failure)
        ui.MessageDlg(*failure, TMsgDlgType::Error, mbtn::OK);
    return outcome;
}

TRunOutcome CompareNow(const TRefStore& store, TUserInterface& ui, int n, int a, int b,
                       TRunProgress& progress, const TRunningHook& running)
{
    const int oldLog = std::min(a, b);
    const int newLog = std::max(a, b);
    const std::string target = store.CompFileName(n, oldLog, newLog);
    TRunOutcome outcome;
    std::optional<std::string> failure;
    {
        TRunScreen screen(ui, running, "Now Comparing :");
        progress.Start();
        // A stopped or failed comparison would read as one that found the rest deleted; a run
        // that failed before creating its file leaves an earlier comparison of that name alone.
        bool removeTarget = false;
        try {
            const TCompareRunResult result =
                RunComparison(store, n, oldLog, newLog, progress.Handler());
            outcome.Stopped = result.Stopped || progress.StopRequested;
            outcome.Completed = !outcome.Stopped;
            removeTarget = outcome.Stopped;
        } catch (const ECompareRunError& e) {
            failure = e.what();
            removeTarget = e.FileCreated();
        } catch (const std::exception& e) {
            failure = e.what();
            removeTarget = true;
        }
        if (removeTarget)
            RemoveIfThere(target);
    }
    if (failure)
        ui.MessageDlg(*failure, TMsgDlgType::Error, mbtn::OK);
    return outcome;
}

} // namespace vm
