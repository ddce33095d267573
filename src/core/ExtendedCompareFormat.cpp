#include "core/ExtendedCompareFormat.h"

#include "core/ExtendedLogFormat.h"

#include <cstring>

namespace vm {

bool IsExtendedCompareSignature(const uint8_t* bytes, int64_t length)
{
    return length >= kSignatureLength && std::memcmp(bytes, kExtendedCompareSignature, 13) == 0 &&
           bytes[13] == 0x1A;
}

void EncodeExtendedCompareHeader(uint8_t out[kExtendedCompareHeaderSize])
{
    std::memcpy(out, kExtendedCompareSignature, 13);
    out[13] = 0x1A;
    PutU16(out + 14, kExtendedCompareVersion);
}

void EncodeExtendedCompareFixed(const TCompareRecord& r, uint16_t recordLength, int64_t selfOffset,
                                uint8_t out[kExtendedCompareFixedSize])
{
    PutU16(out + xcmp::RecordLength, recordLength);
    PutI64(out + xcmp::SelfOffset, selfOffset);
    PutU16(out + xcmp::Level, r.Level);
    PutI64(out + xcmp::ParentOffset, r.ParentOffset);
    PutI64(out + xcmp::NextOffset, r.NextOffset);
    PutI64(out + xcmp::NextSiblingOffset, r.NextSiblingOffset);
    PutI64(out + xcmp::NextDirOffset, r.NextDirOffset);
    out[xcmp::Kind] = r.Kind;
    PutU32(out + xcmp::Attributes, r.Attributes);
    out[xcmp::Condition] = r.Condition;
    PutI64(out + xcmp::NewLogOffset, r.NewLogOffset);
    PutI64(out + xcmp::SizeNow, r.SizeNow);
    PutI64(out + xcmp::AllocNow, r.AllocNow);
    PutI64(out + xcmp::SizeWas, r.SizeWas);
    PutI64(out + xcmp::AllocWas, r.AllocWas);
    PutExtendedTime(out + xcmp::Created, r.CreatedTime);
    PutExtendedTime(out + xcmp::Accessed, r.AccessedTime);
    PutExtendedTime(out + xcmp::Modified, r.ModifiedTime);
    PutU32(out + xcmp::Owner, r.Owner);
    PutU32(out + xcmp::Group, r.Group);
    PutU32(out + xcmp::Mode, r.Mode);
}

TCompareRecord DecodeExtendedCompareFixed(const uint8_t in[kExtendedCompareFixedSize],
                                          TLocalClock& clock)
{
    TCompareRecord r;
    r.Level = GetU16(in + xcmp::Level);
    r.ParentOffset = GetI64(in + xcmp::ParentOffset);
    r.NextOffset = GetI64(in + xcmp::NextOffset);
    r.NextSiblingOffset = GetI64(in + xcmp::NextSiblingOffset);
    r.NextDirOffset = GetI64(in + xcmp::NextDirOffset);
    r.Kind = in[xcmp::Kind];
    r.Attributes = GetU32(in + xcmp::Attributes);
    r.Condition = in[xcmp::Condition];
    r.NewLogOffset = GetI64(in + xcmp::NewLogOffset);
    r.SizeNow = GetI64(in + xcmp::SizeNow);
    r.AllocNow = GetI64(in + xcmp::AllocNow);
    r.SizeWas = GetI64(in + xcmp::SizeWas);
    r.AllocWas = GetI64(in + xcmp::AllocWas);
    r.CreatedTime = GetExtendedTime(in + xcmp::Created);
    r.AccessedTime = GetExtendedTime(in + xcmp::Accessed);
    r.ModifiedTime = GetExtendedTime(in + xcmp::Modified);
    r.Created = LocalDateTimeOf(r.CreatedTime, clock);
    r.Accessed = LocalDateTimeOf(r.AccessedTime, clock);
    r.Modified = LocalDateTimeOf(r.ModifiedTime, clock);
    r.Owner = GetU32(in + xcmp::Owner);
    r.Group = GetU32(in + xcmp::Group);
    r.Mode = GetU32(in + xcmp::Mode);
    return r;
}

} // namespace vm
