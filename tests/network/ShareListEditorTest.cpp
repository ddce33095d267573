#include "network/ShareListEditor.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

using namespace vm;

namespace {

class ShareListEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.WriteFile("VMVols.ini", "[FS1]\nIPAddress=10.0.0.2\nOS=Windows NT\nDATA=NTFS,512\n"
                                    "USERS=DATA\nAPPS=DATA\nORPHAN=GONE\nOSBACKUP=DATA\n");
    }
    std::string Entry(const std::string& server, const std::string& key)
    {
        return ini.ReadString(server, key, "<none>");
    }

    vmtest::TempDir dir;
    TIniFile ini{dir / "VMVols.ini"};
    std::map<std::string, std::string> answers; // server path -> file system
    std::vector<std::string> asked;
    TShareListEditor editor{dir / "VMVols.ini", [this](const std::string& path) {
                                asked.push_back(path);
                                auto it = answers.find(path);
                                return it == answers.end() ? std::string() : it->second;
                            }};
};

TEST_F(ShareListEditorTest, TreeHoldsVolumesWithTheirSharesAndHidesServerFacts)
{
    auto tree = editor.ShareTree("fs1");
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].Text, "DATA,NTFS,512");
    EXPECT_EQ(tree[0].Data, kVolumeNode);
    ASSERT_EQ(tree[0].Children.size(), 2u) << "OSBACKUP is taken for a server fact";
    EXPECT_EQ(tree[0].Children[0].Text, "APPS");
    EXPECT_EQ(tree[0].Children[1].Text, "USERS");
    EXPECT_EQ(tree[0].Children[1].Data, kShareNode);
    EXPECT_EQ(tree[1].Text, "ORPHAN") << "a share whose volume is missing is a root node";
    EXPECT_EQ(tree[1].Data, kShareNode);

    auto servers = editor.Servers();
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].Caption, "FS1");
    EXPECT_EQ(servers[0].IPAddress, "10.0.0.2");
    EXPECT_EQ(servers[0].OS, "Windows NT");
}

TEST_F(ShareListEditorTest, RenamingNewServerMovesEveryEntryAndDetectsTheSystem)
{
    TServerItem item = editor.AddServer();
    EXPECT_TRUE(ini.SectionExists("New server"));
    TShareNode vol = editor.AddVolume(item.Caption);
    EXPECT_EQ(Entry("New server", "NewVolume"), "<Unknown>,0") << "a new volume stays a volume";

    answers["//fs2/C$/"] = "NTFS";
    editor.ServerCaptionEdited(item, "fs2");
    EXPECT_EQ(item.Caption, "FS2");
    EXPECT_EQ(item.OS, "Windows NT");
    EXPECT_FALSE(ini.SectionExists("New server"));
    EXPECT_EQ(ini.ReadSections()[1], "FS2");
    EXPECT_EQ(Entry("FS2", "NewVolume"), "<Unknown>,0");
    EXPECT_EQ(Entry("FS2", "OS"), "Windows NT");
    EXPECT_EQ(Entry("FS2", "IPAddress"), "");

    TServerItem other = editor.AddServer();
    answers["//FS3/SYS/"] = "NWFS";
    editor.ServerCaptionEdited(other, "FS3");
    EXPECT_EQ(other.OS, "Novell Netware");
    EXPECT_EQ((std::vector<std::string>{asked.end() - 2, asked.end()}),
              (std::vector<std::string>{"//FS3/C$/", "//FS3/SYS/"}));
}

TEST_F(ShareListEditorTest, RenamingOntoAnotherServerIsRefused)
{
    TServerItem item = editor.AddServer();
    item.OS = "Undefined";
    std::string before = dir.ReadFile("VMVols.ini");
    EXPECT_THROW(editor.ServerCaptionEdited(item, "fs1"), std::runtime_error);
    EXPECT_EQ(dir.ReadFile("VMVols.ini"), before);
    EXPECT_EQ(item.Caption, "New server");
}

TEST_F(ShareListEditorTest, ServerFactsAndDeletion)
{
    TServerItem item = editor.Servers()[0];
    editor.SetIPAddress(item, "10.0.0.7");
    editor.SetOperatingSystem(item, 0);
    EXPECT_EQ(Entry("FS1", "OS"), "Windows NT") << "the parent menu item changes nothing";
    editor.SetOperatingSystem(item, 2);
    EXPECT_EQ(Entry("FS1", "IPAddress"), "10.0.0.7");
    EXPECT_EQ(Entry("FS1", "OS"), "Windows 95/98");
    editor.UpdateSharesINI("delete", "Server", "", item);
    EXPECT_FALSE(ini.SectionExists("FS1"));
}

TEST_F(ShareListEditorTest, NewVolumeNamedAfterADriveIsDetectedThroughItsAdminShare)
{
    TServerItem server = editor.Servers()[0];
    TShareNode vol = editor.AddVolume("FS1");
    answers["//FS1/C$"] = "NTFS";
    editor.NodeEdited(server, vol, "C:");
    EXPECT_EQ(vol.Text, "C:,NTFS,512");
    EXPECT_EQ(Entry("FS1", "C:"), "NTFS,512");
    EXPECT_EQ(Entry("FS1", "NewVolume"), "<none>");

    // Nothing answers for this one: the unit stays 0 until the user chooses one.
    TShareNode vol2 = editor.AddVolume("FS1");
    editor.NodeEdited(server, vol2, "SCRATCH");
    EXPECT_EQ(vol2.Text, "SCRATCH,<Unknown>,0");
    editor.ChooseFileSystem("FS1", vol2, "FAT32");
    EXPECT_EQ(Entry("FS1", "SCRATCH"), "FAT32,0");
    editor.ChooseAllocUnit("FS1", vol2, 4096);
    EXPECT_EQ(vol2.Text, "SCRATCH,FAT32,4096");
    EXPECT_EQ(Entry("FS1", "SCRATCH"), "FAT32,4096");
}

TEST_F(ShareListEditorTest, RenamingAVolumeKeepsItsUnitAndTakesItsShares)
{
    TServerItem server = editor.Servers()[0];
    auto tree = editor.ShareTree("FS1");
    TShareNode data = tree[0];
    std::string before = dir.ReadFile("VMVols.ini");
    editor.NodeEdited(server, data, "DATA,NTFS,512");
    EXPECT_EQ(dir.ReadFile("VMVols.ini"), before) << "an unchanged text changes nothing";

    editor.NodeEdited(server, data, "STORE,NTFS,512");
    EXPECT_EQ(data.Text, "STORE,NTFS,512");
    EXPECT_EQ(Entry("FS1", "DATA"), "<none>");
    EXPECT_EQ(Entry("FS1", "STORE"), "NTFS,512");
    EXPECT_EQ(Entry("FS1", "USERS"), "STORE");
    EXPECT_EQ(Entry("FS1", "OSBACKUP"), "STORE");
    EXPECT_EQ(Entry("FS1", "ORPHAN"), "GONE");

    editor.NodeEdited(server, data, "STORE,FAT");
    EXPECT_EQ(data.Text, "STORE,FAT,32768") << "another file system takes its default unit";

    // A long file system name is kept whole.
    editor.NodeEdited(server, data, "STORE,fuse.glusterfs.volume,65536");
    EXPECT_EQ(Entry("FS1", "STORE"), "fuse.glusterfs.volume,65536");
}

TEST_F(ShareListEditorTest, SharesAreAddedRenamedAndDeleted)
{
    TServerItem server = editor.Servers()[0];
    TShareNode data = editor.ShareTree("FS1")[0];
    TShareNode added = editor.AddShare("FS1", data);
    EXPECT_EQ(Entry("FS1", "New share"), "DATA");
    editor.NodeEdited(server, added, "HOME");
    EXPECT_EQ(Entry("FS1", "HOME"), "DATA");
    EXPECT_EQ(Entry("FS1", "New share"), "<none>");

    editor.NodeEdited(server, added, "home");
    EXPECT_EQ(Entry("FS1", "home"), "DATA") << "a change of case keeps the entry";
    EXPECT_EQ(ini.ReadSection("FS1").back(), "home");

    EXPECT_THROW(editor.NodeEdited(server, added, "users"), std::runtime_error);
    EXPECT_EQ(Entry("FS1", "USERS"), "DATA");
    EXPECT_EQ(Entry("FS1", "home"), "DATA");

    editor.TVUpdateSharesINI("Delete", "Share", "", added, "FS1");
    EXPECT_EQ(Entry("FS1", "home"), "<none>");

    data = editor.ShareTree("FS1")[0];
    editor.TVUpdateSharesINI("DELETE", "Share", "", data, "FS1");
    EXPECT_EQ(ini.ReadSection("FS1"),
              (std::vector<std::string>{"IPAddress", "OS", "ORPHAN", "OSBACKUP"}));
}

TEST(ShareListRules, UnitsAndDefaults)
{
    EXPECT_EQ(ParseAllocUnit("4096"), 4096);
    EXPECT_FALSE(ParseAllocUnit("0"));
    EXPECT_FALSE(ParseAllocUnit("-512"));
    EXPECT_FALSE(ParseAllocUnit("12k"));
    EXPECT_FALSE(ParseAllocUnit(""));
    EXPECT_FALSE(ParseAllocUnit("99999999999"));
    EXPECT_FALSE(ParseAllocUnit(" 4096"));
    EXPECT_FALSE(ParseAllocUnit("+4096"));
    EXPECT_EQ(ParseAllocUnit("2147483647"), 2147483647);
    EXPECT_FALSE(ParseAllocUnit("2147483648"));
    EXPECT_EQ(DefaultClusterSize("NTFS"), 512);
    EXPECT_EQ(DefaultClusterSize("NWCompat"), 8192);
    EXPECT_EQ(DefaultClusterSize("cifs"), 32768);
    EXPECT_EQ(DefaultClusterSize("<Unknown>"), 0);
    EXPECT_EQ(OperatingSystemForTag(3), "Windows NT");
    EXPECT_EQ(OperatingSystemForTag(0), "");
}

} // namespace
