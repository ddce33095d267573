#include "fileops/TagSettingsForm.h"

#include "platform/HelpTopics.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm {

namespace {
constexpr int kPositionRole = Qt::UserRole;
constexpr int kDataRole = Qt::UserRole + 1;
} // namespace

TTagSettingsForm::TTagSettingsForm(const TImageList& tagImages, QWidget* parent) : QDialog(parent)
{
    setObjectName("TagSettingsForm");
    setWindowTitle("Define user tags");

    auto* heading = new QLabel("Tick or double click tags required ", this);
    heading->setObjectName("HeadingLabel");

    TagSettingsListView = new QListWidget(this);
    TagSettingsListView->setObjectName("TagSettingsListView");
    TagSettingsListView->setAccessibleName("User tags");
    TagSettingsListView->setToolTip("Select, then right mouse click to change tag name");
    TagSettingsListView->setIconSize(QSize(16, 16));
    TagSettingsListView->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TagSettingsListView->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int i = 0; i < kTagItemCount; ++i) {
        auto* item = new QListWidgetItem(tagImages.Icon(i), QString(), TagSettingsListView);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable |
                       (TagItemRenamable(i) ? Qt::ItemIsEditable : Qt::NoItemFlags));
        item->setData(kPositionRole, i);
        item->setData(kDataRole, TagItemData(i));
    }
    SetSettings(TTagSettings());
    saved_ = Settings();
    connect(TagSettingsListView, &QListWidget::itemDoubleClicked, this,
            &TTagSettingsForm::ToggleSelected);
    connect(TagSettingsListView, &QListWidget::itemChanged, this, &TTagSettingsForm::ItemChanged);
    connect(TagSettingsListView, &QWidget::customContextMenuRequested, this,
            &TTagSettingsForm::PopupMenuShow);

    TagSettingsPopupMenu = new QMenu(this);
    TagSettingsPopupMenu->setObjectName("TagSettingsPopupMenu");
    Activate1 = TagSettingsPopupMenu->addAction("Activate");
    Activate1->setObjectName("Activate1");
    connect(Activate1, &QAction::triggered, this, &TTagSettingsForm::ToggleSelected);
    Rename1 = TagSettingsPopupMenu->addAction("Rename");
    Rename1->setObjectName("Rename1");
    Rename1->setShortcut(QKeySequence(Qt::Key_F2));
    Rename1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(Rename1);
    connect(Rename1, &QAction::triggered, this, &TTagSettingsForm::RenameButtonClick);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    connect(CancelButton, &QPushButton::clicked, this, &TTagSettingsForm::CancelButtonClick);
    RenameButton = new QPushButton("Rename tag", this);
    RenameButton->setObjectName("RenameButton");
    connect(RenameButton, &QPushButton::clicked, this, &TTagSettingsForm::RenameButtonClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(RenameButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(TagSettingsListView);
    layout->addLayout(buttons);
    resize(300, 360);

    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::TagSettings); });
}

void TTagSettingsForm::SetSettings(const TTagSettings& settings)
{
    restoring_ = true;
    for (int i = 0; i < kTagItemCount; ++i) {
        QListWidgetItem* item = TagSettingsListView->item(i);
        captions_[size_t(i)] = QString::fromStdString(settings.Captions[size_t(i)]);
        item->setText(captions_[size_t(i)]);
        item->setCheckState(settings.Checked[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    }
    restoring_ = false;
}

TTagSettings TTagSettingsForm::Settings() const
{
    TTagSettings settings;
    for (int i = 0; i < kTagItemCount; ++i) {
        const QListWidgetItem* item = TagSettingsListView->item(i);
        settings.Captions[size_t(i)] = item->text().toStdString();
        settings.Checked[size_t(i)] = item->checkState() == Qt::Checked;
    }
    return settings;
}

void TTagSettingsForm::showEvent(QShowEvent* event)
{
    // Activation takes the state Cancel returns to.
    saved_ = Settings();
    savedChecks_ = saved_.CheckState();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TTagSettingsForm::CancelButtonClick()
{
    // The check marks as they were, and the captions too: a rename the user cancels must not
    // reach the log with a later OK.
    TTagSettings back = saved_;
    back.SetCheckState(savedChecks_);
    SetSettings(back);
    QDialog::reject();
}

void TTagSettingsForm::reject()
{
    CancelButtonClick();
}

int TTagSettingsForm::SelectedItem() const
{
    QListWidgetItem* item = TagSettingsListView->currentItem();
    return item && item->isSelected() ? item->data(kPositionRole).toInt() : -1;
}

void TTagSettingsForm::ToggleSelected()
{
    const int i = SelectedItem();
    if (i < 0)
        return;
    QListWidgetItem* item = TagSettingsListView->item(i);
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TTagSettingsForm::RenameButtonClick()
{
    const int i = SelectedItem();
    if (TagItemRenamable(i))
        TagSettingsListView->editItem(TagSettingsListView->item(i));
}

void TTagSettingsForm::PopupMenuShow(const QPoint& at)
{
    const int i = SelectedItem();
    Rename1->setEnabled(TagItemRenamable(i));
    Activate1->setText(i >= 0 && TagSettingsListView->item(i)->checkState() == Qt::Checked
                           ? "Deactivate"
                           : "Activate");
    TagSettingsPopupMenu->popup(TagSettingsListView->viewport()->mapToGlobal(at));
}

void TTagSettingsForm::ItemChanged(QListWidgetItem* item)
{
    if (restoring_)
        return;
    const int i = item->data(kPositionRole).toInt();
    if (ValidTagCaption(item->text().toStdString())) {
        captions_[size_t(i)] = item->text();
        return;
    }
    // A line break would shift every later name of the log: the caption stays what it was.
    QApplication::beep();
    restoring_ = true;
    item->setText(captions_[size_t(i)]);
    restoring_ = false;
}

} // namespace vm
