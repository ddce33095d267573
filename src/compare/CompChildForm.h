// "Compare logs": the comparison of two logs of a reference, as a directory tree on the left with
// arrows that tell whether each directory grew, shrank, appeared or vanished, and a list on the
// right with the space each entry took then and now, the difference and a condition text.
//
// Everything shown comes from the comparison file, opened for each operation; the window keeps
// no copy of it. The new log is reached through the records' NewLogOffset only for tags and the
// deleted-from-disk marks, and only while it exists and matches the comparison: otherwise the
// window is read only. Long work (the tree, the list) runs in steps of a few milliseconds from
// the event loop, so that a new selection restarts a fill, Stop ends it, and a close asked for
// meanwhile is done once the step has returned.
#pragma once

#include "compare/CompareFill.h"
#include "compare/CompareList.h"
#include "compare/CompareTree.h"
#include "compare/NewLogLink.h"
#include "core/LogFile.h"
#include "core/TagSettings.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/ListWindowWork.h"
#include "listwindow/QtMdiChild.h"
#include "output/QtListExport.h"

#include <QWidget>

#include <functional>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QItemSelection;
class QLabel;
class QMenu;
class QModelIndex;
class QPoint;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeView;

namespace vm {

class TBusyIndicator;
class TChildStatusBar;
class TCompareListModel;
class TDirTreeModel;
class TMDIParent;

class TCompMDIChild : public QWidget, public TMdiChildMenus, public TListWindowWork
{
    Q_OBJECT
public:
    // frame outlives the window (it holds it in its MDI area).
    explicit TCompMDIChild(TMDIParent& frame);
    ~TCompMDIChild() override;

    // Builds the window over the comparison of logs oldLog and newLog of the reference.
    void ConstructDirTreeView(int reference, int oldLog, int newLog);
    // Builds the window over a comparison file that no reference owns, read only: without its
    // new log nothing can be tagged, marked or deleted through it. oldLog and newLog: the
    // numbers its name carries (00030004.kcf), 0 when it carries none.
    void ConstructFileDirTreeView(const std::string& path, int oldLog, int newLog);
    // Fills the list with the contents of the directory record at offset (-1: the root).
    void FillListView(int32_t offset);
    // Fills the list for the selected tree node, with the Stop button enabled meanwhile.
    void ProcessFillListView();
    // Sorts the list by the column with that caption ("" is "File name").
    void SortCompareFilesListView(const std::string& caption);
    // The arrows or tags beside the rows, as the View menu chooses.
    void SetListViewStateImages();

    QList<TGroupedMenu> MergedMenus() const override;

    // How long one step of a build or fill runs before events get their turn (milliseconds);
    // 0 makes every step as short as it can be (the window tests use it to act mid-fill).
    static inline int StepMilliseconds = 25;

    // The window's state.
    int Reference = 0, OldLog = 0, NewLog = 0;
    std::string ComparisonFileName, NewLogFileName;
    int FileVersion = 0;
    // The new log can be reached: it existed when the window was built, the comparison gives
    // its offsets (not version 101), and every entry written so far was the record's own.
    bool TagsAvailable = false;
    std::string CurrentDirectoryPath; // ending with "/"; empty at the root
    bool TagEditing = false;
    TView View = TView::Standard;
    TDateType DateType = TDateType::Created;
    bool FilterOn = false;
    bool TagsShown = false;
    int64_t SelectedAllocNow = 0;
    // The disk the file actions reach files on (a test may put another in its place); the
    // window's own unless set.
    TFileSystem* Disk = nullptr;
    // Where "E&xport list ..." writes; the save dialog unless set (tests set it).
    TExportFileChooser ChooseExportFile;

    const TDirTree& Tree() const { return *tree_; }
    const TCompareRowStore& Rows() const { return store_; }
    const TCompareListTable& Table() const { return table_; }
    // The settings of the new log's tags that the pop-up's tag items follow.
    const TTagSettings& TagSettings() const { return tagSettings_; }

    // Controls.
    QToolBar* ToolBar;
    QToolButton *ViewButton, *FilterButton, *ShowButton, *StopButton;
    QLabel *ChildRefLabel, *ChildInfoLabel, *ChildPathLabel;
    QStackedWidget* TreeStack;
    QTreeView *DirTreeView, *BlankTreeView, *FileListView, *ChildBlankListView;
    TBusyIndicator* InProcessAnimate;
    TChildStatusBar* ChildStatusBar;
    TFileFilterForm* FileFilterForm = nullptr;
    TDirTreeModel* TreeModel;
    TCompareListModel* ListModel;

    QAction *ViewStandardAction, *ViewFoldersAction, *ViewAllAction, *UpOneLevelAction;
    QAction *FileFilterAction, *TagFilterAction, *CompareFilterAction, *ToggleFilterAction;
    QAction *TagSettingsAction, *DeleteFilesAction, *EmailAction, *CopyAction, *PrintAction,
        *ExportListAction;
    QAction *ShowAction, *StopAction, *PrintSetup1, *Close1, *CloseAll1, *Exit1;
    QAction *DeleteSelectedFiles1, *ShowArrows1, *ShowTags1, *Refresh1;
    QAction *DateCreated1, *DateModified1, *DateAccessed1, *ExpandTree1, *CollapseTree1;
    QAction *Open1, *QuickView1, *SelectAllFiles1, *DeleteSelected1, *CopySelectedFiles1,
        *CopyAllFiles1, *Properties1, *ClearAllTags1;
    QMenu *FileMenu, *SendMenu, *EditMenu, *ViewMenu, *DateTypesMenu, *GoMenu, *TagsMenu;
    QMenu *ChildPopupMenu, *CopyFilesMenu, *TreePopupMenu, *ViewButtonMenu;

    // Handlers.
    void DirTreeViewChange();
    void UpOneLevel();
    void OpenRow(const QModelIndex& index);
    void OpenClick();
    void Refresh();
    void ChooseDateType(TDateType type);
    void ChooseView(TView view);
    void ViewButtonClick();
    void ShowStateImages(bool tags);
    void ShowButtonClick();
    void ToggleFilter();
    void ShowFilterDialog(QWidget* page);
    void TagSettingsClick();
    void PropertiesClick();
    void DeleteSelectedClick();
    void DeleteFilesClick();
    void CopyFilesClick(bool selectedOnly);
    void PrintClick();
    void PrintSetupClick();
    void CopyClick();
    void EmailClick();
    void ExportListClick();
    void SelectAllFilesClick();
    void PopupMenuShow(const QPoint& at);
    void TagItemClick(int bit);
    void ClearAllTagsClick();
    void DisableToolBar();
    void EnableToolBar();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The comparison file for one operation, and the new log beside it when it can be read.
    struct TComparisonAccess
    {
        std::unique_ptr<TFileStream> Stream;
        std::unique_ptr<TDirCompare> File;
    };
    struct TFillRun
    {
        TComparisonAccess Access;
        std::unique_ptr<TLogFile> NewLog;
        TFilterTest Filter; // a copy: the dialog may change while the fill runs
        std::unique_ptr<TCompareFill> Fill;
        bool FilterOn = false;
    };

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QWidget* CreateTreePanel();
    QWidget* CreateListPanel();
    void CreateFilterDialog();
    // Opens the comparison; false (after the message) when it cannot be opened.
    bool OpenComparison(TComparisonAccess& access);
    void BuildStep();
    void EndBuild();
    void FillStep();
    void EndFill();
    void EndFillEarly();
    void ShowFillStatus();
    void SelectNode(int node);
    int SelectedNode() const;
    void ListSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void ShowSelectionTotal();
    void ResetList();
    void CloseWindow();
    void SetViewImage(int image);
    void UpdateCaption();
    // The enabled states that follow TagsAvailable.
    void UpdateTagActions();
    // Stops every change through the new log, and says why.
    void TurnReadOnly(const std::string& why);
    // The build over the comparison file named, with caption and root text as given.
    void StartBuild(const std::string& caption, const std::string& rootText);
    std::vector<int> SelectedPositions() const;
    // The selected rows that reach the new log, as targets of a change.
    std::vector<int> SelectedRowsReachingNewLog() const;
    // The newer log for one file action, once the targets' entries there have been checked
    // against the comparison; nothing (the window read only, or after the message) otherwise.
    std::unique_ptr<TLogFile> OpenNewLog(const std::vector<TNewLogTarget>& targets, bool writing);
    // While a deletion or copy runs: list, tree, toolbar and menus off.
    void SetFileActionsRunning(bool running);
    // The row's entry is now deleted from the disk (and, with updateLog, its space 0).
    void MarkRowDeleted(int position, bool updateLog);
    // Runs a tag change on the selected rows' new-log entries.
    void ChangeSelectedTags(
        const std::function<void(TDirStorage& log, const std::vector<int32_t>& offsets)>& change);

    TMDIParent& frame_;
    TLocale locale_;
    std::unique_ptr<TFileSystem> ownDisk_;
    std::unique_ptr<TDirTree> tree_;
    TCompareRowStore store_;
    TCompareListTable table_;
    TTagSettings tagSettings_;
    std::string baseCaption_;
    std::string treeFault_; // where the tree's walk met damage ("" when it did not)
    std::unique_ptr<TComparisonAccess> buildAccess_;
    std::unique_ptr<TCompareTreeBuilder> builder_;
    std::unique_ptr<TFillRun> fill_;
    QActionGroup *views_, *dateTypes_, *stateImages_;
    int viewImage_ = 1;
    int fixedPopupItems_ = 0;
};

} // namespace vm
