#include "core/LogLayout.h"

#include "core/Coding.h"
#include "core/ExtendedLogFormat.h"
#include "platform/AsciiCase.h"

namespace vm {

namespace {
const TLogLayout kExactLayout = {
    TLogFormat::Exact,
    kRecordFixedSize,
    kMaxNameLength,
    kMaxRecordLength,
    4,
    6,
    rec::NextOffset,
    rec::NextSiblingOffset,
    rec::NextDirOffset,
    rec::NextTaggedOffset,
    rec::PrevTaggedOffset,
    rec::Attributes,
    rec::Tags,
    rec::Size,
    rec::Allocated,
};
const TLogLayout kExtendedLayout = {
    TLogFormat::Extended,
    kExtendedRecordFixedSize,
    kExtendedMaxNameLength,
    kExtendedMaxRecordLength,
    8,
    8,
    xrec::NextOffset,
    xrec::NextSiblingOffset,
    xrec::NextDirOffset,
    xrec::NextTaggedOffset,
    xrec::PrevTaggedOffset,
    xrec::Attributes,
    xrec::Tags,
    xrec::Size,
    xrec::Allocated,
};

TLogTime ExactTime(int32_t packed)
{
    TLogTime t;
    t.Seconds = UnpackSeconds(packed);
    t.Local = true;
    t.Stored = packed != 0;
    return t;
}
} // namespace

const TLogLayout& LayoutOf(TLogFormat format)
{
    return format == TLogFormat::Extended ? kExtendedLayout : kExactLayout;
}

TLogRecord RecordOfExact(const TRecordFixed& f)
{
    TLogRecord r;
    r.RecordLength = f.RecordLength;
    r.SelfOffset = f.SelfOffset;
    r.Level = f.Level;
    r.ParentOffset = f.ParentOffset;
    r.NextOffset = f.NextOffset;
    r.NextSiblingOffset = f.NextSiblingOffset;
    r.NextDirOffset = f.NextDirOffset;
    r.NextTaggedOffset = f.NextTaggedOffset;
    r.PrevTaggedOffset = f.PrevTaggedOffset;
    r.Kind = f.Kind;
    r.Attributes = f.Attributes;
    r.Tags = f.Tags;
    r.Size = DecodeReal48Rounded(f.Size.data());
    r.Allocated = DecodeReal48Rounded(f.Allocated.data());
    r.CreatedTime = ExactTime(f.Created);
    r.AccessedTime = ExactTime(f.Accessed);
    r.ModifiedTime = ExactTime(f.Modified);
    r.Created = UnpackTime(f.Created);
    r.Accessed = UnpackTime(f.Accessed);
    r.Modified = UnpackTime(f.Modified);
    return r;
}

void TLogLayout::Decode(const uint8_t* in, TLogRecord& out, TLocalClock* clock) const
{
    if (Format == TLogFormat::Extended)
        DecodeExtendedRecord(in, out, clock);
    else
        out = RecordOfExact(TRecordFixed::Decode(in));
}

void TLogLayout::PutLink(uint8_t* out, int64_t value) const
{
    if (LinkWidth == 8)
        PutI64(out, value);
    else
        PutI32(out, static_cast<int32_t>(value));
}

void TLogLayout::PutSpace(uint8_t* out, int64_t value) const
{
    if (SpaceWidth == 8)
        PutI64(out, value);
    else
        EncodeReal48(value, out);
}

TLogFormat DetectLogFormat(TStream& stream)
{
    uint8_t head[kSignatureLength] = {};
    try {
        const int64_t got = stream.ReadAt(0, head, kSignatureLength);
        return IsExtendedLogSignature(head, got) ? TLogFormat::Extended : TLogFormat::Exact;
    } catch (const EStreamError&) {
        return TLogFormat::Exact;
    }
}

const char* LogFormatName(TLogFormat format)
{
    return format == TLogFormat::Extended ? "extended" : "exact";
}

std::optional<TLogFormat> LogFormatOfName(std::string_view name)
{
    for (TLogFormat f : {TLogFormat::Exact, TLogFormat::Extended}) {
        if (SameTextIgnoringCase(name, LogFormatName(f)))
            return f;
    }
    return std::nullopt;
}

} // namespace vm
