#include "compare/CompareList.h"

#include "display/DisplayHelpers.h"
#include "output/SizeText.h"

#include <cstdio>

namespace vm {

TCompareListTable::TCompareListTable(const TCompareRowStore& store, const TDirTree& tree,
                                     const TLocale& locale, TFileTypeLookup types)
    : store_(store), tree_(tree), locale_(locale), types_(std::move(types))
{
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

std::string_view TCompareListTable::Caption(const TCompareRow& row) const
{
    return RowCaption(store_.Name(row), row.Kind, options_.ShowExtensions);
}

std::string TCompareListTable::DirectoryText(const TCompareRow& row) const
{
    return RowDirectoryText(tree_, store_.Name(row), row.Kind, row.Offset, row.DirOffset);
}

std::string TCompareListTable::TypeText(const TCompareRow& row) const
{
    return RowTypeText(row.Kind, store_.Name(row), types_);
}

std::string TCompareListTable::TypeExtension(const TCompareRow& row) const
{
    return RowTypeExtension(store_.Name(row));
}

std::string TCompareListTable::ConditionText(const TCompareRow& row) const
{
    return vm::ConditionText(row.Kind, row.Change());
}

std::string TCompareListTable::Text(int i, int column) const
{
    const TCompareRow& row = store_.Row(i);
    switch (column) {
    case kCmpName:
        return std::string(Caption(row));
    case kCmpPath:
        return DirectoryText(row);
    case kCmpType:
        return TypeText(row);
    case kCmpWas:
        return SizeText(row.AllocWas, locale_);
    case kCmpNow:
        return SizeText(row.AllocNow, locale_);
    case kCmpChanged:
        return ChangedByText(row.AllocWas, row.AllocNow, row.Change(), locale_);
    case kCmpCondition:
        return ConditionText(row);
    case kCmpDate:
        return ListDateText(row.Date, locale_);
    case kCmpDateValue: {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", row.Date);
        return text;
    }
    case kCmpWasValue:
        return std::to_string(row.AllocWas);
    case kCmpNowValue:
        return std::to_string(row.AllocNow);
    default:
        return "";
    }
}

std::optional<int64_t> TCompareListTable::RawNumber(int i, int column) const
{
    const TCompareRow& row = store_.Row(i);
    switch (column) {
    case kCmpWas:
    case kCmpWasValue:
        return row.AllocWas;
    case kCmpNow:
    case kCmpNowValue:
        return row.AllocNow;
    case kCmpChanged:
        return row.AllocNow - row.AllocWas;
    default:
        return std::nullopt;
    }
}

} // namespace vm
