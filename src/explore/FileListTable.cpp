#include "explore/FileListTable.h"

#include "app/SizeText.h"

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
    default:
        return {"", 0, false};
    }
}

std::string_view TFileListTable::Caption(const TFileRow& row) const
{
    std::string_view name = store_.Name(row);
    if (row.Kind == kRowFile && !options_.ShowExtensions)
        return StemOf(name);
    return name;
}

std::string TFileListTable::DirectoryText(const TFileRow& row) const
{
    if (row.Kind == kRowPath || row.DirOffset == row.Offset) {
        std::string path(store_.Name(row));
        if (path.empty() || path.back() != '/')
            path += '/';
        return path;
    }
    const int node = tree_.FindOffset(row.DirOffset);
    return node < 0 ? std::string() : tree_.PathOf(node);
}

std::string TFileListTable::TypeExtension(const TFileRow& row) const
{
    std::string_view extension = ExtensionOf(store_.Name(row));
    return extension.empty() ? std::string(".") : std::string(extension);
}

std::string TFileListTable::TypeText(const TFileRow& row) const
{
    if (row.Kind == kRowPath)
        return "Path";
    if (row.Kind == kRowFolder)
        return "File folder";
    return types_ ? types_(TypeExtension(row)) : std::string();
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
        return locale_.DateTimeText(row.Date);
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
