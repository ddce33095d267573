// The file system stand-in: the attributes and facts it reports for Linux entries, and the
// rooted walker that keeps operations inside a tree whatever links are planted in it.
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::UnorderedElementsAre;

namespace {

TEST(AttributesTest, LinuxEntriesMapToTheLoggedBits)
{
    EXPECT_EQ(AttributesOf("f", S_IFREG | 0644, 10, 4096, false), faNormal);
    EXPECT_EQ(AttributesOf("f", S_IFREG | 0444, 10, 4096, false), faReadOnly);
    EXPECT_EQ(AttributesOf(".f", S_IFREG | 0644, 10, 4096, false), faHidden);
    EXPECT_EQ(AttributesOf("f", S_IFREG | 0644, 10000, 4096, false), faSparse);
    EXPECT_EQ(AttributesOf("f", S_IFREG | 0644, 10, 4096, true), faCompressed);
    EXPECT_EQ(AttributesOf("d", S_IFDIR | 0755, 4096, 4096, false), faDirectory);
    EXPECT_EQ(AttributesOf(".d", S_IFDIR | 0555, 4096, 4096, false),
              faDirectory | faReadOnly | faHidden);
    EXPECT_EQ(AttributesOf("l", S_IFLNK | 0777, 5, 0, false), faReparsePoint);
    EXPECT_EQ(AttributesOf("l", S_IFLNK | 0, 5, 0, false),
              faReparsePoint); // link modes mean nothing
    for (unsigned type : {S_IFCHR, S_IFBLK, S_IFIFO, S_IFSOCK})
        EXPECT_EQ(AttributesOf("x", type | 0644, 0, 0, false), faSystem) << type;
}

class FileSystemTest : public ::testing::Test
{
protected:
    std::vector<TFileInfo> List(const std::string& path)
    {
        int error = 0;
        TDirHandle d = fs_.OpenDirectory(path, error);
        EXPECT_NE(d, kNoDir) << ErrorText(error);
        std::vector<TFileInfo> entries;
        size_t count = 0;
        EXPECT_TRUE(fs_.ListDirectory(d, entries, count, error, {}));
        fs_.CloseDirectory(d);
        entries.resize(count);
        return entries;
    }

    TempDir dir_;
    TPosixFileSystem fs_;
};

TEST_F(FileSystemTest, ListingGivesEveryEntryButDotAndDotDotWithItsFacts)
{
    dir_.WriteFile("file", std::string(5000, 'x'));
    dir_.WriteFile(".hidden", "");
    dir_.MakeDir("sub");
    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0644), 0);
    struct timespec times[2] = {{1000000000, 5}, {1100000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir_ / "file").c_str(), times, 0), 0);
    std::vector<TFileInfo> entries = List(dir_.Path());
    std::vector<std::string> names;
    for (const TFileInfo& e : entries)
        names.push_back(e.Name);
    EXPECT_THAT(names, UnorderedElementsAre("file", ".hidden", "sub", "fifo"));

    const TFileInfo& f = *std::find_if(entries.begin(), entries.end(),
                                       [](const TFileInfo& e) { return e.Name == "file"; });
    struct stat st = {};
    ASSERT_EQ(lstat((dir_ / "file").c_str(), &st), 0);
    EXPECT_EQ(f.Size, 5000);
    EXPECT_EQ(f.OnDisk, st.st_blocks * 512);
    EXPECT_EQ(f.Inode, st.st_ino);
    EXPECT_EQ(f.Device, st.st_dev);
    EXPECT_EQ(f.Links, 1u);
    EXPECT_EQ(f.Attributes, faNormal);
    // Times are local: the offset from UTC that the calendar gives for that moment.
    time_t t = 1100000000;
    struct tm local = {};
    localtime_r(&t, &local);
    EXPECT_EQ(f.Modified.LocalSeconds, 1100000000 + local.tm_gmtoff);
    EXPECT_EQ(f.Modified.Nanoseconds, 123456789);
    EXPECT_NEAR(f.Modified.ToDateTime(), UnixToLocalDateTime(1100000000, 123456789), 1e-8);
    EXPECT_EQ(f.Accessed.LocalSeconds, 1000000000 + local.tm_gmtoff);
    for (const TFileInfo& e : entries) {
        if (e.Name == "fifo") {
            EXPECT_EQ(e.Attributes, faSystem);
        }
        if (e.Name == "sub") {
            EXPECT_TRUE(e.IsDirectory());
        }
    }
}

TEST_F(FileSystemTest, ABirthTimeOfZeroIsOneTheFileSystemDoesNotHave)
{
    // Files of some system images report a birth time of 0; find one on this machine.
    std::string unborn;
    for (const char* path : {"/", "/usr", "/etc", "/usr/bin", "/bin/sh", "/etc/passwd"}) {
        struct statx sx = {};
        if (statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 &&
            (sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec == 0 && sx.stx_btime.tv_nsec == 0) {
            unborn = path;
            break;
        }
    }
    if (unborn.empty())
        GTEST_SKIP() << "no file here has a birth time of 0";
    TFileInfo info;
    int error = 0;
    ASSERT_TRUE(fs_.StatPath(unborn, info, error)) << ErrorText(error);
    EXPECT_EQ(info.Created.LocalSeconds, info.Modified.LocalSeconds) << unborn;
    EXPECT_EQ(info.Created.Nanoseconds, info.Modified.Nanoseconds) << unborn;
}

TEST_F(FileSystemTest, LinksAreNeverFollowedBelowTheStart)
{
    TempDir outside;
    dir_.MakeDir("real");
    ASSERT_EQ(symlink(outside.Path().c_str(), (dir_ / "link").c_str()), 0);
    int error = 0;
    TDirHandle d = fs_.OpenDirectory(dir_.Path(), error);
    EXPECT_EQ(fs_.OpenDirectoryAt(d, "link", error), kNoDir);
    EXPECT_TRUE(error == ELOOP || error == ENOTDIR) << error;
    TDirHandle real = fs_.OpenDirectoryAt(d, "real", error);
    EXPECT_NE(real, kNoDir);
    TFileInfo info;
    ASSERT_TRUE(fs_.StatAt(d, "link", info, error));
    EXPECT_EQ(info.Attributes, faReparsePoint);
    EXPECT_FALSE(fs_.ClearReadOnlyAt(d, "link", error));
    // Removing a link removes the link, never what it points to.
    ASSERT_TRUE(fs_.RemoveAt(d, "link", false, error));
    struct stat st = {};
    EXPECT_EQ(stat(outside.Path().c_str(), &st), 0);
    fs_.CloseDirectory(real);
    fs_.CloseDirectory(d);
    // A path that begins at a link is followed: that is where the user chose to start.
    ASSERT_EQ(symlink((dir_ / "real").c_str(), (outside / "start").c_str()), 0);
    TDirHandle start = fs_.OpenDirectory(outside / "start", error);
    EXPECT_NE(start, kNoDir);
    fs_.CloseDirectory(start);
}

TEST_F(FileSystemTest, FindExactAndAttributeChanges)
{
    dir_.WriteFile("f", "x");
    chmod((dir_ / "f").c_str(), 0444);
    TFileInfo info;
    EXPECT_EQ(fs_.FindExact(dir_ / "f", info), 1);
    EXPECT_EQ(info.Attributes, faReadOnly);
    EXPECT_EQ(fs_.FindExact(dir_ / "F", info), 0);
    EXPECT_EQ(fs_.FindExact("", info), 0);
    int error = 0;
    TDirHandle d = fs_.OpenDirectory(dir_.Path(), error);
    ASSERT_TRUE(fs_.ClearReadOnlyAt(d, "f", error));
    struct stat st = {};
    ASSERT_EQ(stat((dir_ / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_TRUE(fs_.SetReadOnlyAt(d, "f", true, error));
    ASSERT_EQ(stat((dir_ / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    // ext4 has no compression: the request is refused with the file system's reason.
    if (!fs_.SetCompressedAt(d, "f", true, error)) {
        EXPECT_TRUE(error == EOPNOTSUPP || error == ENOTTY || error == EINVAL) << ErrorText(error);
    }
    fs_.CloseDirectory(d);
}

class RootedWalkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_.MakeDir("root/a/b");
        dir_.MakeDir("outside");
        ASSERT_EQ(symlink((dir_ / "outside").c_str(), (dir_ / "root/a/planted").c_str()), 0);
    }
    std::string Root() const { return dir_ / "root"; }

    TempDir dir_;
    TPosixFileSystem fs_;
};

TEST_F(RootedWalkerTest, GivesTheDirectoryThatHoldsAPathBelowTheRoot)
{
    TRootedWalker walker(fs_, Root());
    std::string name;
    int error = 0;
    TDirHandle h = walker.ParentOf(Root() + "/a/b/file", name, error);
    ASSERT_NE(h, kNoDir);
    EXPECT_EQ(name, "file");
    TFileInfo info;
    ASSERT_TRUE(fs_.StatAt(h, "", info, error) || fs_.StatDirectory(h, info, error));
    struct stat st = {};
    ASSERT_EQ(stat((Root() + "/a/b").c_str(), &st), 0);
    EXPECT_EQ(info.Inode, st.st_ino);
    // The root itself is reached from its parent.
    h = walker.ParentOf(Root(), name, error);
    ASSERT_NE(h, kNoDir);
    EXPECT_EQ(name, "root");
}

TEST_F(RootedWalkerTest, RefusesLinksClimbingAndPathsOutsideTheRoot)
{
    TRootedWalker walker(fs_, Root());
    std::string name;
    int error = 0;
    EXPECT_EQ(walker.ParentOf(Root() + "/a/planted/x", name, error), kNoDir);
    EXPECT_TRUE(error == ELOOP || error == ENOTDIR) << error;
    for (const std::string& bad :
         {Root() + "/a/../../outside/x", Root() + "/./a/x", Root() + "//a", Root() + "/a/..",
          dir_ / "outside/x", Root() + "x/y", Root() + "/"}) {
        EXPECT_EQ(walker.ParentOf(bad, name, error), kNoDir) << bad;
        EXPECT_EQ(error, EINVAL) << bad;
    }
    EXPECT_EQ(walker.ParentOf(Root() + "/missing/x", name, error), kNoDir);
    EXPECT_EQ(error, ENOENT);
}

TEST(RootedWalkerSlashTest, RootSlashHoldsEveryAbsolutePathButCannotBeRemoved)
{
    TPosixFileSystem fs;
    TRootedWalker walker(fs, "");
    std::string name;
    int error = 0;
    EXPECT_NE(walker.ParentOf("/tmp/x", name, error), kNoDir);
    EXPECT_EQ(name, "x");
    EXPECT_EQ(walker.ParentOf("/", name, error), kNoDir);
}

} // namespace
