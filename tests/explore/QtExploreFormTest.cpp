// The explore window on the offscreen platform over real log files in a temporary data
// directory: captions, the deleted total, the tag settings it saves into its log, the folders
// view and the row it selects again, the filter, the folder mode and the export. What it does
// alike with the compare window is tested over both in tests/listwindow/QtListWindowTest.cpp.
#include "explore/ExploreForm.h"
#include "explore/QtFileListModel.h"
#include "fileops/FileFilterForm.h"
#include "fileops/TagSettingsForm.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "platform/FileOwner.h"
#include "statsview/QtStatisticsView.h"
#include "support/SyntheticLog.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"
#include "treemapview/QtViewsPane.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <fstream>
#include <unistd.h>

using namespace vm;

namespace {

using vmtest::Idle;
using vmtest::RowName;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

class ExploreFormTest : public vmtest::FrameTest
{
protected:
    ExploreFormTest()
    {
        TExploreChild::StepMilliseconds = 25;
        dir_.WriteFile("Volumark.ini", "[Ref0001]\nName=Home\nNextLogNo=8\n");
        dir_.MakeDir("Ref0001");
    }
    ~ExploreFormTest() override { TExploreChild::StepMilliseconds = 25; }

    // Log 7 of reference 1: /home/ with `dirs` directories of `files` files each, and "small".
    std::string WriteLog(int dirs, int files, int64_t deleted = 0)
    {
        vmtest::SyntheticLog log;
        log.Root("/home/", 4096);
        for (int d = 0; d < dirs; ++d) {
            log.Dir("big" + std::to_string(d));
            for (int f = 0; f < files; ++f)
                log.File("f" + std::to_string(f) + ".txt", 10000);
            log.Close();
        }
        log.Dir("small").File("one.txt", 1).Close();
        TMemoryStream bytes(log.Log(DefaultTagNames()));
        if (deleted)
            TDirStorage(bytes).AddDeletedTotal(deleted);
        const std::string path = dir_ / "Ref0001/Log0007.kdf";
        bytes.SaveToFile(path);
        return path;
    }
    TExploreChild* Open()
    {
        frame_->DisplayLog(1, 7);
        auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
        Idle(child);
        return child;
    }
};

TEST_F(ExploreFormTest, CaptionsOfOneLogAreMadeUnique)
{
    WriteLog(1, 1);
    TExploreChild* first = Open();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), "Exploring log 7");
    EXPECT_EQ(context_.ApplicationTitle, "Volumark Exploring log 7");
    EXPECT_EQ(Open()->windowTitle(), "Exploring log 7 (2)");
    EXPECT_EQ(Open()->windowTitle(), "Exploring log 7 (3)");
    EXPECT_EQ(first->ChildRefLabel->text(), "Home");
    // The root lists the path; the root's node and the path's are open.
    EXPECT_EQ(RowNames(first), std::vector<std::string>{"/home/"});
    EXPECT_EQ(first->ChildStatusBar->PanelText(0), "1 Object(s)");
    EXPECT_TRUE(first->DirTreeView->isExpanded(first->TreeModel->IndexOf(1)));
    EXPECT_TRUE(first->AccumulatorLabel->text().isEmpty());
}

TEST_F(ExploreFormTest, DeletedTotalShowsBesideTheCaption)
{
    WriteLog(1, 1, 12288);
    TExploreChild* child = Open();
    EXPECT_EQ(child->AccumulatorLabel->text(), "(Deleted 12 KB)  ");
}

TEST_F(ExploreFormTest, TheLogKeptOpenForPaintingSeesTagsChangedThroughTheWindow)
{
    WriteLog(1, 1);
    TExploreChild* child = Open();
    ASSERT_NE(child->PaintingLog(), nullptr);
    const int64_t offset = child->Rows().Row(0).Offset;
    EXPECT_EQ(child->PaintingLog()->ReadTags(offset), 0u); // its read window now holds the row
    SelectRows(child, {"/home/"});
    child->MenuClickTag(2);
    EXPECT_EQ(child->PaintingLog()->ReadTags(offset), 1u << 2);
    child->ClearAllTagsClick();
    EXPECT_EQ(child->PaintingLog()->ReadTags(offset), 0u);
}

TEST_F(ExploreFormTest, TagSettingsAreSavedIntoThisLog)
{
    const std::string path = WriteLog(1, 1);
    TExploreChild* child = Open();
    TTagSettingsForm& dialog = frame_->TagSettings();
    dialog.SetSettings(TTagSettings()); // as another window might have left it
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.TagSettingsListView->item(1)->setCheckState(Qt::Checked);
        dialog.TagSettingsListView->item(kRubbishBinItem)->setCheckState(Qt::Checked);
        dialog.OKButton->click();
    });
    child->TagSettingsAction->trigger();
    TFileStream stream(path, TFileMode::OpenRead);
    TDirStorage log(stream);
    EXPECT_EQ(log.GetTagMask(), 0x40000002u);
    std::string name;
    log.GetTagName(12, name);
    EXPECT_EQ(name, "Rubbish Bin"); // this log's names, not the dialog's previous ones

    // Cancel puts back the check marks and the captions.
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.TagSettingsListView->item(0)->setCheckState(Qt::Checked);
        dialog.TagSettingsListView->item(3)->setText("Renamed");
        dialog.CancelButton->click();
    });
    child->TagSettingsAction->trigger();
    EXPECT_EQ(dialog.Settings().Captions[3], "Tag 4");
    EXPECT_FALSE(dialog.Settings().Checked[0]);
    EXPECT_TRUE(dialog.Settings().Checked[1]);
}

TEST_F(ExploreFormTest, TheFoldersViewListsThePathAndUpReselectsTheDirectoryItCameFrom)
{
    WriteLog(2, 2);
    TExploreChild* child = Open();
    EXPECT_EQ(child->ShownOffset, -1);
    child->ViewFoldersAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child), (std::vector<std::string>{"/home/", "big0", "big1", "small"}));
    child->ViewStandardAction->trigger();
    Idle(child);

    // Opening the path row, then the directory "small"; Up comes back with "small" selected.
    child->OpenRow(child->ListModel->index(0, 0));
    Idle(child);
    child->OpenRow(child->ListModel->index(2, 0));
    Idle(child);
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"one.txt"});
    EXPECT_EQ(child->NameToReselect, "small");
    child->UpOneLevelAction->trigger();
    Idle(child);
    const QModelIndexList selected = child->FileListView->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(RowName(child, selected[0].row()), "small");
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "1 directories selected - 8 KB");
    child->UpOneLevelAction->trigger();
    Idle(child);
    EXPECT_EQ(child->ShownOffset, -1);
}

TEST_F(ExploreFormTest, FilterDateTypeAndSelectionTotals)
{
    WriteLog(1, 3);
    TExploreChild* child = Open();
    SelectNode(child, "big0");
    Idle(child);
    child->FileListView->selectAll();
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "3 files selected - 36 KB");
    // Headers sort: the first click reverses the name order, and the selection stays.
    child->FileListView->header()->sectionClicked(kColName);
    EXPECT_EQ(RowName(child, 0), "f2.txt");
    EXPECT_EQ(child->ChildStatusBar->PanelText(2), "3 files selected - 36 KB");

    child->DateCreated1->trigger();
    Idle(child);
    EXPECT_EQ(child->ListModel->headerData(kColDate, Qt::Horizontal).toString(), "Date created");
    EXPECT_EQ(RowNames(child).size(), 3u); // listed again

    TFilterFields f = child->FileFilterForm->Fields();
    f.FileNames = {"F1.*"};
    child->FileFilterForm->SetFields(f);
    ASSERT_TRUE(child->FileFilterForm->ParseFilterFields());
    child->ToggleFilterAction->trigger();
    Idle(child);
    EXPECT_TRUE(child->FilterOn);
    EXPECT_TRUE(child->FilterButton->isChecked());
    EXPECT_EQ(RowNames(child), std::vector<std::string>{"f1.txt"});
    EXPECT_EQ(child->ChildStatusBar->PanelText(0), "1 object(s) match filter");
    child->ToggleFilterAction->trigger();
    Idle(child);
    EXPECT_EQ(RowNames(child).size(), 3u);
}

TEST_F(ExploreFormTest, OwnerAndGroupColumnsShowWhereTheLogRecordsOwners)
{
    WriteLog(1, 1);
    TExploreChild* exact = Open();
    EXPECT_TRUE(exact->FileListView->isColumnHidden(kColOwner));
    EXPECT_TRUE(exact->FileListView->isColumnHidden(kColGroup));
    EXPECT_FALSE(exact->FileFilterForm->OwnerCheckBox->isEnabled());

    // Log 7 again, now an extended log of a real tree.
    dir_.MakeDir("tree");
    dir_.WriteFile("tree/a.txt", "a");
    TMemoryStream bytes;
    {
        TDirStorage log(bytes);
        log.SetScanOptions({0, TLogFormat::Extended});
        log.BuildLog({{dir_ / "tree/", 0}});
    }
    bytes.SaveToFile(dir_ / "Ref0001/Log0007.kdf");
    TExploreChild* extended = Open();
    EXPECT_FALSE(extended->FileListView->isColumnHidden(kColOwner));
    EXPECT_GT(extended->FileListView->columnWidth(kColGroup), 0);
    EXPECT_EQ(extended->ListModel->headerData(kColOwner, Qt::Horizontal).toString(), "Owner");
    EXPECT_TRUE(extended->FileFilterForm->OwnerCheckBox->isEnabled());
    extended->ViewAllAction->trigger();
    Idle(extended);
    ASSERT_EQ(RowNames(extended), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(extended->ListModel->index(0, kColOwner).data().toString().toStdString(),
              AccountName(geteuid()));
    EXPECT_EQ(extended->ListModel->index(0, kColGroup).data().toString().toStdString(),
              GroupName(getegid()));

    // A row of the statistics' space by owner filters the list to that owner's files; over the
    // exact log it cannot, and says so.
    TStatsSelection owner;
    owner.Kind = TStatsSelection::TKind::Owner;
    owner.Id = geteuid();
    emit extended->ViewsPane->Statistics->RowChosen(owner);
    Idle(extended);
    EXPECT_TRUE(extended->FilterOn);
    EXPECT_EQ(RowNames(extended), std::vector<std::string>{"a.txt"});
    owner.Id = geteuid() + 1;
    emit extended->ViewsPane->Statistics->RowChosen(owner);
    Idle(extended);
    EXPECT_TRUE(RowNames(extended).empty());
    emit exact->ViewsPane->Statistics->RowChosen(owner);
    Idle(exact);
    EXPECT_FALSE(exact->FilterOn);
    EXPECT_EQ(exact->ChildStatusBar->SimpleText().toStdString(),
              "The file filter cannot select the files of this row.");
}

TEST_F(ExploreFormTest, FolderWindowRefusesToCloseButExitEndsTheProgram)
{
    vmtest::SyntheticLog log;
    log.Root("/folder/", 1).File("a", 1);
    frame_->DisplayStreamLog(std::make_unique<TMemoryStream>(log.Log(DefaultTagNames())));
    auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
    ASSERT_NE(child, nullptr);
    Idle(child);
    EXPECT_EQ(child->windowTitle(), "Exploring log ");
    EXPECT_EQ(child->ChildRefLabel->text(), "Log from file manager");
    EXPECT_EQ(child->LogFileName, "<stream>");
    EXPECT_FALSE(child->Close1->isEnabled());
    EXPECT_FALSE(child->CloseAll1->isEnabled());
    EXPECT_FALSE(child->SendMenu->menuAction()->isEnabled());
    frame_->MdiArea->activeSubWindow()->close();
    EXPECT_EQ(frame_->Children().size(), 1);
    EXPECT_TRUE(frame_->InFolderMode());
    child->Exit1->trigger();
    EXPECT_FALSE(frame_->isVisible());
}

} // namespace

namespace {

TEST_F(ExploreFormTest, ExportListWritesTheListAsItStandsIntoTheChosenFile)
{
    WriteLog(1, 3);
    TExploreChild* child = Open();
    SelectNode(child, "big0");
    Idle(child);
    child->ColumnClicked = true; // as a click on the header: Z to A
    child->SortFileListView("File name");
    ASSERT_EQ(RowNames(child), (std::vector<std::string>{"f2.txt", "f1.txt", "f0.txt"}));
    QString offered;
    child->ChooseExportFile = [&](const QString& suggested) {
        offered = suggested;
        return dir_ / "list.csv";
    };
    ASSERT_EQ(child->FileMenu->actions().at(1), child->ExportListAction);
    EXPECT_EQ(child->ExportListAction->text(), "E&xport list ...");
    child->ExportListAction->trigger();
    EXPECT_EQ(offered, "Exploring log 7.csv");
    const std::string csv = dir_.ReadFile("list.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "File name,Type,File size,File size (bytes),Disk space,Disk space (bytes),"
              "Date modified");
    // The rows in the order shown, with the bytes beside the size texts.
    const size_t f2 = csv.find("\r\nf2.txt,"), f1 = csv.find("\r\nf1.txt,"),
                 f0 = csv.find("\r\nf0.txt,");
    ASSERT_NE(f2, std::string::npos) << csv;
    EXPECT_LT(f2, f1);
    EXPECT_LT(f1, f0);
    EXPECT_NE(csv.find(",10 KB,10000,12 KB,12288,", f0), std::string::npos) << csv;

    // Cancelling the save dialog writes nothing.
    child->ChooseExportFile = [](const QString&) { return std::string(); };
    child->ExportListAction->trigger();
    EXPECT_EQ(dir_.ReadFile("list.csv"), csv);
}

// A screen reader names every list and every button that shows no text, the placeholder list
// shown during a fill included.
TEST_F(ExploreFormTest, ListsAndButtonsWithoutTextCarryReadableNames)
{
    TExploreChild* child = Open();
    ASSERT_NE(child, nullptr);
    for (QWidget* w : child->findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        const bool needsName = qobject_cast<QAbstractItemView*>(w) ||
                               (button && button->text().isEmpty() && !w->objectName().isEmpty() &&
                                !w->objectName().startsWith("qt_"));
        if (needsName && !qobject_cast<QAbstractItemView*>(w->parentWidget())) {
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    }
}

} // namespace
