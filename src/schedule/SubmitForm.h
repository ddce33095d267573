// The dialog that builds a logging job and queues it on a scheduler: the reference, how often
// and when it runs, the comparison after logging, and where VM_BATCH.CMD lies. A thin window
// over SubmitJob and JobOf.
#pragma once

#include "platform/Scheduler.h"
#include "references/AppContext.h"
#include "schedule/JobCommand.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vm {

class TSubmitForm : public QDialog
{
    Q_OBJECT
public:
    // context and scheduler outlive the dialog.
    TSubmitForm(TAppContext& context, TScheduler& scheduler, QWidget* parent = nullptr);

    // The computer the job goes to (empty: this one); set before the dialog is shown.
    void SetServer(const std::string& server) { server_ = server; }
    // Where the reference box takes its names from, in order; the reference store's order when
    // none is set.
    void SetReferenceNames(std::function<std::vector<std::string>()> names)
    {
        referenceNames_ = std::move(names);
    }

    // What the dialog does when it is shown: the stored program location, the caption, no day
    // checked, the references listed.
    void FormActivate();
    // The job as the controls describe it.
    TJobRequest Request() const;

    QComboBox* ReferenceNameCombo;
    QRadioButton *RunPeriodicallyRadio, *RunOnceRadio;
    QSpinBox *HoursEdit, *MinutesEdit;
    QGroupBox* CompareCheckBox; // its check box enables what it holds
    QRadioButton *CompareLatestRadio, *CompareSpecificRadio;
    QComboBox* LogComboBox;
    QCheckBox* KleanCheckBox;
    QListWidget *WeekdaysCheckList, *DaysCheckList;
    QLineEdit* ProgramLocationEdit;
    QPushButton *SubmitButton, *HelpButton, *CancelButton;

    void ReferenceNameComboChange();
    void SubmitButtonClick();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeTimeGroup();
    QWidget* MakeCompareGroup();
    QWidget* MakeDaysGroup();

    TAppContext& context_;
    TScheduler& scheduler_;
    std::string server_;
    std::function<std::vector<std::string>()> referenceNames_;
};

} // namespace vm
