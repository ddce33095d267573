// Trees held in memory for tests of code that reads two logs side by side: written into a log
// through the scan's sink (so with the scan's order, links and totals) without touching a disk,
// and flattened into the full paths with the sizes a log gives them.
#pragma once

#include "core/LogRecord.h"
#include "platform/Stream.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vmtest {

struct TestEntry
{
    std::string Name;
    bool Directory = false;
    int64_t Size = 0;             // files only
    int64_t ModifiedSeconds = 0;  // local seconds since 1970
    uint32_t ExtraAttributes = 0; // besides directory or normal
    std::vector<TestEntry> Entries;
};

struct TestRoot
{
    std::string Path; // ends with "/"
    int32_t Unit = 4096;
    std::vector<TestEntry> Entries;
};

using TestTree = std::vector<TestRoot>;

// A file or directory entry, for building trees in tests.
TestEntry File(const std::string& name, int64_t size, int64_t modifiedSeconds = 1700000000);
TestEntry Dir(const std::string& name, std::vector<TestEntry> entries = {});

// Writes a complete log of the tree (roots in their order, each directory's entries sorted as the
// scan sorts them) into stream, dated logDate, in the format given.
void WriteTestLog(const TestTree& tree, vm::TStream& stream, double logDate = 45000.0,
                  vm::TLogFormat format = vm::TLogFormat::Exact);
std::vector<uint8_t> TestLogBytes(const TestTree& tree);

// What a log holds for one full path.
struct PathFacts
{
    bool Directory = false;
    int64_t Size = 0;      // directories: the files below
    int64_t Allocated = 0; // files rounded up to the unit; directories one unit each
};
// Every full path of the tree ("/data" for the root "/data/") with its facts; roots carry no
// unit of their own. Paths that two roots share keep the first.
std::map<std::string, PathFacts> FlattenTree(const TestTree& tree);

} // namespace vmtest
