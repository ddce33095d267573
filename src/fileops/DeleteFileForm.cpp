#include "fileops/DeleteFileForm.h"

#include "fileops/DeletionTexts.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm {

TDeleteFileForm::TDeleteFileForm(std::function<void(bool)> setConfirmDeletions, QWidget* parent)
    : QDialog(parent), setConfirmDeletions_(std::move(setConfirmDeletions))
{
    setObjectName("DeleteFileForm");
    setWindowTitle("Confirm deletion options");

    MessageMemo = Named(new QPlainTextEdit(this), "MessageMemo");
    MessageMemo->setAccessibleName("Message");
    MessageMemo->setReadOnly(true);
    MessageMemo->setFrameStyle(QFrame::NoFrame);
    MessageMemo->viewport()->setAutoFillBackground(false);
    MessageMemo->setFocusPolicy(Qt::NoFocus);

    YesButton = Named(new QPushButton("&Yes", this), "YesButton");
    YesButton->setDefault(true);
    connect(YesButton, &QPushButton::clicked, this, [this] { done(idYes); });
    NoButton = Named(new QPushButton("&No", this), "NoButton");
    connect(NoButton, &QPushButton::clicked, this, [this] { done(idNo); });
    CancelButton = Named(new QPushButton("&Cancel", this), "CancelButton");
    connect(CancelButton, &QPushButton::clicked, this, &TDeleteFileForm::reject);
    DoNotShowCheckBox = Named(new QCheckBox("&Do not show this message again this session", this),
                              "DoNotShowCheckBox");
    connect(DoNotShowCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
        if (setConfirmDeletions_)
            setConfirmDeletions_(!checked);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(YesButton);
    buttons->addWidget(NoButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MessageMemo, 1);
    layout->addLayout(buttons);
    layout->addWidget(DoNotShowCheckBox);
    setMinimumSize(360, 166);
    resize(360, 190);

    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::DeleteOptions); });
}

void TDeleteFileForm::Initialise(const std::string& name, uint32_t attributes)
{
    MessageMemo->clear();
    for (const std::string& line : FileQuestionLines(name, attributes))
        MessageMemo->appendPlainText(Q(line));
}

void TDeleteFileForm::showEvent(QShowEvent* event)
{
    DoNotShowCheckBox->setChecked(false);
    YesButton->setFocus();
    QDialog::showEvent(event);
}

void TDeleteFileForm::reject()
{
    done(idCancel);
}

} // namespace vm
