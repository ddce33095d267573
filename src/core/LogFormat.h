// The log file format in one place: the 40-byte header, the 65-byte fixed part of a record and
// the constants that the writer and every reader share. docs/log_format.md describes each field.
#pragma once

#include "core/Coding.h"
#include "platform/FileAttributes.h"

#include <array>
#include <cstdint>
#include <string>

namespace vm {

constexpr char kSignature[] = "Volumark 1.02"; // followed by the byte 0x1A
constexpr int kSignatureLength = 14;           // the 13 characters and 0x1A
constexpr int kLogHeaderSize = 40;
constexpr int kLogHeaderBase = 16; // signature and extension length; the rest is the extension
constexpr uint16_t kLogExtensionLength = 24;
constexpr int kRecordFixedSize = 65;
constexpr int kMaxNameLength = 259;                                     // without the NUL
constexpr int kMaxRecordLength = kRecordFixedSize + kMaxNameLength + 1; // 325
constexpr int32_t kNoOffset = -1;
constexpr int64_t kMaxLogSize = 0x7FFFFFFF; // offsets are 32-bit signed

constexpr uint32_t kTagDeleted = 0x80000000u;    // bit 31: deleted from the disk after logging
constexpr uint32_t kTagRubbishBin = 0x40000000u; // bit 30
constexpr int kUserTagCount = 11;                // bits 0 to 10

enum : uint8_t
{
    kKindDirectory = 0,
    kKindFile = 1
};

// Offsets of the header fields.
namespace hdr {
constexpr int Signature = 0, ExtensionLength = 14, LogDate = 16, TagListOffset = 24, TagMask = 28,
              DeletedTotal = 32;
}
// Offsets of the fields of a record's fixed part.
namespace rec {
constexpr int RecordLength = 0, SelfOffset = 2, Level = 6, ParentOffset = 8, NextOffset = 12,
              NextSiblingOffset = 16, NextDirOffset = 20, NextTaggedOffset = 24,
              PrevTaggedOffset = 28, Kind = 32, Attributes = 33, Created = 37, Accessed = 41,
              Modified = 45, Size = 49, Allocated = 55, Tags = 61;
}

struct TLogHeader
{
    std::array<uint8_t, kSignatureLength> Signature{};
    uint16_t ExtensionLength = 0;
    TDateTime LogDate = 0;
    int64_t TagListOffset = 0; // stored in 32 bits
    uint32_t TagMask = 0;
    int64_t DeletedTotal = 0;

    // A header as a new log gets it.
    static TLogHeader New(TDateTime logDate);
    void Encode(uint8_t out[kLogHeaderSize]) const;
    static TLogHeader Decode(const uint8_t in[kLogHeaderSize]);
};

// The fixed part of a record, field by field as stored (dates packed, sizes as six-byte reals).
struct TRecordFixed
{
    uint16_t RecordLength = 0;
    int32_t SelfOffset = kNoOffset;
    uint16_t Level = 0;
    int32_t ParentOffset = kNoOffset;
    int32_t NextOffset = kNoOffset;
    int32_t NextSiblingOffset = kNoOffset;
    int32_t NextDirOffset = kNoOffset;
    int32_t NextTaggedOffset = kNoOffset;
    int32_t PrevTaggedOffset = kNoOffset;
    uint8_t Kind = kKindDirectory;
    uint32_t Attributes = 0;
    int32_t Created = 0, Accessed = 0, Modified = 0; // packed times
    std::array<uint8_t, 6> Size{}, Allocated{};      // six-byte reals
    uint32_t Tags = 0;

    void Encode(uint8_t out[kRecordFixedSize]) const;
    static TRecordFixed Decode(const uint8_t in[kRecordFixedSize]);
};

} // namespace vm
