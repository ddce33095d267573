// The sink that writes a log (docs/log_format.md): one record per root and entry in the order they
// come, the sibling, directory-chain and next links of earlier records patched as later ones are
// written, and each directory's size and allocation totals patched when it is closed. Every
// record is written once; a patch rewrites only the link or total fields of an earlier record,
// and nothing is read back, so the stream may be one that cannot be read.
#pragma once

#include "core/LogFormat.h"
#include "core/ScanSink.h"
#include "platform/Stream.h"

#include <functional>
#include <vector>

namespace vm {

class TLogWriter : public TScanSink
{
public:
    // Empties stream and writes the header of a new log dated logDate. The stream must outlive
    // the writer. maxSize: the first byte offset no record may reach (the 2 GiB offset limit;
    // smaller in tests).
    TLogWriter(TStream& stream, TDateTime logDate, int64_t maxSize = kMaxLogSize);

    // The clock that dates root records (Now by default).
    void SetClock(std::function<TDateTime()> clock) { clock_ = std::move(clock); }

    // Raise EScanError for a root path longer than 259 bytes, an entry below level 65535, or a
    // record that would reach maxSize; stream errors pass through.
    void BeginRoot(const std::string& path, int32_t unit) override;
    void Entry(const TFileInfo& info, bool repeatLink) override;
    void EndDirectory() override;
    // Kept for the caller: the log holds such a directory with what could be read.
    void Unreadable(const std::string& path, int error) override
    {
        unreadable_.push_back({path, error});
    }

    // Ends the log: the last record's NextOffset becomes -1, the header gets its tag-list offset
    // (the size of the log), and the stream is flushed so that a full disk is reported here.
    void Finish();

    const TLogHeader& Header() const { return header_; }
    int32_t LastRecord() const { return lastRecord_; }
    int32_t LastDirOffset() const { return lastDirOffset_; }
    int64_t RecordCount() const { return records_; }
    const std::vector<TUnreadableDirectory>& UnreadableDirectories() const { return unreadable_; }

    // The allocated bytes a log gives an entry in a tree with allocation unit unit.
    static int64_t AllocatedOf(const TFileInfo& info, bool repeatLink, int32_t unit);

private:
    struct TOpenDir
    {
        int32_t Record;
        int64_t StoredSize, StoredAllocated; // as the record holds them now
        int64_t StartSize, StartAllocated;   // what the directory counts for in its parent
        int64_t Size = 0, Allocated = 0;     // of the entries below it so far
    };

    int32_t WriteRecord(TRecordFixed& fixed, const std::string& name);
    void PatchOffset(int32_t record, int field, int32_t value);
    void LinkSibling(int32_t record, size_t level);
    void LinkDirectory(int32_t record);

    TStream& stream_;
    int64_t maxSize_;
    std::function<TDateTime()> clock_;
    TLogHeader header_;
    int64_t writePos_ = kLogHeaderSize;
    int32_t lastRecord_ = kNoOffset;
    int32_t lastDirOffset_ = kLogHeaderSize;
    int64_t records_ = 0;
    int roots_ = 0;
    int32_t unit_ = 0;
    std::vector<int32_t> levelLast_; // per level: the record whose NextSiblingOffset may follow
    size_t levelsInUse_ = 0;         // levelLast_ from here on is all -1
    std::vector<TOpenDir> open_;
    bool atEnd_ = true; // the stream is positioned at writePos_
    std::vector<TUnreadableDirectory> unreadable_;
};

} // namespace vm
