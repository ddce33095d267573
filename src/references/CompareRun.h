// The comparison run: compares two logs of a reference into the reference's comparison file
// (Ref<nnnn>/<old4><new4>.kcf in the data directory), as the reference manager, the logging run
// and the unattended command line start it.
#pragma once

#include "core/DirCompare.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vm {

class TRefStore;

// A comparison that could not be made: a log missing, unreadable or damaged, the comparison
// file not writable. The message names the file and the reason.
class ECompareRunError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct TCompareRunResult
{
    std::string Path;     // the comparison file; empty when none was written
    bool Stopped = false; // the progress handler stopped the run; nothing was written
};

// Compares the log files oldLogPath and newLogPath into comparisonPath, created through fs. Both
// logs are opened (read only) first; the comparison is written under a temporary name beside
// comparisonPath and replaces any file of that name only once it is complete
// (platform/PendingFile.h). So a stop, a failure or an exception leaves no file behind, and an
// earlier comparison of that name as it was. Raises ECompareRunError (a log missing, unreadable
// or damaged, the comparison not creatable), ECompareError for a comparison past the size
// limit, and the stream's exceptions for a full disk.
TCompareRunResult CompareLogFiles(TFileSystem& fs, const std::string& oldLogPath,
                                  const std::string& newLogPath, const std::string& comparisonPath,
                                  const TCompareProgress& progress = {});

// The comparison run of reference refNo from log oldLogNo to log newLogNo, with the store's names
// for the logs and the comparison (reference 3, logs 12 and 14: Ref0003/00120014.kcf in the
// data directory), through the store's file system. Fails as CompareLogFiles does.
TCompareRunResult RunComparison(const TRefStore& store, int refNo, int oldLogNo, int newLogNo,
                                const TCompareProgress& progress = {});

// The sums over the top-level records of a comparison: the space its paths took in the old log
// and take in the new one.
struct TComparisonTotals
{
    int64_t SizeWas = 0, SizeNow = 0;
    int64_t AllocWas = 0, AllocNow = 0;
};
// The totals of the comparison file at path; zeros when it cannot be opened. A damaged file
// counts the records read before the damage.
TComparisonTotals ComparisonTotals(const std::string& path);

} // namespace vm
