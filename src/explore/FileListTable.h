// What the explore window's file list shows, made from the plain rows when a row is painted (or
// printed): the columns, each row's texts and numbers. The "Full path" column comes from the
// directory tree, types from the desktop's file-type lookup, sizes and dates from the locale.
#pragma once

#include "display/DirTree.h"
#include "display/ListRows.h"
#include "explore/FileListStore.h"
#include "output/ListTable.h"
#include "output/ListTexts.h"
#include "platform/Locale.h"

#include <functional>
#include <string>

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

class TFileListTable : public TListTable
{
public:
    // All outlive the table.
    TFileListTable(const TFileListStore& store, const TDirTree& tree, const TLocale& locale,
                   TFileTypeLookup types);

    void SetOptions(const TFileListOptions& options) { options_ = options; }
    const TFileListOptions& Options() const { return options_; }

    int ColumnCount() const override { return kFileColumnCount; }
    TListColumn Column(int column) const override;
    int RowCount() const override { return store_.Count(); }
    std::string Text(int row, int column) const override;
    std::optional<int64_t> RawNumber(int row, int column) const override;

    // The row's caption: its name, without the extension when extensions are hidden.
    std::string_view Caption(const TFileRow& row) const;
    // The "Full path" text of a row: its directory ending with "/", or a top-level path itself.
    std::string DirectoryText(const TFileRow& row) const;
    // The "Type" text: "Path", "File folder" or the file type of its extension.
    std::string TypeText(const TFileRow& row) const;
    // The extension a file row's icon and type come from ("." for none).
    std::string TypeExtension(const TFileRow& row) const;
    // The "Owner" and "Group" texts: the account and group names the log's ids have here (the
    // number where none has), "" where the log records no owners.
    const std::string& OwnerText(const TFileRow& row) const;
    const std::string& GroupText(const TFileRow& row) const;

    const TFileListStore& Store() const { return store_; }
    const TLocale& Locale() const { return locale_; }

private:
    const TFileListStore& store_;
    const TDirTree& tree_;
    const TLocale& locale_;
    TFileTypeLookup types_;
    TFileListOptions options_;
};

} // namespace vm
