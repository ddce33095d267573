// What the treemap view shows and says about a log or a comparison: the work that reads and lays
// out a directory's subtree, the facts of one entry (for the tooltip, the names in the frames
// and screen readers), and the legend. The window that owns the file makes the source (with its
// filter and tag selection as the file test); the source keeps the file open (keep: whatever
// holds it open) for as long as the view holds the source.
#pragma once

#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "platform/Locale.h"
#include "treemap/TreemapColours.h"
#include "treemap/TreemapTrees.h"
#include "treemap/TreemapWork.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vm {

struct TTreemapEntry
{
    std::string Name; // the entry's name; the root's is the file's ("Log 7")
    std::string Path; // the full path ("" for the root above the top-level paths)
    bool Directory = false;
    int64_t Size = 0, Space = 0;
    bool Compared = false; // a comparison's entry: the figures then are below
    int64_t SizeWas = 0, SpaceWas = 0;
};

class TTreemapSource
{
public:
    virtual ~TTreemapSource() = default;
    // A new work over the subtree of the directory at dir (-1: the whole file).
    virtual std::unique_ptr<TTreemapWork> MakeWork(int64_t dir, TCellRect bounds,
                                                   const TFrameMetrics& metrics) = 0;
    // The entry at offset (-1: the root); false when it cannot be read.
    virtual bool ReadEntry(int64_t offset, TTreemapEntry& entry) = 0;
    // The entry's name alone (no path: the frames show one name each).
    virtual std::string NameOf(int64_t offset) = 0;
    // The colour of a rectangle's key (TSizeTree::Key without the directory bit).
    virtual TRgb Colour(uint8_t key) const = 0;
    virtual std::vector<TLegendItem> Legend() const = 0;
    virtual bool Comparison() const = 0;

protected:
    explicit TTreemapSource(std::shared_ptr<void> keep) : keep_(std::move(keep)) {}

private:
    std::shared_ptr<void> keep_;
};

// A log's treemap: rectangles coloured by type family.
class TLogTreemapSource final : public TTreemapSource
{
public:
    // rootName names the root above the top-level paths; the log outlives the source (keep may
    // be what holds it open).
    TLogTreemapSource(TDirStorage& log, std::string rootName,
                      TTreemapMeasure measure = TTreemapMeasure::Space, TLogFileTest counts = {},
                      std::shared_ptr<void> keep = {});
    std::unique_ptr<TTreemapWork> MakeWork(int64_t dir, TCellRect bounds,
                                           const TFrameMetrics& metrics) override;
    bool ReadEntry(int64_t offset, TTreemapEntry& entry) override;
    std::string NameOf(int64_t offset) override;
    TRgb Colour(uint8_t key) const override;
    std::vector<TLegendItem> Legend() const override { return FamilyLegend(); }
    bool Comparison() const override { return false; }

private:
    TDirStorage& log_;
    std::string rootName_;
    TTreemapMeasure measure_;
    TLogFileTest counts_;
};

// A comparison's treemap: the space now (what it took, for what is gone), coloured by change.
class TComparisonTreemapSource final : public TTreemapSource
{
public:
    TComparisonTreemapSource(TDirCompare& comparison, std::string rootName,
                             TTreemapMeasure measure = TTreemapMeasure::Space,
                             TCompareFileTest counts = {}, std::shared_ptr<void> keep = {});
    std::unique_ptr<TTreemapWork> MakeWork(int64_t dir, TCellRect bounds,
                                           const TFrameMetrics& metrics) override;
    bool ReadEntry(int64_t offset, TTreemapEntry& entry) override;
    std::string NameOf(int64_t offset) override;
    TRgb Colour(uint8_t key) const override;
    std::vector<TLegendItem> Legend() const override { return ChangeLegend(); }
    bool Comparison() const override { return true; }

private:
    TDirCompare& comparison_;
    std::string rootName_;
    TTreemapMeasure measure_;
    TCompareFileTest counts_;
};

// The tooltip of a rectangle: the path, size and space (then and now, with the change, in a
// comparison) and the share of the directory it lies in (share: 0 to 1; parentName "" for
// the root, which has no share).
std::string TreemapTipText(const TTreemapEntry& entry, double share, const std::string& parentName,
                           const TLocale& locale);
// One line for a screen reader about the selected rectangle: "report.pdf, file, space 1.21 MB,
// 12.5% of docs".
std::string TreemapSelectionText(const TTreemapEntry& entry, double share,
                                 const std::string& parentName, const TLocale& locale);
// The legend as one line of text (a screen reader's description of the view).
std::string TreemapLegendText(const std::vector<TLegendItem>& legend);

} // namespace vm
