// The extended log format in one place: the 64-byte header and the 133-byte fixed part of a
// record that its writer and readers share. Beside the exact format (core/LogFormat.h), for trees
// whose log passes 2 GiB and for administrators who want owners: 64-bit offsets, sizes and
// allocated space as exact 64-bit integers, times as Unix seconds and nanoseconds, and each
// entry's owner, group and mode. docs/log_format.md describes each field.
#pragma once

#include "core/LogRecord.h"
#include "platform/LocalClock.h"

#include <array>
#include <cstdint>

namespace vm {

constexpr char kExtendedLogSignature[] = "Volumark XLOG"; // followed by the byte 0x1A
constexpr uint16_t kExtendedLogVersion = 1;
constexpr int kExtendedLogHeaderSize = 64;
constexpr int kExtendedRecordFixedSize = 133;
constexpr int kExtendedMaxNameLength = 4096; // without the NUL: a root path as Linux allows it
constexpr int kExtendedMaxRecordLength = kExtendedRecordFixedSize + kExtendedMaxNameLength + 1;
// The nanoseconds of a time the log does not hold (real ones are below 10^9).
constexpr uint32_t kNoTimeNanoseconds = 0xFFFFFFFFu;
// Header flags.
constexpr uint32_t kOwnersRecorded = 1; // every entry carries its owner, group and mode

// Offsets of the header fields.
namespace xhdr {
constexpr int Signature = 0, Version = 14, HeaderLength = 16, Flags = 20, LogSeconds = 24,
              LogNanoseconds = 32, TagMask = 36, TagListOffset = 40, DeletedTotal = 48,
              RecordCount = 56;
}
// Offsets of the fields of a record's fixed part.
namespace xrec {
constexpr int RecordLength = 0, SelfOffset = 2, Level = 10, ParentOffset = 12, NextOffset = 20,
              NextSiblingOffset = 28, NextDirOffset = 36, NextTaggedOffset = 44,
              PrevTaggedOffset = 52, Kind = 60, Attributes = 61, Tags = 65, Size = 69,
              Allocated = 77, Created = 85, Accessed = 97, Modified = 109, Owner = 121, Group = 125,
              Mode = 129;
// A time is 8 bytes of seconds and 4 of nanoseconds.
} // namespace xrec

struct TExtendedLogHeader
{
    uint16_t Version = kExtendedLogVersion;
    uint32_t HeaderLength = kExtendedLogHeaderSize; // where the first record lies
    uint32_t Flags = kOwnersRecorded;
    int64_t LogSeconds = 0; // when the scan began: Unix seconds and nanoseconds
    uint32_t LogNanoseconds = 0;
    uint32_t TagMask = 0;
    int64_t TagListOffset = 0; // 0: no tag-name list
    int64_t DeletedTotal = 0;
    int64_t RecordCount = 0; // as the writer counted them; readers use it for progress only

    void Encode(uint8_t out[kExtendedLogHeaderSize]) const;
    static TExtendedLogHeader Decode(const uint8_t in[kExtendedLogHeaderSize]);
};

// True when the first 14 bytes are the extended log's signature.
bool IsExtendedLogSignature(const uint8_t* bytes, int64_t length);

// A time as the extended formats store it, and back (to local date-times through clock).
void PutExtendedTime(uint8_t* out, const TLogTime& time);
TLogTime GetExtendedTime(const uint8_t* in);
TDateTime LocalDateTimeOf(const TLogTime& time, TLocalClock& clock);

// Writes the fixed part of r (its RecordLength and SelfOffset as they are).
void EncodeExtendedRecord(const TLogRecord& r, uint8_t out[kExtendedRecordFixedSize]);
// Decodes a fixed part; the local date-times come through clock (none: they stay 0).
void DecodeExtendedRecord(const uint8_t in[kExtendedRecordFixedSize], TLogRecord& r,
                          TLocalClock* clock);

} // namespace vm
