// The comparison run: compares two logs of a reference into the reference's comparison file
// (Ref<nnnn>/<old4><new4>.kcf in the data directory), as the reference manager, the logging run
// and the unattended command line start it.
#pragma once

#include "core/DirCompare.h"

#include <stdexcept>
#include <string>

namespace vm {

class TRefStore;

// A comparison that could not be made: a log missing, unreadable or damaged, the comparison
// file not writable. The message names the file and the reason.
class ECompareRunError : public std::runtime_error
{
public:
    ECompareRunError(const std::string& message, bool fileCreated)
        : std::runtime_error(message), fileCreated_(fileCreated)
    {
    }
    // True when the comparison file had been created (it stays, partial): a caller that must
    // not leave it deletes it; false when the run failed before touching it.
    bool FileCreated() const { return fileCreated_; }

private:
    bool fileCreated_;
};

struct TCompareRunResult
{
    std::string Path;     // the comparison file
    bool Stopped = false; // the progress handler stopped the run; the partial file is on disk
};

// Compares the log files oldLogPath and newLogPath into comparisonPath. Both logs are opened
// (read only) before the comparison file is created, replacing any file of that name, so that a
// missing log leaves an earlier comparison as it was. Everything opened is closed on every way
// out; on failure a partial comparison file stays on disk (the caller deletes it, as it does
// after stopping the run). Raises ECompareRunError, or ECompareError for a comparison past the
// size limit; stream errors (a full disk) come as the stream's exceptions.
TCompareRunResult CompareLogFiles(const std::string& oldLogPath, const std::string& newLogPath,
                                  const std::string& comparisonPath,
                                  const TCompareProgress& progress = {});

// The comparison run of reference refNo from log oldLogNo to log newLogNo, with the store's names
// for the logs and the comparison (reference 3, logs 12 and 14: Ref0003/00120014.kcf in the
// data directory). Fails as CompareLogFiles does.
TCompareRunResult RunComparison(const TRefStore& store, int refNo, int oldLogNo, int newLogNo,
                                const TCompareProgress& progress = {});

} // namespace vm
