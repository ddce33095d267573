#include "core/TreeScanner.h"

#include <algorithm>
#include <cerrno>
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
    if (root != kNoDir && fs_.StatDirectory(root, self, error)) {
        root_ = {self.Device, self.MountId};
        sink_.RootFacts(self);
    }
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
    const bool enter = !stopped_ && Enters(e, root_);
    // A directory closed for the open limit, whose way back up did not lead to it, is opened
    // again from above; one that cannot be found again leaves its subdirectories unread.
    int lostError = 0;
    if (enter && frames_[at].Handle == kNoDir && !Reopen(at, lostError)) {
        Push(e.Device, e.Inode);
        sink_.Unreadable(path_, lostError);
        return;
    }
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
    f.Lost = 0;
    f.PathLength = path_.size();
    return f;
}

// Opens name inside above (by its path when above is kNoDir) and checks that it is the directory
// frame lists: device and inode. A name that leads elsewhere now fails with ENOENT, as the
// directory listed is not there any more.
TDirHandle TTreeScanner::OpenSame(TDirHandle above, const std::string& name, const TFrame& frame,
                                  int& error)
{
    TDirHandle dir =
        above == kNoDir ? fs_.OpenDirectory(name, error) : fs_.OpenDirectoryAt(above, name, error);
    if (dir == kNoDir || IsSame(dir, frame, error))
        return dir;
    fs_.CloseDirectory(dir);
    return kNoDir;
}

bool TTreeScanner::IsSame(TDirHandle dir, const TFrame& frame, int& error)
{
    TFileInfo now;
    if (!fs_.StatDirectory(dir, now, error))
        return false;
    if (now.Device == frame.Device && now.Inode == frame.Inode)
        return true;
    error = ENOENT;
    return false;
}

// The name of frames_[k] (k >= 1) inside the directory above it.
std::string TTreeScanner::FrameName(size_t k) const
{
    const size_t begin = frames_[k - 1].PathLength;
    return path_.substr(begin, frames_[k].PathLength - begin - 1);
}

// Opens frames_[at] again by its names from the nearest open directory above it (or from the
// root's path), checking at every step that each directory is the one listed: a tree moved
// meanwhile can make a name lead elsewhere, and nothing may be read from the wrong place. A
// directory that cannot be found again is remembered as lost, so that its other subdirectories
// are reported without another search.
bool TTreeScanner::Reopen(size_t at, int& error)
{
    TFrame& target = frames_[at];
    if (target.Lost != 0) {
        error = target.Lost;
        return false;
    }
    size_t k = at;
    while (k > 0 && frames_[k - 1].Handle == kNoDir)
        --k;
    TDirHandle dir =
        k == 0 ? OpenSame(kNoDir, path_.substr(0, frames_[0].PathLength), frames_[0], error)
               : OpenSame(frames_[k - 1].Handle, FrameName(k), frames_[k], error);
    for (size_t i = k + 1; dir != kNoDir && i <= at; ++i) {
        TDirHandle next = OpenSame(dir, FrameName(i), frames_[i], error);
        fs_.CloseDirectory(dir);
        dir = next;
    }
    if (dir == kNoDir) {
        target.Lost = error != 0 ? error : ENOENT;
        error = target.Lost;
        return false;
    }
    target.Handle = dir;
    ++openCount_;
    firstMaybeOpen_ = std::min(firstMaybeOpen_, at);
    return true;
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
            TDirHandle up = fs_.OpenDirectoryAt(f.Handle, "..", error);
            // Only the same directory will do: if the tree was moved meanwhile, ".." leads
            // elsewhere, and the parent is found again from above when it is next needed.
            if (up != kNoDir && IsSame(up, parent, error)) {
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
