// Indexes of the pictures the program draws for itself in the main window's image lists, for
// the windows and for the Qt-free code that decides which picture a row shows.
#pragma once

namespace vm {

namespace img {
// Tree and small images.
constexpr int Reference = 0, Log = 1, Path = 2, Folder = 3, Comparison = 4, File = 5;
// State images (index 0 stays blank).
constexpr int Unchanged = 1, Smaller = 2, Bigger = 3, Deleted = 4, Added = 5;
// Tag images: 0..10 the user tags, then these.
constexpr int UserTags = 11, RubbishBin = 11, ManyTags = 12, DeletedMark = 13;
} // namespace img

} // namespace vm
