#include "display/QtImageLists.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace vm {

int TImageList::Add(const QIcon& icon)
{
    icons_.append(icon);
    return int(icons_.size()) - 1;
}

QIcon TImageList::Icon(int index) const
{
    if (index < 0 || index >= int(icons_.size()))
        return {};
    return icons_[index];
}

QIcon Render(const TDrawing& draw)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

namespace {

const QColor kOutline(70, 70, 80);

QPainterPath Outline(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

void Page(QPainter& p, QRectF r, const QColor& fill)
{
    const double fold = r.width() * 0.32;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(fill);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(215, 215, 222));
    p.drawPath(corner);
}

void Lines(QPainter& p, QRectF r, const QColor& colour, int count)
{
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const double y = r.top() + 10 + i * 4.5;
        const double right = r.right() - 4 - (i % 2) * 4;
        p.drawLine(QPointF(r.left() + 4, y), QPointF(right, y));
    }
}

void DrawFile(QPainter& p)
{
    Page(p, QRectF(7, 3, 18, 26), Qt::white);
}

void DrawLog(QPainter& p)
{
    const QRectF r(6, 3, 20, 26);
    Page(p, r, QColor(250, 250, 255));
    Lines(p, r, QColor(40, 100, 200), 4);
}

void DrawReference(QPainter& p)
{
    // A stack of disks: the set of paths a reference logs.
    const QColor body(60, 120, 200), top(130, 180, 240);
    p.setPen(QPen(kOutline, 1.2));
    for (int i = 2; i >= 0; --i) {
        const double y = 7 + i * 7;
        p.setBrush(body);
        p.drawRect(QRectF(5, y, 22, 7));
        p.drawEllipse(QRectF(5, y + 3.5, 22, 7));
        p.setBrush(top);
        p.drawEllipse(QRectF(5, y - 3.5, 22, 7));
    }
}

void DrawPath(QPainter& p)
{
    // A drive.
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(QColor(190, 195, 205));
    p.drawRoundedRect(QRectF(3, 10, 26, 13), 3, 3);
    p.setBrush(QColor(150, 155, 165));
    p.drawRect(QRectF(6, 18, 14, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QRectF(23, 17, 3.5, 3.5));
}

void DrawFolder(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1.4));
    p.setBrush(QColor(235, 185, 60));
    const QPainterPath back = Outline({{3, 8}, {12, 8}, {15, 11}, {29, 11}, {29, 26}, {3, 26}});
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 95));
    p.drawRect(QRectF(3, 14, 26, 12));
}

void DrawComparison(QPainter& p)
{
    Page(p, QRectF(3, 2, 16, 21), QColor(250, 250, 255));
    Page(p, QRectF(13, 9, 16, 21), QColor(250, 250, 255));
    p.setPen(QPen(QColor(200, 60, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 27), QPointF(12, 27));
    p.drawLine(QPointF(6, 27), QPointF(8.5, 24.5));
    p.drawLine(QPointF(20, 5), QPointF(26, 5));
    p.drawLine(QPointF(26, 5), QPointF(23.5, 2.5));
}

void Triangle(QPainter& p, bool up, const QColor& colour)
{
    QPolygonF t;
    if (up)
        t << QPointF(16, 5) << QPointF(28, 25) << QPointF(4, 25);
    else
        t << QPointF(4, 7) << QPointF(28, 7) << QPointF(16, 27);
    p.setPen(QPen(colour.darker(140), 1.4));
    p.setBrush(colour);
    p.drawPolygon(t);
}

void Cross(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour, 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void DrawUnchanged(QPainter& p)
{
    p.setPen(QPen(QColor(110, 110, 120), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 12), QPointF(25, 12));
    p.drawLine(QPointF(7, 21), QPointF(25, 21));
}

void DrawAdded(QPainter& p)
{
    p.setPen(QPen(QColor(40, 110, 220), 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 6), QPointF(16, 26));
    p.drawLine(QPointF(6, 16), QPointF(26, 16));
}

// A label tag with its number: the user tags are told apart by colour and number.
void Tag(QPainter& p, QPointF at, double scale, const QColor& colour, const QString& text)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    const QPainterPath tag = Outline({{2, 9}, {10, 2}, {30, 2}, {30, 30}, {10, 30}, {2, 23}});
    p.setPen(QPen(colour.darker(160), 1.6));
    p.setBrush(colour);
    p.drawPath(tag);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(5, 14, 4, 4));
    QFont font;
    font.setPixelSize(text.size() > 1 ? 16 : 20);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour.lightness() > 150 ? QColor(30, 30, 30) : Qt::white);
    p.drawText(QRectF(10, 2, 20, 28), Qt::AlignCenter, text);
    p.restore();
}

const std::array<QColor, 11> kTagColours = {
    QColor(220, 50, 50),  QColor(240, 140, 30),  QColor(235, 210, 40), QColor(80, 180, 60),
    QColor(30, 160, 150), QColor(50, 120, 220),  QColor(110, 70, 200), QColor(200, 60, 170),
    QColor(140, 90, 50),  QColor(110, 120, 130), QColor(20, 40, 110)};

void DrawRubbishBin(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(QColor(160, 170, 180));
    QPolygonF bin;
    bin << QPointF(8, 10) << QPointF(24, 10) << QPointF(22, 29) << QPointF(10, 29);
    p.drawPolygon(bin);
    p.drawRoundedRect(QRectF(6, 6, 20, 4), 1.5, 1.5);
    p.drawRect(QRectF(13, 3, 6, 3));
    p.setPen(QPen(QColor(90, 95, 105), 1.6));
    for (double x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 13), QPointF(x, 26));
}

void DrawManyTags(QPainter& p)
{
    Tag(p, QPointF(8, 0), 0.75, kTagColours[5], QString());
    Tag(p, QPointF(0, 8), 0.75, kTagColours[0], QStringLiteral("+"));
}

void DrawDeletedMark(QPainter& p)
{
    Page(p, QRectF(7, 3, 18, 26), QColor(235, 235, 235));
    Cross(p, QColor(210, 30, 30));
}

void DrawApplication(QPainter& p)
{
    // A disk whose used space is one slice: the space the program measures.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 120));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setBrush(QColor(120, 180, 245));
    p.drawEllipse(QRectF(5, 5, 22, 22));
    p.setBrush(QColor(245, 150, 40));
    p.drawPie(QRectF(5, 5, 22, 22), 90 * 16, -110 * 16);
    p.setBrush(QColor(30, 60, 120));
    p.drawEllipse(QRectF(13.5, 13.5, 5, 5));
}

} // namespace

QIcon ApplicationIcon()
{
    return Render(DrawApplication);
}

TImageLists MakeImageLists()
{
    TImageLists lists;
    const std::array<TDrawing, 5> shared = {DrawReference, DrawLog, DrawPath, DrawFolder,
                                            DrawComparison};
    for (const TDrawing& draw : shared) {
        const QIcon icon = Render(draw);
        lists.TreeViewImageList.Add(icon);
        lists.SmallImageList.Add(icon);
    }
    lists.SmallImageList.Add(Render(DrawFile));

    lists.StateImageList.Add(QIcon());
    lists.StateImageList.Add(Render(DrawUnchanged));
    lists.StateImageList.Add(Render([](QPainter& p) { Triangle(p, false, QColor(60, 170, 70)); }));
    lists.StateImageList.Add(Render([](QPainter& p) { Triangle(p, true, QColor(220, 60, 50)); }));
    lists.StateImageList.Add(Render([](QPainter& p) { Cross(p, QColor(210, 30, 30)); }));
    lists.StateImageList.Add(Render(DrawAdded));

    for (int i = 0; i < int(kTagColours.size()); ++i)
        lists.TagImageList.Add(Render([i](QPainter& p) {
            Tag(p, QPointF(0, 0), 1.0, kTagColours[size_t(i)], QString::number(i + 1));
        }));
    lists.TagImageList.Add(Render(DrawRubbishBin));
    lists.TagImageList.Add(Render(DrawManyTags));
    lists.TagImageList.Add(Render(DrawDeletedMark));
    return lists;
}

} // namespace vm
