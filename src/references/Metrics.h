// Metrics for the monitoring a fleet already runs: after every logging run (and on request) a
// file in the Prometheus text format, one per reference, for node_exporter's textfile collector.
// Per reference and per top-level path: the space taken, the size, the entries, the directories
// that could not be read and the change of the space since the log before; per reference the
// number, time and duration of the newest log. Each file is written under a temporary name and
// renamed, so a collector never reads half a file. docs/fleet.md lists the metrics.
#pragma once

#include "core/ScanSink.h"
#include "platform/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class TRefStore;
class TRegistry;

// The option of the settings store that names the directory, and the variable that overrides it.
inline const char* const kMetricsDirectoryValue = "MetricsDirectory";
inline const char* const kMetricsEnvironment = "VOLUMARK_METRICS_DIR";

// $VOLUMARK_METRICS_DIR when set and not empty, else the option's value; empty: no metrics.
std::string MetricsDirectory(const std::string& optionValue);
// The same with the option read from the settings store.
std::string ConfiguredMetricsDirectory(const TRegistry& settings);

// What only the run that wrote a log knows of it.
struct TRunFacts
{
    int LogNumber = -1;
    double Seconds = 0; // from the start of the scan to the log's commit
    std::vector<TUnreadableDirectory> Unreadable;
};

struct TPathMetrics
{
    std::string Path; // as the log holds it, ending with "/"
    int64_t Space = 0, Size = 0, Entries = 0;
    std::optional<int64_t> SpaceChange; // the log before holds the path too
    std::optional<int64_t> Unreadable;  // known from the run
};

struct TReferenceMetrics
{
    int Reference = -1;
    std::string Name;
    int LogNumber = 0;
    TDateTime Date = 0; // when the scan began, local time
    int64_t Space = 0, Size = 0, Entries = 0;
    std::optional<int64_t> SpaceChange; // there is a log before
    std::optional<int64_t> Unreadable;
    std::optional<double> Seconds;
    std::vector<TPathMetrics> Paths;
};

// The metrics of reference n's newest log (by date, as the history orders logs) and the change
// from the one before; facts, when they are of that log, add what only its run knows. Nothing
// when the reference has no readable log.
std::optional<TReferenceMetrics> ReadReferenceMetrics(const TRefStore& store, int n,
                                                      const TRunFacts* facts);

// The file's text: every metric with its HELP and TYPE lines, labelled with the data directory,
// the reference's number and name and, per path, the path.
std::string MetricsText(const std::string& dataDir, const TReferenceMetrics& metrics);

// "volumark-<8 hex digits of the data directory's hash>-Ref0003.prom": one name per reference of
// each data directory, so several data directories can share one collector directory.
std::string MetricsFileName(const std::string& dataDir, int n);

// Writes reference n's file into dir (after its logging run, with the run's facts). A reference
// without a readable log gets no file (an old one is removed). Raises std::runtime_error when the
// file cannot be written.
void WriteReferenceMetrics(const TRefStore& store, int n, const std::string& dir,
                           const TRunFacts* facts);

// On request: the files of the references of the data directory (all of them, as the caller
// lists them), anew. What only a run knows is taken over from the reference's file already there
// when that describes the same log; the files of this data directory's references that are not
// listed (deleted ones) are removed. Returns the number of files written; raises like
// WriteReferenceMetrics.
size_t WriteAllMetrics(const TRefStore& store, const std::string& dir,
                       const std::vector<int>& references);

} // namespace vm
