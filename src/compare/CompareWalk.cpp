#include "compare/CompareWalk.h"

namespace vm {

TCompareViewWalk::TCompareViewWalk(TDirCompare& file, TView view, int32_t dir) : file_(file)
{
    root_ = dir == kNoOffset;
    const int32_t at = root_ ? kCompareFirstOffset : dir;
    std::string name;
    hasStart_ = file_.ReadRecord(at, start_, name);
    if (!hasStart_) {
        if (!root_ || file_.FileSize() > kCompareFirstOffset)
            fault_ = "the record at offset " + std::to_string(at) + " cannot be read";
        return;
    }
    link_ = view == TView::Standard  ? TLink::Sibling
            : view == TView::Folders ? TLink::Directory
                                     : TLink::Next;
    if (root_) {
        next_ = link_ == TLink::Next ? file_.ForwardLink(at, start_.NextOffset) : at;
        if (link_ == TLink::Sibling)
            level_ = start_.Level;
        return;
    }
    if (link_ == TLink::Directory) {
        // The directory's first subdirectory is the next directory of the chain, if it lies below.
        const int32_t candidate = file_.ForwardLink(at, start_.NextDirOffset);
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

bool TCompareViewWalk::Fail(std::string fault)
{
    fault_ = std::move(fault);
    next_ = kNoOffset;
    return false;
}

bool TCompareViewWalk::Next(TCompareRecord& r, std::string& name)
{
    if (next_ == kNoOffset)
        return false;
    const int32_t at = next_;
    if (!file_.ReadRecord(at, r, name))
        return Fail("the record at offset " + std::to_string(at) + " cannot be read");
    if (level_ < 0)
        level_ = r.Level;
    if (link_ == TLink::Sibling) {
        if (r.Level != level_ || (level_ > 0 && r.ParentOffset != parent_))
            return Fail("the record at offset " + std::to_string(at) +
                        " is not an entry of the directory listed");
    } else if (!root_ && r.Level < level_) {
        next_ = kNoOffset; // past the listed directory
        return false;
    }
    const int32_t link = link_ == TLink::Sibling ? r.NextSiblingOffset
                         : link_ == TLink::Next  ? r.NextOffset
                                                 : r.NextDirOffset;
    next_ = file_.ForwardLink(at, link);
    // Where each chain ends: no sibling, the end of the file, or the first directory's link to 14.
    const bool end = link == kNoOffset || (link_ == TLink::Next && link == file_.FileSize()) ||
                     (link_ == TLink::Directory && link == kCompareFirstOffset);
    if (next_ == kNoOffset && !end)
        fault_ = "the record at offset " + std::to_string(at) + " links to offset " +
                 std::to_string(link) + ", not ahead inside the file";
    offset_ = at;
    return true;
}

} // namespace vm
