// What a window inside the main window's MDI area offers the frame: its own menus with their
// group indexes. While the window is the active child its menus merge into the frame's menu
// bar: a child menu whose group index equals that of a frame menu replaces it, the others take
// their place by group index (File 10 replaces the frame's File; Edit 20 and View, Go, Tags 25
// come before the frame's Tools 180).
//
// A child is a QWidget that also implements TMdiChildMenus; the frame adds it with
// TMDIParent::AddChild, which wraps it in a sub-window. The menus stay owned by the child; the
// frame only shows them while the child is active, so they may change at any time (call
// TMDIParent::UpdateMenus after adding or removing one). Component names are object names:
// the reference manager's is "RefManager".
#pragma once

#include <QList>

class QMenu;

namespace vm {

struct TGroupedMenu
{
    QMenu* Menu;
    int GroupIndex;
};

// The property an explore or compare window carries with the number of the reference it shows
// (the frame sets it when it opens one), so that deleting a reference closes its windows.
inline const char* const kReferenceProperty = "Tag";

// Group indexes of the frame's own menus.
namespace menugroup {
constexpr int File = 10, Edit = 20, View = 25, Tools = 180, Window = 190, Help = 200;
} // namespace menugroup

class TMdiChildMenus
{
public:
    virtual ~TMdiChildMenus() = default;
    // The menus to merge, in their order.
    virtual QList<TGroupedMenu> MergedMenus() const = 0;
};

} // namespace vm
