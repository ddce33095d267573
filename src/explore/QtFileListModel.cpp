#include "explore/QtFileListModel.h"

#include "app/DisplayHelpers.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace vm {

namespace {
constexpr int kIconSide = 16;
}

TFileListModel::TFileListModel(const TFileListTable& table, const TImageList& smallImages,
                               const TImageList& tagImages, TIconCache& icons, QObject* parent)
    : QAbstractTableModel(parent), table_(table), small_(smallImages), tags_(tagImages),
      icons_(icons)
{
}

void TFileListModel::RowsAppended()
{
    const int count = table_.RowCount();
    if (count <= rows_)
        return;
    beginInsertRows(QModelIndex(), rows_, count - 1);
    rows_ = count;
    endInsertRows();
}

void TFileListModel::Reset()
{
    beginResetModel();
    rows_ = table_.RowCount();
    endResetModel();
}

int TFileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TFileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFileColumnCount;
}

int TFileListModel::RowImage(const TFileRow& row) const
{
    if (row.Image != kImageTypeIcon)
        return row.Image;
    const std::string_view name = table_.Store().Name(row);
    return icons_.ImageForFile(std::string(ExtensionOf(name)),
                               table_.DirectoryText(row) + std::string(name));
}

QIcon TFileListModel::RowIcon(const TFileRow& row) const
{
    // The tag image stands left of the row's own image, as a list with state images shows it.
    const int tag = TagImageIndex(int32_t(row.Tags));
    const int image = RowImage(row);
    const int key = (tag + 1) << 20 | image;
    auto it = composed_.find(key);
    if (it != composed_.end())
        return *it;
    QPixmap pixmap(2 * kIconSide + 2, kIconSide);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        if (tag >= 0)
            tags_.Icon(tag).paint(&p, QRect(0, 0, kIconSide, kIconSide));
        small_.Icon(image).paint(&p, QRect(kIconSide + 2, 0, kIconSide, kIconSide));
    }
    return *composed_.insert(key, QIcon(pixmap));
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    const TFileRow& row = table_.Store().Row(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        const std::string text = table_.Text(index.row(), column);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    case Qt::DecorationRole:
        return column == kColName ? QVariant(RowIcon(row)) : QVariant();
    case Qt::TextAlignmentRole:
        return table_.Column(column).RightAligned ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                  : int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // Entries deleted from the disk after logging are shown dimmed.
        if (TagImageIndex(int32_t(row.Tags)) == kDeletedImage)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case ItemTagRole: {
        TItemTag word = 0;
        SetItemOffset(word, uint64_t(row.Offset));
        SetItemKindKeepOffset(word, row.Kind);
        return QVariant::fromValue<qulonglong>(word);
    }
    default:
        return {};
    }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(table_.Column(section).Caption);
    if (role == Qt::TextAlignmentRole)
        return table_.Column(section).RightAligned ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

} // namespace vm
