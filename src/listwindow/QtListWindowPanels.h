// The layout every list window has: a toolbar of captioned buttons with a "View"
// button, the left panel (the reference's name over the directory tree, and the cover shown
// while the tree is built), the right panel (a caption strip over the list and its cover), the
// list's column widths, and the steps long work is cut into.
#pragma once

#include "listwindow/QtMdiChild.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QAbstractItemModel;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;
class QObject;
class QToolButton;
class QTreeView;
class QWidget;

namespace vm {

class TListTable;
class TLocale;

// Lays the window out: the toolbar on top, the two panels side by side (205 pixels for the
// tree, the rest for the list, a 4-pixel splitter between them), the status bar below.
void LayOutListWindow(QWidget* window, QToolBar* toolBar, QWidget* left, QWidget* right,
                      QWidget* statusBar);
// The list above the pane of its views, which gets three fifths of the height to start with.
QWidget* ListAndViews(QWidget* parent, QWidget* list, QWidget* views);
// The menus a list window merges into the frame's: File, Edit, and View, Go and Tags in the
// View group.
QList<TGroupedMenu> ListWindowMenus(QMenu* file, QMenu* edit, QMenu* view, QMenu* go, QMenu* tags);

// A toolbar whose buttons show their captions under their images.
QToolBar* NewListToolBar(QWidget* parent);
// Adds the "View" button: clicking it steps through the views, its arrow drops the view menu.
QToolButton* AddViewButton(QToolBar* toolBar, QMenu* views);
// Adds the action's button, named for tests and screen readers.
QToolButton* AddToolButton(QToolBar* toolBar, QAction* action, const char* name);

struct TTreePanel
{
    QWidget* Panel;
    QLabel* RefLabel;      // "ChildRefLabel"
    QStackedWidget* Stack; // shows Tree, or Blank while the tree is built
    QTreeView* Tree;       // "DirTreeView" over the model, with the pop-up menu
    QTreeView* Blank;      // "BlankTreeView"
};
TTreePanel NewTreePanel(QWidget* parent, QAbstractItemModel* model, QMenu* popup);

// The right panel: the caption strip (its labels side by side, the one at `stretch` taking the
// room left) over the list, and the list's cover below it.
QWidget* NewListPanel(QWidget* parent, const std::vector<QLabel*>& labels, QLabel* stretch,
                      QTreeView* list, QTreeView* blank);
// The list's column widths: the table's, the name column wider for the image beside the row's,
// size columns and the date column at least as wide as their longest texts in this font; hidden
// where the table gives 0.
void FitListColumns(QTreeView* view, const TListTable& table, int nameColumn,
                    std::initializer_list<int> sizeColumns, int dateColumn, const TLocale& locale);

// The stored indexes (of the store's shown order `order`) of the rows selected in the view, and
// their selection again after the order has changed.
std::vector<uint32_t> SelectedStoredRows(QTreeView* view, const std::vector<uint32_t>& order);
void SelectStoredRows(QTreeView* view, const std::vector<uint32_t>& order,
                      std::vector<uint32_t> stored);

// Runs step() until it answers false (the work is done), interrupted() answers true, or
// `milliseconds` have passed; true when there is more to do and nothing interrupted it.
bool StepFor(int milliseconds, const std::function<bool()>& step,
             const std::function<bool()>& interrupted);

} // namespace vm
