// Filling the compare window's list from the comparison file: which records each view lists and
// the row each one gives. The fill re-reads the file from the listed directory's record (the
// window keeps no copy of the comparison) a number of records per step, so that the window can
// let events run between steps and stop, restart or close at once. The new log, when it can be
// read, gives each row its tag set in the same pass.
#pragma once

#include "compare/CompareList.h"
#include "core/CompareWalk.h"
#include "core/FileFilter.h"
#include "listwindow/ListWork.h"

#include <optional>
#include <string>

namespace vm {

struct TCompareFillRequest
{
    TView View = TView::Standard;
    int64_t Offset = kNoOffset;          // the directory record to list; -1 for the root
    const TFilterTest* Filter = nullptr; // while the filter is on: files must pass it
    bool ShowIcons = true;               // "Show File &Icons ": files show their type's icon
};

// Space in the new log: the figures of the status bar.
class TCompareFill : public TFillWork
{
public:
    // file, store and newLog (when given) outlive the fill, and so does the request's filter; the
    // store should be empty. Without a new log, rows have no tag sets and the filter's tag test
    // is left out.
    TCompareFill(TDirCompare& file, TCompareRowStore& store, TCompareFillRequest request,
                 TDirStorage* newLog);

    // False when the listed record does not read (the list stays empty).
    bool HasStart() const { return walk_.HasStart(); }
    bool AtRoot() const { return walk_.AtRoot(); }
    // The listed directory's full path ending with "/"; "" at the root.
    const std::string& DirectoryPath() const { return path_; }
    // The listed directory's space now; at the root the sum over every top-level path.
    TSizeTotals Totals() const { return totals_; }

    // Walks up to `records` more records; false once the walk has ended.
    bool Step(int records) override;
    bool Done() const { return done_; }
    // "" when the walk ended cleanly, else where the file is damaged.
    std::string Fault() const override { return walk_.Fault(); }

    // The record the walk came to last and the directory that holds it (for the status bar).
    std::string LastName() const override { return lastName_; }
    int64_t LastParent() const override { return lastParent_; }
    TSizeTotals Listed() const override { return listed_; }
    // Without the filter the status bar shows the listed directory's whole space.
    TSizeTotals Shown() const override { return totals_; }

private:
    void List(const TCompareRecord& record, const std::string& name);

    TDirCompare& file_;
    TCompareRowStore& store_;
    TCompareFillRequest request_;
    TDirStorage* newLog_;
    std::optional<TFilterTest> filter_; // the request's, without the tag test when no tags
    TCompareViewWalk walk_;
    std::string path_;
    TSizeTotals totals_, listed_;
    std::string lastName_;
    int64_t lastParent_ = kNoOffset;
    bool done_ = false;
};

// Whether a file of the comparison passes the filter: the explore window's tests on the figures
// it has in the log that holds it, with its tags in the newer log, and the compare conditions.
bool CompareFileMatches(const TFilterTest& test, std::string_view name, const TCompareRecord& r,
                        uint32_t tags);

} // namespace vm
