// TDirCompare: the comparison of two logs of one reference, written as a comparison file (one
// record for every entry of either log, with its space then and now), and the random-access
// reader of such a file, in the exact or the extended format (core/ExtendedCompareFormat.h):
// readers get the same records from both. The object works on a stream that its creator owns and
// frees after it.
#pragma once

#include "core/CompareFormat.h"
#include "core/DirStorage.h"
#include "core/ExtendedCompareFormat.h"
#include "platform/Stream.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// A comparison that cannot be written (a name does not fit a record). Stream errors come as the
// stream's own exceptions.
class ECompareError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Progress of a comparison: the path of the old log's current directory and a stop flag.
using TCompareProgress = std::function<void(const std::string& path, bool& stop)>;

// The order of full paths in a log: name by name along the path, each name compared ASCII
// upper-cased as unsigned bytes (a name before every longer name it begins), the exact bytes
// breaking ties; a path before the paths below it. Returns -1, 0 or 1.
int ComparePathKeys(std::string_view a, std::string_view b);

// How a walk of a comparison in file order ended: Damage is empty when the records ran without a
// gap to the end of the file (or the visitor stopped), else it says where and what was wrong
// (TLogDamage::Text).
struct TCompareWalkEnd
{
    int64_t Offset = kNoOffset;
    std::string Damage;
};
// Called for each record in file order; returns false to stop the walk.
using TCompareVisitor =
    std::function<bool(int64_t offset, const TCompareRecord& record, const std::string& name)>;

class TDirCompare
{
public:
    // Create: binds to the stream, which must outlive this object.
    explicit TDirCompare(TStream& stream);

    void SetProgressHandler(TCompareProgress handler);

    // Writes the whole comparison of the two logs into the stream (emptied first): in the
    // extended format when either log is extended, else in the exact format, and again from the
    // start in the extended format when the exact one would pass its 2 GiB limit. Stream errors
    // propagate; the stream then holds what was written. A stop through the progress handler
    // ends the comparison after the current step (Stopped() tells).
    void CompareLogs(TDirStorage& oldLog, TDirStorage& newLog);
    bool Stopped() const { return stopped_; }
    // True when the last CompareLogs would have passed the exact format's limit and wrote the
    // extended format instead.
    bool PassedExactLimit() const { return passedExactLimit_; }
    // Where an exact comparison ends (its offsets' 2 GiB; tests make it small).
    void SetExactLimit(int64_t limit) { exactLimit_ = limit; }
    // Where a walk of an input log ended on a damaged link (empty when both ended normally).
    const std::string& LogDamage() const { return logDamage_; }

    // The format of the file: extended when it begins with that format's signature (or was
    // written so), exact otherwise. Cached.
    TLogFormat Format();
    // Where the records begin: 14 (exact) or 16 (extended). Level 0 records name it as their
    // parent, and a NextDirOffset naming it ends the directory chain.
    int64_t FirstOffset();
    // The RecordLength word at offset; 0 when no record can start there.
    uint16_t ReadRecordLength(int64_t offset);
    // Decodes the record at offset; false when there is none, its length is bad or it is cut
    // short (the name is then empty), with the reason in why when given (core/CompareChecks.h).
    // Readers end their walk on false.
    bool ReadRecord(int64_t offset, TCompareRecord& record, std::string& name,
                    std::string* why = nullptr);
    // The full path of the record by its parent links (a top-level path without its trailing
    // "/").
    std::string GetFullPath(int64_t offset);
    // The exact format's version digits of the header as a number (102), 0 when they are not
    // digits; an extended comparison's version (1). Cached.
    int GetFileVersion();

    // Checked walks: the link from the record at `from` when a walk may follow it
    // (CompareLinkFault), -1 otherwise.
    int64_t ForwardLink(int64_t from, int64_t link);
    // The first entry of the directory record at offset, -1 when it has none.
    int64_t FirstEntry(int64_t offset, const TCompareRecord& directory);
    int64_t FileSize() { return stream_.Size(); }

private:
    class TLogCursor;

    // Compares the logs into a file of format; false when an exact file would pass its limit.
    bool Merge(TDirStorage& oldLog, TDirStorage& newLog, TLogFormat format);
    void WriteHeader(TLogFormat format);
    void WriteSubtree(TLogCursor& cursor, uint8_t condition);
    void MergeTrees(TLogCursor& oldCursor, TLogCursor& newCursor, bool& stop);
    void WriteMatched(TLogCursor& oldCursor, TLogCursor& newCursor);
    // False when the record would pass the exact format's limit (nothing is written then).
    bool WriteRecord(uint16_t level, TCompareRecord& record, const std::string& name);
    void PatchLink(int64_t recordOffset, int fieldOffset, int64_t value);

    TStream& stream_;
    std::optional<int> version_;
    std::optional<TLogFormat> format_;
    TLocalClock clock_;
    TCompareProgress progress_;
    int64_t exactLimit_ = kMaxLogSize;
    int64_t writePos_ = kCompareFirstOffset;
    std::vector<int64_t> levelOffsets_;   // last record written at each level
    std::vector<int64_t> pendingSibling_; // last record at each level that may get a sibling
    int64_t lastDirOffset_ = kCompareFirstOffset;
    std::vector<uint8_t> recordBuffer_;
    bool stopped_ = false;
    bool full_ = false; // the exact file met its limit: the merge ends
    bool passedExactLimit_ = false;
    std::string logDamage_;
};

// Visits every record from offset 14 along NextOffset, checking each link before following it.
TCompareWalkEnd WalkRecords(TDirCompare& file, const TCompareVisitor& visit);

} // namespace vm
