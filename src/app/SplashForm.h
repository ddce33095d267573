// The window shown while the program starts: borderless, centred, white, with the program's
// picture, its version and a line that says what is being done.
#pragma once

#include <QWidget>

class QLabel;

namespace vm {

class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    // Shows the text in the status line and paints it at once.
    void SetStatus(const QString& text);

    QLabel* Picture;
    QLabel* VersionLabel;
    QLabel* StatusLabel;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace vm
