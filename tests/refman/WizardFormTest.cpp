// The reference wizard's window, driven through its buttons on the offscreen platform.
#include "refman/WizardForm.h"

#include "RefManData.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace vm;
using vmtest::RefManData;

namespace {

class WizardFormTest : public ::testing::Test
{
protected:
    WizardFormTest()
    {
        tree = fx.MakeTree("t");
        form.show();
        QApplication::processEvents();
    }
    int Page() const { return form.PageControl->currentIndex() + 1; }

    RefManData fx;
    TScriptedUserInterface ui;
    TWizardForm form{fx.Store, ui};
    std::string tree;
};

TEST_F(WizardFormTest, BackAndNextThroughThePagesMakeOneReference)
{
    EXPECT_EQ(form.windowTitle(), "New Reference Wizard");
    EXPECT_EQ(Page(), 1);
    EXPECT_FALSE(form.BackButton->isEnabled());
    EXPECT_EQ(form.NextButton->text(), "&Next >");
    EXPECT_EQ(form.DriveComboBox->itemText(0), "/");
    form.NextButtonClick();
    form.ReferenceName->setText("Projects");
    form.NextButtonClick();
    ASSERT_EQ(Page(), 3);
    ui.Inputs = {tree};
    form.SpecifyButtonClick();
    EXPECT_EQ(ui.Shown.back().Text, "Enter the full path (e.g. /srv/data or /mnt/fs1/users)");
    EXPECT_EQ(form.RefPathListView->topLevelItemCount(), 1);
    form.NextButtonClick();
    ASSERT_EQ(Page(), 4);
    form.BackButtonClick();
    form.BackButtonClick();
    form.ReferenceName->setText("Projects 2");
    form.NextButtonClick();
    form.NextButtonClick();
    ASSERT_EQ(Page(), 4);
    EXPECT_EQ(TIniFile(fx.Ini()).ReadSections(), std::vector<std::string>{"Ref0000"});
    EXPECT_EQ(fx.Store.RefName(0), "Projects 2");

    // Without logging, "Finish" closes the wizard and leaves the reference unlogged.
    form.LogNowCheckBox->click();
    EXPECT_EQ(form.NextButton->text(), "Finish");
    form.BackButtonClick();
    EXPECT_EQ(form.NextButton->text(), "&Next >");
    form.NextButtonClick();
    EXPECT_EQ(form.NextButton->text(), "Finish");
    form.NextButtonClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fx.RefFiles(0).empty());
}

TEST_F(WizardFormTest, ShowingItAgainStartsAfreshAndDeleteFollowsTheSelection)
{
    form.NextButtonClick();
    form.ReferenceName->setText("Old");
    form.NextButtonClick();
    ui.Inputs = {tree};
    form.SpecifyButtonClick();
    EXPECT_FALSE(form.DeleteButton->isEnabled());
    form.RefPathListView->topLevelItem(0)->setSelected(true);
    EXPECT_TRUE(form.DeleteButton->isEnabled());
    form.DeleteButtonClick();
    EXPECT_EQ(form.RefPathListView->topLevelItemCount(), 0);

    ui.Answers = {idYes};
    form.CancelButtonClick();
    EXPECT_EQ(ui.Texts().back(), "Are you sure you want to cancel the new reference ?");
    EXPECT_FALSE(form.isVisible());
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(Page(), 1);
    EXPECT_TRUE(form.ReferenceName->text().isEmpty());
    EXPECT_TRUE(form.LogNowCheckBox->isChecked());
    EXPECT_EQ(form.CancelButton->text(), "Cancel");
}

TEST_F(WizardFormTest, LoggingShowsTheItemAndOffersTheLog)
{
    std::vector<std::pair<int, int>> opened;
    form.DisplayLog = [&](int ref, int log) { opened.push_back({ref, log}); };
    form.NextButtonClick();
    form.ReferenceName->setText("Logged");
    form.NextButtonClick();
    ui.Inputs = {tree};
    form.SpecifyButtonClick();
    form.NextButtonClick();
    bool seen = false;
    ui.OnProcessMessages = [&] {
        if (seen)
            return;
        seen = true;
        EXPECT_EQ(Page(), 5);
        EXPECT_FALSE(form.BackButton->isEnabled());
        EXPECT_FALSE(form.NextButton->isEnabled());
        EXPECT_EQ(form.CancelButton->text(), "Cancel log");
        EXPECT_FALSE(form.ProcessingFile->text().isEmpty());
    };
    ui.Answers = {idYes};
    form.NextButtonClick();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(opened, (std::vector<std::pair<int, int>>{{0, 1}}));
}

TEST_F(WizardFormTest, ControlsCarryTheirNames)
{
    for (const char* name :
         {"PageControl", "ReferenceName", "DriveComboBox", "AddButton", "DeleteButton",
          "NetworkButton", "SpecifyButton", "RefPathListView", "LogNowCheckBox", "ProcessingFile",
          "BackButton", "NextButton", "CancelButton", "HelpButton", "Picture"})
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
    for (QWidget* w :
         {static_cast<QWidget*>(form.ReferenceName), static_cast<QWidget*>(form.DriveComboBox),
          static_cast<QWidget*>(form.RefPathListView), static_cast<QWidget*>(form.Picture)})
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
}

} // namespace
