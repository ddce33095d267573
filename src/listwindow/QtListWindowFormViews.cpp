// The list window's treemap and statistics: the pane below the list, what it shows as the
// selection and the filter change, and where a click in either leads in the tree and the list.
#include "listwindow/ListWindowForm.h"

#include "display/DirTree.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListTableModel.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/QtText.h"
#include "statistics/StatisticsRows.h"
#include "treemapview/QtViewsPane.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace vm {

void TListWindow::CreateViewsPane()
{
    ViewsPane = new TViewsPane(this);
    ViewsPane->Treemap->SetLocale(locale_);
    ViewsPane->Statistics->SetLocale(locale_);
    ViewsPane->FillTreemap = [this](TTreemapView& view, TTreemapMeasure measure) {
        FillTreemap(view, measure);
    };
    ViewsPane->FillStatistics = [this](TStatisticsView& view) { FillStatistics(view); };
    TTreemapView* map = ViewsPane->Treemap;
    connect(map, &TTreemapView::EntryClicked, this, [this, map](qint64 offset) {
        if (offset != map->RootOffset())
            LeadToEntry(offset, map->ParentOffset(offset));
    });
    connect(map, &TTreemapView::ZoomRequested, this, [this](qint64 offset) {
        const int node = tree_->FindOffset(offset);
        if (node > TDirTree::kRoot && !Busy)
            SelectNode(node);
    });
    connect(map, &TTreemapView::ZoomOutRequested, this, &TListWindow::UpOneLevel);
    // The pop-up is the list's, for the row of the entry (where the list shows it).
    connect(map, &TTreemapView::MenuRequested, this, [this](qint64 offset, const QPoint& at) {
        pendingRow_ = offset;
        if (!Busy && SelectPendingRow())
            emit FileListView->customContextMenuRequested(
                FileListView->viewport()->mapFromGlobal(at));
    });
    connect(ViewsPane->Statistics, &TStatisticsView::RowChosen, this,
            &TListWindow::StatsRowChosen);

    ShowViewsAction = NewAction(this, "T&reemap and statistics", "ShowViewsAction",
                                "Show the treemap and statistics below the list");
    ShowViewsAction->setCheckable(true);
    ShowViewsAction->setChecked(true);
    connect(ShowViewsAction, &QAction::toggled, ViewsPane, &QWidget::setVisible);
    ViewMenu->addSeparator();
    ViewMenu->addAction(ShowViewsAction);
}

int64_t TListWindow::NodeOffset(int node) const
{
    return node <= TDirTree::kRoot ? -1 : tree_->Node(node).Offset;
}

std::string TListWindow::SelectedDirectoryTitle() const
{
    const int node = SelectedNode();
    return node <= TDirTree::kRoot ? std::string(tree_->Name(TDirTree::kRoot))
                                   : tree_->PathOf(node);
}

void TListWindow::SelectNodeFromViews(int node)
{
    fromViews_ = true;
    SelectNode(node);
    fromViews_ = false;
}

void TListWindow::LeadToEntry(int64_t offset, int64_t parent)
{
    if (Busy)
        return;
    const int directory = tree_->FindOffset(offset);
    if (directory > TDirTree::kRoot) {
        SelectNodeFromViews(directory);
        return;
    }
    const int node = parent < 0 ? TDirTree::kRoot : tree_->FindOffset(parent);
    if (node < 0)
        return;
    pendingRow_ = offset;
    if (node == SelectedNode() && SelectPendingRow())
        return;
    SelectNodeFromViews(node); // the row is selected once the list shows it
}

bool TListWindow::SelectPendingRow()
{
    if (pendingRow_ == -2)
        return false;
    const int64_t offset = pendingRow_;
    for (int p = 0; p < RowCount(); ++p) {
        if (RowFacts(p).Offset != offset)
            continue;
        pendingRow_ = -2;
        const QModelIndex index = listModel_->index(p, 0);
        FileListView->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        FileListView->scrollTo(index);
        return true;
    }
    return false;
}

void TListWindow::StatsRowChosen(const TStatsSelection& selection)
{
    if (Busy)
        return;
    if (selection.Kind == TStatsSelection::TKind::Entry) {
        LeadToEntry(selection.Offset, ParentOffsetInFile(selection.Offset));
        return;
    }
    // The row's files: the filter that selects them, over every file below the directory.
    const std::optional<TFilterFields> fields = selection.FilterFields(locale_);
    // Owners are filtered only where the window's log records them (not in a compare window).
    const bool needsOwners = fields && (fields->OwnerOn || fields->GroupOn);
    if (!fields || !FileFilterForm || (needsOwners && !FileFilterForm->OwnersRecorded())) {
        ChildStatusBar->SetSimpleText("The file filter cannot select the files of this row.");
        return;
    }
    FileFilterForm->SetFields(*fields);
    if (!FileFilterForm->ParseFilterFields())
        return;
    if (!FilterOn)
        SetFilterOn(true);
    if (View != TView::AllFiles)
        ChooseView(TView::AllFiles); // refills
    else
        RefillList();
}

} // namespace vm
