#include "core/LogWalk.h"

namespace vm {

TLogWalk::TLogWalk(TDirStorage& log, TKind kind, int32_t start)
    : log_(log), kind_(kind), next_(start)
{
}

TLogWalk TLogWalk::AllRecords(TDirStorage& log)
{
    return TLogWalk(log, TKind::FileOrder, log.FirstOffset());
}

TLogWalk TLogWalk::Roots(TDirStorage& log)
{
    TLogWalk w(log, TKind::Siblings, log.FirstOffset());
    w.level_ = 0;
    return w;
}

TLogWalk TLogWalk::Children(TDirStorage& log, int32_t dir)
{
    TLogWalk w(log, TKind::Siblings, kNoOffset);
    TDirNode node;
    std::string name;
    if (!log.ReadNode(dir, node, name) || node.Kind != kKindDirectory)
        return w;
    w.parent_ = dir;
    w.level_ = node.Level + 1;
    // The record behind a directory is its first entry only when it lies one level below it;
    // anything else means the directory is empty.
    TDirNode first;
    if (node.NextOffset > dir && log.ReadNode(node.NextOffset, first, name) &&
        first.Level == w.level_ && first.ParentOffset == dir)
        w.next_ = node.NextOffset;
    w.offset_ = dir; // so that the first child must lie behind its directory
    return w;
}

TLogWalk TLogWalk::Directories(TDirStorage& log)
{
    return TLogWalk(log, TKind::Directories, log.FirstOffset());
}

TLogWalk TLogWalk::Tagged(TDirStorage& log)
{
    TLogWalk w(log, TKind::Tagged, kNoOffset);
    TDirNode head;
    std::string name;
    w.head_ = log.FirstOffset();
    if (log.ReadNode(w.head_, head, name) && head.NextTaggedOffset != kNoOffset)
        w.next_ = w.head_;
    return w;
}

TLogWalk TLogWalk::Below(TDirStorage& log, TKind kind, int32_t dir)
{
    TLogWalk w(log, kind, kNoOffset);
    TDirNode node;
    std::string name;
    if (!log.ReadNode(dir, node, name) || node.Kind != kKindDirectory)
        return w;
    w.next_ = kind == TKind::Directories ? node.NextDirOffset : node.NextOffset;
    w.offset_ = dir; // so that the first record must lie behind the directory
    w.above_ = node.Level;
    return w;
}

TLogWalk TLogWalk::Subtree(TDirStorage& log, int32_t dir)
{
    return Below(log, TKind::FileOrder, dir);
}

TLogWalk TLogWalk::SubtreeDirectories(TDirStorage& log, int32_t dir)
{
    return Below(log, TKind::Directories, dir);
}

bool TLogWalk::Fail(TLinkFault fault, int32_t target)
{
    fault_ = fault;
    faultTarget_ = target;
    faultSource_ = offset_;
    next_ = kNoOffset;
    return false;
}

bool TLogWalk::Step(TDirNode& node, std::string& name)
{
    int32_t at = next_;
    if (at == kNoOffset)
        return false;
    if (at < log_.FirstOffset() || at >= log_.StreamSize())
        return Fail(TLinkFault::OutsideFile, at);
    bool forward = kind_ != TKind::Tagged;
    if (forward && offset_ != kNoOffset && at <= offset_)
        return Fail(TLinkFault::NotForward, at);
    if (kind_ == TKind::Tagged && !visited_.insert(at).second)
        return Fail(TLinkFault::Revisited, at);
    if (!log_.ReadNode(at, node, name))
        return Fail(TLinkFault::Unreadable, at);
    if (kind_ == TKind::Siblings && node.Level != level_)
        return Fail(TLinkFault::WrongLevel, at);
    if (kind_ == TKind::Siblings && level_ > 0 && node.ParentOffset != parent_)
        return Fail(TLinkFault::WrongParent, at);
    if (kind_ == TKind::Directories && node.Kind != kKindDirectory)
        return Fail(TLinkFault::NotDirectory, at);
    if (above_ >= 0 && node.Level <= above_) {
        next_ = kNoOffset; // the subtree has ended: not a fault
        return false;
    }
    offset_ = at;
    switch (kind_) {
    case TKind::FileOrder:
        next_ = node.NextOffset;
        break;
    case TKind::Siblings:
        next_ = node.NextSiblingOffset;
        break;
    case TKind::Directories:
        next_ = node.NextDirOffset;
        break;
    case TKind::Tagged:
        next_ = node.NextTaggedOffset == head_ ? kNoOffset : node.NextTaggedOffset;
        break;
    }
    return true;
}

bool TLogWalk::Next(TDirNode& node, std::string& name)
{
    while (Step(node, name)) {
        // The head anchors the chain whether or not it is tagged itself.
        if (kind_ != TKind::Tagged || node.Tags != 0)
            return true;
    }
    return false;
}

std::string TLogWalk::FaultText() const
{
    std::string from = faultSource_ == kNoOffset ? std::string("the start")
                                                 : "record " + std::to_string(faultSource_);
    std::string to = std::to_string(faultTarget_);
    switch (fault_) {
    case TLinkFault::None:
        return "";
    case TLinkFault::OutsideFile:
        return "link from " + from + " to " + to + " lies outside the records";
    case TLinkFault::NotForward:
        return "link from " + from + " to " + to + " points back";
    case TLinkFault::Unreadable:
        return "link from " + from + " to " + to + " reaches no record";
    case TLinkFault::WrongParent:
        return "record " + to + " (linked from " + from + ") has another parent";
    case TLinkFault::WrongLevel:
        return "record " + to + " (linked from " + from + ") is at the wrong level";
    case TLinkFault::NotDirectory:
        return "directory chain from " + from + " reaches file record " + to;
    case TLinkFault::Revisited:
        return "tagged chain from " + from + " comes back to " + to;
    }
    return "";
}

std::string CheckRecordLinks(const TRecordFixed& r, int32_t firstOffset, int64_t fileSize)
{
    auto inside = [&](int32_t v) { return v >= firstOffset && v < fileSize; };
    struct TLink
    {
        const char* Name;
        int32_t Value;
        int Direction; // 1 forward, -1 backward, 0 anywhere
    } links[] = {
        {"ParentOffset", r.ParentOffset, -1},          {"NextOffset", r.NextOffset, 1},
        {"NextSiblingOffset", r.NextSiblingOffset, 1}, {"NextDirOffset", r.NextDirOffset, 1},
        {"NextTaggedOffset", r.NextTaggedOffset, 0},   {"PrevTaggedOffset", r.PrevTaggedOffset, 0},
    };
    for (const TLink& l : links) {
        if (l.Value == kNoOffset)
            continue;
        std::string v = std::string(l.Name) + " " + std::to_string(l.Value);
        if (!inside(l.Value))
            return v + " lies outside the records";
        if (l.Direction > 0 && l.Value <= r.SelfOffset)
            return v + " points back";
        if (l.Direction < 0 && l.Value >= r.SelfOffset)
            return v + " points forward";
    }
    if (r.Level > 0 && r.ParentOffset == kNoOffset)
        return "a record at level " + std::to_string(r.Level) + " without a parent";
    if (r.Level == 0 && r.ParentOffset != kNoOffset)
        return "a root with a parent";
    if (r.Kind == kKindFile && r.NextDirOffset != kNoOffset)
        return "a file record in the directory chain";
    if ((r.NextTaggedOffset == kNoOffset) != (r.PrevTaggedOffset == kNoOffset))
        return "only one tagged link set";
    return "";
}

} // namespace vm
