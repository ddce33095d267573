#include "treemapview/QtTreemapPaint.h"

#include "platform/QtText.h"

#include <QFontMetrics>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>

namespace vm {

namespace {

const QColor kBackground(0xE0, 0xE0, 0xE0);
// Frames a mid grey, so that the mesh of many small directories stays quiet beside the colours
// and the names in white stay readable on it.
const QColor kFrame(0x6E, 0x6E, 0x6E);
const QColor kLabelText(0xFF, 0xFF, 0xFF);
// What a log's directory shows where its entries leave room (its own units, entries under a
// pixel).
const QColor kDirectoryContent(0x9A, 0x9A, 0x9A);

} // namespace

TFrameMetrics TreemapFrameMetrics(const QFont& font)
{
    const QFontMetrics fm(font);
    return TFrameMetrics{1, fm.height() + 2, fm.horizontalAdvance(QStringLiteral("MMMM"))};
}

namespace {

// Where the rectangles go: straight into the pixels of a 32-bit image at one pixel a unit
// (a million entries leave a few hundred thousand rectangles, most a pixel or two, and a
// painter's call for each costs more than the pixels), or through a painter for anything else.
class TRectFiller
{
public:
    TRectFiller(QPainter& painter) : painter_(painter)
    {
        auto* image = dynamic_cast<QImage*>(painter.device());
        if (image && image->devicePixelRatio() == 1.0 && painter.transform().isIdentity() &&
            (image->format() == QImage::Format_RGB32 ||
             image->format() == QImage::Format_ARGB32_Premultiplied ||
             image->format() == QImage::Format_ARGB32)) {
            bits_ = image->bits();
            stride_ = image->bytesPerLine();
            width_ = image->width();
            height_ = image->height();
        }
    }
    void Fill(int x, int y, int w, int h, const QColor& colour)
    {
        if (!bits_) {
            painter_.fillRect(x, y, w, h, colour);
            return;
        }
        const int left = std::max(x, 0), right = std::min(x + w, width_);
        const int top = std::max(y, 0), bottom = std::min(y + h, height_);
        if (left >= right || top >= bottom)
            return;
        const uint32_t pixel = colour.rgb(); // 0xffRRGGBB, as the image keeps it
        for (int row = top; row < bottom; ++row) {
            auto* line = reinterpret_cast<uint32_t*>(bits_ + row * stride_);
            std::fill(line + left, line + right, pixel);
        }
    }

private:
    QPainter& painter_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0, height_ = 0;
};

} // namespace

void PaintTreemap(QPainter& painter, const TTreemapWork& work, TTreemapSource& source,
                  const QFont& font)
{
    const TTreemapLayout* layout = work.Layout();
    if (!layout)
        return;
    const TSizeTree& tree = work.Tree();
    const TFrameMetrics& metrics = layout->Metrics();
    const TNodeIndex root = layout->Root();
    const TNodeIndex none = tree.Count();
    if (root >= none)
        return;
    // Fills and their darker edges per colour key, worked out once.
    std::array<QColor, 128> fill, edge;
    for (size_t k = 0; k < fill.size(); ++k) {
        fill[k] = QColorOf(source.Colour(static_cast<uint8_t>(k)));
        edge[k] = fill[k].darker(135);
    }
    TRectFiller out(painter);
    const TCellRect& bounds = layout->Rect(root);
    out.Fill(bounds.X, bounds.Y, bounds.W, bounds.H,
             source.Comparison() ? fill[tree.Key(root) & kKeyValueMask] : kDirectoryContent);
    // The rectangles first, a directory before what it holds; then the names, which lie in the
    // directories' bands where no entry is drawn.
    size_t labels = 0;
    for (TNodeIndex n = layout->NextShown(root); n < none; n = layout->NextShown(n)) {
        const TCellRect& r = layout->Rect(n);
        const uint8_t key = tree.Key(n) & kKeyValueMask;
        if (!tree.IsDirectory(n)) {
            out.Fill(r.X, r.Y, r.W, r.H, fill[key]);
            // A darker right and bottom edge keeps neighbours of one colour apart.
            if (r.W >= 3 && r.H >= 3) {
                out.Fill(r.X + r.W - 1, r.Y, 1, r.H, edge[key]);
                out.Fill(r.X, r.Y + r.H - 1, r.W - 1, 1, edge[key]);
            }
            continue;
        }
        const TDirectoryFrame frame = FrameOf(r, metrics);
        out.Fill(r.X, r.Y, r.W, r.H, kFrame);
        const TCellRect& c = frame.Content;
        out.Fill(c.X, c.Y, c.W, c.H, source.Comparison() ? fill[key] : kDirectoryContent);
        if (!frame.Label.Empty())
            ++labels;
    }
    if (labels == 0)
        return;
    painter.setFont(font);
    painter.setPen(kLabelText);
    const QFontMetrics fm(font);
    for (TNodeIndex n = layout->NextShown(root); n < none; n = layout->NextShown(n)) {
        if (!tree.IsDirectory(n))
            continue;
        const TDirectoryFrame frame = FrameOf(layout->Rect(n), metrics);
        if (frame.Label.Empty())
            continue;
        const QRect band = QRectOf(frame.Label).adjusted(2, 0, -2, 0);
        const QString name =
            fm.elidedText(Q(source.NameOf(tree.Offset(n))), Qt::ElideRight, band.width());
        if (!name.isEmpty())
            painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    }
}

int PaintLegend(QPainter* painter, const QRect& area, const std::vector<TLegendItem>& items,
                const std::vector<TLegendOutline>& outlines, const QFont& font)
{
    const QFontMetrics fm(font);
    const int line = fm.height() + 4;
    const int swatch = fm.height() - 4;
    const int gap = fm.horizontalAdvance(QStringLiteral("  "));
    int x = area.left() + 4, y = area.top() + 2;
    auto place = [&](const QString& text) {
        const int width = swatch + 4 + fm.horizontalAdvance(text);
        if (x > area.left() + 4 && x + width > area.right() - 4) {
            x = area.left() + 4;
            y += line;
        }
        const QRect box(x, y + (line - swatch) / 2, swatch, swatch);
        x += width + gap;
        return box;
    };
    if (painter)
        painter->setFont(font);
    for (const TLegendItem& item : items) {
        const QString text = Q(item.Text);
        const QRect box = place(text);
        if (!painter)
            continue;
        painter->fillRect(box, QColorOf(item.Colour));
        painter->setPen(QColor(0x60, 0x60, 0x60));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->setPen(QColor(Qt::black));
        painter->drawText(QRect(box.right() + 4, y, fm.horizontalAdvance(text) + 2, line),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    for (const TLegendOutline& item : outlines) {
        const QRect box = place(item.Text);
        if (!painter)
            continue;
        painter->fillRect(box, Qt::white);
        painter->setPen(QPen(item.Colour, 3));
        painter->drawRect(box.adjusted(1, 1, -2, -2));
        painter->setPen(QColor(Qt::black));
        painter->drawText(QRect(box.right() + 4, y, fm.horizontalAdvance(item.Text) + 2, line),
                          Qt::AlignLeft | Qt::AlignVCenter, item.Text);
    }
    return y + line - area.top() + 2;
}

} // namespace vm
