// The directories of a comparison whose space changed most: the N that grew most and the N that
// shrank most, by the space of their whole subtree then and now (as the compare window shows
// directories). A directory whose whole change lies in one of its subdirectories is left out
// for that subdirectory, which names the place more exactly: a file added deep down does not
// fill the list with every directory above it.
//
// One pass over the comparison file in file order, with a stack of the open directories and the
// N best so far: memory does not grow with the number of entries.
#pragma once

#include "core/PathStack.h"
#include "core/TopN.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TDirCompare;
struct TCompareRecord;

struct TDirectoryChange
{
    std::string Path;
    int64_t AllocWas = 0, AllocNow = 0;
    int64_t Offset = -1; // the directory's record in the comparison
    int64_t Change() const { return AllocNow - AllocWas; }
};

struct TTopChanges
{
    std::vector<TDirectoryChange> Grew;   // largest growth first
    std::vector<TDirectoryChange> Shrank; // largest loss first
    std::string Damage; // where a damaged file ended the pass (what came before counts)
};

TTopChanges FindTopChanges(TDirCompare& comparison, size_t count);

// The same pass fed one record at a time, for a walk that gathers more than this at once (the
// statistics of a comparison). Records come in file order; the first at level 0, whose name is
// then its full path ending with "/" (a top-level path, or the directory a walk of a subtree
// starts at, with the levels below it counted from there).
class TTopChangesFinder
{
public:
    explicit TTopChangesFinder(size_t count);

    // False, with the reason in why, when the record does not fit below the records before it
    // (the pass should end there).
    bool Add(int64_t offset, const TCompareRecord& record, std::string_view name, std::string& why);
    // The full path of the record Add took last.
    std::string_view Path() const { return paths_.Path(); }
    // Closes what is open and gives the lists (Damage empty); the finder is spent.
    TTopChanges Finish();

private:
    // A record the pass is inside of, with the largest growth and loss of its subdirectories.
    struct TOpen
    {
        bool Directory = false;
        int64_t AllocWas = 0, AllocNow = 0;
        int64_t MostGrown = 0, MostShrunk = 0;
    };
    using TBetter = bool (*)(const TDirectoryChange&, const TDirectoryChange&);
    // Closes the open records deeper than level, the deepest first, while paths_ still knows
    // theirs.
    void CloseBelow(int level);

    TPathStack paths_;
    std::vector<TOpen> open_;
    TTopN<TDirectoryChange, TBetter> grew_, shrank_;
};

} // namespace vm
