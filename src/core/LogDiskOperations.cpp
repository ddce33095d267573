#include "core/LogDiskOperations.h"

#include "core/LogWalk.h"

#include <cerrno>
#include <cmath>

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

// The path the deletion walker starts from: the full path of the tree's root record.
std::string RootPathOf(TDirStorage& log, int32_t offset)
{
    TDirNode node;
    std::string name;
    int32_t root = offset;
    for (TLogWalk up = TLogWalk::Ancestors(log, offset); up.Next(node, name);)
        root = up.Offset();
    std::string path = log.GetFullPath(root);
    return path == "/" ? std::string() : path;
}

// Deletes one entry, reached from the root without following links. True when the step counts
// as done: deleted, or missing where missing counts as deleted.
bool DeleteOnDisk(TFileSystem& fs, TRootedWalker& walker, const std::string& path, bool directory,
                  const TDeleteOptions& options)
{
    const bool force = options.Force, missingCountsAsDeleted = options.MissingCountsAsDeleted;
    std::string name;
    int error = 0;
    TDirHandle parent = walker.ParentOf(path, name, error);
    if (parent == kNoDir)
        return Missing(error) && missingCountsAsDeleted;
    TFileInfo info;
    if (!fs.StatAt(parent, name, info, error))
        return Missing(error) && missingCountsAsDeleted;
    if (info.IsDirectory() != directory)
        return missingCountsAsDeleted; // what stands there now is not what was logged
    if (fs.RemoveAt(parent, name, directory, error))
        return true;
    if (!force)
        return false;
    // Of read-only and hidden only the first can be taken away on Linux (hidden is the name).
    if (info.Attributes & faReadOnly)
        fs.ClearReadOnlyAt(parent, name, error);
    if (fs.RemoveAt(parent, name, directory, error))
        return true;
    if (error != EACCES && error != EPERM)
        return false;
    // On Linux a read-only directory is what keeps its entries from being removed.
    std::string parentName;
    TDirHandle grand = walker.ParentOf(ParentPath(path), parentName, error);
    if (grand == kNoDir || !fs.ClearReadOnlyAt(grand, parentName, error))
        return false;
    parent = walker.ParentOf(path, name, error);
    return parent != kNoDir && fs.RemoveAt(parent, name, directory, error);
}

// Takes the deleted record's space away from it and from every directory above it.
void SubtractAllocated(TDirStorage& log, int32_t offset, const TDirNode& node)
{
    int64_t amount = node.Allocated;
    log.WriteAllocated(offset, 0);
    TDirNode up;
    std::string name;
    TLogWalk ancestors = TLogWalk::Ancestors(log, offset);
    ancestors.Next(up, name); // the record itself
    while (ancestors.Next(up, name))
        log.WriteAllocated(ancestors.Offset(), up.Allocated - amount);
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

void DeleteTreeOnDisk(TDirStorage& log, TFileSystem& fs, int32_t offset,
                      const TDeleteOptions& options, const TStatusEvent& status)
{
    TDirNode start, node;
    std::string name;
    if (!log.ReadNode(offset, start, name) || start.Kind != kKindDirectory)
        return;
    std::vector<int32_t> offsets{offset};
    for (TLogWalk below = TLogWalk::Subtree(log, offset); below.Next(node, name);) {
        if (StopAsked(status, "Preparing to delete"))
            return;
        offsets.push_back(below.Offset());
    }
    const char* verb = log.Stream().IsMemory() ? "Deleting " : "Marking file as deleted : ";
    TRootedWalker walker(fs, RootPathOf(log, offset));
    for (size_t i = offsets.size(); i-- > 0;) {
        int32_t at = offsets[i];
        if (!log.ReadNode(at, node, name))
            continue;
        std::string path = log.GetFullPath(at);
        if (StopAsked(status, verb + path))
            return;
        if (!DeleteOnDisk(fs, walker, path, node.Kind == kKindDirectory, options))
            continue;
        log.WriteTags(at, kTagDeleted);
        if (options.UpdateLog)
            SubtractAllocated(log, at, node);
    }
}

void VerifyTreeOnDisk(TDirStorage& log, TFileSystem& fs, int32_t offset,
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
