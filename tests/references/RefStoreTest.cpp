#include "references/RefStore.h"

#include "core/LogFormat.h"
#include "platform/AtomicFile.h"
#include "references/ShortenText.h"
#include "support/FakeMounts.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vm;

namespace {

std::vector<std::string> PathsOf(const TRefPaths& paths)
{
    std::vector<std::string> out;
    for (const TRefPath& p : paths)
        out.push_back(p.Path);
    return out;
}

// A log that holds only root records, written with the format's own encoders. next[i] is the
// NextSiblingOffset of root i as an index into the roots (-1: none), so tests can build chains
// that point back or out of the file.
std::string LogOfRoots(const std::vector<std::string>& paths, std::vector<int> next = {})
{
    std::vector<int32_t> offsets;
    int32_t at = kLogHeaderSize;
    for (const std::string& p : paths) {
        offsets.push_back(at);
        at += int32_t(p.size()) + 66;
    }
    if (next.empty())
        for (size_t i = 0; i < paths.size(); ++i)
            next.push_back(i + 1 < paths.size() ? int(i + 1) : -1);
    std::string bytes(kLogHeaderSize, '\0');
    TLogHeader::New(45000.5).Encode(reinterpret_cast<uint8_t*>(bytes.data()));
    for (size_t i = 0; i < paths.size(); ++i) {
        TRecordFixed r;
        r.RecordLength = uint16_t(paths[i].size() + 66);
        r.SelfOffset = offsets[i];
        r.Level = 0;
        r.Kind = kKindDirectory;
        r.Attributes = faDirectory;
        r.NextSiblingOffset = next[i] == -1 ? kNoOffset : next[i] < -1 ? 1 << 30 : offsets[next[i]];
        r.NextOffset = i + 1 < paths.size() ? offsets[i + 1] : kNoOffset;
        std::string fixed(kRecordFixedSize, '\0');
        r.Encode(reinterpret_cast<uint8_t*>(fixed.data()));
        bytes += fixed + paths[i] + '\0';
    }
    return bytes;
}

class RefStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.MakeDir("data/Sub");
        dir.MakeDir("share/home");
        fake.Add(root + "/share", "cifs", "//fs1/users").Write();
        dir.WriteFile("VMVols.ini", "[FS1]\nDATA=NTFS,512\nUSERS=DATA\n");
    }
    std::string Ini() { return dir.ReadFile("Volumark.ini"); }
    bool IsDirectoryHere(const std::string& name)
    {
        struct stat st;
        return stat((dir / name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    vmtest::TempDir dir;
    vmtest::FakeMounts fake{dir};
    std::string root = fake.Root();
    TRefStore store{dir.Path() + "/", dir / "mountinfo"};
};

TEST_F(RefStoreTest, NamesAndPlaces)
{
    EXPECT_EQ(store.DataDir(), dir.Path());
    EXPECT_EQ(store.RefIniPath(), dir / "Volumark.ini");
    EXPECT_EQ(store.SharesIniPath(), dir / "VMVols.ini");
    EXPECT_EQ(store.FilterIniPath(), dir / "VMFilter.ini");
    EXPECT_EQ(TRefStore::RefSection(7), "Ref0007");
    EXPECT_EQ(TRefStore::RefSection(-1), "Ref00-1");
    EXPECT_EQ(store.RefDir(3), dir / "Ref0003");
    EXPECT_EQ(store.LogFileName(7, 12), dir / "Ref0007/Log0012.kdf");
    EXPECT_EQ(store.CompFileName(7, 11, 12), dir / "Ref0007/00110012.kcf");
    EXPECT_EQ(FourDigitForm(12345), "12345");
    EXPECT_EQ(RefNumberOfName("ref12345"), 12345);
    EXPECT_FALSE(RefNumberOfName("Ref0003.old"));
    EXPECT_FALSE(RefNumberOfName("References"));
    EXPECT_FALSE(RefNumberOfName("Ref00-1"));
    EXPECT_EQ(LogNumberOfName("LOG0012.kdf"), 12);
    EXPECT_EQ(LogNumberOfName("Log12345.kdf"), 12345) << "numbers past 9999 are read whole";
    EXPECT_FALSE(LogNumberOfName("Logbook.txt"));
}

TEST_F(RefStoreTest, ComparisonNamesGiveBackTheirTwoLogs)
{
    auto logs = [](const std::string& name) {
        std::optional<TCompNumbers> n = CompNumbersOfName(name);
        return n ? std::to_string(n->First) + "," + std::to_string(n->Second) : "none";
    };
    EXPECT_EQ(logs("00110012.kcf"), "11,12");
    EXPECT_EQ(logs("999910000.kcf"), "9999,10000");
    EXPECT_EQ(logs("1000010001.kcf"), "10000,10001");
    EXPECT_EQ(logs("1234567890.kcf"), "12345,67890");
    EXPECT_EQ(logs("00120011.kcf"), "12,11");
    for (int a : {1, 9999, 10000, 123456})
        for (int b : {2, 9998, 10001, 99999}) {
            std::optional<TCompNumbers> n = CompNumbersOfName(CompFileBaseName(a, b));
            ASSERT_TRUE(n) << a << " " << b;
            EXPECT_EQ(CompFileBaseName(n->First, n->Second), CompFileBaseName(a, b));
        }
    for (const char* bad : {"0011001.kcf", "00110012.KCF", "0011x012.kcf", "00110012.kdf",
                            "010000012.kcf", ".kcf", "00110012.kcf.partial"})
        EXPECT_EQ(logs(bad), "none") << bad;
}

TEST_F(RefStoreTest, CreateFindAndNumberReferences)
{
    EXPECT_EQ(store.NewRefNumber(), 0) << "an empty file";
    EXPECT_TRUE(store.CreateRef(0, "First"));
    EXPECT_TRUE(store.CreateRef(4, "My Big Ref"));
    EXPECT_EQ(store.NewRefNumber(), 5);
    EXPECT_FALSE(store.CreateRef(4, "Again")) << "the directory exists";
    EXPECT_EQ(store.RefName(4), "My Big Ref");
    EXPECT_EQ(store.FindRefByName("my big ref"), 4);
    EXPECT_EQ(store.FindRefByName("nothing"), -1);
    EXPECT_EQ(TIniFile(store.RefIniPath()).ReadString("Ref0004", "NextLogNo", ""), "1");

    dir.MakeDir("Ref0009");
    EXPECT_EQ(store.NewRefNumber(), 10) << "a directory without its section is taken too";
    EXPECT_EQ(store.RefName(9), "ERROR");
    EXPECT_EQ(store.RefName(6), "Ref directory missing");

    std::string before = Ini();
    EXPECT_THROW(store.CreateRef(11, "two\nlines"), std::runtime_error);
    EXPECT_FALSE(IsDirectoryHere("Ref0011"));
    EXPECT_EQ(Ini(), before);

    EXPECT_EQ(store.TakeNextLogNumber(4), 1);
    EXPECT_EQ(store.TakeNextLogNumber(4), 2);
}

TEST_F(RefStoreTest, PathsReadAsCompleteTriples)
{
    ASSERT_TRUE(store.CreateRef(1, "Empty"));
    TRefPaths empty = store.ReadRefPaths(1);
    ASSERT_EQ(empty.size(), 1u) << "Name and NextLogNo alone read as one empty path";
    EXPECT_EQ(empty[0].Path, "");
    EXPECT_EQ(empty[0].UnitText, "0");
    EXPECT_FALSE(empty[0].UnitValid);
    EXPECT_EQ(empty[0].FileSystem, "");
    EXPECT_FALSE(store.AllocUnitsSet(1));

    TIniFile ini(store.RefIniPath());
    ini.WriteString("Ref0001", "Path0", "/data/");
    ini.WriteString("Ref0001", "AllocUnit0", "4096");
    ini.WriteString("Ref0001", "System0", "ext4");
    ini.WriteString("Ref0001", "Path1", "/home/");
    ini.WriteString("Ref0001", "System1", "xfs");
    TRefPaths two = store.ReadRefPaths(1);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].Unit, 4096);
    EXPECT_EQ(two[1].UnitText, "ERROR") << "a missing key reads as ERROR";
    EXPECT_FALSE(store.AllocUnitsSet(1));
    ini.WriteString("Ref0001", "AllocUnit1", "512");
    EXPECT_TRUE(store.AllocUnitsSet(1));
    // A unit is a whole number from 1 to 2^31-1 and nothing else; the text is kept as stored.
    // (The INI file drops blanks around a value: "AllocUnit1= 4096" reads as 4096.)
    for (const char* bad :
         {"-512", "\" 4096\"", "+4096", "99999999999", "2147483648", "0", "4k", ""}) {
        ini.WriteString("Ref0001", "AllocUnit1", bad);
        TRefPaths read = store.ReadRefPaths(1);
        EXPECT_FALSE(read[1].UnitValid) << bad;
        EXPECT_EQ(read[1].Unit, 0) << bad;
        EXPECT_EQ(read[1].UnitText, bad);
        EXPECT_FALSE(store.AllocUnitsSet(1)) << bad;
    }

    EXPECT_TRUE(store.ReadRefPaths(2).empty()) << "no directory, no paths";
}

TEST_F(RefStoreTest, AddingALocalPathTakesTheVolumeFacts)
{
    ASSERT_TRUE(store.CreateRef(2, "Local"));
    store.AddRefPath(2, root + "/data/Sub", 0, 0, "");
    TRefPaths p = store.ReadRefPaths(2);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Path, root + "/data/Sub/") << "letter case kept, slash appended";
    EXPECT_EQ(p[0].UnitText, std::to_string(AllocationUnit(root + "/data")));
    EXPECT_EQ(p[0].FileSystem, "ext4");

    store.AddRefPath(2, root + "/data/", 8192, 1, "custom");
    p = store.ReadRefPaths(2);
    EXPECT_EQ(p[1].Path, root + "/data/");
    EXPECT_EQ(p[1].Unit, 8192);
    EXPECT_EQ(p[1].FileSystem, "custom");

    TVolumeFacts facts = store.GetVolumeFacts(root + "/data/");
    EXPECT_EQ(facts.FileSystem, "ext4");
    EXPECT_FALSE(facts.IsNetwork);
    EXPECT_EQ(store.FileSystemName(root + "/data"), "ext4");
    EXPECT_EQ(store.FileSystemName(root + "/missing"), "");
}

TEST_F(RefStoreTest, AddingANetworkPathTakesTheShareList)
{
    ASSERT_TRUE(store.CreateRef(3, "Net"));
    store.AddRefPath(3, root + "/share/home", 0, 0, "");
    TRefPaths p = store.ReadRefPaths(3);
    EXPECT_EQ(p[0].Path, root + "/share/home/") << "the local path is stored, not the server form";
    EXPECT_EQ(p[0].Unit, 512);
    EXPECT_EQ(p[0].FileSystem, "NTFS");

    TVolumeFacts facts = store.GetVolumeFacts(root + "/share/home/");
    EXPECT_TRUE(facts.IsNetwork);
    EXPECT_EQ(facts.Unit, 512);
    EXPECT_EQ(facts.FileSystem, "cifs");

    // An unlisted share: unit 0 so that logging asks for one.
    TIniFile(store.SharesIniPath()).EraseSection("FS1");
    store.AddRefPath(3, root + "/share", 0, 1, "");
    p = store.ReadRefPaths(3);
    EXPECT_EQ(p[1].UnitText, "0");
    EXPECT_EQ(p[1].FileSystem, "<Unknown>");
}

TEST_F(RefStoreTest, PathsThatCannotBeLoggedAreRefused)
{
    ASSERT_TRUE(store.CreateRef(5, "Refused"));
    std::string before = Ini();
    dir.WriteFile("data/file.txt", "x");
    auto message = [&](const std::string& path) {
        try {
            store.AddRefPath(5, path, 0, 0, "");
        } catch (const ERefPathError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message(root + "/nope"),
              "The path \"" + root + "/nope\" cannot be added: No such file or directory");
    EXPECT_EQ(message(root + "/data/file.txt"),
              "The path \"" + root + "/data/file.txt\" cannot be added: Not a directory");
    EXPECT_NE(message("relative/dir").find("must begin with"), std::string::npos);
    EXPECT_NE(message(root + "/data\nx").find("line break"), std::string::npos);
    EXPECT_NE(message("/" + std::string(300, 'a')).find("longer than 259"), std::string::npos);
    EXPECT_EQ(Ini(), before);
    dir.MakeDir("closed");
    chmod((dir / "closed").c_str(), 0);
    std::optional<bool> refused = vmtest::RunUnprivileged(dir.Path(), [&] {
        return message(root + "/closed").find("Permission denied") != std::string::npos;
    });
    ASSERT_TRUE(refused.has_value()) << "could not run as an unprivileged user";
    EXPECT_TRUE(*refused);
    EXPECT_EQ(Ini(), before);
}

TEST_F(RefStoreTest, LastLogNumberReadsLogFilesOnly)
{
    ASSERT_TRUE(store.CreateRef(6, "Logs"));
    EXPECT_EQ(store.LastLogNumber(6), -1);
    dir.WriteFile("Ref0006/Log0002.kdf", "");
    dir.WriteFile("Ref0006/LOG0007.kdf", "");
    dir.WriteFile("Ref0006/Logbook.kdf", "");
    dir.WriteFile("Ref0006/00020007.kcf", "");
    dir.MakeDir("Ref0006/Log0099");
    EXPECT_EQ(store.LastLogNumber(6), 7);
    EXPECT_EQ(store.LastLogNumber(8), -1);
}

TEST_F(RefStoreTest, ReconcileRebuildsLostSectionsFromTheNewestLog)
{
    dir.MakeDir("Ref0009");
    dir.WriteFile("Ref0009/Log0001.kdf", LogOfRoots({"/old/"}));
    dir.WriteFile("Ref0009/Log0003.kdf", LogOfRoots({"/data/", "/home/Alice/"}));
    dir.WriteFile("Volumark.ini", "[Ref00-1]\nName=Nothing\n[Ref0002]\nName=Gone\nNextLogNo=5\n"
                                  "[../escape]\nName=x\n");
    dir.MakeDir("Ref00-1");
    dir.MakeDir("References");
    dir.MakeDir("Ref0004.old");

    store.ReconcileRefs();

    TIniFile ini(store.RefIniPath());
    EXPECT_FALSE(ini.SectionExists("Ref00-1"));
    EXPECT_FALSE(IsDirectoryHere("Ref00-1"));
    EXPECT_EQ(store.RefName(9), "Ref0009");
    EXPECT_EQ(ini.ReadString("Ref0009", "NextLogNo", ""), "4");
    TRefPaths p = store.ReadRefPaths(9);
    EXPECT_EQ(PathsOf(p), (std::vector<std::string>{"/data/", "/home/Alice/"}));
    for (const TRefPath& path : p) {
        EXPECT_EQ(path.UnitText, "0");
        EXPECT_EQ(path.FileSystem, "Not Detected");
    }
    EXPECT_TRUE(IsDirectoryHere("Ref0002")) << "a section gets its directory back";
    EXPECT_EQ(store.RefName(2), "Gone");
    EXPECT_FALSE(IsDirectoryHere("../escape"));
    EXPECT_FALSE(ini.SectionExists("References"));
    EXPECT_FALSE(ini.SectionExists("Ref0004"));

    // A second run finds nothing to do.
    std::string after = Ini();
    store.ReconcileRefs();
    EXPECT_EQ(Ini(), after);
}

TEST_F(RefStoreTest, ReconcileSurvivesDamagedLogs)
{
    dir.MakeDir("Ref0001");
    dir.WriteFile("Ref0001/Log0001.kdf", LogOfRoots({"/a/", "/b/", "/c/"}, {1, 0, -1}));
    dir.MakeDir("Ref0002");
    dir.WriteFile("Ref0002/Log0001.kdf", LogOfRoots({"/a/", "/b/"}, {-2, -1}));
    dir.MakeDir("Ref0003");
    dir.WriteFile("Ref0003/Log0005.kdf", std::string("\x01\x02junk", 6));
    dir.MakeDir("Ref0004");
    dir.WriteFile("Ref0004/Log0001.kdf", LogOfRoots({"/a/", "/with\nbreak/", "/c/"}));

    store.ReconcileRefs();

    EXPECT_EQ(PathsOf(store.ReadRefPaths(1)), (std::vector<std::string>{"/a/", "/b/"}))
        << "a link back ends the walk";
    EXPECT_EQ(PathsOf(store.ReadRefPaths(2)), (std::vector<std::string>{"/a/"}))
        << "a link out of the file ends the walk";
    EXPECT_EQ(store.RefName(3), "Ref0003");
    EXPECT_EQ(TIniFile(store.RefIniPath()).ReadString("Ref0003", "NextLogNo", ""), "6");
    EXPECT_EQ(PathsOf(store.ReadRefPaths(3)), (std::vector<std::string>{""})) << "no paths";
    EXPECT_EQ(PathsOf(store.ReadRefPaths(4)), (std::vector<std::string>{"/a/", "/c/"}));
}

// Sections whose names are blank, missing, "ERROR", garbled or hidden behind a byte-order mark,
// and a duplicated section: the repair names what has no usable name after its section and never
// removes or changes a path, a unit or a file system; the reference behind the mark keeps its name.
TEST_F(RefStoreTest, ReconcileNamesSectionsWithoutAUsableNameAndRemovesNothing)
{
    const std::string triples = "Path0=/srv/a/\nAllocUnit0=4096\nSystem0=ext4\n"
                                "Path1=/srv/b/\nAllocUnit1=512\nSystem1=xfs\n";
    for (int n = 1; n <= 5; ++n) {
        dir.MakeDir("Ref000" + std::to_string(n));
        dir.WriteFile("Ref000" + std::to_string(n) + "/Log0002.kdf", LogOfRoots({"/other/"}));
    }
    dir.WriteFile("Volumark.ini", "\xEF\xBB\xBF[Ref0001]\nName=Kept\nNextLogNo=3\n" + triples +
                                      "[Ref0002]\nName=   \nNextLogNo=7\n" + triples +
                                      "[Ref0003]\nNmae=Garbled\n" + triples +
                                      "[Ref0004]\nName=ERROR\nNextLogNo=9\n" + triples +
                                      "[Ref0005]\nName=Dup\n[Ref0005]\n" + triples);
    store.ReconcileRefs();

    EXPECT_EQ(store.FindRefByName("Kept"), 1);
    for (int n : {2, 3, 4})
        EXPECT_EQ(store.RefName(n), RefSectionName(n));
    EXPECT_EQ(store.RefName(5), "Dup");
    TIniFile ini(store.RefIniPath());
    EXPECT_EQ(ini.ReadString("Ref0002", "NextLogNo", ""), "7");
    EXPECT_EQ(ini.ReadString("Ref0003", "NextLogNo", ""), "3"); // one above the newest log
    for (int n = 1; n <= 4; ++n) {
        const TRefPaths p = store.ReadRefPaths(n);
        ASSERT_EQ(p.size(), 2u) << n;
        EXPECT_EQ(PathsOf(p), (std::vector<std::string>{"/srv/a/", "/srv/b/"})) << n;
        EXPECT_EQ(p[0].UnitText + p[1].UnitText, "4096512") << n;
        EXPECT_EQ(p[0].FileSystem + p[1].FileSystem, "ext4xfs") << n;
    }
    const std::string text = Ini();
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF[Ref0001]\n", 0), 0u);
    EXPECT_EQ(text.find("[Ref0001]"), text.rfind("[Ref0001]"));
    EXPECT_NE(text.find("Nmae=Garbled\n"), std::string::npos);
    EXPECT_NE(text.find("[Ref0005]\nName=Dup\n[Ref0005]\n" + triples), std::string::npos);
    store.ReconcileRefs();
    EXPECT_EQ(Ini(), text);
}

// An editor that rewrites Volumark.ini in place (truncate, then write) does not take the lock. A
// repair that read its half-written file must not write its guess back over the whole.
TEST_F(RefStoreTest, ReconcileLeavesAFileBeingRewrittenInPlaceAlone)
{
    dir.MakeDir("Ref0000");
    const std::string full = "[Ref0000]\nName=K\nNextLogNo=4\nPath0=/srv/a/\nAllocUnit0=4096\n"
                             "System0=ext4\n";
    const int fd = ::open((dir / "Volumark.ini").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, full.data(), 12), 12); // "[Ref0000]\nNa"
    std::thread repair([this] { store.ReconcileRefs(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(::write(fd, full.data() + 12, full.size() - 12), ssize_t(full.size() - 12));
    ::close(fd);
    repair.join();
    EXPECT_EQ(Ini(), full);
    EXPECT_EQ(store.FindRefByName("K"), 0);
}

// Writes of the INI files killed with SIGKILL leave their temporaries: the repair removes them,
// but only under the file's lock, which every live writer holds while its temporary exists.
TEST_F(RefStoreTest, ReconcileRemovesTheTemporariesOfKilledWritesOnceNoWriterIsAtWork)
{
    dir.WriteFile("Volumark.ini", "[Ref0000]\nName=A\n");
    dir.MakeDir("Ref0000");
    for (const char* name : {"Volumark.ini.tmp4242-17", "VMVols.ini.tmp1-2", "Volumark.ini.tmpx"})
        dir.WriteFile(name, "half");
    std::optional<TFileLock> writer(std::in_place, dir / "Volumark.ini");
    std::thread repair([this] { store.ReconcileRefs(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(std::ifstream(dir / "Volumark.ini.tmp4242-17").good()) << "its writer may live";
    writer.reset();
    repair.join();
    EXPECT_FALSE(std::ifstream(dir / "Volumark.ini.tmp4242-17").good());
    EXPECT_FALSE(std::ifstream(dir / "VMVols.ini.tmp1-2").good());
    EXPECT_TRUE(std::ifstream(dir / "Volumark.ini.tmpx").good()) << "not a temporary's name";
}

TEST(ShortenText, KeepsHeadAndTailOfLongTexts)
{
    std::string text = "/home/user/projects/volumark/build/tests/output/log.txt";
    std::string s = ShortenText(text, 42);
    EXPECT_EQ(s, text.substr(0, 19) + "..." + text.substr(text.size() - 20));
    EXPECT_EQ(ShortenText(std::string(42, 'x'), 42), std::string(42, 'x'));
    EXPECT_EQ(ShortenText("abcdef", 2), "...");
    // Characters, not bytes: no UTF-8 sequence is cut.
    std::string wide;
    for (int i = 0; i < 50; ++i)
        wide += "\xc3\xa9";
    EXPECT_EQ(ShortenText(wide, 42), wide.substr(0, 38) + "..." + wide.substr(100 - 40));
}

TEST(SizeFormat, IsTheListsSizeText)
{
    EXPECT_EQ(TRefStore::SizeFormat(-1024, TLocale::Classic()), "-1 KB");
    EXPECT_EQ(TRefStore::SizeFormat(1073741824, TLocale::Classic()), "1.00 GB");
}

} // namespace
