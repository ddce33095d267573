// The rows of a long list window (the explore and compare windows' file lists) as plain data: per
// row a small struct that names the entry in its file, everything else is read from the file when
// the row is painted. Rows live in blocks that never move, and the shown order is a separate
// index, so that sorting a million rows moves four bytes per row. Until the first sort or
// reduction the shown order is the order the rows were appended in, and it costs nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vm {

// The buffer of the stream a list's rows are read through when painted. Rows are read one record
// at a time in the order they are shown, which after a sort is no order in the file: a large
// buffer would be loaded whole for every record.
constexpr size_t kPaintingReadBuffer = 4096;

template <class TRow> class TRowStore
{
public:
    static constexpr int kBlockRows = 8192;

    void Clear()
    {
        blocks_.clear();
        blocks_.shrink_to_fit();
        stored_ = 0;
        order_.clear();
        order_.shrink_to_fit();
        ordered_ = false;
    }
    int Count() const
    {
        return ordered_ ? static_cast<int>(order_.size()) : static_cast<int>(stored_);
    }

    // The row shown at position i.
    const TRow& Row(int i) const { return Stored(StoredIndex(i)); }
    TRow& Row(int i) { return Stored(StoredIndex(i)); }
    // The stored index of the row shown at position i.
    uint32_t StoredIndex(int i) const
    {
        return ordered_ ? order_[static_cast<size_t>(i)] : static_cast<uint32_t>(i);
    }

    // Appends a row (shown last); returns its position.
    int Append(const TRow& row)
    {
        if (stored_ % kBlockRows == 0)
            blocks_.push_back(std::make_unique<TRow[]>(kBlockRows));
        Stored(stored_) = row;
        if (ordered_)
            order_.push_back(stored_);
        ++stored_;
        return Count() - 1;
    }

    // The shown order as indexes of stored rows; a sort or reduction rearranges or shortens it.
    const std::vector<uint32_t>& Order() const
    {
        if (!ordered_) {
            order_.resize(stored_);
            for (uint32_t i = 0; i < stored_; ++i)
                order_[i] = i;
            ordered_ = true;
        }
        return order_;
    }
    void SetOrder(std::vector<uint32_t> order)
    {
        order_ = std::move(order);
        ordered_ = true;
    }
    // True while the rows show in the order they were appended (Order() would be 0, 1, 2 ...).
    bool InStoredOrder() const { return !ordered_; }
    const TRow& Stored(uint32_t index) const
    {
        return blocks_[index / kBlockRows][index % kBlockRows];
    }
    TRow& Stored(uint32_t index) { return blocks_[index / kBlockRows][index % kBlockRows]; }
    uint32_t StoredCount() const { return stored_; }
    // The position at which a stored row is shown, or -1.
    int PositionOf(uint32_t index) const
    {
        if (!ordered_)
            return index < stored_ ? static_cast<int>(index) : -1;
        auto it = std::find(order_.begin(), order_.end(), index);
        return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
    }

    // Calls f(position, row) for every shown row in the order the rows were appended: for rows
    // that read what they show from a file, the order of the file, whatever order they show in.
    // Holds the position of every stored row for the pass (four bytes a row).
    template <class F> void ForEachInStoredOrder(F f) const
    {
        if (!ordered_) {
            for (uint32_t i = 0; i < stored_; ++i)
                f(static_cast<int>(i), Stored(i));
            return;
        }
        std::vector<uint32_t> positionOf(stored_, UINT32_MAX);
        for (size_t k = 0; k < order_.size(); ++k)
            positionOf[order_[k]] = static_cast<uint32_t>(k);
        for (uint32_t i = 0; i < stored_; ++i)
            if (positionOf[i] != UINT32_MAX)
                f(static_cast<int>(positionOf[i]), Stored(i));
    }

    // Bytes held, for the memory figures of the benchmarks.
    size_t MemoryBytes() const
    {
        return blocks_.size() * kBlockRows * sizeof(TRow) + order_.capacity() * sizeof(uint32_t);
    }

private:
    std::vector<std::unique_ptr<TRow[]>> blocks_;
    uint32_t stored_ = 0;
    // Materialised on the first sort or reduction (or when asked for); until then the identity.
    mutable std::vector<uint32_t> order_;
    mutable bool ordered_ = false;
};

} // namespace vm
