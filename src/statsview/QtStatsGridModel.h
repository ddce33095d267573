// One statistics table as a Qt model over its grid: texts as they stand, numbers right-aligned,
// sorted by the grid's own order (numbers largest first on their first click), the bar of each
// row for the delegate that draws it.
#pragma once

#include "statsview/StatsGrid.h"

#include <QAbstractTableModel>

namespace vm {

class TStatsGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The bar of a row (-1 to 1), asked of the bar column's cells.
    static constexpr int BarRole = Qt::UserRole + 1;
    // Whether the bars are of change (from the middle of the cell) or of a share (from its left).
    static constexpr int DivergingRole = Qt::UserRole + 2;

    explicit TStatsGridModel(TStatsGrid grid, QObject* parent = nullptr);
    const TStatsGrid& Grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    TStatsGrid grid_;
};

} // namespace vm
