#include "explore/ListFill.h"

namespace vm {

TSizeTotals GetSubDirTotals(TDirStorage& log, int64_t offset)
{
    TDirNode dir, node;
    std::string name;
    if (!log.ReadNode(offset, dir, name))
        return {};
    TSizeTotals totals{dir.Size, dir.Allocated};
    TLogWalk walk = TLogWalk::SubtreeDirectories(log, offset);
    while (walk.Next(node, name))
        if (node.Level == dir.Level + 1) {
            totals.Size -= node.Size;
            totals.Allocated -= node.Allocated;
        }
    return totals;
}

TListFill::TListFill(TDirStorage& log, const TDirTree& tree, TFileListStore& store,
                     TFillRequest request)
    : log_(log), tree_(tree), store_(store), request_(std::move(request))
{
    root_ = request_.Offset == kNoOffset;
    listed_ = root_ ? log_.FirstOffset() : request_.Offset;
    TDirNode node;
    std::string name;
    if (!log_.ReadNode(listed_, node, name))
        return;
    if (root_) {
        heading_ = request_.RootHeading;
    } else {
        heading_ = log_.GetFullPath(listed_);
        if (heading_.empty() || heading_.back() != '/')
            heading_ += '/';
    }
    listedNode_ = tree_.FindOffset(listed_);
    const TView view = request_.View;
    tagged_ = request_.TagMode && !(root_ && view == TView::Standard);
    if (tagged_) {
        // The head of the chain is the first record; an empty chain lists nothing.
        TDirNode head;
        if (!log_.ReadNode(log_.FirstOffset(), head, name) || head.NextTaggedOffset == kNoOffset)
            return;
        walk_.emplace(TLogWalk::Tagged(log_));
    } else if (view == TView::Standard) {
        walk_.emplace(root_ ? TLogWalk::Roots(log_) : TLogWalk::Children(log_, listed_));
    } else if (view == TView::Folders) {
        walk_.emplace(root_ ? TLogWalk::Directories(log_)
                            : TLogWalk::SubtreeDirectories(log_, listed_));
    } else {
        walk_.emplace(root_ ? TLogWalk::AllRecords(log_) : TLogWalk::Subtree(log_, listed_));
    }
}

bool TListFill::InPlace(int64_t parent) const
{
    if (!tagged_ || root_)
        return true;
    if (request_.View == TView::Standard)
        return parent == listed_;
    const int node = tree_.FindOffset(parent);
    return node >= 0 && listedNode_ >= 0 && tree_.IsInside(node, listedNode_);
}

void TListFill::List(const TDirNode& node, const std::string& name)
{
    const TView view = request_.View;
    const int64_t offset = walk_->Offset();
    TFileRow row;
    row.Offset = offset;
    if (node.Kind == kKindDirectory) {
        if (view == TView::AllFiles || !InPlace(node.ParentOffset))
            return;
        const bool path = root_ && view == TView::Standard;
        row.Kind = path ? kRowPath : kRowFolder;
        row.Image = path ? kImagePath : kImageFolder;
        if (reselect_ < 0 && !request_.NameToReselect.empty() && name == request_.NameToReselect)
            reselect_ = appended_;
        if (view == TView::Folders && !root_) {
            // Below the root each directory shows only its own files, so that the rows add up.
            const TSizeTotals own = GetSubDirTotals(log_, offset);
            store_.Append(row, TShownSpace{own.Size, own.Allocated});
            ++appended_;
            return;
        }
    } else {
        if (view == TView::Folders || !InPlace(node.ParentOffset))
            return;
        if (request_.Filter && !FileMatchesFilter(*request_.Filter, name, node))
            return;
        row.Kind = kRowFile;
        row.Image =
            !request_.ShowIcons || view == TView::AllFiles ? kImagePlainFile : kImageTypeIcon;
    }
    store_.Append(row, node.Size, node.Allocated);
    ++appended_;
}

bool TListFill::Step(int entries)
{
    if (Done())
        return false;
    TDirNode node;
    for (int i = 0; i < entries; ++i) {
        if (!walk_->Next(node, lastName_)) {
            done_ = true;
            return false;
        }
        lastParent_ = node.ParentOffset;
        List(node, lastName_);
    }
    return true;
}

} // namespace vm
