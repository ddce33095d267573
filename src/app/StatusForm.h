// The shared progress window of long operations: a stay-on-top dialog centred on the screen
// with Heading, Text, an optional Heading2 and a Cancel button. Cancel sets the stop request
// (which the operations poll) and hides the window; showing or activating it clears the request.
#pragma once

#include "platform/UserInterface.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vm {

class TStatusForm : public QDialog, public TStatusWindow
{
    Q_OBJECT
public:
    explicit TStatusForm(QWidget* parent = nullptr);

    // TStatusWindow
    void SetCaption(const std::string& caption) override;
    void SetHeading(const std::string& text) override;
    void SetText(const std::string& text) override;
    void SetHeading2(const std::string& text) override;
    void SetHeading2Visible(bool visible) override;
    void Show() override;
    void Hide() override { hide(); }
    bool IsVisible() const override { return isVisible(); }
    bool StopRequested() const override { return stop_; }
    void ClearStopRequest() override { stop_ = false; }

    // The system menu with minimise and maximise buttons (unattended runs) or a plain dialog
    // frame (the default).
    void SetWindowButtons(bool minimiseAndMaximise);

    QLabel* Heading;
    QLabel* Text;
    QLabel* Heading2;
    QPushButton* Button;

    void ButtonClick();
    // Escape and the close button stand for Cancel.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CentreOnScreen();
    bool stop_ = false;
};

} // namespace vm
