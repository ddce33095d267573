// The compare window's treemap and statistics: the selected directory of its comparison, the
// area the space now (what it took, for what is gone), the colour its change, and the changes
// by type, owner and place.
#include "compare/CompChildForm.h"

#include "compare/CompareFill.h"
#include "core/LogFile.h"
#include "display/DirTree.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ListSortStart.h"
#include "statsview/QtStatisticsView.h"
#include "treemapview/QtTreemapView.h"

namespace vm {

namespace {

// The comparison opened for a view, with the newer log where the filter reads its tags.
struct TViewFiles
{
    std::unique_ptr<TFileStream> Stream;
    std::unique_ptr<TDirCompare> File;
    std::unique_ptr<TLogFile> NewLog;
};

} // namespace

TSortStart TCompMDIChild::OpenSortStart(bool largestFirst) const
{
    return CompareSortStart(largestFirst);
}

void TCompMDIChild::FillTreemap(TTreemapView& view, TTreemapMeasure measure)
{
    const int node = SelectedNode();
    TComparisonAccess access;
    if (node < 0 || !OpenComparison(access)) {
        view.Clear();
        return;
    }
    auto files = std::make_shared<TViewFiles>();
    files->Stream = std::move(access.Stream);
    files->File = std::move(access.File);
    TCompareFileTest counts;
    if (FilterOn && FileFilterForm) {
        if (TagsAvailable) {
            try {
                files->NewLog = std::make_unique<TLogFile>(NewLogFileName, false);
            } catch (const std::exception&) {
                // Gone since the window was built: no tags this time, as in the list.
            }
        }
        TDirStorage* newLog = files->NewLog ? &files->NewLog->Log() : nullptr;
        counts = [test = FileFilterForm->Test(), newLog](const TCompareRecord& r,
                                                          std::string_view name) {
            const uint32_t tags =
                newLog && r.NewLogOffset >= 0 ? newLog->ReadTags(r.NewLogOffset) : 0;
            return CompareFileMatches(test, name, r, tags);
        };
    }
    TDirCompare& comparison = *files->File;
    view.Show(std::make_shared<TComparisonTreemapSource>(
                  comparison, std::string(tree_->Name(TDirTree::kRoot)), measure,
                  std::move(counts), files),
              NodeOffset(node));
}

void TCompMDIChild::FillStatistics(TStatisticsView& view)
{
    const int node = SelectedNode();
    TComparisonAccess access;
    if (node < 0 || !OpenComparison(access))
        return;
    auto files = std::make_shared<TViewFiles>();
    files->Stream = std::move(access.Stream);
    files->File = std::move(access.File);
    TDirCompare& comparison = *files->File;
    view.ShowComparison(comparison, NodeOffset(node), SelectedDirectoryTitle(), files);
}

int64_t TCompMDIChild::ParentOffsetInFile(int64_t offset)
{
    TComparisonAccess access;
    TCompareRecord record;
    std::string name;
    if (!OpenComparison(access) || !access.File->ReadRecord(offset, record, name) ||
        record.Level == 0)
        return -1;
    return record.ParentOffset;
}

} // namespace vm
