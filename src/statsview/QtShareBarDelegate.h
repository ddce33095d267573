// Draws a row's bar in the cell of its share (or change), left of the figure: its length the
// share, or the change against the table's largest from the middle of the bar's room, blue for
// a share or a loss and red for growth.
#pragma once

#include <QStyledItemDelegate>

namespace vm {

class TShareBarDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace vm
