#include "refman/RefFiles.h"

#include "platform/FileSystem.h"
#include "references/RefNames.h"

#include <algorithm>
#include <tuple>

namespace vm {

namespace {

// An open directory that closes itself.
class TOpenDir
{
public:
    TOpenDir(TFileSystem& fs, const std::string& path) : fs_(fs)
    {
        handle_ = fs_.OpenDirectory(path, error_);
    }
    ~TOpenDir()
    {
        if (handle_ != kNoDir)
            fs_.CloseDirectory(handle_);
    }
    TOpenDir(const TOpenDir&) = delete;
    TOpenDir& operator=(const TOpenDir&) = delete;

    TDirHandle Handle() const { return handle_; }
    int Error() const { return error_; }

    // The entries of the directory; what was read before a failure.
    std::vector<TFileInfo> Entries()
    {
        std::vector<TFileInfo> entries;
        size_t count = 0;
        int error = 0;
        if (handle_ != kNoDir)
            fs_.ListDirectory(handle_, entries, count, error);
        entries.resize(count);
        return entries;
    }

private:
    TFileSystem& fs_;
    TDirHandle handle_ = kNoDir;
    int error_ = 0;
};

std::pair<std::string, std::string> SplitPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace

std::vector<int> ListReferenceNumbers(TFileSystem& fs, const std::string& dataDir)
{
    std::vector<int> numbers;
    TOpenDir dir(fs, dataDir);
    for (const TFileInfo& e : dir.Entries()) {
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
    TOpenDir dir(fs, refDir);
    for (const TFileInfo& e : dir.Entries()) {
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
    TOpenDir dir(fs, refDir);
    for (const TFileInfo& e : dir.Entries()) {
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
    TOpenDir dir(fs, refDir);
    if (dir.Handle() == kNoDir) {
        failure = refDir + ": " + ErrorText(dir.Error());
        return false;
    }
    int error = 0;
    if (!fs.RemoveAt(dir.Handle(), name, false, error)) {
        failure = refDir + "/" + name + ": " + ErrorText(error);
        return false;
    }
    return true;
}

bool RemoveRefDirectory(TFileSystem& fs, const std::string& refDir)
{
    std::string failure;
    for (const TListedLog& log : ListLogs(fs, refDir))
        RemoveRefFile(fs, refDir, log.Name, failure);
    for (const TListedComparison& comparison : ListComparisons(fs, refDir))
        RemoveRefFile(fs, refDir, comparison.Name, failure);
    const auto [parent, name] = SplitPath(refDir);
    TOpenDir dir(fs, parent);
    int error = 0;
    return dir.Handle() != kNoDir && fs.RemoveAt(dir.Handle(), name, true, error);
}

} // namespace vm
