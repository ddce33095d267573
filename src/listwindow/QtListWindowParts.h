// Pieces the list windows are made of: named actions, the sunken caption
// strips above the tree and the list, the toolbar's disabling during long work, the list view's
// set-up and its cover, expanding or collapsing a whole branch of the tree, and the row icon that
// shows a state or tag image beside the row's own image.
#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QCloseEvent;
class QEvent;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QObject;
class QToolBar;
class QTreeView;
class QWidget;

namespace vm {

class TListTable;

// An action with its text and object name; the hint, when given, is its tool tip and status tip.
QAction* NewAction(QObject* owner, const QString& text, const char* name, const QString& hint = {});
// A label for plain text in a caption strip.
QLabel* NewCaptionLabel(QWidget* parent, const char* name);
// A sunken strip that holds caption labels.
QFrame* NewCaptionStrip(QWidget* parent);

// Disables every enabled button of the toolbar except stop, marking it; EnableMarkedToolBar
// re-enables only the marked ones, so buttons disabled for other reasons stay disabled.
void DisableToolBar(QToolBar* toolBar, const QAction* stop);
void EnableMarkedToolBar(QToolBar* toolBar);

// While a window's file operation runs: its list and tree are off, the wait cursor shows, and
// every enabled item of its own menus and of the frame's menu bar (two levels) is disabled and
// marked; afterwards (not running) only the marked ones come back, so items that were off before
// stay off.
void ShowFileOperationRunning(QWidget* list, QWidget* tree, QMenuBar* frameMenus,
                              std::vector<QMenu*> own, bool running);

// A close while long work runs waits for it: the step that sees the request closes the window
// once it has returned. True when the close was put off (the event ignored, the request noted).
bool PutOffCloseWhileBusy(QCloseEvent* event, bool busy, bool& closeRequested);

// F1 in a window's tree or list asks for that window's help, before the frame's own F1 (the
// index) takes it: true when the event is F1, which is accepted; showHelp runs on the press.
bool TakeHelpKey(QEvent* event, const std::function<void()>& showHelp);
// Return or Enter pressed: opens the list's current row.
bool IsOpenKey(const QEvent* event);

// Closes the window through its MDI sub-window when it has one.
void CloseListWindow(QWidget* window);

// The cursors of a list fill: wait over the list, busy over the tree; off again when it ends.
void ShowListFilling(QTreeView* list, QTreeView* tree, bool filling);

// The positions of the list's selected rows below rowCount, in order.
std::vector<int> SelectedListRows(const QTreeView* list, int rowCount);

// A file list: report style, whole rows, several rows selectable, read-only, clickable headers.
void SetUpListView(QTreeView* view);
// The cover shown over a list while it is filled: a view with the table's column captions.
QTreeView* NewBlankListView(QWidget* parent, const TListTable& table);

// Expands or collapses the selected node of the tree and everything below it (hourglass cursor).
void ExpandTreeBranch(QTreeView* tree, bool expand);

// The icon of a list row: the state or tag image (none: an empty place) left of the row's image,
// as a list with state images shows them.
QIcon SideBySideIcon(const QIcon& state, const QIcon& image);

} // namespace vm
