// Worker threads that list directories ahead of a depth-first walk (core/TreeScanner.h), so that
// the kernel's lookups for many directories are in flight at once while the walk itself stays on
// one thread and in one order.
//
// The walker hands over each directory it has listed; the pool queues the directory's
// subdirectories (those on the root's file system), and workers open each relative to its
// parent's handle (never through a path, so never through a link), list it, look at its entries,
// sort them, and queue its subdirectories in turn. The queue holds every directory listed ahead
// or waiting to be, in the order the walk will reach them, and workers take the nearest first.
// When the walk comes to a subdirectory, the walker takes the listing made ahead; it waits when a
// worker is making it (listing other queued directories meanwhile), and makes the listing itself
// when no worker has started it: it never waits on work that has not begun.
//
// Bounds: workers start a listing only while the listings made ahead and not yet taken hold
// fewer entries and directories than the limits (a listing already begun is finished, so one
// very large directory per worker may pass them). Each listing made ahead keeps its directory
// open until it is taken. Subdirectories of directories at the depth limit and below are not
// listed ahead: the walker lists those alone.
//
// Threads: Expand, Take and Stop are called from the walker's thread only. A parent handle must
// stay open until each of its queued subdirectories is taken or the pool has stopped: the walker
// keeps the directories above the depth limit open while it is inside them, and a listing made
// ahead keeps its own handle.
#pragma once

#include "core/DirListing.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace vm {

struct TLookahead
{
    size_t Entries = 50000;   // entries in listings made ahead and not yet taken
    size_t Directories = 256; // listings made ahead and not yet taken, or being made
    uint32_t Depth = 64;      // deepest level below a root whose subdirectories are listed ahead
};

// A subdirectory's listing as the walker takes it from the pool.
struct TTakenListing
{
    // The subdirectory, open, for the taker to close; kNoDir when it could not be opened, or when
    // it was listed and closed again because nothing below it is entered.
    TDirHandle Handle = kNoDir;
    bool Opened = false; // it was opened and listed
    int Error = 0;       // why it could not be opened
    uint64_t Id = 0;     // what its own subdirectories are taken by (0: none were queued)
};

class TListingPool
{
public:
    // Starts workers threads (at least one; fewer where the system refuses to start more, down to
    // none, when the walker lists everything itself). fs must allow listings from several threads
    // at once and outlive the pool.
    TListingPool(TFileSystem& fs, unsigned workers, const TLookahead& limits);
    // Stops.
    ~TListingPool();
    TListingPool(const TListingPool&) = delete;
    TListingPool& operator=(const TListingPool&) = delete;

    // The walker listed a directory itself: the one at depth below its root (0: the root), open as
    // handle, on the root's file system root. Its subdirectories are queued, ahead of every other
    // queued directory, when depth is less than the depth limit. Returns what they are taken by
    // (0: none were queued).
    uint64_t Expand(TDirHandle handle, const TListing& listing, uint32_t depth,
                    const TFileSystemId& root);

    // The walker enters the subdirectory at entryIndex (an index into Entries) of the listing of
    // directory parent (an Id from Expand or Take). When it was queued, listing becomes its
    // listing and taken says how it was opened; the caller's former listing is kept for reuse.
    // False when it was not queued (the pool has stopped, or its parent lies at the depth limit or
    // deeper): the walker then lists it itself.
    bool Take(uint64_t parent, uint32_t entryIndex, TListing& listing, TTakenListing& taken);

    // Ends the listings in progress at their next entry, joins every worker and closes what was
    // listed ahead. Nothing is queued or taken afterwards.
    void Stop();

private:
    struct TNode;
    struct TChain
    {
        TNode* First = nullptr;
        TNode* Last = nullptr;
    };

    void Work();
    TNode* Claimable() const;
    void Run(std::unique_lock<std::mutex>& lock, TNode* node);
    static bool HasSubdirectories(const TListing& listing, const TFileSystemId& root);
    TChain Subdirectories(const TListing& listing, TDirHandle handle, uint64_t parent,
                          uint32_t depth, const TFileSystemId& root);
    void InsertAfter(TNode* at, const TChain& chain);
    void Unlink(TNode* node);
    TListing SpareListing();
    void KeepSpare(TListing&& listing);

    TFileSystem& fs_;
    const TLookahead limits_;
    std::mutex mutex_;
    std::condition_variable work_; // for workers: something queued, room ahead, or a stop
    std::condition_variable done_; // for the walker: a listing was finished
    TNode* head_ = nullptr;        // the queue, in the order the walk reaches its directories
    size_t entriesAhead_ = 0;
    size_t directoriesAhead_ = 0;
    std::vector<TListing> spare_; // taken listings whose storage the next listings reuse
    size_t spareEntries_ = 0;     // the entries they keep
    std::stop_source stopSource_;
    const std::stop_token stop_ = stopSource_.get_token(); // ends listings in progress
    bool stopped_ = false;
    std::atomic<uint64_t> lastId_{0};
    std::vector<std::thread> threads_;
};

} // namespace vm
