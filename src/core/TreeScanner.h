// The scan of directory trees: lists each directory, sorts its entries (core/NameOrder.h) and
// pushes them depth first into a sink (core/ScanSink.h). It never follows a symbolic link, never
// enters another file system (a mount point comes out as an empty directory), lists "." names
// and skips only "." and "..", marks the further names of a hard-linked file, and gives an
// unreadable directory as an empty one (telling the sink so, with the reason).
//
// Memory: the sorted listing of each directory on the current descent path, nothing else that
// grows with the tree except the set of hard-linked files met (files with more than one link).
// Open directories: at most the limit given; deeper ones are reached again through "..", checked
// to be the same directory.
#pragma once

#include "core/ScanSink.h"
#include "core/StatusEvent.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vm {

class TTreeScanner
{
public:
    // fs and sink must outlive the scanner.
    TTreeScanner(TFileSystem& fs, TScanSink& sink);
    ~TTreeScanner();
    TTreeScanner(const TTreeScanner&) = delete;
    TTreeScanner& operator=(const TTreeScanner&) = delete;

    // Called for every entry a listing finds, with the directory's path (ending with "/") as
    // the text. Setting the stop flag ends the whole scan: nothing more is written, and every
    // open directory is closed so that what was written keeps its totals.
    void SetStatusEvent(TStatusEvent handler) { onStatus_ = std::move(handler); }
    // Called once before each subdirectory is listed.
    void SetMessagePump(TMessagePump pump) { pump_ = std::move(pump); }
    // How many directories may be open at once (at least 2).
    void SetMaxOpenDirectories(size_t n) { maxOpen_ = n < 2 ? 2 : n; }

    // Scans one path (ending with "/") as a root of the log. Nothing when already stopped.
    void ScanRoot(const std::string& path, int32_t unit);
    bool Stopped() const { return stopped_; }

private:
    struct TFrame
    {
        std::vector<TFileInfo> Entries;
        struct TSortItem
        {
            uint64_t Key; // NameSortKey of the entry's name
            uint32_t Index;
        };
        std::vector<TSortItem> Order;
        size_t Count = 0;
        size_t Next = 0;
        TDirHandle Handle = kNoDir;
        uint64_t Device = 0, Inode = 0;
        size_t PathLength = 0; // of path_ while this directory is listed
    };

    void Push(TDirHandle handle, uint64_t device, uint64_t inode);
    void Pop();
    void List(TFrame& frame);
    void EnterDirectory(size_t entryIndex);
    void KeepOpenLimit();
    bool OnRootFileSystem(const TFileInfo& info) const;
    bool IsRepeatLink(const TFileInfo& info);

    TFileSystem& fs_;
    TScanSink& sink_;
    TStatusEvent onStatus_;
    TMessagePump pump_;
    size_t maxOpen_ = 256;
    bool stopped_ = false;

    std::vector<TFrame> frames_; // frames_[0, depth_) are the directories being scanned
    size_t depth_ = 0;
    size_t openCount_ = 0;
    size_t firstMaybeOpen_ = 0; // frames below it have their handles closed
    std::string path_;
    uint64_t rootDevice_ = 0, rootMount_ = 0;
    std::set<std::pair<uint64_t, uint64_t>> linkedFiles_; // device and inode
};

} // namespace vm
