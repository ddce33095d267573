// A synthetic extended log past 2 GiB for the tests of files that size: about 14 million records
// (2.1 GB) in a shape the tests can name without reading it back, and the free-space check that
// lets them skip where the disk cannot hold it.
#pragma once

#include <cstdint>
#include <string>

namespace vmtest {

// Where the log stops growing: past 2 GiB by a margin, so that whole top-level directories lie
// beyond it.
constexpr int64_t kPastLimit = (int64_t{1} << 31) + (int64_t{64} << 20);

// The log's root path, and the unit it was logged with.
inline constexpr const char* kLargeRoot = "/large/";
constexpr int32_t kLargeUnit = 4096;

// What WriteLargeLog wrote. Below the root path, each top-level directory "top-N" holds 40 files
// "file-with-a-longer-name-F.dat" of 1000 + F bytes and, down to level 5, four subdirectories
// "directory-0" to "directory-3" of the same shape.
struct TLargeLog
{
    int64_t Records = 0; // every record, the root path's included
    int64_t Files = 0, Directories = 0;
    int64_t FileBytes = 0;  // the files' sizes added up
    int64_t FileSpace = 0;  // their allocated space, as the log gives it
    int TopDirectories = 0; // top-0 to top-(TopDirectories - 1)
    std::string LastTop() const { return "top-" + std::to_string(TopDirectories - 1); }
};

// Writes the log to path, with "Tag 1" as tag 1's name.
TLargeLog WriteLargeLog(const std::string& path);

// True when the file system holding directory has at least bytes free.
bool HasFreeSpace(const std::string& directory, double bytes);

} // namespace vmtest
