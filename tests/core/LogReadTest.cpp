// Reading logs: records, full paths, path lookup, the walks, and damaged or unusual files that
// must end a walk cleanly (never loop, never read outside the file).
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using namespace vmtest::sample;

class LogReadTest : public ::testing::Test
{
protected:
    LogReadTest() : bytes_(SampleLogBytes()) {}

    TDirStorage& Open()
    {
        stream_ = TMemoryStream(bytes_);
        log_ = std::make_unique<TDirStorage>(stream_);
        return *log_;
    }

    // The offsets a walk gives, and how it ended.
    struct Walked
    {
        std::vector<int32_t> Offsets;
        TLinkFault Fault;
    };
    static Walked Walk(TLogWalk w)
    {
        Walked out;
        TDirNode n;
        std::string name;
        while (w.Next(n, name) && out.Offsets.size() < 100)
            out.Offsets.push_back(w.Offset());
        out.Fault = w.Fault();
        return out;
    }

    std::vector<uint8_t> bytes_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
};

TEST_F(LogReadTest, WalksOfASoundLog)
{
    TDirStorage& log = Open();
    EXPECT_THAT(Walk(TLogWalk::AllRecords(log)).Offsets, ElementsAre(kRoot, kA, kSub, kB, kC, kZ));
    EXPECT_THAT(Walk(TLogWalk::Roots(log)).Offsets, ElementsAre(kRoot));
    EXPECT_THAT(Walk(TLogWalk::Children(log, kRoot)).Offsets, ElementsAre(kA, kSub, kZ));
    EXPECT_THAT(Walk(TLogWalk::Children(log, kSub)).Offsets, ElementsAre(kB, kC));
    EXPECT_THAT(Walk(TLogWalk::Children(log, kA)).Offsets, IsEmpty());
    EXPECT_THAT(Walk(TLogWalk::Directories(log)).Offsets, ElementsAre(kRoot, kSub));
    EXPECT_THAT(Walk(TLogWalk::Tagged(log)).Offsets, IsEmpty());
    EXPECT_EQ(Walk(TLogWalk::AllRecords(log)).Fault, TLinkFault::None);
}

TEST_F(LogReadTest, ReadNodeDecodesAndRefusesWhatIsNoRecord)
{
    TDirStorage& log = Open();
    TDirNode n;
    std::string name;
    stream_.Seek(17, TSeekOrigin::Begin);
    ASSERT_TRUE(log.ReadNode(kB, n, name));
    EXPECT_EQ(name, "b");
    EXPECT_EQ(n.Size, 5000);
    EXPECT_EQ(n.Allocated, 8192);
    EXPECT_EQ(n.ParentOffset, kSub);
    EXPECT_EQ(stream_.Position(), 17); // readers share no cursor
    for (int32_t bad : {-1, 0, 39, kB + 1, kEnd, static_cast<int32_t>(bytes_.size()), 1 << 30})
        EXPECT_FALSE(log.ReadNode(bad, n, name)) << bad;
}

TEST_F(LogReadTest, ZeroOrImpossibleRecordLengthEndsTheWalk)
{
    for (uint16_t length : {0, 1, 65, 326, 60000}) {
        Poke16(bytes_, kSub, length);
        TDirStorage& log = Open();
        Walked w = Walk(TLogWalk::AllRecords(log));
        EXPECT_THAT(w.Offsets, ElementsAre(kRoot, kA)) << length;
        EXPECT_EQ(w.Fault, TLinkFault::Unreadable);
    }
}

TEST_F(LogReadTest, TruncatedLogEndsTheWalkAtTheCutRecord)
{
    bytes_.resize(kC + 30);
    TDirStorage& log = Open();
    Walked w = Walk(TLogWalk::AllRecords(log));
    EXPECT_THAT(w.Offsets, ElementsAre(kRoot, kA, kSub, kB));
    EXPECT_EQ(w.Fault, TLinkFault::Unreadable);
    EXPECT_EQ(log.TagNameCount(), 0);
}

TEST_F(LogReadTest, LinksBackwardsOutsideOrIntoARecordEndTheWalk)
{
    struct Case
    {
        int32_t Record, Field, Value;
        TLinkFault Fault;
    } cases[] = {
        {kB, rec::NextOffset, kA, TLinkFault::NotForward},
        {kB, rec::NextOffset, kB, TLinkFault::NotForward},
        {kB, rec::NextOffset, 1 << 24, TLinkFault::OutsideFile},
        {kB, rec::NextOffset, 20, TLinkFault::OutsideFile},
        {kB, rec::NextOffset, kC + 5, TLinkFault::Unreadable},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> keep = bytes_;
        Poke32(bytes_, c.Record + c.Field, c.Value);
        Walked w = Walk(TLogWalk::AllRecords(Open()));
        EXPECT_THAT(w.Offsets, ElementsAre(kRoot, kA, kSub, kB)) << c.Value;
        EXPECT_EQ(w.Fault, c.Fault) << c.Value;
        bytes_ = keep;
    }
}

TEST_F(LogReadTest, SiblingAndDirectoryChainsEndWhereTheyGoWrong)
{
    Poke32(bytes_, kZ + rec::NextSiblingOffset, kA); // a cycle among the root's entries
    Poke32(bytes_, kSub + rec::NextDirOffset, kC);   // the directory chain reaches a file
    Poke32(bytes_, kB + rec::NextSiblingOffset, kZ); // a sibling of another directory
    TDirStorage& log = Open();
    Walked children = Walk(TLogWalk::Children(log, kRoot));
    EXPECT_THAT(children.Offsets, ElementsAre(kA, kSub, kZ));
    EXPECT_EQ(children.Fault, TLinkFault::NotForward);
    Walked dirs = Walk(TLogWalk::Directories(log));
    EXPECT_THAT(dirs.Offsets, ElementsAre(kRoot, kSub));
    EXPECT_EQ(dirs.Fault, TLinkFault::NotDirectory);
    Walked sub = Walk(TLogWalk::Children(log, kSub));
    EXPECT_THAT(sub.Offsets, ElementsAre(kB));
    EXPECT_EQ(sub.Fault, TLinkFault::WrongLevel);
}

TEST_F(LogReadTest, CyclicTaggedChainEndsAtTheRecordItComesBackTo)
{
    {
        TDirStorage& log = Open();
        log.SetTag(kA, 0);
        log.SetTag(kB, 1);
        log.SetTag(kZ, 2);
    }
    bytes_ = stream_.Bytes();
    Poke32(bytes_, kZ + rec::NextTaggedOffset, kA); // skips the head: a ring without it
    Walked w = Walk(TLogWalk::Tagged(Open()));
    EXPECT_THAT(w.Offsets, ElementsAre(kA, kB, kZ));
    EXPECT_EQ(w.Fault, TLinkFault::Revisited);
}

TEST_F(LogReadTest, FullPathsFollowParentsAndStopAtDamage)
{
    TDirStorage& log = Open();
    EXPECT_EQ(log.GetFullPath(kRoot), "/data");
    EXPECT_EQ(log.GetFullPath(kC), "/data/sub/c");
    stream_.Seek(17, TSeekOrigin::Begin);
    log.GetFullPath(kB);
    EXPECT_EQ(stream_.Position(), 17);
    Poke32(bytes_, kC + rec::ParentOffset, kZ); // a parent behind its entry
    Poke32(bytes_, kB + rec::ParentOffset, kB); // its own parent
    TDirStorage& damaged = Open();
    EXPECT_EQ(damaged.GetFullPath(kC), "c");
    EXPECT_EQ(damaged.GetFullPath(kB), "b");
    EXPECT_EQ(damaged.GetFullPath(12345), "");
}

TEST(LogPathsTest, RootSlashAndLongPathsAreWholePaths)
{
    std::string longName(200, 'n');
    TMemoryStream s(SyntheticLog().Root("/").Dir(longName).Dir(longName).File("f", 1).Log());
    TDirStorage log(s);
    EXPECT_EQ(log.GetFullPath(40), "/");
    std::string deep = "/" + longName + "/" + longName + "/f";
    int32_t f = log.FindPath(deep);
    ASSERT_NE(f, -1);
    EXPECT_EQ(log.GetFullPath(f), deep);
}

TEST(LogPathsTest, LookupIsExactAndTakesTheLastRootThatMatches)
{
    TMemoryStream s(SyntheticLog()
                        .Root("/srv/")
                        .Dir("data")
                        .File("Name", 1)
                        .File("name", 2)
                        .Close()
                        .Root("/srv/data/")
                        .File("Name", 3)
                        .Log());
    TDirStorage log(s);
    TDirNode n;
    std::string name;
    ASSERT_TRUE(log.ReadNode(log.FindPath("/srv/data/Name"), n, name));
    EXPECT_EQ(n.Size, 3);
    EXPECT_EQ(n.Level, 1); // under the second root
    EXPECT_EQ(log.FindPath("/srv/data/name"), -1);
    EXPECT_EQ(log.FindPath("/srv/data/NAME"), -1);
    EXPECT_EQ(log.FindPath("/SRV/data/Name"), -1);
    EXPECT_EQ(log.FindPath("/srv/"), -1); // a root itself
    EXPECT_EQ(log.FindPath("/srv"), -1);
    EXPECT_EQ(log.FindPath("/srv/data"), 40 + 71); // the first root's entry "data"
    EXPECT_EQ(log.FindPath(""), -1);
}

TEST(LogHeaderTest, ShortFileOpensAsAnEmptyLog)
{
    TMemoryStream s(std::vector<uint8_t>(15, 0x41));
    TDirStorage log(s);
    EXPECT_EQ(log.FirstOffset(), 40);
    EXPECT_FALSE(log.HasTagList());
    EXPECT_EQ(log.GetTagMask(), 0u);
    std::string tag;
    EXPECT_FALSE(log.GetTagName(1, tag));
    EXPECT_EQ(tag, "Undefined Tag");
    TDirNode n;
    EXPECT_FALSE(log.ReadNode(40, n, tag));
}

TEST(LogHeaderTest, ExtensionLengthDecidesTheFirstRecordAndTheFieldsThatExist)
{
    std::vector<uint8_t> sample = SyntheticLog().Root("/d/").File("f", 1).Log(DefaultTagNames());
    {
        // 16 bytes of extension: no deleted total, and it is never written.
        std::vector<uint8_t> b = sample;
        Poke16(b, 14, 16);
        PutI64(&b[32], 777);
        TMemoryStream s(b);
        TDirStorage log(s);
        EXPECT_EQ(log.FirstOffset(), 32);
        EXPECT_EQ(log.GetDeletedTotal(), 0);
        log.AddDeletedTotal(5);
        EXPECT_EQ(s.Bytes(), b);
    }
    {
        // 8 bytes: no tag-list offset either, so no tag names and no tag mask.
        std::vector<uint8_t> b = sample;
        Poke16(b, 14, 8);
        TMemoryStream s(b);
        TDirStorage log(s);
        EXPECT_EQ(log.FirstOffset(), 24);
        EXPECT_FALSE(log.HasTagList());
        log.SetTagMask(0xFF);
        log.SetTagName(1, "x");
        EXPECT_EQ(s.Bytes(), b);
    }
    {
        // Longer than ours: the first 24 bytes are read, the records start behind all of it.
        std::vector<uint8_t> b = sample;
        Poke16(b, 14, 30);
        TMemoryStream s(b);
        TDirStorage log(s);
        EXPECT_EQ(log.FirstOffset(), 46);
        EXPECT_EQ(log.GetLogDate(), 45000.5);
        EXPECT_TRUE(log.HasTagList());
    }
}

TEST(LogHeaderTest, DeletedTotalAndTagMaskAreWrittenInPlace)
{
    TMemoryStream s(SyntheticLog().Root("/d/").Log(DefaultTagNames()));
    {
        TDirStorage log(s);
        log.AddDeletedTotal(4096);
        log.AddDeletedTotal(100);
        log.SetTagMask(0x40000003);
    }
    TDirStorage reopened(s);
    EXPECT_EQ(reopened.GetDeletedTotal(), 4196);
    EXPECT_EQ(reopened.GetTagMask(), 0x40000003u);
    EXPECT_EQ(GetI64(&s.Bytes()[32]), 4196);
}

} // namespace
