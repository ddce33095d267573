// The reference wizard's steps without the window: the name, the paths with their cluster
// sizes, creating (or, after going back, updating) the reference, and logging it at once.
// Messages and questions go through the user interface; the window shows the pages and their
// buttons as this object says.
#pragma once

#include "core/LogRecord.h"
#include "core/StatusEvent.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

class TMountTable;
class TRefStore;
class TUserInterface;

// The mount points the drive selector offers: "/" first, then those of disk and network file
// systems in path order (no proc, sysfs, cgroup, tmpfs and the like).
std::vector<std::string> WizardDrives(const TMountTable& mounts);

inline const char* const kNextCaption = "&Next >";
inline const char* const kFinishCaption = "Finish";

class TRefWizard
{
public:
    static constexpr int kPages = 5;

    // store and ui outlive the wizard; ui shows its messages.
    TRefWizard(TRefStore& store, TUserInterface& ui);

    // Opens the log a run wrote (the main window's DisplayLog).
    std::function<void(int reference, int log)> DisplayLog;
    // Shows the item being logged (the "Processing :" label).
    std::function<void(const std::string& text)> ShowProgress;
    // The page or the buttons change in the middle of a step (the logging page comes up).
    std::function<void()> StateChanged;

    // A fresh start (the wizard is shown): page 1, no name, no path, "log now" ticked, the exact
    // format, no reference made yet.
    void Reset();

    int Page() const { return page_; }
    const std::vector<std::string>& Paths() const { return paths_; }
    int CreatedReference() const { return created_; }
    bool Logging() const { return logging_; }
    std::string Name;
    bool LogNow = true;
    // The format the reference's logs take (stored with its paths); exact unless chosen.
    TLogFormat LogFormat = TLogFormat::Exact;

    std::string NextCaption() const;
    bool BackEnabled() const { return page_ > 1 && !logging_; }
    bool NextEnabled() const { return !logging_; }
    std::string CancelCaption() const { return logging_ ? "Cancel log" : "Cancel"; }

    // "&Next >": the current page's step. Moves on and returns true when it succeeds; returns
    // true with Finished() set when the wizard is done (closed).
    bool Next();
    void Back();
    bool Finished() const { return finished_; }

    // "Cancel": asks; true when the wizard closes. While logging it asks whether to stop the run
    // and never closes (the run ends first).
    bool Cancel();

    // Adds a drive, chosen folder or typed path to the list: refused when it cannot be a path of
    // a reference or overlaps a listed one; asks for a cluster size the volume does not tell.
    // True when the path is listed.
    bool AddPath(const std::string& path);
    void DeletePath(size_t index);

private:
    bool CheckName();
    bool MakeReference();
    void LogNewReference();
    void AskClusterSize(const std::string& path);

    TRefStore& store_;
    TUserInterface& ui_;
    int page_ = 1;
    std::vector<std::string> paths_;
    int created_ = -1;
    bool logging_ = false;
    bool stop_ = false;
    bool finished_ = false;
};

} // namespace vm
