// The explore window's list: which directory a fill lists and how (ListFill.h), the end of a
// fill with the duplicates reduction and the row to select again, sorting by the explore
// window's codes, and the status bar's totals and the selection's.
#include "explore/ExploreForm.h"

#include "explore/Duplicates.h"
#include "explore/ExploreTexts.h"
#include "explore/FileSort.h"
#include "explore/QtFileListModel.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "platform/QtText.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>

#include <cstdlib>

namespace vm {

// The log a fill reads, the filter it tests files with and the walk; what the walk listed is
// kept when it ends.
struct TExploreChild::TFillRun : TListRun
{
    explicit TFillRun(TExploreChild& window) : Window(window) {}
    void End() override
    {
        if (!Fill)
            return;
        Window.filledOffset_ = Fill->AtRoot() ? -1 : Fill->ListedOffset();
        Window.reselectRow_ = Fill->ReselectRow();
    }

    TExploreChild& Window;
    std::unique_ptr<TLogAccess> Access;
    TFilterTest Filter; // a copy: the dialog may change while the fill runs
    std::unique_ptr<TListFill> Fill;
};

int64_t TExploreChild::ListOffsetOf(int node) const
{
    return node <= TDirTree::kRoot ? -1 : tree_->Node(node).Offset;
}

TListRowFacts TExploreChild::RowFacts(int position) const
{
    const TFileEntry row = table_.Entry(position);
    return {row.Kind, row.Offset, row.Allocated, row.Tags};
}

bool TExploreChild::TreeNodeChosen(int node)
{
    return ListOffsetOf(node) != ShownOffset;
}

void TExploreChild::RowOpened(int position)
{
    if (store_.Row(position).Kind == kRowFolder)
        NameToReselect = table_.Entry(position).Name;
}

void TExploreChild::ProcessFillListView()
{
    StopAction->setEnabled(true);
    if (SelectedNode() < 0)
        SelectNode(TDirTree::kRoot);
    if (Busy)
        RestartRequested = true;
    const int node = SelectedNode();
    if (node == TDirTree::kRoot) {
        ChildPathLabel->setText(Q("Contents of Log " + std::to_string(LogNumber)));
        FillListView(-1);
    } else if (node > 0) {
        ChildPathLabel->setText(Q("Contents of : " + CurrentDirectoryPath));
        if (ListOffsetOf(node) != ShownOffset || ForceRefill)
            FillListView(ListOffsetOf(node));
    }
    ForceRefill = false;
    if (!Busy)
        StopAction->setEnabled(false);
}

void TExploreChild::RefillList()
{
    ForceRefill = true;
    ProcessFillListView();
}

void TExploreChild::RestartFill()
{
    RefillList();
}

void TExploreChild::ToolBarEnabled()
{
    if (ReadOnly)
        DeleteFilesAction->setEnabled(false);
}

void TExploreChild::FillListView(int64_t offset)
{
    if (Busy)
        return;
    BeginFill();
    filledOffset_ = kNoOffset;
    reselectRow_ = -1;
    auto run = std::make_unique<TFillRun>(*this);
    run->Access = OpenLog();
    if (!run->Access) {
        StartFillSteps(nullptr, nullptr, FilterOn);
        return;
    }
    TFillRequest request;
    request.View = View;
    request.Offset = offset;
    if (FilterOn && FileFilterForm) {
        run->Filter = FileFilterForm->Test();
        request.Filter = &run->Filter;
        request.TagMode = run->Filter.TagsOn;
    }
    request.ShowIcons = frame_.Display().ShowIcons;
    request.RootHeading = "Log " + std::to_string(LogNumber);
    request.NameToReselect = NameToReselect;
    TFileListOptions options = table_.Options();
    options.ShowExtensions = frame_.Display().ShowExtensions;
    table_.SetOptions(options);
    run->Fill = std::make_unique<TListFill>(run->Access->Log(), *tree_, store_, request);
    if (run->Fill->HasStart()) {
        CurrentDirectoryPath = run->Fill->Heading();
        ChildPathLabel->setText(Q("Contents of: " + run->Fill->Heading()));
        ChildStatusBar->SetSimplePanel(false);
    }
    TFillWork* work = run->Fill.get();
    StartFillSteps(std::move(run), work, FilterOn);
}

void TExploreChild::ShowFillFault(const std::string& fault)
{
    if (!fault.empty())
        ChildInfoLabel->setText(Q("Damaged log (" + fault + ")."));
}

void TExploreChild::ListFilled(bool filterOn)
{
    ShownOffset = filledOffset_;
    if (filterOn && FileFilterForm && FileFilterForm->Test().Duplicates) {
        const TFilterTest& t = FileFilterForm->Test();
        ExtractDuplicates(store_, table_, {t.MatchSize, t.MatchDate, t.IgnoreExtension});
        ListModel->Reset();
    }
    if (reselectRow_ >= 0) {
        const int position = store_.PositionOf(uint32_t(reselectRow_));
        if (position >= 0) {
            const QModelIndex index = ListModel->index(position, 0);
            FileListView->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            FileListView->scrollTo(index);
        }
    }
}

void TExploreChild::ListStoppedEarly()
{
    ShownOffset = -2;
    ChildPathLabel->setText("Stopped by user:");
}

// ---- Views, dates and sorting ---------------------------------------------------------------

int TExploreChild::SetTableDateType(TDateType type)
{
    TFileListOptions options = table_.Options();
    options.DateType = type;
    table_.SetOptions(options);
    return kColDate;
}

int TExploreChild::SetTablePathShown(bool shown)
{
    TFileListOptions options = table_.Options();
    options.PathShown = shown;
    table_.SetOptions(options);
    return kColPath;
}

TListWindow::TSortOrder TExploreChild::SortRows(const std::string& column, bool direction)
{
    int code = SortCodeOf(column);
    if (!direction)
        code = -code;
    vm::SortRows(store_, table_, code);
    // A to Z, oldest or smallest first reads as ascending.
    const int magnitude = std::abs(code);
    const bool naturallyAscending =
        magnitude == 1 || magnitude == 2 || magnitude == 4 || magnitude >= 8;
    return {code, (code > 0) == naturallyAscending};
}

// ---- The status bar -------------------------------------------------------------------------

void TExploreChild::ShowListTotals()
{
    ChildStatusBar->ShowTotals(store_.Count(), FilterOn, store_.SumSize(), store_.SumAllocated(),
                               locale_);
}

std::string TExploreChild::SelectionTotalText() const
{
    if (SelectedDirectories == 0 && SelectedFiles == 0)
        return {};
    return SelectionText(SelectedDirectories, SelectedFiles, SelectedBytes, locale_);
}

} // namespace vm
