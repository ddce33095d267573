// The base of the list windows (explore and compare): a directory tree on the left, a sortable
// list of the selected directory's contents on the right, a toolbar, menus merged into the
// frame's and a status bar. It owns what such a window does the same way whatever it lists:
//
//   - the layout, the shared actions and menus' items, the toolbar and its enabling;
//   - long work in steps from the event loop: the tree's build and the list's fills, with Busy,
//     Stop, a restart for a new selection and a close put off until the running step returns;
//   - views and date types, Up and the tree's selection, F1 and Enter, the status bar's totals
//     and the selection's, sorting by a column with the selection kept;
//   - the file operations on listed rows: the lock-out while one runs, Properties, deleting the
//     selected rows or the rubbish-bin rows, copying.
//
// A window supplies what differs: what it opens and how its tree and rows are made (its walkers,
// ListWork.h), its columns and sort keys, its pop-ups, its texts (TListWindowLook), and how a
// row reaches the log its file operations change.
#pragma once

#include "display/ListRows.h"
#include "fileops/DeleteFiles.h"
#include "fileops/FileProperties.h"
#include "listwindow/ListWindowWork.h"
#include "listwindow/ListWork.h"
#include "listwindow/QtMdiChild.h"
#include "output/ListTexts.h"
#include "output/QtListExport.h"
#include "platform/Locale.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QItemSelection;
class QLabel;
class QMenu;
class QModelIndex;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeView;

namespace vm {

class TBusyIndicator;
class TChildFrame;
class TChildStatusBar;
class TDirTree;
class TDirTreeModel;
class TFileFilterForm;
class TListTable;
class TListTableModel;
class TStatisticsView;
class TTreemapView;
class TViewsPane;
struct TSortStart;
struct TStatsSelection;
enum class TTreemapMeasure;

// What a list window calls itself and how it words the shared actions, and the few ways its long
// work answers a choice made while it runs.
struct TListWindowLook
{
    const char* ObjectName = "";              // the component name
    const char* Caption = "";                 // until the window has opened its file
    int Icon = 0;                             // the tree image of the window's icon
    bool SortDirection = true;                // what a first click on a column turns round
    TDateType DateType = TDateType::Modified; // checked at start
    int Help = 0, ListHelp = 0;               // F1 in the tree, and in the list
    int PropertiesTag = 0;                    // which window "Properties" is opened from
    bool SelectFirstRowOnEntry = false; // entering a list with rows and no selection selects one
    // A view, the filter turned on or off, or a date type chosen during a fill starts it again
    // for the new choice; otherwise a view is refused and the others wait for the next fill.
    bool ViewRestartsFill = false, FilterRestartsFill = false, DateTypeRestartsFill = false;
    // The "Full path" column is 220 pixels wide whenever a view shows it; otherwise only when it
    // has no width yet (a width the user gave it stays).
    bool PathColumnWidthReset = false;

    const char* UpIconText = "";
    const char* FileFilterText = "";
    const char* TagFilterText = "";
    const char* ToggleFilterText = "";
    const char* ToggleFilterStatusTip = ""; // the menu's hint; the button's is the tool tip
    const char* TagSettingsText = "";
    const char* EmailText = "";
    const char* DeleteFilesText = "";
    const char* DeleteSelectedFilesText = "";
    const char* ListName = ""; // the list's accessible name
    const char* ListToolTip = "";
};

// What the base reads of a row.
struct TListRowFacts
{
    uint8_t Kind = kRowFile; // TRowKind
    int64_t Offset = -1;     // the entry in the file the tree is built from
    int64_t Space = 0;       // the space the selection's total counts
    uint32_t Tags = 0;       // the tag set its entry has (as the log it is changed in has it)
};

// The log one file action reads or changes, open for that action only: it closes when dropped.
class TActionLog
{
public:
    virtual ~TActionLog() = default;
    virtual TDirStorage& Log() = 0;
};

// A deletion the user is asked about: the rows (positions in the list) and their entries.
struct TRowDeletion
{
    std::vector<int> Positions;
    std::vector<TDeleteRow> Rows; // in the same order
    int64_t Space = 0;            // what the rows take
    std::string Question;         // asked before anything is deleted
    std::string NothingText;      // said when no row can be deleted
};

class TListWindow : public QWidget, public TMdiChildMenus, public TListWindowWork
{
    Q_OBJECT
public:
    ~TListWindow() override;

    // How long one step of a build or fill runs before events get their turn (milliseconds);
    // 0 makes every step as short as it can be (the window tests use it to act mid-fill).
    static inline int StepMilliseconds = 25;

    // Lists the selected tree node's directory (a window may skip one it shows already).
    virtual void ProcessFillListView() = 0;
    // Sorts the list by the column with that caption ("" is "File name").
    void SortList(const std::string& caption);

    QList<TGroupedMenu> MergedMenus() const override;

    // The window's state.
    int Reference = 0;                // the reference whose file the window shows (0: none)
    std::string CurrentDirectoryPath; // the listed directory, ending with "/"; "" at the root
    TView View = TView::Standard;
    TDateType DateType;
    bool FilterOn = false;
    int64_t SelectedDirectories = 0, SelectedFiles = 0, SelectedBytes = 0;
    // The disk the file actions reach files on: the real one unless a test gives another.
    TFileSystem* Disk;
    // Where "E&xport list ..." writes; the save dialog unless a test sets it.
    TExportFileChooser ChooseExportFile;

    const TDirTree& Tree() const { return *tree_; }
    // What printing, the clipboard, mail and the export read of the list.
    virtual const TListTable& Table() const = 0;

    // Controls.
    QToolBar* ToolBar;
    QToolButton *ViewButton, *FilterButton, *StopButton;
    QLabel *ChildRefLabel, *ChildInfoLabel, *ChildPathLabel;
    QStackedWidget* TreeStack;
    QTreeView *DirTreeView, *BlankTreeView, *FileListView, *ChildBlankListView;
    TBusyIndicator* InProcessAnimate;
    TChildStatusBar* ChildStatusBar;
    TFileFilterForm* FileFilterForm = nullptr;
    TDirTreeModel* TreeModel;
    // The treemap and the statistics of the selected directory, below the list.
    TViewsPane* ViewsPane = nullptr;

    // The actions both windows have.
    QAction *ViewStandardAction, *ViewFoldersAction, *ViewAllAction, *UpOneLevelAction;
    QAction *FileFilterAction, *TagFilterAction, *ToggleFilterAction, *TagSettingsAction;
    QAction *PrintAction, *ExportListAction, *CopyAction, *EmailAction, *DeleteFilesAction;
    QAction *DeleteSelectedFiles1, *StopAction, *Close1, *CloseAll1, *Exit1, *Refresh1;
    QAction *DateCreated1, *DateModified1, *DateAccessed1, *ExpandTree1, *CollapseTree1;
    QAction* ShowViewsAction; // "T&reemap and statistics": the pane below the list
    // The menus; the window fills them with its items in its order.
    QMenu *FileMenu, *SendMenu, *EditMenu, *ViewMenu, *DateTypesMenu, *GoMenu, *TagsMenu;
    QMenu *TreePopupMenu, *ViewButtonMenu;

    // Handlers.
    void DirTreeViewChange();
    void UpOneLevel();
    void OpenRow(const QModelIndex& index);
    void Refresh();
    void ChooseView(TView view);
    void ViewButtonClick();
    void ChooseDateType(TDateType type);
    void ToggleFilter();
    void ShowFilterDialog(QWidget* page);
    void PrintClick();
    void CopyClick();
    void ExportListClick();
    void DisableToolBar();
    void EnableToolBar();

    // The file actions on the list's rows (QtListWindowFormFiles.cpp).
    virtual void OpenClick() = 0;
    void PropertiesClick();
    void DeleteSelectedClick();
    void DeleteFilesClick();
    void CopyFilesClick(bool selectedOnly);

protected:
    // frame outlives the window (it holds it in its MDI area). Makes the shared actions; the
    // window then makes its own, its menus and pop-ups, and calls the Create* steps below.
    TListWindow(TChildFrame& frame, const TListWindowLook& look);

    // ---- Making the window, in this order ----
    // The toolbar with the shared buttons; compareFilter and show where the window has them.
    void CreateToolBar(QAction* compareFilter, QAction* show);
    // The tree panel over the tree model; with stateImages, the arrow beside each node.
    void CreateTreePanel(int rootImage, bool stateImages);
    // The list panel: the caption strip's labels (ChildInfoLabel and ChildPathLabel, then
    // extra), the list over the window's model and table, its columns fitted.
    void CreateListPanel(TListTableModel* model, std::initializer_list<QLabel*> extra,
                         int nameColumn, std::initializer_list<int> sizeColumns, int dateColumn);
    // The status bar, the pane of the treemap and statistics, and everything laid out.
    void FinishLayout();

    // ---- What the window supplies ----
    virtual int RowCount() const = 0;
    virtual TListRowFacts RowFacts(int position) const = 0;
    // The stored order of the rows (sorting keeps the selected ones selected).
    virtual const std::vector<uint32_t>& RowOrder() const = 0;
    // Empties the row store.
    virtual void ClearRows() = 0;
    // Sorts the rows by the column; the key (0: not sorted) and whether the header shows the
    // order as ascending.
    struct TSortOrder
    {
        int Key = 0;
        bool Ascending = true;
    };
    virtual TSortOrder SortRows(const std::string& column, bool direction) = 0;
    // The table shows these dates, or the "Full path" column; the column's index is answered.
    virtual int SetTableDateType(TDateType type) = 0;
    virtual int SetTablePathShown(bool shown) = 0;
    // The tree nodes a new tree opens with.
    virtual std::vector<int> InitialTreeNodes() const = 0;
    // The text of the selection's panel ("" clears it).
    virtual std::string SelectionTotalText() const = 0;
    // The list again for the selected node, shown already or not.
    virtual void RefillList() = 0;
    // The order the list opens in, before any click ("Largest first" or not).
    virtual TSortStart OpenSortStart(bool largestFirst) const;

    // ---- The treemap and the statistics (QtListWindowFormViews.cpp) ----
    // Shows the selected directory's treemap (or statistics) in the view, over the window's file
    // opened for it, with the window's filter where it is on.
    virtual void FillTreemap(TTreemapView& view, TTreemapMeasure measure) = 0;
    virtual void FillStatistics(TStatisticsView& view) = 0;
    // The directory that holds the entry at offset in the window's file (-1 for a top-level
    // path, or when it cannot be read).
    virtual int64_t ParentOffsetInFile(int64_t offset) = 0;
    // The file offset of a tree node's directory (-1 for the root).
    int64_t NodeOffset(int node) const;
    // The title the views give the selected directory.
    std::string SelectedDirectoryTitle() const;

    // Hooks, called at these moments; they do nothing unless the window needs them.
    // The selected tree node changed outside long work: false when the list shows it already.
    virtual bool TreeNodeChosen(int node) { return true; }
    // The tree is built and shown; fault says where its walk met damage.
    virtual void TreeBuilt(const std::string& fault) {}
    // A fill ended with where its walk met damage ("" when it did not).
    virtual void ShowFillFault(const std::string& fault) {}
    // A fill ended and the list is sorted; filterOn as the fill ran.
    virtual void ListFilled(bool filterOn) {}
    // A fill ended early and its rows are gone; RestartFill starts the one asked for.
    virtual void ListStoppedEarly() {}
    virtual void RestartFill() = 0;
    virtual void ToolBarEnabled() {}
    virtual void FilterToggled() {}
    // The filter dialog is about to show page: false to show nothing (page may change).
    virtual bool PrepareFilterDialog(QWidget*& page) { return true; }
    // Rows were selected: the window may take some out again.
    virtual void RowsSelected(const QItemSelection& selected) {}
    // A row other than a file's is opened (its directory is selected next).
    virtual void RowOpened(int position) {}
    virtual bool MayClose() const { return true; }

    // ---- Long work ----
    // What one build or fill reads: the window's own run holds the files and the walker; the
    // base steps the walker and drops the run when the work ends, which closes the files.
    struct TListRun
    {
        virtual ~TListRun() = default;
        // The work has ended, its files are still open: keep what is still to be read there.
        virtual void End() {}
    };
    // A build starts: Busy, the tree's cover shown, the toolbar off, the list and tree emptied
    // (the root captioned rootText).
    void BeginBuild(const std::string& rootText);
    // Runs the build's steps; a window that could not open its file calls EndBuild instead.
    void StartBuildSteps(std::unique_ptr<TListRun> run, TTreeWork* work);
    void EndBuild();
    // A fill starts (nothing happens while Busy): Stop on, the toolbar off, the list emptied.
    void BeginFill();
    // Runs the fill's steps over work (none: the file could not be opened, the fill ends).
    void StartFillSteps(std::unique_ptr<TListRun> run, TFillWork* work, bool filterOn);
    // The filter dialog of the window (made once): mode explore or compare, with the compare
    // page's lines where it has them.
    void CreateFilterDialog(int mode, bool tagsAvailable, const QStringList& compareLines = {});

    // ---- The tree and the list ----
    int SelectedNode() const;
    void SelectNode(int node);
    int FocusedPosition() const;
    std::vector<int> SelectedPositions() const;
    void ResetList();
    void ShowSelectionTotals();
    void SetViewImage(int image);
    void CloseWindow();
    // Selects exactly the rows that take (wait cursor).
    void SelectRowsWhere(const std::function<bool(int position)>& takes);

    // ---- File actions ----
    // Whether the window's file actions can reach the log they change (the compare window's
    // newer log may be out of reach).
    virtual bool ReachesLog() const { return true; }
    // True, after saying why, when the window changes nothing through its log (asked before
    // the rubbish bin's files are deleted).
    virtual bool RefusesChanges() { return false; }
    // The entry a row stands for in the log its file actions change.
    virtual int64_t LogOffsetOf(int position) const = 0;
    // That log, opened for the rows an action takes (for writing: other writers shut out);
    // nothing, after the window has said why, when it cannot be.
    virtual std::unique_ptr<TActionLog> OpenActionLog(const std::vector<int>& positions,
                                                      bool writing) = 0;
    virtual void SetRowSpace(int position, int64_t space) = 0;
    virtual void SetRowTags(int position, uint32_t tags) = 0;
    // What "Delete selected" deletes: nothing when it deletes nothing without a question (the
    // window may have said why).
    virtual std::optional<TRowDeletion> PlanSelectedDeletion() = 0;
    // The rows that show the rubbish-bin tag, with their entries and space.
    virtual TRowDeletion PlanRubbishBinDeletion() const = 0;
    // Whether a copy takes the row.
    virtual bool CopiesRow(int position) const { return true; }
    // Whether the row at the focus has properties to show.
    virtual bool HasProperties(int position) const = 0;
    virtual QIcon PropertiesIcon(int position) const = 0;
    virtual TRefPathInfo RefPathInfo(TDirStorage& log, int64_t offset) const;
    // After a tree was deleted: whether the row is shown again as the log now has it.
    virtual bool RefreshedAfterTreeDeletion(int position) const = 0;
    // A deletion ran (its rows are marked).
    virtual void RowsDeleted(const TDeleteRunResult& result) {}
    // A file action has ended (the window is on again).
    virtual void FileActionEnded() {}
    // The list, the tree, the toolbar and every menu item off (marked) while a deletion or copy
    // runs, and back on afterwards; a close asked for meanwhile is done then.
    void SetFileActionsRunning(bool running);
    // The row's entry is now deleted from the disk (with updateLog, its space 0).
    void MarkRowDeleted(int position, bool updateLog, uint32_t tags);

    TChildFrame& frame_;
    const TListWindowLook& look_;
    TLocale locale_;
    std::unique_ptr<TDirTree> tree_;
    TListTableModel* listModel_ = nullptr;
    QActionGroup *views_, *dateTypes_;

private:
    void CreateSharedActions();
    void CreateViewsPane();
    // The filter on or off as the toolbar and the window show it (nothing is refilled).
    void SetFilterOn(bool on);
    // Leads from an entry of the treemap or statistics to the tree and the list: a directory is
    // selected in the tree, a file's directory is and its row in the list. The map keeps its
    // root: it changes only where the user chooses another directory in the tree (or zooms).
    void LeadToEntry(int64_t offset, int64_t parent);
    void SelectNodeFromViews(int node);
    // Selects the row of the entry waiting for it, where the list shows it; true when it did.
    bool SelectPendingRow();
    void StatsRowChosen(const TStatsSelection& selection);
    void BuildStep();
    void FillStep();
    void EndFill();
    void EndFillEarly();
    void ShowFillStatus();
    void ListSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void RunDeletion(const TRowDeletion& plan, bool selected);

    std::unique_ptr<TFileSystem> ownDisk_;
    std::unique_ptr<TListRun> buildRun_, fillRun_;
    TTreeWork* buildWork_ = nullptr;
    TFillWork* fillWork_ = nullptr;
    bool fillFilterOn_ = false;
    bool fromViews_ = false;     // a selection the treemap or the statistics make
    bool keepMapRoot_ = false;   // the fill under way is for such a selection
    int64_t pendingRow_ = -2;    // the entry whose row the list selects once it shows it
    int viewImage_ = 1;
    QWidget *treePanel_ = nullptr, *listPanel_ = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vm
