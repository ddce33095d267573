// The checks every reader of a log applies, in one place beside the formats: when a record reads
// (its length, its place inside the file, its own offset), when a link may be followed, and the
// one value that says where a log is damaged. TDirStorage, the walks (core/LogWalk.h), the
// file-order reader of comparisons (core/LogFileOrder.h) and vmlog use these and nothing else,
// so a damaged log is refused for the same reason, in the same words, wherever it is read and
// whichever format it is written in (core/LogLayout.h).
#pragma once

#include "core/LogLayout.h"
#include "platform/Stream.h"

#include <cstdint>
#include <string>

namespace vm {

// Where a log (or comparison) is damaged: the offset a bad link led to, or of the record that
// does not read; the record whose link led there (-1: where the walk began); and why.
struct TLogDamage
{
    int64_t Offset = kNoOffset;
    int64_t From = kNoOffset;
    std::string Reason; // empty: no damage

    bool Found() const { return !Reason.empty(); }
    // "offset 90, reached from record 106: the link points back"; "" without damage.
    std::string Text() const;
};

enum class TLinkDirection
{
    Forward,  // NextOffset, NextSiblingOffset, NextDirOffset: behind the record they come from
    Backward, // ParentOffset: in front of the record it comes from
    Anywhere, // the tagged chain (a walk ends where it comes back to a record it has visited)
};

// Why the link from the record at `from` to `to` may not be followed, "" when it may: it must lie
// inside the records (at or behind firstOffset, before fileSize) and point the way its kind does.
// from -1 (the start of a walk) makes no demand on the direction. The answer completes a sentence
// about the link: "lies outside the records", "points back", "points forward".
std::string LinkFault(int64_t from, int64_t to, TLinkDirection direction, int64_t firstOffset,
                      int64_t fileSize);

// Why the record of the layout's format whose fixed part was read at offset does not read, ""
// when it does: a length from the layout's shortest to its longest record that ends inside the
// file, and its own offset in SelfOffset.
std::string RecordFault(const TLogLayout& layout, int64_t offset, const TLogRecord& record,
                        int64_t fileSize);

// Reads the record at offset (one positional read, two for a long name) with the checks of
// LinkFault (inside the records) and RecordFault. False with the reason in why when it does not
// read; the name is the stored one up to its NUL. Without a clock an extended log's times are
// not turned into local date-times (the record's date-times are then 0).
bool ReadCheckedRecord(TStream& stream, const TLogLayout& layout, TLocalClock* clock,
                       int64_t firstOffset, int64_t fileSize, int64_t offset, TLogRecord& record,
                       std::string& name, std::string& why);

// The links of one record against the format's rules, without reading their targets: "" when
// they are sound, else the first that is not ("NextOffset 90 points back").
std::string CheckRecordLinks(const TLogRecord& record, int64_t firstOffset, int64_t fileSize);

} // namespace vm
