#include "core/LogChecks.h"

#include "core/ExtendedLogFormat.h"

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

std::string LinkFault(int64_t from, int64_t to, TLinkDirection direction, int64_t firstOffset,
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

std::string RecordFault(const TLogLayout& layout, int64_t offset, const TLogRecord& record,
                        int64_t fileSize)
{
    if (record.RecordLength < layout.MinRecordLength() ||
        record.RecordLength > layout.MaxRecordLength)
        return "the record has a length of " + std::to_string(record.RecordLength);
    if (offset + static_cast<int64_t>(record.RecordLength) > fileSize)
        return "the record is cut off by the end of the file";
    if (record.SelfOffset != offset)
        return "the record says it is at " + std::to_string(record.SelfOffset);
    return "";
}

bool ReadCheckedRecord(TStream& stream, const TLogLayout& layout, TLocalClock* clock,
                       int64_t firstOffset, int64_t fileSize, int64_t offset, TLogRecord& record,
                       std::string& name, std::string& why)
{
    why = LinkFault(kNoOffset, offset, TLinkDirection::Anywhere, firstOffset, fileSize);
    if (!why.empty()) {
        why = "the record " + why;
        return false;
    }
    // One read takes the fixed part and a name as long as file systems give them; only a longer
    // name (a long root path of an extended log) costs a second read.
    constexpr int64_t kUsualName = 256;
    static_assert(kExtendedMaxRecordLength >= kMaxRecordLength);
    uint8_t b[kExtendedMaxRecordLength];
    int64_t want = std::min<int64_t>(layout.FixedSize + kUsualName, fileSize - offset);
    int64_t got = 0;
    try {
        got = stream.ReadAt(offset, b, want);
        if (got < layout.FixedSize) {
            why = "the record is cut off by the end of the file";
            return false;
        }
        layout.Decode(b, record, clock);
        why = RecordFault(layout, offset, record, fileSize);
        if (!why.empty())
            return false;
        if (record.RecordLength > got)
            got += stream.ReadAt(offset + got, b + got, record.RecordLength - got);
    } catch (const EStreamError& e) {
        why = e.what();
        return false;
    }
    if (got < record.RecordLength) {
        why = "the record is cut off by the end of the file";
        return false;
    }
    const char* text = reinterpret_cast<const char*>(b + layout.FixedSize);
    const size_t room = record.RecordLength - layout.FixedSize;
    name.assign(text, std::find(text, text + room, '\0') - text);
    return true;
}

std::string CheckRecordLinks(const TLogRecord& r, int64_t firstOffset, int64_t fileSize)
{
    struct TLink
    {
        const char* Name;
        int64_t Value;
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
