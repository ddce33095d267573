#include "fileops/CopyOptionsForm.h"

#include "fileops/CopyFiles.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm {

TCopyOptionsForm::TCopyOptionsForm(TUserInterface& ui, QWidget* parent) : QDialog(parent), ui_(ui)
{
    setObjectName("CopyOptionsForm");
    setWindowTitle("Copy options");

    auto* label = Named(new QLabel("Enter the destination path", this), "PathLabel");
    InputPathComboBox = Named(new QComboBox(this), "InputPathComboBox");
    InputPathComboBox->setEditable(true);
    InputPathComboBox->setInsertPolicy(QComboBox::NoInsert);
    InputPathComboBox->setAccessibleName("Destination path");
    InputPathComboBox->setMinimumContentsLength(40);
    label->setBuddy(InputPathComboBox);
    BrowseButton = Named(new QPushButton("Browse", this), "BrowseButton");
    BrowseButton->setAutoDefault(false);
    connect(BrowseButton, &QPushButton::clicked, this, &TCopyOptionsForm::BrowseButtonClick);
    KeepStructureCheckBox =
        Named(new QCheckBox("Keep existing directory structure", this), "KeepStructureCheckBox");
    KeepStructureCheckBox->setChecked(true);

    OKButton = Named(new QPushButton("OK", this), "OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TCopyOptionsForm::OKButtonClick);
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::CopyOptions); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::CopyOptions); });

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(InputPathComboBox, 1);
    pathRow->addWidget(BrowseButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(pathRow);
    layout->addWidget(KeepStructureCheckBox);
    layout->addStretch();
    layout->addLayout(buttons);

    TRegistry registry;
    TCopySettings settings;
    settings.KeepStructure = KeepStructureCheckBox->isChecked();
    settings.Load(registry);
    InputPathComboBox->setEditText(Q(settings.CopyPath));
    KeepStructureCheckBox->setChecked(settings.KeepStructure);
    if (!settings.CopyPath.empty())
        InputPathComboBox->addItem(Q(settings.CopyPath));
}

std::string TCopyOptionsForm::Destination() const
{
    std::string path = S(InputPathComboBox->currentText());
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool TCopyOptionsForm::KeepStructure() const
{
    return KeepStructureCheckBox->isChecked();
}

void TCopyOptionsForm::BrowseButtonClick()
{
    const QString chosen =
        QFileDialog::getExistingDirectory(this, "Copy to", InputPathComboBox->currentText());
    if (!chosen.isEmpty())
        InputPathComboBox->setEditText(chosen);
}

void TCopyOptionsForm::OKButtonClick()
{
    const QString text = InputPathComboBox->currentText();
    const std::string path = S(text);
    if (!AcceptCopyDestination(path, ui_))
        return;
    if (InputPathComboBox->findText(text) < 0)
        InputPathComboBox->addItem(text);
    InputPathComboBox->setEditText(text);
    TCopySettings settings{path, KeepStructureCheckBox->isChecked()};
    try {
        TRegistry registry;
        settings.Save(registry);
    } catch (const std::exception& e) {
        ui_.ShowMessage(e.what());
    }
    accept();
}

std::optional<TCopyRequest> AskCopyRequest(TCopyOptionsForm& dialog, bool belowRoot,
                                           const std::string& shownDirectory, bool selectedOnly,
                                           size_t count)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    TCopyRequest request;
    request.Destination = dialog.Destination();
    request.KeepStructure = dialog.KeepStructure() && belowRoot;
    request.ShownDirectory = shownDirectory;
    request.ShowProgress = !(selectedOnly && count == 1);
    return request;
}

} // namespace vm
