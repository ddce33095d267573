#include "explore/FileListTable.h"

#include "display/DisplayHelpers.h"
#include "output/SizeText.h"
#include "platform/FileOwner.h"

#include <cstdio>

namespace vm {

TFileListTable::TFileListTable(const TFileListStore& store, const TDirTree& tree,
                               const TLocale& locale, TFileTypeLookup types)
    : store_(store), tree_(tree), locale_(locale), types_(std::move(types)),
      owners_(vm::AccountName), groups_(vm::GroupName)
{
}

void TFileListTable::SetLog(TDirStorage* log)
{
    log_ = log;
    Forget();
}

void TFileListTable::Forget() const
{
    cache_.Forget();
}

TFileEntry TFileListTable::Entry(int position) const
{
    return Entry(store_.Row(position));
}

TFileEntry TFileListTable::Entry(const TFileRow& row) const
{
    TFileEntry e;
    e.Offset = row.Offset;
    e.Kind = static_cast<uint8_t>(row.Kind);
    e.Image = static_cast<uint8_t>(row.Image);
    bool hit = false;
    TCached& slot = cache_.Slot(e.Offset, hit);
    if (!hit) {
        slot.Read = false;
        try {
            slot.Read = log_ && log_->ReadNode(e.Offset, slot.Node, slot.Name);
        } catch (const std::exception&) {
            // A log that cannot be read any more shows blank rows; the next operation that
            // opens it says why.
        }
    }
    if (!slot.Read)
        return e;
    const TDirNode& node = slot.Node;
    e.Read = true;
    e.Name = slot.Name;
    e.DirOffset = node.Level == 0 ? e.Offset : node.ParentOffset;
    e.Size = node.Size;
    e.Allocated = node.Allocated;
    e.Date = ShownDate(node);
    e.Tags = node.Tags;
    e.Owner = node.Owner;
    e.Group = node.Group;
    ApplyShown(e.Offset, e.Size, e.Allocated, e.Tags);
    return e;
}

void TFileListTable::ApplyShown(int64_t offset, int64_t& size, int64_t& allocated,
                                uint32_t& tags) const
{
    if (const TShownSpace* space = store_.ShownSpace(offset)) {
        if (space->Size >= 0)
            size = space->Size;
        allocated = space->Allocated;
    }
    if (const uint32_t* shown = store_.ShownTags(offset))
        tags = *shown;
}

const TDirNode* TFileListTable::ShownNode(const TFileRow& row, std::string& name, bool dated) const
{
    const int64_t offset = row.Offset;
    try {
        if (!log_ || !(dated ? log_->ReadNode(offset, bulk_, name)
                             : log_->ReadNodeUndated(offset, bulk_, name)))
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    ApplyShown(offset, bulk_.Size, bulk_.Allocated, bulk_.Tags);
    return &bulk_;
}

TSizeTotals TFileListTable::ShownTotals() const
{
    TSizeTotals totals;
    std::string name;
    store_.ForEachInStoredOrder([&](int, const TFileRow& row) {
        if (const TDirNode* node = ShownNode(row, name)) {
            totals.Size += node->Size;
            totals.Allocated += node->Allocated;
        }
    });
    return totals;
}

TDateTime TFileListTable::ShownDate(const TDirNode& node) const
{
    return options_.DateType == TDateType::Created    ? node.Created
           : options_.DateType == TDateType::Accessed ? node.Accessed
                                                      : node.Modified;
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

std::string_view TFileListTable::Caption(const TFileEntry& row) const
{
    return RowCaption(row.Name, row.Kind, options_.ShowExtensions);
}

std::string TFileListTable::DirectoryText(const TFileEntry& row) const
{
    return RowDirectoryText(tree_, row.Name, row.Kind, row.Offset, row.DirOffset);
}

std::string TFileListTable::TypeExtension(const TFileEntry& row) const
{
    return RowTypeExtension(row.Name);
}

std::string TFileListTable::TypeText(const TFileEntry& row) const
{
    return RowTypeText(row.Kind, row.Name, types_);
}

const std::string& TFileListTable::OwnerText(const TFileEntry& row) const
{
    static const std::string none;
    return options_.OwnersRecorded ? OwnerName(row.Owner) : none;
}

const std::string& TFileListTable::GroupText(const TFileEntry& row) const
{
    static const std::string none;
    return options_.OwnersRecorded ? GroupName(row.Group) : none;
}

const std::string& TFileListTable::OwnerName(uint32_t id) const
{
    return owners_.NameAt(owners_.IndexOf(id));
}

const std::string& TFileListTable::GroupName(uint32_t id) const
{
    return groups_.NameAt(groups_.IndexOf(id));
}

std::string TFileListTable::Text(int i, int column) const
{
    const TFileEntry row = Entry(i);
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
        return row.Name;
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
    const TFileEntry row = Entry(i);
    if (column == kColSize || column == kColSizeValue)
        return row.Size;
    if (column == kColSpace || column == kColSpaceValue)
        return row.Allocated;
    return std::nullopt;
}

} // namespace vm
