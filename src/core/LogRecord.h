// A log's record as every reader gets it, whatever format the log is written in: the two formats,
// a time as a log stores it, and one record decoded. Where each format keeps what is
// core/LogLayout.h; the byte layouts are core/LogFormat.h (exact) and core/ExtendedLogFormat.h.
#pragma once

#include "core/LogFormat.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vm {

enum class TLogFormat : uint8_t
{
    Exact,    // docs/log_format.md: 32-bit offsets (a log ends at 2 GiB), six-byte reals, no owners
    Extended, // the extended format of docs/log_format.md: 64-bit, exact sizes, owners and modes
};

// "exact" or "extended": the names vmlog and Volumark.ini use.
const char* LogFormatName(TLogFormat format);
// The format of a name as LogFormatName gives it, in any letter case; nothing for another text.
std::optional<TLogFormat> LogFormatOfName(std::string_view name);

// The owner or group of an entry whose log does not record one (the id POSIX never gives out).
constexpr uint32_t kNoOwner = 0xFFFFFFFFu;

// One of an entry's three times as its log stores it.
struct TLogTime
{
    // Local: seconds since 1899-12-30 00:00 local time (exact logs keep no offset from UTC).
    // Otherwise seconds since 1970-01-01 00:00 UTC, as the file system gives them.
    int64_t Seconds = 0;
    uint32_t Nanoseconds = 0;
    bool Local = false;
    // False where the log holds no time (an exact log stores 0 for it).
    bool Stored = false;
};

// One record, decoded, whichever format its log is written in. Its own offset is the one the
// caller read it at.
struct TDirNode
{
    uint8_t Kind = kKindDirectory; // 0 directory, 1 file
    uint16_t Level = 0;            // 0 for a root
    uint32_t Attributes = 0;
    TDateTime Created = 0, Accessed = 0, Modified = 0;
    int64_t Size = 0;      // directories: the bytes of everything below
    int64_t Allocated = 0; // directories: the space of everything below plus their own units
    int64_t ParentOffset = kNoOffset;
    int64_t NextOffset = kNoOffset;
    int64_t NextSiblingOffset = kNoOffset;
    int64_t NextDirOffset = kNoOffset;
    int64_t NextTaggedOffset = kNoOffset;
    int64_t PrevTaggedOffset = kNoOffset;
    uint32_t Tags = 0;
    // The owner's user id, the group's id and st_mode (kind and permission bits) where the log
    // records them (TDirStorage::HasOwners); else kNoOwner, kNoOwner and 0.
    uint32_t Owner = kNoOwner, Group = kNoOwner, Mode = 0;
};

// One record as read, with its length and own offset and its times as stored (TDirNode's
// date-times are them in local time; an exact log's six-byte reals are rounded to whole bytes).
struct TLogRecord : TDirNode
{
    uint16_t RecordLength = 0;
    int64_t SelfOffset = kNoOffset;
    TLogTime CreatedTime, AccessedTime, ModifiedTime;
};

} // namespace vm
