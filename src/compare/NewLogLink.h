// The compare window's way into the new log: every tag, deletion or property change reaches the
// new log's entry through the comparison record's NewLogOffset. Before anything is written the
// entry there must be the record's entry (the same full path); a comparison that is damaged, or a
// new log replaced by another of the same number, would otherwise have other entries tagged,
// marked deleted or deleted on disk.
#pragma once

#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "core/LogFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {

struct TNewLogTarget
{
    int64_t RecordOffset = kNoOffset; // in the comparison
    int64_t NewLogOffset = kNoOffset; // in the new log
};

// Why the new log's entry at the target's offset is not the record's entry, "" when it is.
std::string NewLogMismatch(TDirCompare& file, TDirStorage& newLog, const TNewLogTarget& target);
// The first mismatch among the targets, "" when every one matches.
std::string CheckNewLogTargets(TDirCompare& file, TDirStorage& newLog,
                               const std::vector<TNewLogTarget>& targets);

// Why the new log is not the log of this comparison, "" when it is (or the comparison cannot tell):
// the first record's entry, when the new log has it, must be there. For changes to the new log
// that are not made through a record (its tag names).
std::string NewLogRootMismatch(TDirCompare& file, TDirStorage& newLog);

// What the window says when it turns read only for the reason why.
std::string ReadOnlyMessage(int newLogNumber, const std::string& why);

// Opens the newer log (for writing: with other writers shut out) once every target's entry
// there has been checked against the comparison. Nothing, with the reason in mismatch, when one
// is not the record's. Raises EStreamError when a file cannot be opened.
std::unique_ptr<TLogFile> OpenCheckedNewLog(const std::string& comparisonPath,
                                            const std::string& newLogPath,
                                            const std::vector<TNewLogTarget>& targets, bool writing,
                                            std::string& mismatch);

struct TNewLogChange
{
    std::string Mismatch;       // not empty: nothing was written, for this reason
    std::vector<uint32_t> Tags; // the targets' tag sets afterwards, in their order
};
// Opens the comparison and the new log (this one for writing, other writers shut out), checks
// every target and only when all match runs `change` on their new-log offsets, writes it to disk
// and reads the targets' tag sets back. Raises EStreamError when a file cannot be opened or the
// change cannot be written.
TNewLogChange ChangeThroughNewLog(
    const std::string& comparisonPath, const std::string& newLogPath,
    const std::vector<TNewLogTarget>& targets,
    const std::function<void(TDirStorage& log, const std::vector<int64_t>& offsets)>& change);

} // namespace vm
