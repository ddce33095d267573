// What a row of a list window over a log or a comparison is, whichever window lists it: the kind
// codes of its item tag word, the images it shows, the three views (core/ListView.h) that decide
// which rows a fill lists, and the texts every such list makes alike from a row's name, kind and
// offsets.
#pragma once

#include "core/ListView.h"
#include "display/DirTree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vm {

// The kind codes of the item tag word that list rows carry.
enum TRowKind : uint8_t
{
    kRowPath = 3,   // a top-level path ("Path")
    kRowFolder = 5, // a directory ("File folder")
    kRowFile = 6
};

// Row images: the small image list's path, folder and plain file images, or the icon of the
// file's type (looked up when the row is painted).
enum TRowImage : uint8_t
{
    kImagePath = 2,
    kImageFolder = 3,
    kImagePlainFile = 5,
    kImageTypeIcon = 255
};

// The description of a file type by its extension (with its dot; "." for none).
using TFileTypeLookup = std::function<std::string(const std::string& extension)>;

// The texts of a row that the list windows make alike, from the row's name, kind (TRowKind) and
// offsets:
// its caption: the name, without the extension for a file when extensions are hidden;
std::string_view RowCaption(std::string_view name, uint8_t kind, bool showExtensions);
// its "Full path": the directory at dirOffset ending with "/" (from the tree), or for a
// top-level path (or a row that is its own directory) the name itself;
std::string RowDirectoryText(const TDirTree& tree, std::string_view name, uint8_t kind,
                             int64_t offset, int64_t dirOffset);
// the extension its type and icon come from ("." for none);
std::string RowTypeExtension(std::string_view name);
// its type: "Path", "File folder" or the file type of its extension.
std::string RowTypeText(uint8_t kind, std::string_view name, const TFileTypeLookup& types);

} // namespace vm
