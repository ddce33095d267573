// A log's records in file order, read from large blocks of its stream: the walk a comparison makes
// over two whole logs, at the cost of one read per block instead of a seek and two reads per
// record. The same walk along the directory chain builds a log's directory tree in one pass.
// Every record and every link followed must pass the checks every log reader applies
// (core/LogChecks.h), so a damaged log ends the walk with the same damage TLogWalk::AllRecords
// reports, instead of looping or reading out of bounds.
//
// The log and its stream must outlive the walk; other reads of the log may come between two Next
// calls (blocks are read at their offsets).
#pragma once

#include "core/DirStorage.h"
#include "core/LogChecks.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TLogFileOrder
{
public:
    enum class TFollow
    {
        NextOffset,   // every record
        NextDirOffset // the directory chain: directories only, each a record of kind 0
    };
    enum class TTimes
    {
        Local,     // records come with their times as local date-times too
        StoredOnly // an extended log's records come with their stored times alone (their
                   // date-times 0): for readers that need none, as comparisons and exports
    };
    explicit TLogFileOrder(TDirStorage& log, size_t blockSize = 1 << 20,
                           TFollow follow = TFollow::NextOffset, TTimes times = TTimes::Local);

    // The next record; false at the end of the records or at the first fault. The name stays
    // valid until the next call.
    bool Next(TLogRecord& record, std::string_view& name);
    // The offset of the record Next gave last.
    int64_t Offset() const { return offset_; }
    // Goes on from the record at offset as from a first record: the comparison takes each
    // top-level path's tree in turn, in its own order. A caller that starts at a record twice
    // walks its records twice. The damage found so far stays.
    void StartAt(int64_t offset);
    // Where and why the walk ended early; nothing found when it ended at a NextOffset of -1 (or
    // has not ended).
    const TLogDamage& Damage() const { return damage_; }

private:
    bool Fail(std::string why);
    // Makes the bytes [at, at + n) available in the block; false when the file ends first.
    bool Load(int64_t at, int64_t n);

    TStream& stream_;
    const TLogLayout& layout_;
    TLocalClock* clock_; // nullptr: no local date-times
    int64_t firstOffset_;
    int64_t size_;
    size_t blockSize_;
    TFollow follow_;
    std::vector<uint8_t> block_;
    int64_t blockStart_ = 0, blockLength_ = 0;
    int64_t next_;
    int64_t offset_ = kNoOffset;
    TLogDamage damage_;
};

} // namespace vm
