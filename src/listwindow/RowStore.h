// The rows of a long list window (the explore and compare windows' file lists) as plain data: per
// row a small struct of numbers, its name in a shared pool. Rows live in blocks that never move,
// and the shown order is a separate index, so that sorting a million rows moves four bytes per
// row. TRow must have the fields `uint32_t NameAt` and `uint16_t NameLength`, which Append sets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace vm {

template <class TRow> class TRowStore
{
public:
    static constexpr int kBlockRows = 5000;

    void Clear()
    {
        blocks_.clear();
        nameBlocks_.clear();
        nameUsed_ = kNameBlock;
        stored_ = 0;
        order_.clear();
        order_.shrink_to_fit();
    }
    int Count() const { return static_cast<int>(order_.size()); }

    // The row shown at position i.
    const TRow& Row(int i) const { return Stored(order_[static_cast<size_t>(i)]); }
    TRow& Row(int i) { return Stored(order_[static_cast<size_t>(i)]); }
    std::string_view Name(const TRow& row) const
    {
        if (row.NameLength == 0)
            return {}; // no pool block may exist yet
        return std::string_view(
            nameBlocks_[row.NameAt / kNameBlock].get() + row.NameAt % kNameBlock, row.NameLength);
    }
    std::string_view Name(int i) const { return Name(Row(i)); }

    // Appends a row (shown last) with its name; returns its position.
    int Append(TRow row, std::string_view name)
    {
        if (stored_ % kBlockRows == 0)
            blocks_.push_back(std::make_unique<TRow[]>(kBlockRows));
        // A name never straddles two blocks of the pool.
        const size_t length = std::min<size_t>(name.size(), UINT16_MAX);
        row.NameAt = 0;
        row.NameLength = static_cast<uint16_t>(length);
        if (length > 0) {
            if (nameUsed_ + length > kNameBlock) {
                nameBlocks_.push_back(std::make_unique<char[]>(kNameBlock));
                nameUsed_ = 0;
            }
            std::memcpy(nameBlocks_.back().get() + nameUsed_, name.data(), length);
            row.NameAt = static_cast<uint32_t>((nameBlocks_.size() - 1) * kNameBlock + nameUsed_);
            nameUsed_ += length;
        }
        Stored(stored_) = row;
        if (order_.size() == order_.capacity())
            order_.reserve(order_.size() + 64 * kBlockRows);
        order_.push_back(stored_++);
        return Count() - 1;
    }

    // The shown order as indexes of stored rows; a sort or reduction rearranges or shortens it.
    const std::vector<uint32_t>& Order() const { return order_; }
    void SetOrder(std::vector<uint32_t> order) { order_ = std::move(order); }
    const TRow& Stored(uint32_t index) const
    {
        return blocks_[index / kBlockRows][index % kBlockRows];
    }
    TRow& Stored(uint32_t index) { return blocks_[index / kBlockRows][index % kBlockRows]; }
    // The position at which a stored row is shown, or -1.
    int PositionOf(uint32_t index) const
    {
        auto it = std::find(order_.begin(), order_.end(), index);
        return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
    }

    // Bytes held, for the memory figures of the benchmarks.
    size_t MemoryBytes() const
    {
        return blocks_.size() * kBlockRows * sizeof(TRow) + nameBlocks_.size() * kNameBlock +
               order_.capacity() * sizeof(uint32_t);
    }

private:
    static constexpr size_t kNameBlock = 1 << 20;

    std::vector<std::unique_ptr<TRow[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> nameBlocks_;
    size_t nameUsed_ = kNameBlock; // in the last name block
    uint32_t stored_ = 0;
    std::vector<uint32_t> order_;
};

} // namespace vm
