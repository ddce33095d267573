#include "explore/FileListTable.h"

#include "display/DisplayHelpers.h"
#include "output/SizeText.h"

#include <cstdio>

namespace vm {

TFileListTable::TFileListTable(const TFileListStore& store, const TDirTree& tree,
                               const TLocale& locale, TFileTypeLookup types)
    : store_(store), tree_(tree), locale_(locale), types_(std::move(types))
{
}

TListColumn TFileListTable::Column(int column) const
{
    switch (column) {
    case kColName:
        return {"File name", 180, false};
    case kColPath:
        return {"Full path", options_.PathShown ? 220 : 0, false};
    case kColType:
        return {"Type", 100, false};
    case kColSize:
        return {"File size", 100, true};
    case kColSpace:
        return {"Disk space", 100, true};
    case kColDate:
        return {DateColumnCaption(options_.DateType), 115, false};
    case kColOwner:
    case kColGroup:
        if (!options_.OwnersRecorded)
            return {"", 0, false};
        return {column == kColOwner ? "Owner" : "Group", 90, false};
    default:
        return {"", 0, false};
    }
}

std::string_view TFileListTable::Caption(const TFileRow& row) const
{
    return RowCaption(store_.Name(row), row.Kind, options_.ShowExtensions);
}

std::string TFileListTable::DirectoryText(const TFileRow& row) const
{
    return RowDirectoryText(tree_, store_.Name(row), row.Kind, row.Offset, row.DirOffset);
}

std::string TFileListTable::TypeExtension(const TFileRow& row) const
{
    return RowTypeExtension(store_.Name(row));
}

std::string TFileListTable::TypeText(const TFileRow& row) const
{
    return RowTypeText(row.Kind, store_.Name(row), types_);
}

const std::string& TFileListTable::OwnerText(const TFileRow& row) const
{
    static const std::string none;
    return options_.OwnersRecorded ? store_.Owners.NameAt(row.Owner) : none;
}

const std::string& TFileListTable::GroupText(const TFileRow& row) const
{
    static const std::string none;
    return options_.OwnersRecorded ? store_.Groups.NameAt(row.Group) : none;
}

std::string TFileListTable::Text(int i, int column) const
{
    const TFileRow& row = store_.Row(i);
    switch (column) {
    case kColName:
        return std::string(Caption(row));
    case kColPath:
        return DirectoryText(row);
    case kColType:
        return TypeText(row);
    case kColSize:
        return SizeText(row.Size, locale_);
    case kColSpace:
        return SizeText(row.Allocated, locale_);
    case kColDate:
        return ListDateText(row.Date, locale_);
    case kColDateValue: {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", row.Date);
        return text;
    }
    case kColSizeValue:
        return std::to_string(row.Size);
    case kColSpaceValue:
        return std::to_string(row.Allocated);
    case kColFullName:
        return std::string(store_.Name(row));
    case kColOwner:
        return OwnerText(row);
    case kColGroup:
        return GroupText(row);
    default:
        return "";
    }
}

std::optional<int64_t> TFileListTable::RawNumber(int i, int column) const
{
    const TFileRow& row = store_.Row(i);
    if (column == kColSize || column == kColSizeValue)
        return row.Size;
    if (column == kColSpace || column == kColSpaceValue)
        return row.Allocated;
    return std::nullopt;
}

} // namespace vm
