#include "statsview/QtShareBarDelegate.h"

#include "statsview/QtStatsGridModel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vm {

void TShareBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant bar = index.data(TStatsGridModel::BarRole);
    if (!bar.isValid())
        return;
    const double value = std::clamp(bar.toDouble(), -1.0, 1.0);
    const QRect cell = option.rect.adjusted(2, 3, -2, -3);
    const int length = static_cast<int>(std::lround(std::abs(value) * cell.width()));
    if (length <= 0)
        return;
    // Translucent, so that the figure stays readable over it, selected or not.
    const QColor colour = value < 0 ? QColor(0x21, 0x66, 0xAC, 90)
                          : index.model()->headerData(index.column(), Qt::Horizontal).toString() ==
                                  QStringLiteral("Share")
                              ? QColor(0x00, 0x72, 0xB2, 70)
                              : QColor(0xB2, 0x18, 0x2B, 90);
    painter->fillRect(QRect(cell.left(), cell.top(), length, cell.height()), colour);
}

} // namespace vm
