// "Confirm deletion options" for one file: asks before a read-only, hidden or system file is
// deleted, and lets the user stop being asked for the rest of the session ("Confirm &deletions"
// of the main window's Tools menu). One dialog for the whole program.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace vm {

class TDeleteFileForm : public QDialog
{
    Q_OBJECT
public:
    // setConfirmDeletions changes "Confirm &deletions" (the check box sets it to its opposite).
    explicit TDeleteFileForm(std::function<void(bool)> setConfirmDeletions,
                             QWidget* parent = nullptr);

    // Fills the message for the file and its attributes; exec() then answers idYes, idNo or
    // idCancel (TDialogResult).
    void Initialise(const std::string& name, uint32_t attributes);

    QPlainTextEdit* MessageMemo;
    QPushButton *YesButton, *NoButton, *CancelButton;
    QCheckBox* DoNotShowCheckBox;

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // Escape and the close button answer Cancel

private:
    std::function<void(bool)> setConfirmDeletions_;
};

} // namespace vm
