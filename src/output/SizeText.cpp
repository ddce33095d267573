#include "output/SizeText.h"

namespace vm {

std::string SizeText(int64_t value, const TLocale& locale)
{
    constexpr uint64_t kMiB = 0x100000, kGiB = 0x40000000;
    // The magnitude is taken unsigned, so the most negative count has one too.
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string sign = value < 0 ? "-" : "";
    if (magnitude < kMiB)
        return sign + std::to_string((magnitude + 1023) / 1024) + " KB";
    if (magnitude < kGiB)
        return sign + locale.FormatFixed(double(magnitude) / double(kMiB), 2) + " MB";
    return sign + locale.FormatFixed(double(magnitude) / double(kGiB), 2) + " GB";
}

} // namespace vm
