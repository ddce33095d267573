#include "refman/WizardForm.h"

#include "display/QtImageLists.h"
#include "platform/HelpTopics.h"
#include "platform/UserInterface.h"
#include "platform/Volume.h"
#include "refman/RefEditing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The picture of the left panel: the program's disk on a band of its colours.
QPixmap SidePicture()
{
    QPixmap picture(150, 340);
    QPainter painter(&picture);
    QLinearGradient band(0, 0, 0, picture.height());
    band.setColorAt(0, QColor(30, 60, 120));
    band.setColorAt(1, QColor(90, 150, 220));
    painter.fillRect(picture.rect(), band);
    painter.drawPixmap(23, 40, ApplicationIcon().pixmap(104, 104));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 160, picture.width(), 40), Qt::AlignCenter, "Volumark");
    return picture;
}

QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    label->setFont(font);
    return label;
}

QLabel* Text(const QStringList& lines, QWidget* parent)
{
    auto* label = new QLabel(lines.join('\n'), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TWizardForm::TWizardForm(TRefStore& store, TUserInterface& ui, QWidget* parent)
    : QDialog(parent), Steps(store, ui), ui_(ui)
{
    setObjectName("WizardForm");
    setWindowTitle("New Reference Wizard");
    // No border icons: the buttons of the pages are the ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setModal(true);

    Picture = new QLabel(this);
    Picture->setObjectName("Picture");
    Picture->setAccessibleName("Volumark");
    Picture->setPixmap(SidePicture());
    Picture->setAlignment(Qt::AlignTop);

    PageControl = new QStackedWidget(this);
    PageControl->setObjectName("PageControl");
    Pages[0] =
        MakePage(0, "Welcome to Volumark !!",
                 {"Volumark would like to take a look at your mounted file systems ",
                  "(network and local) and tell you more about where your disc ", "space is going.",
                  "", "", "Please press \"Next >\" to continue and create a reference."});
    Pages[1] =
        MakePage(1, "Please enter a reference name",
                 {"In order to identify the reference we are about to create, we ",
                  "need to give it a meaningful name that will identify what it is ",
                  "we are logging in the reference.", "", "Example reference names are :", "",
                  "    My Root File System", "    The File Server", "    Admin Server",
                  "    John's Home Directory", "", "Please enter a reference name :"});
    ReferenceName = new QLineEdit(Pages[1]);
    ReferenceName->setObjectName("ReferenceName");
    ReferenceName->setAccessibleName("Reference name");
    Pages[1]->layout()->addWidget(ReferenceName);
    connect(ReferenceName, &QLineEdit::textChanged, this,
            [this](const QString& text) { Steps.Name = text.toStdString(); });
    Pages[2] = MakePathsPage();
    Pages[3] = MakePage(3, "Reference created. Will we log it now ?",
                        {"Congratulations !!!", "", "You have successfully created a reference. ",
                         "Now all that is required is to log the reference. ",
                         "Then you can view the contents of your file system(s).", "",
                         "Please put a tick in the box to log now, or remove it if you would ",
                         "like to log later :"});
    LogNowCheckBox = new QCheckBox("Log the selected file systems NOW !!", Pages[3]);
    LogNowCheckBox->setObjectName("LogNowCheckBox");
    LogNowCheckBox->setChecked(true);
    Pages[3]->layout()->addWidget(LogNowCheckBox);
    connect(LogNowCheckBox, &QCheckBox::clicked, this, &TWizardForm::LogNowCheckBoxClick);
    Pages[4] = MakePage(4, "File systems are being logged ... please wait", {"Processing :"});
    ProcessingFile = new QLabel(Pages[4]);
    ProcessingFile->setObjectName("ProcessingFile");
    ProcessingFile->setTextFormat(Qt::PlainText);
    ProcessingFile->setWordWrap(true);
    ProcessingFile->setMinimumHeight(3 * ProcessingFile->fontMetrics().height());
    ProcessingFile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Pages[4]->layout()->addWidget(ProcessingFile);
    for (QWidget* page : Pages) {
        // Texts stand at the top of their page; the paths page gives the room to its list.
        if (page != Pages[2])
            static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
        PageControl->addWidget(page);
    }

    BackButton = Button("< &Back", "BackButton", this);
    NextButton = Button("&Next >", "NextButton", this);
    NextButton->setDefault(true);
    CancelButton = Button("Cancel", "CancelButton", this);
    HelpButton = Button("Help", "HelpButton", this);
    connect(BackButton, &QPushButton::clicked, this, &TWizardForm::BackButtonClick);
    connect(NextButton, &QPushButton::clicked, this, &TWizardForm::NextButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TWizardForm::CancelButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, [this] { emit HelpRequested(help::Wizard); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {BackButton, NextButton, CancelButton, HelpButton})
        buttons->addWidget(b);
    auto* right = new QVBoxLayout;
    right->addWidget(PageControl, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(Picture);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Steps.DisplayLog = [this](int reference, int log) {
        if (DisplayLog)
            DisplayLog(reference, log);
    };
    Steps.ShowProgress = [this](const std::string& text) { ProcessingFile->setText(Q(text)); };
    Steps.StateChanged = [this] { ShowState(); };
}

QWidget* TWizardForm::MakePage(int index, const QString& heading, const QStringList& lines)
{
    auto* page = new QWidget(this);
    page->setObjectName(QString("Page%1").arg(index + 1));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Heading(heading, page));
    layout->addSpacing(8);
    layout->addWidget(Text(lines, page));
    return page;
}

QWidget* TWizardForm::MakePathsPage()
{
    auto* page =
        MakePage(2, "What are we logging in the reference ?",
                 {"Please select which file systems are to be logged in the ", "reference -"});
    DriveComboBox = new QComboBox(page);
    DriveComboBox->setObjectName("DriveComboBox");
    DriveComboBox->setAccessibleName("Mounted file systems");
    AddButton = Button("Add >>", "AddButton", page);
    DeleteButton = Button("Delete <<", "DeleteButton", page);
    NetworkButton = Button("Network ...", "NetworkButton", page);
    SpecifyButton = Button("Specify ...", "SpecifyButton", page);
    RefPathListView = new QTreeWidget(page);
    RefPathListView->setObjectName("RefPathListView");
    RefPathListView->setAccessibleName("Paths of the reference");
    RefPathListView->setHeaderLabels({"Path"});
    RefPathListView->setRootIsDecorated(false);
    RefPathListView->setColumnWidth(0, 158);
    RefPathListView->setMinimumWidth(200);
    connect(AddButton, &QPushButton::clicked, this, &TWizardForm::AddButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TWizardForm::DeleteButtonClick);
    connect(NetworkButton, &QPushButton::clicked, this, &TWizardForm::NetworkButtonClick);
    connect(SpecifyButton, &QPushButton::clicked, this, &TWizardForm::SpecifyButtonClick);
    connect(RefPathListView, &QTreeWidget::itemSelectionChanged, this,
            [this] { DeleteButton->setEnabled(!RefPathListView->selectedItems().isEmpty()); });

    ExtendedFormatCheckBox =
        new QCheckBox("Extended log format: owners and groups, no 2 GiB limit", page);
    ExtendedFormatCheckBox->setObjectName("ExtendedFormatCheckBox");
    connect(ExtendedFormatCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
        Steps.LogFormat = checked ? TLogFormat::Extended : TLogFormat::Exact;
    });

    auto* left = new QVBoxLayout;
    left->addWidget(DriveComboBox);
    for (QPushButton* b : {AddButton, DeleteButton, NetworkButton, SpecifyButton})
        left->addWidget(b);
    left->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addLayout(left);
    row->addWidget(RefPathListView, 1);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row, 1);
    page->layout()->addWidget(ExtendedFormatCheckBox);
    return page;
}

void TWizardForm::ShowState()
{
    PageControl->setCurrentIndex(Steps.Page() - 1);
    BackButton->setEnabled(Steps.BackEnabled());
    NextButton->setEnabled(Steps.NextEnabled());
    NextButton->setText(Q(Steps.NextCaption()));
    CancelButton->setText(Q(Steps.CancelCaption()));
    LogNowCheckBox->setChecked(Steps.LogNow);
    ExtendedFormatCheckBox->setChecked(Steps.LogFormat == TLogFormat::Extended);
}

void TWizardForm::ShowPaths()
{
    RefPathListView->clear();
    for (const std::string& path : Steps.Paths())
        RefPathListView->addTopLevelItem(new QTreeWidgetItem({Q(path)}));
    DeleteButton->setEnabled(false);
}

void TWizardForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Steps.Reset();
    ReferenceName->clear();
    ProcessingFile->clear();
    DriveComboBox->clear();
    for (const std::string& drive : WizardDrives(TMountTable::Load()))
        DriveComboBox->addItem(Q(drive));
    ShowPaths();
    ShowState();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    NextButton->setFocus();
}

void TWizardForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit Hidden();
}

void TWizardForm::NextButtonClick()
{
    if (!Steps.Next()) {
        if (Steps.Page() == 2)
            ReferenceName->setFocus();
        else if (Steps.Page() == 3)
            DriveComboBox->setFocus();
        return;
    }
    if (Steps.Finished()) {
        done(Accepted);
        return;
    }
    ShowState();
    if (Steps.Page() == 2)
        ReferenceName->setFocus();
    else if (Steps.Page() == 3)
        DriveComboBox->setFocus();
    else if (Steps.Page() == 4)
        LogNowCheckBox->setFocus();
}

void TWizardForm::BackButtonClick()
{
    Steps.Back();
    ShowState();
}

void TWizardForm::CancelButtonClick()
{
    if (Steps.Cancel())
        done(Rejected);
}

void TWizardForm::reject()
{
    CancelButtonClick();
}

void TWizardForm::AddButtonClick()
{
    if (DriveComboBox->currentIndex() >= 0 &&
        Steps.AddPath(DriveComboBox->currentText().toStdString()))
        ShowPaths();
}

void TWizardForm::DeleteButtonClick()
{
    const QList<QTreeWidgetItem*> selected = RefPathListView->selectedItems();
    if (selected.isEmpty())
        return;
    Steps.DeletePath(size_t(RefPathListView->indexOfTopLevelItem(selected.first())));
    ShowPaths();
}

void TWizardForm::NetworkButtonClick()
{
    const std::string chosen =
        BrowseForFolder ? BrowseForFolder("Select a path to add to this reference") : std::string();
    if (!chosen.empty() && Steps.AddPath(chosen))
        ShowPaths();
}

void TWizardForm::SpecifyButtonClick()
{
    std::string typed;
    if (ui_.InputQuery("Specify path", kSpecifyPathPrompt, typed) && !typed.empty() &&
        Steps.AddPath(typed))
        ShowPaths();
}

void TWizardForm::LogNowCheckBoxClick()
{
    Steps.LogNow = LogNowCheckBox->isChecked();
    ShowState();
}

} // namespace vm
