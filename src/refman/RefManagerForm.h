// The reference manager: the program's home window inside the main window, maximised and never
// closed. On the left the references with the date, size and change of their latest logs; on
// the right the selected reference's logs, comparisons or paths. From here references are made,
// named and deleted, paths added and set up, references logged and logs compared, and logs and
// comparisons opened in their windows. What the lists show and which commands can be used is
// decided by the Qt-free units beside this file (RefList, RefListSort, RefManRules, RefEditing,
// RefRuns); this class holds the widgets and passes the user's actions on.
#pragma once

#include "listwindow/QtMdiChild.h"
#include "platform/Locale.h"
#include "references/AppContext.h"
#include "references/RefStore.h"
#include "refman/RefList.h"
#include "refman/RefRuns.h"

#include <QIcon>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QActionGroup;
class QStackedWidget;

namespace vm {

class TMDIParent;
class THistoryView;
class TWizardForm;

class TRefManager : public QWidget, public TMdiChildMenus
{
    Q_OBJECT
public:
    // frame outlives the window; its context gives the data directory, the arguments and the
    // user interface.
    explicit TRefManager(TMDIParent& frame, QWidget* parent = nullptr);
    ~TRefManager() override;

    QList<TGroupedMenu> MergedMenus() const override;

    // The window's state: the selected reference.
    int CurrentRefNo = -1;
    std::string CurrentRefName = "<unknown ref>";
    std::string CurrentRefSection;
    std::string CurrentRefDir;
    bool SortToggle = true;       // one sort direction for both lists
    int32_t PendingAllocUnit = 0; // chosen in "&Change allocation unit"
    TRunProgress Progress;        // ProgressCount and StopRequested of the current run

    // Controls.
    QToolBar* ToolBar;
    QToolButton *WizardButton, *NewButton, *RenameButton, *DeleteButton, *LogNowButton;
    QToolButton *OpenButton, *ViewButton, *AddPathButton, *CompareButton, *SharesButton;
    QSplitter* Splitter;
    QTreeWidget* RefListView;
    QTreeWidget* RHSListView;
    THistoryView* HistoryView; // shown instead of the list in the history view
    QStackedWidget* RHSStack;
    QLabel* RefManContentsLabel;
    QStatusBar* ManagerStatusBar;
    QLabel* DataDirectoryLabel; // in the status bar: "Data directory: /srv/volumark"
    QTimer* WizardStartTimer;
    TWizardForm* Wizard;
    // The toolbar's pictures; 7, 8, 9 and 12 are the View button's for the four views.
    std::vector<QIcon> ToolBarSmallImageList;

    // The window's menus, merged into the main window's menu bar.
    QMenu *File1, *Edit1, *View1;
    QAction *CreateReference1, *DataDirectory1, *Close1, *CloseAll1, *Exit1;
    QAction *SelectAll1, *Delete1, *Rename1;
    QAction *ViewLogsAction, *ViewComparesAction, *ViewPathsAction, *ViewHistoryAction;
    // The pop-ups.
    QMenu *RefManRefPopupMenu, *RefManPathPopupMenu, *RefManLogsPopupMenu, *RefManCompsPopupMenu;
    QMenu* ShowPopupMenu; // the View button's drop-down
    QAction *Create1, *RefRename1, *RefDelete1, *LogNow1, *LogAndCompareNow1, *ExploreLatestLog1;
    QMenu* LogFormat1; // "Log &format": exact or extended, the current one checked
    QAction *ExactFormat1, *ExtendedFormat1;
    QAction *AddPath1, *SpecifyPath1, *SelectAllPaths1, *DeletePaths1;
    QMenu *ChangeAllocationUnit1, *ChangeFileSystem1;
    QAction *ExploreLog1, *CompareLogs1, *SelectAllLogs1, *DeleteLogs1;
    QAction *ViewCompare1, *SelectAllCompares1, *DeleteCompare1;

    // The folder browser of "&Add path ..." and the wizard: the chosen directory, or empty.
    // Tests replace it.
    std::function<std::string(const QString& title)> BrowseForFolder;
    // The directory chooser of "Data directory ...": the chosen directory, or empty. Tests
    // replace it.
    std::function<std::string(const QString& current)> BrowseForDataDirectory;
    // Shows the reference wizard (modally, by default).
    std::function<void()> ShowWizard;
    // Open a log or a comparison in its window (the main window's DisplayLog and DisplayComp).
    std::function<void(int reference, int log)> DisplayLog;
    std::function<void(int reference, int first, int second)> DisplayComp;

    // Rebuilds the reference list, keeping the selected reference where it still exists.
    void FillRefListView();
    // Refills the right-hand list in the checked view.
    void FillRHSListView();
    // Checks a view and shows it (its columns, pop-up and rows).
    void ShowView(TRHSView view);
    // Checks a view and sets its columns; the rows come with the next fill.
    void CheckView(TRHSView view);
    TRHSView CurrentView() const;
    // Every enabled state of the window's commands, from one place.
    void UpdateActions();

    // The rows behind the items (their order is the items' own).
    const TRefRow* RefRowOf(const QTreeWidgetItem* item) const;
    const TRHSRow* RHSRowOf(const QTreeWidgetItem* item) const;
    // The selected reference item, or null.
    QTreeWidgetItem* SelectedRef() const;
    // The reference item with exactly this caption, or null.
    QTreeWidgetItem* FindRefItem(const QString& caption) const;
    // Selects the reference with this caption (none when no item has it).
    void SelectRef(const QString& caption);
    // The selected right-hand items in list order.
    QList<QTreeWidgetItem*> SelectedRHS() const;

    // Handlers, named after the control and the event.
    void RefListViewChange();
    void RHSListViewChange();
    void RefListViewEdited(QTreeWidgetItem* item, const std::string& text);
    void RefListViewColumnClick(int column);
    void RHSListViewColumnClick(int column);
    void WizardStartTimerTimer();
    void NewClick();       // "New", "&Create"
    void RenameClick();    // "Rename", "&Rename", F2
    void DeleteRefClick(); // "Delete" (toolbar), "&Delete" of the reference pop-up
    void Delete1Click();   // "&Delete" of the Edit menu, Del: what the focused list selects
    void SelectAllClick();
    void LogNow1Click(); // the pop-up's "&Log now"
    void LogNowButtonClick();
    void LogAndCompareNowClick();
    void ExploreLatestLogClick();
    void OpenClick();    // "Open", double-click, "&Explore log", "View compare"
    void CompareClick(); // "Compare", "&Compare logs"
    void ViewButtonClick();
    void AddPath1Click();
    void AddPathButtonClick();
    void SpecifyPath1Click();
    void DeletePaths1Click();
    void DeleteLogs1Click();
    void DeleteCompare1Click();
    void AllocationUnitClick(int32_t unit); // 0 for "Other ..."
    void LogFormatClick(TLogFormat format);
    void ShowLogFormat(); // checks the selected reference's format in "Log &format"
    void FileSystemClick(int tag);
    void SharesButtonClick();
    // "Data directory ...": the windows turn to another data directory.
    void DataDirectory1Click();
    // Turns to the data directory (closing the other windows first); false, after saying why,
    // when it is none.
    bool ChangeDataDirectory(const std::string& path);
    // The latest log of the selected reference, selected in the logs view; -1 (after saying
    // so) when it has none.
    int GetLatestLog();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateToolBar();
    void CreateMenus();
    void CreatePopups();
    QAction* MakeAction(const QString& caption, const char* name, void (TRefManager::*handler)());
    void SetCurrentRef(int n);
    void ClearCurrentRef();
    void SetRunning(bool running);
    void ShowRefRows();
    void SortRefList(int signedCode);
    void SortRHSList(int signedCode);
    void StartWizardTimerIfFirstRun();
    void EditFinished(QWidget* editor, int hint);
    TRefPaths ListedPaths() const;
    std::optional<size_t> SelectedPathIndex() const;
    std::string StoredRefName() const;
    void DeleteListedFiles(bool logs);
    void CloseRefWindows(int reference);
    void LogSelectedRef(bool thenCompare);

    TMDIParent& frame_;
    TAppContext& context_;
    TRefStore store_;
    TLocale locale_;
    std::vector<TRefRow> refRows_;
    std::vector<TRHSRow> rhsRows_;
    TRHSView view_ = TRHSView::Logs;
    QActionGroup* viewGroup_;
    bool running_ = false;
    bool splitterPlaced_ = false;
    bool laidOut_ = false; // the lists have their widths: a long first column is cut to fit
    // Caption editing: the item, its caption before, and whether it is a new reference.
    QTreeWidgetItem* editing_ = nullptr;
    std::string editingOldCaption_;
    bool editingNew_ = false;
};

// Makes the reference manager inside the main window, visible and maximised.
TRefManager* CreateRefManager(TMDIParent& frame);

} // namespace vm
