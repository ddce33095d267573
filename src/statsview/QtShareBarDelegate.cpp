#include "statsview/QtShareBarDelegate.h"

#include "statsview/QtStatsGridModel.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vm {

void TShareBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const QVariant bar = index.data(TStatsGridModel::BarRole);
    if (!bar.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background and selection, then the bar, then the figure over it.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const double value = std::clamp(bar.toDouble(), -1.0, 1.0);
    const bool diverging = index.data(TStatsGridModel::DivergingRole).toBool();
    // The figure keeps the right of the cell; the bar takes the rest, at one scale for every row.
    const int figure = option.fontMetrics.horizontalAdvance(QStringLiteral("+0,000.00 MB")) + 10;
    const QRect area = option.rect.adjusted(3, 3, -figure, -3);
    if (area.width() < 8) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    if (diverging) {
        const int middle = area.left() + area.width() / 2;
        const int length = static_cast<int>(std::lround(std::abs(value) * (area.width() / 2)));
        painter->fillRect(middle, area.top(), 1, area.height(), QColor(0x90, 0x90, 0x90));
        if (length > 0)
            painter->fillRect(value < 0 ? QRect(middle - length, area.top(), length, area.height())
                                        : QRect(middle + 1, area.top(), length, area.height()),
                              value < 0 ? QColor(0x43, 0x93, 0xC3, 150)
                                        : QColor(0xD6, 0x60, 0x4D, 150));
    } else {
        const int length = static_cast<int>(std::lround(value * area.width()));
        if (length > 0)
            painter->fillRect(QRect(area.left(), area.top(), length, area.height()),
                              QColor(0x56, 0xB4, 0xE9, 140));
    }
    painter->setPen(cell.palette.color(cell.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                          : QPalette::Text));
    painter->drawText(option.rect.adjusted(4, 0, -4, 0), cell.displayAlignment, text);
}

} // namespace vm
