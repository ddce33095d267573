// The orders of the explore window's file list. Each column caption has a sort code; the list is
// sorted with the code, negated when the window's direction flag is off:
//   1 "Full path", 2 "Type", 8 "Duplicates": the locale's comparison, A to Z
//   4 any date column: oldest first
//   5 "File name": Z to A with letter case folded, paths and folders last
//   6 "File size", 7 "Disk space": largest first
//   0 anything else: the order stays
// A negative code reverses the order. Rows that compare equal keep their order.
#pragma once

#include "explore/FileListTable.h"

#include <string>
#include <vector>

namespace vm {

int SortCodeOf(const std::string& caption);

// Sorts the shown rows of the table's store by the code (the table gives the texts).
void SortRows(TFileListStore& store, const TFileListTable& table, int code);

// Sorts the shown rows by one text each (keys[i] belongs to the row shown at i), with the
// locale's comparison, A to Z (Z to A for a negative direction).
void SortRowsByText(TFileListStore& store, const std::vector<std::string>& keys, int direction);

} // namespace vm
