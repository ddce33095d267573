// The main window's child windows: adding them, finding them by caption, closing, tiling and
// arranging them (the Window menu's commands). The rest of the main window is in MainForm.cpp.
#include "app/MainForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <algorithm>

namespace vm {

bool TMDIParent::IsRefManager(const QWidget* child)
{
    return child && child->objectName() == "RefManager";
}

QMdiSubWindow* TMDIParent::AddChild(QWidget* child)
{
    QMdiSubWindow* window = MdiArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The sub-window follows the child's caption, and the frame's items follow its life.
    connect(child, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
    // The caption is kept as it changes, since it cannot be read from a window being destroyed.
    auto caption = std::make_shared<std::string>(child->windowTitle().toStdString());
    connect(child, &QWidget::windowTitleChanged, this,
            [caption](const QString& title) { *caption = title.toStdString(); });
    connect(window, &QObject::destroyed, this, [this, caption] {
        ForgetWindowTitle(context_, *caption);
        QTimer::singleShot(0, this, &TMDIParent::UpdateMenus);
    });
    window->show();
    MdiArea->setActiveSubWindow(window);
    UpdateMenus();
    return window;
}

QList<QWidget*> TMDIParent::Children() const
{
    QList<QWidget*> children;
    for (QMdiSubWindow* window : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (window->widget())
            children.append(window->widget());
    return children;
}

QWidget* TMDIParent::ActiveChild() const
{
    QMdiSubWindow* window = MdiArea->activeSubWindow();
    return window ? window->widget() : nullptr;
}

bool TMDIParent::CaptionExists(const QString& caption) const
{
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i + 1 < windows.size(); ++i)
        if (windows[i]->windowTitle() == caption)
            return true;
    return false;
}

void TMDIParent::Close1Click()
{
    QMdiSubWindow* window = MdiArea->activeSubWindow();
    if (window && !IsRefManager(window->widget()))
        window->close();
}

void TMDIParent::CloseAllButRefMan()
{
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (!IsRefManager((*it)->widget()))
            (*it)->close();
    UpdateMenus();
}

void TMDIParent::MinimiseAll()
{
    showMinimized();
}

QList<QMdiSubWindow*> TMDIParent::Tileable() const
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            windows.append(w);
    return windows;
}

void TMDIParent::Tile(bool sideBySide)
{
    const QList<QMdiSubWindow*> windows = Tileable();
    if (windows.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int count = int(windows.size());
    const int step = std::max(1, (sideBySide ? area.width() : area.height()) / count);
    int at = 0;
    for (QMdiSubWindow* w : windows) {
        w->showNormal();
        if (sideBySide)
            w->setGeometry(at, 0, step, area.height());
        else
            w->setGeometry(0, at, area.width(), step);
        at += step;
    }
}

void TMDIParent::TileVertical1Click()
{
    Tile(true);
}

void TMDIParent::TileHorizontal1Click()
{
    Tile(false);
}

void TMDIParent::ArrangeIcons1Click()
{
    // Minimised children line up along the bottom edge, left to right, row above row.
    const QRect area = MdiArea->viewport()->rect();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow* w : MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        w->move(x, y - size.height());
        x += size.width();
    }
}

} // namespace vm
