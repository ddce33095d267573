#include "core/LogChecks.h"

#include <algorithm>

namespace vm {

std::string TLogDamage::Text() const
{
    if (!Found())
        return "";
    return "offset " + std::to_string(Offset) + ", reached from " +
           (From == kNoOffset ? std::string("the start") : "record " + std::to_string(From)) +
           ": " + Reason;
}

std::string LinkFault(int32_t from, int32_t to, TLinkDirection direction, int32_t firstOffset,
                      int64_t fileSize)
{
    if (to < firstOffset || to >= fileSize)
        return "lies outside the records";
    if (from == kNoOffset)
        return "";
    if (direction == TLinkDirection::Forward && to <= from)
        return "points back";
    if (direction == TLinkDirection::Backward && to >= from)
        return "points forward";
    return "";
}

std::string RecordFault(int32_t offset, const TRecordFixed& fixed, int64_t fileSize)
{
    if (fixed.RecordLength <= kRecordFixedSize || fixed.RecordLength > kMaxRecordLength)
        return "the record has a length of " + std::to_string(fixed.RecordLength);
    if (offset + static_cast<int64_t>(fixed.RecordLength) > fileSize)
        return "the record is cut off by the end of the file";
    if (fixed.SelfOffset != offset)
        return "the record says it is at " + std::to_string(fixed.SelfOffset);
    return "";
}

bool ReadCheckedRecord(TStream& stream, int32_t firstOffset, int64_t fileSize, int32_t offset,
                       TRecordFixed& fixed, std::string& name, std::string& why)
{
    why = LinkFault(kNoOffset, offset, TLinkDirection::Anywhere, firstOffset, fileSize);
    if (!why.empty()) {
        why = "the record " + why;
        return false;
    }
    uint8_t b[kMaxRecordLength];
    int64_t want = std::min<int64_t>(kMaxRecordLength, fileSize - offset);
    int64_t got = 0;
    try {
        got = stream.ReadAt(offset, b, want);
    } catch (const EStreamError& e) {
        why = e.what();
        return false;
    }
    if (got < kRecordFixedSize) {
        why = "the record is cut off by the end of the file";
        return false;
    }
    fixed = TRecordFixed::Decode(b);
    why = RecordFault(offset, fixed, offset + got);
    if (!why.empty())
        return false;
    const char* text = reinterpret_cast<const char*>(b + kRecordFixedSize);
    const size_t room = fixed.RecordLength - kRecordFixedSize;
    name.assign(text, std::find(text, text + room, '\0') - text);
    return true;
}

std::string CheckRecordLinks(const TRecordFixed& r, int32_t firstOffset, int64_t fileSize)
{
    struct TLink
    {
        const char* Name;
        int32_t Value;
        TLinkDirection Direction;
    } links[] = {
        {"ParentOffset", r.ParentOffset, TLinkDirection::Backward},
        {"NextOffset", r.NextOffset, TLinkDirection::Forward},
        {"NextSiblingOffset", r.NextSiblingOffset, TLinkDirection::Forward},
        {"NextDirOffset", r.NextDirOffset, TLinkDirection::Forward},
        {"NextTaggedOffset", r.NextTaggedOffset, TLinkDirection::Anywhere},
        {"PrevTaggedOffset", r.PrevTaggedOffset, TLinkDirection::Anywhere},
    };
    for (const TLink& l : links) {
        if (l.Value == kNoOffset)
            continue;
        std::string fault = LinkFault(r.SelfOffset, l.Value, l.Direction, firstOffset, fileSize);
        if (!fault.empty())
            return std::string(l.Name) + " " + std::to_string(l.Value) + " " + fault;
    }
    if (r.Level > 0 && r.ParentOffset == kNoOffset)
        return "a record at level " + std::to_string(r.Level) + " without a parent";
    if (r.Level == 0 && r.ParentOffset != kNoOffset)
        return "a root with a parent";
    if (r.Kind == kKindFile && r.NextDirOffset != kNoOffset)
        return "a file record in the directory chain";
    if ((r.NextTaggedOffset == kNoOffset) != (r.PrevTaggedOffset == kNoOffset))
        return "only one tagged link set";
    return "";
}

} // namespace vm
