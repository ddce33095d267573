// The walks over one directory's subtree: every record below it, or its directories, ending
// cleanly where the subtree ends and at damage like every other walk.
#include "core/LogWalk.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using namespace vmtest::sample; // /data/ [a.txt 10, sub/ [b 5000, c 7], z 1]

std::vector<std::string> Names(TLogWalk walk)
{
    std::vector<std::string> names;
    TDirNode node;
    std::string name;
    while (walk.Next(node, name))
        names.push_back(name);
    EXPECT_EQ(walk.Damage().Text(), "");
    return names;
}

TEST(LogSubtree, EndsWhereTheDirectoryEnds)
{
    TMemoryStream stream(SampleLogBytes());
    TDirStorage log(stream);
    EXPECT_THAT(Names(TLogWalk::Subtree(log, kSub)), ElementsAre("b", "c"));
    EXPECT_THAT(Names(TLogWalk::Subtree(log, kRoot)), ElementsAre("a.txt", "sub", "b", "c", "z"));
    EXPECT_THAT(Names(TLogWalk::SubtreeDirectories(log, kRoot)), ElementsAre("sub"));
    EXPECT_THAT(Names(TLogWalk::SubtreeDirectories(log, kSub)), IsEmpty());
    EXPECT_THAT(Names(TLogWalk::Subtree(log, kA)), IsEmpty()); // a file has no subtree
}

TEST(LogSubtree, BackwardLinkEndsTheWalkWithItsFault)
{
    std::vector<uint8_t> bytes = SampleLogBytes();
    Poke32(bytes, kB + rec::NextOffset, kSub);
    TMemoryStream stream(bytes);
    TDirStorage log(stream);
    TLogWalk walk = TLogWalk::Subtree(log, kSub);
    TDirNode node;
    std::string name;
    int count = 0;
    while (walk.Next(node, name))
        ++count;
    EXPECT_EQ(count, 1);
    EXPECT_EQ(walk.Fault(), TLinkFault::NotForward);
}

} // namespace
