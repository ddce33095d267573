// The block-reading walk over a log that the comparison uses: the same records as the checked
// file-order walk, across block boundaries, and an end with a reason at every kind of damage.
#include "core/LogFileOrder.h"
#include "core/LogWalk.h"
#include "support/CompareTestTrees.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

TestTree WideTree()
{
    std::vector<TestEntry> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back(File(std::string(1 + (i * 37) % 250, static_cast<char>('a' + i % 26)) +
                                   std::to_string(i),
                               i * 1000));
    return {{"/wide/", 4096, {Dir("d", std::move(entries)), File("z", 1)}}};
}

struct Seen
{
    int64_t Offset;
    std::string Name;
    uint16_t Level;
    int64_t NextOffset;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> ByBlocks(TDirStorage& log, size_t blockSize, std::string* fault = nullptr)
{
    std::vector<Seen> seen;
    TLogFileOrder walk(log, blockSize);
    TLogRecord fixed;
    std::string_view name;
    while (walk.Next(fixed, name))
        seen.push_back({walk.Offset(), std::string(name), fixed.Level, fixed.NextOffset});
    if (fault)
        *fault = walk.Damage().Text();
    return seen;
}

TEST(LogFileOrder, GivesTheRecordsOfTheCheckedWalkAcrossBlocks)
{
    TMemoryStream stream(TestLogBytes(WideTree()));
    TDirStorage log(stream);
    std::vector<Seen> expected;
    TDirNode node;
    std::string name;
    for (TLogWalk walk = TLogWalk::AllRecords(log); walk.Next(node, name);)
        expected.push_back({walk.Offset(), name, node.Level, node.NextOffset});
    ASSERT_EQ(expected.size(), 303u);
    for (size_t blockSize : {size_t{1}, size_t{325}, size_t{400}, size_t{4096}, size_t{1} << 20}) {
        std::string fault = "unset";
        EXPECT_EQ(ByBlocks(log, blockSize, &fault), expected) << blockSize;
        EXPECT_EQ(fault, "") << blockSize;
    }
}

TEST(LogFileOrder, EmptyLogsHaveNoRecordsAndNoFault)
{
    for (std::vector<uint8_t> bytes : {std::vector<uint8_t>{}, TestLogBytes({})}) {
        TMemoryStream stream(bytes);
        TDirStorage log(stream);
        std::string fault = "unset";
        EXPECT_TRUE(ByBlocks(log, 4096, &fault).empty());
        EXPECT_EQ(fault, "");
    }
}

TEST(LogFileOrder, DamageEndsTheWalkWithItsReason)
{
    const std::vector<uint8_t> good = TestLogBytes(WideTree());
    TMemoryStream probe(good);
    TDirStorage probeLog(probe);
    const std::vector<Seen> all = ByBlocks(probeLog, 4096);
    const int32_t third = all[2].Offset, fourth = all[3].Offset;
    auto at = [](int32_t offset, int32_t from, const char* reason) {
        return TLogDamage{offset, from, reason}.Text();
    };
    struct Case
    {
        const char* what;
        size_t at;
        int32_t value; // written as 32 bits, or as 16 when width is 2
        int width;
        std::string fault;
        size_t cutTo = 0;
    };
    const std::vector<Case> cases = {
        {"zero length", size_t(third), 0, 2,
         at(third, all[1].Offset, "the record has a length of 0")},
        {"long length", size_t(third), 326, 2,
         at(third, all[1].Offset, "the record has a length of 326")},
        {"wrong self", size_t(third) + rec::SelfOffset, 99, 4,
         at(third, all[1].Offset, "the record says it is at 99")},
        {"points back", size_t(all[1].Offset) + rec::NextOffset, int32_t(all[0].Offset), 4,
         at(all[0].Offset, all[1].Offset, "the link points back")},
        {"outside", size_t(all[1].Offset) + rec::NextOffset, 1 << 30, 4,
         at(1 << 30, all[1].Offset, "the link lies outside the records")},
        {"cut short", 0, 0, 0,
         at(third, all[1].Offset, "the record is cut off by the end of the file"),
         size_t(fourth) - 3},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        if (c.width == 2)
            PutU16(bytes.data() + c.at, static_cast<uint16_t>(c.value));
        else if (c.width == 4)
            PutI32(bytes.data() + c.at, c.value);
        if (c.cutTo)
            bytes.resize(c.cutTo);
        for (size_t blockSize : {size_t{400}, size_t{1} << 20}) {
            TMemoryStream stream(bytes);
            TDirStorage log(stream);
            std::string fault;
            EXPECT_EQ(ByBlocks(log, blockSize, &fault).size(), 2u) << c.what;
            EXPECT_EQ(fault, c.fault) << c.what;
            // The checked walk of TDirStorage meets the same damage in the same words.
            TLogWalk checked = TLogWalk::AllRecords(log);
            TDirNode node;
            std::string name;
            while (checked.Next(node, name)) {
            }
            EXPECT_EQ(checked.Damage().Text(), c.fault) << c.what;
        }
    }
}

} // namespace
