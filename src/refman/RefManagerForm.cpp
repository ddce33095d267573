#include "refman/RefManagerForm.h"

#include "app/MainForm.h"
#include "app/ToolsOptionsForm.h"
#include "refman/QtHistoryView.h"
#include "refman/RefListSort.h"
#include "refman/WizardForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Only the caption (the first column) of a reference can be edited.
class TCaptionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        // The first click of a double-click on the selected reference has started the list's
        // delayed caption editing; the double-click opens the reference instead.
        if (doubleClicked_.isValid() &&
            doubleClicked_.elapsed() < 2 * QApplication::doubleClickInterval()) {
            doubleClicked_.invalidate();
            return nullptr;
        }
        return index.column() == 0 ? QStyledItemDelegate::createEditor(parent, option, index)
                                   : nullptr;
    }
    void NoteDoubleClick() { doubleClicked_.start(); }

private:
    mutable QElapsedTimer doubleClicked_;
};

QTreeWidget* MakeList(QWidget* parent, const char* name, const QString& accessible)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessible);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(false);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);
    return list;
}

// The widths of the design are those of a small dialog font: columns grow with the font in use
// and with what they show, so that no caption or value is cut, except that a long name or path
// in the first column is cut (its row's tooltip shows it whole) rather than push the other
// columns out of view.
void FitColumns(QTreeWidget* list, const std::vector<int>& widths, bool laidOut)
{
    const double scale = std::max(1.0, list->fontMetrics().averageCharWidth() / 5.5);
    std::vector<int> least, shown;
    for (int c = 0; c < int(widths.size()); ++c) {
        const bool hidden = list->isColumnHidden(c);
        least.push_back(hidden ? -1 : int(widths[size_t(c)] * scale));
        if (!hidden)
            list->resizeColumnToContents(c); // the wider of the caption and the texts
        shown.push_back(hidden ? 0 : list->columnWidth(c) + 8);
    }
    // Before the window has its size the list has no width to fit into yet.
    const int available = laidOut ? list->viewport()->width() : std::numeric_limits<int>::max();
    const std::vector<int> fitted = FitColumnWidths(least, shown, available);
    for (int c = 0; c < int(fitted.size()); ++c)
        if (least[size_t(c)] >= 0)
            list->setColumnWidth(c, fitted[size_t(c)]);
}

constexpr int kRowRole = Qt::UserRole;
const std::vector<int> kRefListWidths{100, 110, 70, 70};

} // namespace

TRefManager::TRefManager(TMDIParent& frame, QWidget* parent)
    : QWidget(parent), Progress(*frame.Context().UI), frame_(frame), context_(frame.Context()),
      store_(context_.DataDirectory), locale_(TLocale::FromEnvironment())
{
    setObjectName("RefManager");
    setWindowTitle("Reference manager");
    setWindowIcon(frame_.SmallImageList.Icon(img::Reference));

    CreateControls();
    CreateMenus();
    CreatePopups();
    CreateToolBar();

    auto* right = new QWidget(Splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(RefManContentsLabel);
    RHSStack = new QStackedWidget(right);
    RHSStack->setObjectName("RHSStack");
    RHSStack->addWidget(RHSListView);
    HistoryView = new THistoryView(RHSStack);
    RHSStack->addWidget(HistoryView);
    rightLayout->addWidget(RHSStack, 1);
    Splitter->addWidget(RefListView);
    Splitter->addWidget(right);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar);
    layout->addWidget(Splitter, 1);
    layout->addWidget(ManagerStatusBar);

    WizardStartTimer = new QTimer(this);
    WizardStartTimer->setObjectName("WizardStartTimer");
    WizardStartTimer->setInterval(100);
    WizardStartTimer->setSingleShot(true);
    connect(WizardStartTimer, &QTimer::timeout, this, &TRefManager::WizardStartTimerTimer);

    Wizard = new TWizardForm(store_, *context_.UI, &frame_);
    DisplayLog = [this](int reference, int log) { frame_.DisplayLog(reference, log); };
    DisplayComp = [this](int reference, int first, int second) {
        frame_.DisplayComp(reference, first, second);
    };
    Wizard->DisplayLog = [this](int reference, int log) { DisplayLog(reference, log); };
    Wizard->BrowseForFolder = [this](const QString& title) { return BrowseForFolder(title); };
    connect(Wizard, &TWizardForm::Hidden, this, &TRefManager::FillRefListView);
    connect(Wizard, &TWizardForm::HelpRequested, &frame_, &TMDIParent::ShowHelpContext);
    ShowWizard = [this] { Wizard->exec(); };
    BrowseForFolder = [this](const QString& title) {
        return QFileDialog::getExistingDirectory(this, title, "/", QFileDialog::ShowDirsOnly)
            .toStdString();
    };
    BrowseForDataDirectory = [this](const QString& current) {
        return QFileDialog::getExistingDirectory(this, "Data directory", current,
                                                 QFileDialog::ShowDirsOnly)
            .toStdString();
    };

    connect(&frame_, &TMDIParent::FolderModeEntered, this, &TRefManager::UpdateActions);
    connect(frame_.MdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        // On activation the options are read again: another program may have changed them.
        if (window && window->widget() == this && !running_) {
            frame_.Options().LoadOptions();
            UpdateActions();
        }
    });
    ShowView(TRHSView::Logs);
}

TRefManager::~TRefManager() = default;

void TRefManager::CreateControls()
{
    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName("Splitter");
    Splitter->setChildrenCollapsible(false);

    RefListView = MakeList(Splitter, "RefListView", "References");
    RefListView->setHeaderLabels(
        {"Reference name", "Last log date", "Last log size", "Log change"});
    for (int c : {2, 3})
        RefListView->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    RefListView->setSelectionMode(QAbstractItemView::SingleSelection);
    RefListView->setEditTriggers(QAbstractItemView::SelectedClicked);
    RefListView->setItemDelegate(new TCaptionDelegate(RefListView));
    RefListView->installEventFilter(this);
    FitColumns(RefListView, kRefListWidths, laidOut_);
    connect(RefListView, &QTreeWidget::itemSelectionChanged, this, &TRefManager::RefListViewChange);
    connect(RefListView, &QTreeWidget::itemDoubleClicked, this, [this] {
        static_cast<TCaptionDelegate*>(RefListView->itemDelegate())->NoteDoubleClick();
        ExploreLatestLogClick();
    });
    connect(RefListView->header(), &QHeaderView::sectionClicked, this,
            &TRefManager::RefListViewColumnClick);
    connect(RefListView->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
                EditFinished(editor, int(hint));
            });
    connect(RefListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        RefManRefPopupMenu->exec(RefListView->viewport()->mapToGlobal(at));
    });

    RefManContentsLabel = new QLabel(this);
    RefManContentsLabel->setObjectName("RefManContentsLabel");
    RefManContentsLabel->setTextFormat(Qt::PlainText);
    RefManContentsLabel->setContentsMargins(6, 3, 6, 3);

    RHSListView = MakeList(this, "RHSListView", "Logs, comparisons or paths of the reference");
    RHSListView->setColumnCount(4);
    RHSListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    RHSListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RHSListView->installEventFilter(this);
    connect(RHSListView, &QTreeWidget::itemSelectionChanged, this, &TRefManager::RHSListViewChange);
    connect(RHSListView, &QTreeWidget::itemDoubleClicked, this, &TRefManager::OpenClick);
    connect(RHSListView->header(), &QHeaderView::sectionClicked, this,
            &TRefManager::RHSListViewColumnClick);
    connect(RHSListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        // Until a reference's view is filled, the list offers the reference pop-up.
        QMenu* popup = CurrentRefNo < 0              ? RefManRefPopupMenu
                       : view_ == TRHSView::Paths    ? RefManPathPopupMenu
                       : view_ == TRHSView::Compares ? RefManCompsPopupMenu
                                                     : RefManLogsPopupMenu;
        popup->exec(RHSListView->viewport()->mapToGlobal(at));
    });

    ManagerStatusBar = new QStatusBar(this);
    ManagerStatusBar->setObjectName("ManagerStatusBar");
    ManagerStatusBar->setSizeGripEnabled(false);
    // Which data directory the window shows, always in view: the program may have opened the
    // one used last rather than the one it was started in.
    DataDirectoryLabel = new QLabel(ManagerStatusBar);
    DataDirectoryLabel->setObjectName("DataDirectoryLabel");
    DataDirectoryLabel->setText("Data directory: " + Q(context_.DataDirectory));
    ManagerStatusBar->addPermanentWidget(DataDirectoryLabel);
}

const TRefRow* TRefManager::RefRowOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    const int i = item->data(0, kRowRole).toInt();
    return i >= 0 && size_t(i) < refRows_.size() ? &refRows_[size_t(i)] : nullptr;
}

const TRHSRow* TRefManager::RHSRowOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    const int i = item->data(0, kRowRole).toInt();
    return i >= 0 && size_t(i) < rhsRows_.size() ? &rhsRows_[size_t(i)] : nullptr;
}

QTreeWidgetItem* TRefManager::SelectedRef() const
{
    const QList<QTreeWidgetItem*> selected = RefListView->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* TRefManager::FindRefItem(const QString& caption) const
{
    for (int i = 0; i < RefListView->topLevelItemCount(); ++i)
        if (RefListView->topLevelItem(i)->text(0) == caption)
            return RefListView->topLevelItem(i);
    return nullptr;
}

void TRefManager::SelectRef(const QString& caption)
{
    if (QTreeWidgetItem* item = FindRefItem(caption)) {
        RefListView->setCurrentItem(item);
        item->setSelected(true);
    } else {
        RefListView->clearSelection();
    }
}

QList<QTreeWidgetItem*> TRefManager::SelectedRHS() const
{
    QList<QTreeWidgetItem*> selected;
    for (int i = 0; i < RHSListView->topLevelItemCount(); ++i)
        if (RHSListView->topLevelItem(i)->isSelected())
            selected.append(RHSListView->topLevelItem(i));
    return selected;
}

TRHSView TRefManager::CurrentView() const
{
    return view_;
}

void TRefManager::SetCurrentRef(int n)
{
    CurrentRefNo = n;
    CurrentRefSection = TRefStore::RefSection(n);
    CurrentRefDir = store_.RefDir(n);
    CurrentRefName = store_.RefName(n);
    if (CurrentRefName.empty())
        CurrentRefName = CurrentRefSection;
    ManagerStatusBar->showMessage(Q(CurrentRefDir));
}

void TRefManager::ClearCurrentRef()
{
    CurrentRefNo = -1;
    CurrentRefName = "<unknown ref>";
    CurrentRefSection.clear();
    CurrentRefDir.clear();
    ManagerStatusBar->clearMessage();
}

void TRefManager::FillRefListView()
{
    editing_ = nullptr; // the items go
    const QTreeWidgetItem* selected = SelectedRef();
    const int keep = selected && RefRowOf(selected) ? RefRowOf(selected)->Number : -1;
    refRows_ = ListReferenceRows(store_, locale_);
    {
        const QSignalBlocker block(RefListView);
        RefListView->clear();
        RHSListView->clear();
        rhsRows_.clear();
        ShowRefRows();
        for (int i = 0; i < RefListView->topLevelItemCount(); ++i)
            if (RefRowOf(RefListView->topLevelItem(i))->Number == keep) {
                RefListView->setCurrentItem(RefListView->topLevelItem(i));
                RefListView->topLevelItem(i)->setSelected(true);
            }
    }
    FitColumns(RefListView, kRefListWidths, laidOut_);
    RefListViewChange();
}

void TRefManager::ShowRefRows()
{
    for (size_t i = 0; i < refRows_.size(); ++i) {
        const TRefRow& row = refRows_[i];
        auto* item = new QTreeWidgetItem(
            {Q(row.Caption), Q(row.LastLogDate), Q(row.LastLogSize), Q(row.LogChange)});
        item->setData(0, kRowRole, int(i));
        item->setIcon(0, frame_.SmallImageList.Icon(img::Reference));
        item->setToolTip(0, Q(row.Caption)); // the whole name where the column cuts it
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        for (int c : {2, 3})
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        RefListView->addTopLevelItem(item);
    }
}

void TRefManager::RefListViewChange()
{
    const QTreeWidgetItem* item = SelectedRef();
    ClearCurrentRef();
    if (item && !item->text(0).isEmpty() && RefRowOf(item)) {
        SetCurrentRef(RefRowOf(item)->Number);
        RefManContentsLabel->setText("Contents of : " + item->text(0));
        FillRHSListView();
    } else {
        const QSignalBlocker block(RHSListView);
        RHSListView->clear();
        rhsRows_.clear();
        HistoryView->Clear();
        RefManContentsLabel->clear();
    }
    UpdateActions();
}

void TRefManager::ShowView(TRHSView view)
{
    CheckView(view);
    FillRHSListView();
}

void TRefManager::CheckView(TRHSView view)
{
    view_ = view;
    const TRHSViewInfo& info = ViewInfo(view);
    QAction* action = view == TRHSView::Logs       ? ViewLogsAction
                      : view == TRHSView::Compares ? ViewComparesAction
                      : view == TRHSView::Paths    ? ViewPathsAction
                                                   : ViewHistoryAction;
    action->setChecked(true);
    RHSStack->setCurrentWidget(view == TRHSView::History ? static_cast<QWidget*>(HistoryView)
                                                         : RHSListView);
    ViewButton->setIcon(ToolBarSmallImageList[size_t(info.ButtonImage)]);
    QStringList captions;
    for (const TRHSColumn& column : info.Columns)
        captions << column.Caption;
    RHSListView->setHeaderLabels(captions);
    for (int c = 0; c < 4; ++c) {
        const TRHSColumn& column = info.Columns[size_t(c)];
        RHSListView->headerItem()->setTextAlignment(
            c, (column.RightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        RHSListView->setColumnHidden(c, column.Width == 0);
    }
}

void TRefManager::FillRHSListView()
{
    {
        const QSignalBlocker block(RHSListView);
        RHSListView->clear();
        rhsRows_.clear();
    }
    if (CurrentRefNo >= 0) {
        switch (view_) {
        case TRHSView::Logs:
            rhsRows_ = LogRows(store_, locale_, CurrentRefNo);
            break;
        case TRHSView::Compares:
            rhsRows_ = ComparisonRows(store_, locale_, CurrentRefNo);
            break;
        case TRHSView::Paths:
            rhsRows_ = PathRows(store_, CurrentRefNo);
            break;
        case TRHSView::History:
            HistoryView->ShowHistory(LogHistory(store_, CurrentRefNo), locale_);
            break;
        }
        const TRHSViewInfo& info = ViewInfo(view_);
        const QSignalBlocker block(RHSListView);
        for (size_t i = 0; i < rhsRows_.size(); ++i) {
            const TRHSRow& row = rhsRows_[i];
            auto* item = new QTreeWidgetItem(
                {Q(row.Caption), Q(row.Columns[0]), Q(row.Columns[1]), Q(row.Columns[2])});
            item->setData(0, kRowRole, int(i));
            item->setIcon(0, frame_.SmallImageList.Icon(row.Image));
            item->setToolTip(0, Q(row.Caption));
            if (row.StateImage >= 0)
                item->setIcon(2, frame_.StateImageList.Icon(row.StateImage));
            for (int c = 0; c < 4; ++c)
                item->setTextAlignment(
                    c, (info.Columns[size_t(c)].RightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                           Qt::AlignVCenter);
            RHSListView->addTopLevelItem(item);
        }
        SortRHSList(info.FillSortCode);
        std::vector<int> widths;
        for (const TRHSColumn& column : info.Columns)
            widths.push_back(column.Width);
        FitColumns(RHSListView, widths, laidOut_);
    }
    UpdateActions();
}

namespace {

// Reorders the items of a list by their rows, keeping the selection and the current item.
template <class Row, class Compare>
void SortItems(QTreeWidget* list, const std::vector<Row>& rows, Compare compare)
{
    const QSignalBlocker block(list);
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    QTreeWidgetItem* current = list->currentItem();
    QList<QTreeWidgetItem*> items;
    while (list->topLevelItemCount() > 0)
        items.append(list->takeTopLevelItem(0));
    auto rowOf = [&](const QTreeWidgetItem* item) -> const Row& {
        return rows[size_t(item->data(0, kRowRole).toInt())];
    };
    std::stable_sort(items.begin(), items.end(),
                     [&](auto* a, auto* b) { return compare(rowOf(a), rowOf(b)) < 0; });
    list->addTopLevelItems(items);
    if (current)
        list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        item->setSelected(true);
}

} // namespace

void TRefManager::SortRefList(int signedCode)
{
    SortItems(RefListView, refRows_, [signedCode](const TRefRow& a, const TRefRow& b) {
        return CompareRefRows(a, b, signedCode);
    });
}

void TRefManager::SortRHSList(int signedCode)
{
    SortItems(RHSListView, rhsRows_, [signedCode](const TRHSRow& a, const TRHSRow& b) {
        return CompareRHSRows(a, b, signedCode);
    });
}

void TRefManager::RefListViewColumnClick(int column)
{
    SortToggle = !SortToggle;
    const int code = SortCodeOfColumn(RefListView->headerItem()->text(column).toStdString());
    SortRefList(SignedSortCode(code, SortToggle));
}

void TRefManager::RHSListViewColumnClick(int column)
{
    SortToggle = !SortToggle;
    const int code = SortCodeOfColumn(RHSListView->headerItem()->text(column).toStdString());
    SortRHSList(SignedSortCode(code, SortToggle));
}

void TRefManager::RHSListViewChange()
{
    UpdateActions();
}

void TRefManager::StartWizardTimerIfFirstRun()
{
    if (RefListView->topLevelItemCount() == 0 && context_.Arguments.empty())
        WizardStartTimer->start();
}

void TRefManager::WizardStartTimerTimer()
{
    WizardStartTimer->stop();
    TFileInfo info;
    int error = 0;
    const bool iniExists = store_.Files().StatPath(store_.RefIniPath(), info, error);
    if (RefListView->topLevelItemCount() > 0 || iniExists || !isEnabled())
        return;
    ShowWizard();
}

void TRefManager::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    RefManContentsLabel->clear();
    FillRefListView();
    if (!SelectedRef() && RefListView->topLevelItemCount() > 0) {
        RefListView->setCurrentItem(RefListView->topLevelItem(0));
        RefListView->topLevelItem(0)->setSelected(true);
    }
    RefListView->setFocus();
    if (!splitterPlaced_) {
        // The reference list starts wide enough for its columns, once the window has its size;
        // the user may move it.
        splitterPlaced_ = true;
        QTimer::singleShot(0, this, [this] {
            int wanted = 2 * RefListView->frameWidth() + 4;
            for (int c = 0; c < RefListView->columnCount(); ++c)
                wanted += RefListView->columnWidth(c);
            wanted = std::min(wanted, Splitter->width() / 2);
            Splitter->setSizes({wanted, std::max(1, Splitter->width() - wanted)});
            laidOut_ = true;
            FitColumns(RefListView, kRefListWidths, laidOut_);
        });
    }
    StartWizardTimerIfFirstRun();
}

void TRefManager::closeEvent(QCloseEvent* event)
{
    event->ignore(); // the home window is never closed
}

bool TRefManager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RefListView && event->type() == QEvent::FocusIn)
        StartWizardTimerIfFirstRun();
    if (watched == RHSListView &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        QTimer::singleShot(0, this, &TRefManager::UpdateActions);
    return QWidget::eventFilter(watched, event);
}

TRefManager* CreateRefManager(TMDIParent& frame)
{
    auto* manager = new TRefManager(frame);
    QMdiSubWindow* window = frame.AddChild(manager);
    window->setWindowIcon(manager->windowIcon());
    window->showMaximized();
    return manager;
}

} // namespace vm
