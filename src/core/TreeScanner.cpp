#include "core/TreeScanner.h"

#include "core/NameOrder.h"

#include <algorithm>

namespace vm {

TTreeScanner::TTreeScanner(TFileSystem& fs, TScanSink& sink) : fs_(fs), sink_(sink) {}

TTreeScanner::~TTreeScanner()
{
    for (size_t i = 0; i < depth_; ++i)
        fs_.CloseDirectory(frames_[i].Handle);
}

void TTreeScanner::ScanRoot(const std::string& path, int32_t unit)
{
    if (stopped_)
        return;
    sink_.BeginRoot(path, unit);
    path_ = path;
    int error = 0;
    TDirHandle root = fs_.OpenDirectory(path, error);
    if (root == kNoDir)
        sink_.Unreadable(path, error);
    TFileInfo self;
    rootDevice_ = rootMount_ = 0;
    if (root != kNoDir && fs_.StatDirectory(root, self, error)) {
        rootDevice_ = self.Device;
        rootMount_ = self.MountId;
    }
    Push(root, self.Device, self.Inode);
    while (depth_ > 0) {
        TFrame& f = frames_[depth_ - 1];
        if (stopped_ || f.Next == f.Count) {
            Pop();
            continue;
        }
        size_t index = f.Order[f.Next++].Index;
        const TFileInfo& e = f.Entries[index];
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

bool TTreeScanner::OnRootFileSystem(const TFileInfo& info) const
{
    if (info.Device != rootDevice_)
        return false;
    // A bind mount of the same file system has the same device but its own mount.
    return info.MountId == 0 || rootMount_ == 0 || info.MountId == rootMount_;
}

void TTreeScanner::EnterDirectory(size_t entryIndex)
{
    if (pump_)
        pump_();
    TFrame& parent = frames_[depth_ - 1];
    const TFileInfo& e = parent.Entries[entryIndex];
    path_.append(e.Name).push_back('/');
    TDirHandle h = kNoDir;
    int error = 0;
    if (!stopped_ && parent.Handle != kNoDir && OnRootFileSystem(e)) {
        h = fs_.OpenDirectoryAt(parent.Handle, e.Name, error);
        if (h == kNoDir)
            sink_.Unreadable(path_, error);
    }
    uint64_t device = e.Device, inode = e.Inode; // Push may move the frames
    Push(h, device, inode);
}

void TTreeScanner::Push(TDirHandle handle, uint64_t device, uint64_t inode)
{
    if (frames_.size() == depth_)
        frames_.emplace_back();
    TFrame& f = frames_[depth_++];
    f.Handle = handle;
    f.Device = device;
    f.Inode = inode;
    f.Count = f.Next = 0;
    f.PathLength = path_.size();
    if (handle == kNoDir)
        return;
    ++openCount_;
    List(f);
    KeepOpenLimit();
}

void TTreeScanner::List(TFrame& f)
{
    int error = 0;
    // A directory that fails part way keeps what it gave; one that cannot be read is empty.
    if (!fs_.ListDirectory(f.Handle, f.Entries, f.Count, error))
        sink_.Unreadable(path_, error);
    if (onStatus_) {
        for (size_t i = 0; i < f.Count && !stopped_; ++i) {
            bool stop = false;
            onStatus_(path_, stop);
            stopped_ = stop;
        }
    }
    f.Order.resize(f.Count);
    for (size_t i = 0; i < f.Count; ++i)
        f.Order[i] = {NameSortKey(f.Entries[i].Name), static_cast<uint32_t>(i)};
    const std::vector<TFileInfo>& entries = f.Entries;
    std::sort(f.Order.begin(), f.Order.end(),
              [&entries](const TFrame::TSortItem& a, const TFrame::TSortItem& b) {
                  if (a.Key != b.Key)
                      return a.Key < b.Key;
                  return NameLess(entries[a.Index].Name, entries[b.Index].Name);
              });
}

void TTreeScanner::KeepOpenLimit()
{
    // Close the shallowest open directories; they are reached again through ".." on the way up.
    while (openCount_ > maxOpen_ && firstMaybeOpen_ + 1 < depth_) {
        TFrame& f = frames_[firstMaybeOpen_++];
        if (f.Handle != kNoDir) {
            fs_.CloseDirectory(f.Handle);
            f.Handle = kNoDir;
            --openCount_;
        }
    }
}

void TTreeScanner::Pop()
{
    TFrame& f = frames_[depth_ - 1];
    sink_.EndDirectory();
    if (depth_ >= 2) {
        TFrame& parent = frames_[depth_ - 2];
        path_.resize(parent.PathLength);
        if (parent.Handle == kNoDir && f.Handle != kNoDir && parent.Next < parent.Count &&
            !stopped_) {
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
    if (f.Handle != kNoDir) {
        fs_.CloseDirectory(f.Handle);
        f.Handle = kNoDir;
        --openCount_;
    }
    --depth_;
    firstMaybeOpen_ = std::min(firstMaybeOpen_, depth_);
}

} // namespace vm
