#include "core/DriveInfo.h"

#include "support/FakeMounts.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

// A mount table that describes one mount of each kind under a temporary directory, so that
// local mounts can answer statvfs while network and CD mounts are never asked.
class DriveInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.MakeDir("fat/sub");
        dir.MakeDir("smb share/Dir");
        root = fake.Root();
        fake.Add(root + "/fat", "vfat", "/dev/sdb1")
            .Add("/media/volumark-cd", "iso9660", "/dev/sr0")
            .Add(root + "/nfs", "nfs4", "fs1.example.com:/export/home")
            .Add(root + "/smb share", "cifs", "//FS1/Users")
            .Add("/mnt/nw-sys", "ncpfs", "NWSRV/SYS")
            .Add("/mnt/nw-data", "ncpfs", "NWSRV/DATA")
            .Add("/mnt/9p", "9p", "hostshare");
        mounts = TMountTable::Parse(vmtest::ReadWholeFile(fake.Write()) + "this line is junk\n");
    }

    vmtest::TempDir dir;
    vmtest::FakeMounts fake{dir};
    std::string root;
    TMountTable mounts;
};

TEST_F(DriveInfoTest, LongestWholeComponentMountPointHoldsThePath)
{
    ASSERT_EQ(mounts.Mounts().size(), 8u);
    EXPECT_EQ(mounts.Find(root + "/fat/sub")->Type, "vfat");
    EXPECT_EQ(mounts.Find(root + "/fat")->Type, "vfat");
    EXPECT_EQ(mounts.Find(root + "/fatter")->Type, "ext4") << "a name prefix is no mount prefix";
    EXPECT_EQ(mounts.Find(root + "/fat/sub/../../smb share/Dir")->Type, "cifs");
    EXPECT_EQ(mounts.Find(root + "/smb share")->MountPoint, root + "/smb share")
        << "escaped blanks in mount points";
}

TEST_F(DriveInfoTest, LocalVolumesGiveTheirAllocationUnit)
{
    TDriveInfo fat(root + "/fat/sub/", mounts);
    EXPECT_EQ(fat.FileSystemName(), "vfat");
    EXPECT_FALSE(fat.IsNetwork());
    EXPECT_EQ(fat.Drive(), root + "/fat");
    EXPECT_EQ(fat.ClusterSize(), AllocationUnit(root + "/fat"));
    EXPECT_GT(fat.ClusterSize(), 0);
    EXPECT_EQ(fat.UncPath(), "");

    TDriveInfo ext("/", mounts);
    EXPECT_EQ(ext.FileSystemName(), "ext4");
    EXPECT_EQ(ext.ClusterSize(), AllocationUnit("/"));
    EXPECT_EQ(RemoteName("/", mounts), "");
}

TEST_F(DriveInfoTest, CdVolumesGive2048WithoutAskingTheVolume)
{
    // The mount point does not exist here: any volume query would fail.
    TDriveInfo cd("/media/volumark-cd/disc", mounts);
    EXPECT_EQ(cd.FileSystemName(), "iso9660");
    EXPECT_EQ(cd.ClusterSize(), 2048);
    EXPECT_FALSE(cd.IsNetwork());
}

TEST_F(DriveInfoTest, NetworkMountsGiveServerShareAndNoUnit)
{
    TDriveInfo nfs(root + "/nfs/alice", mounts);
    EXPECT_TRUE(nfs.IsNetwork());
    EXPECT_EQ(nfs.FileSystemName(), "nfs4");
    EXPECT_EQ(nfs.ClusterSize(), 0);
    EXPECT_EQ(nfs.ServerName(), "fs1.example.com");
    EXPECT_EQ(nfs.ShareName(), "export");
    EXPECT_EQ(nfs.UncPath(), "//fs1.example.com/export");
    EXPECT_EQ(RemoteName(root + "/nfs/alice", mounts), "//FS1.EXAMPLE.COM/EXPORT/");
    EXPECT_EQ(mounts.ServerForm(root + "/nfs/alice/"), "//FS1.EXAMPLE.COM/EXPORT/home/alice/");

    TDriveInfo smb(root + "/smb share/Dir", mounts);
    EXPECT_EQ(smb.ClusterSize(), 0);
    EXPECT_EQ(smb.ServerName(), "FS1");
    EXPECT_EQ(smb.ShareName(), "Users");
    EXPECT_EQ(RemoteName(root + "/smb share/Dir", mounts), "//FS1/USERS/");
    EXPECT_EQ(mounts.ServerForm(root + "/smb share/Dir"), "//FS1/USERS/Dir");
    EXPECT_EQ(mounts.FileSystemName("//fs1/users/Dir/"), "cifs");
    EXPECT_EQ(mounts.FileSystemName("//FS1/OTHER/"), "");

    // A network mount whose source names no server is still a network volume.
    TDriveInfo p9("/mnt/9p/x", mounts);
    EXPECT_TRUE(p9.IsNetwork());
    EXPECT_EQ(p9.ClusterSize(), 0);
    EXPECT_EQ(p9.UncPath(), "");
    EXPECT_EQ(RemoteName("/mnt/9p/x", mounts), "");
}

TEST_F(DriveInfoTest, NetWareVolumesFollowTheirOwnRule)
{
    EXPECT_EQ(TDriveInfo("/mnt/nw-sys/public", mounts).ClusterSize(), 8192);
    EXPECT_EQ(TDriveInfo("/mnt/nw-data", mounts).ClusterSize(), 16384);
}

TEST_F(DriveInfoTest, ServerFormPathTouchesNoVolume)
{
    // An unreadable mount table would make every volume query fail.
    TMountTable none = TMountTable::Load(dir / "no-such-mountinfo");
    TDriveInfo unc("//SERVER/SHARE/dir/", none);
    EXPECT_EQ(unc.ClusterSize(), 0);
    EXPECT_EQ(unc.FileSystemName(), "");
    EXPECT_EQ(unc.UncPath(), "//SERVER/SHARE/dir/");
    EXPECT_EQ(unc.Drive(), "");
}

TEST_F(DriveInfoTest, FailuresNameThePlaceAndTheErrorCode)
{
    TMountTable none = TMountTable::Load(dir / "no-such-mountinfo");
    try {
        TDriveInfo info("/srv", none);
        FAIL() << "no error";
    } catch (const EDriveInfoError& e) {
        EXPECT_STREQ(e.what(), "Unable to determine file system type for /srv (error 2)");
    }
    TMountTable gone = TMountTable::Parse("30 1 8:3 / /volumark-missing rw - xfs /dev/sdc1 rw\n");
    try {
        TDriveInfo info("/volumark-missing/x", gone);
        FAIL() << "no error";
    } catch (const EDriveInfoError& e) {
        EXPECT_STREQ(e.what(),
                     "Root directory does not exist on file system /volumark-missing (error 2)");
    }
}

TEST(NetworkSource, SplitsEverySourceForm)
{
    auto s = SplitNetworkSource("//srv/share/a/b");
    EXPECT_EQ(s.Server + "|" + s.Share + "|" + s.Rest, "srv|share|a/b");
    s = SplitNetworkSource("[fe80::1]:/export");
    EXPECT_EQ(s.Server + "|" + s.Share + "|" + s.Rest, "fe80::1|export|");
    s = SplitNetworkSource("alice@host:/srv/data/");
    EXPECT_EQ(s.Server + "|" + s.Share + "|" + s.Rest, "host|srv|data");
    EXPECT_EQ(SplitNetworkSource("//srv").Server, "");
    EXPECT_EQ(SplitNetworkSource("host:/").Server, "") << "no share named";
    EXPECT_EQ(SplitNetworkSource("none").Server, "");
    EXPECT_TRUE(IsServerFormPath("//S/x"));
    EXPECT_FALSE(IsServerFormPath("///x"));
    EXPECT_FALSE(IsServerFormPath("/x"));
}

} // namespace

namespace {

TEST(DriveInfoOnThisMachine, TheRunningSystemsTableAnswers)
{
    TDriveInfo info("/", TMountTable::Load("/proc/self/mountinfo"));
    EXPECT_FALSE(info.FileSystemName().empty());
    if (!info.IsNetwork()) {
        EXPECT_GT(info.ClusterSize(), 0);
    }
}

} // namespace
