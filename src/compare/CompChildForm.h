// "Compare logs": the comparison of two logs of a reference, as a directory tree on the left with
// arrows that tell whether each directory grew, shrank, appeared or vanished, and a list on the
// right with the space each entry took then and now, the difference and a condition text. What
// every list window does the same way is the base's (listwindow/ListWindowForm.h); this window
// adds what it opens, how its tree and rows are made from the comparison (CompareTree.h,
// CompareFill.h), its columns and sort keys, the arrows or tags beside the rows, the read-only
// state and its row pop-up with the tag items.
//
// Everything shown comes from the comparison file: the rows keep its records' offsets and read
// what they show through a reader of it kept open for the window's life; every other operation
// opens it again. The window keeps no copy of it. The new log is reached through the records'
// NewLogOffset only for tags, the deleted-from-disk marks and the file actions, and only while it
// exists and matches the comparison: otherwise the window is read only.
#pragma once

#include "compare/CompareFill.h"
#include "compare/CompareList.h"
#include "compare/CompareTree.h"
#include "compare/NewLogLink.h"
#include "core/LogFile.h"
#include "core/TagSettings.h"
#include "listwindow/ListWindowForm.h"

#include <functional>
#include <memory>
#include <string>

class QPoint;

namespace vm {

class TCompareListModel;

// A comparison a compare window opens, as the frame names its files from the reference store.
struct TComparisonToOpen
{
    int Reference = 0, OldLog = 0, NewLog = 0;
    std::string Path;       // the comparison file
    std::string NewLogPath; // the newer log, which the rows' tags and file actions reach
    std::string RefName;    // the reference's name as the store gives it
};

class TCompMDIChild : public TListWindow
{
    Q_OBJECT
public:
    // frame outlives the window (it holds it in its MDI area).
    explicit TCompMDIChild(TChildFrame& frame);
    ~TCompMDIChild() override;

    // Builds the window over a comparison of two logs of a reference.
    void ConstructDirTreeView(const TComparisonToOpen& comparison);
    // Builds the window over a comparison file that no reference owns, read only: without its
    // new log nothing can be tagged, marked or deleted through it. oldLog and newLog: the
    // numbers its name carries (00030004.kcf), 0 when it carries none.
    void ConstructFileDirTreeView(const std::string& path, int oldLog, int newLog);
    // Fills the list with the contents of the directory record at offset (-1: the root).
    void FillListView(int64_t offset);
    // Fills the list for the selected tree node, with the Stop button enabled meanwhile.
    void ProcessFillListView() override;
    // Sorts the list by the column with that caption ("" is "File name").
    void SortCompareFilesListView(const std::string& caption) { SortList(caption); }
    // The arrows or tags beside the rows, as the View menu chooses.
    void SetListViewStateImages();

    // The window's state.
    int OldLog = 0, NewLog = 0;
    std::string ComparisonFileName, NewLogFileName;
    int FileVersion = 0;
    // The new log can be reached: it existed when the window was built, the comparison gives
    // its offsets (not version 101), and every entry written so far was the record's own.
    bool TagsAvailable = false;
    bool TagEditing = false;
    bool TagsShown = false;

    const TCompareRowStore& Rows() const { return store_; }
    // The comparison as the window reads it for painting; nothing before a build.
    TDirCompare* PaintingComparison() { return reader_.File.get(); }
    const TCompareListTable& Table() const override { return table_; }
    // The settings of the new log's tags that the pop-up's tag items follow.
    const TTagSettings& TagSettings() const { return tagSettings_; }

    // The controls and actions only this window has.
    TCompareListModel* ListModel;
    QToolButton* ShowButton;
    QAction *CompareFilterAction, *ShowAction, *PrintSetup1, *ShowArrows1, *ShowTags1;
    QAction *Open1, *QuickView1, *SelectAllFiles1, *DeleteSelected1, *CopySelectedFiles1,
        *CopyAllFiles1, *Properties1, *ClearAllTags1;
    QMenu *ChildPopupMenu, *CopyFilesMenu;

    // Handlers.
    void OpenClick() override;
    void ShowStateImages(bool tags);
    void ShowButtonClick();
    void TagSettingsClick();
    void PrintSetupClick();
    void EmailClick();
    void SelectAllFilesClick();
    void PopupMenuShow(const QPoint& at);
    void TagItemClick(int bit);
    void ClearAllTagsClick();

protected:
    int RowCount() const override { return store_.Count(); }
    TListRowFacts RowFacts(int position) const override;
    const std::vector<uint32_t>& RowOrder() const override { return store_.Order(); }
    void ClearRows() override { store_.Clear(); }
    TSortOrder SortRows(const std::string& column, bool direction) override;
    int SetTableDateType(TDateType type) override;
    int SetTablePathShown(bool shown) override;
    std::vector<int> InitialTreeNodes() const override;
    std::string SelectionTotalText() const override;
    void RefillList() override { ProcessFillListView(); }
    TSortStart OpenSortStart(bool largestFirst) const override;
    void FillTreemap(TTreemapView& view, TTreemapMeasure measure) override;
    void FillStatistics(TStatisticsView& view) override;
    int64_t ParentOffsetInFile(int64_t offset) override;
    bool TreeNodeChosen(int node) override;
    void TreeBuilt(const std::string& fault) override;
    void ShowFillFault(const std::string& fault) override;
    void ListFilled(bool filterOn) override { SetListViewStateImages(); }
    void RestartFill() override;
    void ToolBarEnabled() override;
    void FilterToggled() override;
    bool PrepareFilterDialog(QWidget*& page) override;
    void RowsSelected(const QItemSelection& selected) override;

    bool ReachesLog() const override { return TagsAvailable; }
    int64_t LogOffsetOf(int position) const override { return table_.Entry(position).NewLogOffset; }
    std::unique_ptr<TActionLog> OpenActionLog(const std::vector<int>& positions,
                                              bool writing) override;
    void SetRowSpace(int position, int64_t space) override;
    void SetRowTags(int position, uint32_t tags) override { store_.Row(position).Tags = tags; }
    std::optional<TRowDeletion> PlanSelectedDeletion() override;
    TRowDeletion PlanRubbishBinDeletion() const override;
    bool CopiesRow(int position) const override;
    bool HasProperties(int position) const override;
    QIcon PropertiesIcon(int position) const override;
    bool RefreshedAfterTreeDeletion(int position) const override;

private:
    // The comparison file for one operation.
    struct TComparisonAccess
    {
        std::unique_ptr<TFileStream> Stream;
        std::unique_ptr<TDirCompare> File;
    };
    struct TBuildRun;
    struct TFillRun;
    // The comparison read for painting: opened with the tree's build and kept for the window's
    // life. The window never writes the comparison (tags and deletions go to the new log), so
    // what it reads stays true; a comparison replaced on disk reads as the one shown.
    TComparisonAccess reader_;

    void CreateActions();
    void CreateMenus();
    // Opens the comparison; false (after the message) when it cannot be opened. The buffer: that
    // of walks through the file, unless given.
    bool OpenComparison(TComparisonAccess& access, size_t buffer = 256 * 1024);
    void UpdateCaption();
    // The enabled states that follow TagsAvailable.
    void UpdateTagActions();
    // Stops every change through the new log, and says why.
    void TurnReadOnly(const std::string& why);
    // The build over the comparison file named, with caption and root text as given.
    void StartBuild(const std::string& caption, const std::string& rootText);
    // The selected rows that reach the new log, as targets of a change.
    std::vector<int> SelectedRowsReachingNewLog() const;
    // Runs a tag change on the selected rows' new-log entries.
    void ChangeSelectedTags(
        const std::function<void(TDirStorage& log, const std::vector<int64_t>& offsets)>& change);

    TCompareRowStore store_;
    TCompareListTable table_;
    TTagSettings tagSettings_;
    std::string baseCaption_;
    std::string treeFault_; // where the tree's walk met damage ("" when it did not)
    QActionGroup* stateImages_;
    int fixedPopupItems_ = 0;
};

} // namespace vm
