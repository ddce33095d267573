// A log or a comparison opened as a file manager opens it (the program started with the file):
// in its reference when it lies in one, else read only, and then nothing is written into the
// file and nothing on disk is deleted through the window.
#include "compare/CompChildForm.h"
#include "core/DirStorage.h"
#include "explore/ExploreForm.h"
#include "explore/ExploreTexts.h"
#include "explore/QtFileListModel.h"
#include "listwindow/QtDirTreeModel.h"
#include "output/ListTexts.h"
#include "platform/IniFile.h"
#include "references/CompareRun.h"
#include "references/FilePlace.h"
#include "references/RefStore.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include <filesystem>

using namespace vm;

namespace {

using vmtest::Idle;
using vmtest::SelectRows;

namespace fs = std::filesystem;

// Lists the first top-level path (the tree's node after the root).
template <class Window> void SelectFirstPath(Window* child)
{
    child->DirTreeView->setCurrentIndex(child->TreeModel->IndexOf(1));
    Idle(child);
}

// home/ [a.txt, b.txt] logged twice as logs 7 and 8 of reference 1, and compared.
class OpenFileTest : public vmtest::FrameTest
{
protected:
    OpenFileTest()
    {
        TExploreChild::StepMilliseconds = 25;
        dir_.MakeDir("home");
        dir_.WriteFile("home/a.txt", "a");
        dir_.WriteFile("home/b.txt", std::string(5000, 'b'));
        dir_.MakeDir("Ref0001");
        TIniFile ini(dir_ / "Volumark.ini");
        ini.WriteString("Ref0001", "Name", "Home");
        ini.WriteString("Ref0001", "Path0", dir_ / "home/");
        ini.WriteString("Ref0001", "AllocUnit0", "4096");
        ini.WriteString("Ref0001", "System0", "ext4");
        for (const char* name : {"Ref0001/Log0007.kdf", "Ref0001/Log0008.kdf"}) {
            TFileStream file(dir_ / name, TFileMode::Create);
            TDirStorage log(file);
            log.BuildLog({{dir_ / "home/", 0}});
            file.Flush();
        }
        RunComparison(TRefStore(dir_.Path()), 1, 7, 8);
        fs::create_directories(dir_ / "mailed");
    }
    // A copy of a file of reference 1 outside the data directory.
    std::string Mailed(const std::string& from, const std::string& name)
    {
        fs::copy_file(dir_ / ("Ref0001/" + from), dir_ / ("mailed/" + name));
        return dir_ / ("mailed/" + name);
    }
    template <class Window> Window* Open(const std::string& path)
    {
        frame_->OpenFile(PlaceOfFile(path));
        auto* child = qobject_cast<Window*>(frame_->ActiveChild());
        if (child)
            Idle(child);
        return child;
    }
};

} // namespace

TEST_F(OpenFileTest, ALogNoReferenceOwnsIsExploredReadOnly)
{
    const std::string path = Mailed("Log0007.kdf", "weekly.kdf");
    const std::string bytes = vmtest::ReadWholeFile(path);
    auto* child = Open<TExploreChild>(path);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle().toStdString(), "Exploring weekly.kdf [read only]");
    EXPECT_EQ(context_.ApplicationTitle, "Volumark Exploring weekly.kdf [read only]");
    EXPECT_EQ(child->ChildRefLabel->text().toStdString(), fs::canonical(path).string());
    EXPECT_FALSE(child->DeleteFilesAction->isEnabled());
    EXPECT_FALSE(child->DeleteSelectedFiles1->isEnabled());

    SelectFirstPath(child);
    SelectRows(child, {"b.txt"});
    child->ChildPopupMenuPopup(QPoint(5, 5));
    child->ChildPopupMenu->hide();
    EXPECT_TRUE(child->Properties1->isEnabled());
    EXPECT_FALSE(child->DeleteSelected1->isEnabled());
    EXPECT_EQ(child->ChildPopupMenu->actions().size(), 8); // no tag items

    // Asked all the same (by key or by a menu a test reaches), it refuses and writes nothing.
    child->ClearAllTagsClick();
    EXPECT_EQ(ui_.Texts().back(), kReadOnlyLogText);
    child->DeleteSelectedClick();
    child->DeleteFilesClick();
    EXPECT_EQ(ui_.Texts().size(), 3u);
    EXPECT_TRUE(fs::exists(dir_ / "home/b.txt"));
    EXPECT_EQ(vmtest::ReadWholeFile(path), bytes);
}

TEST_F(OpenFileTest, FilesOfTheReferenceOpenInItAndLooseComparisonsReadOnly)
{
    auto* explore = Open<TExploreChild>(dir_ / "Ref0001/Log0007.kdf");
    ASSERT_NE(explore, nullptr);
    EXPECT_EQ(explore->windowTitle().toStdString(), "Exploring log 7");
    EXPECT_FALSE(explore->ReadOnly);
    EXPECT_EQ(explore->ChildRefLabel->text().toStdString(), "Home");
    EXPECT_TRUE(explore->DeleteFilesAction->isEnabled());

    auto* compare = Open<TCompMDIChild>(dir_ / "Ref0001/00070008.kcf");
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->windowTitle().toStdString(), "Comparing log 7 with log 8");
    EXPECT_TRUE(compare->TagsAvailable);

    // Away from its reference the new log cannot be reached: read only (its caption made
    // unique beside the window of the same comparison), named by its file when its name carries
    // no log numbers.
    compare = Open<TCompMDIChild>(Mailed("00070008.kcf", "00070008.kcf"));
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->windowTitle().toStdString(), "Comparing log 7 with log 8 (2) [read only]");
    EXPECT_FALSE(compare->TagsAvailable);
    EXPECT_FALSE(compare->DeleteFilesAction->isEnabled());
    compare = Open<TCompMDIChild>(Mailed("00070008.kcf", "changes.kcf"));
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->windowTitle().toStdString(), "Comparing changes.kcf [read only]");
    SelectFirstPath(compare);
    EXPECT_EQ(compare->Rows().Count(), 2);
    EXPECT_TRUE(ui_.Texts().empty());
}
