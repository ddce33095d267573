// The scan of directory trees: lists each directory, sorts its entries (core/NameOrder.h) and
// pushes them depth first into a sink (core/ScanSink.h). It never follows a symbolic link, never
// enters another file system (a mount point comes out as an empty directory), lists "." names
// and skips only "." and "..", marks the further names of a hard-linked file, and gives an
// unreadable directory as an empty one (telling the sink so, with the reason).
//
// With more than one thread, workers list directories ahead of the walk (core/ListingPool.h);
// the walk itself, every call into the sink, the status handler and the message pump stay on the
// caller's thread and in the same order, so the sink sees exactly what one thread would show it.
// Hard links are counted on the first name met in that order, whichever thread looked first.
//
// Memory: the sorted listing of each directory on the current descent path, the listings made
// ahead (bounded by TLookahead), and nothing else that grows with the tree except the set of
// hard-linked files met (files with more than one link). Open directories: at most the limit
// given on the descent path, plus one for each listing made ahead. A directory closed for the
// limit is reached again through ".." on the way up, or else by its names from the nearest open
// directory above it; either way it must be the same directory (device and inode) as the one
// listed. One that cannot be found again (the tree above it was moved meanwhile) leaves each of
// its remaining subdirectories reported as unreadable, never logged empty without a word.
#pragma once

#include "core/DirListing.h"
#include "core/ListingPool.h"
#include "core/ScanSink.h"
#include "core/StatusEvent.h"

#include <cstdint>
#include <memory>
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
    // How many directories the walk may keep open at once (at least 2).
    void SetMaxOpenDirectories(size_t n) { maxOpen_ = n < 2 ? 2 : n; }
    // How many threads list directories: 1 (the default) lists on the caller's thread alone, with
    // no other thread; n > 1 adds n - 1 workers that list ahead; 0 means one thread per core.
    // Set before the first ScanRoot.
    void SetThreads(unsigned n);
    // How far workers may list ahead of the walk.
    void SetLookahead(const TLookahead& limits) { lookahead_ = limits; }

    // Scans one path (ending with "/") as a root of the log. Nothing when already stopped.
    void ScanRoot(const std::string& path, int32_t unit);
    bool Stopped() const { return stopped_; }

private:
    struct TFrame
    {
        TListing Listing;
        size_t Next = 0; // into Listing.Order
        TDirHandle Handle = kNoDir;
        uint64_t Device = 0, Inode = 0;
        size_t PathLength = 0; // of path_ while this directory is listed
        uint64_t Id = 0;       // what its subdirectories are taken from the pool by (0: not queued)
        int Lost = 0;          // why it could not be opened again once closed (0: it was not lost)
    };

    TFrame& Push(uint64_t device, uint64_t inode);
    void Pop();
    void ListHere(TFrame& frame);
    void Opened(TFrame& frame);
    void EnterDirectory(size_t entryIndex);
    void KeepOpenLimit();
    bool Reopen(size_t at, int& error);
    TDirHandle OpenSame(TDirHandle above, const std::string& name, const TFrame& frame, int& error);
    bool IsSame(TDirHandle dir, const TFrame& frame, int& error);
    std::string FrameName(size_t k) const;
    void CloseFrame(TFrame& frame);
    bool IsRepeatLink(const TFileInfo& info);

    TFileSystem& fs_;
    TScanSink& sink_;
    TStatusEvent onStatus_;
    TMessagePump pump_;
    size_t maxOpen_ = 256;
    unsigned threads_ = 1;
    TLookahead lookahead_;
    std::unique_ptr<TListingPool> pool_;
    bool stopped_ = false;

    std::vector<TFrame> frames_; // frames_[0, depth_) are the directories being scanned
    size_t depth_ = 0;
    size_t openCount_ = 0;
    size_t firstMaybeOpen_ = 0; // the shallowest frame the open limit may have to close next
    size_t pinned_ =
        0; // frames below it stay open: the pool opens their subdirectories through them
    std::string path_;
    TFileSystemId root_;
    std::set<std::pair<uint64_t, uint64_t>> linkedFiles_; // device and inode
};

// One thread per core, as the machine reports it (at least 1).
unsigned DefaultScanThreads();

} // namespace vm
