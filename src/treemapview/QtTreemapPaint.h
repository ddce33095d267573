// Drawing a treemap's layout with Qt: the rectangles laid out so far, files filled with the
// colour of their key, directories framed with their names where the layout left room, and the
// legend below the map. The view paints into an image it keeps; the treemap benchmark times the
// same calls.
#pragma once

#include "treemap/TreemapColours.h"
#include "treemap/TreemapWork.h"
#include "treemapview/TreemapSource.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include <vector>

namespace vm {

inline QRect QRectOf(const TCellRect& r)
{
    return QRect(r.X, r.Y, r.W, r.H);
}

inline QColor QColorOf(TRgb c)
{
    return QColor(c.R, c.G, c.B);
}

// The frames a font makes room for: a one-pixel border and a name band a line high where a
// directory is wide enough for a few letters.
TFrameMetrics TreemapFrameMetrics(const QFont& font);

// Paints the layout so far (nothing before the tree is read) over the layout's bounds.
void PaintTreemap(QPainter& painter, const TTreemapWork& work, TTreemapSource& source,
                  const QFont& font);

// The legend: a swatch and a text per item, in as many lines of width as it takes. extra:
// outline samples (the comparison's largest growth) after the colours. Returns the height
// used; LegendHeight gives it without painting.
struct TLegendOutline
{
    QColor Colour;
    QString Text;
};
int PaintLegend(QPainter* painter, const QRect& area, const std::vector<TLegendItem>& items,
                const std::vector<TLegendOutline>& outlines, const QFont& font);
inline int LegendHeight(int width, const std::vector<TLegendItem>& items,
                        const std::vector<TLegendOutline>& outlines, const QFont& font)
{
    return PaintLegend(nullptr, QRect(0, 0, width, 0), items, outlines, font);
}

} // namespace vm
