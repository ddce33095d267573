// The logging and comparison runs as the reference manager and the wizard start them: the checks
// before a run, the status window during it, the stop request and what a stopped or failed run
// leaves (nothing). The runs themselves are the logging run and the comparison run; every call
// into them is here.
#pragma once

#include "core/LogScan.h"
#include "core/StatusEvent.h"
#include "references/LoggingRun.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

class TRefStore;
class TUserInterface;

// The progress callback of the manager's runs: the first 19 calls show nothing; from the 20th
// on, each shows the item, shortened to 42 characters, in the status window, lets pending
// messages run, and passes on the status window's stop request.
class TRunProgress
{
public:
    explicit TRunProgress(TUserInterface& ui) : ui_(ui) {}
    // A new run: nothing counted, nothing stopped.
    void Start();
    void Report(const std::string& text, bool& stop);
    // A callback that reports here (the object must outlive it).
    TStatusEvent Handler();

    int ProgressCount = 0;
    bool StopRequested = false;

private:
    TUserInterface& ui_;
};

// Disables the window and every menu item while a run works (true) and enables them again
// (false).
using TRunningHook = std::function<void(bool running)>;

struct TRunOutcome
{
    bool Completed = false; // the run wrote its log or comparison
    bool Stopped = false;   // the user stopped it: nothing was kept
    int LogNumber = -1;     // the log a logging run wrote
};

// Logs reference n now: refuses a reference without paths or with a path whose unit is not
// set, then runs the logging with the status window shown ("Now Logging :").
TRunOutcome LogNow(const TRefStore& store, TUserInterface& ui, int n, const std::string& refName,
                   TRunProgress& progress, const TRunningHook& running);

// After a log was written with directories it could not read: says how many and which (the
// first ten), as the log holds them empty.
void ReportUnreadable(TUserInterface& ui, const std::vector<TUnreadableDirectory>& unreadable);

// Compares logs a and b of reference n, the lower number as the old log ("Now Comparing :").
TRunOutcome CompareNow(const TRefStore& store, TUserInterface& ui, int n, int a, int b,
                       TRunProgress& progress, const TRunningHook& running);

} // namespace vm
