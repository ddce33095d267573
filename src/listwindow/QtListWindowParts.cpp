#include "listwindow/QtListWindowParts.h"

#include "output/ListTable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <vector>

namespace vm {

namespace {
const char* const kMarkProperty = "vmToolbarMark";
const char* const kMenuMarkProperty = "vmFileActionMark";
constexpr int kIconSide = 16;

// Every item of a menu and of its submenus.
void ForEachItem(QMenu* menu, const std::function<void(QAction*)>& act)
{
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        act(a);
        if (a->menu())
            ForEachItem(a->menu(), act);
    }
}
} // namespace

QAction* NewAction(QObject* owner, const QString& text, const char* name, const QString& hint)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(name);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

QLabel* NewCaptionLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFrame* NewCaptionStrip(QWidget* parent)
{
    auto* strip = new QFrame(parent);
    strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return strip;
}

void DisableToolBar(QToolBar* toolBar, const QAction* stop)
{
    for (QAction* a : toolBar->actions()) {
        if (a->isSeparator() || a == stop || !a->isEnabled())
            continue;
        a->setProperty(kMarkProperty, true);
        a->setEnabled(false);
    }
}

void EnableMarkedToolBar(QToolBar* toolBar)
{
    for (QAction* a : toolBar->actions())
        if (a->property(kMarkProperty).toBool()) {
            a->setProperty(kMarkProperty, false);
            a->setEnabled(true);
        }
}

void ShowFileOperationRunning(QWidget* list, QWidget* tree, QMenuBar* frameMenus,
                              std::vector<QMenu*> menus, bool running)
{
    list->setEnabled(!running);
    tree->setEnabled(!running);
    for (QAction* a : frameMenus->actions())
        if (a->menu() && std::find(menus.begin(), menus.end(), a->menu()) == menus.end())
            menus.push_back(a->menu());
    for (QMenu* menu : menus)
        ForEachItem(menu, [running](QAction* a) {
            if (running && a->isEnabled()) {
                a->setProperty(kMenuMarkProperty, true);
                a->setEnabled(false);
            } else if (!running && a->property(kMenuMarkProperty).toBool()) {
                a->setProperty(kMenuMarkProperty, false);
                a->setEnabled(true);
            }
        });
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool PutOffCloseWhileBusy(QCloseEvent* event, bool busy, bool& closeRequested)
{
    if (!busy)
        return false;
    closeRequested = true;
    event->ignore();
    return true;
}

bool TakeHelpKey(QEvent* event, const std::function<void()>& showHelp)
{
    if ((event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        showHelp();
    return true;
}

bool IsOpenKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void CloseListWindow(QWidget* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

void ShowListFilling(QTreeView* list, QTreeView* tree, bool filling)
{
    if (filling) {
        list->viewport()->setCursor(Qt::WaitCursor);
        tree->viewport()->setCursor(Qt::BusyCursor);
    } else {
        list->viewport()->unsetCursor();
        tree->viewport()->unsetCursor();
    }
}

std::vector<int> SelectedListRows(const QTreeView* list, int rowCount)
{
    std::vector<int> positions;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        if (index.row() < rowCount)
            positions.push_back(index.row());
    std::sort(positions.begin(), positions.end());
    return positions;
}

void SetUpListView(QTreeView* view)
{
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setIconSize(QSize(2 * kIconSide + 2, kIconSide));
    view->header()->setSectionsClickable(true);
    view->header()->setStretchLastSection(false);
}

QTreeView* NewBlankListView(QWidget* parent, const TListTable& table)
{
    auto* blank = new QTreeView(parent);
    blank->setObjectName("ChildBlankListView");
    blank->setAccessibleName("Files being listed");
    auto* columns = new QStandardItemModel(0, table.ColumnCount(), blank);
    for (int c = 0; c < table.ColumnCount(); ++c)
        columns->setHeaderData(c, Qt::Horizontal, QString::fromStdString(table.Column(c).Caption));
    blank->setModel(columns);
    blank->hide();
    return blank;
}

void ExpandTreeBranch(QTreeView* tree, bool expand)
{
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (expand) {
        tree->expandRecursively(index);
    } else {
        // Every expanded node below, deepest first, then the node itself.
        std::vector<QModelIndex> open;
        std::vector<QModelIndex> todo = {index};
        const QAbstractItemModel* model = tree->model();
        while (!todo.empty()) {
            QModelIndex at = todo.back();
            todo.pop_back();
            if (!tree->isExpanded(at))
                continue;
            open.push_back(at);
            for (int r = 0; r < model->rowCount(at); ++r)
                todo.push_back(model->index(r, 0, at));
        }
        for (auto it = open.rbegin(); it != open.rend(); ++it)
            tree->collapse(*it);
    }
    QApplication::restoreOverrideCursor();
}

QIcon SideBySideIcon(const QIcon& state, const QIcon& image)
{
    QPixmap pixmap(2 * kIconSide + 2, kIconSide);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        if (!state.isNull())
            state.paint(&p, QRect(0, 0, kIconSide, kIconSide));
        image.paint(&p, QRect(kIconSide + 2, 0, kIconSide, kIconSide));
    }
    return QIcon(pixmap);
}

} // namespace vm
