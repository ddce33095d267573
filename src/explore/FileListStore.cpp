#include "explore/FileListStore.h"

namespace vm {

void TFileListStore::Clear()
{
    TRowStore::Clear();
    sumSize_ = sumAllocated_ = 0;
    sumsStale_ = false;
    space_.clear();
    tags_.clear();
}

int TFileListStore::Append(const TFileRow& row, int64_t size, int64_t allocated)
{
    sumSize_ += size;
    sumAllocated_ += allocated;
    return TRowStore::Append(row);
}

int TFileListStore::Append(const TFileRow& row, const TShownSpace& shown)
{
    space_[row.Offset] = shown;
    return Append(row, shown.Size, shown.Allocated);
}

void TFileListStore::SetAllocated(int64_t offset, int64_t allocated)
{
    space_[offset].Allocated = allocated; // a new entry keeps the record's size
    sumsStale_ = true;
}

void TFileListStore::SetSums(int64_t size, int64_t allocated)
{
    sumSize_ = size;
    sumAllocated_ = allocated;
    sumsStale_ = false;
}

const TShownSpace* TFileListStore::ShownSpace(int64_t offset) const
{
    if (space_.empty())
        return nullptr;
    auto it = space_.find(offset);
    return it == space_.end() ? nullptr : &it->second;
}

const uint32_t* TFileListStore::ShownTags(int64_t offset) const
{
    if (tags_.empty())
        return nullptr;
    auto it = tags_.find(offset);
    return it == tags_.end() ? nullptr : &it->second;
}

} // namespace vm
