// The directories of a comparison whose space changed most: the N that grew most and the N that
// shrank most, by the space of their whole subtree then and now (as the compare window shows
// directories). A directory whose whole change lies in one of its subdirectories is left out
// for that subdirectory, which names the place more exactly: a file added deep down does not
// fill the list with every directory above it.
//
// One pass over the comparison file in file order, with a stack of the open directories and the
// N best so far: memory does not grow with the number of entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

class TDirCompare;

struct TDirectoryChange
{
    std::string Path;
    int64_t AllocWas = 0, AllocNow = 0;
    int64_t Change() const { return AllocNow - AllocWas; }
};

struct TTopChanges
{
    std::vector<TDirectoryChange> Grew;   // largest growth first
    std::vector<TDirectoryChange> Shrank; // largest loss first
    std::string Damage; // where a damaged file ended the pass (what came before counts)
};

TTopChanges FindTopChanges(TDirCompare& comparison, size_t count);

} // namespace vm
