// TDirStorage: one log, worked on directly in its stream. There is no in-memory tree: every read
// decodes one record, every change rewrites a record's fixed part in place, and the links
// between records are the tree. The caller owns the stream and frees it after this object.
//
// Reading never trusts the file: a record reads only when it passes the checks of
// core/LogChecks.h, and every link is checked before it is followed (core/LogWalk.h has the
// walks), so a damaged log ends a walk instead of looping or reading out of bounds. Writers touch
// only records that read.
#pragma once

#include "core/ExtendedLogFormat.h"
#include "core/LogLayout.h"
#include "core/LogScan.h" // TScanRoot; EScanError, raised by BuildLog
#include "core/StatusEvent.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {

// How DeleteTree treats what it meets on the disk.
struct TDeleteOptions
{
    bool Force = false;                  // make read-only entries and directories writable first
    bool UpdateLog = false;              // also take the deleted space from the log's totals
    bool MissingCountsAsDeleted = false; // an entry no longer on the disk is marked deleted
    bool DeleteFromDisk = true;          // false: nothing is deleted, what is gone is marked
};

// What a DeleteTree did.
struct TDeleteResult
{
    // The space of the entries marked deleted now, each counted once (as it stood before the
    // marking took it from the log).
    int64_t DeletedSpace = 0;
    bool Stopped = false;                // the status handler stopped it
    std::vector<std::string> NotDeleted; // "path: why" for each entry that could not go
};

// The node of a decoded record.
inline const TDirNode& NodeOf(const TLogRecord& record)
{
    return record;
}

// The twelve tag names a new log gets: "Tag 1" to "Tag 11" (bits 0 to 10), then "Rubbish Bin"
// (bit 30). A logging run writes them with SetTagName(1..12) after BuildLog.
std::vector<std::string> DefaultTagNames();

class TDirStorage
{
public:
    // Create: reads the header (when the stream holds more than 15 bytes) and the tag names. The
    // format is the extended one when the stream begins with its signature, else the exact one;
    // everything below reads and changes both alike.
    explicit TDirStorage(TStream& stream);

    ~TDirStorage();
    TDirStorage(const TDirStorage&) = delete;
    TDirStorage& operator=(const TDirStorage&) = delete;

    // BuildLog: called for every entry a listing finds with the directory's path (ending with
    // "/"); a stop ends the whole scan. DeleteTree: "Preparing to delete", then one text per
    // entry; a stop ends the deletion.
    void SetStatusEvent(TStatusEvent handler);
    // Called once before each subdirectory of a scan is listed.
    void SetMessagePump(TMessagePump pump);
    // The disk that BuildLog, DeleteTree and VerifyTree work on; the real one unless a test
    // gives another. fs must outlive this object.
    void SetFileSystem(TFileSystem& fs) { fs_ = &fs; }
    // How BuildLog goes about its scan (threads: one per core unless set); the log is the same.
    void SetScanOptions(const TScanOptions& options) { scanOptions_ = options; }

    // Writes a complete log of the roots into the empty stream (core/LogScan.h), in the format
    // of the scan options (exact unless set). Stream errors are raised; the stream then holds an
    // incomplete log. Refuses (raises EScanError) a path that does not fit a root record before
    // anything is written, and a tree deeper than 65535 levels when it comes to it. An exact log
    // that would pass 2 GiB is written again in the extended format (PassedExactLimit). A stop
    // leaves a log that is complete as far as it goes (WasStopped).
    void BuildLog(const std::vector<TScanRoot>& roots);
    // True when the status handler stopped the last BuildLog.
    bool WasStopped() const { return stopped_; }
    // True when the last BuildLog was asked for an exact log that would have passed 2 GiB and
    // wrote an extended one instead.
    bool PassedExactLimit() const { return passedExactLimit_; }
    // The directories the last BuildLog could not open or read to their end, with the reason.
    const std::vector<TUnreadableDirectory>& UnreadableDirectories() const { return unreadable_; }

    // Decodes the record at offset; false when it cannot be read (ends a walk). Readers read at
    // offsets and never move a shared position: any number of walks may read one log at once.
    bool ReadNode(int64_t offset, TDirNode& node, std::string& name);
    // As ReadNode, without turning an extended log's times into local date-times (its dates are
    // then 0): for passes over millions of records that need no dates.
    bool ReadNodeUndated(int64_t offset, TDirNode& node, std::string& name);
    // The record at offset with its length, own offset and times as stored, after the same
    // checks; why (when given) gets the reason it does not read.
    bool ReadRecord(int64_t offset, TLogRecord& record, std::string& name,
                    std::string* why = nullptr);
    // Full path by the parent links; a root gives its path without the trailing "/" ("/"
    // stays "/"), and its entries are "/data/a" or, below "/", "/a". Never cut; a damaged parent
    // link ends the path where it is.
    std::string GetFullPath(int64_t offset);
    // The record whose full path equals path exactly, or -1 (roots themselves give -1).
    int64_t FindPath(const std::string& path);

    uint32_t ReadTags(int64_t offset);
    void WriteTags(int64_t offset, uint32_t tags);
    bool ToggleTag(int64_t offset, int bit);
    bool SetTag(int64_t offset, int bit);
    bool ClearTag(int64_t offset, int bit);
    void SetTagName(int n, const std::string& name);
    bool GetTagName(int n, std::string& name) const;
    int TagNameCount() const { return static_cast<int>(tagNames_.size()); }
    uint32_t GetTagMask() const;
    void SetTagMask(uint32_t mask);
    bool HasTagList() const { return header_.TagListOffset != 0; }
    TDateTime GetLogDate() const { return header_.LogDate; }
    int64_t GetDeletedTotal() const;
    void AddDeletedTotal(int64_t amount);
    void WriteAttributes(int64_t offset, uint32_t attributes);
    void WriteAllocated(int64_t offset, int64_t value);

    // Deletes the directory tree at offset from the disk, marking its records deleted
    // (core/LogDiskOperations.h).
    TDeleteResult DeleteTree(int64_t offset, const TDeleteOptions& options);
    // Compares the tree at offset with the disk; the handler gets one message per record.
    void VerifyTree(int64_t offset, const TStatusEvent& handler);

    int64_t FirstOffset() const { return firstOffset_; }
    // The header's fields in the exact format's terms (an extended log's log date converted to
    // local time, its signature, an extension length of 0).
    const TLogHeader& Header() const { return header_; }
    TStream& Stream() { return stream_; }
    int64_t StreamSize() { return stream_.Size(); }

    TLogFormat Format() const { return layout_->Format; }
    const TLogLayout& Layout() const { return *layout_; }
    // True when every entry carries its owner, group and mode (extended logs).
    bool HasOwners() const { return hasOwners_; }
    // Extended logs: the version, header length and record count of the header, and the log
    // date as stored (Unix seconds and nanoseconds). Zeros for an exact log.
    uint16_t ExtendedVersion() const { return extendedVersion_; }
    int64_t RecordCount() const { return recordCount_; }
    TLogTime LogTime() const { return logTime_; }
    // Converts the times of extended logs to local time; one per log, shared by its readers.
    TLocalClock& Clock() { return clock_; }

private:
    void ReadHeader();
    void AdoptExtendedHeader(const TExtendedLogHeader& header);
    bool ReadFixedAt(int64_t offset, TLogRecord& record);
    void WriteField(int64_t at, const void* bytes, int64_t n);
    // Writes n bytes at field of the record at offset, when a record reads there.
    bool WriteRecordField(int64_t offset, int field, const void* bytes, int64_t n);
    void LinkTagged(int64_t offset);
    void UnlinkTagged(int64_t offset);
    bool ChangeTag(int64_t offset, uint32_t newTags);
    void LoadTagNames();
    void WriteTagNames();
    TFileSystem& Disk();

    TStream& stream_;
    const TLogLayout* layout_ = &LayoutOf(TLogFormat::Exact);
    int64_t firstOffset_ = kLogHeaderSize;
    TLogHeader header_;
    int tagMaskAt_ = 0;      // where the header keeps the tag mask; 0: it cannot be written
    int deletedTotalAt_ = 0; // where the header keeps the deleted total; 0: it has none
    bool hasOwners_ = false;
    uint16_t extendedVersion_ = 0;
    int64_t recordCount_ = 0;
    TLogTime logTime_;
    TLocalClock clock_;
    std::vector<std::string> tagNames_;
    TStatusEvent onStatus_;
    TMessagePump pump_;
    TFileSystem* fs_ = nullptr;
    std::unique_ptr<TFileSystem> ownFs_;
    TScanOptions scanOptions_;
    bool stopped_ = false;
    bool passedExactLimit_ = false;
    std::vector<TUnreadableDirectory> unreadable_;
};

} // namespace vm
