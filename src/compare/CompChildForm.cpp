// The compare window: its own actions and menus, opening a comparison and the build of its tree,
// the caption and the read-only state. Filling and sorting the list are in
// QtCompChildFormWork.cpp, the row pop-up, the tags and the dialogs in QtCompChildFormCommands.cpp,
// what its file actions need in CompChildFormFiles.cpp.
#include "compare/CompChildForm.h"

#include "compare/CompareRules.h"
#include "compare/QtCompareListModel.h"
#include "display/ImageIndexes.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ListSortStart.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtListWindowActions.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowParts.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>

namespace vm {

namespace {

const TListWindowLook kCompareLook = {
    .ObjectName = "CompMDIChild",
    .Caption = "Compare logs",
    .Icon = img::Comparison,
    .SortDirection = false,
    .DateType = TDateType::Created,
    .Help = help::Compare,
    .ListHelp = help::Compare,
    .PropertiesTag = 2,
    .SelectFirstRowOnEntry = false,
    .ViewRestartsFill = false,
    .FilterRestartsFill = false,
    .DateTypeRestartsFill = true,
    .PathColumnWidthReset = false,
    .UpIconText = "Up ",
    .FileFilterText = "&File filter settings ...",
    .TagFilterText = "&Tag filter settings",
    .ToggleFilterText = "&Turn file filter on",
    .ToggleFilterStatusTip = "Turn file filter on or off",
    .TagSettingsText = "Tag settings",
    .EmailText = "Email ...",
    .DeleteFilesText = "Delete files",
    .DeleteSelectedFilesText = "&Delete selected files",
    .ListName = "Files and directories compared",
    .ListToolTip = "",
};

// A regular file at the path (a final link followed).
bool FileExists(TFileSystem& fs, const std::string& path)
{
    TFileInfo info;
    int error = 0;
    return fs.StatPath(path, info, error) && !(info.Attributes & (faDirectory | faSystem));
}

} // namespace

// The comparison a build reads and the walk of its directory chain.
struct TCompMDIChild::TBuildRun : TListRun
{
    TBuildRun(TComparisonAccess access, TDirTree& tree)
        : Access(std::move(access)), Builder(*Access.File, tree)
    {
    }

    TComparisonAccess Access;
    TCompareTreeBuilder Builder;
};

TCompMDIChild::TCompMDIChild(TChildFrame& frame)
    : TListWindow(frame, kCompareLook),
      table_(store_, *tree_, locale_, [&frame](const std::string& extension) {
          return frame.FileTypes().FileTypeText(extension);
      })
{
    CreateActions();
    CreateMenus();
    CreateToolBar(CompareFilterAction, ShowAction);
    ShowButton = qobject_cast<QToolButton*>(ToolBar->widgetForAction(ShowAction));
    CreateTreePanel(img::Comparison, true);
    ListModel = new TCompareListModel(table_, frame.SmallImages(), frame.StateImages(),
                                      frame.TagImages(), frame.IconCache(), this);
    CreateListPanel(ListModel, {}, kCmpName, {kCmpWas, kCmpNow, kCmpChanged}, kCmpDate);
    connect(FileListView, &QWidget::customContextMenuRequested, this,
            &TCompMDIChild::PopupMenuShow);
    FinishLayout();
    FirstClick = CompareFirstClick(frame.Display().LargestFirst);
    UpOneLevelAction->setEnabled(false);
    UpdateTagActions();
}

TCompMDIChild::~TCompMDIChild() = default;

void TCompMDIChild::CreateActions()
{
    CompareFilterAction = NewToolAction(
        this, "Compare filter", "CompareFilterAction", "Alter compare filter specifications",
        "Compare", toolimg::CompareFilter,
        [this] { ShowFilterDialog(FileFilterForm ? FileFilterForm->ComparePage : nullptr); });
    connect(TagSettingsAction, &QAction::triggered, this, &TCompMDIChild::TagSettingsClick);
    connect(EmailAction, &QAction::triggered, this, &TCompMDIChild::EmailClick);
    PrintSetup1 = NewAction(this, "Print &setup ...", "PrintSetup1");
    connect(PrintSetup1, &QAction::triggered, this, &TCompMDIChild::PrintSetupClick);

    ShowArrows1 = NewAction(this, "Show &arrows", "ShowArrows1");
    ShowTags1 = NewAction(this, "Show &tags", "ShowTags1");
    stateImages_ = NewChoiceActions(this, {ShowArrows1, ShowTags1}).Group;
    ShowArrows1->setChecked(true);
    connect(ShowArrows1, &QAction::triggered, this, [this] { ShowStateImages(false); });
    connect(ShowTags1, &QAction::triggered, this, [this] { ShowStateImages(true); });
    ShowAction = NewToolAction(this, "Show", "ShowAction", "Show tags or arrows", {},
                               toolimg::ShowArrows, [this] { ShowButtonClick(); });

    // The row pop-up's items.
    Open1 = NewAction(this, "Open", "Open1");
    connect(Open1, &QAction::triggered, this, &TCompMDIChild::OpenClick);
    QuickView1 = NewAction(this, "Quick View", "QuickView1");
    SelectAllFiles1 = NewAction(this, "Select all files", "SelectAllFiles1");
    connect(SelectAllFiles1, &QAction::triggered, this, &TCompMDIChild::SelectAllFilesClick);
    DeleteSelected1 = NewAction(this, "Delete selected", "DeleteSelected1");
    connect(DeleteSelected1, &QAction::triggered, this, &TCompMDIChild::DeleteSelectedClick);
    CopySelectedFiles1 = NewAction(this, "Selected files ...", "CopySelectedFiles1");
    connect(CopySelectedFiles1, &QAction::triggered, this, [this] { CopyFilesClick(true); });
    CopyAllFiles1 = NewAction(this, "All files ...", "CopyAllFiles1");
    connect(CopyAllFiles1, &QAction::triggered, this, [this] { CopyFilesClick(false); });
    Properties1 = NewAction(this, "Properties", "Properties1");
    connect(Properties1, &QAction::triggered, this, &TCompMDIChild::PropertiesClick);
    ClearAllTags1 = NewAction(this, "Clear all tags", "ClearAllTags1");
    connect(ClearAllTags1, &QAction::triggered, this, &TCompMDIChild::ClearAllTagsClick);

    ScopeShortcutsToWindow(this);
}

void TCompMDIChild::CreateMenus()
{
    const TFileMenu file = NewListFileMenu(this, {PrintSetup1, PrintAction, ExportListAction},
                                           EmailAction, {Close1, CloseAll1, Exit1});
    FileMenu = file.File;
    SendMenu = file.Send;
    EditMenu = NewMenu(this, "&Edit", "Edit1", {CopyAction, DeleteSelectedFiles1});

    ViewMenu = NewMenu(this, "&View", "View1",
                       {ViewStandardAction, ViewFoldersAction, ViewAllAction, nullptr});
    ViewMenu->addActions(stateImages_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(ToggleFilterAction);
    DateTypesMenu = ViewMenu->addMenu("View date types");
    DateTypesMenu->setObjectName("ViewDateTypes1");
    DateTypesMenu->addActions(dateTypes_->actions());
    ViewMenu->addSeparator();
    ViewMenu->addAction(FileFilterAction);
    ViewMenu->addAction(TagFilterAction);
    ViewMenu->addAction(CompareFilterAction);
    ViewMenu->addSeparator();
    ViewMenu->addAction(Refresh1);

    GoMenu = NewMenu(this, "&Go", "Go1", {UpOneLevelAction});
    TagsMenu = NewMenu(this, "&Tags", "Tags1", {TagSettingsAction});

    ChildPopupMenu = new QMenu(this);
    ChildPopupMenu->setObjectName("ChildPopupMenu");
    ChildPopupMenu->addAction(Open1);
    ChildPopupMenu->setDefaultAction(Open1);
    ChildPopupMenu->addAction(QuickView1);
    ChildPopupMenu->addAction(SelectAllFiles1);
    ChildPopupMenu->addAction(DeleteSelected1);
    CopyFilesMenu = ChildPopupMenu->addMenu("Copy files");
    CopyFilesMenu->setObjectName("CopyFiles1");
    CopyFilesMenu->addAction(CopySelectedFiles1);
    CopyFilesMenu->addAction(CopyAllFiles1);
    ChildPopupMenu->addSeparator();
    ChildPopupMenu->addAction(Properties1);
    ChildPopupMenu->addSeparator();
    fixedPopupItems_ = int(ChildPopupMenu->actions().size());

    TreePopupMenu = NewMenu(this, {}, "TreePopupMenu", {ExpandTree1, CollapseTree1});
    ViewButtonMenu =
        NewMenu(this, {}, "ViewButtonMenu", {ViewStandardAction, ViewFoldersAction, ViewAllAction});
}

// ---- Building the tree ----------------------------------------------------------------------

bool TCompMDIChild::OpenComparison(TComparisonAccess& access, size_t buffer)
{
    try {
        access.Stream =
            std::make_unique<TFileStream>(ComparisonFileName, TFileMode::OpenRead, buffer);
        access.File = std::make_unique<TDirCompare>(*access.Stream);
    } catch (const std::exception& e) {
        access = {};
        frame_.UI().ShowMessage(e.what());
        return false;
    }
    return true;
}

void TCompMDIChild::ConstructDirTreeView(const TComparisonToOpen& comparison)
{
    if (Busy)
        return;
    Reference = comparison.Reference;
    OldLog = comparison.OldLog;
    NewLog = comparison.NewLog;
    ChildRefLabel->setText(Q(comparison.RefName));
    ComparisonFileName = comparison.Path;
    NewLogFileName = comparison.NewLogPath;
    TagsAvailable = FileExists(*Disk, NewLogFileName);
    StartBuild(CompareCaption(OldLog, NewLog), CompareRootText(OldLog, NewLog));
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
    BeginBuild(rootText);
    InProcessAnimate->StartSoon();
    // Unique with or without the read-only suffix, which either window may carry.
    baseCaption_ = UniqueCaption(caption, [this](const std::string& c) {
        return frame_.CaptionExists(Q(c)) || frame_.CaptionExists(Q(c + kReadOnlySuffix));
    });
    UpdateCaption();

    QStringList lines;
    for (const std::string& line : CompareFilterLines())
        lines << Q(line);
    table_.SetComparison(nullptr);
    reader_.File.reset(); // before the stream it reads
    reader_.Stream.reset();
    TComparisonAccess access;
    if (!OpenComparison(access) || !OpenComparison(reader_, kPaintingReadBuffer)) {
        TagsAvailable = false;
        CreateFilterDialog(kCompareFilterMode, TagsAvailable, lines);
        EndBuild();
        return;
    }
    table_.SetComparison(reader_.File.get());
    FileVersion = access.File->GetFileVersion();
    TagsAvailable = TagsAvailable && FileVersion != kCompareVersionWithoutNewLogOffset;
    UpdateCaption();
    CreateFilterDialog(kCompareFilterMode, TagsAvailable, lines);
    auto run = std::make_unique<TBuildRun>(std::move(access), *tree_);
    TTreeWork* work = &run->Builder;
    StartBuildSteps(std::move(run), work);
}

std::vector<int> TCompMDIChild::InitialTreeNodes() const
{
    return CompareInitialExpansion(*tree_);
}

void TCompMDIChild::TreeBuilt(const std::string& fault)
{
    treeFault_ = fault;
    if (!treeFault_.empty())
        ChildInfoLabel->setText(Q("Damaged comparison (" + treeFault_ + ")."));
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
}

// ---- The caption and the read-only state ----------------------------------------------------

void TCompMDIChild::ToolBarEnabled()
{
    TagFilterAction->setEnabled(TagsAvailable);
    TagSettingsAction->setEnabled(TagsAvailable);
}

void TCompMDIChild::UpdateTagActions()
{
    for (QAction* a : {TagFilterAction, TagSettingsAction, ShowTags1, ShowAction, DeleteFilesAction,
                       DeleteSelectedFiles1})
        a->setEnabled(TagsAvailable);
    ShowAction->setToolTip(TagsAvailable ? QString("Show tags or arrows") : kCantShowTagsHint);
}

void TCompMDIChild::UpdateCaption()
{
    const QString old = windowTitle();
    const QString caption = Q(baseCaption_ + (TagsAvailable ? "" : kReadOnlySuffix));
    setWindowTitle(caption);
    frame_.CaptionChanged(old, caption);
}

void TCompMDIChild::TurnReadOnly(const std::string& why)
{
    if (!TagsAvailable)
        return;
    TagsAvailable = false;
    UpdateCaption();
    UpdateTagActions();
    if (TagsShown)
        ShowStateImages(false);
    else
        SetListViewStateImages();
    frame_.UI().ShowMessage(ReadOnlyMessage(NewLog, why));
}

} // namespace vm
