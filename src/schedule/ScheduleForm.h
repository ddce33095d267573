// The "Scheduler" dialog: the logging jobs of a computer's scheduler, listed, sorted by any
// column and deleted, and new ones submitted through TSubmitForm. A thin window over
// TScheduleList.
#pragma once

#include "references/AppContext.h"
#include "schedule/ScheduleList.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace vm {

class TSubmitForm;

class TScheduleForm : public QDialog
{
    Q_OBJECT
public:
    // context and scheduler outlive the dialog; context.UI shows the messages.
    TScheduleForm(TAppContext& context, TScheduler& scheduler, QWidget* parent = nullptr);

    // What the dialog does when it is shown: the server box filled, the stored server put in
    // it and connected to when there is one.
    void FormActivate();

    QComboBox* ServerNameCombo;
    QPushButton* ConnectButton;
    QLabel* StatusLabel;
    QTreeWidget* JobList;
    QPushButton *SubmitButton, *DeleteButton, *HelpButton, *CloseButton;
    TSubmitForm* SubmitForm;

    void ConnectButtonClick();
    void DeleteButtonClick();
    void SubmitButtonClick();
    void CloseButtonClick();
    void JobListColumnClick(int column);

    const TScheduleList& List() const { return list_; }

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowRows();
    void ShowStatus();

    TAppContext& context_;
    TScheduleList list_;
};

} // namespace vm
