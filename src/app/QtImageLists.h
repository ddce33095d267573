// The main window's shared image lists: pictures that tree and list views address by index.
// Child windows borrow them from the main window for its whole lifetime.
#pragma once

#include <QIcon>
#include <QList>

#include <functional>

class QPainter;

namespace vm {

class TImageList
{
public:
    int Count() const { return int(icons_.size()); }
    // Appends the icon and returns its index.
    int Add(const QIcon& icon);
    // The icon at index; a null icon for an index outside the list (for example -1: no image).
    QIcon Icon(int index) const;

private:
    QList<QIcon> icons_;
};

// Indexes of the pictures the program draws for itself.
namespace img {
// Tree and small images.
constexpr int Reference = 0, Log = 1, Path = 2, Folder = 3, Comparison = 4, File = 5;
// State images (index 0 stays blank).
constexpr int Unchanged = 1, Smaller = 2, Bigger = 3, Deleted = 4, Added = 5;
// Tag images: 0..10 the user tags, then these.
constexpr int UserTags = 11, RubbishBin = 11, ManyTags = 12, DeletedMark = 13;
} // namespace img

struct TImageLists
{
    TImageList TreeViewImageList; // tree nodes: reference, log, path, folder, comparison
    TImageList SmallImageList;    // list rows: the same five, the plain file, then cached icons
    TImageList StateImageList;    // comparison states
    TImageList TagImageList;      // user tags, rubbish bin, several tags, deleted
};

// The four lists filled with the program's own pictures.
TImageLists MakeImageLists();

// A picture drawn on a 32 by 32 grid, rendered at the sizes views ask for so that it stays
// sharp on large screens.
using TDrawing = std::function<void(QPainter&)>;
QIcon Render(const TDrawing& draw);

// The program's icon (window icon and the picture of the about box's title).
QIcon ApplicationIcon();

} // namespace vm
