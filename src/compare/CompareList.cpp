#include "compare/CompareList.h"

#include "display/DisplayHelpers.h"
#include "output/SizeText.h"

#include <cstdio>

namespace vm {

TCompareRow CompareRowOf(int64_t offset, const TCompareRecord& record)
{
    TCompareRow row;
    row.Offset = offset;
    row.Change = ChangeOf(record.AllocWas, record.AllocNow, record.Condition);
    row.TopLevelPath = record.Level == 0;
    row.InNewLog = record.NewLogOffset >= 0;
    return row;
}

TCompareListTable::TCompareListTable(const TCompareRowStore& store, const TDirTree& tree,
                                     const TLocale& locale, TFileTypeLookup types)
    : store_(store), tree_(tree), locale_(locale), types_(std::move(types))
{
}

void TCompareListTable::SetComparison(TDirCompare* file)
{
    file_ = file;
    cache_.Forget();
}

const TCompareEntry& TCompareListTable::Record(int64_t offset) const
{
    bool hit = false;
    TCompareEntry& e = cache_.Slot(offset, hit);
    if (hit)
        return e;
    e = {};
    if (!file_ || offset < 0 || !file_->ReadRecord(offset, record_, name_))
        return e; // shown blank; read again only once another record took its place
    const TCompareRecord& r = record_;
    e.Read = true;
    e.Name = name_;
    e.DirOffset = r.Level == 0 ? offset : r.ParentOffset;
    e.NewLogOffset = r.NewLogOffset;
    e.AllocWas = r.AllocWas;
    e.AllocNow = r.AllocNow;
    e.Created = r.Created;
    e.Modified = r.Modified;
    e.Accessed = r.Accessed;
    e.Condition = r.Condition;
    return e;
}

TCompareEntry TCompareListTable::Entry(const TCompareRow& row) const
{
    TCompareEntry entry = Record(row.Offset);
    if (const int64_t* space = store_.SpaceNow(row.Offset))
        entry.AllocNow = *space;
    return entry;
}

TListColumn TCompareListTable::Column(int column) const
{
    switch (column) {
    case kCmpName:
        return {"File name", 160, false};
    case kCmpPath:
        return {"Full path", options_.PathShown ? 220 : 0, false};
    case kCmpType:
        return {"File type", 100, false};
    case kCmpWas:
        return {"Space was", 80, true};
    case kCmpNow:
        return {"Space now", 80, true};
    case kCmpChanged:
        return {"Changed by", 80, true};
    case kCmpCondition:
        return {"Condition", 120, false};
    case kCmpDate:
        return {DateColumnCaption(options_.DateType), 120, false};
    default:
        return {"", 0, false};
    }
}

std::string TCompareListTable::Caption(const TCompareRow& row, const TCompareEntry& entry) const
{
    return std::string(RowCaption(entry.Name, uint8_t(row.Kind), options_.ShowExtensions));
}

std::string TCompareListTable::DirectoryText(const TCompareRow& row,
                                             const TCompareEntry& entry) const
{
    if (!entry.Read)
        return {};
    return RowDirectoryText(tree_, entry.Name, uint8_t(row.Kind), row.Offset, entry.DirOffset);
}

std::string TCompareListTable::TypeText(const TCompareRow& row) const
{
    const TCompareEntry& entry = Record(row.Offset);
    return entry.Read ? RowTypeText(uint8_t(row.Kind), entry.Name, types_) : std::string();
}

std::string TCompareListTable::TypeExtension(const TCompareRow& row) const
{
    return RowTypeExtension(Record(row.Offset).Name);
}

std::string TCompareListTable::ConditionText(const TCompareRow& row) const
{
    return vm::ConditionText(uint8_t(row.Kind), row.Change);
}

std::string TCompareListTable::Text(int i, int column) const
{
    const TCompareRow& row = store_.Row(i);
    const TCompareEntry entry = Entry(i);
    if (!entry.Read)
        return "";
    switch (column) {
    case kCmpName:
        return Caption(row, entry);
    case kCmpPath:
        return DirectoryText(row, entry);
    case kCmpType:
        return RowTypeText(uint8_t(row.Kind), entry.Name, types_);
    case kCmpWas:
        return SizeText(entry.AllocWas, locale_);
    case kCmpNow:
        return SizeText(entry.AllocNow, locale_);
    case kCmpChanged:
        return ChangedByText(entry.AllocWas, entry.AllocNow, row.Change, locale_);
    case kCmpCondition:
        return vm::ConditionText(uint8_t(row.Kind), row.Change);
    case kCmpDate:
        return ListDateText(entry.Date(options_.DateType), locale_);
    case kCmpDateValue: {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", entry.Date(options_.DateType));
        return text;
    }
    case kCmpWasValue:
        return std::to_string(entry.AllocWas);
    case kCmpNowValue:
        return std::to_string(entry.AllocNow);
    default:
        return "";
    }
}

std::optional<int64_t> TCompareListTable::RawNumber(int i, int column) const
{
    const TCompareEntry entry = Entry(i);
    if (!entry.Read)
        return std::nullopt;
    switch (column) {
    case kCmpWas:
    case kCmpWasValue:
        return entry.AllocWas;
    case kCmpNow:
    case kCmpNowValue:
        return entry.AllocNow;
    case kCmpChanged:
        return entry.AllocNow - entry.AllocWas;
    default:
        return std::nullopt;
    }
}

} // namespace vm
