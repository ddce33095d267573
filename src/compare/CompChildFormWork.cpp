// The compare window's long work: building the tree from the comparison's directory chain and
// filling the list, both in steps from the event loop; sorting, navigation, the selection and
// the status bar.
#include "app/MainForm.h"
#include "compare/CompChildForm.h"
#include "compare/CompareRules.h"
#include "compare/CompareSort.h"
#include "compare/QtCompareListModel.h"
#include "listwindow/QtChildStatusBar.h"
#include "listwindow/QtDirTreeModel.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/QtText.h"
#include "references/RefStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace vm {

namespace {

// Records walked between two looks at the clock.
constexpr int kStepRecords = 256;

bool FileExists(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

bool TCompMDIChild::OpenComparison(TComparisonAccess& access)
{
    try {
        access.Stream = std::make_unique<TFileStream>(ComparisonFileName, TFileMode::OpenRead);
        access.File = std::make_unique<TDirCompare>(*access.Stream);
    } catch (const std::exception& e) {
        access = {};
        if (TUserInterface* ui = frame_.Context().UI)
            ui->ShowMessage(e.what());
        return false;
    }
    return true;
}

// ---- Building the tree ----------------------------------------------------------------------

void TCompMDIChild::ConstructDirTreeView(int reference, int oldLog, int newLog)
{
    if (Busy)
        return;
    const TRefStore store(frame_.Context().DataDirectory);
    Reference = reference;
    OldLog = oldLog;
    NewLog = newLog;
    ChildRefLabel->setText(Q(store.RefName(reference)));
    ComparisonFileName = store.CompFileName(reference, oldLog, newLog);
    NewLogFileName = store.LogFileName(reference, newLog);
    TagsAvailable = FileExists(NewLogFileName);
    StartBuild(CompareCaption(oldLog, newLog), CompareRootText(oldLog, newLog));
}

void TCompMDIChild::ConstructFileDirTreeView(const std::string& path, int oldLog, int newLog)
{
    if (Busy)
        return;
    Reference = -1;
    OldLog = oldLog;
    NewLog = newLog;
    ChildRefLabel->setText(Q(path));
    ComparisonFileName = path;
    NewLogFileName.clear();
    TagsAvailable = false;
    const std::string name = std::filesystem::path(path).filename();
    const bool numbered = newLog > 0;
    StartBuild(numbered ? CompareCaption(oldLog, newLog) : "Comparing " + name,
               numbered ? CompareRootText(oldLog, newLog) : name);
}

void TCompMDIChild::StartBuild(const std::string& caption, const std::string& rootText)
{
    Busy = true;
    CloseRequested = false;
    TreeStack->setCurrentWidget(BlankTreeView);
    DisableToolBar();
    InProcessAnimate->StartSoon();
    ResetList();
    // Unique with or without the read-only suffix, which either window may carry.
    baseCaption_ = UniqueCaption(caption, [this](const std::string& c) {
        return frame_.CaptionExists(Q(c)) || frame_.CaptionExists(Q(c + kReadOnlySuffix));
    });
    UpdateCaption();

    TreeModel->SetTree(nullptr);
    *tree_ = TDirTree(rootText);
    buildAccess_ = std::make_unique<TComparisonAccess>();
    if (!OpenComparison(*buildAccess_)) {
        buildAccess_.reset();
        TagsAvailable = false;
        CreateFilterDialog();
        EndBuild();
        return;
    }
    FileVersion = buildAccess_->File->GetFileVersion();
    TagsAvailable = TagsAvailable && FileVersion != kCompareVersionWithoutNewLogOffset;
    UpdateCaption();
    CreateFilterDialog();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    builder_ = std::make_unique<TCompareTreeBuilder>(*buildAccess_->File, *tree_);
    BuildStep();
}

void TCompMDIChild::CreateFilterDialog()
{
    if (FileFilterForm)
        return;
    const TRefStore store(frame_.Context().DataDirectory);
    FileFilterForm = new TFileFilterForm(kCompareFilterMode, store.FilterIniPath(),
                                         *frame_.Context().UI, frame_.TagImageList, this);
    connect(FileFilterForm, &TFileFilterForm::HelpRequested, &frame_, &TMDIParent::ShowHelpContext);
    QStringList lines;
    for (const std::string& line : CompareFilterLines())
        lines << Q(line);
    FileFilterForm->SetCompareLines(lines);
    FileFilterForm->Initialise(TagsAvailable);
}

void TCompMDIChild::BuildStep()
{
    if (!builder_)
        return;
    if (StepFor(
            StepMilliseconds, [this] { return builder_->Step(kStepRecords); },
            [this] { return CloseRequested; })) {
        ChildStatusBar->SetSimpleText(Q(builder_->LastName()));
        QTimer::singleShot(0, this, &TCompMDIChild::BuildStep);
        return;
    }
    EndBuild();
}

void TCompMDIChild::EndBuild()
{
    const bool opened = buildAccess_ != nullptr;
    if (builder_ && !builder_->Done())
        tree_->Finish(); // stopped by a close: the nodes so far
    treeFault_ = builder_ ? builder_->Fault() : std::string();
    builder_.reset();
    buildAccess_.reset();
    if (opened)
        QApplication::restoreOverrideCursor();
    if (TakeCloseRequest()) {
        CloseWindow();
        return;
    }
    TreeModel->SetTree(tree_.get());
    for (int node : CompareInitialExpansion(*tree_))
        DirTreeView->expand(TreeModel->IndexOf(node));
    ChildStatusBar->SetSimpleText(QString());
    if (!treeFault_.empty())
        ChildInfoLabel->setText(Q("Damaged comparison (" + treeFault_ + ")."));
    TreeStack->setCurrentWidget(DirTreeView);
    if (TagsAvailable) {
        try {
            TLogFile newLog(NewLogFileName, false);
            tagSettings_.Load(newLog.Log());
        } catch (const std::exception&) {
            TagsAvailable = false; // gone since: nothing of it can be shown
        }
    }
    UpdateCaption();
    UpdateTagActions();
    InProcessAnimate->CancelStart();
    Busy = false;
    EnableToolBar();
    if (!opened)
        return;
    // Showing the tree can give it the focus, which makes the root its current node while the
    // build is still busy: selecting the root then changes nothing, so it is listed here.
    const bool rootCurrent = SelectedNode() == TDirTree::kRoot;
    SelectNode(TDirTree::kRoot); // lists the root
    if (rootCurrent && !Busy)
        ProcessFillListView();
}

// ---- Navigation -----------------------------------------------------------------------------

int TCompMDIChild::SelectedNode() const
{
    return TreeModel->NodeOf(DirTreeView->currentIndex());
}

void TCompMDIChild::SelectNode(int node)
{
    SelectTreeNode(DirTreeView, *TreeModel, node);
}

void TCompMDIChild::DirTreeViewChange()
{
    if (Busy) {
        RestartRequested = true;
        return;
    }
    const int node = SelectedNode();
    if (node < 0)
        return;
    ChildPathLabel->clear();
    // Before the fill, which keeps the toolbar's states through it.
    UpOneLevelAction->setEnabled(node != TDirTree::kRoot);
    ProcessFillListView();
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

void TCompMDIChild::UpOneLevel()
{
    const int node = SelectedNode();
    if (Busy || node <= TDirTree::kRoot)
        return;
    SelectNode(tree_->Parent(node));
}

// ---- Filling the list -----------------------------------------------------------------------

void TCompMDIChild::ResetList()
{
    store_.Clear();
    ListModel->Reset();
    SelectedAllocNow = 0;
}

void TCompMDIChild::FillListView(int32_t offset)
{
    if (Busy || SelectedNode() < 0)
        return;
    StartFill();
    ChildPathLabel->clear();
    CurrentDirectoryPath.clear();
    InProcessAnimate->StartSoon();
    ChildStatusBar->SetSimpleText(QString());
    DisableToolBar();
    StopAction->setEnabled(true);
    ShowListFilling(FileListView, DirTreeView, true);
    ResetList();

    fill_ = std::make_unique<TFillRun>();
    fill_->FilterOn = FilterOn;
    if (FilterOn) {
        ChildStatusBar->ShowTotals(0, true, 0, 0, locale_);
        ChildStatusBar->SetSimplePanel(false);
    }
    if (!OpenComparison(fill_->Access)) {
        EndFill();
        return;
    }
    if (TagsAvailable) {
        try {
            fill_->NewLog = std::make_unique<TLogFile>(NewLogFileName, false);
        } catch (const std::exception&) {
            // Gone since the window was built: the rows show no tags this time.
        }
    }
    TCompareFillRequest request;
    request.View = View;
    request.Offset = offset;
    if (FilterOn && FileFilterForm) {
        fill_->Filter = FileFilterForm->Test();
        request.Filter = &fill_->Filter;
    }
    request.DateType = DateType;
    request.ShowIcons = frame_.Context().Display.ShowIcons;
    TCompareListOptions options = table_.Options();
    options.ShowExtensions = frame_.Context().Display.ShowExtensions;
    table_.SetOptions(options);
    fill_->Fill = std::make_unique<TCompareFill>(*fill_->Access.File, store_, request,
                                                 fill_->NewLog ? &fill_->NewLog->Log() : nullptr);
    CurrentDirectoryPath = fill_->Fill->DirectoryPath();
    ChildPathLabel->setText("Contents of: " + Q(fill_->Fill->AtRoot()
                                                    ? CompareRootText(OldLog, NewLog)
                                                    : CurrentDirectoryPath));
    ChildStatusBar->SetSimplePanel(false);
    FillStep(); // the first rows show at once
}

void TCompMDIChild::FillStep()
{
    if (!fill_)
        return;
    const bool more = StepFor(
        StepMilliseconds, [this] { return fill_->Fill && fill_->Fill->Step(kStepRecords); },
        [this] { return RestartRequested || CloseRequested; });
    ListModel->RowsAppended();
    if (more) {
        ShowFillStatus();
        QTimer::singleShot(0, this, &TCompMDIChild::FillStep);
        return;
    }
    EndFill();
}

void TCompMDIChild::ShowFillStatus()
{
    if (!fill_ || !fill_->Fill)
        return;
    if (fill_->FilterOn) {
        const TSpaceNow listed = fill_->Fill->Listed();
        ChildStatusBar->ShowTotals(store_.Count(), true, listed.Size, listed.Allocated, locale_);
        return;
    }
    const int node = tree_->FindOffset(fill_->Fill->LastParent());
    ChildStatusBar->ShowProgress(Q(fill_->Fill->LastName()),
                                 node < 0 ? QString() : Q(tree_->PathOf(node)));
}

void TCompMDIChild::EndFill()
{
    std::unique_ptr<TFillRun> run = std::move(fill_);
    const bool filterOn = run && run->FilterOn;
    const std::string fault = run && run->Fill ? run->Fill->Fault() : std::string();
    const TSpaceNow totals = run && run->Fill ? run->Fill->Totals() : TSpaceNow();
    const TSpaceNow listed = run && run->Fill ? run->Fill->Listed() : TSpaceNow();
    run.reset(); // closes the files
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
    const TSpaceNow& shown = filterOn ? listed : totals;
    ChildStatusBar->ShowTotals(store_.Count(), filterOn, shown.Size, shown.Allocated, locale_);
    ChildStatusBar->SetPanelText(2, QString());
    // Where the list's walk met damage, else where the tree's did.
    const std::string& damage = fault.empty() ? treeFault_ : fault;
    ChildInfoLabel->setText(damage.empty() ? QString() : Q("Damaged comparison (" + damage + ")."));
    if (SortColumn.empty())
        ClickColumn(table_.Column(kCmpName).Caption);
    SortCompareFilesListView(SortColumn);
    SetListViewStateImages();
    Busy = false;
    EnableToolBar();
    StopAction->setEnabled(false);
}

void TCompMDIChild::EndFillEarly()
{
    ResetList();
    EnableToolBar();
    StopAction->setEnabled(false);
    Busy = false;
    if (StopPressed) {
        ChildPathLabel->setText("Stopped by user:");
        return;
    }
    // A new selection stopped the fill: the fill for it starts once this one has unwound.
    ChildStatusBar->SetSimplePanel(true);
    QTimer::singleShot(0, this, [this] {
        const int node = SelectedNode();
        UpOneLevelAction->setEnabled(node > TDirTree::kRoot);
        ProcessFillListView();
    });
}

// ---- Sorting, state images and the selection ------------------------------------------------

void TCompMDIChild::SortCompareFilesListView(const std::string& caption)
{
    const std::string column = caption.empty() ? std::string("File name") : caption;
    TakeSortDirection();
    const int key = CompareSortKeyOf(column);
    // The selected rows stay selected in their new places.
    std::vector<uint32_t> selected = SelectedStoredRows(FileListView, store_.Order());
    SortCompareRows(store_, table_, key, SortDirection);
    ListModel->Reset();
    SelectedAllocNow = 0;
    SelectStoredRows(FileListView, store_.Order(), std::move(selected));
    ShowSelectionTotal();
    FileListView->header()->setSortIndicatorShown(key != 0);
    for (int c = 0; c < kCompareColumnCount && key != 0; ++c)
        if (table_.Column(c).Caption == column) {
            // A to Z, oldest or smallest first reads as ascending.
            const bool ascending = (key == 1 || key >= 8) == SortDirection;
            FileListView->header()->setSortIndicator(c, ascending ? Qt::AscendingOrder
                                                                  : Qt::DescendingOrder);
        }
}

void TCompMDIChild::SetListViewStateImages()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ListModel->SetStateImages(TagsShown && TagsAvailable, TagsAvailable);
    QApplication::restoreOverrideCursor();
    EnableToolBar();
}

void TCompMDIChild::ListSelectionChanged(const QItemSelection& selected,
                                         const QItemSelection& deselected)
{
    auto count = [this](const QItemSelection& ranges, int sign) {
        for (const QItemSelectionRange& range : ranges)
            for (int r = range.top(); r <= range.bottom() && r < store_.Count(); ++r)
                SelectedAllocNow += sign * store_.Row(r).AllocNow;
    };
    count(selected, 1);
    count(deselected, -1);
    // A row whose entry was deleted from the disk cannot be chosen for a new operation; the
    // change that deselects it counts it out again.
    if (TagsAvailable && !TagEditing) {
        QItemSelection refused;
        for (const QItemSelectionRange& range : selected)
            for (int r = range.top(); r <= range.bottom() && r < store_.Count(); ++r)
                if (DeselectedAgain(store_.Row(r), TagsAvailable))
                    refused.select(ListModel->index(r, 0),
                                   ListModel->index(r, kCompareColumnCount - 1));
        if (!refused.isEmpty())
            FileListView->selectionModel()->select(refused, QItemSelectionModel::Deselect);
    }
    ShowSelectionTotal();
}

void TCompMDIChild::ShowSelectionTotal()
{
    ChildStatusBar->SetPanelText(2, QString());
    if (Busy || !FileListView->selectionModel()->hasSelection())
        return;
    ChildStatusBar->SetPanelText(2, Q(SelectedTotalText(SelectedAllocNow, locale_)));
}

} // namespace vm
