#include "schedule/SubmitForm.h"

#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "schedule/JobTexts.h"
#include "schedule/ScheduleSettings.h"
#include "schedule/SubmitJob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace vm {

namespace {

// Hours and minutes read as a time: two digits each.
class TTimeSpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int value) const override
    {
        return QString("%1").arg(value, 2, 10, QChar('0'));
    }
};

QListWidget* CheckList(QWidget* parent, const char* name, const QStringList& captions)
{
    auto* list = Named(new QListWidget(parent), name);
    for (const QString& caption : captions) {
        auto* item = new QListWidgetItem(caption, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    return list;
}

template <size_t N> std::array<bool, N> Checked(const QListWidget* list)
{
    std::array<bool, N> checked{};
    for (int i = 0; i < list->count() && size_t(i) < N; ++i)
        checked[size_t(i)] = list->item(i)->checkState() == Qt::Checked;
    return checked;
}

void UncheckAll(QListWidget* list)
{
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
}

} // namespace

TSubmitForm::TSubmitForm(TAppContext& context, TScheduler& scheduler, QWidget* parent)
    : QDialog(parent), context_(context), scheduler_(scheduler)
{
    setObjectName("SubmitForm");
    setWindowTitle(kSubmitFormCaption);

    ReferenceNameCombo = Named(new QComboBox(this), "ReferenceNameCombo");
    ReferenceNameCombo->setMinimumContentsLength(24);
    auto* referenceLabel = new QLabel("Reference name to be scheduled :", this);
    referenceLabel->setBuddy(ReferenceNameCombo);

    auto* runType = Named(new QGroupBox("Run type", this), "RunTypeGroup");
    RunPeriodicallyRadio = Named(new QRadioButton("Run periodically", runType), "RunPeriodically");
    RunOnceRadio = Named(new QRadioButton("Run once only", runType), "RunOnce");
    RunPeriodicallyRadio->setChecked(true);
    auto* runTypeLayout = new QVBoxLayout(runType);
    runTypeLayout->addWidget(RunPeriodicallyRadio);
    runTypeLayout->addWidget(RunOnceRadio);

    ProgramLocationEdit = Named(new QLineEdit(this), "ProgramLocationEdit");
    ProgramLocationEdit->setText(Q(DefaultProgramLocation(context_.ProgramPath)));
    ProgramLocationEdit->setAccessibleName("Program location");
    connect(ProgramLocationEdit, &QLineEdit::textChanged, this,
            [](const QString& text) { WriteScheduleSetting(kServerProgramPathValue, S(text)); });

    SubmitButton = Named(new QPushButton("&Submit", this), "SubmitButton");
    HelpButton = Named(new QPushButton("&Help", this), "HelpButton");
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    SubmitButton->setDefault(true);
    HelpButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);
    connect(SubmitButton, &QPushButton::clicked, this, &TSubmitForm::SubmitButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::Scheduler); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::Scheduler); });

    auto* left = new QVBoxLayout;
    left->addWidget(referenceLabel);
    left->addWidget(ReferenceNameCombo);
    left->addWidget(runType);
    left->addWidget(MakeTimeGroup());
    left->addWidget(MakeCompareGroup());
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(MakeDaysGroup(), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SubmitButton);
    buttons->addWidget(HelpButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(new QLabel("Program location containing VM_BATCH.CMD :", this));
    layout->addWidget(ProgramLocationEdit);
    layout->addWidget(new QLabel("(specified in context of being interpreted from server)", this));
    layout->addLayout(buttons);

    connect(ReferenceNameCombo, &QComboBox::currentIndexChanged, this,
            &TSubmitForm::ReferenceNameComboChange);
}

QWidget* TSubmitForm::MakeTimeGroup()
{
    auto* group = Named(new QGroupBox("Time to run (24 hour)", this), "TimeGroup");
    HoursEdit = Named(new TTimeSpinBox(group), "HoursEdit");
    HoursEdit->setRange(0, 23);
    HoursEdit->setAccessibleName("Hours");
    MinutesEdit = Named(new TTimeSpinBox(group), "MinutesEdit");
    MinutesEdit->setRange(0, 59);
    MinutesEdit->setAccessibleName("Minutes");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(new QLabel("Enter time to run log", group));
    layout->addStretch();
    layout->addWidget(HoursEdit);
    layout->addWidget(new QLabel(":", group));
    layout->addWidget(MinutesEdit);
    return group;
}

QWidget* TSubmitForm::MakeCompareGroup()
{
    CompareCheckBox =
        Named(new QGroupBox("Compare when finished logging", this), "CompareCheckBox");
    CompareCheckBox->setCheckable(true);
    CompareCheckBox->setChecked(true);
    CompareLatestRadio =
        Named(new QRadioButton("Compare with latest log", CompareCheckBox), "CompareLatest");
    CompareSpecificRadio =
        Named(new QRadioButton("Compare with specific log :", CompareCheckBox), "CompareSpecific");
    CompareLatestRadio->setChecked(true);
    LogComboBox = Named(new QComboBox(CompareCheckBox), "LogComboBox");
    LogComboBox->setAccessibleName("Log to compare with");
    LogComboBox->setMinimumContentsLength(6);
    LogComboBox->installEventFilter(this);
    connect(LogComboBox, &QComboBox::activated, this,
            [this] { CompareSpecificRadio->setChecked(true); });
    KleanCheckBox =
        Named(new QCheckBox("Delete old compares when finished", CompareCheckBox), "KleanCheckBox");
    auto* layout = new QGridLayout(CompareCheckBox);
    layout->addWidget(CompareLatestRadio, 0, 0, 1, 2);
    layout->addWidget(CompareSpecificRadio, 1, 0);
    layout->addWidget(LogComboBox, 1, 1);
    layout->addWidget(KleanCheckBox, 2, 0, 1, 2);
    return CompareCheckBox;
}

QWidget* TSubmitForm::MakeDaysGroup()
{
    auto* group = Named(new QGroupBox("When to run the log", this), "WhenGroup");
    QStringList weekdays, days;
    for (const char* name : kWeekdayNames)
        weekdays << name;
    for (int day = 1; day <= 31; ++day)
        days << Q(DayOfMonthCaption(day));
    WeekdaysCheckList = CheckList(group, "WeekdaysCheckList", weekdays);
    WeekdaysCheckList->setAccessibleName("Weekdays to run");
    DaysCheckList = CheckList(group, "DaysCheckList", days);
    // The days of the month as rows of a calendar, all in view.
    DaysCheckList->setFlow(QListView::LeftToRight);
    DaysCheckList->setWrapping(true);
    DaysCheckList->setResizeMode(QListView::Adjust);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 16;
    int widest = 0;
    for (const QString& day : days)
        widest = std::max(widest, DaysCheckList->fontMetrics().horizontalAdvance(day));
    const int dayWidth = widest + indicator + 8;
    DaysCheckList->setGridSize(QSize(dayWidth, DaysCheckList->fontMetrics().height() + 8));
    DaysCheckList->setMinimumWidth(7 * dayWidth + 2 * DaysCheckList->frameWidth() + 4);
    WeekdaysCheckList->setMinimumWidth(WeekdaysCheckList->sizeHintForColumn(0) +
                                       2 * WeekdaysCheckList->frameWidth() + 8);
    DaysCheckList->setAccessibleName("Days in month to run");
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel("Weekdays to run", group), 0, 0);
    layout->addWidget(new QLabel("Days in month to run", group), 0, 1);
    layout->addWidget(WeekdaysCheckList, 1, 0);
    layout->addWidget(DaysCheckList, 1, 1);
    return group;
}

bool TSubmitForm::eventFilter(QObject* watched, QEvent* event)
{
    // Reaching for a log means comparing with it.
    if (watched == LogComboBox && event->type() == QEvent::MouseButtonPress)
        CompareSpecificRadio->setChecked(true);
    return QDialog::eventFilter(watched, event);
}

void TSubmitForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TSubmitForm::FormActivate()
{
    std::optional<std::string> stored = ReadScheduleSetting(kServerProgramPathValue);
    ProgramLocationEdit->setText(
        Q(stored ? *stored : DefaultProgramLocation(context_.ProgramPath)));
    setWindowTitle(Q(SubmitCaption(server_)));
    UncheckAll(WeekdaysCheckList);
    UncheckAll(DaysCheckList);
    const std::vector<std::string> names =
        referenceNames_ ? referenceNames_() : ReferenceNames(TRefStore(context_.DataDirectory));
    ReferenceNameCombo->clear();
    for (const std::string& name : names)
        ReferenceNameCombo->addItem(Q(name));
    ReferenceNameCombo->setCurrentIndex(-1);
    LogComboBox->clear();
}

void TSubmitForm::ReferenceNameComboChange()
{
    LogComboBox->clear();
    const std::string name = S(ReferenceNameCombo->currentText());
    if (name.empty())
        return;
    for (const std::string& log : LogNumberTexts(TRefStore(context_.DataDirectory), name))
        LogComboBox->addItem(Q(log));
}

TJobRequest TSubmitForm::Request() const
{
    TJobRequest r;
    r.Reference = S(ReferenceNameCombo->currentText());
    r.RunPeriodically = RunPeriodicallyRadio->isChecked();
    r.Hours = HoursEdit->value();
    r.Minutes = MinutesEdit->value();
    r.Compare = CompareCheckBox->isChecked();
    r.CompareLatest = !CompareSpecificRadio->isChecked();
    r.LogText = S(LogComboBox->currentText());
    r.DeleteOldCompares = KleanCheckBox->isChecked();
    r.Weekdays = Checked<7>(WeekdaysCheckList);
    r.MonthDays = Checked<31>(DaysCheckList);
    r.ProgramLocation = S(ProgramLocationEdit->text());
    r.DataDirectory = context_.DataDirectory;
    return r;
}

void TSubmitForm::SubmitButtonClick()
{
    if (SubmitJob(Request(), server_, scheduler_, *context_.UI))
        accept();
}

} // namespace vm
