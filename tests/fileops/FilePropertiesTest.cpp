// The properties of a listed entry over a real tree: what the page shows, Apply's space worked out
// as the scan does (rounded, sparse, later links) with the directories above moved alike, the
// read-only state, refusals told, a file gone or replaced, owners, and the reference's unit.
#include "fileops/FileProperties.h"
#include "core/DirStorage.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "references/RefStore.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::HasSubstr;

namespace {

// t/ [one (1 byte), sub/ [doc.txt 10,000 bytes], sparse (1 MB, 4 KB written)], logged unit 0.
class FilePropertiesTest : public ::testing::Test
{
protected:
    FilePropertiesTest()
    {
        dir_.MakeDir("t/sub");
        dir_.WriteFile("t/one", "1");
        dir_.WriteFile("t/sub/doc.txt", std::string(10000, 'd'));
        int fd = ::open((dir_ / "t/sparse").c_str(), O_CREAT | O_WRONLY, 0644);
        ::pwrite(fd, std::string(4096, 's').data(), 4096, 1 << 20);
        ::close(fd);
        Scan();
    }
    void Scan(TLogFormat format = TLogFormat::Exact)
    {
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        log_->SetScanOptions({0, format});
        log_->BuildLog({{dir_ / "t/", 0}});
    }
    int32_t At(const std::string& name) { return log_->FindPath(dir_ / ("t/" + name)); }
    int64_t Allocated(int32_t offset)
    {
        TDirNode n;
        std::string s;
        log_->ReadNode(offset, n, s);
        return n.Allocated;
    }
    TFileProperties Load(const std::string& name, int32_t unit = 4096)
    {
        TFileProperties p(fs_, netware_, locale_);
        p.Load(*log_, At(name), {unit, "ext4"}, [](const std::string& e) { return e + " type"; });
        return p;
    }

    TempDir dir_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    FaultyFileSystem fs_;
    TNoNetWareClient netware_;
    TLocale locale_ = TLocale::Classic();
    TScriptedUserInterface ui_;
};

TEST_F(FilePropertiesTest, ThePageShowsTheLogAndTheOwnerOnTheDisk)
{
    ASSERT_EQ(::chmod((dir_ / "t/sub/doc.txt").c_str(), 02640), 0);
    ASSERT_EQ(::link((dir_ / "t/sub/doc.txt").c_str(), (dir_ / "t/sub/again").c_str()), 0);
    const TFileProperties p = Load("sub/doc.txt");
    EXPECT_EQ(p.Name, "doc.txt");
    EXPECT_EQ(p.Location, dir_ / "t/sub/");
    EXPECT_EQ(p.TypeText, ".txt type");
    EXPECT_EQ(p.SizeText, "10 KB (10000 bytes)");
    EXPECT_EQ(p.SpaceText, "10 KB (10000 bytes)"); // logged with unit 0
    EXPECT_EQ(p.Owner, getpwuid(geteuid())->pw_name);
    EXPECT_EQ(p.Group, getgrgid(getegid())->gr_name);
    EXPECT_EQ(p.Permissions, "-rw-r-S--- (2640)");
    EXPECT_EQ(p.Links, "2");
    EXPECT_TRUE(p.Exists && p.ReadOnlyEnabled);
    EXPECT_FALSE(p.CompressedEnabled); // no compression where the tests run
    EXPECT_THAT(p.ModifiedText, ::testing::MatchesRegex("[A-Z][a-z]+day, [0-9]+ [A-Z][a-z]+ "
                                                        "20[0-9][0-9] [0-9:]+"));
    EXPECT_EQ(p.ResultingAllocated, 10000); // what Cancel leaves in the row
    EXPECT_EQ(Load("sub").TypeText, "File folder");
}

TEST_F(FilePropertiesTest, ApplyWorksOutTheSpaceAsTheScanDoesAndMovesTheDirectoriesAbove)
{
    const int64_t root = Allocated(40);
    TFileProperties p = Load("one", 4096);
    ASSERT_TRUE(p.Apply(*log_, false, false, ui_));
    EXPECT_EQ(p.ResultingAllocated, 4096);
    EXPECT_EQ(Allocated(At("one")), 4096);
    EXPECT_EQ(Allocated(40), root + 4095); // the totals still add up
    EXPECT_EQ(p.SpaceText, "4 KB (4096 bytes)");

    // A unit of 0 leaves the size unrounded; a sparse file takes what the disk holds.
    TFileProperties zero = Load("one", 0);
    ASSERT_TRUE(zero.Apply(*log_, false, false, ui_));
    EXPECT_EQ(Allocated(At("one")), 1);
    EXPECT_EQ(Allocated(40), root);
    TFileProperties sparse = Load("sparse", 4096);
    ASSERT_TRUE(sparse.Apply(*log_, false, false, ui_));
    struct stat st = {};
    ::stat((dir_ / "t/sparse").c_str(), &st);
    EXPECT_EQ(sparse.ResultingAllocated, int64_t(st.st_blocks) * 512);
    EXPECT_LT(sparse.ResultingAllocated, (1 << 20));

    // A directory's space is its tree's: Apply leaves it.
    const int64_t sub = Allocated(At("sub"));
    TFileProperties directory = Load("sub", 4096);
    ASSERT_TRUE(directory.Apply(*log_, false, false, ui_));
    EXPECT_EQ(Allocated(At("sub")), sub);
    EXPECT_TRUE(ui_.Shown.empty());
}

TEST_F(FilePropertiesTest, ALaterHardLinkKeepsItsZero)
{
    ::link((dir_ / "t/sub/doc.txt").c_str(), (dir_ / "t/sub/zlink").c_str());
    Scan();
    ASSERT_EQ(Allocated(At("sub/zlink")), 0);
    TFileProperties p = Load("sub/zlink", 4096);
    ASSERT_TRUE(p.Apply(*log_, false, false, ui_));
    EXPECT_EQ(Allocated(At("sub/zlink")), 0);
    TFileProperties first = Load("sub/doc.txt", 4096);
    ASSERT_TRUE(first.Apply(*log_, false, false, ui_));
    EXPECT_EQ(Allocated(At("sub/doc.txt")), 12288);
}

TEST_F(FilePropertiesTest, ReadOnlyIsTheOwnersWritePermissionAndRefusalsAreTold)
{
    TFileProperties p = Load("one");
    ASSERT_TRUE(p.Apply(*log_, true, false, ui_));
    struct stat st = {};
    ::stat((dir_ / "t/one").c_str(), &st);
    EXPECT_EQ(st.st_mode & S_IWUSR, 0u);
    EXPECT_TRUE(p.ReadOnly);
    EXPECT_EQ(p.Permissions.substr(0, 4), "-r--"); // as the disk says after the change
    TDirNode n;
    std::string s;
    log_->ReadNode(At("one"), n, s);
    EXPECT_EQ(n.Attributes, faReadOnly);

    fs_.CompressionError = EOPNOTSUPP;
    TFileProperties c = Load("one");
    ASSERT_TRUE(c.Apply(*log_, true, true, ui_));
    ASSERT_EQ(ui_.Shown.size(), 1u);
    EXPECT_THAT(ui_.Shown[0].Text, HasSubstr("The file system refused to compress it"));
    EXPECT_FALSE(c.Compressed);
}

TEST_F(FilePropertiesTest, AFileGoneOrReplacedIsNotFoundAndNothingIsWritten)
{
    std::filesystem::remove(dir_ / "t/one");
    TFileProperties gone = Load("one");
    EXPECT_EQ(gone.Owner, kFileNotFound);
    EXPECT_EQ(gone.Group + gone.Permissions + gone.Links, "");
    EXPECT_FALSE(gone.Exists || gone.ReadOnlyEnabled || gone.CompressedEnabled);

    // doc.txt became a link to a file outside the tree after logging: Apply touches nothing.
    TFileProperties p = Load("sub/doc.txt");
    dir_.WriteFile("outside", "x");
    ::chmod((dir_ / "outside").c_str(), 0644);
    std::filesystem::remove(dir_ / "t/sub/doc.txt");
    ::symlink((dir_ / "outside").c_str(), (dir_ / "t/sub/doc.txt").c_str());
    EXPECT_FALSE(p.Apply(*log_, true, false, ui_));
    struct stat st = {};
    ::stat((dir_ / "outside").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(Allocated(At("sub/doc.txt")), 10000);
    EXPECT_EQ(Load("sub/doc.txt").Owner, kFileNotFound);
}

TEST_F(FilePropertiesTest, WhenLoggedIsTheLogsOwnerGroupAndModeAlsoForAFileGoneSince)
{
    EXPECT_EQ(Load("one").Logged, kOwnersNotLogged);
    ASSERT_EQ(::chmod((dir_ / "t/one").c_str(), 0604), 0);
    Scan(TLogFormat::Extended);
    const std::string logged = std::string(getpwuid(geteuid())->pw_name) + ", group " +
                               getgrgid(getegid())->gr_name + ", -rw----r-- (0604)";
    EXPECT_EQ(Load("one").Logged, logged);
    ASSERT_EQ(::unlink((dir_ / "t/one").c_str()), 0);
    const TFileProperties gone = Load("one");
    EXPECT_EQ(gone.Owner, kFileNotFound);
    EXPECT_EQ(gone.Logged, logged);
}

TEST_F(FilePropertiesTest, AnOwnerIdWithoutAnAccountShowsItsNumber)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root gives a file away";
    uint32_t orphan = 47000;
    while (getpwuid(orphan))
        ++orphan;
    ASSERT_EQ(::chown((dir_ / "t/one").c_str(), orphan, orphan), 0);
    EXPECT_EQ(Load("one").Owner, std::to_string(orphan));
    Scan(TLogFormat::Extended);
    EXPECT_THAT(Load("one").Logged, ::testing::StartsWith(std::to_string(orphan) + ", group " +
                                                          std::to_string(orphan) + ", "));
}

TEST_F(FilePropertiesTest, TheOwnerIsTheLogsWhereItRecordsOneWithAChangeSinceBesideIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root gives a file away";
    Scan(TLogFormat::Extended);
    EXPECT_EQ(Load("one").Owner, "root");
    // Given away after logging: the exact log only knows the disk's owner, the extended one
    // names who owned it when its space was counted.
    ASSERT_EQ(::chown((dir_ / "t/one").c_str(), 65534, 65534), 0);
    const std::string nobody = getpwuid(65534) ? getpwuid(65534)->pw_name : "65534";
    EXPECT_EQ(Load("one").Owner, "root (now " + nobody + ")");
    Scan(TLogFormat::Extended);
    EXPECT_EQ(Load("one").Owner, nobody);
    Scan(TLogFormat::Exact);
    EXPECT_EQ(Load("one").Owner, nobody);
}

TEST(GetIniInfoTest, TheUnitAndFileSystemOfTheEntrysReferencePath)
{
    TempDir dir;
    dir.MakeDir("Ref0002");
    TIniFile ini(dir / "Volumark.ini");
    ini.WriteString("Ref0002", "Name", "Servers");
    ini.WriteString("Ref0002", "Path0", "/srv/a/");
    ini.WriteString("Ref0002", "AllocUnit0", "512");
    ini.WriteString("Ref0002", "System0", "ext4");
    ini.WriteString("Ref0002", "Path1", "/srv/b/");
    ini.WriteString("Ref0002", "AllocUnit1", "4096");
    ini.WriteString("Ref0002", "System1", "NWFS");
    const TRefStore store(dir.Path());
    const TRefPathInfo b = GetIniInfo(store, 2, "/srv/b/");
    EXPECT_EQ(b.Unit, 4096);
    EXPECT_EQ(b.FileSystem, "NWFS");
    EXPECT_EQ(GetIniInfo(store, 2, "/srv/a/").Unit, 512);
    // A path the reference no longer has: no rounding, and a file system that is no NetWare.
    const TRefPathInfo gone = GetIniInfo(store, 2, "/srv/c/");
    EXPECT_EQ(gone.Unit, 0);
    EXPECT_EQ(gone.FileSystem, "System");
}

} // namespace
