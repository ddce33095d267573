// The scan that writes a new log: every root of the log, in order, through the tree scanner
// (core/TreeScanner.h) into the log writer (core/LogWriter.h). TDirStorage::BuildLog is its
// front; this unit is what a newcomer reads to see how a log is made.
#pragma once

#include "core/ExtendedLogFormat.h"
#include "core/LogFormat.h"
#include "core/LogRecord.h"
#include "core/ScanSink.h"
#include "core/StatusEvent.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

// One path of a log with the allocation unit its sizes are rounded to (0: not rounded).
struct TScanRoot
{
    std::string Path; // a directory; "/" is added when it does not end with one
    int32_t Unit = 0; // bytes; a negative unit counts as 0
};

// What a scan leaves behind besides the log's bytes.
struct TScanOutcome
{
    TLogFormat Format = TLogFormat::Exact; // the format the log was written in
    TLogHeader Header;                     // an exact log's header as written
    TExtendedLogHeader Extended;           // an extended log's header as written
    bool Stopped = false;                  // the status handler stopped the scan
    // An exact log was asked for, would have passed its 2 GiB limit, and was written in the
    // extended format instead.
    bool PassedExactLimit = false;
    // Directories that could not be opened or read to their end: logged with what was read.
    std::vector<TUnreadableDirectory> Unreadable;
};

// "1 directory could not be read", "2 directories could not be read".
std::string UnreadableDirectoriesText(size_t count);
// "cannot read /srv/data/locked: Permission denied", the path printable (PrintableName).
std::string UnreadableDirectoryText(const TUnreadableDirectory& directory);

// "The log passed 2 GiB, the limit of the exact format: it was written in the extended format."
extern const char* const kPassedExactLimitText;

// How a scan goes about its work and which format it writes.
struct TScanOptions
{
    unsigned Threads = 0; // threads that list directories; 0: one per core (core/TreeScanner.h)
    TLogFormat Format = TLogFormat::Exact;
    // Where an exact log ends (its offsets' 2 GiB; tests make it small). A log that would pass it
    // is scanned again in the extended format: a log never fails for its size.
    int64_t ExactLimit = kMaxLogSize;
};

// Empties stream and writes the complete log of roots into it in the format of options, reading
// the disk through fs. Refuses (EScanError) an empty path or one longer than a root record of
// that format holds before anything is written, and a tree deeper than 65535 levels when it
// comes to it; stream errors pass through. An exact log that would pass options.ExactLimit is
// written again from the start in the extended format; status is told so with
// kPassedExactLimitText. A stop through status leaves a log complete as far as it goes. pump runs
// before each subdirectory is listed. status and pump are called on the caller's thread only,
// and every thread the scan started has ended when it returns or raises.
TScanOutcome ScanIntoLog(TStream& stream, const std::vector<TScanRoot>& roots, TFileSystem& fs,
                         const TStatusEvent& status, const TMessagePump& pump,
                         const TScanOptions& options = {});

} // namespace vm
