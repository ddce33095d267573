// The comparison file format in one place: the 14-byte header, the 82-byte fixed part of a
// record and the conditions, shared by the writer and every reader. docs/compare_format.md
// describes each field.
#pragma once

#include "core/Coding.h"
#include "core/LogFormat.h"
#include "core/LogRecord.h"

#include <cstdint>

namespace vm {

constexpr int kCompareHeaderSize = kSignatureLength; // the signature alone
constexpr int32_t kCompareFirstOffset = 14;          // also the ParentOffset of level 0 records
constexpr int kCompareFixedSize = 82;
constexpr int kCompareMinRecordLength = kCompareFixedSize + 1; // an empty name and its NUL
constexpr int kCompareMaxNameLength = 0xFFFF - kCompareMinRecordLength;
// Header characters that hold the version digits ("1.02" gives 102).
constexpr int kCompareVersionChars[3] = {9, 11, 12};
constexpr int kCompareVersionWithoutNewLogOffset = 101; // its NewLogOffset fields read as 0

enum : uint8_t
{
    kConditionAdded = 0,   // only in the new log
    kConditionDeleted = 1, // only in the old log
    kConditionBoth = 2,    // in both logs
};

// Offsets of the fields of a record's fixed part.
namespace cmp {
constexpr int RecordLength = 0, SelfOffset = 2, Level = 6, ParentOffset = 8, NextOffset = 12,
              NextSiblingOffset = 16, NextDirOffset = 20, Kind = 24, Attributes = 25, Created = 29,
              Accessed = 37, Modified = 45, SizeNow = 53, AllocNow = 59, SizeWas = 65,
              AllocWas = 71, Condition = 77, NewLogOffset = 78, Name = 82;
}

// One record as readers get it, whichever format the comparison is written in. Sizes of the
// exact format are its six-byte reals truncated toward zero; offsets are 64-bit.
struct TCompareRecord
{
    uint8_t Kind = kKindDirectory; // 0 directory, 1 file
    uint16_t Level = 0;            // 0 for a top-level path of the reference
    uint32_t Attributes = 0;
    TDateTime Created = 0, Accessed = 0, Modified = 0;
    int64_t SizeNow = 0, AllocNow = 0;
    int64_t ParentOffset = kCompareFirstOffset;
    int64_t NextOffset = kNoOffset;
    int64_t NextSiblingOffset = kNoOffset;
    int64_t NextDirOffset = kNoOffset;
    int64_t NewLogOffset = kNoOffset; // the entry in the new log; -1 for deleted entries
    uint8_t Condition = kConditionBoth;
    int64_t SizeWas = 0, AllocWas = 0;
    // The times as the extended format stores them (Unix seconds and nanoseconds), and the
    // owner, group and mode of the entry where its log records them (else kNoOwner, kNoOwner,
    // 0): the entry in the new log, or in the old one for a deleted entry.
    TLogTime CreatedTime, AccessedTime, ModifiedTime;
    uint32_t Owner = kNoOwner, Group = kNoOwner, Mode = 0;
};

// Writes the fixed part of the record that starts at selfOffset and is recordLength bytes long.
void EncodeCompareFixed(const TCompareRecord& r, uint16_t recordLength, int64_t selfOffset,
                        uint8_t out[kCompareFixedSize]);
// Decodes a fixed part (the RecordLength and SelfOffset fields are not part of the result).
TCompareRecord DecodeCompareFixed(const uint8_t in[kCompareFixedSize]);

} // namespace vm
