#include "fileops/DeleteDirectoryForm.h"

#include "platform/HelpTopics.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm {

namespace {
const QString kOK = "OK";
const QString kProceed = "Proceed";
const QString kShowDetails = "Details >>";
const QString kHideDetails = "Details <<";
constexpr int kDetailsHeight = 220;
} // namespace

TDeleteDirectoryForm::TDeleteDirectoryForm(QWidget* parent)
    : QDialog(parent), locale_(TLocale::FromEnvironment())
{
    setObjectName("DeleteDirectoryForm");
    setWindowTitle("Confirm deletion options");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    TopPanel = Named(new QWidget(this), "TopPanel");
    InfoLabel = Named(new QLabel(TopPanel), "InfoLabel");
    InfoLabel->setTextFormat(Qt::PlainText);
    InfoLabel->setWordWrap(true);
    BeforeLabel = Named(new QLabel("Before deleting :", TopPanel), "BeforeLabel");
    CheckModFiles =
        Named(new QCheckBox("Check that files have not been modified or deleted since this log",
                            TopPanel),
              "CheckModFiles");
    CheckModFiles->setChecked(true);
    ChecknewFiles =
        Named(new QCheckBox("Check that files have not been added since this log", TopPanel),
              "ChecknewFiles");
    ChecknewFiles->setChecked(true);
    ProgressLabel = Named(new QLabel(TopPanel), "ProgressLabel");
    ProgressLabel->setTextFormat(Qt::PlainText);
    ProgressBar = Named(new QProgressBar(TopPanel), "ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setAccessibleName("Progress");
    OKButton = Named(new QPushButton(kOK, TopPanel), "OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TDeleteDirectoryForm::OKButtonClick);
    CancelButton = Named(new QPushButton("Cancel", TopPanel), "CancelButton");
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &TDeleteDirectoryForm::CancelButtonClick);
    DontShowAgainCheckBox =
        Named(new QCheckBox("Don't show this during this deletion again", TopPanel),
              "DontShowAgainCheckBox");
    DontShowAgainCheckBox->setEnabled(false);
    HelpButton = Named(new QPushButton("Help", TopPanel), "HelpButton");
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::DeleteFolder); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::DeleteFolder); });
    connect(CheckModFiles, &QCheckBox::toggled, this, &TDeleteDirectoryForm::UpdateDontShowAgain);
    connect(ChecknewFiles, &QCheckBox::toggled, this, &TDeleteDirectoryForm::UpdateDontShowAgain);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    buttons->addStretch();
    auto* checks = new QVBoxLayout;
    checks->addWidget(InfoLabel);
    checks->addSpacing(6);
    checks->addWidget(BeforeLabel);
    checks->addWidget(CheckModFiles);
    checks->addWidget(ChecknewFiles);
    checks->addWidget(ProgressLabel);
    checks->addWidget(ProgressBar);
    checks->addWidget(DontShowAgainCheckBox);
    auto* top = new QHBoxLayout(TopPanel);
    top->setContentsMargins(0, 0, 0, 0);
    top->addLayout(checks, 1);
    top->addLayout(buttons);

    BottomPanel = Named(new QWidget(this), "BottomPanel");
    ExceptionMemo = Named(new QPlainTextEdit(BottomPanel), "ExceptionMemo");
    ExceptionMemo->setAccessibleName("Details");
    ExceptionMemo->setReadOnly(true);
    ExceptionMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ExceptionMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* bottom = new QVBoxLayout(BottomPanel);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(ExceptionMemo);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TopPanel);
    layout->addWidget(BottomPanel, 1);
    setMinimumWidth(400);
    resize(560, 200);
    Expand(false);
}

void TDeleteDirectoryForm::GetDirectoryStats(TDirStorage& log, int64_t offset, TFileSystem& fs,
                                             bool updateLog)
{
    work_.Prepare(log, offset, fs);
    updateLog_ = updateLog;
    outcome_ = TDirectoryDeleted();
    InfoLabel->setText(Q(work_.InfoText(locale_)));
}

void TDeleteDirectoryForm::showEvent(QShowEvent* event)
{
    ExceptionMemo->clear();
    OKButton->setText(kOK);
    ProgressLabel->clear();
    ProgressBar->setValue(0);
    Expand(false);
    StopRequested = false;
    UpdateDontShowAgain();
    QDialog::showEvent(event);
}

void TDeleteDirectoryForm::UpdateDontShowAgain()
{
    DontShowAgainCheckBox->setEnabled(!CheckModFiles->isChecked() && !ChecknewFiles->isChecked());
}

void TDeleteDirectoryForm::Expand(bool expanded)
{
    BottomPanel->setVisible(expanded);
    layout()->activate();
    const int collapsed = TopPanel->sizeHint().height() + 2 * layout()->contentsMargins().top();
    setMinimumHeight(collapsed);
    resize(width(), expanded ? collapsed + kDetailsHeight : collapsed);
}

TDirectoryProgress TDeleteDirectoryForm::Progress()
{
    TDirectoryProgress p;
    p.Label = [this](const std::string& text) { ProgressLabel->setText(Q(text)); };
    p.Bar = [this](int percent) { ProgressBar->setValue(percent); };
    p.Line = [this](const std::string& line) { ExceptionMemo->appendPlainText(Q(line)); };
    p.ProcessMessages = [] { QApplication::processEvents(); };
    p.StopRequested = [this] { return StopRequested; };
    return p;
}

void TDeleteDirectoryForm::OKButtonClick()
{
    const QString caption = OKButton->text();
    if (caption == kShowDetails || caption == kHideDetails) {
        Expand(caption == kShowDetails);
        OKButton->setText(caption == kShowDetails ? kHideDetails : kShowDetails);
        return;
    }
    if (Running)
        return;
    if (caption == kProceed || (!CheckModFiles->isChecked() && !ChecknewFiles->isChecked()))
        RunDeletion();
    else
        RunChecks();
}

void TDeleteDirectoryForm::RunChecks()
{
    Running = true;
    const TDirectoryProgress progress = Progress();
    bool ran = false, stopped = false;
    if (CheckModFiles->isChecked()) {
        ran = true;
        ProgressLabel->setText("Checked for modified files ...");
        OKButton->setText(kShowDetails);
        stopped = !work_.CheckModified(progress);
        ProgressBar->setValue(100);
    }
    if (!stopped && ChecknewFiles->isChecked()) {
        ran = true;
        ProgressLabel->setText("Checked for new files ...");
        OKButton->setText(kShowDetails);
        stopped = !work_.CheckNew(progress);
        ProgressBar->setValue(100);
    }
    Running = false;
    if (stopped) {
        done(QDialog::Rejected);
        return;
    }
    if (ran && ExceptionMemo->document()->isEmpty()) {
        if (CheckModFiles->isChecked())
            ExceptionMemo->appendPlainText("** No files have been modified or deleted **");
        if (ChecknewFiles->isChecked())
            ExceptionMemo->appendPlainText("** No new files have been added **");
    }
    Expand(true);
    OKButton->setText(kProceed);
    OKButton->setFocus();
}

void TDeleteDirectoryForm::RunDeletion()
{
    Running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    outcome_ = work_.Delete(updateLog_, Progress());
    QApplication::restoreOverrideCursor();
    Running = false;
    if (!outcome_.Ran) {
        done(QDialog::Rejected);
        return;
    }
    done(QDialog::Accepted);
}

void TDeleteDirectoryForm::ConfirmAtOnce()
{
    OKButton->setText(kProceed);
    RunDeletion();
}

void TDeleteDirectoryForm::CancelButtonClick()
{
    if (Running)
        StopRequested = true;
    else
        done(QDialog::Rejected);
}

void TDeleteDirectoryForm::reject()
{
    CancelButtonClick();
}

} // namespace vm
