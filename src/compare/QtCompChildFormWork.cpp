// The compare window's list: which directory a fill lists and how (CompareFill.h), the arrows or
// tags beside its rows, sorting by the compare window's keys, and the selection with the rows
// that cannot be chosen.
#include "compare/CompChildForm.h"

#include "compare/CompareRules.h"
#include "compare/CompareSort.h"
#include "compare/QtCompareListModel.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtListWindowImages.h"
#include "platform/QtText.h"

#include <QAction>
#include <QApplication>
#include <QItemSelection>
#include <QLabel>
#include <QTreeView>

namespace vm {

// The comparison and the newer log a fill reads, the filter it tests files with and the walk.
struct TCompMDIChild::TFillRun : TListRun
{
    TComparisonAccess Access;
    std::unique_ptr<TLogFile> NewLog;
    TFilterTest Filter; // a copy: the dialog may change while the fill runs
    std::unique_ptr<TCompareFill> Fill;
};

TListRowFacts TCompMDIChild::RowFacts(int position) const
{
    const TCompareRow& row = store_.Row(position);
    return {uint8_t(row.Kind), row.Offset, table_.Entry(position).AllocNow, row.Tags};
}

void TCompMDIChild::SetRowSpace(int position, int64_t space)
{
    TCompareRow& row = store_.Row(position);
    store_.SetSpaceNow(row.Offset, space);
    // The arrow follows the space now, as it would had the comparison been made after.
    const TCompareEntry entry = table_.Entry(position);
    if (entry.Read)
        row.Change = ChangeOf(entry.AllocWas, entry.AllocNow, entry.Condition);
}

bool TCompMDIChild::TreeNodeChosen(int)
{
    ChildPathLabel->clear();
    return true;
}

void TCompMDIChild::ProcessFillListView()
{
    const int node = SelectedNode();
    if (node < 0)
        return;
    StopAction->setEnabled(true);
    FillListView(node == TDirTree::kRoot ? kNoOffset : tree_->Node(node).Offset);
    if (!Busy)
        StopAction->setEnabled(false);
}

void TCompMDIChild::RestartFill()
{
    UpOneLevelAction->setEnabled(SelectedNode() > TDirTree::kRoot);
    ProcessFillListView();
}

void TCompMDIChild::FillListView(int64_t offset)
{
    if (Busy || SelectedNode() < 0)
        return;
    ChildPathLabel->clear();
    CurrentDirectoryPath.clear();
    BeginFill();
    auto run = std::make_unique<TFillRun>();
    if (!OpenComparison(run->Access)) {
        StartFillSteps(nullptr, nullptr, FilterOn);
        return;
    }
    if (TagsAvailable) {
        try {
            run->NewLog = std::make_unique<TLogFile>(NewLogFileName, false);
        } catch (const std::exception&) {
            // Gone since the window was built: the rows show no tags this time.
        }
    }
    TCompareFillRequest request;
    request.View = View;
    request.Offset = offset;
    if (FilterOn && FileFilterForm) {
        run->Filter = FileFilterForm->Test();
        request.Filter = &run->Filter;
    }
    request.ShowIcons = frame_.Display().ShowIcons;
    TCompareListOptions options = table_.Options();
    options.ShowExtensions = frame_.Display().ShowExtensions;
    table_.SetOptions(options);
    run->Fill = std::make_unique<TCompareFill>(*run->Access.File, store_, request,
                                               run->NewLog ? &run->NewLog->Log() : nullptr);
    CurrentDirectoryPath = run->Fill->DirectoryPath();
    ChildPathLabel->setText("Contents of: " + Q(run->Fill->AtRoot()
                                                    ? CompareRootText(OldLog, NewLog)
                                                    : CurrentDirectoryPath));
    ChildStatusBar->SetSimplePanel(false);
    TFillWork* work = run->Fill.get();
    StartFillSteps(std::move(run), work, FilterOn);
}

void TCompMDIChild::ShowFillFault(const std::string& fault)
{
    // Where the list's walk met damage, else where the tree's did.
    const std::string& damage = fault.empty() ? treeFault_ : fault;
    ChildInfoLabel->setText(damage.empty() ? QString() : Q("Damaged comparison (" + damage + ")."));
}

// ---- Views, dates, sorting and state images -------------------------------------------------

int TCompMDIChild::SetTableDateType(TDateType type)
{
    TCompareListOptions options = table_.Options();
    options.DateType = type;
    table_.SetOptions(options);
    return kCmpDate;
}

int TCompMDIChild::SetTablePathShown(bool shown)
{
    TCompareListOptions options = table_.Options();
    options.PathShown = shown;
    table_.SetOptions(options);
    return kCmpPath;
}

TListWindow::TSortOrder TCompMDIChild::SortRows(const std::string& column, bool direction)
{
    const int key = CompareSortKeyOf(column);
    SortCompareRows(store_, table_, key, direction);
    // A to Z, oldest or smallest first reads as ascending.
    return {key, (key == 1 || key >= 8) == direction};
}

void TCompMDIChild::SetListViewStateImages()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ListModel->SetStateImages(TagsShown && TagsAvailable, TagsAvailable);
    QApplication::restoreOverrideCursor();
    EnableToolBar();
}

void TCompMDIChild::ShowStateImages(bool tags)
{
    if (tags && !TagsAvailable)
        tags = false;
    TagsShown = tags;
    (tags ? ShowTags1 : ShowArrows1)->setChecked(true);
    ShowAction->setIcon(ToolbarImage(tags ? toolimg::ShowTags : toolimg::ShowArrows));
    DisableToolBar();
    SetListViewStateImages();
}

void TCompMDIChild::ShowButtonClick()
{
    ShowStateImages(!TagsShown);
}

// ---- The selection --------------------------------------------------------------------------

void TCompMDIChild::RowsSelected(const QItemSelection& selected)
{
    // A row whose entry was deleted from the disk cannot be chosen for a new operation; the
    // change that deselects it counts it out again.
    if (!TagsAvailable || TagEditing)
        return;
    QItemSelection refused;
    for (const QItemSelectionRange& range : selected)
        for (int r = range.top(); r <= range.bottom() && r < store_.Count(); ++r)
            if (DeselectedAgain(store_.Row(r), TagsAvailable))
                refused.select(ListModel->index(r, 0),
                               ListModel->index(r, kCompareColumnCount - 1));
    if (!refused.isEmpty())
        FileListView->selectionModel()->select(refused, QItemSelectionModel::Deselect);
}

std::string TCompMDIChild::SelectionTotalText() const
{
    if (Busy || !FileListView->selectionModel()->hasSelection())
        return {};
    return SelectedTotalText(SelectedBytes, locale_);
}

} // namespace vm
