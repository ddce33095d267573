#include "statsview/QtStatsGridModel.h"

#include "platform/QtText.h"

namespace vm {

TStatsGridModel::TStatsGridModel(TStatsGrid grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(std::move(grid))
{
}

int TStatsGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(grid_.Rows.size());
}

int TStatsGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(grid_.Columns.size());
}

QVariant TStatsGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const TGridRow& row = grid_.Rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return Q(row.Cells[index.column()].Text);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::AlignVCenter |
            (grid_.Columns[index.column()].Numeric ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::AccessibleDescriptionRole:
        return Q(GridRowDescription(grid_, index.row()));
    case BarRole:
        return index.column() == grid_.BarColumn ? QVariant(row.Bar) : QVariant();
    case DivergingRole:
        return grid_.Diverging;
    default:
        return {};
    }
}

QVariant TStatsGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return Q(grid_.Columns[section].Caption);
    if (role == Qt::InitialSortOrderRole)
        return grid_.Columns[section].Numeric ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (grid_.Columns[section].Numeric
                                                           ? Qt::AlignRight
                                                           : Qt::AlignLeft));
    return {};
}

void TStatsGridModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    emit layoutAboutToBeChanged();
    SortGrid(grid_, column, order == Qt::DescendingOrder);
    emit layoutChanged();
}

} // namespace vm
