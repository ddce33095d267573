#include "output/ListTexts.h"

#include "output/SizeText.h"

namespace vm {

std::string UniqueCaption(const std::string& base,
                          const std::function<bool(const std::string&)>& exists)
{
    if (!exists(base))
        return base;
    for (int n = 2;; ++n) {
        std::string candidate = base + " (" + std::to_string(n) + ")";
        if (!exists(candidate))
            return candidate;
    }
}

std::string ObjectCountText(int64_t count, bool filterOn)
{
    return std::to_string(count) + (filterOn ? " object(s) match filter" : " Object(s)");
}

std::string SizeTotalsText(int64_t size, int64_t allocated, const TLocale& locale)
{
    return "Size " + SizeText(size, locale) + "    Space taken " + SizeText(allocated, locale);
}

std::string_view ExtensionOf(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return name.substr(dot);
}

std::string_view StemOf(std::string_view name)
{
    return name.substr(0, name.size() - ExtensionOf(name).size());
}

std::string_view TypeExtensionOf(std::string_view name)
{
    auto numeric = [](std::string_view extension) {
        return extension.size() > 1 &&
               extension.find_first_not_of("0123456789", 1) == extension.npos;
    };
    std::string_view stem = name;
    std::string_view extension = ExtensionOf(stem);
    while (numeric(extension)) {
        stem = StemOf(stem);
        const std::string_view earlier = ExtensionOf(stem);
        if (earlier.empty())
            return ExtensionOf(name);
        extension = earlier;
    }
    return extension;
}

std::string DateColumnCaption(TDateType type)
{
    switch (type) {
    case TDateType::Created:
        return "Date created";
    case TDateType::Accessed:
        return "Date accessed";
    case TDateType::Modified:
        break;
    }
    return "Date modified";
}

} // namespace vm
