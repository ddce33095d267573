// The "Network share list" window: the servers of VMVols.ini on the left, the selected server's
// volumes and shares on the right, and the pop-up menus that edit them. A thin window over
// TShareListEditor, which makes every change to the file; the lists are read again whenever
// the window is activated.
#pragma once

#include "network/ShareListEditor.h"
#include "references/AppContext.h"

#include <QWidget>

#include <optional>

class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vm {

class TVolumeInfoForm : public QWidget
{
    Q_OBJECT
public:
    // context outlives the window: its data directory holds VMVols.ini, its UI shows the
    // questions and messages.
    explicit TVolumeInfoForm(TAppContext& context, QWidget* parent = nullptr);

    // Fills the server list (keeping the selected server where it still exists, else the
    // first) and the share tree of the selected server. Done on every activation.
    void FormActivate();

    QTreeWidget *ServerListView, *ShareTreeView;
    QPushButton *ExitButton, *HelpButton;
    QMenu *ServerPopupMenu, *ShareTVPopupMenu;
    QAction *AddServer1, *RenameServer1, *DeleteServer1, *SpecifyIPAddress1;
    QMenu* SpecifyOperatingSystem1;
    QAction *AddVolume1, *RenameVolume1, *DeleteVolume1;
    QAction *AddShare1, *RenameShare1, *DeleteShare1;
    QMenu *ChooseOwnFileSystem1, *ChooseOwnAllocationUnit1;
    QAction* OtherUnit1;

    // The menu handlers, also for tests.
    void AddServer1Click();
    void RenameServer1Click();
    void DeleteServer1Click();
    void SpecifyIPAddress1Click();
    void OperatingSystemClick(int tag);
    void AddVolume1Click();
    void RenameClick();
    void DeleteVolume1Click();
    void AddShare1Click();
    void DeleteShare1Click();
    void FileSystemClick(const std::string& fileSystem);
    void AllocUnitClick(int unit);
    void OtherUnit1Click();
    // Sets the items' enabled states as the menus show them.
    void ServerPopupMenuPopup();
    void ShareTVPopupMenuPopup();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateMenus();
    void FillServers(const QString& select);
    void FillShareTree(const QString& select);
    std::optional<TServerItem> SelectedServer() const;
    TShareNode NodeOf(const QTreeWidgetItem* item) const;
    int SelectedKind() const;
    void ServerEdited(QTreeWidgetItem* item, int column);
    void NodeEdited(QTreeWidgetItem* item, int column);
    QTreeWidgetItem* AddNodeItem(QTreeWidgetItem* parent, const TShareNode& node);
    // What an edit selects afterwards: a server by its caption, a node by its text; nothing
    // keeps the selection.
    struct TEditResult
    {
        std::optional<std::string> Server, Node;
    };
    // Runs an edit of the file; its error is shown and the lists are read again either way.
    template <class F> void Edit(F edit);
    // Edit of the selected node when it is of that kind (kVolumeNode, kShareNode).
    template <class F> void EditNode(int kind, F edit);
    bool Editing() const;

    TAppContext& context_;
    TShareListEditor editor_;
    bool filling_ = false;
};

} // namespace vm
