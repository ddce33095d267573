#include "explore/QtChildStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>

namespace vm {

namespace {
QLabel* Panel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(10);
    return label;
}
} // namespace

TChildStatusBar::TChildStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName("ChildStatusBar");
    setSizeGripEnabled(false);
    stack_ = new QStackedWidget(this);
    simple_ = Panel(stack_, "SimplePanel");
    auto* row = new QWidget(stack_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const char* names[] = {"Panel0", "Panel1", "Panel2"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = Panel(row, names[i]);
        layout->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    panels_[0]->setFixedWidth(250);
    panels_[1]->setFixedWidth(220);
    stack_->addWidget(simple_);
    stack_->addWidget(row);
    addWidget(stack_, 1);
}

void TChildStatusBar::SetSimpleText(const QString& text)
{
    simple_->setText(text);
    SetSimplePanel(true);
}

QString TChildStatusBar::SimpleText() const
{
    return simple_->text();
}

void TChildStatusBar::SetSimplePanel(bool simple)
{
    stack_->setCurrentIndex(simple ? 0 : 1);
}

bool TChildStatusBar::SimplePanel() const
{
    return stack_->currentIndex() == 0;
}

void TChildStatusBar::SetPanelText(int panel, const QString& text)
{
    if (panel >= 0 && panel < 3)
        panels_[panel]->setText(text);
}

QString TChildStatusBar::PanelText(int panel) const
{
    return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

} // namespace vm
