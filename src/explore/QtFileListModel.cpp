#include "explore/QtFileListModel.h"

#include "display/DisplayHelpers.h"
#include "listwindow/QtListWindowParts.h"

namespace vm {

TFileListModel::TFileListModel(const TFileListTable& table, const TImageList& smallImages,
                               const TImageList& tagImages, TIconCache& icons, QObject* parent)
    : TListTableModel(table, parent), table_(table), small_(smallImages), tags_(tagImages),
      icons_(icons)
{
}

int TFileListModel::RowImage(const TFileEntry& row) const
{
    if (row.Image != kImageTypeIcon)
        return row.Image;
    const std::string_view name = row.Name;
    return icons_.ImageForFile(std::string(ExtensionOf(name)),
                               table_.DirectoryText(row) + std::string(name));
}

QIcon TFileListModel::RowIcon(const TFileEntry& row) const
{
    // The tag image stands left of the row's own image, as a list with state images shows it.
    const int tag = TagImageIndex(int32_t(row.Tags));
    const int image = RowImage(row);
    const int key = (tag + 1) << 20 | image;
    auto it = composed_.find(key);
    if (it != composed_.end())
        return *it;
    return *composed_.insert(
        key, SideBySideIcon(tag >= 0 ? tags_.Icon(tag) : QIcon(), small_.Icon(image)));
}

QVariant TFileListModel::RowData(int i, int column, int role) const
{
    if (role != Qt::DecorationRole && role != Qt::ForegroundRole && role != ItemTagRole)
        return {};
    const TFileEntry row = table_.Entry(i);
    switch (role) {
    case Qt::DecorationRole:
        return column == kColName ? QVariant(RowIcon(row)) : QVariant();
    case Qt::ForegroundRole:
        // Entries deleted from the disk after logging are shown dimmed.
        if (TagImageIndex(int32_t(row.Tags)) == kDeletedImage)
            return DimmedText();
        return {};
    case ItemTagRole:
        return ItemTag(row.Offset, row.Kind);
    default:
        return {};
    }
}

} // namespace vm
