// The logging run: scans every path of a reference into its next numbered log, or one folder
// into memory, and names the new log's tags; the two readings of a finished log that summaries
// need (its totals and its date).
#pragma once

#include "core/LogScan.h"
#include "core/StatusEvent.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"
#include "references/RefStore.h"

#include <memory>
#include <string>

namespace vm {

// The two-line message of a reference that cannot be logged: "Can not log this Ref", then why
// ("Allocation unit not set").
std::string CannotLogText(const std::string& why);

struct TLogRunResult
{
    // Nothing was written: not every path had an allocation unit, or a top-level path could not
    // be read (missing, not a directory, no permission).
    bool Refused = false;
    std::string Refusal;  // why it was refused, the message's second line
    bool Stopped = false; // the handler stopped the scan: nothing was written
    int LogNumber = -1;   // the number taken (also when stopped); -1 when refused
    std::string Path;     // the log written; empty when none was
    // Directories the scan could not open or read: the log holds them with what was read.
    std::vector<TUnreadableDirectory> Unreadable;
    // The reference asks for exact logs, but this one passed that format's 2 GiB limit and was
    // written in the extended format.
    bool PassedExactLimit = false;
};

// Writes the next log of reference n, in the format the reference is set to (exact unless set;
// an exact log that would pass 2 GiB is written extended, and the status window's Text says so).
// The number is taken from NextLogNo under the INI file's
// lock and advanced at once, so two processes logging the same reference write two different,
// complete logs, and the number of a stopped or failed run is never used again. The log is
// written under a temporary name (platform/PendingFile.h) and takes its name only once it is
// complete: a stop, an error (a full disk, a vanished directory), an exception from the handler
// or a killed process leave no file under a log's name, and an existing log file is never
// overwritten (its number is passed over). Shows CannotLogText through ui and writes nothing
// when a unit is not set; refuses the same way, with the path and the reason, when a top-level
// path cannot be read (a share not mounted would otherwise log as an empty root, and the next
// comparison would read every file under it as deleted): checked before the number is taken,
// and again by the scan itself, whose log is then not kept. Errors are raised. ui also runs the
// scan's pending messages and is told that a run is in progress (TLoggingInProgress) while it
// works; a log written with directories that could not be read says how many in the status
// window's Text. Files go through store.Files(). A written log also writes the reference's
// metrics file where the options or $VOLUMARK_METRICS_DIR name a directory
// (references/Metrics.h); a failure there is shown through ui and leaves the log as it is.
TLogRunResult LogReference(const TRefStore& store, TUserInterface& ui, int n,
                           const TStatusEvent& handler);

// The allocation unit and file system a folder logged on its own counts in: those a reference
// path on the folder's volume gets (the volume first, then the share list); the unit 1 (sizes
// taken as they are) when neither tells one.
TVolumeFacts FolderVolumeFacts(const TRefStore& store, const std::string& folder);

// Scans one folder into a new memory stream in the unit of FolderVolumeFacts, so that its disk
// space reads as a reference's log of the same tree would. Nothing for an empty folder text; the
// caller owns the stream. Raises the scan's errors.
std::unique_ptr<TMemoryStream> LogFolder(const TRefStore& store, TUserInterface& ui,
                                         const std::string& folder, const TStatusEvent& handler,
                                         bool* stopped = nullptr);

struct TLogTotals
{
    int64_t Size = 0;
    int64_t Allocated = 0; // what reports call the log size
};
// The sums over the roots of log m of reference n; zeros when the log cannot be opened.
TLogTotals LogTotals(const TRefStore& store, int n, int m);
// The log date of log m of reference n; 0 when the log cannot be opened.
TDateTime LogDate(const TRefStore& store, int n, int m);
// The format log m of reference n is written in; exact when it cannot be opened.
TLogFormat LogFormatOf(const TRefStore& store, int n, int m);

} // namespace vm
