// The rows of the explore window's file list as plain data: per row the entry's offset and the
// few numbers its columns show, the name in a shared pool (listwindow/RowStore.h), the owner and
// group as indexes into the store's tables of ids. Texts, types and icons are made from these
// when a row is painted (FileListTable.h).
#pragma once

#include "display/IdNameTable.h"
#include "display/ListRows.h"
#include "listwindow/RowStore.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

struct TFileRow
{
    int64_t Offset = -1;    // the entry
    int64_t DirOffset = -1; // the directory the "Full path" column names: the parent, or for a
                            // top-level path the entry itself
    int64_t Size = 0, Allocated = 0;
    TDateTime Date = 0; // the date the list shows (modified, created or accessed)
    uint32_t Tags = 0;
    uint32_t NameAt = 0;
    uint16_t NameLength = 0;
    uint8_t Kind = kRowFile;
    uint8_t Image = kImagePlainFile;
    // Indexes into TFileListStore::Owners and Groups, where the log records owners. They fill
    // what would otherwise be the row's padding.
    uint16_t Owner = 0, Group = 0;
};
// 64-bit offsets cost a row 8 bytes until the row keeps only its offset and sort key and reads
// the rest from the log when painted.
static_assert(sizeof(TFileRow) <= 56, "a row of a million-row list stays small");

class TFileListStore : public TNamedRowStore<TFileRow>
{
public:
    TFileListStore();
    void Clear();
    // Appends a row (shown last) with its name; returns its position.
    int Append(TFileRow row, std::string_view name);

    // Gives the row at a position a new allocated space (a deletion that changes the log, a
    // file compressed), keeping the sum in step.
    void SetAllocated(int position, int64_t allocated);

    // The sums over the rows appended since Clear (the status bar's totals).
    int64_t SumSize() const { return sumSize_; }
    int64_t SumAllocated() const { return sumAllocated_; }

    // The owners and groups rows refer to; they stay over refills (the window's log does not
    // change), so that each id is named once.
    TIdNameTable Owners, Groups;

private:
    int64_t sumSize_ = 0, sumAllocated_ = 0;
};

} // namespace vm
