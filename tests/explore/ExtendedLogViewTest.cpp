// The explore window's logic over an extended log: the tree from the directory chain and every
// view's rows, with their sizes, dates and tags, are those of the exact log of the same tree.
#include "explore/FileListTable.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace vm;
using namespace vmtest;

namespace {

std::vector<std::string> Shown(TLogFormat format)
{
    TMemoryStream stream;
    WriteTestLog(SampleNewTree(), stream, 45000.0, format);
    TDirStorage log(stream);
    EXPECT_EQ(log.Format(), format);
    log.SetTag(log.FindPath("/data/docs/c.txt"), 2);
    TDirTree tree("Log 1");
    TDirTreeBuilder builder(log, tree);
    while (builder.Step(2)) {
    }
    EXPECT_EQ(builder.Fault(), "");
    std::vector<std::string> shown;
    for (int n = 0; n < tree.Count(); ++n)
        shown.push_back("node " + std::string(tree.Name(n)));
    TFileListStore store;
    const TLocale locale = TLocale::Classic();
    TFileListTable table(store, tree, locale, [](const std::string& e) { return e; });
    table.SetLog(&log);
    for (TView view : {TView::Standard, TView::AllFiles, TView::Folders}) {
        for (bool tags : {false, true}) {
            store.Clear();
            TFillRequest request;
            request.View = view;
            request.TagMode = tags;
            request.Offset = log.FindPath("/data/docs");
            TListFill fill(log, tree, store, request);
            while (fill.Step(2)) {
            }
            EXPECT_EQ(fill.Fault(), "");
            for (int i = 0; i < store.Count(); ++i) {
                const TFileEntry row = table.Entry(i);
                shown.push_back(row.Name + " " + std::to_string(row.Size) + " " +
                                std::to_string(row.Allocated) + " " +
                                std::to_string(static_cast<int64_t>(row.Date * 86400)) + " " +
                                std::to_string(row.Tags));
            }
        }
    }
    const TSizeTotals totals = GetSubDirTotals(log, log.FindPath("/data/docs"));
    shown.push_back(std::to_string(totals.Size) + " " + std::to_string(totals.Allocated));
    return shown;
}

TEST(ExtendedLogView, AnExtendedLogShowsAsTheExactLogOfTheSameTree)
{
    // The sample's times are one number of seconds for both formats: local in the exact log,
    // UTC in the extended one. They are one moment where the two clocks agree.
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    const std::vector<std::string> exact = Shown(TLogFormat::Exact);
    EXPECT_GT(exact.size(), 10u);
    EXPECT_EQ(Shown(TLogFormat::Extended), exact);
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
