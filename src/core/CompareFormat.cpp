#include "core/CompareFormat.h"

namespace vm {

void EncodeCompareFixed(const TCompareRecord& r, uint16_t recordLength, int64_t selfOffset,
                        uint8_t out[kCompareFixedSize])
{
    PutU16(out + cmp::RecordLength, recordLength);
    PutI32(out + cmp::SelfOffset, static_cast<int32_t>(selfOffset));
    PutU16(out + cmp::Level, r.Level);
    PutI32(out + cmp::ParentOffset, static_cast<int32_t>(r.ParentOffset));
    PutI32(out + cmp::NextOffset, static_cast<int32_t>(r.NextOffset));
    PutI32(out + cmp::NextSiblingOffset, static_cast<int32_t>(r.NextSiblingOffset));
    PutI32(out + cmp::NextDirOffset, static_cast<int32_t>(r.NextDirOffset));
    out[cmp::Kind] = r.Kind;
    PutU32(out + cmp::Attributes, r.Attributes);
    PutDouble(out + cmp::Created, r.Created);
    PutDouble(out + cmp::Accessed, r.Accessed);
    PutDouble(out + cmp::Modified, r.Modified);
    EncodeReal48(r.SizeNow, out + cmp::SizeNow);
    EncodeReal48(r.AllocNow, out + cmp::AllocNow);
    // Most entries of a comparison have not changed: their "was" bytes are their "now" bytes.
    if (r.SizeWas == r.SizeNow && r.AllocWas == r.AllocNow)
        std::memcpy(out + cmp::SizeWas, out + cmp::SizeNow, 12);
    else {
        EncodeReal48(r.SizeWas, out + cmp::SizeWas);
        EncodeReal48(r.AllocWas, out + cmp::AllocWas);
    }
    out[cmp::Condition] = r.Condition;
    PutI32(out + cmp::NewLogOffset, static_cast<int32_t>(r.NewLogOffset));
}

TCompareRecord DecodeCompareFixed(const uint8_t in[kCompareFixedSize])
{
    TCompareRecord r;
    r.Level = GetU16(in + cmp::Level);
    r.ParentOffset = GetI32(in + cmp::ParentOffset);
    r.NextOffset = GetI32(in + cmp::NextOffset);
    r.NextSiblingOffset = GetI32(in + cmp::NextSiblingOffset);
    r.NextDirOffset = GetI32(in + cmp::NextDirOffset);
    r.Kind = in[cmp::Kind];
    r.Attributes = GetU32(in + cmp::Attributes);
    r.Created = GetDouble(in + cmp::Created);
    r.Accessed = GetDouble(in + cmp::Accessed);
    r.Modified = GetDouble(in + cmp::Modified);
    r.SizeNow = DecodeReal48Truncated(in + cmp::SizeNow);
    r.AllocNow = DecodeReal48Truncated(in + cmp::AllocNow);
    r.SizeWas = DecodeReal48Truncated(in + cmp::SizeWas);
    r.AllocWas = DecodeReal48Truncated(in + cmp::AllocWas);
    r.Condition = in[cmp::Condition];
    r.NewLogOffset = GetI32(in + cmp::NewLogOffset);
    return r;
}

} // namespace vm
