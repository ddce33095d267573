// The order a list window's list opens in, and what the "Largest first" option changes in it:
// with the option on, the explore window's list opens sorted by "Disk space" and the compare
// window's by "Space now", the largest first, and the first click on the compare window's
// "Changed by" puts the largest growth first. With it off, both open by "File name", A to Z.
//
// Directions are the windows' direction flags as their sorts read them (explore/FileSort.h,
// compare/CompareSort.h); TListWindowWork::OpenSorted and FirstClick take them.
#pragma once

#include <optional>
#include <string>

namespace vm {

struct TSortStart
{
    std::string Column; // the column's caption
    bool Direction;     // the window's direction flag for it
};

TSortStart ExploreSortStart(bool largestFirst);
TSortStart CompareSortStart(bool largestFirst);
// The compare window's column whose first click is set rather than turned round; none with the
// option off.
std::optional<TSortStart> CompareFirstClick(bool largestFirst);

} // namespace vm
