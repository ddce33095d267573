#include "app/SplashForm.h"

#include "app/QtJpegPicture.h"
#include "platform/Version.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace vm {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("SplashForm");
    setWindowTitle("Volumark");

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel");
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(20, 40, 90));
    panel->setPalette(white);

    Picture = new QLabel(panel);
    Picture->setObjectName("Picture");
    Picture->setAlignment(Qt::AlignCenter);
    const QImage image = JpegImageFromFile(":/splash.jpg");
    if (!image.isNull())
        Picture->setPixmap(QPixmap::fromImage(image));

    VersionLabel = new QLabel(QString("Version ") + kProgramVersion, panel);
    VersionLabel->setObjectName("VersionLabel");
    VersionLabel->setAlignment(Qt::AlignRight);

    StatusLabel = new QLabel(panel);
    StatusLabel->setObjectName("StatusLabel");
    StatusLabel->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(panel);
    inner->addWidget(Picture);
    inner->addWidget(VersionLabel);
    inner->addWidget(StatusLabel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
}

void TSplashForm::SetStatus(const QString& text)
{
    StatusLabel->setText(text);
    repaint();
}

void TSplashForm::showEvent(QShowEvent* event)
{
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

} // namespace vm
