#include "fileops/FilePropForm.h"

#include "platform/HelpTopics.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include <tuple>

namespace vm {

namespace {

QLabel* Value(QWidget* owner, const char* name)
{
    auto* label = Named(new QLabel(owner), name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QFrame* Rule(QWidget* owner)
{
    auto* line = new QFrame(owner);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

} // namespace

TFilePropForm::TFilePropForm(TFileProperties& properties, TApply apply, QWidget* parent)
    : QDialog(parent), properties_(properties), apply_(std::move(apply))
{
    setObjectName("FilePropForm");
    setWindowTitle("Properties");

    PageControl = Named(new QTabWidget(this), "PageControl");
    GeneralPage = Named(new QWidget(PageControl), "GeneralPage");
    PageControl->addTab(GeneralPage, "General");

    IconImage = Named(new QLabel(GeneralPage), "IconImage");
    IconImage->setAccessibleName("File icon");
    NameLabel = Value(GeneralPage, "NameLabel");
    NameLabel->setAccessibleName("File Name");
    TypeLabel = Value(GeneralPage, "TypeLabel");
    LocationLabel = Value(GeneralPage, "LocationLabel");
    LocationLabel->setWordWrap(true);
    SizeLabel = Value(GeneralPage, "SizeLabel");
    SpaceLabel = Value(GeneralPage, "SpaceLabel");
    OwnerCaption = Named(new QLabel("Owner", GeneralPage), "OwnerCaption");
    OwnerLabel = Value(GeneralPage, "OwnerLabel");
    GroupCaption = Named(new QLabel("Group:", GeneralPage), "GroupCaption");
    GroupLabel = Value(GeneralPage, "GroupLabel");
    PermissionsCaption = Named(new QLabel("Permissions:", GeneralPage), "PermissionsCaption");
    PermissionsLabel = Value(GeneralPage, "PermissionsLabel");
    LinksCaption = Named(new QLabel("Links:", GeneralPage), "LinksCaption");
    LinksLabel = Value(GeneralPage, "LinksLabel");
    LoggedLabel = Value(GeneralPage, "LoggedLabel");
    CreatedLabel = Value(GeneralPage, "CreatedLabel");
    ModifiedLabel = Value(GeneralPage, "ModifiedLabel");
    AccessedLabel = Value(GeneralPage, "AccessedLabel");

    auto box = [this](const char* text, const char* name) {
        auto* b = Named(new QCheckBox(text, GeneralPage), name);
        connect(b, &QCheckBox::clicked, this, [this] { ApplyButton->setEnabled(true); });
        return b;
    };
    // Hidden (a leading dot), system (the kind of entry) and archive are no attributes a Linux
    // file can be given: only read-only and compression are shown, and can be changed.
    ReadOnlyCheckBox = box("Read-only", "ReadOnlyCheckBox");
    CompressedCheckBox = box("Compressed", "CompressedCheckBox");
    ReservedCheckBox = box("Reserved", "ReservedCheckBox");
    ReservedCheckBox->hide();

    auto* grid = new QGridLayout;
    int row = 0;
    auto line = [&](const char* caption, QWidget* value) {
        auto* label = new QLabel(caption, GeneralPage);
        label->setBuddy(value);
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(value, row++, 1);
    };
    auto rule = [&] { grid->addWidget(Rule(GeneralPage), row++, 0, 1, 2); };
    grid->addWidget(IconImage, row, 0);
    grid->addWidget(NameLabel, row++, 1);
    rule();
    line("Type:", TypeLabel);
    line("Location:", LocationLabel);
    line("Size:", SizeLabel);
    line("Space:", SpaceLabel);
    auto named = [&](QLabel* caption, QLabel* value) {
        caption->setBuddy(value);
        grid->addWidget(caption, row, 0, Qt::AlignTop);
        grid->addWidget(value, row++, 1);
    };
    named(LinksCaption, LinksLabel);
    rule();
    named(OwnerCaption, OwnerLabel);
    named(GroupCaption, GroupLabel);
    named(PermissionsCaption, PermissionsLabel);
    line("When logged:", LoggedLabel);
    rule();
    line("Created:", CreatedLabel);
    line("Modified:", ModifiedLabel);
    line("Accessed:", AccessedLabel);
    rule();
    auto* attributes = new QGridLayout;
    attributes->addWidget(ReadOnlyCheckBox, 0, 0);
    attributes->addWidget(CompressedCheckBox, 0, 1);
    attributes->addWidget(ReservedCheckBox, 0, 2);
    auto* attributesLabel = new QLabel("Attributes:", GeneralPage);
    grid->addWidget(attributesLabel, row, 0, Qt::AlignTop);
    grid->addLayout(attributes, row++, 1);
    grid->setColumnStretch(1, 1);
    GeneralPage->setLayout(grid);

    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::Properties); });
    OKButton = Named(new QPushButton("OK", this), "OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TFilePropForm::OKButtonClick);
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ApplyButton = Named(new QPushButton("Apply", this), "ApplyButton");
    ApplyButton->setAutoDefault(false);
    connect(ApplyButton, &QPushButton::clicked, this, &TFilePropForm::ApplyButtonClick);
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::Properties); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(ApplyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addLayout(buttons);
    resize(440, sizeHint().height());
}

void TFilePropForm::LoadPropertyText(const QIcon& icon)
{
    const TFileProperties& p = properties_;
    IconImage->setPixmap(icon.pixmap(32, 32));
    NameLabel->setText(Q(p.Name));
    TypeLabel->setText(Q(p.TypeText));
    LocationLabel->setText(Q(p.Location));
    SizeLabel->setText(Q(p.SizeText));
    LoggedLabel->setText(Q(p.Logged));
    CreatedLabel->setText(Q(p.CreatedText));
    ModifiedLabel->setText(Q(p.ModifiedText));
    AccessedLabel->setText(Q(p.AccessedText));
    ShowAttributes();
    ApplyButton->setEnabled(false);
}

void TFilePropForm::ShowAttributes()
{
    const TFileProperties& p = properties_;
    SpaceLabel->setText(Q(p.SpaceText));
    // A line shows only what was found: the disk's facts are not there for an entry gone.
    for (auto [caption, value, text] :
         {std::tuple{OwnerCaption, OwnerLabel, &p.Owner},
          std::tuple{GroupCaption, GroupLabel, &p.Group},
          std::tuple{PermissionsCaption, PermissionsLabel, &p.Permissions},
          std::tuple{LinksCaption, LinksLabel, &p.Links}}) {
        value->setText(Q(*text));
        caption->setVisible(!text->empty());
        value->setVisible(!text->empty());
    }
    ReadOnlyCheckBox->setChecked(p.ReadOnly);
    CompressedCheckBox->setChecked(p.Compressed);
    ReadOnlyCheckBox->setEnabled(p.Exists && p.ReadOnlyEnabled);
    CompressedCheckBox->setEnabled(p.Exists && p.CompressedEnabled);
}

void TFilePropForm::ApplyButtonClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (apply_)
        apply_(properties_, ReadOnlyCheckBox->isChecked(), CompressedCheckBox->isChecked());
    QApplication::restoreOverrideCursor();
    ShowAttributes();
    ApplyButton->setEnabled(false);
}

void TFilePropForm::OKButtonClick()
{
    if (ApplyButton->isEnabled())
        ApplyButtonClick();
    accept();
}

int64_t ShowPropertiesDialog(TFileProperties& properties, TFilePropForm::TApply apply, int tag,
                             const QIcon& icon, const std::function<void(int)>& showHelp,
                             QWidget* parent)
{
    TFilePropForm form(properties, std::move(apply), parent);
    form.Tag = tag;
    QObject::connect(&form, &TFilePropForm::HelpRequested, &form, showHelp);
    form.LoadPropertyText(icon);
    form.exec();
    return form.ResultingAllocated();
}

} // namespace vm
