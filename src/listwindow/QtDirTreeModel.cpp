#include "listwindow/QtDirTreeModel.h"

#include "display/DisplayHelpers.h"
#include "listwindow/QtListWindowParts.h"

#include <QTreeView>

namespace vm {

TDirTreeModel::TDirTreeModel(const TImageList& images, QObject* parent)
    : QAbstractItemModel(parent), images_(images)
{
}

void TDirTreeModel::SetImages(int rootImage, const TImageList* states)
{
    beginResetModel();
    rootImage_ = rootImage;
    states_ = states;
    composed_.clear();
    endResetModel();
}

void TDirTreeModel::SetTree(const TDirTree* tree)
{
    beginResetModel();
    tree_ = tree;
    endResetModel();
}

QModelIndex TDirTreeModel::IndexOf(int node) const
{
    if (!tree_ || node < 0 || node >= tree_->Count())
        return {};
    return createIndex(node == TDirTree::kRoot ? 0 : tree_->Node(node).Row, 0, quintptr(node));
}

int TDirTreeModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? int(index.internalId()) : -1;
}

QModelIndex TDirTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!tree_ || column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? createIndex(0, 0, quintptr(TDirTree::kRoot)) : QModelIndex();
    const int node = NodeOf(parent);
    if (row >= tree_->ChildCount(node))
        return {};
    return createIndex(row, 0, quintptr(tree_->Child(node, row)));
}

QModelIndex TDirTreeModel::parent(const QModelIndex& child) const
{
    if (!tree_ || !child.isValid())
        return {};
    return IndexOf(tree_->Parent(NodeOf(child)));
}

int TDirTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!tree_)
        return 0;
    if (!parent.isValid())
        return 1;
    return tree_->ChildCount(NodeOf(parent));
}

int TDirTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TDirTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant TDirTreeModel::data(const QModelIndex& index, int role) const
{
    if (!tree_ || !index.isValid())
        return {};
    const int node = NodeOf(index);
    const TDirTreeNode& n = tree_->Node(node);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        std::string_view name = tree_->Name(node);
        return QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    case Qt::DecorationRole: {
        const int image = n.Kind == kTreeRoot   ? rootImage_
                          : n.Kind == kTreePath ? img::Path
                                                : img::Folder;
        if (!states_)
            return images_.Icon(image);
        const int key = n.State << 8 | image;
        auto it = composed_.find(key);
        if (it == composed_.end())
            it = composed_.insert(key, SideBySideIcon(states_->Icon(n.State), images_.Icon(image)));
        return *it;
    }
    case ItemTagRole: {
        TItemTag word = 0;
        SetItemKind(word, n.Kind);
        SetItemOffset(word, uint64_t(n.Offset));
        return QVariant::fromValue<qulonglong>(word);
    }
    case NodeRole:
        return node;
    default:
        return {};
    }
}

void SelectTreeNode(QTreeView* view, const TDirTreeModel& model, int node)
{
    const QModelIndex index = model.IndexOf(node);
    if (!index.isValid())
        return;
    view->scrollTo(index);
    view->setCurrentIndex(index);
}

} // namespace vm
