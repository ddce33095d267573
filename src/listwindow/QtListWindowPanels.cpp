#include "listwindow/QtListWindowPanels.h"

#include "listwindow/QtListWindowParts.h"
#include "output/ListTable.h"
#include "platform/Locale.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace vm {

void LayOutListWindow(QWidget* window, QToolBar* toolBar, QWidget* left, QWidget* right,
                      QWidget* statusBar)
{
    auto* splitter = new QSplitter(Qt::Horizontal, window);
    splitter->setObjectName("Splitter");
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({205, 800});
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);
    layout->addWidget(statusBar);
}

QWidget* ListAndViews(QWidget* parent, QWidget* list, QWidget* views)
{
    auto* splitter = new QSplitter(Qt::Vertical, parent);
    splitter->setObjectName("ViewsSplitter");
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(list);
    splitter->addWidget(views);
    // The map needs the height more than the list, whose rows are short.
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({320, 480});
    return splitter;
}

QList<TGroupedMenu> ListWindowMenus(QMenu* file, QMenu* edit, QMenu* view, QMenu* go, QMenu* tags)
{
    return {{file, menugroup::File},
            {edit, menugroup::Edit},
            {view, menugroup::View},
            {go, menugroup::View},
            {tags, menugroup::View}};
}

QToolBar* NewListToolBar(QWidget* parent)
{
    auto* toolBar = new QToolBar(parent);
    toolBar->setObjectName("ToolBar");
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setMovable(false);
    return toolBar;
}

QToolButton* AddViewButton(QToolBar* toolBar, QMenu* views)
{
    auto* button = new QToolButton(toolBar);
    button->setObjectName("ViewButton");
    button->setText("View");
    button->setToolTip("Change the view");
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMenu(views);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    toolBar->addWidget(button)->setObjectName("ViewButtonAction");
    return button;
}

QToolButton* AddToolButton(QToolBar* toolBar, QAction* action, const char* name)
{
    toolBar->addAction(action);
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action));
    if (button) {
        button->setObjectName(name);
        button->setAccessibleName(action->iconText());
    }
    return button;
}

TTreePanel NewTreePanel(QWidget* parent, QAbstractItemModel* model, QMenu* popup)
{
    TTreePanel p;
    p.Panel = new QWidget(parent);
    p.Panel->setObjectName("LeftPanel");
    p.Panel->setMinimumWidth(80);
    QFrame* strip = NewCaptionStrip(p.Panel);
    p.RefLabel = NewCaptionLabel(strip, "ChildRefLabel");
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 2, 4, 2);
    stripLayout->addWidget(p.RefLabel);

    p.Tree = new QTreeView(p.Panel);
    p.Tree->setObjectName("DirTreeView");
    p.Tree->setAccessibleName("Directory tree");
    p.Tree->setHeaderHidden(true);
    p.Tree->setUniformRowHeights(true);
    // Long paths scroll rather than lose their ends.
    p.Tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    p.Tree->header()->setStretchLastSection(false);
    p.Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p.Tree->setModel(model);
    p.Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    QTreeView* tree = p.Tree;
    QObject::connect(tree, &QWidget::customContextMenuRequested, popup,
                     [tree, popup](QPoint at) { popup->popup(tree->viewport()->mapToGlobal(at)); });
    p.Blank = new QTreeView(p.Panel);
    p.Blank->setObjectName("BlankTreeView");
    p.Blank->setAccessibleName("Directory tree being read");
    p.Blank->setHeaderHidden(true);
    p.Stack = new QStackedWidget(p.Panel);
    p.Stack->addWidget(p.Tree);
    p.Stack->addWidget(p.Blank);

    auto* layout = new QVBoxLayout(p.Panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(p.Stack, 1);
    return p;
}

QWidget* NewListPanel(QWidget* parent, const std::vector<QLabel*>& labels, QLabel* stretch,
                      QTreeView* list, QTreeView* blank)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName("RightPanel");
    QFrame* strip = NewCaptionStrip(panel);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 2, 4, 2);
    for (QLabel* label : labels) {
        label->setParent(strip);
        stripLayout->addWidget(label, label == stretch ? 1 : 0);
    }
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    list->setParent(panel);
    blank->setParent(panel);
    layout->addWidget(list, 1);
    layout->addWidget(blank, 1);
    blank->hide();
    return panel;
}

void FitListColumns(QTreeView* view, const TListTable& table, int nameColumn,
                    std::initializer_list<int> sizeColumns, int dateColumn, const TLocale& locale)
{
    const QFontMetrics metrics = view->fontMetrics();
    const int sizeWidth = metrics.horizontalAdvance("+1,023.99 MB") + 24;
    const int dateWidth =
        metrics.horizontalAdvance(QString::fromStdString(locale.DateTimeText(36887.99998))) + 24;
    for (int c = 0; c < table.ColumnCount(); ++c) {
        int width = table.Column(c).Width;
        if (c == nameColumn)
            width += 20; // the state or tag image beside the row's image
        else if (std::find(sizeColumns.begin(), sizeColumns.end(), c) != sizeColumns.end())
            width = std::max(width, sizeWidth);
        else if (c == dateColumn)
            width = std::max(width, dateWidth);
        view->setColumnWidth(c, width);
        view->setColumnHidden(c, width == 0);
    }
}

std::vector<uint32_t> SelectedStoredRows(QTreeView* view, const std::vector<uint32_t>& order)
{
    std::vector<uint32_t> stored;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        if (size_t(index.row()) < order.size())
            stored.push_back(order[size_t(index.row())]);
    return stored;
}

void SelectStoredRows(QTreeView* view, const std::vector<uint32_t>& order,
                      std::vector<uint32_t> stored)
{
    if (stored.empty())
        return;
    std::sort(stored.begin(), stored.end());
    const QAbstractItemModel* model = view->model();
    const int lastColumn = model->columnCount() - 1;
    QItemSelection selection;
    for (size_t i = 0; i < order.size(); ++i)
        if (std::binary_search(stored.begin(), stored.end(), order[i]))
            selection.select(model->index(int(i), 0), model->index(int(i), lastColumn));
    view->selectionModel()->select(selection, QItemSelectionModel::Select);
}

bool StepFor(int milliseconds, const std::function<bool()>& step,
             const std::function<bool()>& interrupted)
{
    QElapsedTimer clock;
    clock.start();
    while (!interrupted()) {
        if (!step())
            return false;
        if (clock.elapsed() >= milliseconds)
            return !interrupted();
    }
    return false;
}

} // namespace vm
