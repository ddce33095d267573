#include "listwindow/ListSortStart.h"

namespace vm {

// The explore window negates a column's sort code while its flag is off; "Disk space" (7) runs
// largest first with it on. Its list has always opened with the flag off by "File name": A to Z.
TSortStart ExploreSortStart(bool largestFirst)
{
    return largestFirst ? TSortStart{"Disk space", true} : TSortStart{"File name", false};
}

// The compare window runs sizes smallest first with its flag on, so "Space now" opens with it
// off; "File name" runs A to Z with it on.
TSortStart CompareSortStart(bool largestFirst)
{
    return largestFirst ? TSortStart{"Space now", false} : TSortStart{"File name", true};
}

// "Changed by" sorts by the space then less the space now, smallest first with the flag on: the
// largest growth first.
std::optional<TSortStart> CompareFirstClick(bool largestFirst)
{
    if (!largestFirst)
        return std::nullopt;
    return TSortStart{"Changed by", true};
}

} // namespace vm
