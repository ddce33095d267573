#include "network/VolumeInfoForm.h"

#include "network/ShareListMenus.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/UserInterface.h"
#include "references/RefStore.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace vm {

namespace {

constexpr int kKindRole = Qt::UserRole;       // kVolumeNode or kShareNode; server items: none
constexpr int kTextRole = Qt::UserRole + 1;   // the text as filled, before any edit
constexpr int kVolumeRole = Qt::UserRole + 2; // a share's volume

QAction* Item(QMenu* menu, const QString& caption, const char* name)
{
    return Named(menu->addAction(caption), name);
}

TShareListEditor MakeEditor(const TAppContext& context)
{
    TRefStore store(context.DataDirectory);
    // The file system of a share is what its mount says; nothing reaches the network.
    return TShareListEditor(store.SharesIniPath(), [store](const std::string& serverPath) {
        return store.FileSystemName(serverPath);
    });
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, kTextRole).toString() == text)
            return *it;
    return nullptr;
}

} // namespace

TVolumeInfoForm::TVolumeInfoForm(TAppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), editor_(MakeEditor(context))
{
    setObjectName("VolumeInfoForm");
    setWindowTitle("Network share list");

    ServerListView = Named(new QTreeWidget(this), "ServerListView");
    ServerListView->setAccessibleName("List of network servers");
    ServerListView->setColumnCount(3);
    ServerListView->setHeaderLabels({"Server name", "IP Address", "Op Sys"});
    ServerListView->setColumnWidth(0, 120);
    ServerListView->setColumnWidth(1, 100);
    ServerListView->setColumnWidth(2, 110);
    ServerListView->setRootIsDecorated(false);
    ServerListView->setEditTriggers(QAbstractItemView::SelectedClicked |
                                    QAbstractItemView::EditKeyPressed);
    ServerListView->setContextMenuPolicy(Qt::CustomContextMenu);

    ShareTreeView = Named(new QTreeWidget(this), "ShareTreeView");
    ShareTreeView->setAccessibleName("Shares and volumes on the server");
    ShareTreeView->setHeaderHidden(true);
    ShareTreeView->setEditTriggers(QAbstractItemView::SelectedClicked |
                                   QAbstractItemView::EditKeyPressed);
    ShareTreeView->setContextMenuPolicy(Qt::CustomContextMenu);

    ExitButton = Named(new QPushButton("Exit", this), "ExitButton");
    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::ShareList); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::ShareList); });

    auto* servers = new QVBoxLayout;
    servers->addWidget(Named(new QLabel("List of network servers", this), "ServerLabel"));
    servers->addWidget(ServerListView);
    auto* shares = new QVBoxLayout;
    shares->addWidget(Named(new QLabel("List of shares / volumes on server", this), "ShareLabel"));
    shares->addWidget(Named(new QLabel("(Operating system & allocation units included)", this),
                            "ShareNoteLabel"));
    shares->addWidget(ShareTreeView);
    auto* lists = new QHBoxLayout;
    lists->addLayout(servers, 3);
    lists->addLayout(shares, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(HelpButton);
    buttons->addWidget(ExitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    resize(640, 400);

    CreateMenus();
    connect(ServerListView, &QTreeWidget::currentItemChanged, this, [this] {
        if (!filling_)
            FillShareTree({});
    });
    connect(ServerListView, &QTreeWidget::itemChanged, this, &TVolumeInfoForm::ServerEdited);
    connect(ShareTreeView, &QTreeWidget::itemChanged, this, &TVolumeInfoForm::NodeEdited);
    connect(ServerListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ServerPopupMenuPopup();
        ServerPopupMenu->popup(ServerListView->viewport()->mapToGlobal(at));
    });
    connect(ShareTreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ShareTVPopupMenuPopup();
        ShareTVPopupMenu->popup(ShareTreeView->viewport()->mapToGlobal(at));
    });
}

void TVolumeInfoForm::CreateMenus()
{
    ServerPopupMenu = Named(new QMenu(this), "ServerPopupMenu");
    AddServer1 = Item(ServerPopupMenu, "&Add server", "AddServer1");
    RenameServer1 = Item(ServerPopupMenu, "&Rename server", "RenameServer1");
    DeleteServer1 = Item(ServerPopupMenu, "&Delete server", "DeleteServer1");
    ServerPopupMenu->addSeparator();
    SpecifyIPAddress1 = Item(ServerPopupMenu, "&Specify IP address ...", "SpecifyIPAddress1");
    ServerPopupMenu->addSeparator();
    SpecifyOperatingSystem1 =
        Named(ServerPopupMenu->addMenu("Specify &operating system ..."), "SpecifyOperatingSystem1");
    const std::pair<const char*, const char*> systems[] = {{"N&ovell netware", "NovellNetware1"},
                                                           {"&Windows 95/98", "Windows95981"},
                                                           {"Windows &NT", "WindowsNT1"},
                                                           {"&Other", "Other1"}};
    int tag = 0;
    for (const auto& [caption, name] : systems) {
        QAction* action = Item(SpecifyOperatingSystem1, caption, name);
        action->setData(++tag);
        connect(action, &QAction::triggered, this, [this, tag] { OperatingSystemClick(tag); });
    }
    connect(AddServer1, &QAction::triggered, this, &TVolumeInfoForm::AddServer1Click);
    connect(RenameServer1, &QAction::triggered, this, &TVolumeInfoForm::RenameServer1Click);
    connect(DeleteServer1, &QAction::triggered, this, &TVolumeInfoForm::DeleteServer1Click);
    connect(SpecifyIPAddress1, &QAction::triggered, this, &TVolumeInfoForm::SpecifyIPAddress1Click);

    ShareTVPopupMenu = Named(new QMenu(this), "ShareTVPopupMenu");
    AddVolume1 = Item(ShareTVPopupMenu, "Add &volume", "AddVolume1");
    RenameVolume1 = Item(ShareTVPopupMenu, "Rename v&olume", "RenameVolume1");
    DeleteVolume1 = Item(ShareTVPopupMenu, "Delete vo&lume", "DeleteVolume1");
    ShareTVPopupMenu->addSeparator();
    AddShare1 = Item(ShareTVPopupMenu, "&Add share", "AddShare1");
    RenameShare1 = Item(ShareTVPopupMenu, "&Rename share", "RenameShare1");
    DeleteShare1 = Item(ShareTVPopupMenu, "&Delete share", "DeleteShare1");
    ShareTVPopupMenu->addSeparator();
    ChooseOwnFileSystem1 =
        Named(ShareTVPopupMenu->addMenu("Choose own &file system ..."), "ChooseOwnFileSystem1");
    tag = 0;
    for (const char* fs : {"DOS", "FAT", "FAT32", "NTFS", "NWFS"}) {
        QAction* action = ChooseOwnFileSystem1->addAction(fs);
        action->setObjectName(QString("FileSystem%1").arg(fs));
        action->setData(++tag);
        connect(action, &QAction::triggered, this, [this, fs] { FileSystemClick(fs); });
    }
    ShareTVPopupMenu->addSeparator();
    ChooseOwnAllocationUnit1 = Named(ShareTVPopupMenu->addMenu("&Choose own allocation unit..."),
                                     "ChooseOwnAllocationUnit1");
    for (int unit : {1, 512, 1024, 2048, 4096, 8192, 16384, 32768}) {
        QAction* action = ChooseOwnAllocationUnit1->addAction(
            unit == 16384 ? QString("16384 ") : QString::number(unit));
        action->setObjectName(QString("Unit%1").arg(unit));
        action->setData(unit);
        connect(action, &QAction::triggered, this, [this, unit] { AllocUnitClick(unit); });
    }
    OtherUnit1 = Item(ChooseOwnAllocationUnit1, "Other ...", "OtherUnit1");
    connect(AddVolume1, &QAction::triggered, this, &TVolumeInfoForm::AddVolume1Click);
    connect(RenameVolume1, &QAction::triggered, this, &TVolumeInfoForm::RenameClick);
    connect(DeleteVolume1, &QAction::triggered, this, &TVolumeInfoForm::DeleteVolume1Click);
    connect(AddShare1, &QAction::triggered, this, &TVolumeInfoForm::AddShare1Click);
    connect(RenameShare1, &QAction::triggered, this, &TVolumeInfoForm::RenameClick);
    connect(DeleteShare1, &QAction::triggered, this, &TVolumeInfoForm::DeleteShare1Click);
    connect(OtherUnit1, &QAction::triggered, this, &TVolumeInfoForm::OtherUnit1Click);
}

void TVolumeInfoForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormActivate();
}

void TVolumeInfoForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Another program (or another instance) may have changed the file meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !Editing())
        FormActivate();
}

bool TVolumeInfoForm::Editing() const
{
    // An open editor is the widget of its index.
    return ServerListView->indexWidget(ServerListView->currentIndex()) ||
           ShareTreeView->indexWidget(ShareTreeView->currentIndex());
}

void TVolumeInfoForm::FormActivate()
{
    // The share list of the data directory shown now: the reference manager may have turned to
    // another one since the window was made.
    editor_ = MakeEditor(context_);
    QTreeWidgetItem* current = ShareTreeView->currentItem();
    const QString node = current ? current->data(0, kTextRole).toString() : QString();
    std::optional<TServerItem> server = SelectedServer();
    FillServers(server ? Q(server->Caption) : QString());
    FillShareTree(node);
}

void TVolumeInfoForm::FillServers(const QString& select)
{
    filling_ = true;
    ServerListView->clear();
    QTreeWidgetItem* selected = nullptr;
    for (const TServerItem& server : editor_.Servers()) {
        auto* item = new QTreeWidgetItem(ServerListView,
                                         {Q(server.Caption), Q(server.IPAddress), Q(server.OS)});
        item->setData(0, kTextRole, Q(server.Caption));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (!selected && Q(server.Caption).compare(select, Qt::CaseInsensitive) == 0)
            selected = item;
    }
    if (!selected)
        selected = ServerListView->topLevelItem(0);
    ServerListView->setCurrentItem(selected);
    filling_ = false;
}

QTreeWidgetItem* TVolumeInfoForm::AddNodeItem(QTreeWidgetItem* parent, const TShareNode& node)
{
    auto* item = parent ? new QTreeWidgetItem(parent, {Q(node.Text)})
                        : new QTreeWidgetItem(ShareTreeView, {Q(node.Text)});
    item->setData(0, kKindRole, node.Data);
    item->setData(0, kTextRole, Q(node.Text));
    item->setData(0, kVolumeRole, Q(node.Volume));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void TVolumeInfoForm::FillShareTree(const QString& select)
{
    filling_ = true;
    ShareTreeView->clear();
    if (std::optional<TServerItem> server = SelectedServer()) {
        for (const TShareNode& node : editor_.ShareTree(server->Caption)) {
            QTreeWidgetItem* item = AddNodeItem(nullptr, node);
            for (const TShareNode& share : node.Children)
                AddNodeItem(item, share);
        }
    }
    ShareTreeView->expandAll();
    if (QTreeWidgetItem* item = select.isEmpty() ? nullptr : FindItem(ShareTreeView, select))
        ShareTreeView->setCurrentItem(item);
    filling_ = false;
}

std::optional<TServerItem> TVolumeInfoForm::SelectedServer() const
{
    const QTreeWidgetItem* item = ServerListView->currentItem();
    if (!item)
        return std::nullopt;
    return TServerItem{S(item->data(0, kTextRole).toString()), S(item->text(1)), S(item->text(2))};
}

TShareNode TVolumeInfoForm::NodeOf(const QTreeWidgetItem* item) const
{
    TShareNode node;
    node.Data = item->data(0, kKindRole).toInt();
    node.Text = S(item->data(0, kTextRole).toString());
    node.Volume = S(item->data(0, kVolumeRole).toString());
    for (int i = 0; i < item->childCount(); ++i)
        node.Children.push_back(NodeOf(item->child(i)));
    return node;
}

int TVolumeInfoForm::SelectedKind() const
{
    const QTreeWidgetItem* item = ShareTreeView->currentItem();
    return item ? item->data(0, kKindRole).toInt() : 0;
}

template <class F> void TVolumeInfoForm::Edit(F edit)
{
    std::optional<TServerItem> server = SelectedServer();
    QString select = server ? Q(server->Caption) : QString();
    const QTreeWidgetItem* current = ShareTreeView->currentItem();
    QString node = current ? current->data(0, kTextRole).toString() : QString();
    try {
        context_.UI->SetBusy(true);
        TEditResult result = edit();
        if (result.Server)
            select = Q(*result.Server);
        if (result.Node)
            node = Q(*result.Node);
        context_.UI->SetBusy(false);
    } catch (const std::exception& e) {
        context_.UI->SetBusy(false);
        context_.UI->MessageDlg(e.what(), TMsgDlgType::Error, mbtn::OK);
    }
    FillServers(select);
    FillShareTree(node);
}

void TVolumeInfoForm::ServerEdited(QTreeWidgetItem* item, int column)
{
    if (filling_ || column != 0)
        return;
    TServerItem server{S(item->data(0, kTextRole).toString()), S(item->text(1)), S(item->text(2))};
    const std::string text = S(item->text(0));
    // The list is filled anew, which deletes the item: not while it is still delivering its
    // change.
    QMetaObject::invokeMethod(
        this,
        [this, server, text]() mutable {
            Edit([&] {
                editor_.ServerCaptionEdited(server, text);
                return TEditResult{server.Caption, std::nullopt};
            });
        },
        Qt::QueuedConnection);
}

void TVolumeInfoForm::NodeEdited(QTreeWidgetItem* item, int column)
{
    std::optional<TServerItem> server = SelectedServer();
    if (filling_ || column != 0 || !server)
        return;
    TShareNode node = NodeOf(item);
    const std::string text = S(item->text(0));
    QMetaObject::invokeMethod(
        this,
        [this, server, node, text]() mutable {
            Edit([&] {
                editor_.NodeEdited(*server, node, text);
                return TEditResult{std::nullopt, node.Text};
            });
        },
        Qt::QueuedConnection);
}

void TVolumeInfoForm::ServerPopupMenuPopup()
{
    const TServerMenuState s = ServerMenuState(SelectedServer().has_value());
    AddServer1->setEnabled(s.AddServer);
    RenameServer1->setEnabled(s.RenameServer);
    DeleteServer1->setEnabled(s.DeleteServer);
    SpecifyIPAddress1->setEnabled(s.SpecifyIPAddress);
    SpecifyOperatingSystem1->setEnabled(s.SpecifyOperatingSystem);
}

void TVolumeInfoForm::ShareTVPopupMenuPopup()
{
    const TShareMenuState s = ShareMenuState(SelectedServer().has_value(), SelectedKind());
    AddVolume1->setEnabled(s.AddVolume);
    RenameVolume1->setEnabled(s.RenameVolume);
    DeleteVolume1->setEnabled(s.DeleteVolume);
    AddShare1->setEnabled(s.AddShare);
    RenameShare1->setEnabled(s.RenameShare);
    DeleteShare1->setEnabled(s.DeleteShare);
    ChooseOwnFileSystem1->setEnabled(s.ChooseFileSystem);
    ChooseOwnAllocationUnit1->setEnabled(s.ChooseAllocUnit);
}

void TVolumeInfoForm::AddServer1Click()
{
    TServerItem server;
    try {
        server = editor_.AddServer();
    } catch (const std::exception& e) {
        context_.UI->MessageDlg(e.what(), TMsgDlgType::Error, mbtn::OK);
        return;
    }
    FillServers(Q(server.Caption));
    FillShareTree({});
    if (QTreeWidgetItem* item = ServerListView->currentItem())
        ServerListView->editItem(item, 0);
}

void TVolumeInfoForm::RenameServer1Click()
{
    if (QTreeWidgetItem* item = ServerListView->currentItem())
        ServerListView->editItem(item, 0);
}

void TVolumeInfoForm::DeleteServer1Click()
{
    std::optional<TServerItem> server = SelectedServer();
    if (!server ||
        context_.UI->MessageBox("OK to delete server and shares from database ?",
                                "Confirm deletion", mb::OKCancel | mb::DefButton2) != idOK)
        return;
    Edit([&] {
        editor_.UpdateSharesINI("Delete", "Server", "", *server);
        return TEditResult{std::string(), std::nullopt};
    });
}

void TVolumeInfoForm::SpecifyIPAddress1Click()
{
    std::optional<TServerItem> server = SelectedServer();
    if (!server)
        return;
    std::string address = server->IPAddress;
    if (!context_.UI->InputQuery("Tell me ...",
                                 "Please enter the IP address for " + server->Caption, address))
        return;
    Edit([&] {
        editor_.SetIPAddress(*server, address);
        return TEditResult{};
    });
}

void TVolumeInfoForm::OperatingSystemClick(int tag)
{
    std::optional<TServerItem> server = SelectedServer();
    if (!server)
        return;
    Edit([&] {
        editor_.SetOperatingSystem(*server, tag);
        return TEditResult{};
    });
}

void TVolumeInfoForm::AddVolume1Click()
{
    std::optional<TServerItem> server = SelectedServer();
    if (!server)
        return;
    TShareNode node;
    try {
        node = editor_.AddVolume(server->Caption);
    } catch (const std::exception& e) {
        context_.UI->MessageDlg(e.what(), TMsgDlgType::Error, mbtn::OK);
        return;
    }
    filling_ = true;
    QTreeWidgetItem* item = AddNodeItem(nullptr, node);
    filling_ = false;
    ShareTreeView->setCurrentItem(item);
    ShareTreeView->editItem(item, 0);
}

void TVolumeInfoForm::AddShare1Click()
{
    std::optional<TServerItem> server = SelectedServer();
    QTreeWidgetItem* selected = ShareTreeView->currentItem();
    if (!server || !selected)
        return;
    TShareNode node;
    try {
        node = editor_.AddShare(server->Caption, NodeOf(selected));
    } catch (const std::exception& e) {
        context_.UI->MessageDlg(e.what(), TMsgDlgType::Error, mbtn::OK);
        return;
    }
    QTreeWidgetItem* volume =
        selected->data(0, kKindRole).toInt() == kVolumeNode ? selected : selected->parent();
    filling_ = true;
    QTreeWidgetItem* item = AddNodeItem(volume, node);
    filling_ = false;
    selected->setExpanded(true);
    ShareTreeView->setCurrentItem(item);
    ShareTreeView->editItem(item, 0);
}

void TVolumeInfoForm::RenameClick()
{
    if (QTreeWidgetItem* item = ShareTreeView->currentItem())
        ShareTreeView->editItem(item, 0);
}

template <class F> void TVolumeInfoForm::EditNode(int kind, F edit)
{
    std::optional<TServerItem> server = SelectedServer();
    QTreeWidgetItem* item = ShareTreeView->currentItem();
    if (!server || !item || item->data(0, kKindRole).toInt() != kind)
        return;
    TShareNode node = NodeOf(item);
    Edit([&] {
        edit(server->Caption, node);
        return TEditResult{std::nullopt, node.Text};
    });
}

void TVolumeInfoForm::DeleteShare1Click()
{
    EditNode(kShareNode, [this](const std::string& server, TShareNode& node) {
        editor_.TVUpdateSharesINI("Delete", "Share", "", node, server);
    });
}

void TVolumeInfoForm::DeleteVolume1Click()
{
    // The question can be declined: a box with OK alone would delete whatever the user answered.
    if (SelectedKind() != kVolumeNode ||
        context_.UI->MessageDlg("OK to delete this volume (and underlying shares) ?",
                                TMsgDlgType::Information, mbtn::OK | mbtn::Cancel, 0,
                                mbtn::Cancel) != idOK)
        return;
    EditNode(kVolumeNode, [this](const std::string& server, TShareNode& node) {
        editor_.TVUpdateSharesINI("Delete", "Share", "", node, server);
    });
}

void TVolumeInfoForm::FileSystemClick(const std::string& fileSystem)
{
    EditNode(kVolumeNode, [&](const std::string& server, TShareNode& node) {
        editor_.ChooseFileSystem(server, node, fileSystem);
    });
}

void TVolumeInfoForm::AllocUnitClick(int unit)
{
    EditNode(kVolumeNode, [&](const std::string& server, TShareNode& node) {
        editor_.ChooseAllocUnit(server, node, unit);
    });
}

void TVolumeInfoForm::OtherUnit1Click()
{
    if (SelectedKind() != kVolumeNode)
        return;
    std::string text;
    if (!context_.UI->InputQuery("Specify unit", "Enter allocation unit:", text))
        return;
    std::optional<int32_t> unit = ParseAllocUnit(text);
    if (!unit) {
        context_.UI->ShowMessage(kAllocUnitError);
        return;
    }
    AllocUnitClick(*unit);
}

} // namespace vm
