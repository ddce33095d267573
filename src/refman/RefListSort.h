// How the reference manager's lists sort. Each column caption has a sort code; a click on a
// header flips the one direction toggle that both lists share and sorts with the code, negated
// when the toggle is now false. A comparison computes a base result for the code and returns
// it negated for a positive code, as it is for a negative one; code 0 leaves the order alone.
// Sorts are stable: rows whose keys are equal keep their order.
#pragma once

#include "refman/RefList.h"

#include <string>

namespace vm {

namespace sortcode {
constexpr int None = 0, LogNumber = 1, ComparedLogs = 2, PathName = 3, SizeOrGrowth = 4,
              SpaceTaken = 5, DateCreated = 6, DateCompared = 7, AllocationUnit = 8, FileSystem = 9,
              ReferenceName = 10, LastLogDate = 11, LastLogSize = 12, LogChange = 13;
} // namespace sortcode

// The sort code of a column header, recognised by its exact caption; 0 for any other.
int SortCodeOfColumn(const std::string& caption);

// The signed code a header click sorts with, after the toggle has been flipped.
inline int SignedSortCode(int code, bool toggle)
{
    return toggle ? code : -code;
}

// -1, 0 or 1: where a sorts against b under the signed code.
int CompareRefRows(const TRefRow& a, const TRefRow& b, int signedCode);
int CompareRHSRows(const TRHSRow& a, const TRHSRow& b, int signedCode);

// Texts the way a user's language orders them (the C library's collation), letter case
// counting; equal collation falls back to the bytes.
int CollateTexts(const std::string& a, const std::string& b);

} // namespace vm
