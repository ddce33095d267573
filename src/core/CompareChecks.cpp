#include "core/CompareChecks.h"

namespace vm {

std::string CompareLinkFault(int64_t from, int64_t link, int64_t fileSize, int64_t firstOffset)
{
    if (link < firstOffset || link >= fileSize)
        return "lies outside the records";
    if (link <= from)
        return "points back";
    return "";
}

std::string CompareRecordFault(int64_t offset, uint16_t length, int64_t fileSize,
                               int64_t firstOffset, int minLength)
{
    if (offset < firstOffset || offset >= fileSize)
        return "the record lies outside the records";
    if (length < minLength)
        return "the record has a length of " + std::to_string(length);
    if (offset + static_cast<int64_t>(length) > fileSize)
        return "the record is cut off by the end of the file";
    return "";
}

std::string CheckCompareRecordLinks(int64_t at, const TCompareRecord& r, int64_t fileSize,
                                    int64_t firstOffset)
{
    auto ahead = [&](int64_t v) {
        return v == kNoOffset || CompareLinkFault(at, v, fileSize, firstOffset).empty();
    };
    if (r.Level == 0 ? r.ParentOffset != firstOffset
                     : (r.ParentOffset < firstOffset || r.ParentOffset >= at))
        return "ParentOffset " + std::to_string(r.ParentOffset) + " is not a record before it";
    if (!ahead(r.NextSiblingOffset))
        return "NextSiblingOffset " + std::to_string(r.NextSiblingOffset) +
               " is not ahead inside the file";
    // The first directory's chain link may name itself: 14 ends the chain.
    if (!ahead(r.NextDirOffset) && r.NextDirOffset != firstOffset)
        return "NextDirOffset " + std::to_string(r.NextDirOffset) + " is not ahead inside the file";
    if (r.Kind != kKindDirectory && r.NextDirOffset != kNoOffset)
        return "a file record is in the directory chain";
    if (r.Condition > kConditionBoth)
        return "condition " + std::to_string(r.Condition) + " is none of 0, 1, 2";
    return "";
}

} // namespace vm
