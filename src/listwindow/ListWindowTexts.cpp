#include "listwindow/ListWindowTexts.h"

#include "compare/CompareTexts.h"
#include "output/SizeText.h"

namespace vm {

std::string ExploreCaption(int logNumber, bool inMemory)
{
    return inMemory ? std::string("Exploring log ") : "Exploring log " + std::to_string(logNumber);
}

std::string ReadOnlyExploreCaption(int logNumber, const std::string& fileName)
{
    return (logNumber > 0 ? ExploreCaption(logNumber, false) : "Exploring " + fileName) +
           kReadOnlySuffix;
}

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

std::string AccumulatorText(int64_t deletedTotal, const TLocale& locale)
{
    if (deletedTotal <= 0)
        return "";
    return "(Deleted " + SizeText(deletedTotal, locale) + ")  ";
}

std::string SelectionText(int64_t directories, int64_t files, int64_t bytes, const TLocale& locale)
{
    std::string text;
    if (directories > 0)
        text = std::to_string(directories) + " directories ";
    if (files > 0)
        text += std::to_string(files) + " files ";
    return text + "selected - " + SizeText(bytes, locale);
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
