// The share list window over a VMVols.ini, as the main window shows it: its lists, both pop-up
// menus and their enabling, and the edits with their questions and messages.
#include "support/gui/QtFrameFixture.h"

#include "network/VolumeInfoForm.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace vmtest {
namespace {

using vm::TVolumeInfoForm;

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

QStringList Texts(const QTreeWidgetItem* parent)
{
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i)
        texts << parent->child(i)->text(0);
    return texts;
}

class VolumeInfoFormTest : public FrameTest
{
protected:
    VolumeInfoFormTest()
    {
        dir_.WriteFile("VMVols.ini", "[FS1]\nIPAddress=10.0.0.2\nOS=Windows NT\nDATA=NTFS,512\n"
                                     "USERS=DATA\nAPPS=DATA\nORPHAN=GONE\nOSBACKUP=DATA\n"
                                     "[BACKUP01]\nIPAddress=10.0.0.7\nOS=Novell Netware\n"
                                     "VOL1=NWFS,8192\n");
        frame_->NetworkShareList1Click();
        Settle();
    }
    TVolumeInfoForm& Form() { return frame_->VolumeInfo(); }
    std::string Entry(const std::string& server, const std::string& key)
    {
        return vm::TIniFile(dir_ / "VMVols.ini").ReadString(server, key, "<none>");
    }
    void SelectServer(int row)
    {
        Form().ServerListView->setCurrentItem(Form().ServerListView->topLevelItem(row));
    }
    void SelectNode(const QString& text)
    {
        auto found = Form().ShareTreeView->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        Form().ShareTreeView->setCurrentItem(found[0]);
    }
    QStringList Roots() const
    {
        return Texts(frame_->VolumeInfo().ShareTreeView->invisibleRootItem());
    }
};

TEST_F(VolumeInfoFormTest, ShowsServersAndTheSortedExpandedShareTree)
{
    TVolumeInfoForm& f = Form();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.isModal());
    EXPECT_EQ(f.windowTitle(), "Network share list");
    QTreeWidget* servers = f.ServerListView;
    ASSERT_EQ(servers->topLevelItemCount(), 2);
    EXPECT_EQ(servers->headerItem()->text(2), "Op Sys");
    EXPECT_EQ(servers->topLevelItem(0)->text(0), "FS1");
    EXPECT_EQ(servers->topLevelItem(0)->text(1), "10.0.0.2");
    EXPECT_EQ(servers->topLevelItem(1)->text(2), "Novell Netware");
    EXPECT_EQ(servers->currentItem(), servers->topLevelItem(0));

    // A share whose volume is missing stands at the root; "OS..." keys are the server's own.
    EXPECT_EQ(Roots(), (QStringList{"DATA,NTFS,512", "ORPHAN"}));
    QTreeWidgetItem* data = f.ShareTreeView->topLevelItem(0);
    EXPECT_TRUE(data->isExpanded());
    EXPECT_EQ(Texts(data), (QStringList{"APPS", "USERS"}));
    EXPECT_NE(f.findChild<QLabel*>("ShareNoteLabel"), nullptr);

    SelectServer(1);
    EXPECT_EQ(Roots(), QStringList{"VOL1,NWFS,8192"});

    // Changed behind its back, the file is read again on activation; the selection stays.
    vm::TIniFile(dir_ / "VMVols.ini").WriteString("FS9", "IPAddress", "10.0.0.9");
    f.FormActivate();
    EXPECT_EQ(servers->topLevelItemCount(), 3);
    EXPECT_EQ(servers->currentItem()->text(0), "BACKUP01");

    // After the windows turned to another data directory, its share list is the one shown.
    dir_.MakeDir("other");
    dir_.WriteFile("other/VMVols.ini", "[FS7]\nIPAddress=10.0.0.77\n");
    context_.DataDirectory = dir_ / "other";
    f.FormActivate();
    ASSERT_EQ(servers->topLevelItemCount(), 1);
    EXPECT_EQ(servers->topLevelItem(0)->text(0), "FS7");

    f.ExitButton->click();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(VolumeInfoFormTest, PopupItemsFollowWhatIsSelected)
{
    TVolumeInfoForm& f = Form();
    auto shareStates = [&] {
        f.ShareTVPopupMenuPopup();
        return std::vector<bool>{
            f.AddVolume1->isEnabled(),           f.RenameVolume1->isEnabled(),
            f.DeleteVolume1->isEnabled(),        f.AddShare1->isEnabled(),
            f.RenameShare1->isEnabled(),         f.DeleteShare1->isEnabled(),
            f.ChooseOwnFileSystem1->isEnabled(), f.ChooseOwnAllocationUnit1->isEnabled()};
    };
    f.ShareTreeView->setCurrentItem(nullptr);
    EXPECT_EQ(shareStates(),
              (std::vector<bool>{true, false, false, false, false, false, false, false}));
    SelectNode("DATA,NTFS,512");
    EXPECT_EQ(shareStates(), (std::vector<bool>{true, true, true, true, false, false, true, true}));
    SelectNode("USERS");
    EXPECT_EQ(shareStates(),
              (std::vector<bool>{true, false, false, false, true, true, false, false}));

    f.ServerPopupMenuPopup();
    EXPECT_TRUE(f.RenameServer1->isEnabled() && f.DeleteServer1->isEnabled() &&
                f.SpecifyIPAddress1->isEnabled());
    f.ServerListView->setCurrentItem(nullptr);
    f.ServerPopupMenuPopup();
    EXPECT_TRUE(f.AddServer1->isEnabled());
    EXPECT_FALSE(f.RenameServer1->isEnabled() || f.DeleteServer1->isEnabled() ||
                 f.SpecifyIPAddress1->isEnabled());
    f.ShareTVPopupMenuPopup();
    EXPECT_FALSE(f.AddVolume1->isEnabled()); // no server to add it to

    QStringList units;
    for (QAction* a : f.ChooseOwnAllocationUnit1->actions())
        units << a->text();
    EXPECT_EQ(units, (QStringList{"1", "512", "1024", "2048", "4096", "8192", "16384 ", "32768",
                                  "Other ..."}));
}

TEST_F(VolumeInfoFormTest, DeletingAVolumeAsksAndTakesItsSharesWithIt)
{
    TVolumeInfoForm& f = Form();
    SelectNode("DATA,NTFS,512");
    ui_.Answers = {vm::idCancel};
    f.DeleteVolume1Click();
    EXPECT_EQ(Entry("FS1", "DATA"), "NTFS,512");
    ui_.Answers = {vm::idOK};
    f.DeleteVolume1Click();
    ASSERT_EQ(ui_.Texts().size(), 2u);
    EXPECT_EQ(ui_.Texts()[1], "OK to delete this volume (and underlying shares) ?");
    for (const char* key : {"DATA", "USERS", "APPS"})
        EXPECT_EQ(Entry("FS1", key), "<none>") << key;
    EXPECT_EQ(Entry("FS1", "ORPHAN"), "GONE");
    EXPECT_EQ(Roots(), QStringList{"ORPHAN"});

    SelectNode("ORPHAN");
    f.DeleteShare1Click(); // shares go without a question
    EXPECT_EQ(Entry("FS1", "ORPHAN"), "<none>");
    EXPECT_EQ(ui_.Shown.size(), 2u);

    ui_.Answers = {vm::idOK};
    f.DeleteServer1Click();
    EXPECT_EQ(ui_.Shown.back().Text, "OK to delete server and shares from database ?");
    EXPECT_EQ(ui_.Shown.back().Caption, "Confirm deletion");
    EXPECT_EQ(ui_.Shown.back().Flags, vm::mb::OKCancel | vm::mb::DefButton2);
    EXPECT_FALSE(vm::TIniFile(dir_ / "VMVols.ini").SectionExists("FS1"));
    EXPECT_EQ(f.ServerListView->topLevelItemCount(), 1);
}

TEST_F(VolumeInfoFormTest, EditsWriteTheFileAndRefusalsAreShown)
{
    TVolumeInfoForm& f = Form();
    // A caption edited onto another server's name would overwrite that server's entries.
    f.ServerListView->topLevelItem(1)->setText(0, "fs1");
    Settle();
    ASSERT_EQ(ui_.Texts().size(), 1u);
    EXPECT_EQ(ui_.Texts()[0], "A server named FS1 is already in the list");
    EXPECT_EQ(Entry("BACKUP01", "VOL1"), "NWFS,8192");
    f.ServerListView->topLevelItem(1)->setText(0, "Backup02");
    Settle();
    EXPECT_EQ(Entry("BACKUP02", "VOL1"), "NWFS,8192");
    EXPECT_EQ(f.ServerListView->currentItem()->text(0), "BACKUP02");

    ui_.Inputs = {"192.168.1.20"};
    f.SpecifyIPAddress1Click();
    EXPECT_EQ(ui_.Shown.back().Text, "Please enter the IP address for BACKUP02");
    EXPECT_EQ(ui_.Shown.back().Caption, "Tell me ...");
    EXPECT_EQ(Entry("BACKUP02", "IPAddress"), "192.168.1.20");
    f.OperatingSystemClick(2);
    EXPECT_EQ(f.ServerListView->currentItem()->text(2), "Windows 95/98");

    SelectNode("VOL1,NWFS,8192");
    ui_.Inputs = {"0"};
    f.OtherUnit1Click();
    EXPECT_EQ(ui_.Texts().back(), "Allocation units must be 1 or greater!");
    ui_.Inputs = {"2048"};
    f.OtherUnit1Click();
    f.FileSystemClick("NTFS");
    EXPECT_EQ(Entry("BACKUP02", "VOL1"), "NTFS,2048");
    EXPECT_EQ(f.ShareTreeView->currentItem()->text(0), "VOL1,NTFS,2048");

    // A new share under the volume is edited in place and renamed by what is typed.
    f.AddShare1Click();
    QTreeWidgetItem* added = f.ShareTreeView->currentItem();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->text(0), "New share");
    EXPECT_NE(f.ShareTreeView->indexWidget(f.ShareTreeView->currentIndex()), nullptr);
    f.ShareTreeView->closePersistentEditor(added);
    added->setText(0, "HOMES");
    Settle();
    EXPECT_EQ(Entry("BACKUP02", "HOMES"), "VOL1");
    EXPECT_EQ(Entry("BACKUP02", "New share"), "<none>");
    EXPECT_EQ(Texts(f.ShareTreeView->topLevelItem(0)), QStringList{"HOMES"});

    f.AddServer1Click();
    EXPECT_EQ(f.ServerListView->currentItem()->text(0), "New server");
    EXPECT_NE(f.ServerListView->indexWidget(f.ServerListView->currentIndex()), nullptr);
    EXPECT_TRUE(vm::TIniFile(dir_ / "VMVols.ini").SectionExists("New server"));
}

} // namespace
} // namespace vmtest
