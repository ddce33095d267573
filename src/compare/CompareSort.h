// The orders of the compare window's list. Each column caption has a sort key; with the window's
// direction flag on the rows run as below, with it off the other way round:
//   1 "File name": paths and folders first, then names A to Z, letter case folded
//   2 "Full path", 3 "File type", 6 "Condition": the locale's comparison, Z to A
//   7 any date column: newest first
//   8 "Space was", 9 "Space now", 10 "Changed by" (the space then less the space now): smallest
//     first
//   0 anything else: the order stays
// Rows that compare equal keep their order.
#pragma once

#include "compare/CompareList.h"

#include <string>

namespace vm {

int CompareSortKeyOf(const std::string& caption);

// Sorts the shown rows of the table's store by the key, the direction flag as above.
void SortCompareRows(TCompareRowStore& store, const TCompareListTable& table, int key,
                     bool directionOn);

} // namespace vm
