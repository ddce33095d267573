#include "references/RefFiles.h"

#include "platform/FileSystem.h"
#include "references/RefNames.h"

#include <algorithm>
#include <tuple>

namespace vm {

namespace {

// The entries of a directory; what was read before a failure, nothing when it cannot be read.
std::vector<TFileInfo> Entries(TFileSystem& fs, const std::string& dir)
{
    std::vector<TFileInfo> entries;
    int error = 0;
    fs.ListPath(dir, entries, error);
    return entries;
}

} // namespace

std::vector<int> ListReferenceNumbers(TFileSystem& fs, const std::string& dataDir)
{
    std::vector<int> numbers;
    for (const TFileInfo& e : Entries(fs, dataDir)) {
        std::optional<int> n = RefNumberOfName(e.Name);
        if (n && e.IsDirectory() && RefSectionName(*n) == e.Name)
            numbers.push_back(*n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<TListedLog> ListLogs(TFileSystem& fs, const std::string& refDir)
{
    std::vector<TListedLog> logs;
    for (const TFileInfo& e : Entries(fs, refDir)) {
        std::optional<int> m = LogNumberOfName(e.Name);
        if (m && !e.IsDirectory() && LogFileBaseName(*m) == e.Name)
            logs.push_back({*m, e.Name});
    }
    std::sort(logs.begin(), logs.end(),
              [](const TListedLog& a, const TListedLog& b) { return a.Number < b.Number; });
    return logs;
}

std::vector<TListedComparison> ListComparisons(TFileSystem& fs, const std::string& refDir)
{
    std::vector<TListedComparison> comparisons;
    for (const TFileInfo& e : Entries(fs, refDir)) {
        std::optional<TCompNumbers> logs = CompNumbersOfName(e.Name);
        if (logs && !e.IsDirectory() && CompFileBaseName(logs->First, logs->Second) == e.Name)
            comparisons.push_back({logs->First, logs->Second, e.Name, e.Modified.ToDateTime()});
    }
    std::sort(comparisons.begin(), comparisons.end(), [](const auto& a, const auto& b) {
        return std::tie(a.First, a.Second) < std::tie(b.First, b.Second);
    });
    return comparisons;
}

bool RefFileExists(TFileSystem& fs, const std::string& refDir, const std::string& name)
{
    TFileInfo info;
    return fs.FindExact(refDir + "/" + name, info) > 0;
}

bool RemoveRefFile(TFileSystem& fs, const std::string& refDir, const std::string& name,
                   std::string& failure)
{
    int error = 0;
    if (fs.RemoveFile(refDir + "/" + name, error))
        return true;
    failure = refDir + "/" + name + ": " + ErrorText(error);
    return false;
}

bool RemoveRefDirectory(TFileSystem& fs, const std::string& refDir)
{
    std::string failure;
    for (const TListedLog& log : ListLogs(fs, refDir))
        RemoveRefFile(fs, refDir, log.Name, failure);
    for (const TListedComparison& comparison : ListComparisons(fs, refDir))
        RemoveRefFile(fs, refDir, comparison.Name, failure);
    int error = 0;
    return fs.RemoveDirectory(refDir, error);
}

} // namespace vm
