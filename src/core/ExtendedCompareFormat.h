// The extended comparison format in one place: its 16-byte header and the 138-byte fixed part of
// a record. Beside the exact format (core/CompareFormat.h), for comparisons of extended logs and
// comparisons that pass 2 GiB: 64-bit offsets, sizes and space as exact 64-bit integers, times as
// Unix seconds and nanoseconds, and each entry's owner, group and mode. The links, their order
// and the rules a reader checks are the exact format's, counted from the first record at 16.
// docs/compare_format.md describes each field.
#pragma once

#include "core/CompareFormat.h"
#include "platform/LocalClock.h"

#include <cstdint>

namespace vm {

constexpr char kExtendedCompareSignature[] = "Volumark XCMP"; // followed by the byte 0x1A
constexpr uint16_t kExtendedCompareVersion = 1;
constexpr int kExtendedCompareHeaderSize = 16; // the signature and the version
constexpr int kExtendedCompareFixedSize = 138;
constexpr int kExtendedCompareMinRecordLength = kExtendedCompareFixedSize + 1;

// Offsets of the fields of a record's fixed part.
namespace xcmp {
constexpr int RecordLength = 0, SelfOffset = 2, Level = 10, ParentOffset = 12, NextOffset = 20,
              NextSiblingOffset = 28, NextDirOffset = 36, Kind = 44, Attributes = 45,
              Condition = 49, NewLogOffset = 50, SizeNow = 58, AllocNow = 66, SizeWas = 74,
              AllocWas = 82, Created = 90, Accessed = 102, Modified = 114, Owner = 126, Group = 130,
              Mode = 134, Name = 138;
}

// True when the first 14 bytes are the extended comparison's signature.
bool IsExtendedCompareSignature(const uint8_t* bytes, int64_t length);
// The 16 bytes of the header.
void EncodeExtendedCompareHeader(uint8_t out[kExtendedCompareHeaderSize]);

// Writes the fixed part of the record that starts at selfOffset and is recordLength bytes long,
// its times from r's stored times (CreatedTime ...).
void EncodeExtendedCompareFixed(const TCompareRecord& r, uint16_t recordLength, int64_t selfOffset,
                                uint8_t out[kExtendedCompareFixedSize]);
// Decodes a fixed part (RecordLength and SelfOffset are not part of the result); the local
// date-times come through clock.
TCompareRecord DecodeExtendedCompareFixed(const uint8_t in[kExtendedCompareFixedSize],
                                          TLocalClock& clock);

} // namespace vm
