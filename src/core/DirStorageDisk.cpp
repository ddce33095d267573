// The operations of a log on the disk it describes: deleting a tree (and marking it in the log)
// and checking a tree against the disk.
#include "core/DirStorage.h"
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
} // namespace

// The path the deletion walker starts from: the full path of the tree's root record.
std::string TDirStorage::RootPathOf(int32_t offset)
{
    TDirNode node;
    std::string name;
    int32_t root = offset;
    for (TLogWalk up = TLogWalk::Ancestors(*this, offset); up.Next(node, name);)
        root = up.Offset();
    std::string path = GetFullPath(root);
    return path == "/" ? std::string() : path;
}

// Deletes one entry, reached from the root without following links. True when the step counts
// as done: deleted, or missing where missing counts as deleted.
bool TDirStorage::DeleteOnDisk(TRootedWalker& walker, const std::string& path, bool directory,
                               bool force, bool missingCountsAsDeleted)
{
    TFileSystem& fs = Disk();
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

void TDirStorage::SubtractAllocated(int32_t offset, const TDirNode& node)
{
    int64_t amount = node.Allocated;
    WriteAllocated(offset, 0);
    TDirNode up;
    std::string name;
    TLogWalk ancestors = TLogWalk::Ancestors(*this, offset);
    ancestors.Next(up, name); // the record itself
    while (ancestors.Next(up, name))
        WriteAllocated(ancestors.Offset(), up.Allocated - amount);
}

void TDirStorage::DeleteTree(int32_t offset, bool force, bool updateLog,
                             bool missingCountsAsDeleted)
{
    TDirNode start, node;
    std::string name;
    if (!ReadNode(offset, start, name) || start.Kind != kKindDirectory)
        return;
    std::vector<int32_t> offsets{offset};
    for (TLogWalk below = TLogWalk::Subtree(*this, offset); below.Next(node, name);) {
        if (onStatus_) {
            bool stop = false;
            onStatus_("Preparing to delete", stop);
            if (stop)
                return;
        }
        offsets.push_back(below.Offset());
    }
    TRootedWalker walker(Disk(), RootPathOf(offset));
    for (size_t i = offsets.size(); i-- > 0;) {
        int32_t at = offsets[i];
        if (!ReadNode(at, node, name))
            continue;
        std::string path = GetFullPath(at);
        if (onStatus_) {
            bool stop = false;
            onStatus_((stream_.IsMemory() ? "Deleting " : "Marking file as deleted : ") + path,
                      stop);
            if (stop)
                return;
        }
        if (!DeleteOnDisk(walker, path, node.Kind == kKindDirectory, force, missingCountsAsDeleted))
            continue;
        WriteTags(at, kTagDeleted);
        if (updateLog)
            SubtractAllocated(at, node);
    }
}

void TDirStorage::VerifyTree(int32_t offset, const TStatusEvent& handler)
{
    if (!handler)
        return;
    TDirNode start, node;
    std::string name;
    if (!ReadNode(offset, start, name) || start.Kind != kKindDirectory)
        return;
    TFileSystem& fs = Disk();
    for (TLogWalk below = TLogWalk::Subtree(*this, offset); below.Next(node, name);) {
        std::string path = GetFullPath(below.Offset());
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
