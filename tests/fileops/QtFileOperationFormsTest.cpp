// The dialogs of deleting and copying and the properties dialog on the offscreen platform: the
// file question and its "Do not show" box, the directory dialog's checks, details and Proceed,
// the copy options' OK, and Properties' Apply and Cancel.
#include "core/DirStorage.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeleteDirectoryForm.h"
#include "fileops/DeleteFileForm.h"
#include "fileops/FilePropForm.h"
#include "platform/FileAttributes.h"
#include "platform/Registry.h"
#include "platform/ScriptedUserInterface.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace vm;
using namespace vmtest;

namespace {

namespace fs = std::filesystem;

TEST(DeleteFileFormTest, TheQuestionAndItsBoxThatTurnsConfirmDeletionsOff)
{
    bool confirm = true;
    TDeleteFileForm form([&confirm](bool on) { confirm = on; });
    EXPECT_EQ(form.windowTitle(), "Confirm deletion options");
    form.Initialise("a.txt", faReadOnly);
    EXPECT_EQ(form.MessageMemo->toPlainText().toStdString(),
              "The file a.txt is a read only file\n\nAre you sure you want still want to delete ?");
    QTimer::singleShot(0, &form, [&form] {
        EXPECT_FALSE(form.DoNotShowCheckBox->isChecked()); // each showing starts unchecked
        form.DoNotShowCheckBox->click();
        form.NoButton->click();
    });
    form.DoNotShowCheckBox->setChecked(true);
    EXPECT_EQ(form.exec(), idNo);
    EXPECT_FALSE(confirm);
    QTimer::singleShot(0, &form, [&form] {
        form.DoNotShowCheckBox->click(); // checked ...
        form.DoNotShowCheckBox->click(); // ... and unchecked again: ask again
        form.YesButton->click();
    });
    EXPECT_EQ(form.exec(), idYes);
    EXPECT_TRUE(confirm);
    QTimer::singleShot(0, &form, [&form] { form.CancelButton->click(); });
    EXPECT_EQ(form.exec(), idCancel);
}

// data/ [old/ [a.txt, b.txt]] logged into memory.
class DeleteDirectoryFormTest : public ::testing::Test
{
protected:
    DeleteDirectoryFormTest()
    {
        dir_.MakeDir("data/old");
        dir_.WriteFile("data/old/a.txt", "a");
        dir_.WriteFile("data/old/b.txt", "b");
        log_.BuildLog({{dir_ / "data/", 4096}});
        form_.GetDirectoryStats(log_, log_.FindPath(dir_ / "data/old"), fs_, false);
    }
    TempDir dir_;
    TMemoryStream stream_;
    TDirStorage log_{stream_};
    TPosixFileSystem fs_;
    TDeleteDirectoryForm form_;
};

TEST_F(DeleteDirectoryFormTest, ChecksThatFindNothingShowBothLinesAndWaitForProceed)
{
    EXPECT_EQ(form_.InfoLabel->text().toStdString(),
              "About to delete 0 directories containing 2 files totalling 12 KB in size from " +
                  dir_ / "data/old");
    QTimer::singleShot(0, &form_, [this] {
        EXPECT_FALSE(form_.DontShowAgainCheckBox->isEnabled()); // both checks on
        EXPECT_FALSE(form_.BottomPanel->isVisible());
        form_.OKButton->click();
        EXPECT_EQ(form_.ExceptionMemo->toPlainText().toStdString(),
                  "** No files have been modified or deleted **\n** No new files have been "
                  "added **");
        EXPECT_EQ(form_.OKButton->text(), "Proceed");
        EXPECT_TRUE(form_.BottomPanel->isVisible());
        EXPECT_TRUE(fs::exists(dir_ / "data/old/a.txt")); // it waits
        form_.OKButton->click();
    });
    EXPECT_EQ(form_.exec(), QDialog::Accepted);
    EXPECT_FALSE(fs::exists(dir_ / "data/old"));
    EXPECT_TRUE(form_.Outcome().DirectoryMarked);
}

TEST_F(DeleteDirectoryFormTest, DetailsOpenAndCloseAndCancelKeepsEverything)
{
    dir_.WriteFile("data/old/new.txt", "n");
    form_.CheckModFiles->setChecked(false);
    QTimer::singleShot(0, &form_, [this] {
        form_.OKButton->click(); // the check finds new.txt
        EXPECT_EQ(form_.ExceptionMemo->toPlainText().toStdString(),
                  "New file - " + dir_ / "data/old/new.txt");
        EXPECT_EQ(form_.ProgressLabel->text(), "Checked for new files ...");
        EXPECT_EQ(form_.ProgressBar->value(), 100);
        form_.CancelButton->click();
    });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
    EXPECT_TRUE(fs::exists(dir_ / "data/old/new.txt"));

    // Without checks the dialog may be told not to show again; OK deletes at once.
    form_.ChecknewFiles->setChecked(false);
    EXPECT_TRUE(form_.DontShowAgainCheckBox->isEnabled());
    form_.OKButton->setText("Details >>");
    form_.OKButtonClick();
    EXPECT_EQ(form_.OKButton->text(), "Details <<");
    EXPECT_FALSE(form_.BottomPanel->isHidden());
    form_.OKButtonClick();
    EXPECT_EQ(form_.OKButton->text(), "Details >>");
    EXPECT_TRUE(form_.BottomPanel->isHidden());
    form_.ConfirmAtOnce();
    EXPECT_TRUE(form_.Outcome().Ran);
    EXPECT_FALSE(fs::exists(dir_ / "data/old"));
}

TEST(CopyOptionsFormTest, OkChecksThePathAndKeepsTheChoiceInTheSettings)
{
    TempDir dir;
    setenv("VOLUMARK_REGISTRY", (dir / "registry.ini").c_str(), 1);
    TScriptedUserInterface ui;
    TCopyOptionsForm form(ui);
    EXPECT_EQ(form.windowTitle(), "Copy options");
    EXPECT_TRUE(form.KeepStructureCheckBox->isChecked());
    QTimer::singleShot(0, &form, [&] {
        form.OKButton->click(); // empty: stays open
        EXPECT_TRUE(form.isVisible());
        form.InputPathComboBox->setEditText(QString::fromStdString(dir / "backup"));
        form.KeepStructureCheckBox->setChecked(false);
        ui.Answers = {idYes};
        form.OKButton->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(ui.Texts().front(), "Invalid directory name");
    EXPECT_EQ(form.Destination(), dir / "backup/");
    EXPECT_TRUE(fs::is_directory(dir / "backup"));
    EXPECT_EQ(form.InputPathComboBox->count(), 1); // the list of this session

    TCopyOptionsForm again(ui); // the next session starts from the settings
    EXPECT_EQ(again.InputPathComboBox->currentText().toStdString(), dir / "backup");
    EXPECT_FALSE(again.KeepStructureCheckBox->isChecked());
    unsetenv("VOLUMARK_REGISTRY");
}

TEST(FilePropFormTest, ApplyShowsTheNewSpaceAndCancelLeavesTheRowAsTheLogHadIt)
{
    TempDir dir;
    dir.MakeDir("t");
    dir.WriteFile("t/one", "1");
    ::chmod((dir / "t/one").c_str(), 0644);
    TMemoryStream stream;
    TDirStorage log(stream);
    log.BuildLog({{dir / "t/", 0}});
    TPosixFileSystem fs;
    TNoNetWareClient netware;
    const TLocale locale = TLocale::Classic();
    TScriptedUserInterface ui;
    TFileProperties properties(fs, netware, locale);
    properties.Load(log, log.FindPath(dir / "t/one"), {4096, "ext4"}, {});
    int applied = 0;
    TFilePropForm form(properties, [&](TFileProperties& p, bool readOnly, bool compressed) {
        ++applied;
        return p.Apply(log, readOnly, compressed, ui);
    });
    form.LoadPropertyText(QIcon());
    EXPECT_EQ(form.windowTitle(), "Properties");
    EXPECT_EQ(form.SpaceLabel->text(), "1 KB (1 bytes)");
    EXPECT_FALSE(form.ApplyButton->isEnabled());
    // What Linux has instead of the Windows facts: no MS-DOS name, hidden, archive or system.
    EXPECT_EQ(form.PermissionsLabel->text().toStdString(), properties.Permissions);
    EXPECT_EQ(form.PermissionsLabel->text().left(10), "-rw-r--r--");
    EXPECT_EQ(form.LinksLabel->text(), "1");
    EXPECT_FALSE(form.GroupLabel->text().isEmpty());
    for (const QLabel* label : form.findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains("MS-DOS")) << label->text().toStdString();
    QStringList boxes;
    for (const QCheckBox* box : form.findChildren<QCheckBox*>())
        if (!box->isHidden())
            boxes << box->text();
    EXPECT_EQ(boxes, (QStringList{"Read-only", "Compressed"}));
    QTimer::singleShot(0, &form, [&form] { form.CancelButton->click(); });
    form.exec();
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(form.ResultingAllocated(), 1);

    QTimer::singleShot(0, &form, [&form] {
        form.ReadOnlyCheckBox->click(); // enables Apply
        form.ReadOnlyCheckBox->click();
        EXPECT_TRUE(form.ApplyButton->isEnabled());
        form.OKButton->click(); // applies, then closes
    });
    form.exec();
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(form.ResultingAllocated(), 4096);
    EXPECT_EQ(form.SpaceLabel->text(), "4 KB (4096 bytes)");
}

} // namespace
