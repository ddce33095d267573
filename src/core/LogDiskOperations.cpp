#include "core/LogDiskOperations.h"

#include "core/LogWalk.h"

#include <cerrno>
#include <cmath>
#include <unordered_map>

namespace vm {

namespace {
bool Missing(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

std::string ParentPath(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// What became of one entry: done (deleted, or missing where missing counts as deleted), and
// why it stayed when the user should hear of it.
struct TStep
{
    bool Done = false;
    std::string Why;
};

TStep Failed(int error)
{
    return {false, ErrorText(error)};
}

// Deletes one entry, reached from the root without following links.
TStep DeleteOnDisk(TFileSystem& fs, TRootedWalker& walker, const std::string& path, bool directory,
                   const TDeleteOptions& options)
{
    const bool missingCounts = options.MissingCountsAsDeleted;
    std::string name;
    int error = 0;
    TDirHandle parent = walker.ParentOf(path, name, error);
    TFileInfo info;
    if (parent == kNoDir || !fs.StatAt(parent, name, info, error)) {
        if (Missing(error))
            return {missingCounts, ""};
        return options.DeleteFromDisk ? Failed(error) : TStep();
    }
    if (info.IsDirectory() != directory) {
        // What stands there now is not what was logged: it is left as it is.
        if (!options.DeleteFromDisk)
            return {missingCounts, ""};
        return {missingCounts, std::string(info.IsDirectory()                   ? "a directory"
                                           : (info.Attributes & faReparsePoint) ? "a symbolic link"
                                                                                : "a file") +
                                   " stands there now, not what this log lists; it is left"};
    }
    if (!options.DeleteFromDisk)
        return {};
    if (fs.RemoveAt(parent, name, directory, error))
        return {true, ""};
    if (!options.Force)
        return Failed(error);
    // Of read-only and hidden only the first can be taken away on Linux (hidden is the name).
    if (info.Attributes & faReadOnly)
        fs.ClearReadOnlyAt(parent, name, error);
    if (fs.RemoveAt(parent, name, directory, error))
        return {true, ""};
    if (error != EACCES && error != EPERM)
        return Failed(error);
    // On Linux a read-only directory is what keeps its entries from being removed.
    const int refused = error;
    std::string parentName;
    TDirHandle grand = walker.ParentOf(ParentPath(path), parentName, error);
    if (grand == kNoDir || !fs.ClearReadOnlyAt(grand, parentName, error))
        return Failed(refused);
    parent = walker.ParentOf(path, name, error);
    if (parent != kNoDir && fs.RemoveAt(parent, name, directory, error))
        return {true, ""};
    return Failed(error);
}

int64_t MarkDeleted(TDirStorage& log, int64_t offset, const TDirNode& node, bool updateLog)
{
    log.WriteTags(offset, kTagDeleted);
    if (!updateLog)
        return node.Allocated;
    log.WriteAllocated(offset, 0);
    TDirNode up;
    std::string name;
    TLogWalk ancestors = TLogWalk::Ancestors(log, offset);
    ancestors.Next(up, name); // the record itself
    while (ancestors.Next(up, name))
        log.WriteAllocated(ancestors.Offset(), up.Allocated - node.Allocated);
    return node.Allocated;
}

// Raises the status event (when set); true when the handler asks to stop.
bool StopAsked(const TStatusEvent& status, const std::string& text)
{
    bool stop = false;
    if (status)
        status(text, stop);
    return stop;
}
} // namespace

int64_t MarkDeleted(TDirStorage& log, int64_t offset, bool updateLog)
{
    TDirNode node;
    std::string name;
    return log.ReadNode(offset, node, name) ? MarkDeleted(log, offset, node, updateLog) : 0;
}

std::string TopLevelPathOf(TDirStorage& log, int64_t offset)
{
    TDirNode node;
    std::string name;
    int64_t root = offset;
    for (TLogWalk up = TLogWalk::Ancestors(log, offset); up.Next(node, name);)
        root = up.Offset();
    std::string path = log.GetFullPath(root);
    return path == "/" ? std::string() : path;
}

TDeleteResult DeleteTreeOnDisk(TDirStorage& log, TFileSystem& fs, int64_t offset,
                               const TDeleteOptions& options, const TStatusEvent& status)
{
    TDeleteResult result;
    TDirNode start, node;
    std::string name;
    if (!log.ReadNode(offset, start, name) || start.Kind != kKindDirectory)
        return result;
    std::vector<int64_t> offsets{offset};
    for (TLogWalk below = TLogWalk::Subtree(log, offset); below.Next(node, name);) {
        if (StopAsked(status, "Preparing to delete")) {
            result.Stopped = true;
            return result;
        }
        offsets.push_back(below.Offset());
    }
    const char* verb = log.Stream().IsMemory() ? "Deleting " : "Marking file as deleted : ";
    TRootedWalker walker(fs, TopLevelPathOf(log, offset));
    // Without UpdateLog a directory still holds the space of what was marked inside it: the
    // space already counted below each directory, so that nothing is counted twice.
    std::unordered_map<int64_t, int64_t> counted;
    auto take = [&counted](int64_t at) {
        auto it = counted.find(at);
        if (it == counted.end())
            return int64_t(0);
        const int64_t amount = it->second;
        counted.erase(it);
        return amount;
    };
    for (size_t i = offsets.size(); i-- > 0;) {
        int64_t at = offsets[i];
        if (!log.ReadNode(at, node, name))
            continue;
        std::string path = log.GetFullPath(at);
        if (StopAsked(status, verb + path)) {
            result.Stopped = true;
            return result;
        }
        const int64_t inside = options.UpdateLog ? 0 : take(at);
        if (node.Tags & kTagDeleted) {
            // Marked in an earlier deletion: neither deleted nor counted again.
            if (!options.UpdateLog)
                counted[node.ParentOffset] += node.Allocated;
            continue;
        }
        const TStep step = DeleteOnDisk(fs, walker, path, node.Kind == kKindDirectory, options);
        if (!step.Why.empty())
            result.NotDeleted.push_back(path + ": " + step.Why);
        if (!step.Done) {
            if (inside)
                counted[node.ParentOffset] += inside;
            continue;
        }
        const int64_t space = MarkDeleted(log, at, node, options.UpdateLog);
        result.DeletedSpace += space - inside;
        if (!options.UpdateLog)
            counted[node.ParentOffset] += space;
    }
    return result;
}

void VerifyTreeOnDisk(TDirStorage& log, TFileSystem& fs, int64_t offset,
                      const TStatusEvent& handler)
{
    if (!handler)
        return;
    TDirNode start, node;
    std::string name;
    if (!log.ReadNode(offset, start, name) || start.Kind != kKindDirectory)
        return;
    for (TLogWalk below = TLogWalk::Subtree(log, offset); below.Next(node, name);) {
        std::string path = log.GetFullPath(below.Offset());
        TFileInfo found;
        int count = fs.FindExact(path, found);
        std::string message;
        if (count == 0) {
            message = "Deleted file - " + path;
        } else if (count > 1) {
            message = "Ambiguous file - " + path;
        } else {
            double seconds = (found.Modified.ToDateTime() - node.Modified) * kSecondsPerDay;
            if (std::trunc(seconds) != 0)
                message = "Updated file - " + path;
        }
        bool stop = false;
        handler(message, stop);
        if (stop)
            return;
    }
}

} // namespace vm
