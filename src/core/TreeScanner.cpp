#include "core/TreeScanner.h"

#include <algorithm>
#include <thread>

namespace vm {

unsigned DefaultScanThreads()
{
    unsigned n = std::thread::hardware_concurrency();
    return n ? n : 1;
}

TTreeScanner::TTreeScanner(TFileSystem& fs, TScanSink& sink) : fs_(fs), sink_(sink) {}

TTreeScanner::~TTreeScanner()
{
    // Workers may be opening subdirectories through the walk's handles: they end first.
    if (pool_)
        pool_->Stop();
    for (size_t i = 0; i < depth_; ++i)
        fs_.CloseDirectory(frames_[i].Handle);
}

void TTreeScanner::SetThreads(unsigned n)
{
    threads_ = n ? n : DefaultScanThreads();
}

void TTreeScanner::ScanRoot(const std::string& path, int32_t unit)
{
    if (stopped_)
        return;
    if (threads_ > 1 && !pool_) {
        // The walk keeps open every directory whose subdirectories may be queued, so the depth
        // listed ahead stays within the walk's share of open directories.
        TLookahead limits = lookahead_;
        limits.Depth = static_cast<uint32_t>(std::min<size_t>(limits.Depth, maxOpen_ / 2));
        pinned_ = limits.Depth;
        pool_ = std::make_unique<TListingPool>(fs_, threads_ - 1, limits);
    }
    sink_.BeginRoot(path, unit);
    path_ = path;
    int error = 0;
    TDirHandle root = fs_.OpenDirectory(path, error);
    if (root == kNoDir)
        sink_.Unreadable(path, error);
    TFileInfo self;
    root_ = {};
    if (root != kNoDir && fs_.StatDirectory(root, self, error))
        root_ = {self.Device, self.MountId};
    TFrame& top = Push(self.Device, self.Inode);
    if (root != kNoDir) {
        top.Handle = root;
        ListHere(top);
        Opened(top);
    }
    while (depth_ > 0) {
        TFrame& f = frames_[depth_ - 1];
        if (stopped_ || f.Next == f.Listing.Count) {
            Pop();
            continue;
        }
        size_t index = f.Listing.Order[f.Next++].Index;
        const TFileInfo& e = f.Listing.Entries[index];
        sink_.Entry(e, IsRepeatLink(e));
        if (e.IsDirectory())
            EnterDirectory(index);
    }
}

bool TTreeScanner::IsRepeatLink(const TFileInfo& info)
{
    if (info.IsDirectory() || info.Links < 2)
        return false;
    return !linkedFiles_.emplace(info.Device, info.Inode).second;
}

void TTreeScanner::EnterDirectory(size_t entryIndex)
{
    if (pump_)
        pump_();
    const size_t at = depth_ - 1;
    const TFileInfo& e = frames_[at].Listing.Entries[entryIndex];
    path_.append(e.Name).push_back('/');
    bool enter = !stopped_ && frames_[at].Handle != kNoDir && Enters(e, root_);
    TFrame& f = Push(e.Device, e.Inode); // may move the frames: e is gone
    if (!enter)
        return;
    TFrame& parent = frames_[at];
    TTakenListing taken;
    if (pool_ && parent.Id != 0 &&
        pool_->Take(parent.Id, static_cast<uint32_t>(entryIndex), f.Listing, taken)) {
        f.Handle = taken.Handle;
        f.Id = taken.Id;
    } else {
        f.Handle = fs_.OpenDirectoryAt(parent.Handle, parent.Listing.Entries[entryIndex].Name,
                                       taken.Error);
        taken.Opened = f.Handle != kNoDir;
        if (taken.Opened)
            ListHere(f);
    }
    if (!taken.Opened) {
        sink_.Unreadable(path_, taken.Error);
        return;
    }
    Opened(f);
}

TTreeScanner::TFrame& TTreeScanner::Push(uint64_t device, uint64_t inode)
{
    if (frames_.size() == depth_)
        frames_.emplace_back();
    TFrame& f = frames_[depth_++];
    f.Handle = kNoDir;
    f.Device = device;
    f.Inode = inode;
    f.Listing.Clear();
    f.Next = 0;
    f.Id = 0;
    f.PathLength = path_.size();
    return f;
}

void TTreeScanner::ListHere(TFrame& f)
{
    ListSorted(fs_, f.Handle, f.Listing);
    if (pool_)
        f.Id = pool_->Expand(f.Handle, f.Listing, static_cast<uint32_t>(depth_ - 1), root_);
}

// The directory at the top was opened and listed (here or ahead): what the listing could not
// read is reported, the status handler hears of every entry, and the open limit is kept.
void TTreeScanner::Opened(TFrame& f)
{
    if (f.Handle != kNoDir) // a directory listed ahead with nothing to enter is closed already
        ++openCount_;
    // A directory that fails part way keeps what it gave; one that cannot be read is empty.
    if (!f.Listing.Complete)
        sink_.Unreadable(path_, f.Listing.Error);
    if (onStatus_) {
        for (size_t i = 0; i < f.Listing.Count && !stopped_; ++i) {
            bool stop = false;
            onStatus_(path_, stop);
            stopped_ = stop;
        }
    }
    if (stopped_ && pool_)
        pool_->Stop();
    KeepOpenLimit();
}

void TTreeScanner::CloseFrame(TFrame& f)
{
    if (f.Handle != kNoDir) {
        fs_.CloseDirectory(f.Handle);
        f.Handle = kNoDir;
        --openCount_;
    }
}

void TTreeScanner::KeepOpenLimit()
{
    // Close the shallowest open directories that the pool does not open subdirectories through;
    // they are reached again through ".." on the way up.
    firstMaybeOpen_ = std::max(firstMaybeOpen_, pinned_);
    while (openCount_ > maxOpen_ && firstMaybeOpen_ + 1 < depth_)
        CloseFrame(frames_[firstMaybeOpen_++]);
}

void TTreeScanner::Pop()
{
    TFrame& f = frames_[depth_ - 1];
    sink_.EndDirectory();
    if (depth_ >= 2) {
        TFrame& parent = frames_[depth_ - 2];
        path_.resize(parent.PathLength);
        // Reopened even when it holds nothing more: a directory above it may, and is reached
        // through it.
        if (parent.Handle == kNoDir && f.Handle != kNoDir && !stopped_) {
            int error = 0;
            TFileInfo check;
            TDirHandle up = fs_.OpenDirectoryAt(f.Handle, "..", error);
            // Only the same directory will do: if the tree was moved meanwhile, the rest of the
            // parent's subdirectories are given as empty rather than taken from elsewhere.
            if (up != kNoDir && fs_.StatDirectory(up, check, error) &&
                check.Device == parent.Device && check.Inode == parent.Inode) {
                parent.Handle = up;
                ++openCount_;
            } else {
                fs_.CloseDirectory(up);
            }
            firstMaybeOpen_ = std::min(firstMaybeOpen_, depth_ - 2);
        }
    }
    CloseFrame(f);
    --depth_;
    firstMaybeOpen_ = std::min(firstMaybeOpen_, depth_);
}

} // namespace vm
