// The compare window's list as a Qt model over the plain row store: texts, the arrow or tag image
// beside the row's image, and the dimming of rows whose entry was deleted from the disk are made
// when the view paints a row.
#pragma once

#include "compare/CompareList.h"
#include "display/QtIconCache.h"
#include "display/QtImageLists.h"
#include "listwindow/QtListTableModel.h"

#include <QHash>
#include <QIcon>

namespace vm {

class TCompareListModel : public TListTableModel
{
    Q_OBJECT
public:
    // All outlive the model: the table with its store, the small, state and tag images, the
    // icon cache.
    TCompareListModel(const TCompareListTable& table, const TImageList& smallImages,
                      const TImageList& stateImages, const TImageList& tagImages, TIconCache& icons,
                      QObject* parent = nullptr);

    // Arrows (the state images) or the new log's tags beside the rows; tags only while the new
    // log can be reached.
    void SetStateImages(bool tagsShown, bool tagsAvailable);
    bool TagsShown() const { return tagsShown_; }

protected:
    QVariant RowData(int row, int column, int role) const override;

private:
    // The row's own image and the image beside it, for the row shown at i.
    int RowImage(int i) const;
    QIcon RowIcon(int i) const;

    const TCompareListTable& table_;
    const TImageList& small_;
    const TImageList& states_;
    const TImageList& tags_;
    TIconCache& icons_;
    bool tagsShown_ = false, tagsAvailable_ = false;
    mutable QHash<int, QIcon> composed_; // state or tag image and row image side by side
};

} // namespace vm
