// The rows of the explore window's file list as plain data: per row the entry's offset and the few
// numbers its columns show, the name in a shared pool. Texts, types and icons are made from these
// when a row is painted (FileListTable.h). Rows live in blocks of 5000 that never move, and the
// shown order is a separate index, so that sorting a million rows moves four bytes per row.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The kind codes of the item tag word that list rows carry.
enum TRowKind : uint8_t
{
    kRowPath = 3,   // a top-level path ("Path")
    kRowFolder = 5, // a directory ("File folder")
    kRowFile = 6
};

// Row images: the small image list's path, folder and plain file images, or the icon of the
// file's type (looked up when the row is painted).
enum TRowImage : uint8_t
{
    kImagePath = 2,
    kImageFolder = 3,
    kImagePlainFile = 5,
    kImageTypeIcon = 255
};

struct TFileRow
{
    int32_t Offset = -1;    // the entry
    int32_t DirOffset = -1; // the directory the "Full path" column names: the parent, or for a
                            // top-level path the entry itself
    int64_t Size = 0, Allocated = 0;
    TDateTime Date = 0; // the date the list shows (modified, created or accessed)
    uint32_t Tags = 0;
    uint32_t NameAt = 0;
    uint16_t NameLength = 0;
    uint8_t Kind = kRowFile;
    uint8_t Image = kImagePlainFile;
};

class TFileListStore
{
public:
    static constexpr int kBlockRows = 5000;

    void Clear();
    int Count() const { return static_cast<int>(order_.size()); }

    // The row shown at position i.
    const TFileRow& Row(int i) const { return Stored(order_[static_cast<size_t>(i)]); }
    TFileRow& Row(int i) { return Stored(order_[static_cast<size_t>(i)]); }
    std::string_view Name(const TFileRow& row) const;
    std::string_view Name(int i) const { return Name(Row(i)); }

    // Appends a row (shown last) with its name; returns its position.
    int Append(TFileRow row, std::string_view name);

    // The sums over the rows appended since Clear (the status bar's totals).
    int64_t SumSize() const { return sumSize_; }
    int64_t SumAllocated() const { return sumAllocated_; }

    // The shown order as indexes of stored rows; a sort or reduction rearranges or shortens it.
    const std::vector<uint32_t>& Order() const { return order_; }
    void SetOrder(std::vector<uint32_t> order) { order_ = std::move(order); }
    const TFileRow& Stored(uint32_t index) const
    {
        return blocks_[index / kBlockRows][index % kBlockRows];
    }
    TFileRow& Stored(uint32_t index) { return blocks_[index / kBlockRows][index % kBlockRows]; }
    // The position at which a stored row is shown, or -1.
    int PositionOf(uint32_t index) const;

    // Bytes held, for the memory figures of the benchmark.
    size_t MemoryBytes() const;

private:
    static constexpr size_t kNameBlock = 1 << 20;

    std::vector<std::unique_ptr<TFileRow[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> nameBlocks_;
    size_t nameUsed_ = kNameBlock; // in the last name block
    uint32_t stored_ = 0;
    std::vector<uint32_t> order_;
    int64_t sumSize_ = 0, sumAllocated_ = 0;
};

} // namespace vm
