#include "listwindow/QtChildStatusBar.h"

#include "output/ListTexts.h"
#include "platform/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>

#include <algorithm>

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
    // 250 and 220 pixels, or what the longest counts and totals need in this font.
    const QFontMetrics metrics = panels_[0]->fontMetrics();
    panels_[0]->setFixedWidth(
        std::max(250, metrics.horizontalAdvance("9999999 object(s) match filter") + 12));
    panels_[1]->setFixedWidth(std::max(
        220, metrics.horizontalAdvance("Size 1,023.99 GB    Space taken 1,023.99 GB") + 12));
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

void TChildStatusBar::ShowTotals(int64_t count, bool filterOn, int64_t size, int64_t allocated,
                                 const TLocale& locale)
{
    SetPanelText(0, Q(ObjectCountText(count, filterOn)));
    SetPanelText(1, Q(SizeTotalsText(size, allocated, locale)));
}

void TChildStatusBar::ShowProgress(const QString& name, const QString& directory)
{
    SetPanelText(0, name);
    if (PanelText(1) != directory)
        SetPanelText(1, directory);
}

} // namespace vm
