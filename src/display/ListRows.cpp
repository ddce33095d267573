#include "display/ListRows.h"

#include "output/ListTexts.h"

namespace vm {

std::string_view RowCaption(std::string_view name, uint8_t kind, bool showExtensions)
{
    return kind == kRowFile && !showExtensions ? StemOf(name) : name;
}

std::string RowDirectoryText(const TDirTree& tree, std::string_view name, uint8_t kind,
                             int64_t offset, int64_t dirOffset)
{
    if (kind == kRowPath || dirOffset == offset) {
        std::string path(name);
        if (path.empty() || path.back() != '/')
            path += '/';
        return path;
    }
    const int node = tree.FindOffset(dirOffset);
    return node < 0 ? std::string() : tree.PathOf(node);
}

std::string RowTypeExtension(std::string_view name)
{
    std::string_view extension = TypeExtensionOf(name);
    return extension.empty() ? std::string(".") : std::string(extension);
}

std::string RowTypeText(uint8_t kind, std::string_view name, const TFileTypeLookup& types)
{
    if (kind == kRowPath)
        return "Path";
    if (kind == kRowFolder)
        return "File folder";
    return types ? types(RowTypeExtension(name)) : std::string();
}

} // namespace vm
