// The compare window's list as plain data and its texts: per row the comparison record's offset
// and the few numbers its columns show (the name in the store's pool), and the table that makes
// each column's text when a row is painted, printed or mailed. All space figures are allocated
// space (the space then and now), never byte sizes.
#pragma once

#include "compare/CompareTexts.h"
#include "display/DirTree.h"
#include "display/ListRows.h"
#include "listwindow/RowStore.h"
#include "output/ListTable.h"
#include "output/ListTexts.h"
#include "platform/Locale.h"

#include <cstdint>
#include <string>

namespace vm {

struct TCompareRow
{
    int64_t Offset = kNoOffset;       // the record in the comparison file
    int64_t DirOffset = kNoOffset;    // the directory "Full path" names: the parent record, or
                                      // for a top-level path the record itself
    int64_t NewLogOffset = kNoOffset; // the entry in the new log; -1 when only the old log has it
    int64_t AllocWas = 0, AllocNow = 0;
    TDateTime Date = 0; // the date the list shows (created, modified or accessed)
    uint32_t Tags = 0;  // the new log entry's tag set when the row was listed (0: none known)
    uint32_t NameAt = 0;
    uint16_t NameLength = 0;
    uint8_t Kind = kRowFile;         // TRowKind
    uint8_t Image = kImagePlainFile; // TRowImage
    uint8_t Condition = kConditionBoth;

    TChange Change() const { return ChangeOf(AllocWas, AllocNow, Condition); }
    // A top-level path of the reference, whatever its row shows it as (a folder outside the
    // standard view of the root).
    bool TopLevel() const { return Kind == kRowPath || DirOffset == Offset; }
    bool DeletedFromDisk() const { return (Tags & kTagDeleted) != 0; }
};

using TCompareRowStore = TNamedRowStore<TCompareRow>;

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

    void SetOptions(const TCompareListOptions& options) { options_ = options; }
    const TCompareListOptions& Options() const { return options_; }

    int ColumnCount() const override { return kCompareColumnCount; }
    TListColumn Column(int column) const override;
    int RowCount() const override { return store_.Count(); }
    std::string Text(int row, int column) const override;
    // The space columns' bytes; "Changed by" as the space now less the space then.
    std::optional<int64_t> RawNumber(int row, int column) const override;

    std::string_view Caption(const TCompareRow& row) const;
    std::string DirectoryText(const TCompareRow& row) const;
    std::string TypeText(const TCompareRow& row) const;
    std::string TypeExtension(const TCompareRow& row) const;
    std::string ConditionText(const TCompareRow& row) const;

    const TCompareRowStore& Store() const { return store_; }
    const TLocale& Locale() const { return locale_; }

private:
    const TCompareRowStore& store_;
    const TDirTree& tree_;
    const TLocale& locale_;
    TFileTypeLookup types_;
    TCompareListOptions options_;
};

} // namespace vm
