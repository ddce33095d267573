// The options dialog over a temporary settings file: defaults written on the first load,
// Cancel restoring what is stored, the file-manager entries following the box, and the
// command-line page's controls following "Email on completion of log and compare".
#include "support/gui/QtFrameFixture.h"

#include "app/ToolsOptionsForm.h"
#include "platform/MailFile.h"
#include "platform/Registry.h"
#include "platform/ShellIntegration.h"
#include "references/Options.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>

namespace vmtest {
namespace {

class OptionsFormTest : public FrameTest
{
protected:
    vm::TToolsOptionsForm& Form() { return frame_->Options(); }
    vm::TRegistry Settings()
    {
        vm::TRegistry registry;
        registry.OpenKey(vm::kSettingsKey, false);
        return registry;
    }
    vm::TShellIntegration Shell() const
    {
        return vm::TShellIntegration(dir_ / "share", context_.ProgramPath);
    }
};

TEST_F(OptionsFormTest, PagesAndCaptions)
{
    vm::TToolsOptionsForm& f = Form();
    EXPECT_EQ(f.windowTitle(), "User Options");
    ASSERT_EQ(f.PageControl->count(), 4);
    EXPECT_EQ(f.PageControl->tabText(0), "General");
    EXPECT_EQ(f.PageControl->tabText(1), "Email");
    EXPECT_EQ(f.PageControl->tabText(2), "Command line");
    EXPECT_EQ(f.PageControl->tabText(3), "Logs");
    EXPECT_EQ(f.DisplayIconsCheckBox->text(), "Show File &Icons ");
    EXPECT_FALSE(f.EmailRTFCheckBox->isEnabled());
    EXPECT_EQ(f.GrownComboBox->count(), 3);
    EXPECT_EQ(f.GrownComboBox->itemText(2), "%");
    EXPECT_EQ(f.findChild<QGroupBox*>("ExceptionGroupBox")->title(), "Exception settings");
    EXPECT_NE(f.findChild<QLabel*>("AllowChangesLabel"), nullptr);
    EXPECT_EQ(f.findChild<QLabel*>("AllowChangesLabel")->text(),
              "Allow changes to log file when compressing and deleting files");
    for (const char* name :
         {"FileExtensionsCheckBox", "ShellExtCheckBox", "EmailDialogCheckBox", "ProfileComboBox",
          "EmailTo", "EmailAlwaysRadio", "ExceptionEmailRadio", "GrownAmount", "DiskFreeComboBox",
          "SendSubjectCheckBox", "AllowChangesCheckBox"})
        EXPECT_NE(f.findChild<QWidget*>(name), nullptr) << name;
    // What a screen reader says for the controls that show no text of their own.
    auto spoken = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(spoken(f.ProfileComboBox), "Profile:");
    EXPECT_EQ(spoken(f.EmailTo), "Email to:");
    EXPECT_EQ(spoken(f.EmailToButton), "Address book");
    for (QWidget* w :
         {static_cast<QWidget*>(f.GrownAmount), static_cast<QWidget*>(f.GrownComboBox)})
        EXPECT_FALSE(spoken(w).isEmpty()) << w->objectName().toStdString();
}

TEST_F(OptionsFormTest, FirstLoadStoresTheDefaultsAndLeavesEmailToEmpty)
{
    vm::TToolsOptionsForm& f = Form();
    ASSERT_TRUE(f.LoadOptions());
    vm::TRegistry registry = Settings();
    EXPECT_EQ(registry.ReadInteger("ShowExt"), 1);
    EXPECT_EQ(registry.ReadInteger("ShowIcon"), 1);
    EXPECT_EQ(registry.ReadInteger("EmailGrownBy"), 20);
    EXPECT_EQ(registry.ReadInteger("EmailAlways"), 1);
    EXPECT_FALSE(registry.ValueExists("EmailTo")); // strings are not invented
    EXPECT_EQ(f.EmailTo->text(), "");
    EXPECT_EQ(f.GrownAmount->text(), "20");
    EXPECT_TRUE(f.EmailAlwaysRadio->isChecked());
    EXPECT_FALSE(f.ExceptionEmailRadio->isChecked());
    EXPECT_EQ(f.GrownComboBox->currentText(), "MB"); // no unit stored: the first offered
    EXPECT_EQ(f.DiskFreeComboBox->currentText(), "%");
    EXPECT_TRUE(context_.Display.ShowExtensions);
    EXPECT_TRUE(ui_.Shown.empty());
}

TEST_F(OptionsFormTest, OkStoresTheControlsAndCancelRestoresThem)
{
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    f.FileExtensionsCheckBox->setChecked(false);
    f.EmailCheckBox->setChecked(true);
    f.EmailTo->setText("admin@example.com");
    f.ExceptionEmailRadio->setChecked(true);
    f.GrownAmount->setText("35");
    f.GrownComboBox->setCurrentText("GB");
    f.AllowChangesCheckBox->setChecked(true);
    f.LargestFirstCheckBox->setChecked(true);
    f.OKButtonClick();

    vm::TOptions stored;
    vm::TRegistry registry;
    ASSERT_TRUE(stored.Load(registry));
    EXPECT_FALSE(stored.ShowExt);
    EXPECT_TRUE(stored.EmailCommandLine);
    EXPECT_EQ(stored.EmailTo, "admin@example.com");
    EXPECT_FALSE(stored.EmailAlways);
    EXPECT_EQ(stored.EmailGrownBy, 35);
    EXPECT_EQ(stored.EmailGrownUnit, "GB");
    EXPECT_TRUE(stored.AllowLiveLogs);
    EXPECT_FALSE(context_.Display.ShowExtensions);
    EXPECT_TRUE(stored.LargestFirst);
    EXPECT_TRUE(context_.Display.LargestFirst); // the next list opens by space

    f.EmailTo->setText("someone.else@example.com");
    f.GrownAmount->setText("not a number");
    f.FileExtensionsCheckBox->setChecked(true);
    f.AllowChangesCheckBox->setChecked(false);
    f.CancelButtonClick();
    EXPECT_EQ(f.EmailTo->text(), "admin@example.com");
    EXPECT_EQ(f.GrownAmount->text(), "35");
    EXPECT_FALSE(f.FileExtensionsCheckBox->isChecked());
    EXPECT_TRUE(f.AllowChangesCheckBox->isChecked());
    EXPECT_TRUE(f.ExceptionEmailRadio->isChecked());
}

TEST_F(OptionsFormTest, AmountThatIsNoNumberIsStoredAsZero)
{
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    f.GrownAmount->setText("twelve");
    f.SaveOptions();
    EXPECT_EQ(Settings().ReadInteger("EmailGrownBy"), 0);
}

TEST_F(OptionsFormTest, UnitTheBoxDoesNotOfferIsKept)
{
    {
        vm::TRegistry registry;
        registry.OpenKey(vm::kSettingsKey, true);
        registry.WriteString("EmailGrownUnit", "KB");
    }
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    EXPECT_EQ(f.GrownComboBox->currentText(), "KB");
    f.SaveOptions();
    EXPECT_EQ(Settings().ReadString("EmailGrownUnit"), "KB");
}

TEST_F(OptionsFormTest, UncheckedShellExtensionRemovesTheEntriesEvenIfNeverWritten)
{
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    EXPECT_FALSE(f.ShellExtCheckBox->isChecked());
    f.OKButtonClick(); // nothing to remove: no message
    EXPECT_TRUE(ui_.Shown.empty());
    EXPECT_FALSE(Shell().IsRegistered());

    f.ShellExtCheckBox->setChecked(true);
    f.OKButtonClick();
    EXPECT_TRUE(Shell().IsRegistered());
    f.LoadOptions();
    EXPECT_TRUE(f.ShellExtCheckBox->isChecked());

    f.ShellExtCheckBox->setChecked(false);
    f.OKButtonClick();
    EXPECT_FALSE(std::filesystem::exists(Shell().ServiceMenuPath()));
    EXPECT_FALSE(std::filesystem::exists(Shell().NautilusScriptPath()));
    EXPECT_TRUE(ui_.Shown.empty());
}

TEST_F(OptionsFormTest, MissingProgramIsReportedButTheEntriesAreWritten)
{
    context_.ProgramPath = dir_ / "no-such-volumark";
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    f.ShellExtCheckBox->setChecked(true);
    f.OKButtonClick();
    ASSERT_EQ(ui_.Shown.size(), 1u);
    EXPECT_EQ(ui_.Shown[0].Text, "Explore shell extension : can't find " +
                                     (dir_ / "no-such-volumark") +
                                     "\nPlease copy from the Volumark directory to " + dir_.Path());
    EXPECT_TRUE(vm::TShellIntegration(dir_ / "share", context_.ProgramPath).IsRegistered());
}

TEST_F(OptionsFormTest, EmailCheckBoxGovernsTheControlsOfItsPage)
{
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    f.GrownCheckBox->setEnabled(true);
    f.EmailCheckBox->setChecked(false);
    for (QWidget* w :
         {static_cast<QWidget*>(f.ProfileComboBox), static_cast<QWidget*>(f.EmailTo),
          static_cast<QWidget*>(f.EmailToButton), static_cast<QWidget*>(f.EmailAlwaysRadio),
          static_cast<QWidget*>(f.ExceptionEmailRadio),
          static_cast<QWidget*>(f.SendSubjectCheckBox),
          static_cast<QWidget*>(f.findChild<QLabel*>("EmailToLabel"))})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.EmailCheckBox->isEnabled());
    // The group's controls are unusable with their group, but keep their own states.
    EXPECT_FALSE(f.GrownCheckBox->isEnabled());
    EXPECT_FALSE(f.GrownCheckBox->testAttribute(Qt::WA_ForceDisabled));

    f.EmailCheckBox->setChecked(true);
    EXPECT_TRUE(f.EmailTo->isEnabled());
    EXPECT_TRUE(f.SendSubjectCheckBox->isEnabled());
    EXPECT_TRUE(f.GrownCheckBox->isEnabled());
    EXPECT_TRUE(f.GrownAmount->isEnabled());
    // Free space is never offered.
    EXPECT_FALSE(f.DiskFreeCheckBox->isEnabled());
    EXPECT_FALSE(f.DiskFreeAmount->isEnabled());
    EXPECT_FALSE(f.DiskFreeComboBox->isEnabled());
    // Other pages are not touched.
    f.EmailCheckBox->setChecked(false);
    EXPECT_TRUE(f.EmailDialogCheckBox->isEnabled());
    EXPECT_TRUE(f.AllowChangesCheckBox->isEnabled());
}

TEST_F(OptionsFormTest, LoadingSetsTheEnabledStatesToo)
{
    {
        vm::TRegistry registry;
        registry.OpenKey(vm::kSettingsKey, true);
        registry.WriteBool("EmailCommandLine", false);
    }
    vm::TToolsOptionsForm& f = Form();
    f.LoadOptions();
    EXPECT_FALSE(f.EmailTo->isEnabled());
}

TEST_F(OptionsFormTest, UnreadableSettingsAreReportedAndTheControlsKept)
{
    setenv("VOLUMARK_REGISTRY", (dir_ / "no-such-dir/x/registry.ini").c_str(), 1);
    dir_.WriteFile("no-such-dir", "a file where a folder should be");
    vm::TToolsOptionsForm& f = Form();
    f.EmailTo->setText("kept");
    f.FileExtensionsCheckBox->setChecked(false);
    EXPECT_FALSE(f.LoadOptions());
    ASSERT_EQ(ui_.Shown.size(), 1u);
    EXPECT_EQ(ui_.Shown[0].Text, "Can't read registry settings");
    EXPECT_EQ(f.EmailTo->text(), "kept");
    EXPECT_TRUE(f.FileExtensionsCheckBox->isChecked()); // set before every load
}

TEST_F(OptionsFormTest, ProfileBoxStartsWithTheDefaultProfile)
{
    dir_.WriteFile("mail.ini", "[Profiles]\nDefaultProfile=Office\n\n[Profile Home]\n"
                               "Transport=sendmail\n[Profile Office]\nTransport=smtp\n");
    vm::TToolsOptionsForm& f = Form();
    f.FillProfiles();
    ASSERT_EQ(f.ProfileComboBox->count(), 2);
    EXPECT_EQ(f.ProfileComboBox->itemText(0), "Office");
    EXPECT_EQ(f.ProfileComboBox->itemText(1), "Home");
}

TEST_F(OptionsFormTest, AddressBookPickerFillsEmailTo)
{
    dir_.WriteFile("mail.ini", "[Profiles]\nDefaultProfile=Office\n[Profile Office]\n"
                               "Transport=sendmail\nCommand=/bin/true\n[Address Book]\n"
                               "Administrator=admin@example.com\nJohn Smith=john@example.com\n");
    ui_.Picks.push_back({"Administrator", "John Smith"});
    vm::TToolsOptionsForm& f = Form();
    f.EmailTo->setText("Administrator; ");
    f.EmailToButtonClick();
    EXPECT_EQ(f.EmailTo->text(), "Administrator;John Smith");
    EXPECT_FALSE(ui_.Busy);
}

TEST_F(OptionsFormTest, AddressBookWithoutMailIsReported)
{
    vm::TToolsOptionsForm& f = Form();
    f.EmailTo->setText("kept");
    f.EmailToButtonClick();
    ASSERT_EQ(ui_.Shown.size(), 1u);
    // Says that mail is not set up, and where it is set up.
    EXPECT_EQ(ui_.Shown[0].Text, "Mail is not set up: the mail file " +
                                     vm::TMailFile::DefaultPath() +
                                     " has no profile that can send");
    EXPECT_EQ(f.EmailTo->text(), "kept");
    EXPECT_FALSE(ui_.Busy);
}

TEST_F(OptionsFormTest, HelpButtonAsksForContext250)
{
    int asked = 0;
    QObject::connect(&Form(), &vm::TToolsOptionsForm::HelpRequested,
                     [&](int context) { asked = context; });
    Form().HelpButton->click();
    EXPECT_EQ(asked, 250);
}

} // namespace
} // namespace vmtest
