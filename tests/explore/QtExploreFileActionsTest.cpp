// The explore window's file actions on the offscreen platform over a logged real tree: the row
// pop-up menu and its tag items, selecting all files, deleting rows and what the window shows
// afterwards, Properties writing the new space into its row, the rubbish bin with nothing in it,
// and copying.
#include "core/DirStorage.h"
#include "core/TagSettings.h"
#include "explore/ExploreForm.h"
#include "explore/QtFileListModel.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/DeleteDirectoryForm.h"
#include "fileops/FilePropForm.h"
#include "fileops/QtFileOperations.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "references/Options.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <filesystem>

using namespace vm;

namespace {

using vmtest::Idle;
using vmtest::RowName;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

namespace fs = std::filesystem;

// home/ [docs/ [a.txt, b.txt (10,000 bytes), c.txt, gone.txt (marked deleted), old/ [o.txt]],
// one (1 byte)] logged as log 7 of reference 1 with unit 0 (the reference says 4096); tag 2 is
// checked in the log.
class ExploreFileActionsTest : public vmtest::FrameTest
{
protected:
    ExploreFileActionsTest()
    {
        TExploreChild::StepMilliseconds = 25;
        dir_.MakeDir("home/docs/old");
        for (const char* name : {"docs/a.txt", "docs/c.txt", "docs/gone.txt", "docs/old/o.txt"})
            dir_.WriteFile(std::string("home/") + name, name);
        dir_.WriteFile("home/docs/b.txt", std::string(10000, 'b'));
        dir_.WriteFile("home/one", "1");
        dir_.MakeDir("Ref0001");
        TIniFile ini(dir_ / "Volumark.ini");
        ini.WriteString("Ref0001", "Name", "Home");
        ini.WriteString("Ref0001", "Path0", H(""));
        ini.WriteString("Ref0001", "AllocUnit0", "4096");
        ini.WriteString("Ref0001", "System0", "ext4");
        log_ = dir_ / "Ref0001/Log0007.kdf";
        {
            TFileStream file(log_, TFileMode::Create);
            TDirStorage log(file);
            log.BuildLog({{H(""), 0}});
            TTagSettings tags;
            tags.Checked[1] = true;
            tags.Save(log);
            log.WriteTags(log.FindPath(H("docs/gone.txt")), kTagDeleted);
            file.Flush();
        }
        fs::remove(H("docs/gone.txt"));
    }
    std::string H(const std::string& name) const { return dir_ / ("home/" + name); }
    uint32_t Tags(const std::string& name)
    {
        TFileStream file(log_, TFileMode::OpenRead);
        TDirStorage log(file);
        return log.ReadTags(log.FindPath(H(name)));
    }
    TExploreChild* Open(const std::string& directory)
    {
        frame_->DisplayLog(1, 7);
        auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
        Idle(child);
        SelectNode(child, directory);
        Idle(child);
        return child;
    }
    static QAction* Item(TExploreChild* child, const QString& name)
    {
        for (QAction* a : child->ChildPopupMenu->actions())
            if (a->objectName() == name)
                return a;
        return nullptr;
    }
    void Popup(TExploreChild* child)
    {
        child->ChildPopupMenuPopup(QPoint(5, 5));
        child->ChildPopupMenu->hide();
    }

    std::string log_;
};

TEST_F(ExploreFileActionsTest, PopupTagItemsAndSelectAllFiles)
{
    TExploreChild* child = Open("docs");
    ASSERT_EQ(child->Rows().Count(), 5);
    SelectRows(child, {"gone.txt"}); // dimmed
    Popup(child);
    EXPECT_FALSE(child->Open1->isEnabled() || child->QuickView1->isEnabled() ||
                 child->Properties1->isEnabled() || child->DeleteSelected1->isEnabled());
    EXPECT_EQ(child->ChildPopupMenu->actions().size(), 8);         // no tag items
    EXPECT_FALSE(child->CopyFilesMenu->menuAction()->isEnabled()); // standard view

    // Three rows, two with tag 2: the item sets it on all three, then clears it on all three.
    {
        TFileStream file(log_, TFileMode::OpenReadWrite);
        TDirStorage log(file);
        log.SetTag(log.FindPath(H("docs/a.txt")), 1);
        log.SetTag(log.FindPath(H("docs/b.txt")), 1);
        file.Flush();
    }
    child->Refresh();
    Idle(child);
    SelectRows(child, {"a.txt", "b.txt", "c.txt"});
    Popup(child);
    QAction* tag2 = Item(child, "MenuClickTag1");
    ASSERT_NE(tag2, nullptr);
    EXPECT_EQ(tag2->text(), "Tag 2");
    EXPECT_FALSE(tag2->isChecked());
    EXPECT_NE(Item(child, "ClearAllTagsClick"), nullptr);
    EXPECT_FALSE(child->Open1->isEnabled()); // several rows
    tag2->trigger();
    EXPECT_EQ(Tags("docs/a.txt") & Tags("docs/b.txt") & Tags("docs/c.txt"), 2u);
    EXPECT_EQ(child->Table().Entry(RowPosition(child, "c.txt")).Tags, 2u);
    Popup(child);
    ASSERT_TRUE(Item(child, "MenuClickTag1")->isChecked());
    Item(child, "MenuClickTag1")->trigger();
    EXPECT_EQ(Tags("docs/a.txt") | Tags("docs/b.txt") | Tags("docs/c.txt"), 0u);

    child->SelectAllFiles1->trigger();
    const QModelIndexList selected = child->FileListView->selectionModel()->selectedRows();
    EXPECT_EQ(selected.size(), 4); // all but the deleted row
    for (const QModelIndex& index : selected)
        EXPECT_NE(RowName(child, index.row()), "gone.txt");
}

TEST_F(ExploreFileActionsTest, DeletingRowsDimsThemAndCountsTheDeletedTotal)
{
    TExploreChild* child = Open("docs");
    child->DeleteFilesAction->trigger(); // nothing in the rubbish bin
    EXPECT_EQ(ui_.Texts().back(), "No file(s) marked for deletion in " + H("docs/"));

    SelectRows(child, {"b.txt", "old"});
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "1 directories 1 files selected - 10 KB");
    ui_.Answers = {idYes};
    TDeleteDirectoryForm& dialog = *frame_->FileOperations().DeleteDirectoryForm;
    dialog.CheckModFiles->setChecked(false); // set back on when the deletion starts
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_TRUE(dialog.CheckModFiles->isChecked());
        dialog.OKButton->click(); // the checks find nothing ...
        dialog.OKButton->click(); // ... and Proceed
    });
    child->DeleteSelectedFiles1->trigger();
    EXPECT_EQ(ui_.Shown[1].Text, "\nOK to delete 1 directories  and 1 files \ntotalling 10 KB in "
                                 "size\nfrom " +
                                     H("docs/"));
    EXPECT_FALSE(fs::exists(H("docs/b.txt")) || fs::exists(H("docs/old")));
    EXPECT_EQ(Tags("docs/b.txt"), kTagDeleted);
    EXPECT_EQ(Tags("docs/old/o.txt"), kTagDeleted);
    EXPECT_EQ(child->AccumulatorLabel->text(), "(Deleted 10 KB)  ");
    EXPECT_EQ(child->Table().Entry(RowPosition(child, "b.txt")).Tags, kTagDeleted);
    EXPECT_FALSE(child->FileListView->selectionModel()->hasSelection());
    EXPECT_TRUE(child->FileListView->isEnabled());
    EXPECT_TRUE(child->DeleteFilesAction->isEnabled());
    EXPECT_TRUE(child->Close1->isEnabled());
    EXPECT_FALSE(child->Busy);

    // A focused path row is refused.
    child->UpOneLevel();
    Idle(child);
    child->UpOneLevel();
    Idle(child);
    SelectRows(child, {H("")});
    child->DeleteSelectedFiles1->trigger();
    EXPECT_EQ(ui_.Texts().back(), "Cannot delete a path - only files and directories can be "
                                  "deleted");
    EXPECT_TRUE(fs::is_directory(H("")));
}

// With changes to the log allowed a deleted row takes no space, and the status bar's total of
// the listed space says so at once, without a refresh.
TEST_F(ExploreFileActionsTest, DeletingWithChangesAllowedLowersTheListedSpace)
{
    TRegistry registry;
    TOptions options;
    options.AllowLiveLogs = true;
    ASSERT_TRUE(options.Save(registry));
    TExploreChild* child = Open("docs");
    EXPECT_EQ(child->ChildStatusBar->PanelText(1), "Size 10 KB    Space taken 10 KB");
    SelectRows(child, {"b.txt"});
    ui_.Answers = {idYes};
    child->DeleteSelectedFiles1->trigger();
    EXPECT_EQ(child->Table().Text(RowPosition(child, "b.txt"), kColSpace), "0 KB");
    EXPECT_EQ(child->ChildStatusBar->PanelText(1), "Size 10 KB    Space taken 1 KB");
}

TEST_F(ExploreFileActionsTest, PropertiesWritesTheNewSpaceIntoTheRow)
{
    TExploreChild* child = Open(H(""));
    SelectRows(child, {"one"});
    EXPECT_EQ(child->Table().Text(RowPosition(child, "one"), kColSpace), "1 KB");
    QTimer::singleShot(0, child, [] {
        auto* form = qobject_cast<TFilePropForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Tag, 1);
        form->ReadOnlyCheckBox->click();
        form->ReadOnlyCheckBox->click();
        form->OKButton->click();
    });
    child->PropertiesClick();
    EXPECT_EQ(child->Table().Entry(RowPosition(child, "one")).Allocated,
              4096); // unit of the reference
    EXPECT_EQ(child->Table().Text(RowPosition(child, "one"), kColSpace), "4 KB");
}

TEST_F(ExploreFileActionsTest, CopyingFromTheAllFilesViewKeepsTheFolders)
{
    TExploreChild* child = Open("docs");
    child->ViewAllAction->trigger();
    Idle(child);
    Popup(child);
    EXPECT_TRUE(child->CopyAllFilesAction->isEnabled());
    TCopyOptionsForm& dialog = *frame_->FileOperations().CopyOptionsForm;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.InputPathComboBox->setEditText(QString::fromStdString(dir_ / "copies"));
        ui_.Answers = {idYes}; // create it
        dialog.OKButton->click();
    });
    child->CopyAllFilesAction->trigger();
    EXPECT_EQ(dir_.ReadFile("copies/old/o.txt"), "docs/old/o.txt");
    EXPECT_EQ(dir_.ReadFile("copies/a.txt"), "docs/a.txt");
    EXPECT_FALSE(fs::exists(dir_ / "copies/gone.txt"));
}

} // namespace
