#include "core/CompareWalk.h"

#include "core/CompareChecks.h"
#include "core/LogChecks.h"

namespace vm {

TCompareViewWalk::TCompareViewWalk(TDirCompare& file, TView view, int64_t dir) : file_(file)
{
    root_ = dir == kNoOffset;
    const int64_t at = root_ ? file_.FirstOffset() : dir;
    std::string name, why;
    hasStart_ = file_.ReadRecord(at, start_, name, &why);
    if (!hasStart_) {
        if (!root_ || file_.FileSize() > file_.FirstOffset())
            Fail(at, kNoOffset, why);
        return;
    }
    link_ = view == TView::Standard  ? TLink::Sibling
            : view == TView::Folders ? TLink::Directory
                                     : TLink::Next;
    from_ = at;
    if (root_) {
        next_ = link_ == TLink::Next ? file_.ForwardLink(at, start_.NextOffset) : at;
        if (link_ == TLink::Sibling)
            level_ = start_.Level;
        if (next_ == at)
            from_ = kNoOffset;
        return;
    }
    if (link_ == TLink::Directory) {
        // The directory's first subdirectory is the next directory of the chain, if it lies below.
        const int64_t candidate = file_.ForwardLink(at, start_.NextDirOffset);
        TCompareRecord r;
        if (candidate != kNoOffset && file_.ReadRecord(candidate, r, name) &&
            r.Level > start_.Level)
            next_ = candidate;
        return;
    }
    next_ = file_.FirstEntry(at, start_);
    level_ = start_.Level + 1;
    parent_ = at;
}

bool TCompareViewWalk::Fail(int64_t offset, int64_t from, const std::string& why)
{
    fault_ = TLogDamage{offset, from, why}.Text();
    next_ = kNoOffset;
    return false;
}

bool TCompareViewWalk::Next(TCompareRecord& r, std::string& name)
{
    if (next_ == kNoOffset)
        return false;
    const int64_t at = next_;
    std::string why;
    if (!file_.ReadRecord(at, r, name, &why))
        return Fail(at, from_, why);
    if (level_ < 0)
        level_ = r.Level;
    if (link_ == TLink::Sibling) {
        if (r.Level != level_ || (level_ > 0 && r.ParentOffset != parent_))
            return Fail(at, from_, "the record is not an entry of the directory listed");
    } else if (!root_ && r.Level < level_) {
        next_ = kNoOffset; // past the listed directory
        return false;
    }
    const int64_t link = link_ == TLink::Sibling ? r.NextSiblingOffset
                         : link_ == TLink::Next  ? r.NextOffset
                                                 : r.NextDirOffset;
    // Where each chain ends: no sibling, the end of the file, or the first directory's link back
    // to the first record.
    const bool end = link == kNoOffset || (link_ == TLink::Next && link == file_.FileSize()) ||
                     (link_ == TLink::Directory && link == file_.FirstOffset());
    next_ = end ? kNoOffset : file_.ForwardLink(at, link);
    if (next_ == kNoOffset && !end)
        fault_ = TLogDamage{link, at,
                            "the link " +
                                CompareLinkFault(at, link, file_.FileSize(), file_.FirstOffset())}
                     .Text();
    offset_ = from_ = at;
    return true;
}

} // namespace vm
