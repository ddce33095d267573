#include "core/LogWalk.h"

namespace vm {

TLogWalk::TLogWalk(TDirStorage& log, TKind kind, int64_t start)
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

namespace {
bool ReadDirectory(TDirStorage& log, int64_t offset, TDirNode& node)
{
    std::string name;
    return log.ReadNode(offset, node, name) && node.Kind == kKindDirectory;
}
} // namespace

TLogWalk TLogWalk::Children(TDirStorage& log, int64_t dir)
{
    TLogWalk w(log, TKind::Siblings, kNoOffset);
    TDirNode node;
    std::string name;
    if (!ReadDirectory(log, dir, node))
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

TLogWalk TLogWalk::Below(TDirStorage& log, TKind kind, int64_t dir)
{
    TLogWalk w(log, kind, kNoOffset);
    TDirNode node;
    if (!ReadDirectory(log, dir, node))
        return w;
    w.next_ = kind == TKind::Directories ? node.NextDirOffset : node.NextOffset;
    w.offset_ = dir; // so that the first record must lie behind the directory
    w.above_ = node.Level;
    return w;
}

TLogWalk TLogWalk::Subtree(TDirStorage& log, int64_t dir)
{
    return Below(log, TKind::FileOrder, dir);
}

TLogWalk TLogWalk::SubtreeDirectories(TDirStorage& log, int64_t dir)
{
    return Below(log, TKind::Directories, dir);
}

TLogWalk TLogWalk::Ancestors(TDirStorage& log, int64_t offset)
{
    TLogWalk w(log, TKind::Ancestors, offset);
    w.level_ = -1; // the first record may be at any level
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

bool TLogWalk::Fail(TLinkFault fault, int64_t target, std::string reason)
{
    fault_ = fault;
    damage_ = {target, offset_, std::move(reason)};
    next_ = kNoOffset;
    return false;
}

bool TLogWalk::Step(TDirNode& node, std::string& name)
{
    int64_t at = next_;
    if (at == kNoOffset)
        return false;
    TLinkDirection direction = kind_ == TKind::Tagged      ? TLinkDirection::Anywhere
                               : kind_ == TKind::Ancestors ? TLinkDirection::Backward
                                                           : TLinkDirection::Forward;
    std::string fault = LinkFault(offset_, at, direction, log_.FirstOffset(), log_.StreamSize());
    if (!fault.empty())
        return Fail(at < log_.FirstOffset() || at >= log_.StreamSize() ? TLinkFault::OutsideFile
                                                                       : TLinkFault::NotForward,
                    at, "the link " + fault);
    if (kind_ == TKind::Tagged && !visited_.insert(at).second)
        return Fail(TLinkFault::Revisited, at,
                    "the tagged chain comes back to a record it has visited");
    TLogRecord record;
    std::string why;
    if (!log_.ReadRecord(at, record, name, &why))
        return Fail(TLinkFault::Unreadable, at, why);
    node = NodeOf(record);
    if ((kind_ == TKind::Siblings || (kind_ == TKind::Ancestors && level_ >= 0)) &&
        node.Level != level_)
        return Fail(TLinkFault::WrongLevel, at, "the record is at the wrong level");
    if (kind_ == TKind::Siblings && level_ > 0 && node.ParentOffset != parent_)
        return Fail(TLinkFault::WrongParent, at, "the record has another parent");
    if (kind_ == TKind::Directories && node.Kind != kKindDirectory)
        return Fail(TLinkFault::NotDirectory, at, "the directory chain reaches a file record");
    if (above_ >= 0 && node.Level <= above_) {
        next_ = kNoOffset; // the first record behind the subtree: a clean end
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
    case TKind::Ancestors:
        // A root ends the walk; any other record must name its parent, one level up.
        if (node.Level == 0) {
            next_ = kNoOffset;
        } else if (node.ParentOffset == kNoOffset) {
            // Reported once the record itself has been handed out.
            Fail(TLinkFault::OutsideFile, kNoOffset, "the record has no parent");
        } else {
            next_ = node.ParentOffset;
            level_ = node.Level - 1;
        }
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

} // namespace vm
