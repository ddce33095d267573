#include "core/ListingPool.h"

#include <string>
#include <system_error>

namespace vm {

// A directory queued, being listed, or listed and waiting for the walker. The queue is a list in
// the walk's order: a directory's subdirectories go right behind it when it has been listed (the
// walk reaches them next), and in front of everything when the walker listed it itself (the walk
// is there now). Everything the walk has passed has been taken, so the subdirectory the walker
// enters is always the head.
struct TListingPool::TNode
{
    enum class TState
    {
        Queued,
        Running, // being listed, by a worker or by the walker
        Done
    };

    TNode* Prev = nullptr;
    TNode* Next = nullptr;
    uint64_t Id = 0;
    uint64_t Parent = 0;     // the Id of the directory that holds it
    uint32_t EntryIndex = 0; // its entry in the parent's listing
    uint32_t Depth = 0;      // below its root
    TFileSystemId Root;
    TDirHandle ParentHandle = kNoDir;
    std::string Name;
    TState State = TState::Queued;
    TDirHandle Handle = kNoDir; // once listed, while something below it may need it
    bool Opened = false;        // it was opened and listed
    int Error = 0;              // why it could not be opened
    TListing Listing;
};

TListingPool::TListingPool(TFileSystem& fs, unsigned workers, const TLookahead& limits)
    : fs_(fs), limits_(limits)
{
    // Where the system refuses more threads, the pool works with those it has: with none, the
    // walker lists every directory itself.
    try {
        for (unsigned i = 0; i < (workers ? workers : 1); ++i)
            threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
    }
}

TListingPool::~TListingPool()
{
    Stop();
}

void TListingPool::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        stopSource_.request_stop();
    }
    work_.notify_all();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    while (TNode* n = head_) {
        head_ = n->Next;
        fs_.CloseDirectory(n->Handle);
        delete n;
    }
    entriesAhead_ = directoriesAhead_ = 0;
    spare_.clear();
    spareEntries_ = 0;
}

uint64_t TListingPool::Expand(TDirHandle handle, const TListing& listing, uint32_t depth,
                              const TFileSystemId& root)
{
    if (handle == kNoDir || depth >= limits_.Depth)
        return 0;
    uint64_t id = ++lastId_;
    TChain chain = Subdirectories(listing, handle, id, depth + 1, root);
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_ || !chain.First) {
        while (TNode* n = chain.First) {
            chain.First = n->Next;
            delete n;
        }
        return 0;
    }
    chain.Last->Next = head_;
    if (head_)
        head_->Prev = chain.Last;
    head_ = chain.First;
    work_.notify_all();
    return id;
}

bool TListingPool::Take(uint64_t parent, uint32_t entryIndex, TListing& listing,
                        TTakenListing& taken)
{
    std::unique_lock<std::mutex> lock(mutex_);
    TNode* n = head_;
    if (stopped_ || !n || n->Parent != parent || n->EntryIndex != entryIndex)
        return false;
    while (n->State != TNode::TState::Done) {
        if (n->State == TNode::TState::Queued)
            Run(lock, n); // no worker has begun it: the walker lists it, whatever the limits
        else if (TNode* other = Claimable())
            Run(lock, other); // helps while a worker finishes the one it needs
        else
            done_.wait(lock);
    }
    Unlink(n);
    entriesAhead_ -= n->Listing.Count;
    --directoriesAhead_;
    std::swap(listing, n->Listing);
    taken = {n->Handle, n->Opened, n->Error, n->Depth < limits_.Depth ? n->Id : 0};
    KeepSpare(std::move(n->Listing));
    delete n;
    lock.unlock();
    work_.notify_all(); // there is room ahead again
    return true;
}

void TListingPool::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopped_) {
        if (TNode* n = Claimable())
            Run(lock, n);
        else
            work_.wait(lock);
    }
}

TListingPool::TNode* TListingPool::Claimable() const
{
    if (stopped_ || entriesAhead_ >= limits_.Entries || directoriesAhead_ >= limits_.Directories)
        return nullptr;
    // Past the listings made or being made ahead, which the limits keep few.
    for (TNode* n = head_; n; n = n->Next)
        if (n->State == TNode::TState::Queued)
            return n;
    return nullptr;
}

void TListingPool::Run(std::unique_lock<std::mutex>& lock, TNode* n)
{
    n->State = TNode::TState::Running;
    ++directoriesAhead_;
    TListing listing = SpareListing();
    lock.unlock();

    int error = 0;
    TDirHandle handle = fs_.OpenDirectoryAt(n->ParentHandle, n->Name, error);
    bool opened = handle != kNoDir;
    TChain chain;
    if (opened) {
        ListSorted(fs_, handle, listing, stop_);
        if (n->Depth < limits_.Depth)
            chain = Subdirectories(listing, handle, n->Id, n->Depth + 1, n->Root);
        // Nothing below it is ever opened through a directory without subdirectories to enter:
        // it is closed here, where its listing is fresh, rather than by the walker.
        if (!chain.First && !HasSubdirectories(listing, n->Root)) {
            fs_.CloseDirectory(handle);
            handle = kNoDir;
        }
    }

    lock.lock();
    n->Handle = handle;
    n->Opened = opened;
    n->Error = error;
    n->Listing = std::move(listing);
    n->State = TNode::TState::Done;
    entriesAhead_ += n->Listing.Count;
    if (chain.First) {
        InsertAfter(n, chain);
        work_.notify_all();
    }
    done_.notify_one();
}

bool TListingPool::HasSubdirectories(const TListing& listing, const TFileSystemId& root)
{
    for (size_t i = 0; i < listing.Count; ++i)
        if (Enters(listing.Entries[i], root))
            return true;
    return false;
}

TListingPool::TChain TListingPool::Subdirectories(const TListing& listing, TDirHandle handle,
                                                  uint64_t parent, uint32_t depth,
                                                  const TFileSystemId& root)
{
    TChain chain;
    for (size_t i = 0; i < listing.Count; ++i) {
        uint32_t index = listing.Order[i].Index;
        const TFileInfo& e = listing.Entries[index];
        if (!Enters(e, root))
            continue;
        TNode* n = new TNode;
        n->Id = ++lastId_;
        n->Parent = parent;
        n->EntryIndex = index;
        n->Depth = depth;
        n->Root = root;
        n->ParentHandle = handle;
        n->Name = e.Name;
        n->Prev = chain.Last;
        if (chain.Last)
            chain.Last->Next = n;
        else
            chain.First = n;
        chain.Last = n;
    }
    return chain;
}

void TListingPool::InsertAfter(TNode* at, const TChain& chain)
{
    chain.First->Prev = at;
    chain.Last->Next = at->Next;
    if (at->Next)
        at->Next->Prev = chain.Last;
    at->Next = chain.First;
}

void TListingPool::Unlink(TNode* n)
{
    if (n->Prev)
        n->Prev->Next = n->Next;
    else
        head_ = n->Next;
    if (n->Next)
        n->Next->Prev = n->Prev;
    n->Prev = n->Next = nullptr;
}

// Listings are reused so that the names of their entries reuse their storage, as a single
// thread's listings do: as many as the listings made ahead come and go by, up to a bound on the
// entries they keep.
TListing TListingPool::SpareListing()
{
    if (spare_.empty())
        return {};
    TListing l = std::move(spare_.back());
    spare_.pop_back();
    spareEntries_ -= l.Entries.size();
    l.Clear();
    return l;
}

void TListingPool::KeepSpare(TListing&& listing)
{
    constexpr size_t kMostSpareEntries = 16384;
    if (spareEntries_ + listing.Entries.size() > kMostSpareEntries)
        return;
    spareEntries_ += listing.Entries.size();
    spare_.push_back(std::move(listing));
}

} // namespace vm
