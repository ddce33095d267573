// The directory tree of the explore and compare windows as a Qt model over the plain TDirTree: one
// model row per node, made when the view asks for it. Names that are not UTF-8 show replacement
// characters.
#pragma once

#include "display/DirTree.h"
#include "display/QtImageLists.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

class QTreeView;

namespace vm {

class TDirTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int ItemTagRole = Qt::UserRole;  // the node's item tag word (TItemTag)
    static constexpr int NodeRole = Qt::UserRole + 1; // the node's index in the tree

    // images: the main window's tree images; they outlive the model.
    explicit TDirTreeModel(const TImageList& images, QObject* parent = nullptr);

    // The root's image (the tree images' log or comparison picture), and the state images shown
    // left of every node's image (nullptr: none); they outlive the model.
    void SetImages(int rootImage, const TImageList* states);
    // Shows tree (nullptr: nothing); the tree outlives its showing.
    void SetTree(const TDirTree* tree);
    const TDirTree* Tree() const { return tree_; }

    QModelIndex IndexOf(int node) const;
    int NodeOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const TImageList& images_;
    const TImageList* states_ = nullptr;
    int rootImage_ = img::Log;
    const TDirTree* tree_ = nullptr;
    mutable QHash<int, QIcon> composed_; // state image and node image side by side
};

// Makes the node the tree view's current one, scrolled into sight (nothing for a node not shown).
void SelectTreeNode(QTreeView* view, const TDirTreeModel& model, int node);

} // namespace vm
