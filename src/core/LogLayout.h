// Where each log format keeps what a reader and a writer in place need: the size of a record's
// fixed part, the lengths a record may have, the positions and widths of the fields changed in
// place (links, tags, attributes, allocated space), and the decoding of a fixed part into the
// record every reader gets. TDirStorage picks the layout when it opens a log; every check, walk
// and writer in place then goes through it, so both formats are read by one path.
#pragma once

#include "core/LogRecord.h"
#include "platform/LocalClock.h"
#include "platform/Stream.h"

#include <cstdint>

namespace vm {

struct TLogLayout
{
    TLogFormat Format;
    int FixedSize;       // bytes of a record's fixed part
    int MaxNameLength;   // bytes of a name, without its NUL
    int MaxRecordLength; // FixedSize + MaxNameLength + 1
    int LinkWidth;       // bytes of an offset: 4 or 8
    int SpaceWidth;      // bytes of Size and Allocated: 6 (six-byte real) or 8
    // Positions in the fixed part.
    int NextOffset, NextSiblingOffset, NextDirOffset, NextTaggedOffset, PrevTaggedOffset,
        Attributes, Tags, Size, Allocated;

    int MinRecordLength() const { return FixedSize + 1; } // an empty name and its NUL
    // Decodes a fixed part of this format; the local date-times come through clock (without a
    // clock an extended record's date-times stay 0; its stored times are there).
    void Decode(const uint8_t* in, TLogRecord& out, TLocalClock* clock) const;
    // An offset, and a size or allocated space, as this format stores them.
    void PutLink(uint8_t* out, int64_t value) const;
    void PutSpace(uint8_t* out, int64_t value) const;
};

const TLogLayout& LayoutOf(TLogFormat format);

// The decoded form of an exact record's fixed part.
TLogRecord RecordOfExact(const TRecordFixed& fixed);

// The format of the log in stream by its first 14 bytes: extended when they are the extended
// signature, exact otherwise (the exact format's reader never insisted on its signature).
TLogFormat DetectLogFormat(TStream& stream);

} // namespace vm
