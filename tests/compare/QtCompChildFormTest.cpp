// The compare window on the offscreen platform over a real reference directory: captions, the
// read-only state, a damaged comparison, sorting by its columns, tag items on several rows, the
// compare filter, and a new log replaced by another of the same number. What it does alike with
// the explore window is tested over both in tests/listwindow/QtListWindowTest.cpp.
#include "compare/CompChildForm.h"
#include "compare/QtCompareListModel.h"
#include "core/LogFile.h"
#include "fileops/FileFilterForm.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "support/CompareSample.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <unistd.h>

using namespace vm;
using namespace vmtest;

namespace {

using vmtest::Idle;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

class CompChildFormTest : public FrameTest
{
protected:
    CompChildFormTest() { TCompMDIChild::StepMilliseconds = 25; }
    ~CompChildFormTest() override { TCompMDIChild::StepMilliseconds = 25; }

    void WriteSample() { paths_ = WriteCompareSample(dir_, SampleOldTree(), SampleNewTree()); }
    void SetTagMask(uint32_t mask)
    {
        TLogFile log(paths_.NewLog, true);
        log.Log().SetTagMask(mask);
        log.Flush();
    }
    TCompMDIChild* Open()
    {
        frame_->DisplayComp(1, 3, 4);
        auto* child = qobject_cast<TCompMDIChild*>(frame_->ActiveChild());
        Idle(child);
        return child;
    }
    // The pop-up's items beyond the fixed ones, for the row of that name.
    static QStringList TagItems(TCompMDIChild* child, const std::string& name)
    {
        const QRect rect =
            child->FileListView->visualRect(child->ListModel->index(RowPosition(child, name), 0));
        child->PopupMenuShow(rect.center());
        child->ChildPopupMenu->hide();
        QStringList items;
        const QList<QAction*> actions = child->ChildPopupMenu->actions();
        for (qsizetype i = 8; i < actions.size(); ++i)
            items << actions[i]->text() + (actions[i]->isChecked() ? " *" : "");
        return items;
    }
    uint32_t NewLogTags(TCompMDIChild* child, const std::string& name)
    {
        TLogFile log(paths_.NewLog, false);
        return log.Log().ReadTags(child->Table().Entry(RowPosition(child, name)).NewLogOffset);
    }

    CompareSamplePaths paths_;
};

TEST_F(CompChildFormTest, CaptionsAreUniqueAndTheRootListsThePaths)
{
    WriteSample();
    TCompMDIChild* first = Open();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), "Comparing log 3 with log 4");
    EXPECT_EQ(context_.ApplicationTitle, "Volumark Comparing log 3 with log 4");
    EXPECT_EQ(Open()->windowTitle(), "Comparing log 3 with log 4 (2)");
    EXPECT_EQ(first->ChildRefLabel->text(), "Home");
    EXPECT_EQ(first->property(kReferenceProperty).toInt(), 1);
    EXPECT_EQ(first->TreeModel->data(first->TreeModel->IndexOf(0)).toString(), "Log 3 with log 4");
    EXPECT_EQ(RowNames(first), std::vector<std::string>{"/data/"});
    EXPECT_EQ(first->ChildPathLabel->text(), "Contents of: Log 3 with log 4");
    EXPECT_EQ(first->ChildStatusBar->PanelText(0), "1 Object(s)");
    EXPECT_TRUE(first->DirTreeView->isExpanded(first->TreeModel->IndexOf(1)));
    EXPECT_TRUE(first->ShowAction->isEnabled());
    EXPECT_TRUE(first->PrintAction->isEnabled());
    EXPECT_TRUE(first->DeleteFilesAction->isEnabled());

    SelectNode(first, "docs");
    Idle(first);
    EXPECT_EQ(first->ChildPathLabel->text(), "Contents of: /data/docs/");
    EXPECT_EQ(first->CurrentDirectoryPath, "/data/docs/");
    EXPECT_TRUE(first->UpOneLevelAction->isEnabled());
    // "Space now" once: largest first; twice: smallest first.
    first->FileListView->header()->sectionClicked(kCmpNow);
    EXPECT_EQ(RowName(first, 0), "a.txt");
    first->FileListView->header()->sectionClicked(kCmpNow);
    EXPECT_EQ(RowName(first, 0), "new.txt");
    first->UpOneLevelAction->trigger();
    Idle(first);
    EXPECT_EQ(RowNames(first).size(), 6u);
}

TEST_F(CompChildFormTest, TheComparisonKeptOpenForPaintingOutlivesItsFileOnDisk)
{
    WriteSample();
    TCompMDIChild* child = Open();
    ASSERT_NE(child->PaintingComparison(), nullptr);
    const int version = child->PaintingComparison()->GetFileVersion();
    ASSERT_EQ(::unlink(child->ComparisonFileName.c_str()), 0);
    // The window goes on reading the comparison it shows, not whatever takes the name next.
    EXPECT_EQ(child->PaintingComparison()->GetFileVersion(), version);
    EXPECT_GT(child->PaintingComparison()->ReadRecordLength(child->Rows().Row(0).Offset), 0);
}

TEST_F(CompChildFormTest, DeletedNewLogOrOldFormatOpensReadOnly)
{
    WriteSample();
    ASSERT_EQ(::unlink(paths_.NewLog.c_str()), 0);
    TCompMDIChild* child = Open();
    EXPECT_EQ(child->windowTitle(), "Comparing log 3 with log 4 [read only]");
    EXPECT_EQ(context_.ApplicationTitle, "Volumark Comparing log 3 with log 4 [read only]");
    EXPECT_FALSE(child->TagsAvailable);
    EXPECT_FALSE(child->ShowAction->isEnabled());
    EXPECT_EQ(child->ShowButton->toolTip(), "Can't show tags - log has been deleted");
    EXPECT_FALSE(child->TagFilterAction->isEnabled());
    EXPECT_FALSE(child->TagSettingsAction->isEnabled());
    // A second one is made unique without its suffix.
    EXPECT_EQ(Open()->windowTitle(), "Comparing log 3 with log 4 (2) [read only]");

    // A comparison of the first format has no offsets into the new log.
    frame_->CloseAllButRefMan();
    WriteSample();
    std::string bytes = ReadWholeFile(paths_.Comparison);
    bytes[12] = '1'; // "Volumark 1.01"
    dir_.WriteFile("Ref0001/00030004.kcf", bytes);
    child = Open();
    EXPECT_EQ(child->FileVersion, 101);
    EXPECT_FALSE(child->TagsAvailable);
    EXPECT_EQ(child->windowTitle(), "Comparing log 3 with log 4 [read only]");
}

TEST_F(CompChildFormTest, DamagedComparisonShowsWhatReadsAndSaysWhere)
{
    WriteSample();
    // The directory chain of the first record leads back to itself.
    std::string bytes = ReadWholeFile(paths_.Comparison);
    PutI32(reinterpret_cast<uint8_t*>(bytes.data()) + kCompareFirstOffset + cmp::NextDirOffset,
           kCompareFirstOffset + 1);
    dir_.WriteFile("Ref0001/00030004.kcf", bytes);
    TCompMDIChild* child = Open();
    EXPECT_FALSE(child->Busy);
    EXPECT_EQ(child->Tree().Count(), 2); // the root and /data/
    EXPECT_TRUE(child->ChildInfoLabel->text().startsWith("Damaged comparison (offset 15"))
        << child->ChildInfoLabel->text().toStdString();
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"/data/"});
}

TEST_F(CompChildFormTest, TagItemsChangeSeveralRowsInTheNewLog)
{
    WriteSample();
    SetTagMask(0x40000002); // "Tag 2" and the rubbish bin
    TCompMDIChild* child = Open();
    SelectNode(child, "docs");
    Idle(child);
    SelectRows(child, {"a.txt", "b.txt"});
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "Total selected - 40 KB");
    EXPECT_EQ(TagItems(child, "a.txt"), (QStringList{"Tag 2", "Rubbish Bin", "Clear all tags"}));
    child->TagItemClick(1);
    EXPECT_EQ(NewLogTags(child, "a.txt"), 2u);
    EXPECT_EQ(NewLogTags(child, "b.txt"), 2u);
    EXPECT_EQ(child->Rows().Row(RowPosition(child, "a.txt")).Tags, 2u);
    EXPECT_EQ(TagItems(child, "a.txt"), (QStringList{"Tag 2 *", "Rubbish Bin", "Clear all tags"}));
    child->TagItemClick(30);
    child->ClearAllTagsClick();
    EXPECT_EQ(NewLogTags(child, "a.txt"), 0u);

    // The tags shown beside the rows; a row whose entry is gone from the disk is dimmed and
    // cannot be selected; "Select all files" leaves it out.
    {
        TLogFile log(paths_.NewLog, true);
        log.Log().WriteTags(child->Table().Entry(RowPosition(child, "c.txt")).NewLogOffset,
                            kTagDeleted);
        log.Flush();
    }
    child->Refresh();
    Idle(child);
    child->ShowAction->trigger();
    EXPECT_TRUE(child->TagsShown);
    EXPECT_TRUE(child->ShowTags1->isChecked());
    const QModelIndex cut = child->ListModel->index(RowPosition(child, "c.txt"), 0);
    EXPECT_TRUE(child->ListModel->data(cut, Qt::ForegroundRole).isValid());
    SelectRows(child, {"c.txt"});
    EXPECT_FALSE(child->FileListView->selectionModel()->hasSelection());
    EXPECT_TRUE(TagItems(child, "c.txt").isEmpty());
    child->SelectAllFilesClick();
    EXPECT_EQ(child->FileListView->selectionModel()->selectedRows().size(), 3);

    // A row that only the old log has is never tagged.
    child->UpOneLevelAction->trigger();
    Idle(child);
    child->ShowArrows1->trigger();
    SelectRows(child, {"gone"});
    EXPECT_TRUE(TagItems(child, "gone").isEmpty());
}

TEST_F(CompChildFormTest, ReplacedNewLogTurnsTheWindowReadOnlyAndWritesNothing)
{
    WriteSample();
    SetTagMask(0x2);
    TCompMDIChild* child = Open();
    SelectNode(child, "docs");
    Idle(child);
    // The new log's number is used again for another log.
    TestTree other = {{"/data/", 4096, {File("aaaa", 5), Dir("zz", {File("q", 1), File("r", 2)})}}};
    WriteCompareSample(dir_, other, other, 7, 4);
    const std::string before = ReadWholeFile(paths_.NewLog);
    SelectRows(child, {"a.txt", "c.txt"});
    child->TagItemClick(1);
    EXPECT_EQ(ReadWholeFile(paths_.NewLog), before);
    EXPECT_FALSE(child->TagsAvailable);
    EXPECT_EQ(child->windowTitle(), "Comparing log 3 with log 4 [read only]");
    ASSERT_FALSE(ui_.Shown.empty());
    EXPECT_NE(ui_.Shown.back().Text.find("Log 4 no longer matches this comparison"),
              std::string::npos);
    EXPECT_FALSE(child->ShowAction->isEnabled());
    EXPECT_TRUE(TagItems(child, "a.txt").isEmpty());
}

TEST_F(CompChildFormTest, CompareFilterPicksFilesAndTogglesFromTheMenu)
{
    WriteSample();
    TCompMDIChild* child = Open();
    child->ViewAllAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child).size(), 9u);
    EXPECT_FALSE(child->FileListView->isColumnHidden(kCmpPath));
    TFileFilterForm* dialog = child->FileFilterForm;
    ASSERT_NE(dialog, nullptr);
    bool tagsPageShown = false;
    QTimer::singleShot(0, dialog, [&] {
        tagsPageShown = dialog->PageControl->isTabVisible(1);
        EXPECT_EQ(dialog->PageControl->currentWidget(), dialog->ComparePage);
        EXPECT_EQ(dialog->CompareFilterListView->count(), 5);
        dialog->CompareFilterListView->item(4)->setCheckState(Qt::Checked); // deleted files
        EXPECT_TRUE(dialog->CompareCheckBox->isChecked());
        dialog->OKButton->click();
    });
    child->CompareFilterAction->trigger();
    Idle(child);
    EXPECT_TRUE(tagsPageShown);
    EXPECT_TRUE(child->FilterOn);
    EXPECT_EQ(child->ToggleFilterAction->text(), "&Turn file filter off");
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"x.bin"});
    EXPECT_EQ(child->ChildStatusBar->PanelText(0), "1 object(s) match filter");
    child->ToggleFilterAction->trigger();
    Idle(child);
    EXPECT_EQ(child->ToggleFilterAction->text(), "&Turn file filter on");
    EXPECT_EQ(RowNames(child).size(), 9u);
}

TEST_F(CompChildFormTest, TagSettingsAreSavedIntoTheNewLog)
{
    WriteSample();
    TCompMDIChild* child = Open();
    TTagSettingsForm& dialog = frame_->TagSettings();
    dialog.SetSettings(TTagSettings()); // as another window might have left it
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.TagSettingsListView->item(kRubbishBinItem)->setCheckState(Qt::Checked);
        dialog.OKButton->click();
    });
    child->TagSettingsAction->trigger();
    TLogFile log(paths_.NewLog, false);
    EXPECT_EQ(log.Log().GetTagMask(), kTagRubbishBin);
    EXPECT_TRUE(child->TagSettings().Checked[kRubbishBinItem]);
}

} // namespace
