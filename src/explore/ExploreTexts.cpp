#include "explore/ExploreTexts.h"

#include "output/ListTexts.h"
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

} // namespace vm
