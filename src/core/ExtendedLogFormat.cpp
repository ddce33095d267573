#include "core/ExtendedLogFormat.h"

#include "core/Coding.h"

#include <cstring>

namespace vm {

void TExtendedLogHeader::Encode(uint8_t out[kExtendedLogHeaderSize]) const
{
    std::memset(out, 0, kExtendedLogHeaderSize);
    std::memcpy(out + xhdr::Signature, kExtendedLogSignature, 13);
    out[13] = 0x1A;
    PutU16(out + xhdr::Version, Version);
    PutU32(out + xhdr::HeaderLength, HeaderLength);
    PutU32(out + xhdr::Flags, Flags);
    PutI64(out + xhdr::LogSeconds, LogSeconds);
    PutU32(out + xhdr::LogNanoseconds, LogNanoseconds);
    PutU32(out + xhdr::TagMask, TagMask);
    PutI64(out + xhdr::TagListOffset, TagListOffset);
    PutI64(out + xhdr::DeletedTotal, DeletedTotal);
    PutI64(out + xhdr::RecordCount, RecordCount);
}

TExtendedLogHeader TExtendedLogHeader::Decode(const uint8_t in[kExtendedLogHeaderSize])
{
    TExtendedLogHeader h;
    h.Version = GetU16(in + xhdr::Version);
    h.HeaderLength = GetU32(in + xhdr::HeaderLength);
    h.Flags = GetU32(in + xhdr::Flags);
    h.LogSeconds = GetI64(in + xhdr::LogSeconds);
    h.LogNanoseconds = GetU32(in + xhdr::LogNanoseconds);
    h.TagMask = GetU32(in + xhdr::TagMask);
    h.TagListOffset = GetI64(in + xhdr::TagListOffset);
    h.DeletedTotal = GetI64(in + xhdr::DeletedTotal);
    h.RecordCount = GetI64(in + xhdr::RecordCount);
    return h;
}

bool IsExtendedLogSignature(const uint8_t* bytes, int64_t length)
{
    return length >= kSignatureLength && std::memcmp(bytes, kExtendedLogSignature, 13) == 0 &&
           bytes[13] == 0x1A;
}

void PutExtendedTime(uint8_t* out, const TLogTime& time)
{
    PutI64(out, time.Stored ? time.Seconds : 0);
    PutU32(out + 8, time.Stored ? time.Nanoseconds : kNoTimeNanoseconds);
}

TLogTime GetExtendedTime(const uint8_t* in)
{
    TLogTime t;
    t.Seconds = GetI64(in);
    t.Nanoseconds = GetU32(in + 8);
    t.Stored = t.Nanoseconds != kNoTimeNanoseconds;
    if (!t.Stored)
        t.Nanoseconds = 0;
    return t;
}

TDateTime LocalDateTimeOf(const TLogTime& time, TLocalClock& clock)
{
    if (time.Local)
        return static_cast<double>(time.Seconds) / kSecondsPerDay;
    if (!time.Stored)
        return 0;
    return kUnixEpochDays +
           (static_cast<double>(clock.LocalSeconds(time.Seconds)) + time.Nanoseconds / 1e9) /
               kSecondsPerDay;
}

void EncodeExtendedRecord(const TLogRecord& r, uint8_t out[kExtendedRecordFixedSize])
{
    PutU16(out + xrec::RecordLength, r.RecordLength);
    PutI64(out + xrec::SelfOffset, r.SelfOffset);
    PutU16(out + xrec::Level, r.Level);
    PutI64(out + xrec::ParentOffset, r.ParentOffset);
    PutI64(out + xrec::NextOffset, r.NextOffset);
    PutI64(out + xrec::NextSiblingOffset, r.NextSiblingOffset);
    PutI64(out + xrec::NextDirOffset, r.NextDirOffset);
    PutI64(out + xrec::NextTaggedOffset, r.NextTaggedOffset);
    PutI64(out + xrec::PrevTaggedOffset, r.PrevTaggedOffset);
    out[xrec::Kind] = r.Kind;
    PutU32(out + xrec::Attributes, r.Attributes);
    PutU32(out + xrec::Tags, r.Tags);
    PutI64(out + xrec::Size, r.Size);
    PutI64(out + xrec::Allocated, r.Allocated);
    PutExtendedTime(out + xrec::Created, r.CreatedTime);
    PutExtendedTime(out + xrec::Accessed, r.AccessedTime);
    PutExtendedTime(out + xrec::Modified, r.ModifiedTime);
    PutU32(out + xrec::Owner, r.Owner);
    PutU32(out + xrec::Group, r.Group);
    PutU32(out + xrec::Mode, r.Mode);
}

void DecodeExtendedRecord(const uint8_t in[kExtendedRecordFixedSize], TLogRecord& r,
                          TLocalClock* clock)
{
    r.RecordLength = GetU16(in + xrec::RecordLength);
    r.SelfOffset = GetI64(in + xrec::SelfOffset);
    r.Level = GetU16(in + xrec::Level);
    r.ParentOffset = GetI64(in + xrec::ParentOffset);
    r.NextOffset = GetI64(in + xrec::NextOffset);
    r.NextSiblingOffset = GetI64(in + xrec::NextSiblingOffset);
    r.NextDirOffset = GetI64(in + xrec::NextDirOffset);
    r.NextTaggedOffset = GetI64(in + xrec::NextTaggedOffset);
    r.PrevTaggedOffset = GetI64(in + xrec::PrevTaggedOffset);
    r.Kind = in[xrec::Kind];
    r.Attributes = GetU32(in + xrec::Attributes);
    r.Tags = GetU32(in + xrec::Tags);
    r.Size = GetI64(in + xrec::Size);
    r.Allocated = GetI64(in + xrec::Allocated);
    r.CreatedTime = GetExtendedTime(in + xrec::Created);
    r.AccessedTime = GetExtendedTime(in + xrec::Accessed);
    r.ModifiedTime = GetExtendedTime(in + xrec::Modified);
    if (clock) {
        r.Created = LocalDateTimeOf(r.CreatedTime, *clock);
        r.Accessed = LocalDateTimeOf(r.AccessedTime, *clock);
        r.Modified = LocalDateTimeOf(r.ModifiedTime, *clock);
    } else {
        r.Created = r.Accessed = r.Modified = 0;
    }
    r.Owner = GetU32(in + xrec::Owner);
    r.Group = GetU32(in + xrec::Group);
    r.Mode = GetU32(in + xrec::Mode);
}

} // namespace vm
