// "Explore logs": one log of a reference, or a log held in memory (the folder mode), as a
// directory tree on the left and a sortable list of the selected directory's contents on the
// right, with three views, the file filter and the tag settings.
//
// Long work (building the tree, filling the list) runs in steps of a few milliseconds from the
// event loop, so the window answers while it works: choosing another directory restarts a fill,
// Stop ends it, and a close asked for meanwhile is done once the step has returned. The log is
// opened for each operation and closed at its end (a log in memory stays with the window).
#pragma once

#include "explore/FileListTable.h"
#include "explore/ListFill.h"
#include "fileops/FileFilterForm.h"
#include "listwindow/DirTree.h"
#include "listwindow/ListWindowWork.h"
#include "listwindow/QtMdiChild.h"
#include "output/QtListExport.h"
#include "platform/Stream.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QModelIndex;
class QItemSelection;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeView;

namespace vm {

class TBusyIndicator;
class TChildStatusBar;
class TDirTreeModel;
class TFileListModel;
class TMDIParent;

class TExploreChild : public QWidget, public TMdiChildMenus, public TListWindowWork
{
    Q_OBJECT
public:
    // frame outlives the window (it holds it in its MDI area).
    explicit TExploreChild(TMDIParent& frame);
    ~TExploreChild() override;

    // Builds the window over log logNumber of reference `reference`.
    void ConstructDirTree(int reference, int logNumber);
    // Builds the window over a log held in memory; the window keeps the stream.
    void ConstructStreamDirTree(std::unique_ptr<TStream> stream);
    // Builds the window over a log file that no reference owns, read only: nothing is written
    // into the file and nothing on disk is deleted through the window. logNumber: the number
    // the file's name carries (Log0007.kdf), 0 when it carries none.
    void ConstructFileDirTree(const std::string& path, int logNumber);
    // Fills the list with the directory at offset (-1: the root).
    void FillListView(int32_t offset);
    // Sorts the list by the column with that caption ("" is "File name"; also "Duplicates").
    void SortFileListView(const std::string& caption);
    // Lists the selected tree node's directory when it is not the one shown (or ForceRefill).
    void ProcessFillListView();

    QList<TGroupedMenu> MergedMenus() const override;

    // How long one step of a build or fill runs before events get their turn (milliseconds);
    // 0 makes every step as short as it can be (the window tests use it to act mid-fill).
    static inline int StepMilliseconds = 25;

    // The window's state.
    int Reference = 0, LogNumber = 0;
    std::string LogFileName; // "<stream>" for a log in memory
    std::string CurrentDirectoryPath;
    bool ForceRefill = false;
    std::string NameToReselect;
    int64_t SelectedDirectories = 0, SelectedFiles = 0, SelectedBytes = 0;
    int64_t DeletedTotal = 0;
    TView View = TView::Standard;
    TDateType DateType = TDateType::Modified;
    bool FilterOn = false;
    bool InMemory() const { return stream_ != nullptr; }
    bool ReadOnly = false; // a log file that no reference owns
    // The offset whose contents the list shows: -1 the root, -2 nothing.
    int32_t ShownOffset = -2;

    const TDirTree& Tree() const { return *tree_; }
    const TFileListStore& Rows() const { return store_; }
    const TFileListTable& Table() const { return table_; }

    // Controls.
    QToolBar* ToolBar;
    QToolButton *ViewButton, *FilterButton, *StopButton;
    QLabel *ChildRefLabel, *ChildInfoLabel, *ChildPathLabel, *AccumulatorLabel;
    QStackedWidget* TreeStack;
    QTreeView *DirTreeView, *BlankTreeView, *FileListView, *ChildBlankListView;
    TBusyIndicator* InProcessAnimate;
    TChildStatusBar* ChildStatusBar;
    TFileFilterForm* FileFilterForm = nullptr;
    TDirTreeModel* TreeModel;
    TFileListModel* ListModel;

    QAction *ViewStandardAction, *ViewFoldersAction, *ViewAllAction, *UpOneLevelAction;
    QAction *FileFilterAction, *TagFilterAction, *ToggleFilterAction, *TagSettingsAction;
    QAction *PrintAction, *CopyAction, *EmailAction, *DeleteFilesAction, *StopAction;
    QAction* ExportListAction;
    QAction *CopyAllFilesAction, *CopySelectedFilesAction;
    QAction *Close1, *CloseAll1, *Exit1, *SelectAllFiles1, *DeleteSelectedFiles1, *Refresh1;
    QAction *DateCreated1, *DateModified1, *DateAccessed1, *ExpandTree1, *CollapseTree1;
    QMenu *FileMenu, *SendMenu, *EditMenu, *ViewMenu, *DateTypesMenu, *GoMenu, *TagsMenu;
    QMenu *TreePopupMenu, *ViewButtonMenu;

    // Handlers.
    void DirTreeViewChange();
    void UpOneLevel();
    void OpenRow(const QModelIndex& index);
    void Refresh();
    void ChooseDateType(TDateType type);
    void ChooseView(TView view);
    void ViewButtonClick();
    void ToggleFilter();
    void ShowFilterDialog(bool tagPage);
    void TagSettingsClick();
    // "&Print ...", "Copy to clipboard ..." and the e-mail action: the list through the main
    // window's "Print options" and "Email" dialogs.
    void PrintClick();
    void CopyClick();
    void EmailClick();
    // "E&xport list ...": the list as it stands into a CSV file the user chooses.
    void ExportListClick();
    // Asks where the export goes (suggested: a file name); empty to cancel. The save dialog
    // unless a test sets it.
    TExportFileChooser ChooseExportFile;
    void DisableToolBar();
    void EnableToolBar();

    // The file actions on the list's rows (QtExploreFileActions.cpp).
    QMenu* ChildPopupMenu;
    QMenu* CopyFilesMenu;
    QAction *Open1, *QuickView1, *SelectAllFilesPopup1, *DeleteSelected1, *Properties1;
    QAction* ContextMenuSeparator;
    // The disk the file actions work on: the real one unless a test gives another.
    TFileSystem* Disk;
    void ChildPopupMenuPopup(const QPoint& at);
    void OpenClick();
    void SelectAllFilesClick();
    void PropertiesClick();
    void MenuClickTag(int bit);
    void ClearAllTagsClick();
    void DeleteSelectedClick();
    void DeleteFilesClick();
    void CopyFilesClick(bool selectedOnly);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The log for one operation.
    struct TLogAccess
    {
        std::unique_ptr<TFileStream> File; // a stored log, opened for this operation
        std::unique_ptr<TDirStorage> Log;
    };
    struct TFillRun
    {
        std::unique_ptr<TLogAccess> Access;
        TFilterTest Filter; // a copy: the dialog may change while the fill runs
        std::unique_ptr<TListFill> Fill;
        bool FilterOn = false;
    };

    void CreateActions();
    void CreateMenus();
    void CreateFileActions();
    void CreateToolBar();
    QWidget* CreateTreePanel();
    QWidget* CreateListPanel();
    // The log for one operation: the file opened read-only, or the stream in memory. Nothing
    // (after the error message) when the file cannot be opened.
    std::unique_ptr<TLogAccess> OpenLog();
    // The log for an operation that changes it: the file opened for writing with other writers
    // shut out, or the stream in memory. Nothing (after saying why) when the window is read
    // only.
    std::unique_ptr<TLogAccess> OpenLogForChange();
    // The list, the tree, the toolbar and every menu item off (marked) while a deletion or copy
    // runs, and back on afterwards.
    void SetFileActionsRunning(bool running);
    // True, after saying so, when the window holds its log read only.
    bool RefusedAsReadOnly();
    int FocusedPosition() const;
    std::vector<int> SelectedPositions() const;
    void RowChanged(int position);
    // Changes tags in the log opened for it, then shows the rows' tag sets as the log has them.
    void ChangeRowTags(const std::vector<int>& positions,
                       const std::function<void(TDirStorage&)>& change);
    void StartBuild(const std::string& caption);
    void BuildStep();
    void EndBuild();
    void FillStep();
    void EndFill();
    void EndFillEarly();
    void ShowFillStatus();
    void SelectNode(int node);
    int SelectedNode() const;
    int32_t ListOffsetOf(int node) const;
    void ListSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void ShowSelectionTotals();
    // The listed rows' count and sums in the status bar.
    void ShowListTotals();
    void ResetList();
    void CloseWindow();
    void SetViewImage(int image);
    QString DirectoryTextOf(int32_t offset) const;

    TMDIParent& frame_;
    TLocale locale_;
    std::unique_ptr<TStream> stream_;
    std::unique_ptr<TDirTree> tree_;
    TFileListStore store_;
    TFileListTable table_;
    std::unique_ptr<TLogAccess> buildAccess_;
    std::unique_ptr<TDirTreeBuilder> builder_;
    std::unique_ptr<TFillRun> fill_;
    QActionGroup *views_, *dateTypes_;
    int viewImage_ = 1;
    std::unique_ptr<TFileSystem> ownDisk_;
};

} // namespace vm
