// The actions, menus and toolbar buttons every list window has, made the same way in each: the
// three views, the date types, the window's own Close, Close all, Exit and Refresh, Stop,
// expanding or collapsing a branch of the tree, and the toolbar's run of buttons. The base list
// window (ListWindowForm.h) makes them; each window adds what only it has.
#pragma once

#include "display/ListRows.h"
#include "output/ListTexts.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QObject;
class QToolBar;
class QToolButton;
class QWidget;

namespace vm {

class TChildFrame;

// A toolbar action: its text, name, hint, the caption under its button (empty: taken from the
// text) and its toolbar image; triggered, when given, is what it does.
QAction* NewToolAction(QObject* owner, const QString& text, const char* name, const QString& hint,
                       const QString& iconText, int image,
                       const std::function<void()>& triggered = {});
// "&Print ..." (Ctrl+P), "Copy to clipboard ..." and "E&xport list ...": the list as it stands.
QAction* NewPrintAction(QObject* owner, const std::function<void()>& print);
QAction* NewClipboardAction(QObject* owner, const std::function<void()>& copy);
QAction* NewExportListAction(QObject* owner, const std::function<void()>& exportList);

// Actions of which one at a time is checked, in a group.
struct TChoiceActions
{
    std::vector<QAction*> Items;
    QActionGroup* Group;
};
// Makes the items checkable and groups them.
TChoiceActions NewChoiceActions(QObject* owner, std::initializer_list<QAction*> items);

// Checks the item of the view, or of the date type, in the group NewViewActions or
// NewDateTypeActions made.
void CheckView(QActionGroup* views, TView view);
void CheckDateType(QActionGroup* dateTypes, TDateType type);

// "&Standard view", "All &folders view", "&All files view" (Standard checked); choose is called
// with the view whose item is triggered.
TChoiceActions NewViewActions(QObject* owner, const std::function<void(TView)>& choose);
// "Date &created", "Date &modified", "Date last &accessed" (none checked yet).
TChoiceActions NewDateTypeActions(QObject* owner, const std::function<void(TDateType)>& choose);

// "&Close" (Ctrl+F4) closes the window, "Close &all" and "E&xit" act on the frame.
struct TWindowActions
{
    QAction *Close, *CloseAll, *Exit;
};
TWindowActions NewWindowActions(QObject* owner, TChildFrame& frame,
                                const std::function<void()>& close);
// "&Refresh" (F5).
QAction* NewRefreshAction(QObject* owner, const std::function<void()>& refresh);
// "Stop !" with its image.
QAction* NewStopAction(QObject* owner, const std::function<void()>& stop);
// "&Expand tree" and "&Collapse tree": expand(true) or expand(false).
struct TBranchActions
{
    QAction *Expand, *Collapse;
};
TBranchActions NewBranchActions(QObject* owner, const std::function<void(bool)>& expand);

// Makes the window's shortcuts act in that window only: several such windows may be open.
void ScopeShortcutsToWindow(QWidget* window);

// A menu with its object name and items (nullptr: a separator).
QMenu* NewMenu(QWidget* parent, const QString& title, const char* name,
               std::initializer_list<QAction*> items);

// "&File" ("File1"): the printing items, "&Send" ("Send1") with e-mail, then the window actions.
struct TFileMenu
{
    QMenu *File, *Send;
};
TFileMenu NewListFileMenu(QWidget* parent, std::initializer_list<QAction*> printing, QAction* email,
                          const TWindowActions& window);

// The toolbar's buttons after "View", in their groups; CompareFilter and Show only where the
// window has them.
struct TListToolActions
{
    QAction *Up, *FileFilter, *TagFilter, *CompareFilter, *ToggleFilter, *TagSettings, *Delete,
        *Email, *Copy, *Print, *Show, *Stop;
};
struct TListToolButtons
{
    QToolButton *Filter, *Show, *Stop;
};
TListToolButtons AddListToolButtons(QToolBar* toolBar, const TListToolActions& actions);

} // namespace vm
