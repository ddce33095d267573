// Changes through the new log: the check that the entry at a record's NewLogOffset is the
// record's own before anything is written, and tag items applied through it.
#include "compare/NewLogLink.h"
#include "core/LogFile.h"
#include "fileops/FileActions.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

class NewLogLinkTest : public ::testing::Test
{
protected:
    NewLogLinkTest() { paths_ = WriteCompareSample(dir_, SampleOldTree(), SampleNewTree()); }

    // The targets of the files with these full paths.
    std::vector<TNewLogTarget> Targets(const std::vector<std::string>& paths)
    {
        TFileStream stream(paths_.Comparison, TFileMode::OpenRead);
        TDirCompare file(stream);
        std::vector<TNewLogTarget> targets;
        for (const std::string& path : paths)
            WalkRecords(file, [&](int64_t at, const TCompareRecord& r, const std::string&) {
                if (file.GetFullPath(at) != path)
                    return true;
                targets.push_back({at, r.NewLogOffset});
                return false;
            });
        EXPECT_EQ(targets.size(), paths.size());
        return targets;
    }
    TNewLogChange Change(const std::vector<TNewLogTarget>& targets,
                         std::function<void(TDirStorage&, const std::vector<int64_t>&)> change)
    {
        return ChangeThroughNewLog(paths_.Comparison, paths_.NewLog, targets, change);
    }

    TempDir dir_;
    CompareSamplePaths paths_;
};

TEST_F(NewLogLinkTest, TagChangesReachTheRecordsEntriesAndComeBackAsTagSets)
{
    const auto targets = Targets({"/data/docs/a.txt", "/data/docs/b.txt", "/data/same.txt"});
    auto clear = [](TDirStorage& log, const std::vector<int64_t>& at) {
        for (int64_t offset : at)
            ClearAllTags(log, offset);
    };
    auto apply = [](int bit) {
        return
            [bit](TDirStorage& log, const std::vector<int64_t>& at) { ApplyTagItem(log, at, bit); };
    };
    // One entry toggles.
    EXPECT_EQ(Change({targets[0]}, apply(2)).Tags, std::vector<uint32_t>{4u});
    // Several where only some have it: all get it; then all lose it.
    EXPECT_EQ(Change(targets, apply(2)).Tags, (std::vector<uint32_t>{4u, 4u, 4u}));
    EXPECT_EQ(Change(targets, apply(2)).Tags, (std::vector<uint32_t>{0u, 0u, 0u}));
    Change(targets, apply(30));
    Change({targets[1]}, apply(0));
    EXPECT_EQ(Change(targets, clear).Tags, (std::vector<uint32_t>{0u, 0u, 0u}));
}

TEST_F(NewLogLinkTest, ReplacedNewLogIsRefusedAndNothingIsWritten)
{
    const auto targets = Targets({"/data/docs/c.txt", "/data/shrink.dat"});
    {
        TFileStream comparison(paths_.Comparison, TFileMode::OpenRead);
        TDirCompare file(comparison);
        TLogFile log(paths_.NewLog, false);
        EXPECT_EQ(CheckNewLogTargets(file, log.Log(), targets), "");
        EXPECT_EQ(NewLogRootMismatch(file, log.Log()), "");
    }
    // Another log under the same number: the offsets now land on other entries.
    TestTree other = {{"/data/", 4096, {File("aaaa.bin", 5), Dir("zz", {File("q", 1)})}}};
    WriteCompareSample(dir_, other, other, 8, 4);
    const std::string before = ReadWholeFile(paths_.NewLog);
    const TNewLogChange result =
        Change(targets,
               [](TDirStorage& log, const std::vector<int64_t>& at) { ApplyTagItem(log, at, 3); });
    EXPECT_NE(result.Mismatch, "");
    EXPECT_TRUE(result.Tags.empty());
    EXPECT_EQ(ReadWholeFile(paths_.NewLog), before);
    EXPECT_NE(ReadOnlyMessage(4, result.Mismatch).find("Log 4 no longer matches"),
              std::string::npos);
}

} // namespace
