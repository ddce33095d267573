// The allocation unit vmlog scan gives a path for which no --unit was given.
#pragma once

#include <cstdint>
#include <string>

namespace vm::vmlog {

// The cluster size of the volume that holds path, as a logging run finds it (core/DriveInfo);
// where that gives none (a network mount whose unit only the share list knows), the volume's
// statvfs fragment size; 0 when neither can be found.
int32_t DefaultAllocationUnit(const std::string& path);

} // namespace vm::vmlog
