// "Confirm deletion options" for a directory: says what the directory holds, checks (when asked)
// what changed on the disk since the log, shows what it found in its details, and deletes the
// directory once the user proceeds, showing the progress and stopping at Cancel. The work itself
// is fileops/DirectoryDeletion.h. One dialog for the whole program; its check boxes keep their
// states between directories.
#pragma once

#include "fileops/DirectoryDeletion.h"
#include "platform/Locale.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace vm {

class TDeleteDirectoryForm : public QDialog
{
    Q_OBJECT
public:
    explicit TDeleteDirectoryForm(QWidget* parent = nullptr);

    // GetDirectoryStats: prepares the dialog for the directory at offset of the log (open for
    // writing), reached on the disk through fs. exec() then answers Accepted when the deletion
    // ran; Outcome() tells what it did.
    void GetDirectoryStats(TDirStorage& log, int64_t offset, TFileSystem& fs, bool updateLog);
    // The deletion without showing the dialog ("Don't show this during this deletion again").
    void ConfirmAtOnce();
    const TDirectoryDeleted& Outcome() const { return outcome_; }
    const TDirectoryDeletion& Work() const { return work_; }

    bool Running = false, StopRequested = false;

    QWidget *TopPanel, *BottomPanel;
    QLabel *InfoLabel, *BeforeLabel, *ProgressLabel;
    QCheckBox *CheckModFiles, *ChecknewFiles, *DontShowAgainCheckBox;
    QProgressBar* ProgressBar;
    QPushButton *OKButton, *CancelButton, *HelpButton;
    QPlainTextEdit* ExceptionMemo;

    void OKButtonClick();
    void CancelButtonClick();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // Escape and the close button act as Cancel

private:
    void Expand(bool expanded);
    void UpdateDontShowAgain();
    void RunChecks();
    void RunDeletion();
    TDirectoryProgress Progress();

    TLocale locale_;
    TDirectoryDeletion work_;
    TDirectoryDeleted outcome_;
    bool updateLog_ = false;
};

} // namespace vm
