// Walks over a log that check every link before they follow it, so that no damaged log can make
// a reader loop or read out of bounds:
//   - every offset followed must lie inside the file, at or behind the first record, and read
//     as a record (TDirStorage::ReadRecord's checks);
//   - NextOffset, NextSiblingOffset and NextDirOffset must point forward (behind the record they
//     come from), so these walks end after at most one visit per record;
//   - children must name their directory as parent and lie one level below it; roots are at
//     level 0; the directory chain holds directories only;
//   - the tagged chain may point anywhere, so it ends at a record it has already visited.
// A walk ends at the first bad link; Fault() tells what was wrong and where.
//
// A walk keeps its own position: other reads of the same log may come between two Next calls.
// The log must outlive the walk.
#pragma once

#include "core/DirStorage.h"

#include <string>
#include <unordered_set>

namespace vm {

enum class TLinkFault
{
    None,         // the walk ended at a link of -1
    OutsideFile,  // the link points before the first record or at or past the end
    NotForward,   // a forward link points back (or at its own record)
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
    static TLogWalk Children(TDirStorage& log, int32_t dir);
    // Every directory record, roots included (NextDirOffset from the first record).
    static TLogWalk Directories(TDirStorage& log);
    // Every tagged record (Tags not 0) of the tagged chain, from its head.
    static TLogWalk Tagged(TDirStorage& log);
    // Every record below the directory at dir, in file order (NextOffset from it), ending
    // cleanly at the first record that is not deeper than dir.
    static TLogWalk Subtree(TDirStorage& log, int32_t dir);
    // Every directory below the directory at dir (NextDirOffset from it), ending cleanly at the
    // first directory that is not deeper than dir.
    static TLogWalk SubtreeDirectories(TDirStorage& log, int32_t dir);

    // The next record; false at the end of the walk.
    bool Next(TDirNode& node, std::string& name);
    // The offset of the record Next returned last.
    int32_t Offset() const { return offset_; }

    TLinkFault Fault() const { return fault_; }
    // Where the bad link pointed, and the record it came from (-1 for the start of the walk).
    int32_t FaultTarget() const { return faultTarget_; }
    int32_t FaultSource() const { return faultSource_; }
    // "" when the walk ended cleanly, else what was wrong ("link from 106 to 90 points back").
    std::string FaultText() const;

private:
    enum class TKind
    {
        FileOrder,
        Siblings,
        Directories,
        Tagged
    };
    TLogWalk(TDirStorage& log, TKind kind, int32_t start);
    static TLogWalk Below(TDirStorage& log, TKind kind, int32_t dir);
    bool Fail(TLinkFault fault, int32_t target);
    bool Step(TDirNode& node, std::string& name);

    TDirStorage& log_;
    TKind kind_;
    int32_t next_;
    int32_t offset_ = kNoOffset;
    int32_t parent_ = kNoOffset; // Siblings: the directory whose entries these are (-1: roots)
    int level_ = 0;              // Siblings: the level they must have
    int32_t head_ = kNoOffset;   // Tagged: the chain's head
    int above_ = -1;             // Subtrees: records must lie deeper than this level
    std::unordered_set<int32_t> visited_;
    TLinkFault fault_ = TLinkFault::None;
    int32_t faultTarget_ = kNoOffset, faultSource_ = kNoOffset;
};

// Checks the links of one record against the rules above (without reading their targets):
// "" when they are sound, else the first that is not ("NextOffset 90 points back").
std::string CheckRecordLinks(const TRecordFixed& record, int32_t firstOffset, int64_t fileSize);

} // namespace vm
