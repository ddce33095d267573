#include "network/ShareList.h"

#include "support/FakeMounts.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

// The share list of a server FS1 and a mount table with network mounts of its shares, one of
// them mounted by the server's address.
class ShareListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.MakeDir("users/home");
        dir.MakeDir("fat");
        dir.WriteFile("VMVols.ini", "[FS1]\nIPAddress=10.0.0.2\nOS=Windows NT\nDATA=NTFS,512\n"
                                    "USERS=DATA\nODD=NTFS,lots\n");
        fake.Add(root + "/fat", "vfat", "/dev/sdb1")
            .Add(root + "/users", "cifs", "//fs1/users")
            .Add("/mnt/byip", "cifs", "//10.0.0.2/users/home")
            .Write();
    }

    vmtest::TempDir dir;
    vmtest::FakeMounts fake{dir};
    std::string root = fake.Root();
    TShareList shares{dir / "VMVols.ini", dir / "mountinfo"};
};

TEST_F(ShareListTest, SharesFindTheirVolumesUnit)
{
    EXPECT_EQ(shares.GetShareClusterSize("//FS1/USERS/HOME"), 512);
    EXPECT_EQ(shares.GetShareFileSystem("//FS1/USERS/HOME"), "NTFS");
    EXPECT_EQ(shares.GetShareClusterSize("//FS1/DATA/"), 512);
    EXPECT_EQ(shares.GetShareClusterSize("//fs1/users"), 512) << "names ignore case";
    EXPECT_EQ(shares.GetShareClusterSize("//FS1/OTHER/"), 0);
    EXPECT_EQ(shares.GetShareFileSystem("//FS1/OTHER/"), "<Unknown>");
    EXPECT_EQ(shares.GetShareClusterSize("//FS9/DATA/"), 0);
    EXPECT_EQ(shares.GetShareClusterSize("//FS1/ODD/"), 0) << "a unit that is no number";
    EXPECT_EQ(shares.GetShareFileSystem("//FS1/ODD/"), "NTFS");
    EXPECT_EQ(shares.GetShareClusterSize("//FS1"), 0);
    // A server given by its address is found by it.
    EXPECT_EQ(shares.GetShareClusterSize("//10.0.0.2/USERS/"), 512);
}

TEST_F(ShareListTest, LocalPathsOnNetworkMountsAreLookedUpInServerForm)
{
    EXPECT_EQ(shares.GetShareClusterSize(root + "/users/home"), 512);
    EXPECT_EQ(shares.GetShareFileSystem(root + "/users/home/"), "NTFS");
    EXPECT_EQ(shares.GetShareClusterSize("/mnt/byip/alice"), 512);
}

TEST_F(ShareListTest, TranslatePathGivesTheServerForm)
{
    EXPECT_EQ(shares.TranslatePath("//10.0.0.2/USERS/HOME"), "//FS1/USERS/HOME");
    EXPECT_EQ(shares.TranslatePath("//10.0.0.9/USERS"), "//10.0.0.9/USERS");
    EXPECT_EQ(shares.TranslatePath("//FS2/APPS/x"), "//FS2/APPS/x");
    EXPECT_EQ(shares.TranslatePath(root + "/fat/DATA/"), root + "/fat/DATA/")
        << "a local volume is no network connection";
    EXPECT_EQ(shares.TranslatePath(root + "/users/home/"), "//FS1/USERS/home/");
    EXPECT_EQ(shares.TranslatePath("/mnt/byip/alice"), "//FS1/USERS/home/alice");
    EXPECT_EQ(shares.TranslatePath(""), "");
    EXPECT_EQ(shares.TranslatePath("relative/dir"), "");
}

TEST_F(ShareListTest, FindServerByIPTakesTheLastExactMatch)
{
    dir.WriteFile("VMVols.ini", "[A]\nIPAddress=10.0.0.2\n[B]\nipaddress=10.0.0.2\n[C]\n"
                                "IPAddress=10.0.0.20\n");
    EXPECT_EQ(shares.FindServerByIP("10.0.0.2"), "B");
    EXPECT_EQ(shares.FindServerByIP("10.0.0.3"), "");
    EXPECT_EQ(shares.FindServerByIP(""), "");
}

TEST_F(ShareListTest, RecordShareClusterListsTheShareAsAVolume)
{
    shares.RecordShareCluster("//FS2/APPS/bin", "NTFS", 4096);
    EXPECT_EQ(shares.GetShareClusterSize("//FS2/APPS/"), 4096);

    // A local path is listed under the mount point of its volume, by its first directory.
    shares.RecordShareCluster(root + "/fat/DATA/", "vfat", 4096);
    EXPECT_EQ(TIniFile(dir / "VMVols.ini").ReadString(root + "/fat", "DATA", ""), "vfat,4096");
    EXPECT_EQ(shares.GetShareClusterSize(root + "/fat/DATA/deeper"), 4096);
    EXPECT_EQ(shares.ShareKeyOf("/volumark-data/x").Server, "/");
    EXPECT_EQ(shares.ShareKeyOf("/volumark-data/x").Share, "volumark-data");

    std::string before = dir.ReadFile("VMVols.ini");
    shares.RecordShareCluster(root + "/fat/", "vfat", 512);
    shares.RecordShareCluster("/", "ext4", 512);
    shares.RecordShareCluster("//FS3", "NTFS", 512);
    EXPECT_EQ(dir.ReadFile("VMVols.ini"), before) << "roots and bare servers write nothing";
}

TEST_F(ShareListTest, MissingListReadsEmpty)
{
    TShareList none(dir / "none.ini", dir / "mountinfo");
    EXPECT_EQ(none.GetShareClusterSize("//FS1/DATA/"), 0);
    EXPECT_EQ(none.GetShareFileSystem("//FS1/DATA/"), "<Unknown>");
    EXPECT_EQ(none.FindServerByIP("10.0.0.2"), "");
}

} // namespace
