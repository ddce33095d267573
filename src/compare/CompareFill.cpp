#include "compare/CompareFill.h"

namespace vm {

TCompareFill::TCompareFill(TDirCompare& file, TCompareRowStore& store, TCompareFillRequest request,
                           TDirStorage* newLog)
    : file_(file), store_(store), request_(request), newLog_(newLog),
      walk_(file, request.View, request.Offset)
{
    if (request_.Filter) {
        filter_ = *request_.Filter;
        filter_->TagsOn = filter_->TagsOn && newLog_ != nullptr;
    }
    if (!walk_.HasStart()) {
        done_ = true;
        return;
    }
    if (walk_.AtRoot()) {
        // Every top-level path counts, not only the first.
        TCompareViewWalk paths(file_, TView::Standard, kNoOffset);
        TCompareRecord r;
        std::string name;
        while (paths.Next(r, name)) {
            totals_.Size += r.SizeNow;
            totals_.Allocated += r.AllocNow;
        }
        return;
    }
    totals_ = {walk_.Start().SizeNow, walk_.Start().AllocNow};
    path_ = file_.GetFullPath(request_.Offset);
    if (path_.empty() || path_.back() != '/')
        path_ += '/';
}

void TCompareFill::List(const TCompareRecord& r, const std::string& name)
{
    const TView view = request_.View;
    const bool directory = r.Kind == kKindDirectory;
    if ((view == TView::Folders && !directory) || (view == TView::AllFiles && directory))
        return;
    TCompareRow row = CompareRowOf(walk_.Offset(), r);
    if (newLog_ && r.NewLogOffset >= 0)
        row.Tags = newLog_->ReadTags(r.NewLogOffset);
    if (directory) {
        const bool path = walk_.AtRoot() && view == TView::Standard;
        row.Kind = path ? kRowPath : kRowFolder;
        row.Image = path ? kImagePath : kImageFolder;
    } else {
        if (filter_ && !CompareFileMatches(*filter_, name, r, row.Tags))
            return;
        row.Kind = walk_.AtRoot() && view == TView::Standard ? kRowPath : kRowFile;
        row.Image =
            !request_.ShowIcons || view == TView::AllFiles ? kImagePlainFile : kImageTypeIcon;
        if (row.Kind == kRowPath)
            row.Image = kImagePath;
    }
    store_.Append(row);
    listed_.Size += r.SizeNow;
    listed_.Allocated += r.AllocNow;
}

bool TCompareFill::Step(int records)
{
    if (done_)
        return false;
    TCompareRecord r;
    for (int i = 0; i < records; ++i) {
        if (!walk_.Next(r, lastName_)) {
            done_ = true;
            return false;
        }
        lastParent_ = r.ParentOffset;
        List(r, lastName_);
    }
    return true;
}

bool CompareFileMatches(const TFilterTest& test, std::string_view name, const TCompareRecord& r,
                        uint32_t tags)
{
    // The size the entry has in the log that holds it: now, or for a deleted one then.
    TDirNode entry;
    entry.Created = r.Created;
    entry.Accessed = r.Accessed;
    entry.Modified = r.Modified;
    entry.Size = r.Condition == kConditionDeleted ? r.SizeWas : r.SizeNow;
    entry.Tags = tags;
    return FileMatchesFilter(test, name, entry) && CompareConditionsPass(test, r);
}

} // namespace vm
