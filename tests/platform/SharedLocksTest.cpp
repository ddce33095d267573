// Which file systems keep their locks between computers, and the refusal of a change of an INI
// file that lies on one that does not (a data directory shared over NFS mounted "nolock").
#include "platform/SharedLocks.h"
#include "platform/IniFile.h"
#include "platform/Volume.h"
#include "support/FakeMounts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vm {
namespace {

TMount Mount(const std::string& type, const std::string& options)
{
    return {"/srv/data", "/", type, "fs1:/export", options};
}

TEST(SharedLocks, OnlyFileSystemsWhoseLocksReachOtherComputersAreTrusted)
{
    EXPECT_EQ(LocalOnlyLocksReason(Mount("ext4", "rw,relatime")), "");
    EXPECT_EQ(LocalOnlyLocksReason(Mount("nfs4", "rw,vers=4.2,local_lock=none")), "");
    EXPECT_EQ(LocalOnlyLocksReason(Mount("nfs", "rw,vers=3")), "");
    EXPECT_EQ(LocalOnlyLocksReason(Mount("cifs", "rw,vers=3.1.1")), "");
    EXPECT_EQ(LocalOnlyLocksReason(Mount("ceph", "rw")), "");

    EXPECT_EQ(LocalOnlyLocksReason(Mount("nfs", "rw,vers=3,local_lock=all")),
              "the nfs file system at /srv/data is mounted with local_lock=all, so its locks are "
              "seen on this computer only");
    EXPECT_NE(LocalOnlyLocksReason(Mount("nfs4", "rw,local_lock=flock")), "");
    EXPECT_NE(LocalOnlyLocksReason(Mount("nfs", "rw,nolock")), "");
    // local_lock=posix leaves flock to the server.
    EXPECT_EQ(LocalOnlyLocksReason(Mount("nfs", "rw,local_lock=posix")), "");
    EXPECT_NE(LocalOnlyLocksReason(Mount("cifs", "rw,nobrl")), "");
    EXPECT_EQ(LocalOnlyLocksReason(Mount("fuse.sshfs", "rw")),
              "the fuse.sshfs file system at /srv/data keeps no locks between computers");
}

TEST(SharedLocks, AnIniFileOnSuchAMountIsNotChangedAndSaysWhy)
{
    vmtest::TempDir dir;
    dir.MakeDir("shared");
    vmtest::FakeMounts mounts(dir);
    mounts.Add(mounts.Root() + "/shared", "nfs", "fs1:/export", "rw,vers=3,local_lock=all");
    const std::string table = mounts.Write();
    dir.WriteFile("shared/Volumark.ini", "[Ref0000]\nName=Web\n");

    TIniFile guarded(dir / "shared/Volumark.ini", table);
    EXPECT_EQ(guarded.ReadString("Ref0000", "Name", ""), "Web"); // reading is fine
    try {
        guarded.WriteString("Ref0000", "Name", "Mail");
        ADD_FAILURE() << "the write went through";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("local_lock=all"), std::string::npos) << e.what();
    }
    EXPECT_THROW(guarded.TakeNumber("Ref0000", "NextLogNo", 1), std::runtime_error);
    EXPECT_EQ(dir.ReadFile("shared/Volumark.ini"), "[Ref0000]\nName=Web\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "shared/Volumark.ini.lock"));

    // Without the guard the file changes; with it, a file on a local disk does too.
    TIniFile(dir / "shared/Volumark.ini").WriteString("Ref0000", "Name", "Mail");
    EXPECT_EQ(TIniFile(dir / "shared/Volumark.ini").ReadString("Ref0000", "Name", ""), "Mail");
    dir.WriteFile("local.ini", "");
    TIniFile(dir / "local.ini", table).WriteString("A", "B", "C");
    EXPECT_EQ(dir.ReadFile("local.ini"), "[A]\nB=C\n");
}

} // namespace
} // namespace vm
