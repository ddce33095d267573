// The explore window's long work: building the tree from the log and filling the list, both in
// steps from the event loop; sorting, the duplicates reduction, navigation and the status bar.
#include "app/MainForm.h"
#include "explore/Duplicates.h"
#include "explore/ExploreForm.h"
#include "explore/ExploreTexts.h"
#include "explore/FileSort.h"
#include "explore/QtFileListModel.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/QtText.h"
#include "platform/Stream.h"
#include "references/RefStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vm {

namespace {

// Entries walked between two looks at the clock.
constexpr int kStepEntries = 256;

} // namespace

std::unique_ptr<TExploreChild::TLogAccess> TExploreChild::OpenLog()
{
    auto access = std::make_unique<TLogAccess>();
    try {
        TStream* stream = stream_.get();
        if (!stream) {
            access->File = std::make_unique<TFileStream>(LogFileName, TFileMode::OpenRead);
            stream = access->File.get();
        }
        access->Log = std::make_unique<TDirStorage>(*stream);
    } catch (const std::exception& e) {
        if (TUserInterface* ui = frame_.Context().UI)
            ui->ShowMessage(e.what());
        return nullptr;
    }
    return access;
}

// ---- Building the tree ----------------------------------------------------------------------

void TExploreChild::ConstructDirTree(int reference, int logNumber)
{
    if (Busy)
        return;
    const TRefStore store(frame_.Context().DataDirectory);
    LogFileName = store.LogFileName(reference, logNumber);
    Reference = reference;
    LogNumber = logNumber;
    ChildRefLabel->setText(Q(store.RefName(reference)));
    StartBuild(ExploreCaption(logNumber, false));
}

void TExploreChild::ConstructStreamDirTree(std::unique_ptr<TStream> stream)
{
    if (Busy || !stream)
        return;
    // The folder mode's log has no file: it is never named by reference 0 and log 0, whose
    // files may well exist.
    stream_ = std::move(stream);
    LogFileName = "<stream>";
    Reference = LogNumber = 0;
    ChildRefLabel->setText("Log from file manager");
    for (QAction* a : {Close1, CloseAll1})
        a->setEnabled(false);
    SendMenu->menuAction()->setEnabled(false);
    StartBuild(ExploreCaption(0, true));
}

void TExploreChild::ConstructFileDirTree(const std::string& path, int logNumber)
{
    if (Busy)
        return;
    LogFileName = path;
    Reference = -1;
    LogNumber = logNumber;
    ReadOnly = true;
    ChildRefLabel->setText(Q(path));
    DeleteSelectedFiles1->setEnabled(false);
    StartBuild(ReadOnlyExploreCaption(logNumber, std::filesystem::path(path).filename()));
}

void TExploreChild::StartBuild(const std::string& base)
{
    Busy = true;
    CloseRequested = false;
    TreeStack->setCurrentWidget(BlankTreeView);
    DisableToolBar();
    SelectedDirectories = SelectedFiles = SelectedBytes = 0;
    if (!FileFilterForm) {
        const TRefStore store(frame_.Context().DataDirectory);
        FileFilterForm = new TFileFilterForm(kExploreFilterMode, store.FilterIniPath(),
                                             *frame_.Context().UI, frame_.TagImageList, this);
        connect(FileFilterForm, &TFileFilterForm::HelpRequested, &frame_,
                &TMDIParent::ShowHelpContext);
        FileFilterForm->Initialise(false);
    }
    CurrentDirectoryPath.clear();
    ResetList();
    setWindowTitle(Q(
        UniqueCaption(base, [this](const std::string& c) { return frame_.CaptionExists(Q(c)); })));
    ChildInfoLabel->clear();

    TreeModel->SetTree(nullptr);
    *tree_ = TDirTree(LogNumber > 0 || !ReadOnly
                          ? "Log " + std::to_string(LogNumber)
                          : std::filesystem::path(LogFileName).filename().string());
    buildAccess_ = OpenLog();
    if (!buildAccess_) {
        EndBuild();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    builder_ = std::make_unique<TDirTreeBuilder>(*buildAccess_->Log, *tree_);
    BuildStep();
}

void TExploreChild::BuildStep()
{
    if (!builder_)
        return;
    if (StepFor(
            StepMilliseconds, [this] { return builder_->Step(kStepEntries); },
            [this] { return CloseRequested; })) {
        ChildStatusBar->SetSimpleText(Q(std::string(builder_->LastName())));
        QTimer::singleShot(0, this, &TExploreChild::BuildStep);
        return;
    }
    EndBuild();
}

void TExploreChild::EndBuild()
{
    const bool opened = buildAccess_ != nullptr;
    if (builder_ && !builder_->Done())
        tree_->Finish(); // stopped by a close: the nodes so far
    const std::string fault = builder_ ? builder_->Fault() : std::string();
    if (opened && !InMemory())
        DeletedTotal = buildAccess_->Log->GetDeletedTotal();
    builder_.reset();
    buildAccess_.reset();
    if (opened)
        QApplication::restoreOverrideCursor();
    if (TakeCloseRequest()) {
        CloseWindow();
        return;
    }
    TreeModel->SetTree(tree_.get());
    const int rowHeight = std::max(1, DirTreeView->fontMetrics().height());
    for (int node : InitialExpansion(*tree_, DirTreeView->height() / rowHeight))
        DirTreeView->expand(TreeModel->IndexOf(node));
    AccumulatorLabel->setText(Q(AccumulatorText(DeletedTotal, locale_)));
    if (!fault.empty())
        ChildInfoLabel->setText(Q("Damaged log (" + fault + ")."));
    ChildStatusBar->SetSimpleText(QString());
    TreeStack->setCurrentWidget(DirTreeView);
    InProcessAnimate->CancelStart();
    Busy = false;
    EnableToolBar();
    if (!opened)
        return;
    // Before the fill, which keeps the toolbar's states through it: when showing the tree gave
    // it the focus, the root is current already and selecting it changes nothing.
    UpOneLevelAction->setEnabled(false);
    SelectNode(TDirTree::kRoot); // lists the root
    if (!Busy)
        ProcessFillListView();
}

// ---- Navigation -----------------------------------------------------------------------------

int TExploreChild::SelectedNode() const
{
    return TreeModel->NodeOf(DirTreeView->currentIndex());
}

int32_t TExploreChild::ListOffsetOf(int node) const
{
    return node <= TDirTree::kRoot ? -1 : tree_->Node(node).Offset;
}

void TExploreChild::SelectNode(int node)
{
    SelectTreeNode(DirTreeView, *TreeModel, node);
}

void TExploreChild::DirTreeViewChange()
{
    if (Busy) {
        RestartRequested = true;
        return;
    }
    const int node = SelectedNode();
    if (node < 0 || ListOffsetOf(node) == ShownOffset)
        return;
    // Before the fill, which keeps the toolbar's states through it.
    UpOneLevelAction->setEnabled(node != TDirTree::kRoot);
    ProcessFillListView();
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

void TExploreChild::UpOneLevel()
{
    const int node = SelectedNode();
    if (Busy || node <= TDirTree::kRoot)
        return;
    SelectNode(tree_->Parent(node));
}

void TExploreChild::OpenRow(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= store_.Count())
        return;
    const TFileRow& row = store_.Row(index.row());
    if (row.Kind == kRowFile) {
        OpenClick();
        return;
    }
    if (row.Kind == kRowFolder)
        NameToReselect = std::string(store_.Name(row));
    // The row's directory is a node of the tree: found by its offset, whatever its name holds.
    const int node = tree_->FindOffset(row.Offset);
    if (node > 0)
        SelectNode(node);
}

// ---- Filling the list -----------------------------------------------------------------------

void TExploreChild::ResetList()
{
    store_.Clear();
    ListModel->Reset();
    SelectedDirectories = SelectedFiles = SelectedBytes = 0;
}

void TExploreChild::FillListView(int32_t offset)
{
    if (Busy)
        return;
    StartFill();
    DisableToolBar();
    StopAction->setEnabled(true);
    InProcessAnimate->StartSoon();
    const bool filterOn = FilterOn;
    ChildStatusBar->SetSimpleText(QString());
    if (filterOn) {
        ChildStatusBar->ShowTotals(0, true, 0, 0, locale_);
        ChildStatusBar->SetSimplePanel(false);
    }
    ShowListFilling(FileListView, DirTreeView, true);
    ResetList();

    fill_ = std::make_unique<TFillRun>();
    fill_->FilterOn = filterOn;
    fill_->Access = OpenLog();
    if (!fill_->Access) {
        EndFill();
        return;
    }
    TFillRequest request;
    request.View = View;
    request.Offset = offset;
    if (filterOn && FileFilterForm) {
        fill_->Filter = FileFilterForm->Test();
        request.Filter = &fill_->Filter;
        request.TagMode = fill_->Filter.TagsOn;
    }
    request.DateType = DateType;
    request.ShowIcons = frame_.Context().Display.ShowIcons;
    request.RootHeading = "Log " + std::to_string(LogNumber);
    request.NameToReselect = NameToReselect;
    TFileListOptions options = table_.Options();
    options.ShowExtensions = frame_.Context().Display.ShowExtensions;
    table_.SetOptions(options);
    fill_->Fill = std::make_unique<TListFill>(*fill_->Access->Log, *tree_, store_, request);
    if (fill_->Fill->HasStart()) {
        CurrentDirectoryPath = fill_->Fill->Heading();
        ChildPathLabel->setText(Q("Contents of: " + fill_->Fill->Heading()));
        ChildStatusBar->SetSimplePanel(false);
    }
    FillStep(); // the first rows show at once
}

void TExploreChild::FillStep()
{
    if (!fill_)
        return;
    const bool more = StepFor(
        StepMilliseconds, [this] { return fill_->Fill && fill_->Fill->Step(kStepEntries); },
        [this] { return RestartRequested || CloseRequested; });
    ListModel->RowsAppended();
    if (more) {
        ShowFillStatus();
        QTimer::singleShot(0, this, &TExploreChild::FillStep);
        return;
    }
    EndFill();
}

QString TExploreChild::DirectoryTextOf(int32_t offset) const
{
    const int node = tree_->FindOffset(offset);
    return node < 0 ? QString() : Q(tree_->PathOf(node));
}

void TExploreChild::ShowFillStatus()
{
    if (!fill_ || !fill_->Fill)
        return;
    if (fill_->FilterOn)
        ChildStatusBar->ShowTotals(store_.Count(), true, store_.SumSize(), store_.SumAllocated(),
                                   locale_);
    else
        ChildStatusBar->ShowProgress(Q(fill_->Fill->LastName()),
                                     DirectoryTextOf(fill_->Fill->LastParent()));
}

void TExploreChild::EndFill()
{
    std::unique_ptr<TFillRun> run = std::move(fill_);
    const bool filterOn = run && run->FilterOn;
    const std::string fault = run && run->Fill ? run->Fill->Fault() : std::string();
    const int32_t listed = run && run->Fill ? run->Fill->ListedOffset() : kNoOffset;
    const bool root = run && run->Fill && run->Fill->AtRoot();
    const int64_t reselect = run && run->Fill ? run->Fill->ReselectRow() : -1;
    run.reset(); // closes the log
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
    ChildStatusBar->ShowTotals(store_.Count(), filterOn, store_.SumSize(), store_.SumAllocated(),
                               locale_);
    ChildStatusBar->SetPanelText(2, QString());
    if (!fault.empty())
        ChildInfoLabel->setText(Q("Damaged log (" + fault + ")."));
    if (SortColumn.empty())
        ClickColumn("File name");
    SortFileListView(SortColumn);
    Busy = false;
    ShownOffset = root ? -1 : listed;
    if (filterOn && FileFilterForm && FileFilterForm->Test().Duplicates) {
        const TFilterTest& t = FileFilterForm->Test();
        ExtractDuplicates(store_, table_, {t.MatchSize, t.MatchDate, t.IgnoreExtension});
        ListModel->Reset();
    }
    EnableToolBar();
    StopAction->setEnabled(false);
    if (reselect >= 0) {
        const int position = store_.PositionOf(uint32_t(reselect));
        if (position >= 0) {
            const QModelIndex index = ListModel->index(position, 0);
            FileListView->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            FileListView->scrollTo(index);
        }
    }
}

void TExploreChild::EndFillEarly()
{
    ResetList();
    ShownOffset = -2;
    ChildPathLabel->setText("Stopped by user:");
    EnableToolBar();
    StopAction->setEnabled(false);
    Busy = false;
    if (StopPressed)
        return;
    // A new selection stopped the fill: the fill for it starts once this one has unwound.
    ChildStatusBar->SetSimplePanel(true);
    QTimer::singleShot(0, this, [this] {
        ForceRefill = true;
        ProcessFillListView();
    });
}

// ---- Sorting and the selection --------------------------------------------------------------

void TExploreChild::SortFileListView(const std::string& caption)
{
    const std::string column = caption.empty() ? std::string("File name") : caption;
    int code = SortCodeOf(column);
    if (!TakeSortDirection())
        code = -code;
    // The selected rows stay selected in their new places.
    std::vector<uint32_t> selected = SelectedStoredRows(FileListView, store_.Order());
    SortRows(store_, table_, code);
    ListModel->Reset();
    SelectedDirectories = SelectedFiles = SelectedBytes = 0;
    SelectStoredRows(FileListView, store_.Order(), std::move(selected));
    ShowSelectionTotals();
    // The header shows which way the rows run: A to Z, oldest or smallest first is ascending.
    const int magnitude = std::abs(code);
    const bool naturallyAscending =
        magnitude == 1 || magnitude == 2 || magnitude == 4 || magnitude == 8;
    FileListView->header()->setSortIndicatorShown(false);
    for (int c = 0; c < kFileColumnCount && code != 0; ++c)
        if (table_.Column(c).Caption == column) {
            FileListView->header()->setSortIndicatorShown(true);
            FileListView->header()->setSortIndicator(
                c, (code > 0) == naturallyAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
        }
}

void TExploreChild::ListSelectionChanged(const QItemSelection& selected,
                                         const QItemSelection& deselected)
{
    auto count = [this](const QItemSelection& ranges, int sign) {
        for (const QItemSelectionRange& range : ranges)
            for (int r = range.top(); r <= range.bottom() && r < store_.Count(); ++r) {
                const TFileRow& row = store_.Row(r);
                (row.Kind == kRowFile ? SelectedFiles : SelectedDirectories) += sign;
                SelectedBytes += sign * row.Allocated;
            }
    };
    count(selected, 1);
    count(deselected, -1);
    ShowSelectionTotals();
}

void TExploreChild::ShowListTotals()
{
    ChildStatusBar->ShowTotals(store_.Count(), FilterOn, store_.SumSize(), store_.SumAllocated(),
                               locale_);
}

void TExploreChild::ShowSelectionTotals()
{
    if (SelectedDirectories == 0 && SelectedFiles == 0)
        ChildStatusBar->SetPanelText(2, QString());
    else
        ChildStatusBar->SetPanelText(
            2, Q(SelectionText(SelectedDirectories, SelectedFiles, SelectedBytes, locale_)));
}

} // namespace vm
