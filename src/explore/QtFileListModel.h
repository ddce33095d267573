// The explore window's file list as a Qt model over the plain row store: texts, icons, tag images
// and the dimming of deleted rows are made in data() when the view paints a row.
#pragma once

#include "display/QtIconCache.h"
#include "display/QtImageLists.h"
#include "explore/FileListTable.h"
#include "listwindow/QtListTableModel.h"

#include <QHash>
#include <QIcon>

namespace vm {

class TFileListModel : public TListTableModel
{
    Q_OBJECT
public:
    // All outlive the model: the table with its store, the small and tag images, the icon cache.
    TFileListModel(const TFileListTable& table, const TImageList& smallImages,
                   const TImageList& tagImages, TIconCache& icons, QObject* parent = nullptr);

    // The image a row shows (the small image list's index).
    int RowImage(const TFileEntry& row) const;

protected:
    QVariant RowData(int row, int column, int role) const override;

private:
    QIcon RowIcon(const TFileEntry& row) const;

    const TFileListTable& table_;
    const TImageList& small_;
    const TImageList& tags_;
    TIconCache& icons_;
    mutable QHash<int, QIcon> composed_; // tag image and row image side by side
};

} // namespace vm
