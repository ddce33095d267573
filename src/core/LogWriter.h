// The sink that writes a log (docs/log_format.md), in the exact or the extended format: one
// record per root and entry in the order they come, the sibling, directory-chain and next links
// of earlier records patched as later ones are written, and each directory's size and allocation
// totals patched when it is closed. Every record is written once; a patch rewrites only the link
// or total fields of an earlier record, and nothing is read back, so the stream may be one that
// cannot be read.
#pragma once

#include "core/ExtendedLogFormat.h"
#include "core/LogFormat.h"
#include "core/LogLayout.h"
#include "core/ScanSink.h"
#include "platform/Stream.h"

#include <functional>
#include <vector>

namespace vm {

// An exact log that would pass the offsets its format can hold. A scan that meets it writes the
// log again in the extended format (core/LogScan.h).
class ELogLimit : public EScanError
{
public:
    using EScanError::EScanError;
};

class TLogWriter : public TScanSink
{
public:
    // Empties stream and writes the header of a new exact log dated logDate. The stream must
    // outlive the writer. maxSize: the first byte offset no record may reach (the 2 GiB offset
    // limit; smaller in tests).
    TLogWriter(TStream& stream, TDateTime logDate, int64_t maxSize = kMaxLogSize);
    // The same for a log of the given format; an extended log has no size limit.
    TLogWriter(TStream& stream, TDateTime logDate, TLogFormat format);

    // The clock that dates root records (Now by default).
    void SetClock(std::function<TDateTime()> clock) { clock_ = std::move(clock); }

    // Raise EScanError for a root path or a name longer than the format holds or an entry below
    // level 65535, and ELogLimit for a record that would reach maxSize; stream errors pass
    // through.
    void BeginRoot(const std::string& path, int32_t unit) override;
    void RootFacts(const TFileInfo& self) override;
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

    TLogFormat Format() const { return layout_.Format; }
    // The header as written (exact logs; for an extended log its fields in the exact terms).
    const TLogHeader& Header() const { return header_; }
    // The header of an extended log as written.
    const TExtendedLogHeader& ExtendedHeader() const { return extended_; }
    int64_t LastRecord() const { return lastRecord_; }
    int64_t LastDirOffset() const { return lastDirOffset_; }
    int64_t RecordCount() const { return records_; }
    const std::vector<TUnreadableDirectory>& UnreadableDirectories() const { return unreadable_; }

    // The allocated bytes a log gives an entry in a tree with allocation unit unit.
    static int64_t AllocatedOf(const TFileInfo& info, bool repeatLink, int32_t unit);

private:
    struct TOpenDir
    {
        int64_t Record;
        int64_t StoredSize, StoredAllocated; // as the record holds them now
        int64_t StartSize, StartAllocated;   // what the directory counts for in its parent
        int64_t Size = 0, Allocated = 0;     // of the entries below it so far
    };

    struct TNewRecord;

    void WriteHeader();
    // The fixed part of r in the log's format, at self, length bytes long with its name.
    void EncodeFixed(const TNewRecord& r, int64_t self, uint16_t length, uint8_t* out) const;
    // Writes r and its name behind the records written so far; its offset.
    int64_t WriteRecord(const TNewRecord& r, const std::string& name);
    void PatchOffset(int64_t record, int field, int64_t value);
    void LinkSibling(int64_t record, size_t level);
    void LinkDirectory(int64_t record);
    // A value as the format stores it, read back (exact logs round large sizes).
    int64_t StoredValue(int64_t value) const;

    TStream& stream_;
    const TLogLayout& layout_;
    int64_t maxSize_;
    std::function<TDateTime()> clock_;
    TLogHeader header_;
    TExtendedLogHeader extended_;
    int64_t writePos_;
    int64_t lastRecord_ = kNoOffset;
    int64_t lastDirOffset_;
    int64_t lastRoot_ = kNoOffset;
    int64_t records_ = 0;
    int roots_ = 0;
    int32_t unit_ = 0;
    std::vector<int64_t> levelLast_; // per level: the record whose NextSiblingOffset may follow
    size_t levelsInUse_ = 0;         // levelLast_ from here on is all -1
    std::vector<TOpenDir> open_;
    bool atEnd_ = true; // the stream is positioned at writePos_
    std::vector<TUnreadableDirectory> unreadable_;
};

} // namespace vm
