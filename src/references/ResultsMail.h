// The results mail of an unattended run: the growth of a reference since its previous log,
// mailed always or only when it passes the threshold the options set.
#pragma once

#include "core/ScanSink.h"
#include "core/TopChanges.h"
#include "platform/DateTime.h"
#include "platform/Locale.h"
#include "platform/UserInterface.h"
#include "references/LogHistory.h"
#include "references/Options.h"
#include "statistics/LogStatistics.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class TRefStore;

// What the mail says, before it is sent.
struct TResultsMailText
{
    bool Send = false;
    std::vector<std::string> Recipients;
    bool DefaultProfile = true;
    std::string Profile;
    std::string Subject;
    std::vector<std::string> Lines; // the body, one entry a line
};

// The facts the mail reports.
struct TResultsFacts
{
    std::string RefName;
    TDateTime LogDate = 0;     // the new log's date
    int64_t Total = 0;         // the new log's allocated total
    int64_t PreviousTotal = 0; // the previous log's, 0 without one
    // Why the run wrote no log (a top-level path that could not be read, no allocation unit);
    // empty when it wrote one. The mail then says so, whatever its mode, and nothing else.
    std::string NotLogged;
    // What the new log's scan could not read (named up to kMailUnreadableNamed).
    std::vector<TUnreadableDirectory> Unreadable;
    // The reference asks for exact logs, but the new one passed that format's 2 GiB limit and
    // was written in the extended format.
    bool PassedExactLimit = false;
    // The directories that grew most since the previous log (an alerts mail lists them).
    std::vector<TDirectoryChange> TopGrowers;
    // The last logs of the reference, the new one included, in date order.
    std::vector<TLogSummary> History;
    // The new log's statistics (its space by type, and by owner where it records owners); the
    // body ends with their summaries.
    std::optional<TLogStatistics> Statistics;
};

// How many directories an alerts mail lists, how many logs the history table shows, and how many
// unread directories a body names.
constexpr size_t kMailTopGrowers = 5;
constexpr size_t kMailHistoryLogs = 10;
constexpr size_t kMailUnreadableNamed = 10;

// What the logging run before the mail did besides writing its log.
struct TLogRunNotes
{
    std::string NotLogged;                        // why no log was written; empty when one was
    std::vector<TUnreadableDirectory> Unreadable; // what the log's scan could not read
};

// One line of a directory's change: "+1.00 GB  /srv/data/x  (was 2.00 GB, now 3.00 GB)"; the
// path printable (PrintableName), so a name can neither plant lines nor act on the reader.
std::string DirectoryChangeText(const TDirectoryChange& change, const TLocale& locale);

// Composes the mail from the options and the facts (no file is read).
TResultsMailText ComposeResultsMail(const TOptions& options, const TResultsFacts& facts,
                                    const TLocale& locale);

// Composes and, when the rules say so, sends the results mail for log newLog of reference n,
// compared with log previousLog (0: no previous log; the top growers come from their comparison
// file when it exists); run: what the logging run could not do. Returns the mail component's
// result code, or 0 when nothing was sent; failure, when given, receives the reason of a failure.
int ResultsMail(const TRefStore& store, const TOptions& options, TUserInterface& ui, int n,
                int newLog, int previousLog, const TLogRunNotes& run, const TLocale& locale,
                const std::string& mailFile, std::string* failure = nullptr);

} // namespace vm
