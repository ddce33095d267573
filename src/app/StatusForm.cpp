#include "app/StatusForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vm {

namespace {

constexpr int kTextWidth = 380;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TStatusForm::TStatusForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("StatusForm");
    setWindowTitle("Processing ... please wait");
    SetWindowButtons(false);

    Heading = new QLabel("Logging file system :", this);
    Heading->setObjectName("Heading");
    Heading->setAlignment(Qt::AlignCenter);
    QFont bold = Heading->font();
    bold.setBold(true);
    Heading->setFont(bold);

    // A fixed size keeps the window from jumping while paths of every length pass through it.
    Text = new QLabel(this);
    Text->setObjectName("Text");
    Text->setFixedSize(kTextWidth, 2 * Text->fontMetrics().height() + 4);
    Text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Text->setWordWrap(true);
    Text->setTextFormat(Qt::PlainText);

    Heading2 = new QLabel(this);
    Heading2->setObjectName("Heading2");
    Heading2->setAlignment(Qt::AlignCenter);
    Heading2->setTextFormat(Qt::PlainText);
    Heading2->hide();

    Button = new QPushButton("Cancel", this);
    Button->setObjectName("Button");
    connect(Button, &QPushButton::clicked, this, &TStatusForm::ButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(Text, 0, Qt::AlignHCenter);
    layout->addWidget(Heading2);
    layout->addWidget(Button, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TStatusForm::SetWindowButtons(bool minimiseAndMaximise)
{
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (minimiseAndMaximise)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible)
        show();
}

void TStatusForm::SetCaption(const std::string& caption)
{
    setWindowTitle(Q(caption));
}
void TStatusForm::SetHeading(const std::string& text)
{
    Heading->setText(Q(text));
}
void TStatusForm::SetText(const std::string& text)
{
    Text->setText(Q(text));
}
void TStatusForm::SetHeading2(const std::string& text)
{
    Heading2->setText(Q(text));
}
void TStatusForm::SetHeading2Visible(bool visible)
{
    Heading2->setVisible(visible);
}

void TStatusForm::Show()
{
    stop_ = false;
    show();
    raise();
}

void TStatusForm::ButtonClick()
{
    stop_ = true;
    hide();
}

void TStatusForm::reject()
{
    // Escape or the close button stands for Cancel: the user asked the operation to stop.
    ButtonClick();
}

bool TStatusForm::event(QEvent* event)
{
    // An activation that arrives after Cancel hid the window is stale: it must not take back
    // the user's request to stop.
    if (event->type() == QEvent::WindowActivate && isVisible())
        stop_ = false;
    return QDialog::event(event);
}

void TStatusForm::showEvent(QShowEvent* event)
{
    stop_ = false;
    CentreOnScreen();
    QDialog::showEvent(event);
}

void TStatusForm::CentreOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace vm
