#include "core/LogFormat.h"

namespace vm {

TLogHeader TLogHeader::New(TDateTime logDate)
{
    TLogHeader h;
    std::memcpy(h.Signature.data(), kSignature, 13);
    h.Signature[13] = 0x1A;
    h.ExtensionLength = kLogExtensionLength;
    h.LogDate = logDate;
    return h;
}

void TLogHeader::Encode(uint8_t out[kLogHeaderSize]) const
{
    std::memcpy(out + hdr::Signature, Signature.data(), kSignatureLength);
    PutU16(out + hdr::ExtensionLength, ExtensionLength);
    PutDouble(out + hdr::LogDate, LogDate);
    PutI32(out + hdr::TagListOffset, static_cast<int32_t>(TagListOffset));
    PutU32(out + hdr::TagMask, TagMask);
    PutI64(out + hdr::DeletedTotal, DeletedTotal);
}

TLogHeader TLogHeader::Decode(const uint8_t in[kLogHeaderSize])
{
    TLogHeader h;
    std::memcpy(h.Signature.data(), in + hdr::Signature, kSignatureLength);
    h.ExtensionLength = GetU16(in + hdr::ExtensionLength);
    h.LogDate = GetDouble(in + hdr::LogDate);
    h.TagListOffset = GetI32(in + hdr::TagListOffset);
    h.TagMask = GetU32(in + hdr::TagMask);
    h.DeletedTotal = GetI64(in + hdr::DeletedTotal);
    return h;
}

void TRecordFixed::Encode(uint8_t out[kRecordFixedSize]) const
{
    PutU16(out + rec::RecordLength, RecordLength);
    PutI32(out + rec::SelfOffset, SelfOffset);
    PutU16(out + rec::Level, Level);
    PutI32(out + rec::ParentOffset, ParentOffset);
    PutI32(out + rec::NextOffset, NextOffset);
    PutI32(out + rec::NextSiblingOffset, NextSiblingOffset);
    PutI32(out + rec::NextDirOffset, NextDirOffset);
    PutI32(out + rec::NextTaggedOffset, NextTaggedOffset);
    PutI32(out + rec::PrevTaggedOffset, PrevTaggedOffset);
    out[rec::Kind] = Kind;
    PutU32(out + rec::Attributes, Attributes);
    PutI32(out + rec::Created, Created);
    PutI32(out + rec::Accessed, Accessed);
    PutI32(out + rec::Modified, Modified);
    std::memcpy(out + rec::Size, Size.data(), 6);
    std::memcpy(out + rec::Allocated, Allocated.data(), 6);
    PutU32(out + rec::Tags, Tags);
}

TRecordFixed TRecordFixed::Decode(const uint8_t in[kRecordFixedSize])
{
    TRecordFixed r;
    r.RecordLength = GetU16(in + rec::RecordLength);
    r.SelfOffset = GetI32(in + rec::SelfOffset);
    r.Level = GetU16(in + rec::Level);
    r.ParentOffset = GetI32(in + rec::ParentOffset);
    r.NextOffset = GetI32(in + rec::NextOffset);
    r.NextSiblingOffset = GetI32(in + rec::NextSiblingOffset);
    r.NextDirOffset = GetI32(in + rec::NextDirOffset);
    r.NextTaggedOffset = GetI32(in + rec::NextTaggedOffset);
    r.PrevTaggedOffset = GetI32(in + rec::PrevTaggedOffset);
    r.Kind = in[rec::Kind];
    r.Attributes = GetU32(in + rec::Attributes);
    r.Created = GetI32(in + rec::Created);
    r.Accessed = GetI32(in + rec::Accessed);
    r.Modified = GetI32(in + rec::Modified);
    std::memcpy(r.Size.data(), in + rec::Size, 6);
    std::memcpy(r.Allocated.data(), in + rec::Allocated, 6);
    r.Tags = GetU32(in + rec::Tags);
    return r;
}

} // namespace vm
