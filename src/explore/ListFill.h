// Filling the explore window's file list from a log: which entries each view lists and the row
// each one gives. A fill walks the log through the checked walks of core/LogWalk.h a number of
// entries per step, so that the window can let events run between steps and stop, restart or
// close at once.
//
//   standard view    the root: the top-level paths; below it: the directory's own entries
//   all folders view every directory below the listed one (the root: all of them)
//   all files view   every file below the listed one (the root: all of them)
//   tag mode         (the filter on with "Select tags for view") the tagged entries instead,
//                    except for the standard view of the root; below the root only those in
//                    the listed directory (standard view) or below it (the other views)
#pragma once

#include "core/FileFilter.h"
#include "core/LogWalk.h"
#include "display/DirTree.h"
#include "display/ListRows.h"
#include "explore/FileListStore.h"
#include "listwindow/ListWork.h"
#include "output/ListTexts.h"

#include <optional>
#include <string>

namespace vm {

struct TFillRequest
{
    TView View = TView::Standard;
    int64_t Offset = kNoOffset; // the directory to list; -1 for the root
    bool TagMode = false;
    const TFilterTest* Filter = nullptr; // while the filter is on: files must pass it
    bool ShowIcons = true;               // "Show File &Icons ": files show their type's icon
    std::string RootHeading;             // what the root is called ("Log 7")
    std::string NameToReselect;          // a directory row of this name is the one to select
};

// The space of the files directly inside the directory at offset: its subtree totals less those
// of every directory one level below it, so that the rows of the all folders view add up to the
// subtree's total without counting anything twice.
TSizeTotals GetSubDirTotals(TDirStorage& log, int64_t offset);

class TListFill : public TFillWork
{
public:
    // log, tree and store outlive the fill; the store should be empty. The filter, when given,
    // outlives it too.
    TListFill(TDirStorage& log, const TDirTree& tree, TFileListStore& store, TFillRequest request);

    // False when there is nothing to list (an empty tagged chain, an unreadable directory).
    bool HasStart() const { return walk_.has_value(); }
    // "Log 7" at the root, else the listed directory's path ending with "/".
    const std::string& Heading() const { return heading_; }
    // The entry listed: the directory, or at the root the log's first entry.
    int64_t ListedOffset() const { return listed_; }
    bool AtRoot() const { return root_; }

    // Walks up to `entries` more entries; false once the walk has ended.
    bool Step(int entries) override;
    bool Done() const { return !walk_ || done_; }
    // "" when the walk ended cleanly, else where the log is damaged.
    std::string Fault() const override { return walk_ ? walk_->Damage().Text() : std::string(); }

    // The entry the walk came to last and the directory that holds it (for the status bar).
    std::string LastName() const override { return lastName_; }
    int64_t LastParent() const override { return lastParent_; }
    TSizeTotals Listed() const override { return {store_.SumSize(), store_.SumAllocated()}; }
    // The stored index of the row to select afterwards, or -1.
    int64_t ReselectRow() const { return reselect_; }

private:
    bool InPlace(int64_t parent) const;
    void List(const TDirNode& node, const std::string& name);

    TDirStorage& log_;
    const TDirTree& tree_;
    TFileListStore& store_;
    TFillRequest request_;
    std::optional<TLogWalk> walk_;
    std::string heading_;
    int64_t listed_ = kNoOffset;
    int listedNode_ = -1;
    bool root_ = false;
    bool tagged_ = false; // the walk is the tagged chain
    bool done_ = false;
    std::string lastName_;
    int64_t lastParent_ = kNoOffset;
    int64_t reselect_ = -1;
    uint32_t appended_ = 0;
};

} // namespace vm
