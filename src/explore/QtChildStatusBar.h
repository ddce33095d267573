// The status bar of the explore and compare windows: either one simple text across its width,
// or three panels (250 and 220 pixels, then the rest).
#pragma once

#include <QStatusBar>

class QLabel;
class QStackedWidget;

namespace vm {

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

private:
    QStackedWidget* stack_;
    QLabel* simple_;
    QLabel* panels_[3];
};

} // namespace vm
