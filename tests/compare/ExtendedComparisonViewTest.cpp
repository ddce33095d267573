// The compare window's logic over a comparison of an exact old log with an extended new one:
// the tree, every view's rows and their texts are those of the exact comparison of the same
// trees, and the rows reach the extended new log through their offsets in it.
#include "compare/CompareFill.h"
#include "compare/CompareTree.h"
#include "compare/NewLogLink.h"
#include "support/CompareSample.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

// What a window shows of one comparison: the tree's names and arrows, and each view's rows at
// the top-level path with their condition and change texts.
struct TShown
{
    std::vector<std::string> Tree;
    std::vector<std::string> Rows;
    bool operator==(const TShown&) const = default;
};

TShown Show(TDirCompare& file, TDirStorage& newLog)
{
    TShown shown;
    TDirTree tree("Log 3 with log 4");
    TCompareTreeBuilder builder(file, tree);
    while (builder.Step(2)) {
    }
    EXPECT_EQ(builder.Fault(), "");
    for (int n = 0; n < tree.Count(); ++n)
        shown.Tree.push_back(std::string(tree.Name(n)) + " " + std::to_string(tree.Node(n).State));
    TCompareRowStore store;
    const TLocale locale = TLocale::Classic();
    TCompareListTable table(store, tree, locale, [](const std::string& e) { return e + " File"; });
    table.SetComparison(&file);
    int data = -1;
    for (int n = 0; n < tree.Count(); ++n)
        if (tree.Name(n) == "/data/")
            data = n;
    for (TView view : {TView::Standard, TView::AllFiles, TView::Folders}) {
        store.Clear();
        TCompareFillRequest request;
        request.View = view;
        request.Offset = tree.Node(data).Offset;
        TCompareFill fill(file, store, request, nullptr);
        while (fill.Step(3)) {
        }
        EXPECT_EQ(fill.Fault(), "");
        for (int i = 0; i < store.Count(); ++i) {
            const TCompareEntry entry = table.Entry(i);
            shown.Rows.push_back(entry.Name + ": " + table.Text(i, kCmpCondition) + " " +
                                 table.Text(i, kCmpChanged));
            if (entry.NewLogOffset != kNoOffset) {
                EXPECT_EQ(NewLogMismatch(file, newLog, {store.Row(i).Offset, entry.NewLogOffset}),
                          "")
                    << entry.Name;
            }
        }
    }
    EXPECT_EQ(NewLogRootMismatch(file, newLog), "");
    return shown;
}

TEST(ExtendedComparisonView, AnExactOldLogWithAnExtendedNewOneShowsAsTheExactComparisonDoes)
{
    TShown shown[2];
    for (TLogFormat format : {TLogFormat::Exact, TLogFormat::Extended}) {
        SCOPED_TRACE(LogFormatName(format));
        TempDir dir;
        const CompareSamplePaths paths =
            WriteCompareSample(dir, SampleOldTree(), SampleNewTree(), 3, 4, format);
        TFileStream stream(paths.Comparison, TFileMode::OpenRead);
        TDirCompare file(stream);
        EXPECT_EQ(file.Format(), format);
        TFileStream newStream(paths.NewLog, TFileMode::OpenRead);
        TDirStorage newLog(newStream);
        shown[static_cast<int>(format)] = Show(file, newLog);
    }
    EXPECT_EQ(shown[1], shown[0]);
    EXPECT_EQ(shown[0].Tree.size(), 6u);
    EXPECT_GT(shown[0].Rows.size(), 10u);
}

} // namespace
