#include "app/ToolsOptionsForm.h"

#include "output/Email.h"
#include "platform/HelpTopics.h"
#include "platform/MailFile.h"
#include "platform/Registry.h"
#include "platform/ShellIntegration.h"
#include "platform/UserInterface.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}
std::string S(const QString& text)
{
    return text.toStdString();
}

template <class T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

QComboBox* UnitBox(QWidget* parent, const char* name)
{
    auto* box = Named(new QComboBox(parent), name);
    box->addItems({"MB", "GB", "%"});
    return box;
}

// A drop-down list shows only its items: a stored value it does not offer is added, so that
// saving the dialog never loses it. An empty value selects nothing.
void SelectOrAdd(QComboBox* box, const std::string& value)
{
    if (value.empty()) {
        box->setCurrentIndex(-1);
        return;
    }
    int index = box->findText(Q(value), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        box->addItem(Q(value));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

} // namespace

TToolsOptionsForm::TToolsOptionsForm(TAppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Tool), context_(context)
{
    setObjectName("ToolsOptionsForm");
    setWindowTitle("User Options");

    PageControl = Named(new QTabWidget(this), "PageControl");
    PageControl->addTab(GeneralPage = MakeGeneralPage(), "General");
    PageControl->addTab(EmailPage = MakeEmailPage(), "Email");
    PageControl->addTab(CommandLinePage = MakeCommandLinePage(), "Command line");
    PageControl->addTab(LogsPage = MakeLogsPage(), "Logs");

    auto* buttons = new QDialogButtonBox(this);
    OKButton = Named(buttons->addButton("OK", QDialogButtonBox::AcceptRole), "OKButton");
    CancelButton =
        Named(buttons->addButton("Cancel", QDialogButtonBox::RejectRole), "CancelButton");
    HelpButton = Named(buttons->addButton("Help", QDialogButtonBox::HelpRole), "HelpButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TToolsOptionsForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TToolsOptionsForm::CancelButtonClick);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::OptionsButton); });

    // F1 asks for the dialog's own topic, the Help button for the pages' one.
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::Options); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);
    ToControls(TOptions{});
}

QWidget* TToolsOptionsForm::MakeGeneralPage()
{
    auto* page = Named(new QWidget, "GeneralPage");
    FileExtensionsCheckBox =
        Named(new QCheckBox("Show File &Extensions", page), "FileExtensionsCheckBox");
    DisplayIconsCheckBox = Named(new QCheckBox("Show File &Icons ", page), "DisplayIconsCheckBox");
    LargestFirstCheckBox = Named(new QCheckBox("&Largest first", page), "LargestFirstCheckBox");
    LargestFirstCheckBox->setToolTip("Lists open sorted by space, the largest first, and the "
                                     "first click on \"Changed by\" shows the largest growth "
                                     "first");
    ShellExtCheckBox =
        Named(new QCheckBox("Run as file manager shell extension (Dolphin, Nautilus)", page),
              "ShellExtCheckBox");
    ShellExtCheckBox->setToolTip("Adds \"Explore with Volumark\" to the folder menus of the file "
                                 "managers");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(FileExtensionsCheckBox);
    layout->addWidget(DisplayIconsCheckBox);
    layout->addWidget(LargestFirstCheckBox);
    layout->addWidget(ShellExtCheckBox);
    layout->addStretch();
    return page;
}

QWidget* TToolsOptionsForm::MakeEmailPage()
{
    auto* page = Named(new QWidget, "EmailPage");
    EmailRTFCheckBox = Named(new QCheckBox("Send email in RTF format", page), "EmailRTFCheckBox");
    EmailRTFCheckBox->setEnabled(false);
    EmailDialogCheckBox = Named(new QCheckBox("Always show email message before sending", page),
                                "EmailDialogCheckBox");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(EmailRTFCheckBox);
    layout->addWidget(EmailDialogCheckBox);
    layout->addStretch();
    return page;
}

QGroupBox* TToolsOptionsForm::MakeExceptionGroup(QWidget* parent)
{
    auto* group = Named(new QGroupBox("Exception settings", parent), "ExceptionGroupBox");
    GrownCheckBox = Named(new QCheckBox("Logs grown by more than", group), "GrownCheckBox");
    GrownAmount = Named(new QLineEdit(group), "GrownAmount");
    GrownAmount->setMaximumWidth(70);
    GrownComboBox = UnitBox(group, "GrownComboBox");
    DiskFreeCheckBox = Named(new QCheckBox("Disk free less than", group), "DiskFreeCheckBox");
    DiskFreeAmount = Named(new QLineEdit(group), "DiskFreeAmount");
    DiskFreeAmount->setMaximumWidth(70);
    DiskFreeComboBox = UnitBox(group, "DiskFreeComboBox");
    // Free space is not measured by the unattended run: these stay disabled.
    for (QWidget* w :
         {static_cast<QWidget*>(DiskFreeCheckBox), static_cast<QWidget*>(DiskFreeAmount),
          static_cast<QWidget*>(DiskFreeComboBox)})
        w->setEnabled(false);
    auto* grid = new QGridLayout(group);
    grid->addWidget(GrownCheckBox, 0, 0);
    grid->addWidget(GrownAmount, 0, 1);
    grid->addWidget(GrownComboBox, 0, 2);
    grid->addWidget(DiskFreeCheckBox, 1, 0);
    grid->addWidget(DiskFreeAmount, 1, 1);
    grid->addWidget(DiskFreeComboBox, 1, 2);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* TToolsOptionsForm::MakeCommandLinePage()
{
    auto* page = Named(new QWidget, "CommandLinePage");
    EmailCheckBox =
        Named(new QCheckBox("Email on completion of log and compare", page), "EmailCheckBox");
    connect(EmailCheckBox, &QCheckBox::toggled, this, &TToolsOptionsForm::EmailCheckBoxClick);
    auto* profileLabel = Named(new QLabel("Profile:", page), "ProfileLabel");
    ProfileComboBox = Named(new QComboBox(page), "ProfileComboBox");
    ProfileComboBox->setEditable(false);
    ProfileComboBox->setMinimumWidth(180);
    auto* toLabel = Named(new QLabel("Email to:", page), "EmailToLabel");
    EmailTo = Named(new QLineEdit(page), "EmailTo");
    EmailToButton = Named(new QPushButton("...", page), "EmailToButton");
    EmailToButton->setMaximumWidth(32);
    EmailToButton->setToolTip("Pick recipients from the address book");
    // The boxes are named by their labels, and "..." by what it does, for screen readers.
    profileLabel->setBuddy(ProfileComboBox);
    toLabel->setBuddy(EmailTo);
    EmailToButton->setAccessibleName("Address book");
    connect(EmailToButton, &QPushButton::clicked, this, &TToolsOptionsForm::EmailToButtonClick);
    EmailAlwaysRadio =
        Named(new QRadioButton("Always email status of log and compare", page), "EmailAlwaysRadio");
    ExceptionEmailRadio =
        Named(new QRadioButton("Only email exceptions", page), "ExceptionEmailRadio");
    auto* group = MakeExceptionGroup(page);
    SendSubjectCheckBox =
        Named(new QCheckBox("Send entire email in subject field", page), "SendSubjectCheckBox");

    auto* grid = new QGridLayout(page);
    grid->addWidget(EmailCheckBox, 0, 0, 1, 3);
    grid->addWidget(profileLabel, 1, 0);
    grid->addWidget(ProfileComboBox, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(toLabel, 2, 0);
    grid->addWidget(EmailTo, 2, 1);
    grid->addWidget(EmailToButton, 2, 2);
    grid->addWidget(EmailAlwaysRadio, 3, 0, 1, 3);
    grid->addWidget(ExceptionEmailRadio, 4, 0, 1, 3);
    grid->addWidget(group, 5, 0, 1, 3);
    grid->addWidget(SendSubjectCheckBox, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TToolsOptionsForm::MakeLogsPage()
{
    auto* page = Named(new QWidget, "LogsPage");
    auto* label =
        Named(new QLabel("Allow changes to log file when compressing and deleting files", page),
              "AllowChangesLabel");
    label->setWordWrap(true);
    AllowChangesCheckBox =
        Named(new QCheckBox("Allow changes to log file", page), "AllowChangesCheckBox");
    auto* metricsLabel =
        Named(new QLabel("Write metrics for monitoring into:", page), "MetricsDirectoryLabel");
    MetricsDirectoryEdit = Named(new QLineEdit(page), "MetricsDirectoryEdit");
    MetricsDirectoryEdit->setAccessibleName("Write metrics for monitoring into");
    MetricsDirectoryEdit->setPlaceholderText("(none)");
    metricsLabel->setBuddy(MetricsDirectoryEdit);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addWidget(AllowChangesCheckBox);
    layout->addSpacing(12);
    layout->addWidget(metricsLabel);
    layout->addWidget(MetricsDirectoryEdit);
    layout->addStretch();
    return page;
}

void TToolsOptionsForm::EmailCheckBoxClick()
{
    // Every control placed directly on the page follows the box. Those inside "Exception
    // settings" keep their own states (Qt restores them when the group is enabled again), so
    // the disk-free controls stay disabled.
    const bool on = EmailCheckBox->isChecked();
    for (QWidget* w : CommandLinePage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != EmailCheckBox)
            w->setEnabled(on);
}

void TToolsOptionsForm::ToControls(const TOptions& o)
{
    FileExtensionsCheckBox->setChecked(o.ShowExt);
    DisplayIconsCheckBox->setChecked(o.ShowIcon);
    LargestFirstCheckBox->setChecked(o.LargestFirst);
    EmailCheckBox->setChecked(o.EmailCommandLine);
    SelectOrAdd(ProfileComboBox, o.EmailProfile);
    EmailTo->setText(Q(o.EmailTo));
    SendSubjectCheckBox->setChecked(o.EmailOnlySubject);
    EmailAlwaysRadio->setChecked(o.EmailAlways);
    ExceptionEmailRadio->setChecked(!o.EmailAlways);
    GrownCheckBox->setChecked(o.EmailGrown);
    GrownAmount->setText(QString::number(o.EmailGrownBy));
    SelectOrAdd(GrownComboBox, o.EmailGrownUnit);
    DiskFreeCheckBox->setChecked(o.EmailDiskFree);
    DiskFreeAmount->setText(QString::number(o.EmailDiskFreeBy));
    SelectOrAdd(DiskFreeComboBox, o.EmailDiskFreeUnit);
    EmailRTFCheckBox->setChecked(o.EmailRTF);
    EmailDialogCheckBox->setChecked(o.EmailDialog);
    AllowChangesCheckBox->setChecked(o.AllowLiveLogs);
    MetricsDirectoryEdit->setText(Q(o.MetricsDirectory));
    EmailCheckBoxClick(); // also when the box kept its state and sent no signal
}

TOptions TToolsOptionsForm::ControlOptions() const
{
    TOptions o;
    o.ShowExt = FileExtensionsCheckBox->isChecked();
    o.ShowIcon = DisplayIconsCheckBox->isChecked();
    o.LargestFirst = LargestFirstCheckBox->isChecked();
    o.EmailCommandLine = EmailCheckBox->isChecked();
    o.EmailProfile = S(ProfileComboBox->currentText());
    o.EmailTo = S(EmailTo->text());
    o.EmailOnlySubject = SendSubjectCheckBox->isChecked();
    o.EmailAlways = EmailAlwaysRadio->isChecked();
    o.EmailGrown = GrownCheckBox->isChecked();
    o.EmailGrownBy = OptionNumber(S(GrownAmount->text()));
    o.EmailGrownUnit = S(GrownComboBox->currentText());
    o.EmailDiskFree = DiskFreeCheckBox->isChecked();
    o.EmailDiskFreeBy = OptionNumber(S(DiskFreeAmount->text()));
    o.EmailDiskFreeUnit = S(DiskFreeComboBox->currentText());
    o.EmailRTF = EmailRTFCheckBox->isChecked();
    o.EmailDialog = EmailDialogCheckBox->isChecked();
    o.AllowLiveLogs = AllowChangesCheckBox->isChecked();
    o.MetricsDirectory = S(MetricsDirectoryEdit->text());
    return o;
}

bool TToolsOptionsForm::LoadOptions()
{
    const TShellIntegration shell(TShellIntegration::DefaultDataHome(), context_.ProgramPath);
    ShellExtCheckBox->setChecked(shell.IsRegistered());
    // The controls are the current state: a value missing from the store is written from them.
    TOptions options = ControlOptions();
    TRegistry registry;
    if (!options.Load(registry)) {
        FileExtensionsCheckBox->setChecked(true);
        DisplayIconsCheckBox->setChecked(true);
        ShowError(kCantReadRegistrySettings);
        return false;
    }
    ToControls(options);
    SetDisplayFlags();
    return true;
}

void TToolsOptionsForm::SaveOptions()
{
    TRegistry registry;
    std::string reason;
    if (!ControlOptions().Save(registry, &reason))
        ShowError("Can't write registry settings: " + reason);
    SetDisplayFlags();
    ApplyShellExtension();
}

void TToolsOptionsForm::SetDisplayFlags()
{
    context_.Display.ShowExtensions = FileExtensionsCheckBox->isChecked();
    context_.Display.ShowIcons = DisplayIconsCheckBox->isChecked();
    context_.Display.LargestFirst = LargestFirstCheckBox->isChecked();
}

void TToolsOptionsForm::ApplyShellExtension()
{
    const TShellIntegration shell(TShellIntegration::DefaultDataHome(), context_.ProgramPath);
    try {
        if (ShellExtCheckBox->isChecked()) {
            // Reported, but the entries are still written: the program may be put in place later.
            if (const std::string missing = shell.MissingProgramMessage(); !missing.empty())
                ShowError(missing);
            shell.Register();
        } else {
            shell.Remove();
        }
    } catch (const std::runtime_error& e) {
        ShowError(e.what());
    }
}

void TToolsOptionsForm::FillProfiles()
{
    const TMailFile mail;
    const std::string current = S(ProfileComboBox->currentText());
    const std::string defaultProfile = mail.DefaultProfileName();
    ProfileComboBox->clear();
    if (!defaultProfile.empty())
        ProfileComboBox->addItem(Q(defaultProfile));
    for (const std::string& name : mail.ProfileNames())
        if (QString::compare(Q(name), Q(defaultProfile), Qt::CaseInsensitive) != 0)
            ProfileComboBox->addItem(Q(name));
    SelectOrAdd(ProfileComboBox, current);
}

void TToolsOptionsForm::EmailToButtonClick()
{
    if (!context_.UI)
        return;
    TUserInterface& ui = *context_.UI;
    ui.SetBusy(true);
    try {
        std::string names, error;
        const int result =
            PickRecipients(ui, TMailFile::DefaultPath(), S(EmailTo->text()), names, &error);
        ui.SetBusy(false);
        if (result == SUCCESS_SUCCESS)
            EmailTo->setText(Q(names));
        else if (result != MAPI_USER_ABORT)
            ShowError(error);
    } catch (const std::exception& e) {
        ui.SetBusy(false);
        ShowError(e.what());
    }
}

void TToolsOptionsForm::OKButtonClick()
{
    SaveOptions();
    accept();
}

void TToolsOptionsForm::CancelButtonClick()
{
    LoadOptions();
    QDialog::reject();
}

void TToolsOptionsForm::reject()
{
    CancelButtonClick();
}

void TToolsOptionsForm::showEvent(QShowEvent* event)
{
    FillProfiles();
    LoadOptions();
    PageControl->setCurrentIndex(0);
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TToolsOptionsForm::ShowError(const std::string& text)
{
    if (context_.UI)
        context_.UI->ShowMessage(text);
}

} // namespace vm
