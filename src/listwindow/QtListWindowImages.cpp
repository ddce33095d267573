#include "listwindow/QtListWindowImages.h"

#include "display/QtImageLists.h"

#include <QPainter>

#include <QPainterPath>
#include <QTimer>
#include <cmath>

namespace vm {

namespace {

const QColor kInk(60, 64, 72);

void Sheet(QPainter& p, QRectF r, const QColor& fill = QColor(250, 250, 250))
{
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(fill);
    p.drawRect(r);
}

void Lines(QPainter& p, QRectF r, int count)
{
    p.setPen(QPen(QColor(120, 130, 145), 1.6));
    for (int i = 0; i < count; ++i) {
        const double y = r.top() + 4 + i * (r.height() - 6) / count;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void Folder(QPainter& p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.4, r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.5, r.top() + 6);
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 1.4));
    p.setBrush(QColor(245, 200, 80));
    p.drawPath(path);
}

void Funnel(QPainter& p, const QColor& colour)
{
    QPolygonF f;
    f << QPointF(3, 5) << QPointF(29, 5) << QPointF(19, 17) << QPointF(19, 28) << QPointF(13, 24)
      << QPointF(13, 17);
    p.setPen(QPen(colour.darker(160), 1.4));
    p.setBrush(colour);
    p.drawPolygon(f);
}

void TagShape(QPainter& p, QPointF at, double scale)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    QPolygonF t;
    t << QPointF(2, 9) << QPointF(10, 2) << QPointF(30, 2) << QPointF(30, 30) << QPointF(10, 30)
      << QPointF(2, 23);
    p.setPen(QPen(QColor(150, 30, 30), 1.6));
    p.setBrush(QColor(220, 50, 50));
    p.drawPolygon(t);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(5, 14, 4, 4));
    p.restore();
}

void Draw(QPainter& p, int index)
{
    switch (index) {
    case toolimg::StandardView:
        Sheet(p, QRectF(4, 3, 24, 26));
        Lines(p, QRectF(4, 3, 24, 26), 5);
        break;
    case toolimg::FoldersView:
        Folder(p, QRectF(2, 8, 20, 15));
        Folder(p, QRectF(10, 13, 20, 15));
        break;
    case toolimg::AllFilesView:
        Sheet(p, QRectF(3, 2, 17, 21));
        Sheet(p, QRectF(8, 6, 17, 21));
        Sheet(p, QRectF(13, 10, 17, 21));
        Lines(p, QRectF(13, 10, 17, 21), 4);
        break;
    case toolimg::Up: {
        QPolygonF a;
        a << QPointF(16, 3) << QPointF(29, 16) << QPointF(21, 16) << QPointF(21, 29)
          << QPointF(11, 29) << QPointF(11, 16) << QPointF(3, 16);
        p.setPen(QPen(QColor(30, 110, 40), 1.4));
        p.setBrush(QColor(70, 170, 80));
        p.drawPolygon(a);
        break;
    }
    case toolimg::FileFilter:
        Sheet(p, QRectF(2, 2, 16, 20));
        Lines(p, QRectF(2, 2, 16, 20), 4);
        p.translate(8, 8);
        p.scale(0.75, 0.75);
        Funnel(p, QColor(70, 140, 220));
        break;
    case toolimg::FilterOff:
        Funnel(p, QColor(190, 195, 200));
        break;
    case toolimg::FilterOn:
        Funnel(p, QColor(60, 180, 80));
        break;
    case toolimg::TagFilter:
        TagShape(p, QPointF(0, 0), 0.6);
        p.translate(8, 8);
        p.scale(0.75, 0.75);
        Funnel(p, QColor(70, 140, 220));
        break;
    case toolimg::Tags:
        TagShape(p, QPointF(0, 6), 0.7);
        TagShape(p, QPointF(9, 2), 0.7);
        break;
    case toolimg::Delete: {
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(160, 170, 180));
        QPolygonF bin;
        bin << QPointF(8, 10) << QPointF(24, 10) << QPointF(22, 29) << QPointF(10, 29);
        p.drawPolygon(bin);
        p.drawRoundedRect(QRectF(6, 6, 20, 4), 1.5, 1.5);
        p.drawRect(QRectF(13, 3, 6, 3));
        break;
    }
    case toolimg::Email:
        Sheet(p, QRectF(3, 8, 26, 17), QColor(250, 245, 225));
        p.setPen(QPen(kInk, 1.4));
        p.drawLine(QPointF(3, 8), QPointF(16, 18));
        p.drawLine(QPointF(29, 8), QPointF(16, 18));
        break;
    case toolimg::Copy:
        Sheet(p, QRectF(4, 3, 16, 20));
        Sheet(p, QRectF(12, 9, 16, 20));
        Lines(p, QRectF(12, 9, 16, 20), 4);
        break;
    case toolimg::Print:
        Sheet(p, QRectF(9, 3, 14, 10));
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(150, 155, 165));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        Sheet(p, QRectF(9, 20, 14, 9));
        break;
    case toolimg::Stop: {
        QPolygonF o;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45 * i) * 3.14159265358979 / 180;
            o << QPointF(16 + 13 * std::cos(a), 16 + 13 * std::sin(a));
        }
        p.setPen(QPen(QColor(140, 20, 20), 1.4));
        p.setBrush(QColor(215, 40, 40));
        p.drawPolygon(o);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(10, 16), QPointF(22, 16));
        break;
    }
    case toolimg::ShowArrows: {
        QPolygonF up, down;
        up << QPointF(9, 3) << QPointF(16, 14) << QPointF(2, 14);
        down << QPointF(16, 18) << QPointF(30, 18) << QPointF(23, 29);
        p.setPen(QPen(QColor(30, 110, 40), 1.4));
        p.setBrush(QColor(70, 170, 80));
        p.drawPolygon(up);
        p.setPen(QPen(QColor(150, 30, 30), 1.4));
        p.setBrush(QColor(220, 60, 50));
        p.drawPolygon(down);
        break;
    }
    case toolimg::CompareFilter: {
        QPolygonF up;
        up << QPointF(6, 2) << QPointF(11, 10) << QPointF(1, 10);
        p.setPen(QPen(QColor(30, 110, 40), 1.2));
        p.setBrush(QColor(70, 170, 80));
        p.drawPolygon(up);
        p.translate(8, 8);
        p.scale(0.75, 0.75);
        Funnel(p, QColor(70, 140, 220));
        break;
    }
    case toolimg::ShowTags:
        TagShape(p, QPointF(2, 2), 0.9);
        break;
    default:
        break;
    }
}

} // namespace

QIcon ToolbarImage(int index)
{
    return Render([index](QPainter& p) { Draw(p, index); });
}

TBusyIndicator::TBusyIndicator(QWidget* parent, std::function<bool()> showsFiles)
    : QWidget(parent), timer_(new QTimer(this)), delay_(new QTimer(this)),
      showsFiles_(std::move(showsFiles))
{
    setObjectName("InProcessAnimate");
    setAccessibleName("Working");
    setFixedSize(72, 72);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_->setInterval(60);
    connect(timer_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + 30) % 360;
        update();
    });
    delay_->setSingleShot(true);
    delay_->setInterval(1500);
    connect(delay_, &QTimer::timeout, this, [this] { Start(showsFiles_ && showsFiles_()); });
    hide();
}

void TBusyIndicator::StartSoon()
{
    delay_->start();
}

void TBusyIndicator::CancelStart()
{
    delay_->stop();
}

void TBusyIndicator::Start(bool files)
{
    files_ = files;
    if (QWidget* p = parentWidget())
        move((p->width() - width()) / 2, (p->height() - height()) / 2);
    raise();
    show();
    timer_->start();
}

void TBusyIndicator::Stop()
{
    delay_->stop();
    timer_->stop();
    hide();
}

void TBusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
    p.save();
    p.translate(20, 20);
    Draw(p, files_ ? toolimg::AllFilesView : toolimg::FoldersView);
    p.restore();
    QPen ring(QColor(50, 120, 220), 5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawArc(rect().adjusted(6, 6, -6, -6), -angle_ * 16, 100 * 16);
}

} // namespace vm
