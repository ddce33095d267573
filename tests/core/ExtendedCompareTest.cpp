// Comparisons in the extended format: logs of either format compare to the same entries (an exact
// old log against an extended new one too), extended comparisons carry the owners the logs have,
// an exact comparison past its limit is written extended, and a damaged one ends its walks.
#include "core/CompareChecks.h"
#include "core/DirCompare.h"
#include "core/ExtendedCompareFormat.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::IsEmpty;

namespace {

struct TRow
{
    std::string Path;
    uint8_t Kind, Condition;
    int64_t SizeWas, SizeNow, AllocWas, AllocNow;
    bool operator==(const TRow&) const = default;
};

class ExtendedCompareTest : public ::testing::Test
{
protected:
    ExtendedCompareTest()
    {
        dir_.MakeDir("t");
        dir_.MakeDir("t/gone");
        dir_.MakeDir("t/sub");
        dir_.WriteFile("t/a", std::string(100, 'a'));
        dir_.WriteFile("t/gone/x", "x");
        dir_.WriteFile("t/sub/b", std::string(5000, 'b'));
        for (TLogFormat f : {TLogFormat::Exact, TLogFormat::Extended})
            Scan(old_[static_cast<int>(f)], f);
        std::filesystem::remove_all(dir_ / "t/gone");
        dir_.WriteFile("t/a", std::string(10000, 'a'));
        chmod((dir_ / "t").c_str(), 0777);
        chmod((dir_ / "t").c_str(), 0777);
        std::optional<bool> made = RunUnprivileged(dir_.Path(), [&] {
            int fd = open((dir_ / "t/added").c_str(), O_CREAT | O_WRONLY | O_EXCL, 0600);
            return fd >= 0 && close(fd) == 0;
        });
        EXPECT_TRUE(made.value_or(false)) << "could not create a file as an unprivileged user";
        for (TLogFormat f : {TLogFormat::Exact, TLogFormat::Extended})
            Scan(new_[static_cast<int>(f)], f);
    }

    void Scan(TMemoryStream& stream, TLogFormat format)
    {
        TDirStorage log(stream);
        TScanOptions options;
        options.Format = format;
        log.SetScanOptions(options);
        log.BuildLog({{dir_ / "t/", 4096}});
    }

    // Compares the logs of the formats given into out.
    void Compare(TLogFormat oldFormat, TLogFormat newFormat, TMemoryStream& out,
                 int64_t exactLimit = kMaxLogSize)
    {
        TDirStorage oldLog(old_[static_cast<int>(oldFormat)]);
        TDirStorage newLog(new_[static_cast<int>(newFormat)]);
        TDirCompare comparison(out);
        comparison.SetExactLimit(exactLimit);
        comparison.CompareLogs(oldLog, newLog);
        EXPECT_EQ(comparison.LogDamage(), "");
        passed_ = comparison.PassedExactLimit();
    }

    std::vector<TRow> Rows(TDirCompare& file, std::vector<TCompareRecord>* records = nullptr)
    {
        std::vector<TRow> rows;
        TCompareWalkEnd end =
            WalkRecords(file, [&](int64_t at, const TCompareRecord& r, const std::string&) {
                rows.push_back({file.GetFullPath(at), r.Kind, r.Condition, r.SizeWas, r.SizeNow,
                                r.AllocWas, r.AllocNow});
                if (records)
                    records->push_back(r);
                return true;
            });
        EXPECT_EQ(end.Damage, "");
        return rows;
    }

    TempDir dir_;
    TMemoryStream old_[2], new_[2];
    bool passed_ = false;
};

TEST_F(ExtendedCompareTest, LogsOfEitherFormatCompareToTheSameEntriesAndExtendedOnesKeepOwners)
{
    TMemoryStream exactBytes;
    Compare(TLogFormat::Exact, TLogFormat::Exact, exactBytes);
    TDirCompare exact(exactBytes);
    EXPECT_EQ(exact.Format(), TLogFormat::Exact);
    const std::vector<TRow> expected = Rows(exact);
    ASSERT_EQ(expected.size(), 7u); // t, a, added, gone, gone/x, sub, sub/b
    EXPECT_EQ(expected[2].Path, dir_ / "t/added");
    EXPECT_EQ(expected[2].Condition, kConditionAdded);
    EXPECT_EQ(expected[3].Condition, kConditionDeleted);

    for (TLogFormat oldFormat : {TLogFormat::Exact, TLogFormat::Extended}) {
        for (TLogFormat newFormat : {TLogFormat::Exact, TLogFormat::Extended}) {
            if (oldFormat == TLogFormat::Exact && newFormat == TLogFormat::Exact)
                continue;
            SCOPED_TRACE(std::string(LogFormatName(oldFormat)) + " to " + LogFormatName(newFormat));
            TMemoryStream bytes;
            Compare(oldFormat, newFormat, bytes);
            EXPECT_FALSE(passed_);
            TDirCompare file(bytes);
            ASSERT_EQ(file.Format(), TLogFormat::Extended);
            EXPECT_EQ(file.FirstOffset(), kExtendedCompareHeaderSize);
            EXPECT_EQ(file.GetFileVersion(), kExtendedCompareVersion);
            std::vector<TCompareRecord> records;
            EXPECT_EQ(Rows(file, &records), expected);

            TDirStorage newLog(new_[static_cast<int>(newFormat)]);
            TDirStorage oldLog(old_[static_cast<int>(oldFormat)]);
            const std::vector<TRow> rows = Rows(file);
            for (size_t i = 0; i < records.size(); ++i) {
                const TCompareRecord& r = records[i];
                SCOPED_TRACE(rows[i].Path);
                TDirNode node;
                std::string name;
                if (r.Condition == kConditionDeleted) {
                    EXPECT_EQ(r.NewLogOffset, kNoOffset);
                    ASSERT_TRUE(oldLog.ReadNode(oldLog.FindPath(rows[i].Path), node, name));
                } else {
                    EXPECT_EQ(newLog.GetFullPath(r.NewLogOffset), rows[i].Path);
                    ASSERT_TRUE(newLog.ReadNode(r.NewLogOffset, node, name));
                }
                EXPECT_EQ(r.Owner, node.Owner);
                EXPECT_EQ(r.Group, node.Group);
                EXPECT_EQ(r.Mode, node.Mode);
                if (r.Level > 0) {
                    EXPECT_LT(std::fabs(r.Modified - node.Modified) * 86400, 1.0);
                }
            }
            // The entry another user made carries that user where the new log records owners.
            if (newFormat == TLogFormat::Extended && geteuid() == 0) {
                EXPECT_EQ(records[2].Owner, 65534u);
            }
        }
    }
}

TEST_F(ExtendedCompareTest, AnExactComparisonPastItsLimitIsWrittenAgainExtended)
{
    TMemoryStream exactBytes, bytes;
    Compare(TLogFormat::Exact, TLogFormat::Exact, exactBytes);
    Compare(TLogFormat::Exact, TLogFormat::Exact, bytes, 200);
    EXPECT_TRUE(passed_);
    TDirCompare exact(exactBytes), file(bytes);
    EXPECT_EQ(file.Format(), TLogFormat::Extended);
    EXPECT_EQ(Rows(file), Rows(exact));
}

TEST_F(ExtendedCompareTest, ADamagedComparisonEndsItsWalksWhereTheDamageIs)
{
    TMemoryStream bytes;
    Compare(TLogFormat::Extended, TLogFormat::Extended, bytes);
    std::vector<int64_t> offsets;
    {
        TDirCompare file(bytes);
        WalkRecords(file, [&](int64_t at, const TCompareRecord&, const std::string&) {
            offsets.push_back(at);
            return true;
        });
    }
    ASSERT_GE(offsets.size(), 3u);
    auto walkOf = [](std::vector<uint8_t> damaged) {
        TMemoryStream stream(std::move(damaged));
        TDirCompare file(stream);
        return WalkRecords(file,
                           [](int64_t, const TCompareRecord&, const std::string&) { return true; })
            .Damage;
    };

    std::vector<uint8_t> cut = bytes.Bytes();
    cut.resize(static_cast<size_t>(offsets[2] + 50));
    EXPECT_EQ(walkOf(cut), "offset " + std::to_string(offsets[2]) + ", reached from record " +
                               std::to_string(offsets[1]) +
                               ": the record is cut off by the end of the file");

    std::vector<uint8_t> back = bytes.Bytes();
    PutI64(back.data() + offsets[1] + xcmp::NextOffset, offsets[0]);
    EXPECT_EQ(walkOf(back), "offset " + std::to_string(offsets[0]) + ", reached from record " +
                                std::to_string(offsets[1]) + ": the link points back");

    std::vector<uint8_t> parent = bytes.Bytes();
    PutI64(parent.data() + offsets[1] + xcmp::ParentOffset, offsets[2]);
    TMemoryStream stream(parent);
    TDirCompare file(stream);
    TCompareRecord r;
    std::string name;
    ASSERT_TRUE(file.ReadRecord(offsets[1], r, name));
    EXPECT_EQ(CheckCompareRecordLinks(offsets[1], r, file.FileSize(), file.FirstOffset()),
              "ParentOffset " + std::to_string(offsets[2]) + " is not a record before it");
    ASSERT_TRUE(file.ReadRecord(offsets[0], r, name));
    EXPECT_EQ(CheckCompareRecordLinks(offsets[0], r, file.FileSize(), file.FirstOffset()), "");

    // A header alone, cut short, has no records and no first one to read.
    TMemoryStream header(std::vector<uint8_t>(bytes.Bytes().begin(), bytes.Bytes().begin() + 15));
    TDirCompare headerOnly(header);
    EXPECT_FALSE(headerOnly.ReadRecord(headerOnly.FirstOffset(), r, name));
}

} // namespace
