// The reference manager's commands: editing references and paths, logging and comparing,
// opening and deleting logs and comparisons. Each hands the work to the Qt-free units and shows
// the result in the lists.
#include "refman/RefManagerForm.h"

#include "app/MainForm.h"
#include "platform/Registry.h"
#include "platform/UserInterface.h"
#include "references/DataDirectory.h"
#include "references/RefFiles.h"
#include "refman/RefEditing.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

const char* const kNoLogsYet = "No logs created yet - use \"Log now\" to create a log first";

} // namespace

TRefPaths TRefManager::ListedPaths() const
{
    TRefPaths paths;
    if (view_ != TRHSView::Paths) {
        for (const TRHSRow& row : PathRows(store_, CurrentRefNo))
            paths.push_back(row.Path);
        return paths;
    }
    for (int i = 0; i < RHSListView->topLevelItemCount(); ++i)
        if (const TRHSRow* row = RHSRowOf(RHSListView->topLevelItem(i)))
            paths.push_back(row->Path);
    return paths;
}

std::optional<size_t> TRefManager::SelectedPathIndex() const
{
    if (view_ != TRHSView::Paths || CurrentRefNo < 0)
        return std::nullopt;
    for (int i = 0; i < RHSListView->topLevelItemCount(); ++i)
        if (RHSListView->topLevelItem(i)->isSelected())
            return size_t(i);
    return std::nullopt;
}

void TRefManager::NewClick()
{
    TUserInterface& ui = *context_.UI;
    std::vector<std::string> captions;
    for (int i = 0; i < RefListView->topLevelItemCount(); ++i)
        captions.push_back(RefListView->topLevelItem(i)->text(0).toStdString());
    const std::string caption = GetNewRefCaption(captions);
    int n = -1;
    try {
        n = store_.NewRefNumber();
        if (!store_.CreateRef(n, caption)) {
            ui.ShowMessage("The reference directory " + store_.RefDir(n) + " could not be created");
            return;
        }
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return;
    }

    TRefRow row;
    row.Number = n;
    row.Caption = caption;
    row.LastLogDate = kNotLogged;
    refRows_.push_back(row);
    auto* item = new QTreeWidgetItem({Q(caption), Q(kNotLogged), QString(), QString()});
    item->setData(0, Qt::UserRole, int(refRows_.size() - 1));
    item->setIcon(0, frame_.SmallImageList.Icon(img::Reference));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    CheckView(TRHSView::Paths);
    {
        const QSignalBlocker block(RefListView);
        RefListView->addTopLevelItem(item);
        RefListView->clearSelection();
        RefListView->setCurrentItem(item);
        item->setSelected(true);
    }
    RefListViewChange();

    editing_ = item;
    editingOldCaption_ = caption;
    editingNew_ = true;
    RefListView->setFocus();
    RefListView->editItem(item, 0);
}

void TRefManager::RenameClick()
{
    QTreeWidgetItem* item = SelectedRef();
    if (!item)
        return;
    editing_ = item;
    editingOldCaption_ = item->text(0).toStdString();
    editingNew_ = false;
    RefListView->setFocus();
    RefListView->editItem(item, 0);
}

void TRefManager::EditFinished(QWidget*, int)
{
    QTreeWidgetItem* item = editing_;
    const bool isNew = editingNew_;
    editing_ = nullptr;
    editingNew_ = false;
    if (!item)
        return;
    const std::string text = item->text(0).toStdString();
    // A new reference goes on to its first path also when its name was kept as it was.
    if (isNew || text != editingOldCaption_)
        RefListViewEdited(item, text);
}

void TRefManager::RefListViewEdited(QTreeWidgetItem* item, const std::string& text)
{
    TUserInterface& ui = *context_.UI;
    const TRefRow* found = RefRowOf(item);
    if (!found)
        return;
    TRefRow& row = refRows_[size_t(item->data(0, Qt::UserRole).toInt())];
    const int n = row.Number;
    const std::string old = row.Caption;
    auto setCaption = [&](const std::string& caption) {
        const QSignalBlocker block(RefListView);
        item->setText(0, Q(caption));
    };

    const TRefNameCheck check = CheckRefName(store_, text, n);
    if (check != TRefNameCheck::Accepted) {
        ui.Beep();
        ui.ShowMessage(RenameRefusal(check));
        // The stored name stays, and the list shows it.
        setCaption(store_.RefIni().ReadString(TRefStore::RefSection(n), "Name", old));
        return;
    }
    const std::string name = RefNameOf(text);
    try {
        WriteRefName(store_, n, name);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        setCaption(old);
        return;
    }
    setCaption(name);
    row.Caption = name;
    if (n == CurrentRefNo) {
        CurrentRefName = name;
        RefManContentsLabel->setText("Contents of : " + Q(name));
    }
    UpdateActions();
    if (view_ == TRHSView::Paths && n == CurrentRefNo && ListedPaths().empty() && !old.empty())
        AddPath1Click();
}

void TRefManager::Delete1Click()
{
    if (RefListView->hasFocus() && SelectedRef())
        DeleteRefClick();
    if (!RHSListView->hasFocus())
        return;
    switch (view_) {
    case TRHSView::Logs:
        DeleteLogs1Click();
        break;
    case TRHSView::Compares:
        DeleteCompare1Click();
        break;
    case TRHSView::Paths:
        DeletePaths1Click();
        break;
    case TRHSView::History:
        break; // nothing there to delete
    }
}

void TRefManager::SelectAllClick()
{
    RHSListView->selectAll();
    UpdateActions();
}

void TRefManager::CloseRefWindows(int reference)
{
    for (QWidget* child : frame_.Children()) {
        const QVariant tag = child->property(kReferenceProperty);
        if (child != this && tag.isValid() && tag.toInt() == reference)
            if (auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget()))
                window->close();
    }
}

void TRefManager::DeleteRefClick()
{
    QTreeWidgetItem* item = SelectedRef();
    if (!item || CurrentRefNo < 0)
        return;
    TUserInterface& ui = *context_.UI;
    const std::string dir = CurrentRefDir;
    const TRefDeletion deletion =
        DeleteReference(store_, ui, CurrentRefNo, CurrentRefName, item->text(0).toStdString(),
                        [this](int n) { CloseRefWindows(n); });
    if (deletion == TRefDeletion::Refused)
        return;
    const int index = RefListView->indexOfTopLevelItem(item);
    QTreeWidgetItem* next = index + 1 < RefListView->topLevelItemCount()
                                ? RefListView->topLevelItem(index + 1)
                                : nullptr;
    {
        const QSignalBlocker block(RefListView);
        delete item;
        if (next) {
            RefListView->setCurrentItem(next);
            next->setSelected(true);
        }
    }
    RefListViewChange();
    if (deletion == TRefDeletion::FilesOnly)
        ui.ShowMessage("The logs and comparisons were deleted, but " + dir +
                       " holds other files: the directory and the reference's settings were kept.");
}

void TRefManager::LogSelectedRef(bool thenCompare)
{
    if (!SelectedRef() || CurrentRefNo < 0)
        return;
    const int n = CurrentRefNo;
    int latest = -1;
    if (thenCompare && (latest = GetLatestLog()) < 0)
        return;
    const TRunningHook running = [this](bool on) { SetRunning(on); };
    const TRunOutcome logged = LogNow(store_, *context_.UI, n, CurrentRefName, Progress, running);
    // Only a log this run wrote is compared: after a refusal, a stop or an error the latest log
    // would be compared with itself.
    const bool compare = thenCompare && logged.Completed;
    if (compare)
        CompareNow(store_, *context_.UI, n, latest, logged.LogNumber, Progress, running);
    // The last-log columns change: the list is read again, the reference stays selected.
    CheckView(compare ? TRHSView::Compares : TRHSView::Logs);
    FillRefListView();
}

void TRefManager::LogNow1Click()
{
    LogSelectedRef(false);
}

void TRefManager::LogNowButtonClick()
{
    LogSelectedRef(false);
}

void TRefManager::LogAndCompareNowClick()
{
    LogSelectedRef(true);
}

void TRefManager::CompareClick()
{
    const QList<QTreeWidgetItem*> selected = SelectedRHS();
    if (view_ != TRHSView::Logs || selected.size() != 2 || CurrentRefNo < 0)
        return;
    const int first = RHSRowOf(selected[0])->Log;
    const int second = RHSRowOf(selected[1])->Log;
    CompareNow(store_, *context_.UI, CurrentRefNo, first, second, Progress,
               [this](bool on) { SetRunning(on); });
    ShowView(TRHSView::Compares);
}

int TRefManager::GetLatestLog()
{
    if (CurrentRefNo < 0)
        return -1;
    ShowView(TRHSView::Logs);
    if (RHSListView->topLevelItemCount() == 0) {
        context_.UI->Beep();
        context_.UI->ShowMessage(kNoLogsYet);
        return -1;
    }
    // Logs are numbered in the order they were made: the latest is the highest number.
    QTreeWidgetItem* latest = nullptr;
    for (int i = 0; i < RHSListView->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = RHSListView->topLevelItem(i);
        if (!latest || RHSRowOf(item)->Log > RHSRowOf(latest)->Log)
            latest = item;
    }
    RHSListView->clearSelection();
    RHSListView->setCurrentItem(latest);
    latest->setSelected(true);
    return RHSRowOf(latest)->Log;
}

void TRefManager::ExploreLatestLogClick()
{
    if (GetLatestLog() >= 0)
        OpenClick();
}

void TRefManager::OpenClick()
{
    const QList<QTreeWidgetItem*> selected = SelectedRHS();
    if (selected.isEmpty() || CurrentRefNo < 0)
        return;
    const TRHSRow* row = RHSRowOf(selected.first());
    if (view_ == TRHSView::Compares) {
        if (!RefFileExists(store_.Files(), CurrentRefDir, LogFileBaseName(row->NewLog)) &&
            context_.UI->MessageBox("Log " + std::to_string(row->NewLog) +
                                        " no longer exists.  View compare without file deletion "
                                        "capability ?",
                                    "Log file missing",
                                    mb::YesNo | mb::IconQuestion | mb::DefButton2) != idYes)
            return;
        DisplayComp(CurrentRefNo, row->Log, row->NewLog);
    } else if (view_ == TRHSView::Logs) {
        DisplayLog(CurrentRefNo, row->Log);
    }
}

void TRefManager::ViewButtonClick()
{
    ShowView(NextView(view_));
}

void TRefManager::AddPath1Click()
{
    const QTreeWidgetItem* ref = SelectedRef();
    if (!ref || CurrentRefNo < 0)
        return;
    if (ref->text(0).isEmpty()) {
        context_.UI->ShowMessage(
            "You must set a valid name for the reference before adding a path");
        return;
    }
    const std::string chosen = BrowseForFolder("Select a path to add to this reference");
    if (!chosen.empty() &&
        CreateRefAddPath(store_, *context_.UI, CurrentRefNo, ListedPaths(), chosen))
        FillRHSListView();
}

void TRefManager::AddPathButtonClick()
{
    if (CurrentRefNo < 0)
        return;
    if (view_ != TRHSView::Paths)
        ShowView(TRHSView::Paths);
    AddPath1Click();
}

void TRefManager::SpecifyPath1Click()
{
    if (CurrentRefNo < 0)
        return;
    std::string typed;
    if (!context_.UI->InputQuery("Specify path", kSpecifyPathPrompt, typed) || typed.empty())
        return;
    if (CreateRefAddPath(store_, *context_.UI, CurrentRefNo, ListedPaths(), typed))
        FillRHSListView();
}

void TRefManager::DeletePaths1Click()
{
    if (view_ != TRHSView::Paths || CurrentRefNo < 0 || SelectedRHS().isEmpty())
        return;
    TRefPaths kept;
    for (int i = 0; i < RHSListView->topLevelItemCount(); ++i)
        if (!RHSListView->topLevelItem(i)->isSelected())
            kept.push_back(RHSRowOf(RHSListView->topLevelItem(i))->Path);
    WriteRefPaths(store_, *context_.UI, CurrentRefNo, kept);
    FillRHSListView();
}

void TRefManager::AllocationUnitClick(int32_t unit)
{
    const std::optional<size_t> index = SelectedPathIndex();
    if (!index)
        return;
    const TRefPaths paths = ListedPaths();
    if (unit == 0) {
        const std::optional<int32_t> typed =
            AskAllocationUnit(*context_.UI, paths[*index].UnitText);
        if (!typed)
            return;
        unit = *typed;
    }
    PendingAllocUnit = unit;
    EditAllocationUnit(store_, *context_.UI, CurrentRefNo, paths, *index, PendingAllocUnit);
    FillRHSListView();
}

void TRefManager::LogFormatClick(TLogFormat format)
{
    if (CurrentRefNo >= 0)
        EditLogFormat(store_, *context_.UI, CurrentRefNo, format);
    ShowLogFormat();
}

void TRefManager::ShowLogFormat()
{
    const bool extended =
        CurrentRefNo >= 0 && store_.RefLogFormat(CurrentRefNo) == TLogFormat::Extended;
    ExtendedFormat1->setChecked(extended);
    ExactFormat1->setChecked(!extended);
}

void TRefManager::FileSystemClick(int tag)
{
    const std::string system = FileSystemForTag(tag);
    const std::optional<size_t> index = SelectedPathIndex();
    if (system.empty() || !index)
        return;
    EditFileSystem(store_, *context_.UI, CurrentRefNo, ListedPaths(), *index, system);
    FillRHSListView();
}

void TRefManager::DeleteListedFiles(bool logs)
{
    const QList<QTreeWidgetItem*> selected = SelectedRHS();
    const TRHSView wanted = logs ? TRHSView::Logs : TRHSView::Compares;
    if (view_ != wanted || selected.isEmpty() || CurrentRefNo < 0)
        return;
    TUserInterface& ui = *context_.UI;
    std::string name = store_.RefName(CurrentRefNo);
    if (name == kRefDirectoryMissing)
        name = CurrentRefName;
    const std::string question = logs ? DeleteLogsQuestion(size_t(selected.size()), name)
                                      : DeleteComparesQuestion(size_t(selected.size()), name);
    if (ui.MessageBox(question, "Confirm Delete", mb::YesNo | mb::IconQuestion | mb::DefButton2) !=
        idYes)
        return;
    // Each item removes the file it was listed from; an item whose file is gone stays.
    std::string failure;
    {
        const QSignalBlocker block(RHSListView);
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            const TRHSRow* row = RHSRowOf(*it);
            if (RefFileExists(store_.Files(), CurrentRefDir, row->FileName) &&
                RemoveRefFile(store_.Files(), CurrentRefDir, row->FileName, failure))
                delete *it;
        }
    }
    if (!failure.empty())
        ui.ShowMessage("Cannot delete " + failure);
    if (logs) // the reference's latest log and its change may have gone with them
        FillRefListView();
    UpdateActions();
}

void TRefManager::DeleteLogs1Click()
{
    DeleteListedFiles(true);
}

void TRefManager::DeleteCompare1Click()
{
    DeleteListedFiles(false);
}

void TRefManager::SharesButtonClick()
{
    frame_.NetworkShareList1Click();
}

void TRefManager::DataDirectory1Click()
{
    const std::string chosen = BrowseForDataDirectory(Q(context_.DataDirectory));
    if (!chosen.empty())
        ChangeDataDirectory(chosen);
}

bool TRefManager::ChangeDataDirectory(const std::string& path)
{
    TUserInterface& ui = *context_.UI;
    if (std::string problem = DataDirectoryProblem(path); !problem.empty()) {
        ui.ShowMessage(problem);
        return false;
    }
    // The windows of logs and comparisons belong to the data directory they came from.
    frame_.CloseAllButRefMan();
    TRegistry settings;
    std::vector<std::string> notes;
    TakeDataDirectory(path, settings, notes);
    context_.DataDirectory = TRefStore(path).DataDir();
    store_ = TRefStore(context_.DataDirectory);
    DataDirectoryLabel->setText("Data directory: " + Q(context_.DataDirectory));
    ClearCurrentRef();
    FillRefListView();
    for (const std::string& note : notes)
        ui.ShowMessage(note);
    return true;
}

} // namespace vm
