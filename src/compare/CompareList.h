// The compare window's list as plain data and its texts. Per row only what sorting, selecting and
// drawing the row need without reading the file: the comparison record's offset, how the row is
// drawn, its change and the new log's tag set (16 bytes). The table reads everything else (name,
// space then and now, dates, the entry in the new log) from the comparison when a row is painted,
// printed, copied, mailed, exported or sorted, through the reader the window keeps open. All space
// figures are allocated space (the space then and now), never byte sizes.
#pragma once

#include "compare/CompareTexts.h"
#include "core/DirCompare.h"
#include "display/DirTree.h"
#include "display/ListRows.h"
#include "listwindow/RecordCache.h"
#include "listwindow/RowStore.h"
#include "output/ListTable.h"
#include "output/ListTexts.h"
#include "platform/Locale.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vm {

struct TCompareRow
{
    int64_t Offset : 48 = kNoOffset;      // the record in the comparison file
    uint64_t Kind : 8 = kRowFile;         // TRowKind
    uint64_t Image : 8 = kImagePlainFile; // TRowImage
    // The new log entry's tag set when the row was listed, or as the window last set it (0: none
    // known). Kept here rather than read when painted: the new log may be out of reach, and the
    // selection rules and the rubbish bin's deletion look at every row's tags.
    uint32_t Tags = 0;
    TChange Change = TChange::Unchanged; // the arrow: the record's, or after the window set the
                                         // space now (TCompareRowStore::SetSpaceNow)
    bool TopLevelPath = false; // a top-level path of the reference, listed as a folder or path
    bool InNewLog = false;     // the record names an entry in the new log (not one only the old
                               // log has)

    // A top-level path of the reference, whatever its row shows it as (a folder outside the
    // standard view of the root).
    bool TopLevel() const { return Kind == kRowPath || TopLevelPath; }
    bool DeletedFromDisk() const { return (Tags & kTagDeleted) != 0; }
};
static_assert(sizeof(TCompareRow) == 16, "a row of a hundred-million-row list stays small");

// The rows, and the space now of rows whose entry the window deleted from the disk without the
// new log saying so (or whose space a property change altered): the comparison still holds the
// space it took, the row shows the space the window set. Cleared with the rows on every refill.
class TCompareRowStore : public TRowStore<TCompareRow>
{
public:
    void Clear()
    {
        TRowStore<TCompareRow>::Clear();
        spaceNow_.clear();
    }
    void SetSpaceNow(int64_t offset, int64_t space) { spaceNow_[offset] = space; }
    // The space now the window set for the row at offset, when it set one.
    const int64_t* SpaceNow(int64_t offset) const
    {
        if (spaceNow_.empty())
            return nullptr;
        auto it = spaceNow_.find(offset);
        return it == spaceNow_.end() ? nullptr : &it->second;
    }

private:
    std::unordered_map<int64_t, int64_t> spaceNow_;
};

// What a row shows beyond its TCompareRow, read from its comparison record. A record that does
// not read (a damaged or missing file) gives an entry with Read false, shown as a blank row.
struct TCompareEntry
{
    bool Read = false;
    std::string Name; // the record's own name (a top-level path as the reference gives it)
    int64_t DirOffset = kNoOffset;    // the directory "Full path" names: the parent record, or
                                      // for a top-level path the record itself
    int64_t NewLogOffset = kNoOffset; // the entry in the new log; -1 when only the old log has it
    int64_t AllocWas = 0, AllocNow = 0;
    TDateTime Created = 0, Modified = 0, Accessed = 0;
    uint8_t Condition = kConditionBoth;

    TDateTime Date(TDateType type) const
    {
        return type == TDateType::Created    ? Created
               : type == TDateType::Accessed ? Accessed
                                             : Modified;
    }
};

// The row a comparison record gives, as the fill lists it (Kind and Image are the fill's).
TCompareRow CompareRowOf(int64_t offset, const TCompareRecord& record);

// The list's columns: eight shown, then the hidden ones that hold raw values.
enum TCompareColumn
{
    kCmpName = 0,  // "File name"
    kCmpPath,      // "Full path": the directory that holds the entry
    kCmpType,      // "File type"
    kCmpWas,       // "Space was"
    kCmpNow,       // "Space now"
    kCmpChanged,   // "Changed by"
    kCmpCondition, // "Condition"
    kCmpDate,      // the chosen date
    kCmpDateValue, // hidden: the date as days since 1899-12-30
    kCmpWasValue,  // hidden: the space then in bytes
    kCmpNowValue,  // hidden: the space now in bytes
    kCompareColumnCount
};

struct TCompareListOptions
{
    bool ShowExtensions = true;
    TDateType DateType = TDateType::Created;
    bool PathShown = false; // "Full path" is 220 pixels wide in the all folders and files views
};

class TCompareListTable : public TListTable
{
public:
    // All outlive the table.
    TCompareListTable(const TCompareRowStore& store, const TDirTree& tree, const TLocale& locale,
                      TFileTypeLookup types);

    // The comparison the rows are read from (the window's painting reader); null: none, every
    // row shows blank. It outlives the table or is set again (to null) before it goes.
    void SetComparison(TDirCompare* file);

    void SetOptions(const TCompareListOptions& options) { options_ = options; }
    const TCompareListOptions& Options() const { return options_; }

    int ColumnCount() const override { return kCompareColumnCount; }
    TListColumn Column(int column) const override;
    int RowCount() const override { return store_.Count(); }
    std::string Text(int row, int column) const override;
    // The space columns' bytes; "Changed by" as the space now less the space then.
    std::optional<int64_t> RawNumber(int row, int column) const override;

    // What the row shown at position shows, read from its record (the last few hundred records
    // read are kept: a view asks for one row many times while it paints), with the space now
    // the window set in its place.
    TCompareEntry Entry(int position) const { return Entry(store_.Row(position)); }
    TCompareEntry Entry(const TCompareRow& row) const;

    // The texts of the row shown at position, or of a row.
    std::string Caption(int position) const { return Caption(store_.Row(position)); }
    std::string DirectoryText(int position) const { return DirectoryText(store_.Row(position)); }
    std::string TypeText(int position) const { return TypeText(store_.Row(position)); }
    std::string TypeExtension(int position) const { return TypeExtension(store_.Row(position)); }
    std::string ConditionText(int position) const { return ConditionText(store_.Row(position)); }
    std::string Caption(const TCompareRow& row) const { return Caption(row, Entry(row)); }
    std::string DirectoryText(const TCompareRow& row) const
    {
        return DirectoryText(row, Entry(row));
    }
    std::string TypeText(const TCompareRow& row) const;
    std::string TypeExtension(const TCompareRow& row) const;
    std::string ConditionText(const TCompareRow& row) const;

    const TCompareRowStore& Store() const { return store_; }
    const TLocale& Locale() const { return locale_; }

private:
    // The record at offset as the file has it.
    const TCompareEntry& Record(int64_t offset) const;
    std::string Caption(const TCompareRow& row, const TCompareEntry& entry) const;
    std::string DirectoryText(const TCompareRow& row, const TCompareEntry& entry) const;

    const TCompareRowStore& store_;
    const TDirTree& tree_;
    const TLocale& locale_;
    TFileTypeLookup types_;
    TCompareListOptions options_;
    TDirCompare* file_ = nullptr;
    mutable TRecordCache<TCompareEntry> cache_;
    mutable TCompareRecord record_; // the read's buffers
    mutable std::string name_;
};

} // namespace vm
