// The explore window's treemap and statistics: the selected directory of its log, coloured by
// type, with the window's filter and tags deciding which files count.
#include "explore/ExploreForm.h"

#include "core/FileFilter.h"
#include "display/DirTree.h"
#include "fileops/FileFilterForm.h"
#include "statsview/QtStatisticsView.h"
#include "treemapview/QtTreemapView.h"

namespace vm {

void TExploreChild::FillTreemap(TTreemapView& view, TTreemapMeasure measure)
{
    const int node = SelectedNode();
    std::shared_ptr<TLogAccess> access = node < 0 ? nullptr : OpenLog();
    if (!access) {
        view.Clear();
        return;
    }
    TLogFileTest counts;
    if (FilterOn && FileFilterForm)
        counts = [test = FileFilterForm->Test()](const TDirNode& entry, std::string_view name) {
            return FileMatchesFilter(test, name, entry);
        };
    TDirStorage& log = access->Log();
    view.Show(std::make_shared<TLogTreemapSource>(log, std::string(tree_->Name(TDirTree::kRoot)),
                                                  measure, std::move(counts), access),
              NodeOffset(node));
}

void TExploreChild::FillStatistics(TStatisticsView& view)
{
    const int node = SelectedNode();
    std::shared_ptr<TLogAccess> access = node < 0 ? nullptr : OpenLog();
    if (!access)
        return;
    TDirStorage& log = access->Log();
    view.ShowLog(log, NodeOffset(node), SelectedDirectoryTitle(), access);
}

int64_t TExploreChild::ParentOffsetInFile(int64_t offset)
{
    std::unique_ptr<TLogAccess> access = OpenLog();
    TDirNode node;
    std::string name;
    if (!access || !access->Log().ReadNode(offset, node, name) || node.Level == 0)
        return -1;
    return node.ParentOffset;
}

} // namespace vm
