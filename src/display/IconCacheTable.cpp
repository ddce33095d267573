#include "display/IconCacheTable.h"
#include "platform/AsciiCase.h"

#include <algorithm>
#include <array>

namespace vm {

bool TIconCacheTable::NeverCached(const std::string& upperExtension)
{
    // Programs, shortcuts and icon files carry icons of their own, so two of them seldom look
    // alike: each one gets a fresh image.
    static constexpr std::array<const char*, 6> kOwnIcons = {".EXE", ".BAT", ".PIF",
                                                             ".COM", ".ICO", ".MCC"};
    return std::any_of(kOwnIcons.begin(), kOwnIcons.end(),
                       [&](const char* e) { return upperExtension == e; });
}

std::string TIconCacheTable::UpperExtension(const std::string& extension)
{
    return AsciiUpperCase(extension);
}

int TIconCacheTable::GetImageIndex(const std::string& extension, int imageCount) const
{
    const std::string upper = UpperExtension(extension);
    if (NeverCached(upper))
        return imageCount;
    const int last = std::min(imageCount, int(rows_.size()) - 1);
    for (int i = 0; i <= last; ++i)
        if (!rows_[size_t(i)].Extension.empty() && rows_[size_t(i)].Extension == upper)
            return i;
    return imageCount;
}

void TIconCacheTable::SetRow(int index, const std::string& extension, const std::string& typeText)
{
    if (index < 0)
        return;
    if (size_t(index) >= rows_.size())
        rows_.resize(size_t(index) + 1);
    rows_[size_t(index)] = {UpperExtension(extension), std::to_string(index), typeText};
}

const TIconCacheTable::TRow* TIconCacheTable::Row(int index) const
{
    if (index < 0 || size_t(index) >= rows_.size() || rows_[size_t(index)].Index.empty())
        return nullptr;
    return &rows_[size_t(index)];
}

} // namespace vm
