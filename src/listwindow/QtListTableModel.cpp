#include "listwindow/QtListTableModel.h"

#include "display/DisplayHelpers.h"

#include <QApplication>
#include <QPalette>

namespace vm {

namespace {
int Alignment(const TListColumn& column)
{
    return column.RightAligned ? int(Qt::AlignRight | Qt::AlignVCenter)
                               : int(Qt::AlignLeft | Qt::AlignVCenter);
}
} // namespace

TListTableModel::TListTableModel(const TListTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table)
{
}

void TListTableModel::RowsAppended()
{
    const int count = table_.RowCount();
    if (count <= rows_)
        return;
    beginInsertRows(QModelIndex(), rows_, count - 1);
    rows_ = count;
    endInsertRows();
}

void TListTableModel::Reset()
{
    beginResetModel();
    rows_ = table_.RowCount();
    endResetModel();
}

void TListTableModel::RowChanged(int row)
{
    if (row >= 0 && row < rows_)
        emit dataChanged(index(row, 0), index(row, table_.ColumnCount() - 1));
}

void TListTableModel::ImagesChanged()
{
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, table_.ColumnCount() - 1),
                         {Qt::DecorationRole, Qt::ForegroundRole});
}

int TListTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TListTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.ColumnCount();
}

QVariant TListTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    if (role == Qt::DisplayRole) {
        const std::string text = table_.Text(index.row(), index.column());
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    if (role == Qt::TextAlignmentRole)
        return Alignment(table_.Column(index.column()));
    return RowData(index.row(), index.column(), role);
}

QVariant TListTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(table_.Column(section).Caption);
    if (role == Qt::TextAlignmentRole)
        return Alignment(table_.Column(section));
    return {};
}

QVariant TListTableModel::DimmedText()
{
    return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
}

QVariant TListTableModel::ItemTag(int64_t offset, unsigned kind)
{
    TItemTag word = 0;
    SetItemOffset(word, uint64_t(offset));
    SetItemKindKeepOffset(word, kind);
    return QVariant::fromValue<qulonglong>(word);
}

} // namespace vm
