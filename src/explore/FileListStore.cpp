#include "explore/FileListStore.h"

#include <algorithm>
#include <cstring>

namespace vm {

void TFileListStore::Clear()
{
    blocks_.clear();
    nameBlocks_.clear();
    nameUsed_ = kNameBlock;
    stored_ = 0;
    order_.clear();
    order_.shrink_to_fit();
    sumSize_ = sumAllocated_ = 0;
}

std::string_view TFileListStore::Name(const TFileRow& row) const
{
    return std::string_view(nameBlocks_[row.NameAt / kNameBlock].get() + row.NameAt % kNameBlock,
                            row.NameLength);
}

int TFileListStore::Append(TFileRow row, std::string_view name)
{
    if (stored_ % kBlockRows == 0)
        blocks_.push_back(std::make_unique<TFileRow[]>(kBlockRows));
    // A name never straddles two blocks of the pool.
    const size_t length = std::min<size_t>(name.size(), UINT16_MAX);
    if (nameUsed_ + length > kNameBlock) {
        nameBlocks_.push_back(std::make_unique<char[]>(kNameBlock));
        nameUsed_ = 0;
    }
    std::memcpy(nameBlocks_.back().get() + nameUsed_, name.data(), length);
    row.NameAt = static_cast<uint32_t>((nameBlocks_.size() - 1) * kNameBlock + nameUsed_);
    row.NameLength = static_cast<uint16_t>(length);
    nameUsed_ += length;
    Stored(stored_) = row;
    if (order_.size() == order_.capacity())
        order_.reserve(order_.size() + 64 * kBlockRows);
    order_.push_back(stored_++);
    sumSize_ += row.Size;
    sumAllocated_ += row.Allocated;
    return Count() - 1;
}

int TFileListStore::PositionOf(uint32_t index) const
{
    auto it = std::find(order_.begin(), order_.end(), index);
    return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

size_t TFileListStore::MemoryBytes() const
{
    return blocks_.size() * kBlockRows * sizeof(TFileRow) + nameBlocks_.size() * kNameBlock +
           order_.capacity() * sizeof(uint32_t);
}

} // namespace vm
