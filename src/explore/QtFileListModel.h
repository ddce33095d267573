// The explore window's file list as a Qt model over the plain row store: texts, icons, tag images
// and the dimming of deleted rows are made in data() when the view paints a row.
#pragma once

#include "app/QtIconCache.h"
#include "app/QtImageLists.h"
#include "explore/FileListTable.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

namespace vm {

class TFileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ItemTagRole = Qt::UserRole; // the row's item tag word (TItemTag)

    // All outlive the model: the table with its store, the small and tag images, the icon cache.
    TFileListModel(const TFileListTable& table, const TImageList& smallImages,
                   const TImageList& tagImages, TIconCache& icons, QObject* parent = nullptr);

    // The rows the store holds beyond those shown so far become rows of the model.
    void RowsAppended();
    // The store was cleared, sorted or reduced: every row anew.
    void Reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The image a row shows (the small image list's index).
    int RowImage(const TFileRow& row) const;

private:
    QIcon RowIcon(const TFileRow& row) const;

    const TFileListTable& table_;
    const TImageList& small_;
    const TImageList& tags_;
    TIconCache& icons_;
    int rows_ = 0;
    mutable QHash<int, QIcon> composed_; // tag image and row image side by side
};

} // namespace vm
