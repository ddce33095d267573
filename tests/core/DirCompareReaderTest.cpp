// The comparison reader on files built byte by byte: decoding, versions, full
// paths, and damaged files whose walks must end cleanly.
#include "core/DirCompare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace vm;

namespace {

// Builds a comparison file record by record, with the links given by the test.
class CompareBytes
{
public:
    explicit CompareBytes(const char* signature = "Volumark 1.02")
    {
        bytes_.assign(signature, signature + 13);
        bytes_.push_back(0x1A);
    }
    int32_t Add(const TCompareRecord& r, const std::string& name)
    {
        const auto self = static_cast<int32_t>(bytes_.size());
        const auto length = static_cast<uint16_t>(kCompareMinRecordLength + name.size());
        uint8_t fixed[kCompareFixedSize];
        EncodeCompareFixed(r, length, self, fixed);
        bytes_.insert(bytes_.end(), fixed, fixed + kCompareFixedSize);
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(0);
        return self;
    }
    // A record at `level` under `parent`, its NextOffset the record behind it.
    int32_t Add(uint16_t level, int32_t parent, const std::string& name,
                uint8_t kind = kKindDirectory)
    {
        TCompareRecord r;
        r.Level = level;
        r.ParentOffset = parent;
        r.Kind = kind;
        r.NextOffset = static_cast<int32_t>(bytes_.size() + kCompareMinRecordLength + name.size());
        return Add(r, name);
    }
    void PokeI32(int32_t at, int32_t v) { PutI32(bytes_.data() + at, v); }
    void PokeU16(int32_t at, uint16_t v) { PutU16(bytes_.data() + at, v); }
    void Cut(size_t size) { bytes_.resize(size); }
    TMemoryStream Stream() const { return TMemoryStream(bytes_); }
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

TEST(CompareReader, DecodesEveryFieldAndTruncatesSizes)
{
    CompareBytes file;
    TCompareRecord r;
    r.Kind = kKindFile;
    r.Level = 3;
    r.Attributes = 0x821;
    r.Created = 45000.5;
    r.Accessed = 45001.25;
    r.Modified = 45002.75;
    r.SizeNow = 123456789;
    r.AllocNow = int64_t{1} << 40;
    r.SizeWas = 7;
    r.AllocWas = 4096;
    r.ParentOffset = 14;
    r.NextOffset = 14 + 83 + 4;
    r.NextSiblingOffset = -1;
    r.NextDirOffset = -1;
    r.NewLogOffset = 1234;
    r.Condition = kConditionBoth;
    file.Add(r, "name");
    // A stored 2.9 reads as 2: the comparison reader truncates where the log
    // reader rounds.
    auto s = file.Stream();
    uint8_t real[6];
    EncodeReal48(2.9, real);
    s.Seek(14 + cmp::SizeWas, TSeekOrigin::Begin);
    s.Write(real, 6);

    TDirCompare reader(s);
    TCompareRecord got;
    std::string name;
    ASSERT_TRUE(reader.ReadRecord(14, got, name));
    EXPECT_EQ(name, "name");
    EXPECT_EQ(got.Kind, kKindFile);
    EXPECT_EQ(got.Level, 3);
    EXPECT_EQ(got.Attributes, 0x821u);
    EXPECT_EQ(got.Created, 45000.5);
    EXPECT_EQ(got.Accessed, 45001.25);
    EXPECT_EQ(got.Modified, 45002.75);
    EXPECT_EQ(got.SizeNow, 123456789);
    EXPECT_EQ(got.AllocNow, int64_t{1} << 40);
    EXPECT_EQ(got.SizeWas, 2);
    EXPECT_EQ(got.AllocWas, 4096);
    EXPECT_EQ(got.NextOffset, 14 + 87);
    EXPECT_EQ(got.NewLogOffset, 1234);
    EXPECT_EQ(got.Condition, kConditionBoth);
    EXPECT_EQ(reader.ReadRecordLength(14), 87);
    EXPECT_EQ(reader.GetFileVersion(), 102);
}

TEST(CompareReader, VersionComesFromHeaderCharactersNineElevenTwelve)
{
    struct Case
    {
        const char* signature;
        int version;
        int32_t newLogOffset;
    };
    for (const Case& c : {Case{"Volumark 1.02", 102, 500}, Case{"Volumark 1.01", 101, 0},
                          Case{"Volumark x.yz", 0, 500}, Case{"VOLUMARK 1.03", 103, 500}}) {
        CompareBytes file(c.signature);
        TCompareRecord r;
        r.NewLogOffset = 500;
        file.Add(r, "/data/");
        auto s = file.Stream();
        TDirCompare reader(s);
        TCompareRecord got;
        std::string name;
        ASSERT_TRUE(reader.ReadRecord(14, got, name)) << c.signature;
        EXPECT_EQ(reader.GetFileVersion(), c.version) << c.signature;
        EXPECT_EQ(got.NewLogOffset, c.newLogOffset) << c.signature;
    }
    TMemoryStream shortFile(std::vector<uint8_t>{'V', 'o', 'l'});
    EXPECT_EQ(TDirCompare(shortFile).GetFileVersion(), 0);
}

TEST(CompareReader, FullPathFollowsParentsAndKeepsThePosition)
{
    CompareBytes file;
    int32_t root = file.Add(0, 14, "/data/");
    int32_t dir = file.Add(1, root, "Sub Dir");
    int32_t leaf = file.Add(2, dir, "file.txt", kKindFile);
    int32_t slash = file.Add(0, 14, "/");
    int32_t etc = file.Add(1, slash, "etc");
    auto s = file.Stream();
    TDirCompare reader(s);
    s.Seek(5, TSeekOrigin::Begin);
    EXPECT_EQ(reader.GetFullPath(root), "/data");
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(reader.GetFullPath(dir), "/data/Sub Dir");
    EXPECT_EQ(reader.GetFullPath(leaf), "/data/Sub Dir/file.txt");
    EXPECT_EQ(reader.GetFullPath(slash), "/");
    EXPECT_EQ(reader.GetFullPath(etc), "/etc");
    EXPECT_EQ(s.Position(), 5);
}

TEST(CompareReader, FullPathsAreNeverCut)
{
    CompareBytes file;
    int32_t parent = file.Add(0, 14, "/" + std::string(200, 'r') + "/");
    std::string want = "/" + std::string(200, 'r');
    for (int level = 1; level <= 40; ++level) {
        std::string name = std::string(250, 'a' + level % 26);
        parent = file.Add(static_cast<uint16_t>(level), parent, name);
        want += "/" + name;
    }
    auto s = file.Stream();
    TDirCompare reader(s);
    EXPECT_EQ(reader.GetFullPath(parent), want);
    EXPECT_GT(want.size(), 10000u);
}

TEST(CompareReader, BadLengthsAndOffsetsDoNotRead)
{
    CompareBytes file;
    int32_t root = file.Add(0, 14, "/data/");
    int32_t second = file.Add(1, root, "x");
    const size_t whole = file.Size();
    TCompareRecord r;
    std::string name = "stale";
    {
        auto s = file.Stream();
        TDirCompare reader(s);
        EXPECT_FALSE(reader.ReadRecord(-1, r, name));
        EXPECT_TRUE(name.empty());
        EXPECT_FALSE(reader.ReadRecord(0, r, name)); // inside the header
        EXPECT_FALSE(reader.ReadRecord(static_cast<int32_t>(whole), r, name));
        EXPECT_EQ(reader.ReadRecordLength(static_cast<int32_t>(whole)), 0);
        EXPECT_EQ(reader.ReadRecordLength(-5), 0);
        EXPECT_TRUE(reader.ReadRecord(second, r, name));
    }
    for (uint16_t badLength : {uint16_t{0}, uint16_t{1}, uint16_t{82}}) {
        CompareBytes damaged = file;
        damaged.PokeU16(second, badLength);
        auto s = damaged.Stream();
        TDirCompare reader(s);
        EXPECT_FALSE(reader.ReadRecord(second, r, name)) << badLength;
    }
    {
        CompareBytes cut = file;
        cut.Cut(whole - 1); // the name's zero byte is missing
        auto s = cut.Stream();
        TDirCompare reader(s);
        name = "stale";
        EXPECT_FALSE(reader.ReadRecord(second, r, name));
        EXPECT_TRUE(name.empty());
        cut.Cut(static_cast<size_t>(second) + 40); // inside the fixed part
        auto s2 = cut.Stream();
        TDirCompare reader2(s2);
        EXPECT_FALSE(reader2.ReadRecord(second, r, name));
        EXPECT_EQ(reader2.ReadRecordLength(second), 84);
    }
}

TEST(CompareReader, DamagedParentLinksEndTheFullPath)
{
    CompareBytes file;
    int32_t root = file.Add(0, 14, "/data/");
    int32_t a = file.Add(1, root, "a");
    int32_t b = file.Add(2, a, "b");
    for (int32_t badParent : {b, b + 1, 1 << 30, -7}) {
        CompareBytes damaged = file;
        damaged.PokeI32(a + cmp::ParentOffset, a); // a names itself as its parent
        damaged.PokeI32(b + cmp::ParentOffset, badParent);
        auto s = damaged.Stream();
        TDirCompare reader(s);
        EXPECT_EQ(reader.GetFullPath(b), "b") << badParent;
        EXPECT_EQ(reader.GetFullPath(a), "a");
    }
}

TEST(CompareReader, WalksFollowOnlyForwardLinksInsideTheFile)
{
    CompareBytes file;
    int32_t root = file.Add(0, 14, "/data/");
    int32_t a = file.Add(1, root, "a", kKindFile);
    auto s = file.Stream();
    TDirCompare reader(s);
    const auto size = static_cast<int32_t>(s.Size());
    EXPECT_EQ(reader.ForwardLink(root, a), a);
    EXPECT_EQ(reader.ForwardLink(a, root), -1);
    EXPECT_EQ(reader.ForwardLink(a, a), -1);
    EXPECT_EQ(reader.ForwardLink(a, size), -1);
    EXPECT_EQ(reader.ForwardLink(14, 14),
              -1); // the first directory's self-link ends the chain
    EXPECT_EQ(reader.ForwardLink(a, -1), -1);

    TCompareRecord r;
    std::string name;
    ASSERT_TRUE(reader.ReadRecord(root, r, name));
    EXPECT_EQ(reader.FirstEntry(root, r), a);
    ASSERT_TRUE(reader.ReadRecord(a, r, name));
    EXPECT_EQ(reader.FirstEntry(a, r), -1); // the last record
}

} // namespace

namespace {

TEST(CompareReader, WholeNumberDecodingAgreesWithTheRealValue)
{
    // Sizes are decoded without floating point; any six bytes must give what rounding or
    // truncating the real value gives.
    std::mt19937_64 rng(42);
    for (int i = 0; i < 200000; ++i) {
        uint8_t b[6];
        uint64_t r = rng();
        std::memcpy(b, &r, 6);
        b[0] = static_cast<uint8_t>(i % 3 == 0 ? r >> 56 : 129 + (r >> 56) % 70);
        const double v = DecodeReal48(b);
        const auto clamp = [](double x) {
            return x >= 9.2233720368547758e18    ? INT64_MAX
                   : x <= -9.2233720368547758e18 ? INT64_MIN
                                                 : static_cast<int64_t>(x);
        };
        ASSERT_EQ(DecodeReal48Rounded(b), clamp(std::round(v))) << v;
        ASSERT_EQ(DecodeReal48Truncated(b), clamp(std::trunc(v))) << v;
    }
}

} // namespace
