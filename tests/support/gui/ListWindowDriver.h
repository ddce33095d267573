// Driving a list window (explore or compare) from a test as a user would: letting its long work
// (and its treemap's and statistics') run out, choosing a directory in its tree, and finding and
// selecting list rows by name.
#pragma once

#include "listwindow/QtDirTreeModel.h"
#include "statsview/QtStatisticsView.h"
#include "treemapview/QtTreemapView.h"
#include "treemapview/QtViewsPane.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTreeView>

#include <string>
#include <vector>

namespace vmtest {

// Runs events until the window has been idle for a few rounds (a posted restart included).
template <class Window> void Idle(Window* child)
{
    for (int i = 0, quiet = 0; i < 100000 && child && quiet < 5; ++i) {
        QApplication::processEvents();
        quiet = child->Busy ? 0 : quiet + 1;
    }
}

// Runs events until the window, its treemap and its statistics are idle, or milliseconds have
// passed.
template <class Window> void Settle(Window* child, qint64 milliseconds = 20000)
{
    QElapsedTimer clock;
    clock.start();
    do {
        Idle(child);
        QApplication::processEvents();
    } while ((child->Busy || child->ViewsPane->Treemap->Busy() ||
              child->ViewsPane->Statistics->Busy()) &&
             clock.elapsed() < milliseconds);
}

// Makes the tree's node of that name current (the last one, should several share it).
template <class Window> void SelectNode(Window* child, const std::string& name)
{
    const auto& tree = child->Tree();
    for (int n = 0; n < tree.Count(); ++n)
        if (tree.Name(n) == name)
            child->DirTreeView->setCurrentIndex(child->TreeModel->IndexOf(n));
}

// The name of the row shown at i, as the window's table reads it from its file.
template <class Window> std::string RowName(Window* child, int i)
{
    return child->Table().Entry(i).Name;
}

template <class Window> std::vector<std::string> RowNames(Window* child)
{
    std::vector<std::string> names;
    for (int i = 0; i < child->Rows().Count(); ++i)
        names.emplace_back(RowName(child, i));
    return names;
}

// The list row of that name, or -1.
template <class Window> int RowPosition(Window* child, const std::string& name)
{
    for (int i = 0; i < child->Rows().Count(); ++i)
        if (RowName(child, i) == name)
            return i;
    return -1;
}

// Selects exactly the rows of those names, the last one current.
template <class Window> void SelectRows(Window* child, const std::vector<std::string>& names)
{
    child->FileListView->clearSelection();
    for (const std::string& name : names)
        child->FileListView->selectionModel()->setCurrentIndex(
            child->FileListView->model()->index(RowPosition(child, name), 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace vmtest
