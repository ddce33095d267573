#include "listwindow/QtListWindowActions.h"

#include "listwindow/ChildFrame.h"
#include "listwindow/QtListWindowImages.h"
#include "listwindow/QtListWindowPanels.h"
#include "listwindow/QtListWindowParts.h"
#include "output/QtListExport.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace vm {

QAction* NewToolAction(QObject* owner, const QString& text, const char* name, const QString& hint,
                       const QString& iconText, int image, const std::function<void()>& triggered)
{
    QAction* action = NewAction(owner, text, name, hint);
    if (!iconText.isEmpty())
        action->setIconText(iconText);
    action->setIcon(ToolbarImage(image));
    if (triggered)
        QObject::connect(action, &QAction::triggered, owner, triggered);
    return action;
}

QAction* NewPrintAction(QObject* owner, const std::function<void()>& print)
{
    QAction* action =
        NewToolAction(owner, "&Print ...", "PrintAction", "Print", "Print", toolimg::Print, print);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    return action;
}

QAction* NewClipboardAction(QObject* owner, const std::function<void()>& copy)
{
    return NewToolAction(owner, "Copy to clipboard ...", "CopyAction", "Copy to clipboard", "Copy",
                         toolimg::Copy, copy);
}

QAction* NewExportListAction(QObject* owner, const std::function<void()>& exportList)
{
    QAction* action = NewAction(owner, kExportListText, "ExportListAction",
                                "Save the list as it stands as a CSV file");
    QObject::connect(action, &QAction::triggered, owner, exportList);
    return action;
}

TChoiceActions NewChoiceActions(QObject* owner, std::initializer_list<QAction*> items)
{
    TChoiceActions choice{items, new QActionGroup(owner)};
    for (QAction* a : items) {
        a->setCheckable(true);
        choice.Group->addAction(a);
    }
    return choice;
}

TChoiceActions NewViewActions(QObject* owner, const std::function<void(TView)>& choose)
{
    TChoiceActions views = NewChoiceActions(
        owner, {NewAction(owner, "&Standard view", "ViewStandardAction", "Show standard view"),
                NewAction(owner, "All &folders view", "ViewFoldersAction", "Show all folders view"),
                NewAction(owner, "&All files view", "ViewAllAction", "Show all files view")});
    views.Items[0]->setChecked(true);
    const TView shown[] = {TView::Standard, TView::Folders, TView::AllFiles};
    for (int i = 0; i < 3; ++i)
        QObject::connect(views.Items[i], &QAction::triggered, owner,
                         [choose, view = shown[i]] { choose(view); });
    return views;
}

TChoiceActions NewDateTypeActions(QObject* owner, const std::function<void(TDateType)>& choose)
{
    TChoiceActions types =
        NewChoiceActions(owner, {NewAction(owner, "Date &created", "DateCreated1"),
                                 NewAction(owner, "Date &modified", "DateModified1"),
                                 NewAction(owner, "Date last &accessed", "DateAccessed1")});
    const TDateType shown[] = {TDateType::Created, TDateType::Modified, TDateType::Accessed};
    for (int i = 0; i < 3; ++i)
        QObject::connect(types.Items[i], &QAction::triggered, owner,
                         [choose, type = shown[i]] { choose(type); });
    return types;
}

void CheckView(QActionGroup* views, TView view)
{
    views->actions()[view == TView::Standard  ? 0
                     : view == TView::Folders ? 1
                                              : 2]
        ->setChecked(true);
}

void CheckDateType(QActionGroup* dateTypes, TDateType type)
{
    dateTypes->actions()[type == TDateType::Created    ? 0
                         : type == TDateType::Accessed ? 2
                                                       : 1]
        ->setChecked(true);
}

TWindowActions NewWindowActions(QObject* owner, TChildFrame& frame,
                                const std::function<void()>& close)
{
    TWindowActions actions{NewAction(owner, "&Close", "Close1"),
                           NewAction(owner, "Close &all", "CloseAll1"),
                           NewAction(owner, "E&xit", "Exit1")};
    actions.Close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    QObject::connect(actions.Close, &QAction::triggered, owner, close);
    QObject::connect(actions.CloseAll, &QAction::triggered, owner,
                     [&frame] { frame.CloseAllButRefMan(); });
    QObject::connect(actions.Exit, &QAction::triggered, owner, [&frame] { frame.Exit(); });
    return actions;
}

QAction* NewRefreshAction(QObject* owner, const std::function<void()>& refresh)
{
    QAction* action = NewAction(owner, "&Refresh", "Refresh1");
    action->setShortcut(QKeySequence(Qt::Key_F5));
    QObject::connect(action, &QAction::triggered, owner, refresh);
    return action;
}

QAction* NewStopAction(QObject* owner, const std::function<void()>& stop)
{
    QAction* action = NewAction(owner, "Stop !", "StopAction");
    action->setIcon(ToolbarImage(toolimg::Stop));
    QObject::connect(action, &QAction::triggered, owner, stop);
    return action;
}

TBranchActions NewBranchActions(QObject* owner, const std::function<void(bool)>& expand)
{
    TBranchActions actions{NewAction(owner, "&Expand tree", "ExpandTree1"),
                           NewAction(owner, "&Collapse tree", "CollapseTree1")};
    QObject::connect(actions.Expand, &QAction::triggered, owner, [expand] { expand(true); });
    QObject::connect(actions.Collapse, &QAction::triggered, owner, [expand] { expand(false); });
    return actions;
}

void ScopeShortcutsToWindow(QWidget* window)
{
    for (QAction* a : window->findChildren<QAction*>()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        window->addAction(a);
    }
}

QMenu* NewMenu(QWidget* parent, const QString& title, const char* name,
               std::initializer_list<QAction*> items)
{
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(name);
    for (QAction* a : items) {
        if (a)
            menu->addAction(a);
        else
            menu->addSeparator();
    }
    return menu;
}

TFileMenu NewListFileMenu(QWidget* parent, std::initializer_list<QAction*> printing, QAction* email,
                          const TWindowActions& window)
{
    TFileMenu menus;
    menus.File = NewMenu(parent, "&File", "File1", printing);
    menus.Send = menus.File->addMenu("&Send");
    menus.Send->setObjectName("Send1");
    menus.Send->addAction(email);
    menus.File->addSeparator();
    menus.File->addAction(window.Close);
    menus.File->addAction(window.CloseAll);
    menus.File->addSeparator();
    menus.File->addAction(window.Exit);
    return menus;
}

TListToolButtons AddListToolButtons(QToolBar* toolBar, const TListToolActions& actions)
{
    TListToolButtons buttons{};
    toolBar->addSeparator();
    AddToolButton(toolBar, actions.Up, "UpButton");
    toolBar->addSeparator();
    AddToolButton(toolBar, actions.FileFilter, "FileFilterButton");
    AddToolButton(toolBar, actions.TagFilter, "TagFilterButton");
    if (actions.CompareFilter)
        AddToolButton(toolBar, actions.CompareFilter, "CompareButton");
    buttons.Filter = AddToolButton(toolBar, actions.ToggleFilter, "FilterButton");
    toolBar->addSeparator();
    AddToolButton(toolBar, actions.TagSettings, "TagsButton");
    toolBar->addSeparator();
    AddToolButton(toolBar, actions.Delete, "DeleteButton");
    toolBar->addSeparator();
    AddToolButton(toolBar, actions.Email, "EmailButton");
    AddToolButton(toolBar, actions.Copy, "CopyButton");
    AddToolButton(toolBar, actions.Print, "PrintButton");
    if (actions.Show) {
        toolBar->addSeparator();
        buttons.Show = AddToolButton(toolBar, actions.Show, "ShowButton");
    }
    toolBar->addSeparator();
    buttons.Stop = AddToolButton(toolBar, actions.Stop, "StopButton");
    return buttons;
}

} // namespace vm
