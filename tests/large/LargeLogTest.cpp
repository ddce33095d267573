// A synthetic extended log past 2 GiB, written to a real file and read end to end by the
// readers that matter at that size: the file-order walk and export, the directory chain, paths
// and look-ups, tags and space changed beyond 2 GiB, and a comparison that passes 2 GiB too.
// It writes about 4.5 GB into the temporary directory and takes a minute, so it carries the
// ctest label "large": ./run-tests leaves it out, ./run-tests --large and CI run it.
#include "large/LargeLog.h"
#include "core/DirCompare.h"
#include "core/LogFileOrder.h"
#include "core/LogWalk.h"
#include "output/LogExport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

TEST(LargeLog, AnExtendedLogPast2GiBIsReadEndToEnd)
{
    TempDir dir;
    if (!HasFreeSpace(dir.Path(), 6e9))
        GTEST_SKIP() << "less than 6 GB free in " << dir.Path();
    const std::string path = dir / "large.kdf";
    const int64_t written = WriteLargeLog(path).Records;

    TFileStream stream(path, TFileMode::OpenRead);
    TDirStorage log(stream);
    ASSERT_EQ(log.Format(), TLogFormat::Extended);
    EXPECT_EQ(log.RecordCount(), written);
    EXPECT_GT(log.Header().TagListOffset, kPastLimit);

    // Every record in file order, each link checked.
    TLogFileOrder order(log);
    TLogRecord record;
    std::string_view name;
    int64_t records = 0, last = kNoOffset, lastDir = kNoOffset, directories = 0;
    while (order.Next(record, name)) {
        ++records;
        last = order.Offset();
        if (record.Kind == kKindDirectory)
            lastDir = last;
    }
    EXPECT_EQ(order.Damage().Text(), "");
    EXPECT_EQ(records, written);
    EXPECT_GT(last, int64_t{1} << 31);
    EXPECT_GT(lastDir, int64_t{1} << 31);

    // The directory chain, the entries of a directory beyond 2 GiB, paths and look-ups.
    TDirNode node;
    std::string text;
    TLogWalk chain = TLogWalk::Directories(log);
    while (chain.Next(node, text))
        ++directories;
    EXPECT_EQ(chain.Damage().Text(), "");
    EXPECT_GT(directories, records / 50);
    int children = 0;
    for (TLogWalk c = TLogWalk::Children(log, lastDir); c.Next(node, text);)
        ++children;
    EXPECT_EQ(children, 40);
    const std::string lastPath = log.GetFullPath(last);
    EXPECT_EQ(lastPath.rfind("/large/top-", 0), 0u) << lastPath;
    EXPECT_EQ(log.FindPath(lastPath), last);

    // Tags and space change in place beyond 2 GiB.
    {
        TFileStream writable(path, TFileMode::OpenReadWrite);
        TDirStorage changed(writable);
        changed.SetTag(last, 0);
        changed.WriteAllocated(last, 123);
    }
    TFileStream again(path, TFileMode::OpenRead);
    TDirStorage reread(again);
    std::vector<int64_t> tagged;
    for (TLogWalk t = TLogWalk::Tagged(reread); t.Next(node, text);)
        tagged.push_back(t.Offset());
    EXPECT_EQ(tagged, std::vector<int64_t>{last});
    ASSERT_TRUE(reread.ReadNode(last, node, text));
    EXPECT_EQ(node.Allocated, 123);
    EXPECT_EQ(node.Owner, 1000u);

    // The export reads it whole.
    int64_t bytes = 0;
    TExportResult exported = ExportLog(reread, TExportFormat::JsonLines,
                                       [&bytes](std::string_view s) { bytes += s.size(); });
    EXPECT_EQ(exported.Damage, "");
    EXPECT_EQ(exported.Entries, written);

    // A comparison with an empty log passes 2 GiB as well and is walked end to end.
    TMemoryStream empty;
    TDirStorage none(empty);
    {
        TFileStream out(dir / "large.kcf", TFileMode::Create);
        TDirCompare comparison(out);
        comparison.CompareLogs(none, reread);
        EXPECT_EQ(comparison.LogDamage(), "");
        out.Flush();
    }
    TFileStream cmpStream(dir / "large.kcf", TFileMode::OpenRead);
    TDirCompare comparison(cmpStream);
    EXPECT_EQ(comparison.Format(), TLogFormat::Extended);
    EXPECT_GT(comparison.FileSize(), int64_t{1} << 31);
    int64_t compared = 0, lastNew = kNoOffset;
    TCompareWalkEnd end =
        WalkRecords(comparison, [&](int64_t, const TCompareRecord& r, const std::string&) {
            ++compared;
            lastNew = r.NewLogOffset;
            return true;
        });
    EXPECT_EQ(end.Damage, "");
    EXPECT_EQ(compared, written);
    EXPECT_EQ(lastNew, last);
}

} // namespace
