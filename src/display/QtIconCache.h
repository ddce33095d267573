// The main window's file-icon cache over its small image list: which image a file row shows,
// fetching and recording the file's icon when its extension has none cached yet.
#pragma once

#include "display/IconCacheTable.h"
#include "display/QtDisplayHelpers.h"
#include "display/QtImageLists.h"

namespace vm {

class TIconCache
{
public:
    // Both outlive the cache (the main window owns all three).
    TIconCache(TImageList& smallImages, TFileTypes& fileTypes);

    // The cached image of the extension, or the small list's image count when it is not cached.
    int GetImageIndex(const std::string& extension) const;

    // The image for a file row: the cached one of its extension; else the file's associated
    // icon, appended to the small list and recorded under the upper-cased extension with its
    // file-type text; the plain file image when the file has no extension or no icon.
    int ImageForFile(const std::string& extension, const std::string& fullPath);

    // Records image `index` (already in the list) as the icon of the extension.
    void Record(int index, const std::string& extension, const std::string& typeText);

    const TIconCacheTable& Table() const { return table_; }

private:
    TImageList& images_;
    TFileTypes& types_;
    TIconCacheTable table_;
};

} // namespace vm
