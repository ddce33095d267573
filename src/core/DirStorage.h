// TDirStorage: one log, worked on directly in its stream. There is no in-memory tree: every read
// decodes one record, every change rewrites a record's fixed part in place, and the links
// between records are the tree. The caller owns the stream and frees it after this object.
#pragma once

#include "core/LogFormat.h"
#include "platform/Stream.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

// One record, decoded. The record's own offset is CurrentOffset() after ReadNode.
struct TDirNode {
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

// Progress of long operations: a status text and a stop flag the handler may set.
using TStatusEvent = std::function<void(const std::string& text, bool& stop)>;
// Lets the user interface process pending messages (called between directories of a scan).
using TMessagePump = std::function<void()>;

class TDirStorage {
public:
    // Create: reads the header (when the stream holds more than 15 bytes) and the tag names.
    explicit TDirStorage(TStream& stream);

    void SetStatusEvent(TStatusEvent handler);
    void SetMessagePump(TMessagePump pump);

    // Writes a complete log into the empty stream: every path (ending with "/") with the
    // allocation unit of the same index (0 when missing or not a number). Stream errors are
    // raised; the file is then incomplete. Refuses (raises) a log that would pass 2 GiB.
    void BuildLog(const std::vector<std::string>& paths, const std::vector<std::string>& units);

    // Decodes the record at offset; false when it cannot be read (ends a walk).
    bool ReadNode(int32_t offset, TDirNode& node, std::string& name);
    // Full path by the parent links; a root gives its path without the trailing "/".
    std::string GetFullPath(int32_t offset);
    // The record whose full path equals path, or -1.
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

    // Deletes the directory tree at offset from the disk, marking its records deleted.
    void DeleteTree(int32_t offset, bool force, bool updateLog, bool missingCountsAsDeleted);
    // Compares the tree at offset with the disk; the handler gets one message per record.
    void VerifyTree(int32_t offset, const TStatusEvent& handler);

    int32_t FirstOffset() const { return firstOffset_; }
    int32_t CurrentOffset() const { return currentOffset_; }
    const TLogHeader& Header() const { return header_; }
    TStream& Stream() { return stream_; }

private:
    TStream& stream_;
    int32_t firstOffset_ = kLogHeaderSize;
    int32_t currentOffset_ = kNoOffset;
    int32_t lastDirOffset_ = kLogHeaderSize;
    TLogHeader header_;
    bool extendedHeader_ = false;
    std::vector<std::string> tagNames_;
    TStatusEvent onStatus_;
    TMessagePump pump_;
};

} // namespace vm
