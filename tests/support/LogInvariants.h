// Checks everything a complete log must hold, for tests of anything that writes one: records
// without gaps from the first record to the tag list, levels and parents as the depth-first
// order gives them, sibling links, the directory chain, directory totals and the tagged chain.
#pragma once

#include "core/DirStorage.h"

#include <string>
#include <vector>

namespace vmtest {

// The faults found, one line each; empty for a sound log. units: the allocation unit of each
// root in order (the own share of every directory below it); empty to accept any one unit per
// root as long as all its directories agree.
std::vector<std::string> LogFaults(vm::TDirStorage& log, const std::vector<int32_t>& units = {});

// Every record of a log in file order, for assertions on a whole log.
struct LoggedRecord
{
    int64_t Offset;
    vm::TDirNode Node;
    std::string Name;
    std::string Path; // GetFullPath
};
std::vector<LoggedRecord> AllRecords(vm::TDirStorage& log);

} // namespace vmtest
