#include "schedule/ScheduleForm.h"

#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "schedule/ScheduleSettings.h"
#include "schedule/SubmitForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vm {

TScheduleForm::TScheduleForm(TAppContext& context, TScheduler& scheduler, QWidget* parent)
    : QDialog(parent), context_(context), list_(scheduler, *context.UI)
{
    setObjectName("ScheduleForm");
    setWindowTitle("Scheduler");
    setMinimumSize(450, 200);

    ServerNameCombo = Named(new QComboBox(this), "ServerNameCombo");
    ServerNameCombo->setEditable(true);
    ServerNameCombo->setInsertPolicy(QComboBox::NoInsert);
    ServerNameCombo->setAccessibleName("Server");
    ServerNameCombo->lineEdit()->setPlaceholderText("this computer");
    ConnectButton = Named(new QPushButton("&Connect", this), "ConnectButton");
    ConnectButton->setDefault(true);
    ConnectButton->setAutoDefault(true);
    StatusLabel = Named(new QLabel(kNotConnectedText, this), "StatusLabel");

    JobList = Named(new QTreeWidget(this), "JobList");
    JobList->setAccessibleName("Scheduled jobs");
    JobList->setRootIsDecorated(false);
    JobList->setSelectionBehavior(QAbstractItemView::SelectRows);
    JobList->setSelectionMode(QAbstractItemView::SingleSelection);
    JobList->setHeaderLabels({"ID", "Status", "Day", "Time", "Command Line"});
    JobList->setColumnWidth(kIdColumn, 40);
    JobList->setColumnWidth(kStatusColumn, 60);
    JobList->setColumnWidth(kDayColumn, 90);
    JobList->setColumnWidth(kTimeColumn, 60);
    JobList->setColumnWidth(kCommandColumn, 600);
    JobList->header()->setSectionsClickable(true);
    JobList->header()->setStretchLastSection(false);

    SubmitButton = Named(new QPushButton("&Submit", this), "SubmitButton");
    DeleteButton = Named(new QPushButton("&Delete", this), "DeleteButton");
    HelpButton = Named(new QPushButton("&Help", this), "HelpButton");
    CloseButton = Named(new QPushButton("&Close", this), "CloseButton");
    for (QPushButton* b : {SubmitButton, DeleteButton, HelpButton, CloseButton})
        b->setAutoDefault(false);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel("Server:", this), 0, 0);
    top->addWidget(ServerNameCombo, 0, 1);
    top->addWidget(ConnectButton, 0, 2);
    top->addWidget(new QLabel("Status:", this), 1, 0);
    top->addWidget(StatusLabel, 1, 1, 1, 2);
    top->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SubmitButton);
    buttons->addWidget(DeleteButton);
    buttons->addStretch();
    buttons->addWidget(HelpButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(JobList, 1);
    layout->addLayout(buttons);
    resize(760, 360);

    SubmitForm = new TSubmitForm(context, scheduler, this);
    connect(SubmitForm, &TSubmitForm::HelpRequested, this, &TScheduleForm::HelpRequested);

    connect(ConnectButton, &QPushButton::clicked, this, &TScheduleForm::ConnectButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TScheduleForm::DeleteButtonClick);
    connect(SubmitButton, &QPushButton::clicked, this, &TScheduleForm::SubmitButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TScheduleForm::CloseButtonClick);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::Scheduler); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::Scheduler); });
    connect(JobList->header(), &QHeaderView::sectionClicked, this,
            &TScheduleForm::JobListColumnClick);
    connect(ServerNameCombo, &QComboBox::editTextChanged, this, [this] {
        list_.ServerTextChanged();
        ShowStatus();
    });
}

void TScheduleForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TScheduleForm::FormActivate()
{
    context_.UI->SetBusy(true);
    const std::vector<std::string> servers = list_.Activate();
    ServerNameCombo->blockSignals(true);
    ServerNameCombo->clear();
    for (const std::string& server : servers)
        ServerNameCombo->addItem(Q(server));
    const std::string stored = ReadScheduleSetting(kScheduleServerValue).value_or("");
    ServerNameCombo->setEditText(Q(stored));
    ServerNameCombo->blockSignals(false);
    JobList->clear();
    ShowStatus();
    if (!stored.empty())
        ConnectButtonClick();
    context_.UI->SetBusy(false);
}

void TScheduleForm::ShowStatus()
{
    StatusLabel->setText(list_.StatusText());
}

void TScheduleForm::ShowRows()
{
    JobList->clear();
    for (const TScheduleList::TListedJob& listed : list_.Rows()) {
        QStringList texts;
        for (const std::string& text : listed.Row)
            texts << Q(text);
        auto* item = new QTreeWidgetItem(JobList, texts);
        item->setToolTip(kCommandColumn, texts[kCommandColumn]);
    }
    // The day and time texts are read whole: the columns grow to them.
    for (int column : {kDayColumn, kTimeColumn}) {
        const int designed = JobList->columnWidth(column);
        JobList->resizeColumnToContents(column);
        JobList->setColumnWidth(column, std::max(designed, JobList->columnWidth(column)));
    }
    if (list_.SortColumn() >= 0)
        JobList->header()->setSortIndicator(list_.SortColumn(), list_.SortDirection() > 0
                                                                    ? Qt::AscendingOrder
                                                                    : Qt::DescendingOrder);
    JobList->header()->setSortIndicatorShown(list_.SortColumn() >= 0);
}

void TScheduleForm::ConnectButtonClick()
{
    list_.Connect(ServerNameCombo->currentText().toStdString());
    ShowRows();
    ShowStatus();
}

void TScheduleForm::JobListColumnClick(int column)
{
    list_.SortBy(column);
    ShowRows();
}

void TScheduleForm::DeleteButtonClick()
{
    QTreeWidgetItem* item = JobList->currentItem();
    list_.Delete(item && item->isSelected() ? JobList->indexOfTopLevelItem(item) : -1);
    ShowRows();
    ShowStatus();
}

void TScheduleForm::SubmitButtonClick()
{
    if (!list_.CanSubmit())
        return;
    SubmitForm->SetServer(ServerNameCombo->currentText().toStdString());
    if (SubmitForm->exec() == QDialog::Accepted)
        ConnectButtonClick();
}

void TScheduleForm::CloseButtonClick()
{
    WriteScheduleSetting(kScheduleServerValue, ServerNameCombo->currentText().toStdString());
    accept();
}

} // namespace vm
