#include "core/CompareChecks.h"

namespace vm {

std::string CompareLinkFault(int32_t from, int32_t link, int64_t fileSize)
{
    if (link < kCompareFirstOffset || link >= fileSize)
        return "lies outside the records";
    if (link <= from)
        return "points back";
    return "";
}

std::string CompareRecordFault(int32_t offset, uint16_t length, int64_t fileSize)
{
    if (offset < kCompareFirstOffset || offset >= fileSize)
        return "the record lies outside the records";
    if (length < kCompareMinRecordLength)
        return "the record has a length of " + std::to_string(length);
    if (offset + static_cast<int64_t>(length) > fileSize)
        return "the record is cut off by the end of the file";
    return "";
}

std::string CheckCompareRecordLinks(int32_t at, const TCompareRecord& r, int64_t fileSize)
{
    auto ahead = [&](int32_t v) {
        return v == kNoOffset || CompareLinkFault(at, v, fileSize).empty();
    };
    if (r.Level == 0 ? r.ParentOffset != kCompareFirstOffset
                     : (r.ParentOffset < kCompareFirstOffset || r.ParentOffset >= at))
        return "ParentOffset " + std::to_string(r.ParentOffset) + " is not a record before it";
    if (!ahead(r.NextSiblingOffset))
        return "NextSiblingOffset " + std::to_string(r.NextSiblingOffset) +
               " is not ahead inside the file";
    // The first directory's chain link may name itself: 14 ends the chain.
    if (!ahead(r.NextDirOffset) && r.NextDirOffset != kCompareFirstOffset)
        return "NextDirOffset " + std::to_string(r.NextDirOffset) + " is not ahead inside the file";
    if (r.Kind != kKindDirectory && r.NextDirOffset != kNoOffset)
        return "a file record is in the directory chain";
    if (r.Condition > kConditionBoth)
        return "condition " + std::to_string(r.Condition) + " is none of 0, 1, 2";
    return "";
}

} // namespace vm
