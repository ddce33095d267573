// The explore window: its own actions and menus, opening a stored log or a log in memory, and
// the build of its tree. Filling and sorting the list are in QtExploreFormWork.cpp, the row pop-up
// and the file actions in QtExploreFormFiles.cpp.
#include "explore/ExploreForm.h"

#include "display/ImageIndexes.h"
#include "explore/ExploreTexts.h"
#include "explore/LogTree.h"
#include "explore/QtFileListModel.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/ExclusiveFile.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include <filesystem>

namespace vm {

namespace {

const TListWindowLook kExploreLook = {
    .ObjectName = "ExploreChild",
    .Caption = "Explore logs",
    .Icon = img::Log,
    .SortDirection = true,
    .DateType = TDateType::Modified,
    .Help = help::Explore,
    .ListHelp = help::FileList,
    .PropertiesTag = 1,
    .SelectFirstRowOnEntry = true,
    .ViewRestartsFill = true,
    .FilterRestartsFill = true,
    .DateTypeRestartsFill = false,
    .PathColumnWidthReset = true,
    .UpIconText = "Up",
    .FileFilterText = "File filter ...",
    .TagFilterText = "Tag filter ...",
    .ToggleFilterText = "Toggle filter",
    .ToggleFilterStatusTip = "Turn file filter on or off",
    .TagSettingsText = "Tag settings ...",
    .EmailText = "Email",
    .DeleteFilesText = "Delete tagged files",
    .DeleteSelectedFilesText = "D&elete selected files",
    .ListName = "Files and directories",
    .ListToolTip = "Sortable Viewer for Files and Directories contained by Directory in the "
                   "Reference Tree Viewer.",
};

} // namespace

// The log a build reads, and the deleted total its header holds once the tree is built.
struct TExploreChild::TBuildRun : TListRun
{
    TBuildRun(TExploreChild& window, std::unique_ptr<TLogAccess> access)
        : Window(window), Access(std::move(access)), Builder(Access->Log(), *window.tree_)
    {
    }
    void End() override
    {
        if (!Window.InMemory())
            Window.DeletedTotal = Access->Log().GetDeletedTotal();
    }

    TExploreChild& Window;
    std::unique_ptr<TLogAccess> Access;
    TDirTreeBuilder Builder;
};

TExploreChild::TExploreChild(TChildFrame& frame)
    : TListWindow(frame, kExploreLook),
      table_(store_, *tree_, locale_, [&frame](const std::string& extension) {
          return frame.FileTypes().FileTypeText(extension);
      })
{
    CreateActions();
    CreateMenus();
    CreateFileActions();
    CreateToolBar(nullptr, nullptr);
    CreateTreePanel(img::Log, false);
    AccumulatorLabel = NewCaptionLabel(this, "AccumulatorLabel");
    AccumulatorLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ListModel =
        new TFileListModel(table_, frame.SmallImages(), frame.TagImages(), frame.IconCache(), this);
    CreateListPanel(ListModel, {AccumulatorLabel}, kColName, {kColSize, kColSpace}, kColDate);
    connect(FileListView, &QWidget::customContextMenuRequested, this,
            &TExploreChild::ChildPopupMenuPopup);
    FinishLayout();
}

TExploreChild::~TExploreChild() = default;

void TExploreChild::CreateActions()
{
    connect(TagSettingsAction, &QAction::triggered, this, &TExploreChild::TagSettingsClick);
    connect(EmailAction, &QAction::triggered, this, &TExploreChild::EmailClick);
    CopyAllFilesAction = NewAction(this, "all files ...", "CopyAllFilesAction");
    CopyAllFilesAction->setIconText("Copy files");
    CopySelectedFilesAction = NewAction(this, "selected files ...", "CopySelectedFilesAction");
    SelectAllFiles1 = NewAction(this, "Select &all files", "SelectAllFiles1");
    SelectAllFiles1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(CopyAllFilesAction, &QAction::triggered, this, [this] { CopyFilesClick(false); });
    connect(CopySelectedFilesAction, &QAction::triggered, this, [this] { CopyFilesClick(true); });
    connect(SelectAllFiles1, &QAction::triggered, this, &TExploreChild::SelectAllFilesClick);
    ScopeShortcutsToWindow(this);
}

void TExploreChild::CreateMenus()
{
    const TFileMenu file = NewListFileMenu(this, {PrintAction, ExportListAction}, EmailAction,
                                           {Close1, CloseAll1, Exit1});
    FileMenu = file.File;
    SendMenu = file.Send;

    EditMenu =
        NewMenu(this, "&Edit", "Edit1",
                {CopyAction, DeleteFilesAction, nullptr, SelectAllFiles1, DeleteSelectedFiles1});

    ViewMenu = NewMenu(this, "&View", "View1",
                       {ViewStandardAction, ViewFoldersAction, ViewAllAction, nullptr,
                        ToggleFilterAction, FileFilterAction, TagFilterAction});
    ViewMenu->addSeparator();
    DateTypesMenu = ViewMenu->addMenu("View &date types");
    DateTypesMenu->setObjectName("ViewDateTypes1");
    DateTypesMenu->addActions(dateTypes_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(Refresh1);

    GoMenu = NewMenu(this, "&Go", "Go1", {UpOneLevelAction});
    TagsMenu = NewMenu(this, "&Tags", "Tags1", {TagSettingsAction});

    TreePopupMenu = NewMenu(this, {}, "TreePopupMenu", {ExpandTree1, CollapseTree1});
    ViewButtonMenu =
        NewMenu(this, {}, "ViewButtonMenu", {ViewStandardAction, ViewFoldersAction, ViewAllAction});
}

// ---- The log --------------------------------------------------------------------------------

std::unique_ptr<TExploreChild::TLogAccess> TExploreChild::OpenLog(size_t readWindow)
{
    auto access = std::make_unique<TLogAccess>();
    try {
        TStream* stream = stream_.get();
        if (!stream) {
            access->File =
                std::make_unique<TFileStream>(LogFileName, TFileMode::OpenRead, readWindow);
            stream = access->File.get();
        }
        access->Storage = std::make_unique<TDirStorage>(*stream);
    } catch (const std::exception& e) {
        frame_.UI().ShowMessage(e.what());
        return nullptr;
    }
    return access;
}

bool TExploreChild::RefusedAsReadOnly()
{
    if (!ReadOnly)
        return false;
    frame_.UI().ShowMessage(kReadOnlyLogText);
    return true;
}

std::unique_ptr<TExploreChild::TLogAccess> TExploreChild::OpenLogForChange()
{
    if (RefusedAsReadOnly())
        return nullptr;
    std::unique_ptr<TLogAccess> access;
    if (InMemory()) {
        access = OpenLog();
    } else {
        access = std::make_unique<TLogAccess>();
        try {
            access->File = OpenForExclusiveWriting(LogFileName);
            access->Storage = std::make_unique<TDirStorage>(*access->File);
        } catch (const std::exception& e) {
            frame_.UI().ShowMessage(e.what());
            return nullptr;
        }
    }
    if (access)
        access->OnClose.Run = [this] { ReloadReader(); };
    return access;
}

void TExploreChild::ReloadReader() noexcept
{
    if (!reader_)
        return;
    try {
        if (reader_->File)
            reader_->File->Reload();
        // The header too may have changed (a deletion's totals).
        table_.SetLog(nullptr);
        reader_->Storage = std::make_unique<TDirStorage>(reader_->Storage->Stream());
        table_.SetLog(&reader_->Log());
        // The log has every tag the window set meanwhile.
        store_.ForgetTags();
    } catch (const std::exception&) {
        // The log cannot be read any more: rows paint blank until the next build opens it
        // again, which says why.
        table_.SetLog(nullptr);
        reader_.reset();
    }
}

std::unique_ptr<TActionLog> TExploreChild::OpenActionLog(const std::vector<int>&, bool writing)
{
    return writing ? OpenLogForChange() : OpenLog();
}

// ---- Building the tree ----------------------------------------------------------------------

void TExploreChild::ConstructDirTree(const TLogToOpen& log)
{
    if (Busy)
        return;
    LogFileName = log.Path;
    Reference = log.Reference;
    LogNumber = log.LogNumber;
    ChildRefLabel->setText(Q(log.RefName));
    StartBuild(ExploreCaption(log.LogNumber, false));
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
    BeginBuild(LogNumber > 0 || !ReadOnly ? "Log " + std::to_string(LogNumber)
                                          : std::filesystem::path(LogFileName).filename().string());
    CreateFilterDialog(kExploreFilterMode, false);
    setWindowTitle(Q(
        UniqueCaption(base, [this](const std::string& c) { return frame_.CaptionExists(Q(c)); })));
    table_.SetLog(nullptr);
    reader_.reset();
    std::unique_ptr<TLogAccess> access = OpenLog();
    if (!access) {
        EndBuild();
        return;
    }
    reader_ = OpenLog(kPaintingReadBuffer);
    table_.SetLog(reader_ ? &reader_->Log() : nullptr);
    ShowOwnerColumns(access->Log().HasOwners());
    auto run = std::make_unique<TBuildRun>(*this, std::move(access));
    TTreeWork* work = &run->Builder;
    StartBuildSteps(std::move(run), work);
}

void TExploreChild::ShowOwnerColumns(bool recorded)
{
    TFileListOptions options = table_.Options();
    options.OwnersRecorded = recorded;
    table_.SetOptions(options);
    for (int column : {kColOwner, kColGroup}) {
        FileListView->setColumnHidden(column, !recorded);
        if (recorded)
            FileListView->setColumnWidth(column, table_.Column(column).Width);
    }
    ListModel->headerDataChanged(Qt::Horizontal, kColOwner, kColGroup);
    FileFilterForm->SetOwnersRecorded(recorded);
}

std::vector<int> TExploreChild::InitialTreeNodes() const
{
    const int rowHeight = std::max(1, DirTreeView->fontMetrics().height());
    return InitialExpansion(*tree_, DirTreeView->height() / rowHeight);
}

void TExploreChild::TreeBuilt(const std::string& fault)
{
    AccumulatorLabel->setText(Q(AccumulatorText(DeletedTotal, locale_)));
    if (!fault.empty())
        ChildInfoLabel->setText(Q("Damaged log (" + fault + ")."));
}

} // namespace vm
