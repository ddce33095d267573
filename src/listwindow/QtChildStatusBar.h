// The status bar of the explore and compare windows: either one simple text across its width,
// or three panels (250 and 220 pixels, then the rest).
#pragma once

#include <QStatusBar>

#include <cstdint>

class QLabel;
class QStackedWidget;

namespace vm {

class TLocale;

class TChildStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit TChildStatusBar(QWidget* parent = nullptr);

    // The simple text, shown instead of the panels.
    void SetSimpleText(const QString& text);
    QString SimpleText() const;
    void SetSimplePanel(bool simple);
    bool SimplePanel() const;
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;

    // The first two panels: how many rows a list holds (filtered or not) and their sizes.
    void ShowTotals(int64_t count, bool filterOn, int64_t size, int64_t allocated,
                    const TLocale& locale);
    // The first two panels while a walk runs: the entry it has reached and that entry's directory
    // (set only when it changes, so the panel does not flicker).
    void ShowProgress(const QString& name, const QString& directory);

private:
    QStackedWidget* stack_;
    QLabel* simple_;
    QLabel* panels_[3];
};

} // namespace vm
