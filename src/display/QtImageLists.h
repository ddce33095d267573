// The main window's shared image lists: pictures that tree and list views address by index.
// Child windows borrow them from the main window for its whole lifetime.
#pragma once

#include "display/ImageIndexes.h"

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
