// The extended log format: a real tree scanned in both formats reads the same through every
// reader, with owners, groups and modes as the file system has them in the extended one; values
// the exact format cannot hold come back exactly; tags, marks and space change in place; damage
// reads in the same words; and an exact scan past its limit ends as an extended log.
#include "core/DirStorage.h"
#include "core/ExtendedLogFormat.h"
#include "core/LogDiskOperations.h"
#include "core/LogWalk.h"
#include "core/LogWriter.h"
#include "support/LogInvariants.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ExtendedLogTest : public ::testing::Test
{
protected:
    ExtendedLogTest()
    {
        dir_.MakeDir("t");
        dir_.MakeDir("t/sub");
        dir_.MakeDir("t/sub/empty");
        dir_.WriteFile("t/a.txt", std::string(100, 'a'));
        dir_.WriteFile("t/sub/b.bin", std::string(5000, 'b'));
        dir_.WriteFile(std::string("t/odd\xff").append("name"), "x");
        chmod(T("sub/b.bin").c_str(), 04750);
        link(T("a.txt").c_str(), T("sub/hard").c_str());
        symlink("../a.txt", T("sub/link").c_str());
    }
    std::string T(const std::string& name) const { return dir_ / ("t/" + name); }

    // Scans t/ into stream in the format given.
    std::unique_ptr<TDirStorage> Scan(TMemoryStream& stream, TLogFormat format,
                                      int64_t exactLimit = kMaxLogSize)
    {
        auto log = std::make_unique<TDirStorage>(stream);
        TScanOptions options;
        options.Format = format;
        options.ExactLimit = exactLimit;
        log->SetScanOptions(options);
        log->BuildLog({{T(""), 4096}});
        for (int i = 1; i <= 12; ++i)
            log->SetTagName(i, DefaultTagNames()[static_cast<size_t>(i - 1)]);
        return log;
    }

    TempDir dir_;
};

TEST_F(ExtendedLogTest, ATreeReadsAsInTheExactFormatWithOwnersGroupsAndModesOfTheDisk)
{
    // A file made by another user, as on a shared server.
    chmod((dir_ / "t").c_str(), 0777);
    std::optional<bool> made = RunUnprivileged(dir_.Path(), [&] {
        int fd = open(T("theirs").c_str(), O_CREAT | O_WRONLY | O_EXCL, 0640);
        return fd >= 0 && close(fd) == 0;
    });
    ASSERT_TRUE(made.value_or(false)) << "could not create a file as an unprivileged user";

    TMemoryStream exactBytes, extendedBytes;
    auto exact = Scan(exactBytes, TLogFormat::Exact);
    auto extended = Scan(extendedBytes, TLogFormat::Extended);
    EXPECT_EQ(exact->Format(), TLogFormat::Exact);
    EXPECT_FALSE(exact->HasOwners());
    ASSERT_EQ(extended->Format(), TLogFormat::Extended);
    EXPECT_TRUE(extended->HasOwners());
    EXPECT_THAT(LogFaults(*extended, {4096}), IsEmpty());

    // A log opened anew reads the same as the one just written.
    TDirStorage reopened(extendedBytes);
    EXPECT_EQ(reopened.Format(), TLogFormat::Extended);
    EXPECT_EQ(reopened.FirstOffset(), kExtendedLogHeaderSize);
    EXPECT_EQ(reopened.Header().TagListOffset, extended->Header().TagListOffset);
    std::string tag;
    EXPECT_TRUE(reopened.GetTagName(12, tag));
    EXPECT_EQ(tag, "Rubbish Bin");

    const std::vector<LoggedRecord> a = AllRecords(*exact);
    const std::vector<LoggedRecord> b = AllRecords(reopened);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(a.size(), 9u);
    EXPECT_EQ(reopened.RecordCount(), 9);
    bool theirsSeen = false;
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(b[i].Path);
        EXPECT_EQ(a[i].Path, b[i].Path);
        EXPECT_EQ(a[i].Name, b[i].Name);
        EXPECT_EQ(a[i].Node.Level, b[i].Node.Level);
        EXPECT_EQ(a[i].Node.Kind, b[i].Node.Kind);
        EXPECT_EQ(a[i].Node.Attributes, b[i].Node.Attributes);
        EXPECT_EQ(a[i].Node.Size, b[i].Node.Size);
        EXPECT_EQ(a[i].Node.Allocated, b[i].Node.Allocated);
        EXPECT_EQ(a[i].Node.Owner, kNoOwner);
        if (b[i].Node.Level == 0)
            continue; // a root's times are when it was written
        // The exact format keeps whole seconds; the extended one the file system's nanoseconds.
        EXPECT_LT(std::fabs(a[i].Node.Modified - b[i].Node.Modified) * 86400, 1.0);
        struct stat st = {};
        ASSERT_EQ(lstat(b[i].Path.c_str(), &st), 0);
        EXPECT_EQ(b[i].Node.Owner, st.st_uid);
        EXPECT_EQ(b[i].Node.Group, st.st_gid);
        EXPECT_EQ(b[i].Node.Mode, st.st_mode);
        TLogRecord r;
        std::string name;
        ASSERT_TRUE(reopened.ReadRecord(b[i].Offset, r, name));
        EXPECT_EQ(r.ModifiedTime.Seconds, st.st_mtim.tv_sec);
        EXPECT_EQ(r.ModifiedTime.Nanoseconds, static_cast<uint32_t>(st.st_mtim.tv_nsec));
        if (b[i].Name == "theirs") {
            theirsSeen = true;
            EXPECT_EQ(b[i].Node.Mode & 07777, 0640u);
            if (geteuid() == 0) {
                EXPECT_EQ(b[i].Node.Owner, 65534u);
            }
        }
    }
    EXPECT_TRUE(theirsSeen);
    struct stat root = {};
    ASSERT_EQ(stat(T("").c_str(), &root), 0);
    EXPECT_EQ(b[0].Node.Owner, root.st_uid);
    EXPECT_EQ(b[0].Node.Mode, root.st_mode);
}

TEST_F(ExtendedLogTest, SizesTimesAndPathsBeyondTheExactFormatComeBackExactly)
{
    TMemoryStream stream;
    const std::string root = "/" + std::string(4000, 'r') + "/";
    {
        TLogWriter writer(stream, 45000.0, TLogFormat::Extended);
        writer.BeginRoot(root, 1);
        TFileInfo big;
        big.Name = "big";
        big.Attributes = faNormal;
        big.Size = (int64_t{1} << 40) + 1;
        big.Created = {0, 0, -62135596800LL};          // 0001-01-01, before any packed time
        big.Modified = {0, 999999999, 253402300799LL}; // 9999-12-31 23:59:59.999999999
        big.Accessed = {0, 7, int64_t{1} << 40};       // far beyond any calendar
        big.Owner = 4000000000u;
        big.Group = 12;
        big.Mode = S_IFREG | 0600;
        writer.Entry(big, false);
        TFileInfo bigger = big;
        bigger.Name = "bigger";
        bigger.Size = int64_t{1} << 62;
        writer.Entry(bigger, false);
        writer.Finish();
    }
    TDirStorage log(stream);
    std::vector<LoggedRecord> records = AllRecords(log);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Name, root);
    EXPECT_EQ(records[0].Path, root.substr(0, root.size() - 1));
    EXPECT_EQ(records[0].Node.Size, (int64_t{1} << 40) + 1 + (int64_t{1} << 62));
    EXPECT_EQ(records[1].Node.Size, (int64_t{1} << 40) + 1);
    EXPECT_EQ(records[1].Node.Owner, 4000000000u);
    EXPECT_EQ(records[1].Node.Mode, static_cast<uint32_t>(S_IFREG | 0600));
    EXPECT_EQ(records[2].Node.Allocated, int64_t{1} << 62);
    EXPECT_EQ(log.FindPath(records[0].Path + "/bigger"), records[2].Offset);
    TLogRecord r;
    std::string name;
    ASSERT_TRUE(log.ReadRecord(records[1].Offset, r, name));
    EXPECT_EQ(r.CreatedTime.Seconds, -62135596800LL);
    EXPECT_EQ(r.ModifiedTime.Seconds, 253402300799LL);
    EXPECT_EQ(r.ModifiedTime.Nanoseconds, 999999999u);
    EXPECT_EQ(r.AccessedTime.Seconds, int64_t{1} << 40);
    EXPECT_TRUE(r.AccessedTime.Stored);
    EXPECT_FALSE(r.AccessedTime.Local);
    // The exact format refuses such a root; the extended one holds up to 4096 bytes.
    TMemoryStream other;
    EXPECT_THROW(TLogWriter(other, 1.0).BeginRoot(root, 0), EScanError);
    EXPECT_THROW(
        TLogWriter(other, 1.0, TLogFormat::Extended).BeginRoot("/" + std::string(4096, 'p'), 0),
        EScanError);
}

TEST_F(ExtendedLogTest, TagsMarksAndSpaceChangeInPlaceAsInAnExactLog)
{
    TMemoryStream stream;
    auto log = Scan(stream, TLogFormat::Extended);
    const int64_t a = log->FindPath(T("a.txt"));
    const int64_t b = log->FindPath(T("sub/b.bin"));
    const int64_t sub = log->FindPath(T("sub"));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    log->SetTag(b, 3);
    log->SetTag(a, 30);
    log->ToggleTag(sub, 0);
    log->ToggleTag(sub, 0);
    log->WriteAttributes(a, faNormal | faReadOnly);
    log->SetTagMask(0x40000002);
    log->AddDeletedTotal(123);
    log->SetTagName(2, "Keep");
    TDirNode before, rootBefore;
    std::string name;
    ASSERT_TRUE(log->ReadNode(sub, before, name));
    ASSERT_TRUE(log->ReadNode(log->FirstOffset(), rootBefore, name));
    const int64_t space = MarkDeleted(*log, b, true);
    EXPECT_EQ(space, 8192);

    TDirStorage reopened(stream);
    std::vector<int64_t> tagged;
    TDirNode n;
    for (TLogWalk w = TLogWalk::Tagged(reopened); w.Next(n, name);)
        tagged.push_back(w.Offset());
    EXPECT_THAT(tagged, ElementsAre(b, a)); // b keeps its place: marks leave the chain alone
    EXPECT_EQ(reopened.ReadTags(b), kTagDeleted);
    EXPECT_EQ(reopened.ReadTags(a), kTagRubbishBin);
    EXPECT_EQ(reopened.ReadTags(sub), 0u);
    ASSERT_TRUE(reopened.ReadNode(a, n, name));
    EXPECT_EQ(n.Attributes, faNormal | faReadOnly);
    ASSERT_TRUE(reopened.ReadNode(b, n, name));
    EXPECT_EQ(n.Allocated, 0);
    ASSERT_TRUE(reopened.ReadNode(sub, n, name));
    EXPECT_EQ(n.Allocated, before.Allocated - 8192);
    EXPECT_EQ(reopened.GetTagMask(), 0x40000002u);
    EXPECT_EQ(reopened.GetDeletedTotal(), 123);
    ASSERT_TRUE(reopened.GetTagName(2, name));
    EXPECT_EQ(name, "Keep");
    // The space marked deleted left every directory above.
    TDirNode root;
    ASSERT_TRUE(reopened.ReadNode(reopened.FirstOffset(), root, name));
    EXPECT_EQ(root.Allocated, AllRecords(*log)[0].Node.Allocated);
    EXPECT_EQ(root.Allocated + 8192, rootBefore.Allocated);
}

// The same damage in both formats: the walk ends at the same record for the same reason, in the
// same words; only the offsets are each format's own.
TEST_F(ExtendedLogTest, DamageReadsInTheWordsOfTheExactFormat)
{
    struct TCase
    {
        const char* What;
        std::function<void(std::vector<uint8_t>&, const TLogLayout&, int64_t, int64_t)> Damage;
        std::function<std::string(int64_t second, int64_t third)> Expected;
    };
    auto put = [](std::vector<uint8_t>& bytes, const TLogLayout& l, int64_t at, int64_t value) {
        l.PutLink(bytes.data() + at, value);
    };
    const TCase cases[] = {
        {"a link back",
         [&](std::vector<uint8_t>& bytes, const TLogLayout& l, int64_t second, int64_t third) {
             put(bytes, l, third + l.NextOffset, second);
         },
         [](int64_t second, int64_t third) {
             return "offset " + std::to_string(second) + ", reached from record " +
                    std::to_string(third) + ": the link points back";
         }},
        {"a length of 20",
         [](std::vector<uint8_t>& bytes, const TLogLayout&, int64_t, int64_t third) {
             bytes[static_cast<size_t>(third)] = 20;
             bytes[static_cast<size_t>(third) + 1] = 0;
         },
         [](int64_t second, int64_t third) {
             return "offset " + std::to_string(third) + ", reached from record " +
                    std::to_string(second) + ": the record has a length of 20";
         }},
        {"a link outside",
         [&](std::vector<uint8_t>& bytes, const TLogLayout& l, int64_t second, int64_t) {
             put(bytes, l, second + l.NextOffset, int64_t{1} << 24);
         },
         [](int64_t second, int64_t) {
             return "offset " + std::to_string(int64_t{1} << 24) + ", reached from record " +
                    std::to_string(second) + ": the link lies outside the records";
         }},
        {"cut off",
         [](std::vector<uint8_t>& bytes, const TLogLayout& l, int64_t, int64_t third) {
             bytes.resize(static_cast<size_t>(third + l.FixedSize / 2));
         },
         [](int64_t second, int64_t third) {
             return "offset " + std::to_string(third) + ", reached from record " +
                    std::to_string(second) + ": the record is cut off by the end of the file";
         }},
    };
    for (TLogFormat format : {TLogFormat::Exact, TLogFormat::Extended}) {
        TMemoryStream stream;
        auto log = Scan(stream, format);
        const std::vector<LoggedRecord> records = AllRecords(*log);
        ASSERT_GE(records.size(), 3u);
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(LogFormatName(format)) + ": " + c.What);
            std::vector<uint8_t> bytes = stream.Bytes();
            c.Damage(bytes, log->Layout(), records[1].Offset, records[2].Offset);
            TMemoryStream damaged(bytes);
            TDirStorage reader(damaged);
            TLogWalk walk = TLogWalk::AllRecords(reader);
            TDirNode node;
            std::string name;
            while (walk.Next(node, name)) {
            }
            EXPECT_EQ(walk.Damage().Text(), c.Expected(records[1].Offset, records[2].Offset));
        }
    }
}

TEST_F(ExtendedLogTest, AnExactScanPastItsLimitIsWrittenAgainExtendedAndSaysSo)
{
    std::vector<std::string> said;
    TMemoryStream stream;
    TDirStorage log(stream);
    TScanOptions options;
    options.ExactLimit = 300; // the root and two records
    log.SetScanOptions(options);
    log.SetStatusEvent([&said](const std::string& text, bool&) { said.push_back(text); });
    log.BuildLog({{T(""), 4096}});
    EXPECT_TRUE(log.PassedExactLimit());
    EXPECT_FALSE(log.WasStopped());
    EXPECT_EQ(log.Format(), TLogFormat::Extended);
    EXPECT_THAT(said, ::testing::Contains(std::string(kPassedExactLimitText)));
    TDirStorage reopened(stream);
    EXPECT_EQ(reopened.Format(), TLogFormat::Extended);
    EXPECT_EQ(AllRecords(reopened).size(), 8u);
    EXPECT_THAT(LogFaults(reopened, {4096}), IsEmpty());

    // Below the limit the log stays exact, to the byte what it always was.
    TMemoryStream small;
    TDirStorage exact(small);
    exact.BuildLog({{T(""), 4096}});
    EXPECT_FALSE(exact.PassedExactLimit());
    EXPECT_EQ(exact.Format(), TLogFormat::Exact);
    EXPECT_EQ(small.Bytes()[14], kLogExtensionLength);
}

TEST_F(ExtendedLogTest, AHeaderOfAnotherVersionReadsAsALogWithoutRecords)
{
    TMemoryStream stream;
    Scan(stream, TLogFormat::Extended);
    std::vector<uint8_t> bytes = stream.Bytes();
    bytes[xhdr::Version] = 2;
    TMemoryStream newer(bytes);
    TDirStorage log(newer);
    EXPECT_EQ(log.Format(), TLogFormat::Extended);
    EXPECT_EQ(log.ExtendedVersion(), 2);
    EXPECT_TRUE(AllRecords(log).empty());
    EXPECT_FALSE(log.HasTagList());
    log.SetTagMask(5);
    log.AddDeletedTotal(5);
    EXPECT_EQ(newer.Bytes(), bytes);
}

} // namespace
