#include "display/DisplayHelpers.h"

#include <bit>

namespace vm {

std::string ListDateText(TDateTime value, const TLocale& locale)
{
    return DateKnown(value) ? locale.DateTimeText(value) : std::string();
}

std::string ZeroPad4(long long number)
{
    std::string digits = std::to_string(number < 0 ? -(number + 1) + 1ULL : number + 0ULL);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return number < 0 ? "-" + digits : digits;
}

std::string ZeroPad8(const std::string& text)
{
    return text.size() >= 8 ? text : std::string(8 - text.size(), '0') + text;
}

TFileNameParts SplitFileName(const std::string& name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {"", name};
    // The base with its dot is name[0..dot]; a lone dot stays, so ".txt" keeps "." as its base.
    std::string base = dot + 1 > 1 ? name.substr(0, dot) : name.substr(0, dot + 1);
    return {base, name.substr(dot + 1)};
}

int TagImageIndex(int32_t tagSet)
{
    if (tagSet == 0)
        return kNoTagImage;
    if (tagSet < 0)
        return kDeletedImage;
    auto bits = static_cast<uint32_t>(tagSet);
    if (bits & (1u << 30))
        return kRubbishBinImage;
    uint32_t low = bits & 0x1FFFF; // bits 0 to 16
    int count = std::popcount(low);
    if (count == 1)
        return std::countr_zero(low);
    return count > 1 ? kManyTagsImage : kNoTagImage;
}

} // namespace vm
