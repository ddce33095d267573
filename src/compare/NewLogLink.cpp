#include "compare/NewLogLink.h"

namespace vm {

std::string NewLogMismatch(TDirCompare& file, TDirStorage& newLog, const TNewLogTarget& target)
{
    const std::string expected = file.GetFullPath(target.RecordOffset);
    TDirNode node;
    std::string name;
    if (target.NewLogOffset < newLog.FirstOffset() ||
        !newLog.ReadNode(target.NewLogOffset, node, name))
        return "it has no entry at offset " + std::to_string(target.NewLogOffset) + " for " +
               expected;
    const std::string found = newLog.GetFullPath(target.NewLogOffset);
    if (found != expected || expected.empty())
        return "its entry at offset " + std::to_string(target.NewLogOffset) + " is " + found +
               ", not " + expected;
    return "";
}

std::string CheckNewLogTargets(TDirCompare& file, TDirStorage& newLog,
                               const std::vector<TNewLogTarget>& targets)
{
    for (const TNewLogTarget& target : targets)
        if (std::string why = NewLogMismatch(file, newLog, target); !why.empty())
            return why;
    return "";
}

std::string NewLogRootMismatch(TDirCompare& file, TDirStorage& newLog)
{
    TCompareRecord first;
    std::string name;
    if (!file.ReadRecord(file.FirstOffset(), first, name) || first.NewLogOffset < 0)
        return "";
    return NewLogMismatch(file, newLog, {file.FirstOffset(), first.NewLogOffset});
}

std::string ReadOnlyMessage(int newLogNumber, const std::string& why)
{
    return "Log " + std::to_string(newLogNumber) + " no longer matches this comparison: " + why +
           ".\nNothing was changed. The window is now read only: tags, deletions and properties "
           "are turned off.";
}

std::unique_ptr<TLogFile> OpenCheckedNewLog(const std::string& comparisonPath,
                                            const std::string& newLogPath,
                                            const std::vector<TNewLogTarget>& targets, bool writing,
                                            std::string& mismatch)
{
    TFileStream comparison(comparisonPath, TFileMode::OpenRead);
    TDirCompare file(comparison);
    auto newLog = std::make_unique<TLogFile>(newLogPath, writing);
    mismatch = CheckNewLogTargets(file, newLog->Log(), targets);
    if (!mismatch.empty())
        return nullptr;
    return newLog;
}

TNewLogChange ChangeThroughNewLog(
    const std::string& comparisonPath, const std::string& newLogPath,
    const std::vector<TNewLogTarget>& targets,
    const std::function<void(TDirStorage& log, const std::vector<int64_t>& offsets)>& change)
{
    TNewLogChange result;
    std::unique_ptr<TLogFile> newLog =
        OpenCheckedNewLog(comparisonPath, newLogPath, targets, true, result.Mismatch);
    if (!newLog)
        return result;
    std::vector<int64_t> offsets;
    for (const TNewLogTarget& target : targets)
        offsets.push_back(target.NewLogOffset);
    change(newLog->Log(), offsets);
    newLog->Flush();
    for (int64_t at : offsets)
        result.Tags.push_back(newLog->Log().ReadTags(at));
    return result;
}

} // namespace vm
