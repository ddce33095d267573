// The rows of the explore window's file list as plain data: per row only the entry's offset in
// the log and how the row is drawn (eight bytes), everything it shows being read from the log when
// it is painted (FileListTable.h). Beside the rows: the sums the status bar shows, and the few
// figures the window knows better than the log (the Folders view's own totals of a directory,
// space and tags changed by the window and not yet read back from the log).
#pragma once

#include "display/ListRows.h"
#include "listwindow/RowStore.h"

#include <cstdint>
#include <unordered_map>

namespace vm {

struct TFileRow
{
    int64_t Offset : 48 = -1; // the entry (a log of 2^47 bytes is far beyond any disk's)
    uint64_t Kind : 8 = kRowFile;
    uint64_t Image : 8 = kImagePlainFile;
};
static_assert(sizeof(TFileRow) == 8, "a row of a hundred-million-row list stays small");

// Sizes a row shows other than its record's; a size of -1 is the record's own.
struct TShownSpace
{
    int64_t Size = -1, Allocated = 0;
};

class TFileListStore : public TRowStore<TFileRow>
{
public:
    void Clear();
    // Appends a row (shown last) with the sizes it shows; returns its position.
    int Append(const TFileRow& row, int64_t size, int64_t allocated);
    // Appends a row that shows other sizes than its record's (a directory's own totals).
    int Append(const TFileRow& row, const TShownSpace& shown);

    // A new allocated space for the row at offset (a deletion that does not change the log, a
    // file compressed). The sums are then to be counted again (SetSums): what the row counted
    // before cannot be read back from a log that the change may already have reached.
    void SetAllocated(int64_t offset, int64_t allocated);
    bool SumsStale() const { return sumsStale_; }
    void SetSums(int64_t size, int64_t allocated);
    // Tags the window set on the row at offset while its change to the log is still open.
    void SetTags(int64_t offset, uint32_t tags) { tags_[offset] = tags; }
    // The log now has every change the window made: rows show its tags again.
    void ForgetTags() { tags_.clear(); }

    // What the row at offset shows instead of its record, when anything.
    const TShownSpace* ShownSpace(int64_t offset) const;
    const uint32_t* ShownTags(int64_t offset) const;

    // The sums over the rows appended since Clear (the status bar's totals).
    int64_t SumSize() const { return sumSize_; }
    int64_t SumAllocated() const { return sumAllocated_; }

private:
    int64_t sumSize_ = 0, sumAllocated_ = 0;
    bool sumsStale_ = false;
    std::unordered_map<int64_t, TShownSpace> space_;
    std::unordered_map<int64_t, uint32_t> tags_;
};

} // namespace vm
