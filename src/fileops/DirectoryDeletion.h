// The work of the directory deletion dialog, without Qt: what the directory holds, the checks
// before it goes (entries modified or deleted since the log, entries added since) and the
// deletion on the disk with the marking of the log.
//
// Everything on the disk is reached from the directory's top-level path without following a
// link (platform/RootedFileSystem.h): the checks, the scan of what the directory holds now and
// the deletion. When the directory itself is no longer a directory (a link planted in its place
// since the log), nothing is deleted. A stop ends the deletion on the disk at once, but what is
// gone by then is still marked in the log.
#pragma once

#include "core/DirStorage.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vm {

// How the dialog shows the work going on.
struct TDirectoryProgress
{
    std::function<void(const std::string&)> Label; // the progress label
    std::function<void(int)> Bar;                  // the progress bar, 0 to 100
    std::function<void(const std::string&)> Line;  // a line of the details
    // Lets pending messages run (called at most ten times a second).
    std::function<void()> ProcessMessages;
    // True once the user asked to stop (asked after every entry: it must be cheap).
    std::function<bool()> StopRequested;
};

// What a deletion did.
struct TDirectoryDeleted
{
    bool Ran = false;                    // the deletion started (the directory was still one)
    bool Stopped = false;                // the user stopped it
    bool DirectoryMarked = false;        // the directory itself is gone and marked
    int64_t DeletedSpace = 0;            // the space of the entries marked deleted now
    std::vector<std::string> NotDeleted; // entries that stayed, each with why
};

class TDirectoryDeletion
{
public:
    // GetDirectoryStats: the directory at offset of log, counted. log and fs outlive the work;
    // the log is open for writing.
    void Prepare(TDirStorage& log, int64_t offset, TFileSystem& fs);

    int64_t Offset() const { return offset_; }
    const std::string& Path() const { return path_; }
    // The first offset after the directory's records: [Offset(), SubtreeEnd()) holds its tree.
    int64_t SubtreeEnd() const { return subtreeEnd_; }
    int64_t Directories() const { return directories_; }
    int64_t Files() const { return files_; }
    int64_t Allocated() const { return allocated_; }
    // "About to delete 3 directories containing 12 files totalling 48 KB in size from /data/x".
    std::string InfoText(const TLocale& locale) const;

    // "Updated file - " and "Deleted file - " lines for the entries that changed since the log;
    // false when stopped.
    bool CheckModified(const TDirectoryProgress& progress);
    // "New file - " lines for the entries on the disk that the log does not list; false when
    // stopped.
    bool CheckNew(const TDirectoryProgress& progress);
    // Deletes the directory and everything in it, then marks in the log what is gone (with
    // updateLog taking its space from the log's totals).
    TDirectoryDeleted Delete(bool updateLog, const TDirectoryProgress& progress);

private:
    TDirStorage* log_ = nullptr;
    TFileSystem* fs_ = nullptr;
    int64_t offset_ = kNoOffset;
    int64_t subtreeEnd_ = kNoOffset;
    std::string path_, topPath_;
    int64_t directories_ = 0, files_ = 0, allocated_ = 0;
};

} // namespace vm
