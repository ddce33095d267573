// A file system confined to one tree: paths below the root are reached without following a link,
// so a link planted in the tree leads neither a scan, a look-up nor a new folder outside it.
#include "platform/RootedFileSystem.h"
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <unistd.h>

using namespace vm;
using namespace vmtest;

namespace {

class RootedFileSystemTest : public ::testing::Test
{
protected:
    RootedFileSystemTest()
    {
        dir_.MakeDir("tree");
        dir_.MakeDir("tree/sub");
        dir_.WriteFile("tree/sub/own.txt", "inside");
        dir_.MakeDir("outside");
        dir_.WriteFile("outside/secret.txt", "outside");
        ::symlink((dir_ / "outside").c_str(), (dir_ / "tree/planted").c_str());
    }

    TempDir dir_;
    TPosixFileSystem real_;
};

TEST_F(RootedFileSystemTest, PathsBelowTheRootAreReachedWithoutFollowingLinks)
{
    TRootedFileSystem fs(real_, dir_ / "tree");
    int error = 0;
    TDirHandle root = fs.OpenDirectory(dir_ / "tree/", error);
    EXPECT_NE(root, kNoDir);
    fs.CloseDirectory(root);
    TDirHandle sub = fs.OpenDirectory(dir_ / "tree/sub", error);
    EXPECT_NE(sub, kNoDir);
    fs.CloseDirectory(sub);
    EXPECT_EQ(fs.OpenDirectory(dir_ / "tree/planted", error), kNoDir);
    EXPECT_EQ(fs.OpenDirectory(dir_ / "outside", error), kNoDir);
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(fs.OpenDirectory(dir_ / "tree/sub/../../outside", error), kNoDir);

    TFileInfo found;
    EXPECT_EQ(fs.FindExact(dir_ / "tree/sub/own.txt", found), 1);
    EXPECT_EQ(fs.FindExact(dir_ / "tree/planted/secret.txt", found), 0);
    ASSERT_EQ(fs.FindExact(dir_ / "tree/planted", found), 1); // the link itself
    EXPECT_EQ(found.Attributes, faReparsePoint);
}

TEST_F(RootedFileSystemTest, AScanOfADirectoryReplacedByALinkListsNothingOfItsTarget)
{
    TRootedFileSystem fs(real_, dir_ / "tree");
    TMemoryStream stream;
    TDirStorage log(stream);
    log.SetFileSystem(fs);
    log.BuildLog({{dir_ / "tree/planted/", 1}});
    TDirNode node;
    std::string name;
    int records = 0;
    for (TLogWalk all = TLogWalk::AllRecords(log); all.Next(node, name);)
        ++records;
    EXPECT_EQ(records, 1); // the root alone: the link's target was never listed
}

TEST_F(RootedFileSystemTest, WalkerMakesMissingFoldersOnlyInsideItsRoot)
{
    TRootedWalker walker(real_, dir_ / "tree");
    std::string name;
    int error = 0;
    TDirHandle made = walker.ParentOf(dir_ / "tree/new/deeper/file", name, error, true);
    ASSERT_NE(made, kNoDir) << ErrorText(error);
    EXPECT_EQ(name, "file");
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "tree/new/deeper"));
    // Without create nothing is made; a link on the way and ".." are refused.
    EXPECT_EQ(walker.ParentOf(dir_ / "tree/other/file", name, error), kNoDir);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "tree/other"));
    EXPECT_EQ(walker.ParentOf(dir_ / "tree/planted/made/file", name, error, true), kNoDir);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "outside/made"));
    EXPECT_EQ(walker.ParentOf(dir_ / "tree/../outside/x/file", name, error, true), kNoDir);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "outside/x"));
}

} // namespace
