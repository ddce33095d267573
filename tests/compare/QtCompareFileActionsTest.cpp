// The compare window's actions on the disk, offscreen, over two logs of a real tree and their
// comparison: deleting selected rows (never a top-level path, never an entry only the old log
// has), the same refused when the newer log no longer matches, and Properties writing the space
// now into its row.
#include "compare/CompChildForm.h"
#include "compare/CompareDeletion.h"
#include "compare/QtCompareListModel.h"
#include "core/LogFile.h"
#include "fileops/CopyOptionsForm.h"
#include "fileops/EntryOnDisk.h"
#include "fileops/FileActions.h"
#include "fileops/FilePropForm.h"
#include "fileops/QtFileOperations.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "references/CompareRun.h"
#include "references/Options.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <filesystem>

using namespace vm;

namespace {

using vmtest::Idle;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

namespace fs = std::filesystem;

// home/ [docs/ [a.txt, b.txt (10,000 bytes)], keep.txt, old.txt] logged as log 3 of reference 1
// with unit 4096; then old.txt removed and new.txt added, logged as log 4; and their comparison.
class CompareFileActionsTest : public vmtest::FrameTest
{
protected:
    CompareFileActionsTest()
    {
        dir_.MakeDir("home/docs");
        dir_.WriteFile("home/docs/a.txt", "a");
        dir_.WriteFile("home/docs/b.txt", std::string(10000, 'b'));
        dir_.WriteFile("home/keep.txt", "k");
        dir_.WriteFile("home/old.txt", "o");
        dir_.MakeDir("Ref0001");
        TIniFile ini(dir_ / "Volumark.ini");
        ini.WriteString("Ref0001", "Name", "Home");
        ini.WriteString("Ref0001", "Path0", H(""));
        ini.WriteString("Ref0001", "AllocUnit0", "4096");
        ini.WriteString("Ref0001", "System0", "ext4");
        Log(dir_ / "Ref0001/Log0003.kdf");
        fs::remove(H("old.txt"));
        dir_.WriteFile("home/new.txt", "n");
        Log(newLog_);
        TPosixFileSystem disk;
        CompareLogFiles(disk, dir_ / "Ref0001/Log0003.kdf", newLog_, dir_ / "Ref0001/00030004.kcf");
    }
    void Log(const std::string& path)
    {
        TFileStream file(path, TFileMode::Create);
        TDirStorage log(file);
        log.BuildLog({{H(""), 4096}});
        file.Flush();
    }
    std::string H(const std::string& name) const { return dir_ / ("home/" + name); }
    uint32_t NewLogTags(const std::string& name) { return NewLogEntry(name).Tags; }
    TDirNode NewLogEntry(const std::string& name)
    {
        TLogFile log(newLog_, false);
        TDirNode node;
        std::string found;
        // The path itself ("") is the top level of its files.
        const int64_t at = log.Log().FindPath(H(name.empty() ? "keep.txt" : name));
        log.Log().ReadNode(name.empty() ? TopLevelOffsetOf(log.Log(), at) : at, node, found);
        return node;
    }
    TCompMDIChild* Open()
    {
        frame_->DisplayComp(1, 3, 4);
        auto* child = qobject_cast<TCompMDIChild*>(frame_->ActiveChild());
        Idle(child);
        return child;
    }
    // The tree's directory of that name; the root (the reference) for "".
    static void Show(TCompMDIChild* child, const std::string& directory)
    {
        const TDirTree& tree = child->Tree();
        for (int n = 0; n < tree.Count(); ++n)
            if (directory.empty() ? n == TDirTree::kRoot : tree.Name(n) == directory)
                child->DirTreeView->setCurrentIndex(child->TreeModel->IndexOf(n));
        Idle(child);
    }

    std::string newLog_ = dir_ / "Ref0001/Log0004.kdf";
};

TEST_F(CompareFileActionsTest, DeletionSparesPathsAndEntriesOnlyTheOldLogHas)
{
    // In the all folders view at the root the reference's path is a folder row: still never
    // deleted.
    TCompMDIChild* child = Open();
    Show(child, "");
    child->ViewFoldersAction->trigger();
    Idle(child);
    SelectRows(child, {H("")});
    ASSERT_NE(RowPosition(child, H("")), -1);
    child->DeleteSelectedFiles1->trigger();
    ASSERT_FALSE(ui_.Texts().empty());
    EXPECT_EQ(ui_.Texts().back(),
              "Cannot delete a path - only files and directories can be deleted");
    EXPECT_TRUE(fs::is_directory(H("")));

    child->ViewStandardAction->trigger();
    Show(child, H(""));
    SelectRows(child, {"keep.txt", "new.txt", "old.txt"});
    ui_.Answers = {idYes};
    child->DeleteSelected1->trigger();
    EXPECT_EQ(ui_.Texts().back(), "About to delete 2 file(s) marked for deletion totalling 8 KB "
                                  "in size\nfrom " +
                                      H(""));
    EXPECT_FALSE(fs::exists(H("keep.txt")));
    EXPECT_FALSE(fs::exists(H("new.txt")));
    EXPECT_EQ(NewLogTags("keep.txt"), kTagDeleted);
    EXPECT_EQ(NewLogTags("new.txt"), kTagDeleted);
    EXPECT_EQ(child->Rows().Row(RowPosition(child, "keep.txt")).Tags, kTagDeleted);
    // The deleted rows leave the selection; the row of the file only the old log had stays.
    const QModelIndexList left = child->FileListView->selectionModel()->selectedRows();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.front().row(), RowPosition(child, "old.txt"));
    EXPECT_FALSE(child->Busy);
    EXPECT_TRUE(child->FileListView->isEnabled());
}

TEST_F(CompareFileActionsTest, ReplacedNewLogDeletesNothing)
{
    TCompMDIChild* child = Open();
    Show(child, H(""));
    // Log 4 is now the log of another tree.
    dir_.MakeDir("other");
    dir_.WriteFile("other/zzz", std::string(3000, 'z'));
    {
        TFileStream file(newLog_, TFileMode::Create);
        TDirStorage log(file);
        log.BuildLog({{dir_ / "other/", 4096}});
        file.Flush();
    }
    SelectRows(child, {"keep.txt"});
    ui_.Answers = {idYes};
    child->DeleteSelected1->trigger();
    EXPECT_TRUE(fs::exists(H("keep.txt")));
    EXPECT_FALSE(child->TagsAvailable);
    EXPECT_NE(ui_.Texts().back().find("Log 4 no longer matches this comparison"),
              std::string::npos);
    EXPECT_FALSE(child->DeleteSelectedFiles1->isEnabled());
}

TEST_F(CompareFileActionsTest, PropertiesWritesTheSpaceNowIntoTheRow)
{
    TCompMDIChild* child = Open();
    Show(child, "docs");
    dir_.WriteFile("home/docs/a.txt", std::string(5000, 'a')); // grown since the log
    SelectRows(child, {"a.txt"});
    EXPECT_EQ(child->Table().Text(RowPosition(child, "a.txt"), kCmpNow), "4 KB");
    QTimer::singleShot(0, child, [] {
        auto* form = qobject_cast<TFilePropForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Tag, 2);
        form->ReadOnlyCheckBox->click();
        form->ReadOnlyCheckBox->click();
        form->OKButton->click();
    });
    child->PropertiesClick();
    EXPECT_EQ(child->Table().Entry(RowPosition(child, "a.txt")).AllocNow, 8192);
    EXPECT_EQ(child->Table().Text(RowPosition(child, "a.txt"), kCmpNow), "8 KB");
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "Total selected - 8 KB");
}

TEST_F(CompareFileActionsTest, RubbishBinFilesGoWithTheirSpaceWhenTheLogMayChange)
{
    {
        TLogFile log(newLog_, true);
        ApplyTagItem(log.Log(), {log.Log().FindPath(H("keep.txt"))}, 30);
        log.Flush();
    }
    TRegistry registry;
    TOptions options;
    options.AllowLiveLogs = true;
    ASSERT_TRUE(options.Save(registry));
    const int64_t pathSpace = NewLogEntry("").Allocated;

    TCompMDIChild* child = Open();
    Show(child, H(""));
    // The rubbish bin shows only with the tags.
    child->DeleteFilesAction->trigger();
    EXPECT_EQ(ui_.Texts().back(), "No file(s) marked for deletion in " + H(""));
    child->ShowTags1->trigger();
    Idle(child);
    ui_.Answers = {idYes};
    child->DeleteFilesAction->trigger();
    EXPECT_EQ(ui_.Texts().back(), "About to delete 1 files marked for deletion totalling 4 KB in "
                                  "size\nfrom " +
                                      H(""));
    EXPECT_FALSE(fs::exists(H("keep.txt")));
    EXPECT_TRUE(fs::exists(H("new.txt")));
    EXPECT_EQ(NewLogTags("keep.txt"), kTagDeleted);
    EXPECT_EQ(NewLogEntry("keep.txt").Allocated, 0);
    EXPECT_EQ(NewLogEntry("").Allocated, pathSpace - 4096);
    EXPECT_EQ(child->Table().Text(RowPosition(child, "keep.txt"), kCmpNow), "0 KB");
}

TEST_F(CompareFileActionsTest, CopyingAllFilesReachesThemThroughTheNewerLog)
{
    TCompMDIChild* child = Open();
    Show(child, H(""));
    child->ViewAllAction->trigger();
    Idle(child);
    TCopyOptionsForm& dialog = *frame_->FileOperations().CopyOptionsForm;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.InputPathComboBox->setEditText(QString::fromStdString(dir_ / "copies"));
        ui_.Answers = {idYes}; // create it
        dialog.OKButton->click();
    });
    child->CopyAllFiles1->trigger();
    EXPECT_EQ(dir_.ReadFile("copies/docs/b.txt"), std::string(10000, 'b'));
    EXPECT_EQ(dir_.ReadFile("copies/new.txt"), "n");
    EXPECT_FALSE(fs::exists(dir_ / "copies/old.txt")); // only the old log has it
}

} // namespace
