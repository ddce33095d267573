// TDirStorage: one log, worked on directly in its stream. There is no in-memory tree: every read
// decodes one record, every change rewrites a record's fixed part in place, and the links
// between records are the tree. The caller owns the stream and frees it after this object.
//
// Reading never trusts the file: a record reads only when it passes the checks of
// core/LogChecks.h, and every link is checked before it is followed (core/LogWalk.h has the
// walks), so a damaged log ends a walk instead of looping or reading out of bounds. Writers touch
// only records that read.
#pragma once

#include "core/LogFormat.h"
#include "core/LogScan.h" // TScanRoot; EScanError, raised by BuildLog
#include "core/StatusEvent.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {

// One record, decoded. Its own offset is the one the caller read it at.
struct TDirNode
{
    uint8_t Kind = kKindDirectory; // 0 directory, 1 file
    uint16_t Level = 0;            // 0 for a root
    uint32_t Attributes = 0;
    TDateTime Created = 0, Accessed = 0, Modified = 0;
    int64_t Size = 0;      // directories: the bytes of everything below
    int64_t Allocated = 0; // directories: the space of everything below plus their own units
    int32_t ParentOffset = kNoOffset;
    int32_t NextOffset = kNoOffset;
    int32_t NextSiblingOffset = kNoOffset;
    int32_t NextDirOffset = kNoOffset;
    int32_t NextTaggedOffset = kNoOffset;
    int32_t PrevTaggedOffset = kNoOffset;
    uint32_t Tags = 0;
};

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

// The decoded form of a record's fixed part.
TDirNode NodeOf(const TRecordFixed& fixed);

// The twelve tag names a new log gets: "Tag 1" to "Tag 11" (bits 0 to 10), then "Rubbish Bin"
// (bit 30). A logging run writes them with SetTagName(1..12) after BuildLog.
std::vector<std::string> DefaultTagNames();

class TDirStorage
{
public:
    // Create: reads the header (when the stream holds more than 15 bytes) and the tag names.
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

    // Writes a complete log of the roots into the empty stream (core/LogScan.h). Stream errors
    // are raised; the stream then holds an incomplete log. Refuses (raises EScanError) a path
    // longer than 259 bytes before anything is written, and a log that would pass 2 GiB or
    // 65535 levels when it comes to it. A stop leaves a log that is complete as far as it goes
    // (WasStopped).
    void BuildLog(const std::vector<TScanRoot>& roots);
    // True when the status handler stopped the last BuildLog.
    bool WasStopped() const { return stopped_; }
    // The directories the last BuildLog could not open or read to their end, with the reason.
    const std::vector<TUnreadableDirectory>& UnreadableDirectories() const { return unreadable_; }

    // Decodes the record at offset; false when it cannot be read (ends a walk). Readers read at
    // offsets and never move a shared position: any number of walks may read one log at once.
    bool ReadNode(int32_t offset, TDirNode& node, std::string& name);
    // The record at offset as stored, after the same checks; why (when given) gets the reason
    // it does not read.
    bool ReadRecord(int32_t offset, TRecordFixed& fixed, std::string& name,
                    std::string* why = nullptr);
    // Full path by the parent links; a root gives its path without the trailing "/" ("/"
    // stays "/"), and its entries are "/data/a" or, below "/", "/a". Never cut; a damaged parent
    // link ends the path where it is.
    std::string GetFullPath(int32_t offset);
    // The record whose full path equals path exactly, or -1 (roots themselves give -1).
    int32_t FindPath(const std::string& path);

    uint32_t ReadTags(int32_t offset);
    void WriteTags(int32_t offset, uint32_t tags);
    bool ToggleTag(int32_t offset, int bit);
    bool SetTag(int32_t offset, int bit);
    bool ClearTag(int32_t offset, int bit);
    void SetTagName(int n, const std::string& name);
    bool GetTagName(int n, std::string& name) const;
    int TagNameCount() const { return static_cast<int>(tagNames_.size()); }
    uint32_t GetTagMask() const;
    void SetTagMask(uint32_t mask);
    bool HasTagList() const { return header_.TagListOffset != 0; }
    TDateTime GetLogDate() const { return header_.LogDate; }
    int64_t GetDeletedTotal() const;
    void AddDeletedTotal(int64_t amount);
    void WriteAttributes(int32_t offset, uint32_t attributes);
    void WriteAllocated(int32_t offset, int64_t value);

    // Deletes the directory tree at offset from the disk, marking its records deleted
    // (core/LogDiskOperations.h).
    TDeleteResult DeleteTree(int32_t offset, const TDeleteOptions& options);
    // Compares the tree at offset with the disk; the handler gets one message per record.
    void VerifyTree(int32_t offset, const TStatusEvent& handler);

    int32_t FirstOffset() const { return firstOffset_; }
    const TLogHeader& Header() const { return header_; }
    TStream& Stream() { return stream_; }
    int64_t StreamSize() { return stream_.Size(); }

private:
    bool ReadFixedAt(int32_t offset, TRecordFixed& fixed);
    void WriteField(int64_t at, const void* bytes, int64_t n);
    // Writes n bytes at field of the record at offset, when a record reads there.
    bool WriteRecordField(int32_t offset, int field, const void* bytes, int64_t n);
    void LinkTagged(int32_t offset);
    void UnlinkTagged(int32_t offset);
    bool ChangeTag(int32_t offset, uint32_t newTags);
    void LoadTagNames();
    void WriteTagNames();
    TFileSystem& Disk();

    TStream& stream_;
    int32_t firstOffset_ = kLogHeaderSize;
    TLogHeader header_;
    bool extendedHeader_ = false;
    std::vector<std::string> tagNames_;
    TStatusEvent onStatus_;
    TMessagePump pump_;
    TFileSystem* fs_ = nullptr;
    std::unique_ptr<TFileSystem> ownFs_;
    TScanOptions scanOptions_;
    bool stopped_ = false;
    std::vector<TUnreadableDirectory> unreadable_;
};

} // namespace vm
