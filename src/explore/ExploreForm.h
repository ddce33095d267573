// "Explore logs": one log of a reference, or a log held in memory (the folder mode), as a
// directory tree on the left and a sortable list of the selected directory's contents on the
// right, with three views, the file filter and the tag settings. What every list window does the
// same way is the base's (listwindow/ListWindowForm.h); this window adds what it opens, how its
// tree and rows are made from a log (LogTree.h, ListFill.h), its columns and sort codes, the
// duplicates reduction, its deleted total and its row pop-up with the tag items.
//
// The log is opened for each operation and closed at its end (a log in memory stays with the
// window); one reader stays open for the window's life, from which rows are painted.
#pragma once

#include "explore/FileListTable.h"
#include "explore/ListFill.h"
#include "listwindow/ListWindowForm.h"
#include "platform/Stream.h"

#include <functional>
#include <memory>
#include <string>

namespace vm {

class TFileListModel;

// A stored log an explore window opens, as the frame names it from the reference store.
struct TLogToOpen
{
    int Reference = 0, LogNumber = 0;
    std::string Path;    // the log file
    std::string RefName; // the reference's name as the store gives it
};

class TExploreChild : public TListWindow
{
    Q_OBJECT
public:
    // frame outlives the window (it holds it in its MDI area).
    explicit TExploreChild(TChildFrame& frame);
    ~TExploreChild() override;

    // Builds the window over a stored log.
    void ConstructDirTree(const TLogToOpen& log);
    // Builds the window over a log held in memory; the window keeps the stream.
    void ConstructStreamDirTree(std::unique_ptr<TStream> stream);
    // Builds the window over a log file that no reference owns, read only: nothing is written
    // into the file and nothing on disk is deleted through the window. logNumber: the number
    // the file's name carries (Log0007.kdf), 0 when it carries none.
    void ConstructFileDirTree(const std::string& path, int logNumber);
    // Fills the list with the directory at offset (-1: the root).
    void FillListView(int64_t offset);
    // Sorts the list by the column with that caption ("" is "File name"; also "Duplicates").
    void SortFileListView(const std::string& caption) { SortList(caption); }
    // Lists the selected tree node's directory when it is not the one shown (or ForceRefill).
    void ProcessFillListView() override;

    // The window's state.
    int LogNumber = 0;
    std::string LogFileName; // "<stream>" for a log in memory
    bool ForceRefill = false;
    std::string NameToReselect;
    int64_t DeletedTotal = 0;
    bool InMemory() const { return stream_ != nullptr; }
    bool ReadOnly = false; // a log file that no reference owns
    // The offset whose contents the list shows: -1 the root, -2 nothing.
    int64_t ShownOffset = -2;

    const TFileListStore& Rows() const { return store_; }
    // The log as the window reads it for painting; nothing before a build or after the log
    // became unreadable.
    TDirStorage* PaintingLog() { return reader_ ? &reader_->Log() : nullptr; }
    const TFileListTable& Table() const override { return table_; }

    // The controls and actions only this window has.
    QLabel* AccumulatorLabel;
    TFileListModel* ListModel;
    QAction *CopyAllFilesAction, *CopySelectedFilesAction, *SelectAllFiles1;
    // The row pop-up (QtExploreFormFiles.cpp).
    QMenu* ChildPopupMenu;
    QMenu* CopyFilesMenu;
    QAction *Open1, *QuickView1, *SelectAllFilesPopup1, *DeleteSelected1, *Properties1;
    QAction* ContextMenuSeparator;

    // Handlers.
    void TagSettingsClick();
    // The e-mail action: the list through the main window's "Email" dialog.
    void EmailClick();
    void ChildPopupMenuPopup(const QPoint& at);
    void OpenClick() override;
    void SelectAllFilesClick();
    void MenuClickTag(int bit);
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
    void RefillList() override;
    bool TreeNodeChosen(int node) override;
    void TreeBuilt(const std::string& fault) override;
    void ShowFillFault(const std::string& fault) override;
    void ListFilled(bool filterOn) override;
    void ListStoppedEarly() override;
    void RestartFill() override;
    void ToolBarEnabled() override;
    bool PrepareFilterDialog(QWidget*& page) override;
    void RowOpened(int position) override;
    void FillTreemap(TTreemapView& view, TTreemapMeasure measure) override;
    void FillStatistics(TStatisticsView& view) override;
    int64_t ParentOffsetInFile(int64_t offset) override;
    // A log in memory has no file to come back to: its window stays until the program ends.
    bool MayClose() const override { return !InMemory(); }

    int64_t LogOffsetOf(int position) const override { return store_.Row(position).Offset; }
    std::unique_ptr<TActionLog> OpenActionLog(const std::vector<int>& positions,
                                              bool writing) override;
    void SetRowSpace(int position, int64_t space) override;
    void SetRowTags(int position, uint32_t tags) override;
    std::optional<TRowDeletion> PlanSelectedDeletion() override;
    TRowDeletion PlanRubbishBinDeletion() const override;
    bool HasProperties(int position) const override { return !SelectedPositions().empty(); }
    QIcon PropertiesIcon(int position) const override;
    TRefPathInfo RefPathInfo(TDirStorage& log, int64_t offset) const override;
    bool RefreshedAfterTreeDeletion(int position) const override;
    bool RefusesChanges() override { return RefusedAsReadOnly(); }
    void RowsDeleted(const TDeleteRunResult& result) override;
    void FileActionEnded() override;

private:
    // The log for one operation.
    struct TLogAccess : TActionLog
    {
        // Runs when the operation ends, after the file below is flushed and closed.
        struct TOnClose
        {
            std::function<void()> Run;
            ~TOnClose()
            {
                if (Run)
                    Run();
            }
        } OnClose;
        std::unique_ptr<TFileStream> File; // a stored log, opened for this operation
        std::unique_ptr<TDirStorage> Storage;
        TDirStorage& Log() override { return *Storage; }
    };
    struct TBuildRun;
    struct TFillRun;

    void CreateActions();
    void CreateMenus();
    void CreateFileActions();
    void StartBuild(const std::string& caption);
    // Shows the "Owner" and "Group" columns and offers the filter on them where the log
    // records owners; hides them where it does not.
    void ShowOwnerColumns(bool recorded);
    // The log for one operation: the file opened read-only, or the stream in memory. Nothing
    // (after the error message) when the file cannot be opened.
    std::unique_ptr<TLogAccess> OpenLog(size_t readWindow = 256 * 1024);
    // The log for an operation that changes it: the file opened for writing with other writers
    // shut out, or the stream in memory. Nothing (after saying why) when the window is read
    // only.
    std::unique_ptr<TLogAccess> OpenLogForChange();
    // True, after saying so, when the window holds its log read only.
    bool RefusedAsReadOnly();
    // Changes tags in the log opened for it, then shows the rows' tag sets as the log has them.
    void ChangeRowTags(const std::vector<int>& positions,
                       const std::function<void(TDirStorage&)>& change);
    int64_t ListOffsetOf(int node) const;
    // The listed rows' count and sums in the status bar.
    void ShowListTotals();

    std::unique_ptr<TStream> stream_;
    // The log read for painting: opened with the tree's build and kept for the window's life,
    // so that a row can read what it shows when it is painted. Reloaded after every change
    // through OpenLogForChange, whose writes its read window would otherwise hide.
    std::unique_ptr<TLogAccess> reader_;
    void ReloadReader() noexcept;
    TFileListStore store_;
    TFileListTable table_;
    // What the last fill came to: the offset it listed (-1 the root) and the row to select.
    int64_t filledOffset_ = -2;
    int64_t reselectRow_ = -1;
};

} // namespace vm
