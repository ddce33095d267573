// Reaching a log's entries on the disk the safe way: each entry from its own top-level path, one
// name at a time, never through a symbolic link (TRootedWalker), so that nothing planted in the
// tree since it was logged can lead an action outside it. One walker per top-level path is kept,
// so walking many entries of one directory opens it once.
#pragma once

#include "core/DirStorage.h"
#include "platform/FileSystem.h"

#include <map>
#include <memory>
#include <string>

namespace vm {

// What stands on the disk where the log lists an entry.
struct TEntryOnDisk
{
    std::string Path;           // the entry's full path
    std::string TopPath;        // its top-level path, without a trailing "/" ("" for "/")
    std::string Name;           // its last name on the disk
    TDirHandle Parent = kNoDir; // the directory that holds it; valid until the next Locate
    bool Exists = false;        // something stands there (Info tells what)
    TFileInfo Info;
    int Error = 0; // why not, when nothing can be reached
};

// The kind of entry a log's attributes or a look at the disk describe, for telling whether the
// entry that stands on the disk is still the one the log lists.
enum class TEntryKind
{
    Directory,
    Link,
    Special, // device, fifo or socket
    File
};
TEntryKind EntryKindOf(uint32_t attributes);
// "a directory", "a symbolic link", "a device, fifo or socket", "a file".
std::string EntryKindText(TEntryKind kind);

// The top-level record of the entry at offset (the entry itself at level 0), or -1 when the
// log's parent links do not lead to one.
int64_t TopLevelOffsetOf(TDirStorage& log, int64_t offset);

class TEntryLocator
{
public:
    // log and fs outlive the locator.
    TEntryLocator(TDirStorage& log, TFileSystem& fs);

    // The entry at offset on the disk: its path, the directory that holds it and what stands
    // there now. False when the log has no such entry.
    bool Locate(int64_t offset, TEntryOnDisk& where);
    // The walker of the top-level path that holds the entry last located.
    TRootedWalker* LastWalker() { return last_; }
    TFileSystem& Disk() { return fs_; }

private:
    TDirStorage& log_;
    TFileSystem& fs_;
    std::map<int64_t, std::unique_ptr<TRootedWalker>> walkers_; // by top-level offset
    TRootedWalker* last_ = nullptr;
};

} // namespace vm
