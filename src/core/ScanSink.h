// What a scan finds, pushed depth first into a sink. The scanner decides what is found (listing,
// order, links, file system boundaries); a sink decides what becomes of it: TLogWriter writes a
// log, TScanRecorder keeps the entries in memory for tests and in-memory checks.
//
// The call sequence for the tree
//     /data/            (a path of the log, unit 4096)
//         a.txt
//         sub/          (a directory holding b)
//             b
//         z
// is
//     BeginRoot("/data/", 4096)
//     Entry(a.txt, false)
//     Entry(sub, false)        a directory entry opens the directory: what follows is inside it
//     Entry(b, false)
//     EndDirectory()           closes sub
//     Entry(z, false)
//     EndDirectory()           closes the root
//
// Entries of one directory come in the scan's sort order. Every directory entry is closed by its
// own EndDirectory, also when it could not be read or lies on another file system (it is then
// empty). A directory (or root) that cannot be opened, or whose listing fails part way, is
// reported with Unreadable while it is open, before its EndDirectory; it keeps what was read. A
// stopped scan closes every open directory before it returns.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vm {

// A scan or log that cannot be made: a path that does not fit a record, a tree deeper than the
// level field can say, a log that would pass the 2 GiB offset limit.
class EScanError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A directory the scan could not open or read to its end, and the system's reason (errno).
struct TUnreadableDirectory
{
    std::string Path; // ends with "/"
    int Error = 0;
};

class TScanSink
{
public:
    virtual ~TScanSink() = default;

    // A path of the log begins; path ends with "/". unit: the allocation unit in bytes, >= 0.
    virtual void BeginRoot(const std::string& path, int32_t unit) = 0;
    // The facts of the directory the root names (its owner, group and mode), right after
    // BeginRoot, when it could be opened and looked at.
    virtual void RootFacts(const TFileInfo& self) {}
    // An entry of the directory open at the moment. repeatLink: a further name of a file whose
    // space was already counted under another name (hard links).
    virtual void Entry(const TFileInfo& info, bool repeatLink) = 0;
    // Closes the directory opened last (a directory entry, or the root).
    virtual void EndDirectory() = 0;
    // The directory open at the moment, at path, could not be opened or read to its end.
    virtual void Unreadable(const std::string& path, int error) = 0;
};

} // namespace vm
