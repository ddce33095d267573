// A reference with two logs and their comparison in a data directory, written from trees in
// memory as the logging and comparison runs would write them: Ref0001 ("Home") with logs 3 and
// 4 (each with the default tag names) and Ref0001/00030004.kcf.
#pragma once

#include "support/CompareTestTrees.h"
#include "support/TempDir.h"

#include <string>

namespace vmtest {

struct CompareSamplePaths
{
    std::string OldLog, NewLog, Comparison;
};

// Writes the reference section, both logs and the comparison of oldLog with newLog into the data
// directory dir; the new log in the format given (the comparison is extended when it is).
CompareSamplePaths WriteCompareSample(const TempDir& dir, const TestTree& oldTree,
                                      const TestTree& newTree, int oldLog = 3, int newLog = 4,
                                      vm::TLogFormat newFormat = vm::TLogFormat::Exact);

// The trees most compare tests share, under /data/:
//   old: docs/ [a.txt 10000, b.txt 5000], empty/ [], gone/ [x.bin 8000], same.txt 4096,
//        shrink.dat 20000
//   new: added/ [y 1], docs/ [a.txt 30000, b.txt 5000, c.txt 100, new.txt 0],
//        empty/ [f.txt 9000], same.txt 4096, shrink.dat 1000
// so docs/ grew, a.txt is bigger, b.txt and same.txt are unchanged, c.txt is added, new.txt is
// added but takes no space, empty/ held no data and now does, gone/ and x.bin are deleted,
// shrink.dat is smaller, added/ and y are added.
TestTree SampleOldTree();
TestTree SampleNewTree();

} // namespace vmtest
