// The list windows' long work: building the tree and filling the list in steps from the event
// loop, with Stop, a restart for a new selection and a close put off until the step returns;
// the tree's selection, sorting, and the status bar's totals and the selection's.
#include "listwindow/ListWindowForm.h"

#include "display/DirTree.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListTableModel.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/QtText.h"
#include "treemapview/QtViewsPane.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace vm {

namespace {

// Entries walked between two looks at the clock.
constexpr int kStepEntries = 256;

} // namespace

// ---- Building the tree ----------------------------------------------------------------------

void TListWindow::BeginBuild(const std::string& rootText)
{
    Busy = true;
    CloseRequested = false;
    TreeStack->setCurrentWidget(BlankTreeView);
    DisableToolBar();
    CurrentDirectoryPath.clear();
    ResetList();
    ChildInfoLabel->clear();
    TreeModel->SetTree(nullptr);
    *tree_ = TDirTree(rootText);
}

void TListWindow::StartBuildSteps(std::unique_ptr<TListRun> run, TTreeWork* work)
{
    buildRun_ = std::move(run);
    buildWork_ = work;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BuildStep();
}

void TListWindow::BuildStep()
{
    if (!buildWork_)
        return;
    if (StepFor(
            StepMilliseconds, [this] { return buildWork_->Step(kStepEntries); },
            [this] { return CloseRequested; })) {
        ChildStatusBar->SetSimpleText(Q(buildWork_->LastName()));
        QTimer::singleShot(0, this, &TListWindow::BuildStep);
        return;
    }
    EndBuild();
}

void TListWindow::EndBuild()
{
    const bool opened = buildRun_ != nullptr;
    if (buildWork_ && !buildWork_->Done())
        tree_->Finish(); // stopped by a close: the nodes so far
    const std::string fault = buildWork_ ? buildWork_->Fault() : std::string();
    if (buildRun_)
        buildRun_->End();
    buildWork_ = nullptr;
    buildRun_.reset(); // closes the file
    if (opened)
        QApplication::restoreOverrideCursor();
    if (TakeCloseRequest()) {
        CloseWindow();
        return;
    }
    TreeModel->SetTree(tree_.get());
    for (int node : InitialTreeNodes())
        DirTreeView->expand(TreeModel->IndexOf(node));
    ChildStatusBar->SetSimpleText(QString());
    TreeStack->setCurrentWidget(DirTreeView);
    TreeBuilt(fault);
    InProcessAnimate->CancelStart();
    Busy = false;
    EnableToolBar();
    if (!opened)
        return;
    // Showing the tree can give it the focus, which makes the root its current node while the
    // build is still busy: selecting the root then changes nothing, so it is listed here. Up is
    // off before the fill, which keeps the toolbar's states through it.
    UpOneLevelAction->setEnabled(false);
    const bool rootCurrent = SelectedNode() == TDirTree::kRoot;
    SelectNode(TDirTree::kRoot); // lists the root
    if (rootCurrent && !Busy)
        ProcessFillListView();
}

// ---- Navigation -----------------------------------------------------------------------------

int TListWindow::SelectedNode() const
{
    return TreeModel->NodeOf(DirTreeView->currentIndex());
}

void TListWindow::SelectNode(int node)
{
    SelectTreeNode(DirTreeView, *TreeModel, node);
}

void TListWindow::DirTreeViewChange()
{
    keepMapRoot_ = fromViews_;
    if (Busy) {
        RestartRequested = true;
        return;
    }
    const int node = SelectedNode();
    if (node < 0 || !TreeNodeChosen(node))
        return;
    // Before the fill, which keeps the toolbar's states through it.
    UpOneLevelAction->setEnabled(node != TDirTree::kRoot);
    ProcessFillListView();
}

void TListWindow::UpOneLevel()
{
    const int node = SelectedNode();
    if (Busy || node <= TDirTree::kRoot)
        return;
    SelectNode(tree_->Parent(node));
}

void TListWindow::OpenRow(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= RowCount())
        return;
    const TListRowFacts row = RowFacts(index.row());
    if (row.Kind == kRowFile) {
        OpenClick();
        return;
    }
    RowOpened(index.row());
    // The row's directory is a node of the tree: found by its offset, whatever its name holds.
    const int node = tree_->FindOffset(row.Offset);
    if (node > 0)
        SelectNode(node);
}

// ---- Filling the list -----------------------------------------------------------------------

void TListWindow::ResetList()
{
    ClearRows();
    listModel_->Reset();
    SelectedDirectories = SelectedFiles = SelectedBytes = 0;
}

void TListWindow::BeginFill()
{
    StartFill();
    DisableToolBar();
    StopAction->setEnabled(true);
    InProcessAnimate->StartSoon();
    ChildStatusBar->SetSimpleText(QString());
    if (FilterOn) {
        ChildStatusBar->ShowTotals(0, true, 0, 0, locale_);
        ChildStatusBar->SetSimplePanel(false);
    }
    ShowListFilling(FileListView, DirTreeView, true);
    ResetList();
}

void TListWindow::StartFillSteps(std::unique_ptr<TListRun> run, TFillWork* work, bool filterOn)
{
    fillRun_ = run ? std::move(run) : std::make_unique<TListRun>();
    fillWork_ = work;
    fillFilterOn_ = filterOn;
    FillStep(); // the first rows show at once
}

void TListWindow::FillStep()
{
    if (!fillRun_)
        return;
    const bool more = StepFor(
        StepMilliseconds, [this] { return fillWork_ && fillWork_->Step(kStepEntries); },
        [this] { return RestartRequested || CloseRequested; });
    listModel_->RowsAppended();
    if (more) {
        ShowFillStatus();
        QTimer::singleShot(0, this, &TListWindow::FillStep);
        return;
    }
    EndFill();
}

void TListWindow::ShowFillStatus()
{
    if (!fillWork_)
        return;
    if (fillFilterOn_) {
        const TSizeTotals listed = fillWork_->Listed();
        ChildStatusBar->ShowTotals(RowCount(), true, listed.Size, listed.Allocated, locale_);
        return;
    }
    const int node = tree_->FindOffset(fillWork_->LastParent());
    ChildStatusBar->ShowProgress(Q(fillWork_->LastName()),
                                 node < 0 ? QString() : Q(tree_->PathOf(node)));
}

void TListWindow::EndFill()
{
    const bool filterOn = fillFilterOn_;
    const std::string fault = fillWork_ ? fillWork_->Fault() : std::string();
    const TSizeTotals shown = !fillWork_ ? TSizeTotals()
                              : filterOn ? fillWork_->Listed()
                                         : fillWork_->Shown();
    if (fillRun_)
        fillRun_->End();
    fillWork_ = nullptr;
    fillRun_.reset(); // closes the files
    InProcessAnimate->Stop();
    ShowListFilling(FileListView, DirTreeView, false);
    if (TakeCloseRequest()) {
        CloseWindow();
        return;
    }
    if (RestartRequested) {
        EndFillEarly();
        return;
    }
    ChildStatusBar->ShowTotals(RowCount(), filterOn, shown.Size, shown.Allocated, locale_);
    ChildStatusBar->SetPanelText(2, QString());
    ShowFillFault(fault);
    if (SortColumn.empty())
        OpenSorted(OpenSortStart(frame_.Display().LargestFirst));
    SortList(SortColumn);
    ListFilled(filterOn);
    Busy = false;
    EnableToolBar();
    StopAction->setEnabled(false);
    // The views follow the list's directory and filter, unless the fill was for an entry
    // chosen in them (the map keeps its root then).
    if (!keepMapRoot_)
        ViewsPane->Invalidate();
    keepMapRoot_ = false;
    SelectPendingRow();
}

void TListWindow::EndFillEarly()
{
    ResetList();
    ListStoppedEarly();
    EnableToolBar();
    StopAction->setEnabled(false);
    Busy = false;
    if (StopPressed) {
        ChildPathLabel->setText("Stopped by user:");
        return;
    }
    // A new selection stopped the fill: the fill for it starts once this one has unwound.
    ChildStatusBar->SetSimplePanel(true);
    QTimer::singleShot(0, this, [this] { RestartFill(); });
}

// ---- Sorting and the selection --------------------------------------------------------------

void TListWindow::SortList(const std::string& caption)
{
    const std::string column = caption.empty() ? std::string("File name") : caption;
    const bool direction = TakeSortDirection();
    // The selected rows stay selected in their new places.
    std::vector<uint32_t> selected = SelectedStoredRows(FileListView, RowOrder());
    const TSortOrder order = SortRows(column, direction);
    listModel_->Reset();
    SelectedDirectories = SelectedFiles = SelectedBytes = 0;
    SelectStoredRows(FileListView, RowOrder(), std::move(selected));
    ShowSelectionTotals();
    // The header shows which way the rows run: A to Z, oldest or smallest first is ascending.
    QHeaderView* header = FileListView->header();
    header->setSortIndicatorShown(order.Key != 0);
    for (int c = 0; c < Table().ColumnCount() && order.Key != 0; ++c)
        if (Table().Column(c).Caption == column)
            header->setSortIndicator(c, order.Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TListWindow::ListSelectionChanged(const QItemSelection& selected,
                                       const QItemSelection& deselected)
{
    auto count = [this](const QItemSelection& ranges, int sign) {
        for (const QItemSelectionRange& range : ranges)
            for (int r = range.top(); r <= range.bottom() && r < RowCount(); ++r) {
                const TListRowFacts row = RowFacts(r);
                (row.Kind == kRowFile ? SelectedFiles : SelectedDirectories) += sign;
                SelectedBytes += sign * row.Space;
            }
    };
    count(selected, 1);
    count(deselected, -1);
    RowsSelected(selected);
    ShowSelectionTotals();
}

void TListWindow::ShowSelectionTotals()
{
    ChildStatusBar->SetPanelText(2, Q(SelectionTotalText()));
}

void TListWindow::SelectRowsWhere(const std::function<bool(int position)>& takes)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QItemSelection selection;
    const int last = listModel_->columnCount() - 1;
    for (int i = 0; i < RowCount();) {
        int end = i; // one range per run of neighbouring rows
        while (end < RowCount() && takes(end))
            ++end;
        if (end > i)
            selection.select(listModel_->index(i, 0), listModel_->index(end - 1, last));
        i = end + 1;
    }
    FileListView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    QApplication::restoreOverrideCursor();
}

} // namespace vm
