// Tags of log records, the tagged chain that links them, and the tag-name list.
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "support/LogInvariants.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using namespace vmtest::sample;

class LogTagsTest : public ::testing::Test
{
protected:
    LogTagsTest() : stream_(SampleLogBytes()), log_(stream_) {}

    std::vector<int32_t> Tagged()
    {
        std::vector<int32_t> out;
        TDirNode n;
        std::string name;
        for (TLogWalk w = TLogWalk::Tagged(log_); w.Next(n, name);)
            out.push_back(w.Offset());
        return out;
    }
    std::pair<int32_t, int32_t> Links(int32_t at)
    {
        TDirNode n;
        std::string name;
        log_.ReadNode(at, n, name);
        return {n.NextTaggedOffset, n.PrevTaggedOffset};
    }
    std::string TagLines()
    {
        const std::vector<uint8_t>& b = stream_.Bytes();
        return std::string(b.begin() + log_.Header().TagListOffset, b.end());
    }

    TMemoryStream stream_;
    TDirStorage log_;
};

TEST_F(LogTagsTest, TogglingTwiceLeavesTagsAndChainAsTheyWere)
{
    log_.SetTag(kB, 4);
    std::vector<uint8_t> before = stream_.Bytes();
    EXPECT_TRUE(log_.ToggleTag(kZ, 30));
    EXPECT_EQ(log_.ReadTags(kZ), kTagRubbishBin);
    EXPECT_THAT(Tagged(), ElementsAre(kB, kZ));
    EXPECT_TRUE(log_.ToggleTag(kZ, 30));
    EXPECT_EQ(stream_.Bytes(), before);
}

TEST_F(LogTagsTest, MembersJoinAtTheEndAndLeaveWithTheirNeighboursRelinked)
{
    log_.SetTag(kC, 0);
    log_.SetTag(kA, 1);
    log_.SetTag(kA, 2); // already a member: no change to the chain
    log_.SetTag(kSub, 3);
    EXPECT_THAT(Tagged(), ElementsAre(kC, kA, kSub));
    EXPECT_EQ(Links(kRoot), std::make_pair(kC, kSub));
    EXPECT_EQ(log_.ReadTags(kA), 0x6u);
    log_.ClearTag(kA, 1); // still tagged with bit 2
    EXPECT_THAT(Tagged(), ElementsAre(kC, kA, kSub));
    log_.ClearTag(kA, 2);
    EXPECT_THAT(Tagged(), ElementsAre(kC, kSub));
    EXPECT_EQ(Links(kA), std::make_pair(-1, -1));
    EXPECT_EQ(Links(kC), std::make_pair(kSub, kRoot));
    EXPECT_THAT(LogFaults(log_), IsEmpty());
}

TEST_F(LogTagsTest, ClearingTheOnlyMemberLeavesTheHeadEmpty)
{
    log_.SetTag(kB, 7);
    EXPECT_EQ(Links(kRoot), std::make_pair(kB, kB));
    log_.ClearTag(kB, 7);
    EXPECT_EQ(Links(kRoot), std::make_pair(-1, -1));
    EXPECT_EQ(Links(kB), std::make_pair(-1, -1));
    EXPECT_THAT(Tagged(), IsEmpty());
}

// The head anchors the chain: untagging it while others are tagged must not cut them off, and
// untagging the others while it is tagged must not drop it.
TEST_F(LogTagsTest, TheHeadStaysTheAnchorWhateverIsUntaggedFirst)
{
    log_.SetTag(kRoot, 0);
    log_.SetTag(kZ, 0);
    log_.ClearTag(kRoot, 0);
    EXPECT_THAT(Tagged(), ElementsAre(kZ));
    EXPECT_THAT(LogFaults(log_), IsEmpty());
    log_.SetTag(kRoot, 1);
    log_.ClearTag(kZ, 0);
    EXPECT_THAT(Tagged(), ElementsAre(kRoot));
    EXPECT_EQ(Links(kRoot), std::make_pair(kRoot, kRoot));
    log_.ClearTag(kRoot, 1);
    EXPECT_EQ(Links(kRoot), std::make_pair(-1, -1));
}

TEST_F(LogTagsTest, WritersLeaveBytesThatAreNoRecordAlone)
{
    std::vector<uint8_t> before = stream_.Bytes();
    for (int32_t bad : {-1, 0, kA + 3, 1 << 20}) {
        log_.WriteTags(bad, 0xFFFFFFFF);
        log_.SetTag(bad, 1);
        log_.WriteAttributes(bad, 0xFFFFFFFF);
        log_.WriteAllocated(bad, 12345);
        EXPECT_EQ(log_.ReadTags(bad), 0u);
    }
    EXPECT_EQ(stream_.Bytes(), before);
}

TEST_F(LogTagsTest, SingleFieldWritersChangeOnlyTheirField)
{
    std::vector<uint8_t> before = stream_.Bytes();
    log_.WriteAttributes(kB, faReadOnly | faNormal);
    log_.WriteAllocated(kB, 1 << 20);
    log_.WriteTags(kB, kTagDeleted);
    EXPECT_EQ(stream_.Position(), kB + rec::Tags + 4);
    std::vector<uint8_t> after = stream_.Bytes();
    TDirNode n;
    std::string name;
    ASSERT_TRUE(log_.ReadNode(kB, n, name));
    EXPECT_EQ(n.Attributes, faReadOnly | faNormal);
    EXPECT_EQ(n.Allocated, 1 << 20);
    EXPECT_EQ(n.Tags, kTagDeleted);
    EXPECT_EQ(n.NextTaggedOffset, -1); // WriteTags leaves the chain alone
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    EXPECT_LE(changed, 4u + 6 + 4);
}

TEST_F(LogTagsTest, NamingTag15PadsWithNewTagAndTheListEndsTheFile)
{
    log_.SetTagName(15, "Archive");
    TDirStorage reopened(stream_);
    std::string name;
    ASSERT_EQ(reopened.TagNameCount(), 15);
    reopened.GetTagName(13, name);
    EXPECT_EQ(name, "New tag");
    reopened.GetTagName(14, name);
    EXPECT_EQ(name, "New tag");
    reopened.GetTagName(15, name);
    EXPECT_EQ(name, "Archive");
    EXPECT_EQ(TagLines().substr(TagLines().size() - 9), "Archive\r\n");
    // A shorter name shrinks the file: nothing stale is left behind the list.
    log_.SetTagName(15, "A");
    EXPECT_EQ(TagLines().substr(TagLines().size() - 12), "New tag\r\nA\r\n");
    // A line break in a name would shift every later tag by a line.
    log_.SetTagName(2, "two\r\nlines");
    TDirStorage again(stream_);
    again.GetTagName(2, name);
    EXPECT_EQ(name, "two  lines");
    EXPECT_EQ(again.TagNameCount(), 15);
}

TEST(LogTagNamesTest, WithoutATagListNamesAreUndefinedAndNeverWritten)
{
    std::vector<uint8_t> b = SyntheticLog().Root("/d/").File("f", 1).Log();
    Poke32(b, 24, 0);
    TMemoryStream s(b);
    TDirStorage log(s);
    log.SetTagName(1, "x");
    log.SetTagMask(1);
    EXPECT_EQ(s.Bytes(), b);
    std::string name;
    EXPECT_FALSE(log.GetTagName(1, name));
    EXPECT_EQ(name, "Undefined Tag");
}

} // namespace
