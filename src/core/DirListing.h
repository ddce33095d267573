// One directory's listing as a scan uses it: the entries the file system gave, in its order, and
// the scan's sorted order over them (core/NameOrder.h), made by whichever thread lists the
// directory; and the rule that keeps a scan on the file system of its root.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <stop_token>
#include <vector>

namespace vm {

struct TListing
{
    struct TSortItem
    {
        uint64_t Key;   // NameSortKey of the entry's name
        uint32_t Index; // into Entries
    };

    // Entries [0, Count) are the listing's; the elements behind them are kept so that their
    // names' storage is reused by the next listing made into this object.
    std::vector<TFileInfo> Entries;
    size_t Count = 0;
    std::vector<TSortItem> Order; // Count items, in the scan's order
    bool Complete = true;         // false: the listing failed, at once or part way
    int Error = 0;                // why, when not complete

    // Empty, keeping the storage of the entries.
    void Clear()
    {
        Count = 0;
        Order.clear();
        Complete = true;
        Error = 0;
    }
};

// Lists the open directory dir into listing and sorts it. A stop requested through stop ends the
// listing early, incomplete.
void ListSorted(TFileSystem& fs, TDirHandle dir, TListing& listing, std::stop_token stop = {});

// The file system a root lies on: its device, and its mount (0 when the kernel does not tell).
struct TFileSystemId
{
    uint64_t Device = 0;
    uint64_t Mount = 0;
};

// True when the entry lies on that file system. A bind mount of the same file system has the
// same device but a mount of its own, and counts as another.
inline bool OnFileSystem(const TFileInfo& info, const TFileSystemId& id)
{
    if (info.Device != id.Device)
        return false;
    return info.MountId == 0 || id.Mount == 0 || info.MountId == id.Mount;
}

// The entries a scan enters: directories on its root's file system.
inline bool Enters(const TFileInfo& info, const TFileSystemId& root)
{
    return info.IsDirectory() && OnFileSystem(info, root);
}

} // namespace vm
