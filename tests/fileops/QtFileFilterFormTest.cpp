// The filter dialog on the offscreen platform: which controls each choice enables, the name
// list's buttons, OK with a date that does not read, and the default kept in VMFilter.ini.
#include "fileops/FileFilterForm.h"
#include "fileops/FilterIni.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vm;

namespace {

class FileFilterFormTest : public ::testing::Test
{
protected:
    FileFilterFormTest()
        : ini_(dir_ / kFilterIniName), form_(kExploreFilterMode, ini_, ui_, images_)
    {
        for (int i = 0; i < 14; ++i)
            images_.Add(QIcon());
    }
    // Shows the dialog modally, presses OK, and says whether it closed.
    bool PressOK()
    {
        bool closed = false;
        QTimer::singleShot(0, &form_, [&] {
            form_.OKButton->click();
            closed = !form_.isVisible();
            if (!closed)
                form_.reject();
        });
        form_.exec();
        return closed;
    }

    vmtest::TempDir dir_;
    std::string ini_;
    TScriptedUserInterface ui_;
    TImageList images_;
    TFileFilterForm form_;
};

TEST_F(FileFilterFormTest, ChoicesEnableTheirControls)
{
    EXPECT_FALSE(form_.DateRangeComboBox->isEnabled());
    EXPECT_FALSE(form_.DateLow->isEnabled());
    form_.DateCheckBox->setChecked(true);
    EXPECT_TRUE(form_.DateRangeComboBox->isEnabled());
    EXPECT_TRUE(form_.DateLow->isEnabled());
    EXPECT_FALSE(form_.DateDaySpinEdit->isEnabled());
    form_.PreviousRadio->setChecked(true);
    EXPECT_FALSE(form_.DateHigh->isEnabled());
    EXPECT_TRUE(form_.DateDaySpinEdit->isEnabled());
    form_.DateCheckBox->setChecked(false);
    EXPECT_FALSE(form_.DateDaySpinEdit->isEnabled());

    form_.SizeCheckBox->setChecked(true);
    EXPECT_TRUE(form_.SizeDenoterComboBox->isEnabled());
    form_.DuplicatesCheckBox->setChecked(true);
    EXPECT_TRUE(form_.IgnoreExtensionCheckBox->isEnabled());
    EXPECT_FALSE(form_.SelectDisplayedTagsListView->isEnabled());
    form_.TagsCheckBox->setChecked(true);
    EXPECT_TRUE(form_.SelectDisplayedTagsListView->isEnabled());
    EXPECT_TRUE(form_.TagRadioGroup->isEnabled());

    // Reset turns everything off again, but "Ignore extension" keeps its mark.
    form_.IgnoreExtensionCheckBox->setChecked(true);
    form_.ResetFilter();
    EXPECT_FALSE(form_.SizeCheckBox->isChecked());
    EXPECT_FALSE(form_.DuplicatesCheckBox->isChecked());
    EXPECT_FALSE(form_.IgnoreExtensionCheckBox->isEnabled());
    EXPECT_TRUE(form_.IgnoreExtensionCheckBox->isChecked());
    EXPECT_EQ(form_.SizeDenoterComboBox->currentText(), "MB");
}

TEST_F(FileFilterFormTest, NameListTakesPatternsWithoutCommas)
{
    EXPECT_FALSE(form_.AddButton->isEnabled());
    form_.FileNameEdit->setText("*.tmp");
    EXPECT_TRUE(form_.AddButton->isEnabled());
    form_.AddButtonClick();
    form_.FileNameEdit->setText("*.tmp");
    form_.AddButtonClick();
    EXPECT_EQ(form_.FileNameListBox->count(), 1);
    EXPECT_TRUE(form_.FileNameEdit->text().isEmpty());

    form_.FileNameEdit->setText("a,b");
    form_.AddButtonClick();
    EXPECT_EQ(form_.FileNameListBox->count(), 1);
    ASSERT_EQ(ui_.Shown.size(), 1u);
    EXPECT_EQ(ui_.Shown[0].Text, "A file specification cannot contain a comma");

    form_.FileNameListBox->item(0)->setSelected(true);
    form_.RemoveButtonClick();
    EXPECT_EQ(form_.FileNameListBox->count(), 0);
}

TEST_F(FileFilterFormTest, BadDateKeepsTheDialogOpenAndAGoodOneSavesTheDefault)
{
    form_.DateCheckBox->setChecked(true);
    form_.DateLow->setText("31/31/99");
    EXPECT_FALSE(PressOK());
    ASSERT_FALSE(ui_.Shown.empty());
    EXPECT_EQ(ui_.Shown.back().Text, "31/31/99 is not a valid date - please enter again");

    form_.DateLow->setText("01/02/99");
    form_.SizeCheckBox->setChecked(true);
    form_.SaveDefaultCheckBox->setChecked(true);
    EXPECT_TRUE(PressOK());
    EXPECT_TRUE(form_.Test().DateOn);
    EXPECT_TRUE(form_.Test().SizeOn);
    EXPECT_EQ(form_.Test().Threshold, 10000000);
    EXPECT_EQ(TIniFile(ini_).ReadString(kExploreFilterSection, "Size", ""),
              "Yes,Greater than,10,MB,");
}

TEST_F(FileFilterFormTest, InitialiseLoadsTheStoredDefaultAndTagNamesComeFromTheLog)
{
    TIniFile(ini_).WriteString(kExploreFilterSection, "Tags", "Yes,1,0,11,");
    form_.Initialise(false);
    EXPECT_TRUE(form_.TagsCheckBox->isChecked());
    EXPECT_TRUE(form_.SelectedTagsRadio->isChecked());
    EXPECT_EQ(form_.Test().Mask, 0x40000001u);
    EXPECT_EQ(form_.SelectDisplayedTagsListView->item(11)->checkState(), Qt::Checked);

    TMemoryStream stream(vmtest::SyntheticLog().Root("/r/").Log({"Mine", "Yours"}));
    form_.ConstructTagNames(TDirStorage(stream));
    EXPECT_EQ(form_.SelectDisplayedTagsListView->item(1)->text(), "Yours");
    EXPECT_EQ(form_.SelectDisplayedTagsListView->item(2)->text(), "Unused");

    // A click in the tag list chooses "Show files with selected tags ".
    form_.AllTaggedRadio->setChecked(true);
    emit form_.SelectDisplayedTagsListView->itemClicked(form_.SelectDisplayedTagsListView->item(3));
    EXPECT_TRUE(form_.SelectedTagsRadio->isChecked());
}

TEST_F(FileFilterFormTest, OwnerBoxesAreOfferedOnlyWhereTheLogRecordsOwners)
{
    // A stored owner filter loaded into a window over an exact log: shown, not applied.
    TIniFile(ini_).WriteString(kExploreFilterSection, "Owner", "Yes,root,No,,");
    form_.Initialise(false);
    EXPECT_TRUE(form_.OwnerCheckBox->isChecked());
    EXPECT_FALSE(form_.OwnerCheckBox->isEnabled());
    EXPECT_FALSE(form_.OwnerEdit->isEnabled());
    EXPECT_TRUE(form_.OwnersNote->isVisibleTo(&form_));
    EXPECT_FALSE(form_.Test().OwnerOn);

    form_.SetOwnersRecorded(true);
    EXPECT_FALSE(form_.OwnersNote->isVisibleTo(&form_));
    EXPECT_TRUE(form_.OwnerEdit->isEnabled());
    EXPECT_FALSE(form_.GroupEdit->isEnabled());
    EXPECT_TRUE(form_.Test().OwnerOn);
    EXPECT_EQ(form_.Test().Owner, 0u);

    // An owner no account has keeps the dialog open with the focus on it.
    form_.OwnerEdit->setText("no-such-user-here");
    EXPECT_FALSE(PressOK());
    ASSERT_FALSE(ui_.Shown.empty());
    EXPECT_EQ(ui_.Shown.back().Text,
              "\"no-such-user-here\" is not a user of this system - please enter a name or a "
              "number");

    // The compare window's lists carry no owners: its dialog has no owner boxes.
    TFileFilterForm compare(kCompareFilterMode, ini_, ui_, images_);
    EXPECT_FALSE(compare.OwnerCheckBox->isVisibleTo(&compare));
    EXPECT_FALSE(compare.OwnersNote->isVisibleTo(&compare));
}

} // namespace
