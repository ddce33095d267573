// The scheduler dialog and the submit dialog on the offscreen platform, over a scheduler of
// several computers, and the main window's item that opens them.
#include "support/gui/QtFrameFixture.h"

#include "platform/Registry.h"
#include "schedule/ScheduleForm.h"
#include "schedule/ScheduleSettings.h"
#include "schedule/SubmitForm.h"
#include "support/FakeScheduler.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>

namespace vmtest {
namespace {

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

class ScheduleFormTest : public FrameTest
{
protected:
    ScheduleFormTest() : form_(context_, fake_, frame_.get())
    {
        fake_.KnownServers = {"FS1", "workstation"};
        fake_.Jobs[""] = {MakeJob(10, "'/opt/vm/VM_BATCH.CMD' 'b'"), MakeJob(2, "/bin/backup")};
        fake_.Jobs["FS1"] = {MakeJob(4, "x")};
    }
    FakeScheduler fake_;
    vm::TScheduleForm form_;
};

TEST_F(ScheduleFormTest, ListsSortsAndDeletesJobs)
{
    form_.FormActivate();
    EXPECT_EQ(form_.windowTitle(), "Scheduler");
    ASSERT_EQ(form_.ServerNameCombo->count(), 1); // this computer is left out
    EXPECT_EQ(form_.ServerNameCombo->itemText(0), "FS1");
    EXPECT_EQ(form_.StatusLabel->text(), "Not connected");
    EXPECT_EQ(form_.JobList->topLevelItemCount(), 0);

    form_.ConnectButton->click();
    EXPECT_EQ(form_.StatusLabel->text(), "Connected");
    EXPECT_EQ(Column(form_.JobList, 0), (QStringList{"2", "10"}));
    EXPECT_EQ(Column(form_.JobList, 2), (QStringList{"Each Mon", "Each Mon"}));
    EXPECT_EQ(Column(form_.JobList, 3), (QStringList{"08:30:00", "08:30:00"}));
    form_.JobList->header()->sectionClicked(0);
    EXPECT_EQ(Column(form_.JobList, 0), (QStringList{"2", "10"}));
    form_.JobList->header()->sectionClicked(0);
    EXPECT_EQ(Column(form_.JobList, 0), (QStringList{"10", "2"}));

    form_.JobList->setCurrentItem(form_.JobList->topLevelItem(1));
    ui_.Answers = {vm::idOK, vm::idYes};
    form_.DeleteButton->click();
    EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{"Warning - this is not a Volumark job !!",
                                                     "OK to delete job 2"}));
    EXPECT_EQ(Column(form_.JobList, 0), QStringList{"10"});

    form_.ServerNameCombo->setEditText("FS1");
    EXPECT_EQ(form_.StatusLabel->text(), "Not connected");
    form_.ConnectButton->click();
    EXPECT_EQ(Column(form_.JobList, 4), QStringList{"x"});
    form_.CloseButton->click();
    EXPECT_EQ(vm::ReadScheduleSetting(vm::kScheduleServerValue), "FS1");

    // The stored computer is connected to when the dialog opens again.
    fake_.EnumCalls = 0;
    form_.FormActivate();
    EXPECT_EQ(form_.ServerNameCombo->currentText(), "FS1");
    EXPECT_EQ(fake_.EnumCalls, 1);
    EXPECT_EQ(form_.StatusLabel->text(), "Connected");
}

TEST_F(ScheduleFormTest, SubmitDialogBuildsAndQueuesTheJob)
{
    dir_.WriteFile("Volumark.ini", "[Ref0000]\nName=Servers\n[Ref0001]\nName=Home\n");
    dir_.MakeDir("Ref0000");
    dir_.WriteFile("Ref0000/Log0012.kdf", "");
    dir_.WriteFile("Ref0000/Log0003.kdf", "");
    dir_.MakeDir("prog");
    dir_.WriteFile("prog/VM_BATCH.CMD", "#!/bin/sh\n");
    chmod((dir_ / "prog/VM_BATCH.CMD").c_str(), 0755);

    vm::TSubmitForm& s = *form_.SubmitForm;
    EXPECT_EQ(s.windowTitle(), "Schedule a Volumark log to run on the scheduler");
    s.SetServer("");
    s.FormActivate();
    EXPECT_EQ(s.windowTitle(), "Submit job on local machine");
    // Without a stored location, the program's own directory.
    EXPECT_EQ(s.ProgramLocationEdit->text(), "/bin");
    ASSERT_EQ(s.DaysCheckList->count(), 31);
    EXPECT_EQ(s.DaysCheckList->item(21)->text(), "22nd");
    EXPECT_EQ(s.WeekdaysCheckList->item(6)->text(), "Sunday");
    ASSERT_EQ(s.ReferenceNameCombo->count(), 2);
    EXPECT_EQ(s.ReferenceNameCombo->currentIndex(), -1);

    s.ReferenceNameCombo->setCurrentIndex(0);
    ASSERT_EQ(s.LogComboBox->count(), 2);
    EXPECT_EQ(s.LogComboBox->itemText(0), "0003");
    s.LogComboBox->setCurrentIndex(1);
    s.LogComboBox->activated(1);
    EXPECT_TRUE(s.CompareSpecificRadio->isChecked());
    EXPECT_FALSE(s.CompareLatestRadio->isChecked());
    s.CompareCheckBox->setChecked(false);
    EXPECT_FALSE(s.KleanCheckBox->isEnabled());
    s.CompareCheckBox->setChecked(true);
    s.KleanCheckBox->setChecked(true);
    s.HoursEdit->setValue(23);
    s.MinutesEdit->setValue(59);
    s.WeekdaysCheckList->item(0)->setCheckState(Qt::Checked);
    s.DaysCheckList->item(30)->setCheckState(Qt::Checked);
    s.ProgramLocationEdit->setText(QString::fromStdString(dir_ / "prog"));
    EXPECT_EQ(vm::ReadScheduleSetting(vm::kServerProgramPathValue), dir_ / "prog");

    fake_.NextId = 7;
    s.SubmitButton->click();
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Successfully queued job 7"});
    EXPECT_EQ(s.result(), QDialog::Accepted);
    const vm::TSchedulerJob& job = fake_.Jobs[""].back();
    EXPECT_EQ(job.JobTime, 86340000u);
    EXPECT_EQ(job.DaysOfWeek, 0x01);
    EXPECT_EQ(job.DaysOfMonth, 0x40000000u);
    EXPECT_EQ(job.Flags, vm::jobflag::RunPeriodically);
    EXPECT_EQ(job.Command, "'" + (dir_ / "prog") + "/VM_BATCH.CMD' 'Servers' '" + dir_.Path() +
                               "' '" + (dir_ / "prog") + "/' '/c=12' '/k'");

    // Shown again: the stored location, no day checked.
    s.FormActivate();
    EXPECT_EQ(s.ProgramLocationEdit->text().toStdString(), dir_ / "prog");
    EXPECT_EQ(s.WeekdaysCheckList->item(0)->checkState(), Qt::Unchecked);
    s.SetServer("FS1");
    s.FormActivate();
    EXPECT_EQ(s.windowTitle(), "Submit job on server FS1");
}

TEST_F(ScheduleFormTest, SubmitNeedsAConnectionFirst)
{
    form_.FormActivate();
    form_.SubmitButton->click();
    EXPECT_EQ(ui_.Texts(),
              std::vector<std::string>{"Must connect to server before submitting job"});
}

TEST_F(FrameTest, SchedulerItemOpensTheDialogModally)
{
    if (!frame_->Schedule())
        GTEST_SKIP() << "no crontab command here";
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* active = QApplication::activeModalWidget();
        modal = active == frame_->Schedule();
        if (active)
            frame_->Schedule()->reject();
    });
    frame_->NTScheduler1Click();
    EXPECT_TRUE(modal);
}

} // namespace
} // namespace vmtest
