// Walks over a log that check every link before they follow it (core/LogChecks.h), so that no
// damaged log can make a reader loop or read out of bounds:
//   - every offset followed must lie inside the records and read as a record;
//   - NextOffset, NextSiblingOffset and NextDirOffset must point forward (behind the record they
//     come from) and ParentOffset back, so these walks end after at most one visit per record;
//   - children must name their directory as parent and lie one level below it; roots are at
//     level 0; the directory chain holds directories only; a parent lies one level up;
//   - the tagged chain may point anywhere, so it ends at a record it has already visited.
// A walk ends at the first bad link; Damage() tells where and why, in the words every reader of
// a log uses.
//
// A walk keeps its own position: other reads of the same log may come between two Next calls.
// The log must outlive the walk.
#pragma once

#include "core/DirStorage.h"
#include "core/LogChecks.h"

#include <string>
#include <unordered_set>

namespace vm {

enum class TLinkFault
{
    None,         // the walk ended at a link of -1, or where its records end
    OutsideFile,  // the link points before the first record or at or past the end
    NotForward,   // a forward link points back (or at its own record), a parent link forward
    Unreadable,   // no record reads at the offset
    WrongParent,  // a child or sibling of another directory
    WrongLevel,   // not at the level the walk expects
    NotDirectory, // the directory chain reaches a file record
    Revisited,    // the tagged chain comes back to a record it has visited
};

class TLogWalk
{
public:
    // Every record in file order (NextOffset from the first record).
    static TLogWalk AllRecords(TDirStorage& log);
    // The roots (NextSiblingOffset from the first record).
    static TLogWalk Roots(TDirStorage& log);
    // The entries of the directory at dir (its NextOffset when one level below, then siblings).
    static TLogWalk Children(TDirStorage& log, int64_t dir);
    // Every record below the directory at dir, in file order (NextOffset from it: its whole tree
    // without itself), ending cleanly at the first record that is not deeper than dir.
    static TLogWalk Subtree(TDirStorage& log, int64_t dir);
    // Every directory below the directory at dir (NextDirOffset from it), ending cleanly at the
    // first directory that is not deeper than dir.
    static TLogWalk SubtreeDirectories(TDirStorage& log, int64_t dir);
    // The record at offset, then its parent, and so on up to its root (level 0), which ends the
    // walk cleanly.
    static TLogWalk Ancestors(TDirStorage& log, int64_t offset);
    // Every directory record, roots included (NextDirOffset from the first record).
    static TLogWalk Directories(TDirStorage& log);
    // Every tagged record (Tags not 0) of the tagged chain, from its head.
    static TLogWalk Tagged(TDirStorage& log);

    // The next record; false at the end of the walk.
    bool Next(TDirNode& node, std::string& name);
    // The offset of the record Next returned last.
    int64_t Offset() const { return offset_; }

    TLinkFault Fault() const { return fault_; }
    // Where and why the walk ended early; no damage (Found() false) when it ended cleanly.
    const TLogDamage& Damage() const { return damage_; }

private:
    enum class TKind
    {
        FileOrder,
        Siblings,
        Ancestors,
        Directories,
        Tagged
    };
    TLogWalk(TDirStorage& log, TKind kind, int64_t start);
    static TLogWalk Below(TDirStorage& log, TKind kind, int64_t dir);
    bool Fail(TLinkFault fault, int64_t target, std::string reason);
    bool Step(TDirNode& node, std::string& name);

    TDirStorage& log_;
    TKind kind_;
    int64_t next_;
    int64_t offset_ = kNoOffset;
    int64_t parent_ = kNoOffset; // Siblings: the directory whose entries these are (-1: roots)
    int level_ = 0;              // Siblings: the level they must have; Ancestors: the level the
                                 // next record must have
    int64_t head_ = kNoOffset;   // Tagged: the chain's head
    int above_ = -1;             // Subtrees: records must lie deeper than this level
    std::unordered_set<int64_t> visited_;
    TLinkFault fault_ = TLinkFault::None;
    TLogDamage damage_;
};

} // namespace vm
