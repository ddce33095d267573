#include "output/EmailForm.h"

#include "core/DirStorage.h"
#include "display/QtImageLists.h"
#include "output/Email.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "platform/Stream.h"
#include "references/Options.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace vm {

namespace {
// The tag image of a tag row: images 0 to 10 for the user tags, the rubbish bin for row 12.
int TagRowImage(int number)
{
    return number == kTagRows ? img::RubbishBin : number - 1;
}

// The log of the dialog for one operation: the file opened read-only, or the log in memory.
struct TOpenLog
{
    std::unique_ptr<TFileStream> File;
    std::unique_ptr<TDirStorage> Log;
};

TOpenLog OpenLog(const std::string& fileName, TStream* memoryLog)
{
    TOpenLog open;
    if (memoryLog) {
        open.Log = std::make_unique<TDirStorage>(*memoryLog);
    } else {
        open.File = std::make_unique<TFileStream>(fileName, TFileMode::OpenRead);
        open.Log = std::make_unique<TDirStorage>(*open.File);
    }
    return open;
}

} // namespace

TEmailForm::TEmailForm(TAppContext& context, const TImageList& tagImages, QWidget* parent)
    : QDialog(parent), context_(context), tagImages_(tagImages)
{
    setObjectName("EmailForm");
    setWindowTitle("Email");

    AllFilesRadio = Named(new QRadioButton("Email all files", this), "AllFilesRadio");
    SelectedFilesRadio =
        Named(new QRadioButton("Email selected files", this), "SelectedFilesRadio");
    TaggedFilesRadio = Named(new QRadioButton("Email tagged files to recipients below:", this),
                             "TaggedFilesRadio");
    AllFilesRadio->setChecked(true);
    SingleRecipient = Named(new QLineEdit(this), "SingleRecipient");
    SingleRecipient->setAccessibleName("Recipients");
    EmailToButton = Named(new QPushButton("Email to ...", this), "EmailToButton");
    EmailToButton->setAutoDefault(false);

    TagListView = Named(new QTreeWidget(this), "TagListView");
    TagListView->setHeaderLabels({"Tag", "Email recipient(s)"});
    TagListView->setRootIsDecorated(false);
    TagListView->setColumnWidth(0, 120);
    TagListView->setColumnWidth(1, 300);
    TagListView->setToolTip("Use the right mouse click to specify a recipient");
    TagListView->setContextMenuPolicy(Qt::CustomContextMenu);
    TagListView->setMinimumSize(440, 250);
    TagPopupMenu = Named(new QMenu(this), "TagPopupMenu");
    AddRecipient1 = Named(TagPopupMenu->addAction("&Add recipient"), "AddRecipient1");
    SpecifyRecipient1 = Named(TagPopupMenu->addAction("&Specify recipient"), "SpecifyRecipient1");
    ClearRecipients1 = Named(TagPopupMenu->addAction("&Clear recipients"), "ClearRecipients1");

    Subject = Named(new QLineEdit(kListMailSubject, this), "Subject");
    auto* subjectLabel = new QLabel("Subject:", this);
    subjectLabel->setBuddy(Subject);
    RichTextCheckBox =
        Named(new QCheckBox("Send email in rich text format", this), "RichTextCheckBox");
    RichTextCheckBox->setEnabled(false);
    ShowDialogCheckBox =
        Named(new QCheckBox("Show send mail dialog before sending", this), "ShowDialogCheckBox");
    ShowDialogCheckBox->setChecked(true);
    HeaderFooterButton =
        Named(new QPushButton("Specify email header and footer ...", this), "HeaderFooterButton");
    HeaderFooterButton->setEnabled(false);
    SendButton = Named(new QPushButton("Send", this), "SendButton");
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    SendButton->setDefault(true);
    for (QPushButton* b : {HeaderFooterButton, CancelButton, HelpButton})
        b->setAutoDefault(false);

    connect(AllFilesRadio, &QRadioButton::toggled, this, &TEmailForm::RadioChanged);
    connect(SelectedFilesRadio, &QRadioButton::toggled, this, &TEmailForm::RadioChanged);
    connect(TaggedFilesRadio, &QRadioButton::toggled, this, &TEmailForm::RadioChanged);
    connect(EmailToButton, &QPushButton::clicked, this, &TEmailForm::EmailToButtonClick);
    connect(TagListView, &QTreeWidget::itemPressed, this,
            [this] { TaggedFilesRadio->setChecked(true); });
    connect(TagListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = TagListView->itemAt(at);
        if (!item)
            return;
        TagListView->setCurrentItem(item);
        TaggedFilesRadio->setChecked(true);
        TagPopupMenu->popup(TagListView->viewport()->mapToGlobal(at));
    });
    connect(AddRecipient1, &QAction::triggered, this, &TEmailForm::AddRecipientClick);
    connect(SpecifyRecipient1, &QAction::triggered, this, &TEmailForm::SpecifyRecipientClick);
    connect(ClearRecipients1, &QAction::triggered, this, &TEmailForm::ClearRecipientsClick);
    connect(SendButton, &QPushButton::clicked, this, &TEmailForm::SendButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { emit HelpRequested(help::Email); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { emit HelpRequested(help::Email); });

    auto* recipientRow = new QHBoxLayout;
    recipientRow->addWidget(SingleRecipient, 1);
    recipientRow->addWidget(EmailToButton);
    auto* subjectRow = new QHBoxLayout;
    subjectRow->addWidget(subjectLabel);
    subjectRow->addWidget(Subject, 1);
    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(HeaderFooterButton);
    headerRow->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SendButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(AllFilesRadio);
    layout->addWidget(SelectedFilesRadio);
    layout->addLayout(recipientRow);
    layout->addWidget(TaggedFilesRadio);
    layout->addWidget(TagListView, 1);
    layout->addLayout(subjectRow);
    layout->addWidget(RichTextCheckBox);
    layout->addWidget(ShowDialogCheckBox);
    layout->addLayout(headerRow);
    layout->addLayout(buttons);

    for (const TTagRow& row : PresetTagRows()) {
        auto* item = new QTreeWidgetItem(TagListView, {Q(row.Caption), ""});
        item->setData(0, Qt::UserRole, row.Number);
        item->setIcon(0, tagImages_.Icon(TagRowImage(row.Number)));
    }
}

void TEmailForm::SetNumbers(int reference, int logNumber)
{
    reference_ = reference;
    logNumber_ = logNumber;
}

void TEmailForm::SetLoadedFileName(const std::string& logFileName, TStream* memoryLog)
{
    logFileName_ = logFileName;
    memoryLog_ = memoryLog;
}

void TEmailForm::SetListView(const TListTable& table, const QAbstractItemView* view)
{
    table_ = &table;
    view_ = view;
}

int TEmailForm::ShowFor(int reference, int logNumber, const std::string& logFileName,
                        const TListTable& table, const QAbstractItemView* view, TStream* memoryLog)
{
    SetNumbers(reference, logNumber);
    SetLoadedFileName(logFileName, memoryLog);
    SetListView(table, view);
    const int result = exec();
    table_ = nullptr;
    view_ = nullptr;
    memoryLog_ = nullptr;
    return result;
}

void TEmailForm::showEvent(QShowEvent* event)
{
    FormActivate();
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TEmailForm::FormActivate()
{
    LoadTagRows();
    TOptions options;
    TRegistry registry;
    options.Load(registry);
    RichTextCheckBox->setChecked(options.EmailRTF);
    ShowDialogCheckBox->setChecked(options.EmailDialog);

    int selected = 0;
    if (view_ && view_->selectionModel()) {
        std::set<int> rows;
        for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
            rows.insert(index.row());
        selected = static_cast<int>(rows.size());
    }
    SelectedFilesRadio->setEnabled(selected > 0);
    if (selected > 1)
        SelectedFilesRadio->setChecked(true);
    else if (selected == 0 && SelectedFilesRadio->isChecked())
        AllFilesRadio->setChecked(true);
    RadioChanged();
}

void TEmailForm::LoadTagRows()
{
    std::vector<TTagRow> rows = PresetTagRows();
    if (memoryLog_ || !logFileName_.empty()) {
        try {
            TOpenLog open = OpenLog(logFileName_, memoryLog_);
            rows = LogTagRows(*open.Log);
        } catch (const std::exception&) {
            // A log that cannot be read keeps the preset names; sending by tags says why.
        }
    }
    for (int i = 0; i < TagListView->topLevelItemCount() && i < int(rows.size()); ++i) {
        QTreeWidgetItem* item = TagListView->topLevelItem(i);
        item->setText(0, Q(rows[size_t(i)].Caption));
        item->setText(1, "");
    }
}

void TEmailForm::RadioChanged()
{
    const bool tagged = TaggedFilesRadio->isChecked();
    SingleRecipient->setEnabled(!tagged);
    EmailToButton->setEnabled(!tagged);
}

std::vector<int> TEmailForm::ChosenRows() const
{
    if (!table_)
        return {};
    if (!SelectedFilesRadio->isChecked() || !view_ || !view_->selectionModel())
        return AllRows(*table_);
    std::set<int> rows;
    for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
        if (index.row() < table_->RowCount())
            rows.insert(index.row());
    return std::vector<int>(rows.begin(), rows.end());
}

std::vector<TTagRow> TEmailForm::TagRows() const
{
    std::vector<TTagRow> rows;
    for (int i = 0; i < TagListView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = TagListView->topLevelItem(i);
        rows.push_back({S(item->text(0)), item->data(0, Qt::UserRole).toInt(), S(item->text(1))});
    }
    return rows;
}

void TEmailForm::Tell(const std::string& text)
{
    if (context_.UI)
        context_.UI->ShowMessage(text);
}

bool TEmailForm::Pick(const std::string& current, std::string& names)
{
    if (!context_.UI)
        return false;
    TBusyCursor busy(context_.UI);
    try {
        std::string error;
        const int result =
            PickRecipients(*context_.UI, TMailFile::DefaultPath(), current, names, &error);
        busy.Done();
        if (result == SUCCESS_SUCCESS)
            return true;
        if (result != MAPI_USER_ABORT)
            Tell(error);
    } catch (const std::exception& e) {
        busy.Done();
        Tell(e.what());
    }
    return false;
}

void TEmailForm::EmailToButtonClick()
{
    std::string names;
    if (!Pick(S(SingleRecipient->text()), names))
        return;
    SingleRecipient->setText(Q(names));
    if (!names.empty())
        SendButton->setFocus();
}

void TEmailForm::AddRecipientClick()
{
    QTreeWidgetItem* item = TagListView->currentItem();
    std::string names;
    if (!item || !Pick("", names) || names.empty())
        return;
    const QString current = item->text(1);
    item->setText(1, current.isEmpty() ? Q(names) : current + ";" + Q(names));
}

void TEmailForm::SpecifyRecipientClick()
{
    QTreeWidgetItem* item = TagListView->currentItem();
    if (!item || !context_.UI)
        return;
    std::string value = S(item->text(1));
    if (context_.UI->InputQuery("Specify recipient", "Enter email address :", value))
        item->setText(1, Q(value));
}

void TEmailForm::ClearRecipientsClick()
{
    if (QTreeWidgetItem* item = TagListView->currentItem())
        item->setText(1, "");
}

void TEmailForm::SendButtonClick()
{
    if (!context_.UI)
        return;
    TUserInterface& ui = *context_.UI;
    TBusyCursor busy(&ui);
    TMailChoice choice;
    choice.Subject = S(Subject->text());
    choice.ShowDialog = ShowDialogCheckBox->isChecked();
    choice.MailFile = TMailFile::DefaultPath();
    TSendOutcome outcome;
    try {
        if (TaggedFilesRadio->isChecked()) {
            TOpenLog open = OpenLog(logFileName_, memoryLog_);
            outcome = SendTagMails(ui, choice, *open.Log, TagRows(), TLocale::FromEnvironment());
        } else if (table_) {
            outcome = SendListMail(ui, choice, S(SingleRecipient->text()),
                                   ListMailText(*table_, ChosenRows()));
        }
    } catch (const std::exception& e) {
        busy.Done();
        Tell(e.what());
        return;
    }
    busy.Done();
    if (!outcome.Report.empty())
        Tell(outcome.Report);
    if (outcome.Done)
        accept();
}

} // namespace vm
