// Who owns a file and who may use it: the account of its owner id and the name of its group, the
// number where none has it, the permissions as ls -l writes them, and the
// NetWare client's call sequence with its two errors, through a fake client.
#include "platform/FileOwner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;

namespace {

// A user id that no account has.
uint32_t UnusedUid()
{
    for (uint32_t uid = 47000;; ++uid)
        if (!getpwuid(uid))
            return uid;
}

TEST(FileOwnerTest, OwnersAreAccountsOrTheirNumbers)
{
    TempDir dir;
    dir.WriteFile("mine", "x");
    dir.WriteFile("orphan", "x");
    TPosixFileSystem fs;
    TRootedWalker walker(fs, dir.Path());
    TNoNetWareClient netware;
    const passwd* me = getpwuid(geteuid());
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(FileOwnerName(fs, walker, dir / "mine", "ext4", netware), me->pw_name);
    EXPECT_EQ(FileOwnerName(fs, walker, dir / "missing", "ext4", netware), "");

    const uint32_t orphan = UnusedUid();
    EXPECT_EQ(AccountName(orphan), std::to_string(orphan));
    if (geteuid() != 0)
        return; // only root gives a file away
    ASSERT_EQ(chown((dir / "orphan").c_str(), orphan, orphan), 0);
    EXPECT_EQ(FileOwnerName(fs, walker, dir / "orphan", "xfs", netware), std::to_string(orphan));
}

TEST(FileOwnerTest, GroupsAreNamesOrTheirNumbers)
{
    const group* mine = getgrgid(getegid());
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GroupName(getegid()), mine->gr_name);
    uint32_t unused = 47000;
    while (getgrgid(unused))
        ++unused;
    EXPECT_EQ(GroupName(unused), std::to_string(unused));
}

TEST(FileOwnerTest, PermissionsReadAsLsWritesThemWithTheOctalBits)
{
    EXPECT_EQ(PermissionsText(S_IFREG | 0644), "-rw-r--r-- (0644)");
    EXPECT_EQ(PermissionsText(S_IFREG | 04755), "-rwsr-xr-x (4755)");
    EXPECT_EQ(PermissionsText(S_IFREG | 04644), "-rwSr--r-- (4644)");
    EXPECT_EQ(PermissionsText(S_IFDIR | 02750), "drwxr-s--- (2750)");
    EXPECT_EQ(PermissionsText(S_IFDIR | 01777), "drwxrwxrwt (1777)");
    EXPECT_EQ(PermissionsText(S_IFDIR | 01770), "drwxrwx--T (1770)");
    EXPECT_EQ(PermissionsText(S_IFLNK | 0777), "lrwxrwxrwx (0777)");
    EXPECT_EQ(PermissionsText(S_IFIFO | 0600), "prw------- (0600)");
    EXPECT_EQ(PermissionsText(S_IFSOCK | 0755), "srwxr-xr-x (0755)");
    EXPECT_EQ(PermissionsText(S_IFCHR | 0620), "crw--w---- (0620)");
    EXPECT_EQ(PermissionsText(S_IFBLK | 0660), "brw-rw---- (0660)");
}

// A NetWare client as a test describes it: which libraries and entry points exist and what the
// calls answer.
struct FakeClient : TNetWareLoader
{
    std::set<std::string> Libraries{"CLXWIN32", "CALWIN32"};
    std::set<std::string> Missing;
    bool LoadLibrary(const std::string& library) override { return Libraries.count(library) > 0; }
    void* EntryPoint(const std::string&, const std::string& name) override;
};

uint32_t gOpenByRefResult = 0;
std::vector<uint32_t> gNameFormats;
std::string gServer, gPath;

uint32_t CallsInit(void*, void*)
{
    return 0;
}
uint32_t PrimConnRef(uint32_t* ref)
{
    *ref = 7;
    return 0;
}
uint32_t OpenByRef(uint32_t ref, uint32_t state, uint32_t, nw::TConnHandle* conn)
{
    *conn = ref + state;
    return gOpenByRefResult;
}
uint32_t OpenByName(nw::TConnHandle, const char* server, uint32_t format, uint32_t,
                    uint32_t transport, nw::TConnHandle* conn)
{
    gServer = server;
    gNameFormats.push_back(format);
    *conn = 3;
    return format == 2 || transport != 0x8000 ? 1 : 0; // only the second form is known
}
uint32_t EntryInfo(nw::TConnHandle, uint8_t, const char* path, uint8_t, uint8_t, uint16_t,
                   uint32_t mask, nw::TEntryInfo* info)
{
    gPath = path;
    info->CreatorID = 0x1234;
    return mask == 0x0FFF ? 0 : 1;
}
uint32_t ObjectName(nw::TConnHandle, uint32_t id, char* name, uint16_t*)
{
    std::strcpy(name, id == 0x1234 ? "ADMIN" : "?");
    return 0;
}

void* FakeClient::EntryPoint(const std::string&, const std::string& name)
{
    if (Missing.count(name))
        return nullptr;
    static const std::map<std::string, void*> points = {
        {"NWCallsInit", reinterpret_cast<void*>(&CallsInit)},
        {"NWCCGetPrimConnRef", reinterpret_cast<void*>(&PrimConnRef)},
        {"NWCCOpenConnByRef", reinterpret_cast<void*>(&OpenByRef)},
        {"NWCCOpenConnByName", reinterpret_cast<void*>(&OpenByName)},
        {"NWGetNSEntryInfo", reinterpret_cast<void*>(&EntryInfo)},
        {"NWGetObjectName", reinterpret_cast<void*>(&ObjectName)},
    };
    auto it = points.find(name);
    return it == points.end() ? nullptr : it->second;
}

TEST(NetWareOwnerTest, TheClientsCallSequenceAndItsErrors)
{
    EXPECT_EQ(SplitNetWarePath("//FS1/SYS/public/a.txt").Server, "FS1");
    EXPECT_EQ(SplitNetWarePath("//FS1/SYS/public/a.txt").Path, "SYS:PUBLIC\\A.TXT");
    EXPECT_EQ(SplitNetWarePath("//FS1/vol1").Path, "VOL1:");

    TNoNetWareClient none; // this system: no client, no owner, no error
    EXPECT_EQ(NetWareFileOwner(none, "//FS1/SYS/A.TXT"), "");
    FakeClient half;
    half.Libraries = {"CLXWIN32"};
    EXPECT_EQ(NetWareFileOwner(half, "//FS1/SYS/A.TXT"), "");

    FakeClient client;
    gNameFormats.clear();
    EXPECT_EQ(NetWareFileOwner(client, "//FS1/SYS/public/a.txt"), "ADMIN");
    EXPECT_EQ(gServer, "FS1");
    EXPECT_EQ(gPath, "SYS:PUBLIC\\A.TXT");
    EXPECT_EQ(gNameFormats, (std::vector<uint32_t>{2, 8}));

    client.Missing = {"NWGetObjectName"};
    try {
        NetWareFileOwner(client, "//FS1/SYS/A.TXT");
        ADD_FAILURE() << "no error";
    } catch (const ELoadLibFail& e) {
        EXPECT_STREQ(e.what(), "Can not initialise DLLs");
    }
    client.Missing.clear();
    gOpenByRefResult = 5;
    try {
        NetWareFileOwner(client, "//FS1/SYS/A.TXT");
        ADD_FAILURE() << "no error";
    } catch (const ELoadLibFail& e) {
        EXPECT_STREQ(e.what(), "InitNovell: result= 5");
    }
    gOpenByRefResult = 0;
    // A file system that is not NetWare never asks the client.
    TempDir dir;
    dir.WriteFile("f", "");
    TPosixFileSystem fs;
    TRootedWalker walker(fs, dir.Path());
    client.Missing = {"NWCallsInit"};
    EXPECT_NE(FileOwnerName(fs, walker, dir / "f", "NTFS", client), "");
}

} // namespace
