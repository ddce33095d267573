#include "display/QtIconCache.h"

namespace vm {

TIconCache::TIconCache(TImageList& smallImages, TFileTypes& fileTypes)
    : images_(smallImages), types_(fileTypes)
{
}

int TIconCache::GetImageIndex(const std::string& extension) const
{
    return table_.GetImageIndex(extension, images_.Count());
}

int TIconCache::ImageForFile(const std::string& extension, const std::string& fullPath)
{
    if (extension.empty() || extension == ".")
        return img::File;
    const int index = GetImageIndex(extension);
    if (index != images_.Count())
        return index;
    const QIcon icon = AssociatedIcon(fullPath);
    if (icon.isNull())
        return img::File;
    const int added = images_.Add(icon);
    Record(added, extension, types_.FileTypeText(extension));
    return added;
}

void TIconCache::Record(int index, const std::string& extension, const std::string& typeText)
{
    table_.SetRow(index, extension, typeText);
}

} // namespace vm
