// What the explore window's file list shows, read from the log when a row is painted (or printed,
// copied, mailed, sorted): the columns, each row's texts and numbers. The "Full path" column
// comes from the directory tree, types from the desktop's file-type lookup, sizes and dates from
// the locale, owner and group names from the system's accounts.
#pragma once

#include "core/DirStorage.h"
#include "display/DirTree.h"
#include "display/IdNameTable.h"
#include "display/ListRows.h"
#include "explore/FileListStore.h"
#include "listwindow/ListWork.h"
#include "listwindow/RecordCache.h"
#include "output/ListTable.h"
#include "output/ListTexts.h"
#include "platform/Locale.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

// The list's columns: six shown, the hidden ones that hold raw values, then the owner and the
// group, shown where the log records them (an exact log's list has neither, so its prints,
// copies and exports stay as they were).
enum TFileColumn
{
    kColName = 0,  // "File name"
    kColPath,      // "Full path": the directory that holds the entry
    kColType,      // "Type"
    kColSize,      // "File size"
    kColSpace,     // "Disk space"
    kColDate,      // the chosen date
    kColDateValue, // hidden: the date as days since 1899-12-30
    kColSizeValue, // hidden: the size in bytes
    kColSpaceValue,
    kColFullName, // hidden: the name with its extension
    kColOwner,    // "Owner": the account of the entry's owner when logged
    kColGroup,    // "Group"
    kFileColumnCount
};

struct TFileListOptions
{
    bool ShowExtensions = true;
    TDateType DateType = TDateType::Modified;
    bool PathShown = false; // "Full path" is 220 pixels wide in the all folders and all files views
    bool OwnersRecorded = false; // the log records owners and groups (TDirStorage::HasOwners)
};

// A row as it shows: its record read from the log, with what the store shows instead.
struct TFileEntry
{
    int64_t Offset = kNoOffset;
    int64_t DirOffset = kNoOffset; // the directory "Full path" names: the parent, or for a
                                   // top-level path the entry itself
    uint8_t Kind = kRowFile;
    uint8_t Image = kImagePlainFile;
    bool Read = false; // false: the record did not read (the row shows blank)
    std::string Name;
    int64_t Size = 0, Allocated = 0;
    TDateTime Date = 0; // the date the list shows (modified, created or accessed)
    uint32_t Tags = 0;
    uint32_t Owner = kNoOwner, Group = kNoOwner;
};

class TFileListTable : public TListTable
{
public:
    // All outlive the table.
    TFileListTable(const TFileListStore& store, const TDirTree& tree, const TLocale& locale,
                   TFileTypeLookup types);

    void SetOptions(const TFileListOptions& options) { options_ = options; }
    const TFileListOptions& Options() const { return options_; }
    // The log rows are read from (it outlives the table, or is replaced before it goes);
    // nothing: every row shows blank. Setting it, even to the same log, forgets what was read.
    void SetLog(TDirStorage* log);
    // Forgets what was read, after the log changed under the same reader.
    void Forget() const;

    // The row shown at position, or a row, as it shows.
    TFileEntry Entry(int position) const;
    TFileEntry Entry(const TFileRow& row) const;
    // For passes over every row (sorts): the record of a row with the sizes and tags the row
    // shows, read without the cache into a node this table reuses, its name into `name`;
    // nullptr when it does not read. Its dates are read only when asked for (dated).
    const TDirNode* ShownNode(const TFileRow& row, std::string& name, bool dated = false) const;
    // The sizes and spaces of every row as they show, added up (one pass over the log).
    TSizeTotals ShownTotals() const;
    // The date of a node the list shows (modified, created or accessed).
    TDateTime ShownDate(const TDirNode& node) const;

    int ColumnCount() const override { return kFileColumnCount; }
    TListColumn Column(int column) const override;
    int RowCount() const override { return store_.Count(); }
    std::string Text(int row, int column) const override;
    std::optional<int64_t> RawNumber(int row, int column) const override;

    // The row's caption: its name, without the extension when extensions are hidden (a view
    // into the entry's name).
    std::string_view Caption(const TFileEntry& row) const;
    // The "Full path" text of a row: its directory ending with "/", or a top-level path itself.
    std::string DirectoryText(const TFileEntry& row) const;
    // The "Type" text: "Path", "File folder" or the file type of its extension.
    std::string TypeText(const TFileEntry& row) const;
    // The extension a file row's icon and type come from ("." for none).
    std::string TypeExtension(const TFileEntry& row) const;
    // The "Owner" and "Group" texts: the account and group names the log's ids have here (the
    // number where none has), "" where the log records no owners.
    const std::string& OwnerText(const TFileEntry& row) const;
    const std::string& GroupText(const TFileEntry& row) const;
    const std::string& OwnerName(uint32_t id) const;
    const std::string& GroupName(uint32_t id) const;

    const TFileListStore& Store() const { return store_; }
    const TLocale& Locale() const { return locale_; }

private:
    // A record as read (Read false: it did not read).
    struct TCached
    {
        TDirNode Node;
        std::string Name;
        bool Read = false;
    };

    const TFileListStore& store_;
    const TDirTree& tree_;
    const TLocale& locale_;
    TFileTypeLookup types_;
    TFileListOptions options_;
    TDirStorage* log_ = nullptr;
    mutable TRecordCache<TCached> cache_;
    mutable TDirNode bulk_;
    // Applies what the store shows instead of the record at offset.
    void ApplyShown(int64_t offset, int64_t& size, int64_t& allocated, uint32_t& tags) const;
    // Each id is named once: account look-ups may go over the network.
    mutable TIdNameTable owners_, groups_;
};

} // namespace vm
