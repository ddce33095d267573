#include "treemap/TreemapTrees.h"

#include "statistics/FileFamily.h"
#include "treemap/TreemapColours.h"

#include <algorithm>
#include <climits>

namespace vm {

namespace {

constexpr uint8_t kDirectoryKey = kKeyDirectory | static_cast<uint8_t>(TFileFamily::Other);

} // namespace

// ---- TTreeAssembler ---------------------------------------------------------------------------

TTreeAssembler::TTreeAssembler(TSizeTree& tree, int64_t offset, int level, uint8_t key,
                               int64_t figure, bool ownWeight)
    : tree_(tree), ownWeight_(ownWeight)
{
    last_ = tree_.Open(offset, key);
    open_.push_back({last_, level, figure, 0, true});
}

void TTreeAssembler::CloseTo(int level)
{
    // The first node stays open until Finish: the walk's records all lie below it.
    while (open_.size() > 1 && open_.back().Level >= level) {
        const TOpen d = open_.back();
        open_.pop_back();
        if (ownWeight_ && d.Counts)
            tree_.AddOwnWeight(d.Node, std::max<int64_t>(0, d.Figure - d.EntryFigures));
        tree_.Close();
        if (OnClose)
            OnClose(d.Node);
    }
}

void TTreeAssembler::Add(int64_t offset, int level, bool directory, uint8_t key, int64_t figure,
                         int64_t weight)
{
    CloseTo(level);
    open_.back().EntryFigures += figure;
    if (directory) {
        last_ = tree_.Open(offset, static_cast<uint8_t>(key | kKeyDirectory));
        open_.push_back({last_, level, figure, 0, weight > 0});
    } else {
        last_ = tree_.AddLeaf(offset, key, weight);
    }
}

void TTreeAssembler::Finish()
{
    CloseTo(INT_MIN);
    if (open_.empty())
        return;
    const TOpen first = open_.back();
    open_.clear();
    if (ownWeight_)
        tree_.AddOwnWeight(first.Node, std::max<int64_t>(0, first.Figure - first.EntryFigures));
    tree_.Close();
    if (OnClose)
        OnClose(first.Node);
}

// ---- TLogTreeBuilder --------------------------------------------------------------------------

TLogTreeBuilder::TLogTreeBuilder(TDirStorage& log, int64_t dir, TTreemapMeasure measure,
                                 TLogFileTest counts)
    : walk_(dir < 0 ? TLogWalk::AllRecords(log)
                    : TLogWalk::Subtree(log, dir)),
      measure_(measure), counts_(std::move(counts))
{
    const bool own = !counts_;
    if (dir < 0) {
        assembler_ = std::make_unique<TTreeAssembler>(tree_, kNoOffset, -1, kDirectoryKey, 0, own);
        return;
    }
    TDirNode node;
    std::string name;
    if (!log.ReadNode(dir, node, name)) {
        damage_ = "offset " + std::to_string(dir) + ": no record reads there";
        done_ = true;
        return;
    }
    const int64_t figure = measure_ == TTreemapMeasure::Space ? node.Allocated : node.Size;
    assembler_ = std::make_unique<TTreeAssembler>(tree_, dir, node.Level, kDirectoryKey,
                                                  (node.Tags & kTagDeleted) ? 0 : figure, own);
}

bool TLogTreeBuilder::Step(size_t budget)
{
    if (done_)
        return false;
    TDirNode node;
    std::string name;
    for (size_t i = 0; i < budget; ++i) {
        if (!walk_.Next(node, name)) {
            if (walk_.Damage().Found())
                damage_ = walk_.Damage().Text();
            assembler_->Finish();
            done_ = true;
            return false;
        }
        const bool directory = node.Kind == kKindDirectory;
        const int64_t figure = measure_ == TTreemapMeasure::Space ? node.Allocated : node.Size;
        const bool counts =
            (node.Tags & kTagDeleted) == 0 && (directory || !counts_ || counts_(node, name));
        const uint8_t key = directory ? kDirectoryKey : static_cast<uint8_t>(FileFamilyOf(name));
        assembler_->Add(walk_.Offset(), node.Level, directory, key, figure, counts ? figure : 0);
    }
    return true;
}

// ---- TComparisonTreeBuilder -------------------------------------------------------------------

TComparisonTreeBuilder::TComparisonTreeBuilder(TDirCompare& comparison, int64_t dir,
                                               TTreemapMeasure measure, TCompareFileTest counts,
                                               size_t marked)
    : walk_(comparison, TView::AllFiles, dir), measure_(measure),
      counts_(std::move(counts)), growth_(marked)
{
    if (!walk_.HasStart()) {
        damage_ = walk_.Fault();
        done_ = true;
        return;
    }
    const bool own = !counts_;
    const TCompareRecord& start = walk_.Start();
    auto closed = [this](TNodeIndex node) { Closed(node); };
    if (walk_.AtRoot()) {
        assembler_ = std::make_unique<TTreeAssembler>(tree_, kNoOffset, -1, kDirectoryKey, 0, own);
        assembler_->OnClose = closed;
        growthStack_.push_back({});
        // The first record is the first top-level path: the first node below the root.
        Add(comparison.FirstOffset(), start, {});
        return;
    }
    const bool gone = start.Condition == kConditionDeleted;
    const bool space = measure_ == TTreemapMeasure::Space;
    const int64_t was = space ? start.AllocWas : start.SizeWas;
    const int64_t now = space ? start.AllocNow : start.SizeNow;
    assembler_ = std::make_unique<TTreeAssembler>(
        tree_, dir, start.Level,
        static_cast<uint8_t>(kKeyDirectory | static_cast<uint8_t>(ChangeClassOf(was, now))),
        gone ? was : now, own);
    assembler_->OnClose = closed;
    growthStack_.push_back({now - was, 0, false});
}

void TComparisonTreeBuilder::Add(int64_t offset, const TCompareRecord& r, std::string_view name)
{
    const bool directory = r.Kind == kKindDirectory;
    const bool space = measure_ == TTreemapMeasure::Space;
    const int64_t was = space ? r.AllocWas : r.SizeWas;
    const int64_t now = space ? r.AllocNow : r.SizeNow;
    const int64_t figure = r.Condition == kConditionDeleted ? was : now;
    const bool counts = directory || !counts_ || counts_(r, name);
    const auto key = static_cast<uint8_t>(ChangeClassOf(was, now));
    assembler_->Add(offset, r.Level, directory, key, figure, counts ? figure : 0);
    const int64_t growth = counts ? now - was : 0;
    if (directory) {
        growthStack_.push_back({growth, 0, r.Level > 0});
        return;
    }
    growthStack_.back().MostGrown = std::max(growthStack_.back().MostGrown, growth);
    if (growth > 0)
        growth_.Offer({growth, assembler_->Last()});
}

void TComparisonTreeBuilder::Closed(TNodeIndex node)
{
    const TOpenGrowth d = growthStack_.back();
    growthStack_.pop_back();
    if (d.Place && d.Growth > 0 && d.Growth != d.MostGrown)
        growth_.Offer({d.Growth, node});
    if (!growthStack_.empty())
        growthStack_.back().MostGrown = std::max(growthStack_.back().MostGrown, d.Growth);
}

bool TComparisonTreeBuilder::Step(size_t budget)
{
    if (done_)
        return false;
    TCompareRecord record;
    std::string name;
    for (size_t i = 0; i < budget; ++i) {
        if (!walk_.Next(record, name)) {
            damage_ = walk_.Fault();
            assembler_->Finish();
            for (const TGrowth& g : growth_.TakeSorted())
                largest_.push_back(g.Node);
            done_ = true;
            return false;
        }
        Add(walk_.Offset(), record, name);
    }
    return true;
}

} // namespace vm
