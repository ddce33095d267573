#include "fileops/FileFilterForm.h"

#include "core/DirStorage.h"
#include "core/TagSettings.h"
#include "fileops/FilterIni.h"
#include "platform/HelpTopics.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

template <class T> T* Named(T* widget, const char* name, const QString& accessible = {})
{
    widget->setObjectName(name);
    if (!accessible.isEmpty())
        widget->setAccessibleName(accessible);
    return widget;
}

QPushButton* Button(QWidget* owner, const char* text, const char* name, const char* hint)
{
    auto* b = Named(new QPushButton(text, owner), name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

void SetCombo(QComboBox* box, const std::string& text)
{
    const int i = box->findText(Q(text));
    box->setCurrentIndex(i < 0 ? 0 : i);
}

QListWidget* CheckList(QWidget* owner, const char* name, const QString& accessible)
{
    auto* list = Named(new QListWidget(owner), name, accessible);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

TFileFilterForm::TFileFilterForm(int mode, std::string iniPath, TUserInterface& ui,
                                 const TImageList& tagImages, QWidget* parent)
    : QDialog(parent), mode_(mode), iniPath_(std::move(iniPath)), ui_(ui),
      locale_(TLocale::FromEnvironment())
{
    setObjectName("FileFilterForm");
    setWindowTitle("Filter specifications");

    PageControl = Named(new QTabWidget(this), "PageControl");
    PropertiesPage = MakePropertiesPage();
    TagsPage = MakeTagsPage();
    ComparePage = MakeComparePage();
    PageControl->addTab(PropertiesPage, "File Properties");
    PageControl->addTab(TagsPage, "File tags");
    PageControl->addTab(ComparePage, "Compare ");
    for (int i = 0; i < kTagLineCount; ++i) {
        auto* item =
            new QListWidgetItem(tagImages.Icon(i), kUnusedTag, SelectDisplayedTagsListView);
        item->setCheckState(Qt::Unchecked);
    }

    HelpButton = Button(this, "Help", "HelpButton", "Want help on file filtering ??");
    ResetButton = Button(this, "Reset", "ResetButton", "Clear all filter settings");
    LoadButton = Button(this, "Load", "LoadButton", "Reload the saved default filter");
    OKButton = Button(this, "OK", "OKButton", "Save filter settings");
    OKButton->setDefault(true);
    CancelButton = Button(this, "Cancel", "CancelButton", "Undo changes to file filter");
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::FileFilter); });
    connect(ResetButton, &QPushButton::clicked, this, [this] {
        ResetFilter();
        FileNameEdit->setFocus();
    });
    connect(LoadButton, &QPushButton::clicked, this,
            [this] { LoadFilterFromInifile(DefaultSection()); });
    connect(OKButton, &QPushButton::clicked, this, &TFileFilterForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpButton);
    buttons->addWidget(ResetButton);
    buttons->addWidget(LoadButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);

    TFilterFields reset;
    vm::ResetFilter(reset, Now(), locale_);
    SetFields(reset);
    KeepTest();
}

QWidget* TFileFilterForm::MakePropertiesPage()
{
    auto* page = Named(new QWidget, "PropertiesPage");
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("Select from the following criteria to filter files -"), 0, 0, 1, 6);

    grid->addWidget(new QLabel("Files named:"), 1, 0, Qt::AlignTop);
    FileNameEdit = Named(new QLineEdit, "FileNameEdit", "Files named");
    FileNameEdit->installEventFilter(this);
    AddButton = Button(page, ">>", "AddButton", "Add file specification to list");
    AddButton->setAccessibleName("Add file specification to list");
    RemoveButton =
        Button(page, "<<", "RemoveButton", "Remove selected file specification from list");
    RemoveButton->setAccessibleName("Remove selected file specification from list");
    FileNameListBox = Named(new QListWidget, "FileNameListBox", "File specifications");
    FileNameListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileNameListBox->setMaximumHeight(90);
    FileNameListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton);
    buttons->addWidget(RemoveButton);
    buttons->addStretch();
    grid->addWidget(FileNameEdit, 1, 1, 1, 2, Qt::AlignTop);
    grid->addLayout(buttons, 1, 3);
    grid->addWidget(FileNameListBox, 1, 4, 1, 2);
    connect(FileNameEdit, &QLineEdit::textChanged, this, &TFileFilterForm::UpdateEnabling);
    connect(AddButton, &QPushButton::clicked, this, &TFileFilterForm::AddButtonClick);
    connect(RemoveButton, &QPushButton::clicked, this, &TFileFilterForm::RemoveButtonClick);
    connect(FileNameListBox, &QListWidget::itemPressed, this,
            [this] { RemoveButton->setEnabled(true); });
    connect(FileNameListBox, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        QAction* all = menu.addAction("Select all");
        all->setEnabled(FileNameListBox->count() > 0);
        connect(all, &QAction::triggered, this, [this] {
            FileNameListBox->selectAll();
            RemoveButton->setEnabled(true);
        });
        menu.exec(FileNameListBox->viewport()->mapToGlobal(at));
    });

    DateCheckBox = Named(new QCheckBox("Date:"), "DateCheckBox");
    DateRangeComboBox = Named(new QComboBox, "DateRangeComboBox", "Date range");
    DateRangeComboBox->addItems({"Accessed", "Created", "Modified"});
    DateRadioGroup = Named(new QGroupBox("Date Selection:"), "DateRadioGroup");
    BetweenRadio = Named(new QRadioButton("between"), "BetweenRadio");
    PreviousRadio = Named(new QRadioButton("during the previous"), "PreviousRadio");
    auto* radios = new QButtonGroup(this);
    radios->addButton(BetweenRadio, 0);
    radios->addButton(PreviousRadio, 1);
    DateLow = Named(new QLineEdit, "DateLow", "From date");
    DateHigh = Named(new QLineEdit, "DateHigh", "To date");
    DateDaySpinEdit = Named(new QSpinBox, "DateDaySpinEdit", "Number of days");
    DateDaySpinEdit->setRange(1, 365);
    auto* dateGrid = new QGridLayout(DateRadioGroup);
    dateGrid->addWidget(BetweenRadio, 0, 0);
    dateGrid->addWidget(DateLow, 0, 1);
    dateGrid->addWidget(new QLabel("and"), 0, 2);
    dateGrid->addWidget(DateHigh, 0, 3);
    dateGrid->addWidget(PreviousRadio, 1, 0);
    dateGrid->addWidget(DateDaySpinEdit, 1, 1);
    dateGrid->addWidget(new QLabel("day(s)"), 1, 2, 1, 2);
    grid->addWidget(DateCheckBox, 2, 0);
    grid->addWidget(DateRangeComboBox, 2, 1);
    grid->addWidget(DateRadioGroup, 2, 2, 1, 4);
    connect(DateCheckBox, &QCheckBox::toggled, this, &TFileFilterForm::UpdateEnabling);
    connect(radios, &QButtonGroup::idToggled, this, &TFileFilterForm::UpdateEnabling);

    SizeCheckBox = Named(new QCheckBox("Size:"), "SizeCheckBox");
    SizeSelectComboBox = Named(new QComboBox, "SizeSelectComboBox", "Size comparison");
    SizeSelectComboBox->addItems({"Greater than", "Less than"});
    SizeSelectSpinEdit = Named(new QSpinBox, "SizeSelectSpinEdit", "Size");
    SizeSelectSpinEdit->setRange(1, 999999);
    SizeDenoterComboBox = Named(new QComboBox, "SizeDenoterComboBox", "Size unit");
    SizeDenoterComboBox->addItems({"KB", "MB", "GB"});
    grid->addWidget(SizeCheckBox, 3, 0);
    grid->addWidget(SizeSelectComboBox, 3, 1);
    grid->addWidget(SizeSelectSpinEdit, 3, 2);
    grid->addWidget(SizeDenoterComboBox, 3, 3);
    connect(SizeCheckBox, &QCheckBox::toggled, this, &TFileFilterForm::UpdateEnabling);

    DuplicatesCheckBox =
        Named(new QCheckBox("Show duplicates file names only"), "DuplicatesCheckBox");
    MatchSizeCheckBox = Named(new QCheckBox("Match exact size"), "MatchSizeCheckBox");
    MatchDateCheckBox = Named(new QCheckBox("Match exact date"), "MatchDateCheckBox");
    IgnoreExtensionCheckBox = Named(new QCheckBox("Ignore extension"), "IgnoreExtensionCheckBox");
    grid->addWidget(DuplicatesCheckBox, 4, 0, 1, 3);
    auto* options = new QHBoxLayout;
    options->addWidget(MatchSizeCheckBox);
    options->addWidget(MatchDateCheckBox);
    options->addWidget(IgnoreExtensionCheckBox);
    options->addStretch();
    grid->addLayout(options, 5, 1, 1, 5);
    connect(DuplicatesCheckBox, &QCheckBox::toggled, this, &TFileFilterForm::UpdateEnabling);

    OwnerCheckBox = Named(new QCheckBox("Owner:"), "OwnerCheckBox");
    OwnerEdit = Named(new QLineEdit, "OwnerEdit", "Owner's account name or number");
    GroupCheckBox = Named(new QCheckBox("Group:"), "GroupCheckBox");
    GroupEdit = Named(new QLineEdit, "GroupEdit", "Group's name or number");
    OwnersNote = Named(new QLabel(kOwnersNotRecordedText), "OwnersNote");
    OwnersNote->setWordWrap(true);
    grid->addWidget(OwnerCheckBox, 6, 0);
    grid->addWidget(OwnerEdit, 6, 1);
    grid->addWidget(GroupCheckBox, 6, 2);
    grid->addWidget(GroupEdit, 6, 3);
    grid->addWidget(OwnersNote, 7, 0, 1, 6);
    for (QCheckBox* box : {OwnerCheckBox, GroupCheckBox})
        connect(box, &QCheckBox::toggled, this, &TFileFilterForm::UpdateEnabling);

    SaveDefaultCheckBox = Named(new QCheckBox("Save this specification as the Volumark default"),
                                "SaveDefaultCheckBox");
    TurnOnCheckBox = Named(new QCheckBox("Turn filter on"), "TurnOnCheckBox");
    grid->addWidget(SaveDefaultCheckBox, 8, 0, 1, 4);
    grid->addWidget(TurnOnCheckBox, 8, 4, 1, 2);
    grid->setRowStretch(9, 1);
    return page;
}

QWidget* TFileFilterForm::MakeTagsPage()
{
    auto* page = Named(new QWidget, "TagsPage");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Select tags for display  in Explore Logs -"));
    TagsCheckBox = Named(new QCheckBox("Select tags for view"), "TagsCheckBox");
    layout->addWidget(TagsCheckBox);
    TagRadioGroup = Named(new QGroupBox, "TagRadioGroup", "Tagged files to show");
    AllTaggedRadio = Named(new QRadioButton("Show all tagged files"), "AllTaggedRadio");
    SelectedTagsRadio =
        Named(new QRadioButton("Show files with selected tags "), "SelectedTagsRadio");
    auto* radios = new QHBoxLayout(TagRadioGroup);
    radios->addWidget(AllTaggedRadio);
    radios->addWidget(SelectedTagsRadio);
    layout->addWidget(TagRadioGroup);
    SelectDisplayedTagsListView = CheckList(page, "SelectDisplayedTagsListView", "Tags to show");
    layout->addWidget(SelectDisplayedTagsListView);
    connect(TagsCheckBox, &QCheckBox::toggled, this, &TFileFilterForm::UpdateEnabling);
    connect(SelectDisplayedTagsListView, &QListWidget::itemClicked, this,
            [this] { SelectedTagsRadio->setChecked(true); });
    return page;
}

QWidget* TFileFilterForm::MakeComparePage()
{
    auto* page = Named(new QWidget, "ComparePage");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        new QLabel("Select from the following criteria to filter files in the Compare viewer -"));
    CompareCheckBox = Named(new QCheckBox("Show only selected files"), "CompareCheckBox");
    layout->addWidget(CompareCheckBox);
    CompareFilterListView = CheckList(page, "CompareFilterListView", "Compare conditions");
    layout->addWidget(CompareFilterListView);
    connect(CompareFilterListView, &QListWidget::itemChanged, this, [this] {
        bool any = false;
        for (int i = 0; i < CompareFilterListView->count(); ++i)
            any = any || CompareFilterListView->item(i)->checkState() == Qt::Checked;
        CompareCheckBox->setChecked(any);
    });
    return page;
}

std::string TFileFilterForm::DefaultSection() const
{
    return mode_ == kCompareFilterMode ? kCompareFilterSection : kExploreFilterSection;
}

TFilterFields TFileFilterForm::Fields() const
{
    TFilterFields f = hidden_;
    f.FileNames.clear();
    for (int i = 0; i < FileNameListBox->count(); ++i)
        f.FileNames.push_back(FileNameListBox->item(i)->text().toStdString());
    f.FileNameEdit = FileNameEdit->text().toStdString();
    f.DateOn = DateCheckBox->isChecked();
    f.DateRange = DateRangeComboBox->currentText().toStdString();
    f.DateRadio = PreviousRadio->isChecked() ? 1 : 0;
    f.DateLow = DateLow->text().toStdString();
    f.DateHigh = DateHigh->text().toStdString();
    f.DateDays = DateDaySpinEdit->value();
    f.SizeOn = SizeCheckBox->isChecked();
    f.SizeSelect = SizeSelectComboBox->currentText().toStdString();
    f.SizeValue = SizeSelectSpinEdit->value();
    f.SizeUnit = SizeDenoterComboBox->currentText().toStdString();
    f.Duplicates = DuplicatesCheckBox->isChecked();
    f.MatchSize = MatchSizeCheckBox->isChecked();
    f.MatchDate = MatchDateCheckBox->isChecked();
    f.IgnoreExtension = IgnoreExtensionCheckBox->isChecked();
    f.TagsOn = TagsCheckBox->isChecked();
    f.TagRadio = SelectedTagsRadio->isChecked() ? 1 : 0;
    for (int i = 0; i < kTagLineCount; ++i)
        f.TagLines[size_t(i)] = SelectDisplayedTagsListView->item(i)->checkState() == Qt::Checked;
    f.CompareOn = CompareCheckBox->isChecked();
    f.CompareLines.assign(size_t(CompareFilterListView->count()), false);
    for (int i = 0; i < CompareFilterListView->count(); ++i)
        f.CompareLines[size_t(i)] = CompareFilterListView->item(i)->checkState() == Qt::Checked;
    f.OwnerOn = OwnerCheckBox->isChecked();
    f.Owner = OwnerEdit->text().trimmed().toStdString();
    f.GroupOn = GroupCheckBox->isChecked();
    f.Group = GroupEdit->text().trimmed().toStdString();
    f.SaveAsDefault = SaveDefaultCheckBox->isChecked();
    f.TurnOn = TurnOnCheckBox->isChecked();
    return f;
}

void TFileFilterForm::SetFields(const TFilterFields& f)
{
    hidden_ = f;
    FileNameListBox->clear();
    for (const std::string& name : f.FileNames)
        FileNameListBox->addItem(Q(name));
    FileNameEdit->setText(Q(f.FileNameEdit));
    DateCheckBox->setChecked(f.DateOn);
    SetCombo(DateRangeComboBox, f.DateRange);
    (f.DateRadio ? PreviousRadio : BetweenRadio)->setChecked(true);
    DateLow->setText(Q(f.DateLow));
    DateHigh->setText(Q(f.DateHigh));
    DateDaySpinEdit->setValue(f.DateDays);
    SizeCheckBox->setChecked(f.SizeOn);
    SetCombo(SizeSelectComboBox, f.SizeSelect);
    SizeSelectSpinEdit->setValue(f.SizeValue);
    SetCombo(SizeDenoterComboBox, f.SizeUnit);
    DuplicatesCheckBox->setChecked(f.Duplicates);
    MatchSizeCheckBox->setChecked(f.MatchSize);
    MatchDateCheckBox->setChecked(f.MatchDate);
    IgnoreExtensionCheckBox->setChecked(f.IgnoreExtension);
    TagsCheckBox->setChecked(f.TagsOn);
    (f.TagRadio ? SelectedTagsRadio : AllTaggedRadio)->setChecked(true);
    for (int i = 0; i < kTagLineCount; ++i)
        SelectDisplayedTagsListView->item(i)->setCheckState(f.TagLines[size_t(i)] ? Qt::Checked
                                                                                  : Qt::Unchecked);
    CompareCheckBox->setChecked(f.CompareOn);
    for (int i = 0; i < CompareFilterListView->count(); ++i)
        CompareFilterListView->item(i)->setCheckState(
            size_t(i) < f.CompareLines.size() && f.CompareLines[size_t(i)] ? Qt::Checked
                                                                           : Qt::Unchecked);
    OwnerCheckBox->setChecked(f.OwnerOn);
    OwnerEdit->setText(Q(f.Owner));
    GroupCheckBox->setChecked(f.GroupOn);
    GroupEdit->setText(Q(f.Group));
    SaveDefaultCheckBox->setChecked(f.SaveAsDefault);
    TurnOnCheckBox->setChecked(f.TurnOn);
    UpdateEnabling();
    AddButton->setEnabled(!f.FileNameEdit.empty());
    RemoveButton->setEnabled(false);
}

void TFileFilterForm::UpdateEnabling()
{
    const TFilterEnabling e = FilterEnabling(Fields());
    DateRangeComboBox->setEnabled(e.DateRange);
    DateRadioGroup->setEnabled(e.DateRadio);
    DateLow->setEnabled(e.DateEdits);
    DateHigh->setEnabled(e.DateEdits);
    DateDaySpinEdit->setEnabled(e.DateDays);
    SizeSelectComboBox->setEnabled(e.Size);
    SizeSelectSpinEdit->setEnabled(e.Size);
    SizeDenoterComboBox->setEnabled(e.Size);
    MatchSizeCheckBox->setEnabled(e.DuplicateOptions);
    MatchDateCheckBox->setEnabled(e.DuplicateOptions);
    IgnoreExtensionCheckBox->setEnabled(e.DuplicateOptions);
    TagRadioGroup->setEnabled(e.Tags);
    SelectDisplayedTagsListView->setEnabled(e.Tags);
    OwnerCheckBox->setEnabled(ownersRecorded_);
    GroupCheckBox->setEnabled(ownersRecorded_);
    OwnerEdit->setEnabled(ownersRecorded_ && e.Owner);
    GroupEdit->setEnabled(ownersRecorded_ && e.Group);
    // The compare window's lists carry no owners: the boxes are the explore window's.
    const bool explore = mode_ != kCompareFilterMode;
    for (QWidget* w :
         std::initializer_list<QWidget*>{OwnerCheckBox, OwnerEdit, GroupCheckBox, GroupEdit})
        w->setVisible(explore);
    OwnersNote->setVisible(explore && !ownersRecorded_);
    AddButton->setEnabled(e.AddName);
}

void TFileFilterForm::SetOwnersRecorded(bool recorded)
{
    ownersRecorded_ = recorded;
    UpdateEnabling();
    KeepTest();
}

void TFileFilterForm::Initialise(bool tagsAvailable)
{
    tagsAvailable_ = tagsAvailable;
    LoadFilterFromInifile(DefaultSection());
    KeepTest();
}

void TFileFilterForm::ConstructTagNames(const TDirStorage& log)
{
    for (int i = 0; i < kTagLineCount; ++i)
        SelectDisplayedTagsListView->item(i)->setText(Q(TagCaption(log, i)));
}

void TFileFilterForm::SetCompareLines(const QStringList& lines)
{
    CompareFilterListView->clear();
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, CompareFilterListView);
        item->setCheckState(Qt::Unchecked);
    }
    SetFields(hidden_);
}

void TFileFilterForm::ShowPage(QWidget* page)
{
    PageControl->setCurrentWidget(page);
}

void TFileFilterForm::ResetFilter()
{
    TFilterFields f = Fields();
    vm::ResetFilter(f, Now(), locale_);
    SetFields(f);
}

void TFileFilterForm::KeepTest()
{
    // A stored date, owner or group that does not read back leaves that test off until OK says
    // why.
    TFilterFields f = Fields();
    TFilterParse parse =
        vm::ParseFilterFields(f, mode_, tagsAvailable_, Now(), locale_, ownersRecorded_);
    if (!parse.Test) {
        f.DateOn = f.OwnerOn = f.GroupOn = false;
        parse = vm::ParseFilterFields(f, mode_, tagsAvailable_, Now(), locale_, ownersRecorded_);
    }
    if (parse.Test)
        test_ = *parse.Test;
}

bool TFileFilterForm::ParseFilterFields()
{
    TFilterFields f = Fields();
    TFilterParse parse =
        vm::ParseFilterFields(f, mode_, tagsAvailable_, Now(), locale_, ownersRecorded_);
    if (!parse.Test) {
        ui_.ShowMessage(parse.Message);
        (parse.FocusControl == "DateHigh" ? DateHigh
         : parse.FocusControl == "Owner"  ? OwnerEdit
         : parse.FocusControl == "Group"  ? GroupEdit
                                          : DateLow)
            ->setFocus();
        return false;
    }
    SetFields(f); // a typed name has joined the list
    test_ = *parse.Test;
    return true;
}

void TFileFilterForm::LoadFilterFromInifile(const std::string& section)
{
    TFilterFields f = Fields();
    LoadFilterFromIni(iniPath_, section, f, Now(), locale_);
    SetFields(f);
}

void TFileFilterForm::SaveFilterSettingsToIniFile(const std::string& section)
{
    try {
        SaveFilterSettings(iniPath_, section, Fields());
    } catch (const std::exception& e) {
        ui_.ShowMessage(e.what());
    }
}

bool TFileFilterForm::TurnFilterOn() const
{
    return TurnOnCheckBox->isChecked();
}

void TFileFilterForm::AddButtonClick()
{
    TFilterFields f = Fields();
    if (f.FileNameEdit.find(',') != std::string::npos) {
        // The stored list separates patterns with commas: such a pattern could not come back.
        QApplication::beep();
        ui_.ShowMessage("A file specification cannot contain a comma");
        FileNameEdit->setFocus();
        return;
    }
    if (!AddFileName(f))
        return;
    SetFields(f);
    FileNameEdit->setFocus();
}

void TFileFilterForm::RemoveButtonClick()
{
    for (QListWidgetItem* item : FileNameListBox->selectedItems())
        delete item;
    RemoveButton->setEnabled(false);
}

void TFileFilterForm::OKButtonClick()
{
    if (!ParseFilterFields()) {
        QApplication::beep();
        return;
    }
    if (SaveDefaultCheckBox->isChecked())
        SaveFilterSettingsToIniFile(DefaultSection());
    accept();
}

void TFileFilterForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QWidget* page = PageControl->currentWidget();
    (page == TagsPage      ? static_cast<QWidget*>(TagsCheckBox)
     : page == ComparePage ? static_cast<QWidget*>(CompareCheckBox)
                           : static_cast<QWidget*>(FileNameEdit))
        ->setFocus();
}

bool TFileFilterForm::eventFilter(QObject* watched, QEvent* event)
{
    // While the name edit has the focus, Enter adds the name (">>" is the default button);
    // elsewhere it means OK. Leaving the edit disables "<<".
    if (watched == FileNameEdit && event->type() == QEvent::FocusIn) {
        AddButton->setDefault(true);
        OKButton->setDefault(false);
    } else if (watched == FileNameEdit && event->type() == QEvent::FocusOut) {
        AddButton->setDefault(false);
        OKButton->setDefault(true);
        RemoveButton->setEnabled(false);
    }
    return QDialog::eventFilter(watched, event);
}

TFilterFollowUp RunFilterDialog(TFileFilterForm& form, bool filterOn)
{
    if (form.exec() != QDialog::Accepted)
        return TFilterFollowUp::Nothing;
    if (form.TurnFilterOn() && !filterOn)
        return TFilterFollowUp::TurnOn;
    return filterOn ? TFilterFollowUp::Refill : TFilterFollowUp::Nothing;
}

} // namespace vm
