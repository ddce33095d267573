#include "output/ConfirmPrintForm.h"

#include "platform/HelpTopics.h"
#include "platform/QtText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm {

TConfirmPrintForm::TConfirmPrintForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("ConfirmPrintForm");
    setWindowTitle("Confirm printer settings");

    FontLabel = Named(new QLabel("The selected font is too large. ", this), "FontLabel");
    auto* group = Named(new QGroupBox("Automatically correct by", this), "CorrectRadioGroup");
    ReduceRadio = Named(new QRadioButton("Reduce font size", group), "ReduceRadio");
    LandscapeRadio = Named(new QRadioButton("Change to landscape", group), "LandscapeRadio");
    NoChangeRadio = Named(new QRadioButton("Do not change settings", group), "NoChangeRadio");
    ReduceRadio->setChecked(true);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(ReduceRadio);
    groupLayout->addWidget(LandscapeRadio);
    groupLayout->addWidget(NoChangeRadio);

    OKButton = Named(new QPushButton("OK", this), "OKButton");
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);
    HelpButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::ConfirmPrinter); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::ConfirmPrinter); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontLabel);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

bool TConfirmPrintForm::Confirm(bool landscape)
{
    ReduceRadio->setChecked(true);
    LandscapeRadio->setVisible(!landscape);
    adjustSize();
    return exec() == QDialog::Accepted;
}

TConfirmPrintForm::TChoice TConfirmPrintForm::Choice() const
{
    if (LandscapeRadio->isChecked() && LandscapeRadio->isVisibleTo(this))
        return ChangeToLandscape;
    return NoChangeRadio->isChecked() ? DoNotChange : ReduceFontSize;
}

} // namespace vm
