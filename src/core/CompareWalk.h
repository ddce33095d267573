// The walks the compare window's views make over a comparison file, following only checked
// links (TDirCompare::ForwardLink and FirstEntry), so that a damaged file ends a walk instead of
// looping or reading out of bounds:
//
//   standard view    the root: the top-level paths (the sibling chain from the first record);
//                    a directory: its own entries (its first entry, then their sibling chain)
//   all folders view the directory chain: from the first record at the root, else from the directory's next
//                    directory while the records lie below it
//   all files view   every record in file order: from the first record's next at the root, else from
//                    the directory's first entry while the records lie below it
//
// Siblings must have the level of the first entry and name the listed directory as parent; the
// other walks end cleanly at the first record above the first one's level (below the root). The
// file outlives the walk; other reads of it may come between two Next calls.
#pragma once

#include "core/DirCompare.h"
#include "core/ListView.h"

#include <string>

namespace vm {

class TCompareViewWalk
{
public:
    // The walk of the view over the directory record at dir (-1: the root).
    TCompareViewWalk(TDirCompare& file, TView view, int64_t dir);

    // The record the walk lists the contents of: the directory, or the first record for the root;
    // false when it does not read (then the walk lists nothing).
    bool HasStart() const { return hasStart_; }
    const TCompareRecord& Start() const { return start_; }
    bool AtRoot() const { return root_; }

    // The next record; false at the end of the walk.
    bool Next(TCompareRecord& record, std::string& name);
    // The offset of the record Next returned last.
    int64_t Offset() const { return offset_; }
    // "" when the walk ended cleanly, else where the file is damaged (TLogDamage::Text).
    const std::string& Fault() const { return fault_; }

private:
    enum class TLink
    {
        Sibling,
        Next,
        Directory
    };
    bool Fail(int64_t offset, int64_t from, const std::string& why);

    TDirCompare& file_;
    TLink link_ = TLink::Sibling;
    bool root_ = false;
    bool hasStart_ = false;
    TCompareRecord start_;
    int64_t next_ = kNoOffset;
    int64_t offset_ = kNoOffset;
    int64_t from_ = kNoOffset;   // the record whose link leads to next_
    int64_t parent_ = kNoOffset; // siblings: the directory they belong to (-1 at the root)
    int level_ = -1;             // the first record's level (-1 until it is read)
    std::string fault_;
};

} // namespace vm
