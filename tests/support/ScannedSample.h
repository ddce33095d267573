// A small real tree scanned twice by the logging scan, with a change between, and the two logs
// compared, in a temporary directory:
//   before: tree/ big.tar 200000, docs/ [notes.txt 100, report.pdf 50000],
//           photos/ [a.jpg 10000, b.jpg 3000], src/ [main.cpp 2000]
//   after:  big.tar shrinks to 5000, docs/notes.txt is gone, photos/c.jpg 400000 is new
// so photos/ (and c.jpg in it) grew most, big.tar shrank and notes.txt vanished.
#pragma once

#include "support/TempDir.h"

#include <string>

namespace vmtest {

struct ScannedSample
{
    std::string Tree;                        // the tree as it is now, with its trailing "/"
    std::string OldLog, NewLog, Comparison;  // the files
};

// Writes the tree, scans it before and after the change (unit 4096) and compares the logs.
ScannedSample WriteScannedSample(const TempDir& dir);

} // namespace vmtest
