// A long list window's Qt model over its TListTable (output/ListTable.h): rows and columns, the
// texts, their alignment and the column captions come from the table when the view asks; a
// window's model adds its images, dimming and item tag words (RowData). Rows become rows of the
// model as a fill appends them to the table's store.
#pragma once

#include "output/ListTable.h"

#include <QAbstractTableModel>

namespace vm {

class TListTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ItemTagRole = Qt::UserRole; // the row's item tag word (TItemTag)

    // The table outlives the model.
    explicit TListTableModel(const TListTable& table, QObject* parent = nullptr);

    // The rows the table holds beyond those shown so far become rows of the model.
    void RowsAppended();
    // The rows were cleared, sorted or reduced: every row anew.
    void Reset();
    // One row's texts or images changed.
    void RowChanged(int row);
    // Every row's images and dimming changed.
    void ImagesChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    // The roles the table does not answer (decoration, foreground, the item tag word) of a row
    // that exists.
    virtual QVariant RowData(int row, int column, int role) const = 0;
    // The text colour of a row shown dimmed (its entry is gone from the disk).
    static QVariant DimmedText();
    // The item tag word of a row: its entry's offset in the log and its kind.
    static QVariant ItemTag(int64_t offset, unsigned kind);

private:
    const TListTable& table_;
    int rows_ = 0;
};

} // namespace vm
