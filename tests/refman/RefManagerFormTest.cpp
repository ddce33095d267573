// The reference manager as its user drives it, on the offscreen platform with the scripted user
// interface: the first-run wizard, logging and comparing, opening and deleting logs, renaming.
#include "refman/RefManagerForm.h"

#include "RefManData.h"
#include "platform/IniFile.h"
#include "references/LoggingRun.h"
#include "refman/QtHistoryView.h"
#include "refman/WizardForm.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

using namespace vm;

namespace vmtest {

namespace {

void Wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QStringList Column(QTreeWidget* list, int column = 0)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void Select(QTreeWidget* list, const QStringList& captions)
{
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (captions.contains(list->topLevelItem(i)->text(0)))
            list->topLevelItem(i)->setSelected(true);
}

class RefManagerFormTest : public FrameTest
{
protected:
    RefManagerFormTest() : store_(dir_.Path()) {}

    // Starts the window over what the test has put into the data directory.
    TRefManager& Open()
    {
        manager_ = new TRefManager(*frame_);
        manager_->ShowWizard = [this] { ++wizards_; };
        manager_->BrowseForFolder = [this](const QString&) { return browsed_; };
        manager_->DisplayLog = [this](int ref, int log) { opened_.push_back({ref, log, -1}); };
        manager_->DisplayComp = [this](int ref, int a, int b) { opened_.push_back({ref, a, b}); };
        frame_->AddChild(manager_)->showMaximized();
        QApplication::processEvents();
        return *manager_;
    }
    void AddRef(int n, const std::string& name, const std::vector<RefPathSpec>& paths = {},
                const std::string& next = "")
    {
        std::filesystem::create_directories(store_.RefDir(n));
        TIniFile ini(store_.RefIniPath());
        ini.WriteString(TRefStore::RefSection(n), "Name", name);
        if (!next.empty())
            ini.WriteString(TRefStore::RefSection(n), "NextLogNo", next);
        TRefPaths stored;
        for (const RefPathSpec& p : paths)
            stored.push_back(ParsedRefPath(p.Path, p.Unit, "ext4"));
        store_.ReplaceRefPaths(n, stored);
    }
    void AddLog(int n, int m, TDateTime date, int64_t bytes)
    {
        const std::vector<uint8_t> log =
            SyntheticLog(date).Root("/data/", 1).File("f", bytes).Log(DefaultTagNames());
        TMemoryStream(log).SaveToFile(store_.LogFileName(n, m));
    }
    // A tree of 30 files: enough progress calls for the status window's Cancel to be seen.
    std::string Tree()
    {
        dir_.MakeDir("tree");
        for (int i = 0; i < 30; ++i)
            dir_.WriteFile("tree/f" + std::to_string(i), "x");
        return dir_ / "tree";
    }
    std::vector<std::string> Files(int n)
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(store_.RefDir(n)))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    struct TOpened
    {
        int Ref, First, Second;
        bool operator==(const TOpened&) const = default;
    };
    TRefStore store_;
    TRefManager* manager_ = nullptr;
    int wizards_ = 0;
    std::string browsed_;
    std::vector<TOpened> opened_;
};

TEST_F(RefManagerFormTest, TheWizardOpensByItselfOnlyOnAFirstRun)
{
    TRefManager& m = Open();
    Wait(250);
    EXPECT_EQ(wizards_, 1);
    EXPECT_FALSE(m.WizardStartTimer->isActive());

    // An INI file tells that the program ran here before, even with no reference left.
    dir_.WriteFile("Volumark.ini", "");
    m.RefListView->setFocus();
    m.WizardStartTimerTimer();
    EXPECT_EQ(wizards_, 1);

    // The user opens it with the toolbar's "Wizard" and with "Create &reference ...".
    m.WizardButton->click();
    EXPECT_EQ(wizards_, 2);
    m.CreateReference1->trigger();
    EXPECT_EQ(wizards_, 3);
}

TEST_F(RefManagerFormTest, NoWizardWhenTheProgramHasArgumentsAndNoNewReferenceInFolderMode)
{
    context_.Arguments = {"/Folder=/tmp"};
    TRefManager& m = Open();
    Wait(250);
    EXPECT_EQ(wizards_, 0);
    EXPECT_TRUE(m.CreateReference1->isEnabled());
    frame_->EnterFolderMode();
    m.UpdateActions();
    EXPECT_FALSE(m.CreateReference1->isEnabled());
    EXPECT_FALSE(m.WizardButton->isEnabled());
    EXPECT_FALSE(m.NewButton->isEnabled());
}

TEST_F(RefManagerFormTest, ControlsAndMenusCarryTheirNames)
{
    AddRef(0, "Web");
    TRefManager& m = Open();
    for (const char* name :
         {"RefListView", "RHSListView", "RefManContentsLabel", "ManagerStatusBar", "Splitter",
          "ToolBar", "WizardButton", "NewButton", "RenameButton", "DeleteButton", "LogNowButton",
          "OpenButton", "ViewButton", "AddPathButton", "CompareButton", "SharesButton"})
        EXPECT_NE(m.findChild<QWidget*>(name), nullptr) << name;
    for (QWidget* w : m.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        const bool needsName = qobject_cast<QAbstractItemView*>(w) ||
                               (button && button->text().isEmpty() && !w->objectName().isEmpty());
        if (needsName && !qobject_cast<QAbstractItemView*>(w->parentWidget())) {
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    }
    QStringList titles;
    for (QAction* a : frame_->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));
    QStringList file;
    for (QAction* a : m.File1->actions())
        file << a->text();
    EXPECT_EQ(file, (QStringList{"Create &reference ...", "Data directory ...", "&Close",
                                 "Close &all", "", "E&xit"}));
    EXPECT_FALSE(m.Close1->isEnabled());
    EXPECT_FALSE(m.CloseAll1->isEnabled());
    EXPECT_EQ(m.Delete1->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(m.Rename1->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(m.ChangeFileSystem1->actions().size(), 11);
}

TEST_F(RefManagerFormTest, ListsShowReferencesAndTheChosenView)
{
    AddRef(0, "Web", {{"/srv/web/", "4096"}});
    AddRef(1, "Mail");
    AddLog(0, 1, 45000.5, 1000);
    AddLog(0, 2, 45001.5, 3048);
    TRefManager& m = Open();
    EXPECT_EQ(Column(m.RefListView), (QStringList{"Web", "Mail"}));
    EXPECT_EQ(Column(m.RefListView, 3), (QStringList{"+2 KB", ""}));
    EXPECT_EQ(m.SelectedRef()->text(0), "Web"); // the first is selected when the window shows
    EXPECT_EQ(m.RefManContentsLabel->text(), "Contents of : Web");
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 1", "Log 2"}));
    EXPECT_FALSE(m.CompareButton->isEnabled());
    EXPECT_FALSE(m.OpenButton->isEnabled());

    Select(m.RHSListView, {"Log 2"});
    EXPECT_TRUE(m.OpenButton->isEnabled());
    EXPECT_EQ(m.OpenButton->toolTip(), "Open Log 2");
    Select(m.RHSListView, {"Log 1", "Log 2"});
    EXPECT_TRUE(m.CompareButton->isEnabled());
    EXPECT_FALSE(m.OpenButton->isEnabled());

    m.ViewButtonClick();
    EXPECT_EQ(m.CurrentView(), TRHSView::Compares);
    EXPECT_TRUE(m.ViewComparesAction->isChecked());
    m.ViewButtonClick();
    EXPECT_EQ(m.RHSListView->headerItem()->text(0), "Path name");
    EXPECT_EQ(Column(m.RHSListView, 1), (QStringList{"4096"}));

    // A header click sorts; the toggle starts true, so the first click on "Last log size" puts
    // the largest first.
    m.RefListViewColumnClick(2);
    EXPECT_EQ(Column(m.RefListView), (QStringList{"Web", "Mail"}));
    m.RefListViewColumnClick(2);
    EXPECT_EQ(Column(m.RefListView), (QStringList{"Mail", "Web"}));
    EXPECT_EQ(m.SelectedRef()->text(0), "Web");
}

TEST_F(RefManagerFormTest, LogNowStoppedFromTheStatusWindowLeavesNoLogWhileAnotherStoreTakesNumbers)
{
    AddRef(0, "Tree", {{Tree(), "4096"}});
    TRefManager& m = Open();
    TRefStore other(dir_.Path());
    bool during = false;
    ui_.OnProcessMessages = [&] {
        if (during)
            return;
        during = true;
        EXPECT_FALSE(m.isEnabled());
        for (QAction* menu : frame_->menuBar()->actions())
            EXPECT_FALSE(menu->isEnabled()) << menu->text().toStdString();
        // Another program logs the same reference meanwhile; then the user clicks Cancel.
        const int taken = other.TakeNextLogNumber(0);
        AddLog(0, taken, 45000.5, 10);
        ui_.StatusWindow.Stop = true;
    };
    m.LogNowButtonClick();
    ASSERT_TRUE(during);
    EXPECT_EQ(Files(0), std::vector<std::string>{"Log0002.kdf"});
    EXPECT_TRUE(m.isEnabled());
    for (QAction* menu : frame_->menuBar()->actions())
        EXPECT_TRUE(menu->isEnabled()) << menu->text().toStdString();
    // Items get back their own states: the scheduler stays off where there is no crontab.
    EXPECT_EQ(frame_->NTScheduler1->isEnabled(), SchedulerSupported());
    EXPECT_FALSE(m.Close1->isEnabled());
    EXPECT_EQ(m.SelectedRef()->text(0), "Tree");
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 2"}));
    EXPECT_FALSE(ui_.StatusWindow.Visible);
}

TEST_F(RefManagerFormTest, LogAndCompareNowComparesOnlyALogItWrote)
{
    AddRef(0, "Tree", {{Tree(), "0"}});
    AddLog(0, 1, 45000.5, 10);
    TRefManager& m = Open();
    m.LogAndCompareNowClick();
    EXPECT_EQ(ui_.Texts().back(), "Can not log [Tree] while an Allocation Unit is set to zero");
    EXPECT_EQ(Files(0), std::vector<std::string>{"Log0001.kdf"});

    store_.ReplaceRefPaths(0, {ParsedRefPath(dir_ / "tree/", "4096", "ext4")});
    m.LogAndCompareNowClick();
    EXPECT_EQ(Files(0), (std::vector<std::string>{"00010002.kcf", "Log0001.kdf", "Log0002.kdf"}));
    EXPECT_EQ(m.CurrentView(), TRHSView::Compares);
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 1 with Log 2"}));
}

TEST_F(RefManagerFormTest, LogsAboveNineThousandNineHundredNinetyNineOpenAndGoByTheirOwnFile)
{
    AddRef(0, "Hourly");
    AddLog(0, 9999, 45000.5, 10);
    AddLog(0, 10000, 45000.6, 20);
    RunComparison(store_, 0, 9999, 10000);
    TRefManager& m = Open();
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 9999", "Log 10000"}));
    m.ExploreLatestLogClick();
    Select(m.RHSListView, {"Log 9999"});
    m.OpenClick();
    EXPECT_EQ(opened_, (std::vector<TOpened>{{0, 10000, -1}, {0, 9999, -1}}));

    Select(m.RHSListView, {"Log 10000"});
    ui_.Answers = {idNo, idYes};
    m.DeleteLogs1Click();
    EXPECT_EQ(Files(0).size(), 3u);
    m.DeleteLogs1Click();
    EXPECT_EQ(ui_.Texts().back(),
              "Are you sure you want to delete this log from reference [Hourly] ?");
    EXPECT_EQ(Files(0), (std::vector<std::string>{"999910000.kcf", "Log9999.kdf"}));
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 9999"}));

    // Its comparison opens after a question, as its new log is gone.
    m.ShowView(TRHSView::Compares);
    Select(m.RHSListView, {"Log 9999 with Log 10000"});
    ui_.Answers = {idNo, idYes};
    m.OpenClick();
    EXPECT_EQ(opened_.size(), 2u);
    m.OpenClick();
    EXPECT_EQ(ui_.Shown.back().Caption, "Log file missing");
    EXPECT_EQ(ui_.Shown.back().Text,
              "Log 10000 no longer exists.  View compare without file deletion capability ?");
    EXPECT_EQ(opened_.back(), (TOpened{0, 9999, 10000}));
}

TEST_F(RefManagerFormTest, DeleteActsOnTheFocusedList)
{
    AddRef(0, "Web");
    AddLog(0, 1, 45000.5, 10);
    AddLog(0, 2, 45001.5, 10);
    TRefManager& m = Open();
    frame_->activateWindow();
    m.RHSListView->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(m.RHSListView->hasFocus());
    Select(m.RHSListView, {"Log 1"});
    m.UpdateActions();
    EXPECT_TRUE(m.SelectAll1->isEnabled());
    ui_.Answers = {idYes};
    m.Delete1->trigger();
    EXPECT_EQ(Files(0), std::vector<std::string>{"Log0002.kdf"});
    EXPECT_TRUE(std::filesystem::exists(store_.RefDir(0)));

    m.RefListView->setFocus();
    QApplication::processEvents();
    m.UpdateActions();
    EXPECT_FALSE(m.SelectAll1->isEnabled());
    ui_.Answers = {idNo};
    m.Delete1->trigger();
    EXPECT_EQ(ui_.Texts().back(),
              "Are you sure you want to delete this Reference. All data will be lost?");
    EXPECT_TRUE(std::filesystem::exists(store_.RefDir(0)));
}

TEST_F(RefManagerFormTest, DeletingTheLatestLogShowsTheOneBeforeAsTheReferencesLast)
{
    AddRef(0, "Web");
    AddRef(1, "Mail");
    AddLog(0, 1, 45000.5, 1000);
    AddLog(0, 2, 45001.5, 3048);
    TRefManager& m = Open();
    EXPECT_EQ(Column(m.RefListView, 3), (QStringList{"+2 KB", ""}));
    const QString latest = m.RefListView->topLevelItem(0)->text(1);
    Select(m.RHSListView, {"Log 2"});
    ui_.Answers = {idYes};
    m.DeleteLogs1Click();
    EXPECT_EQ(Column(m.RHSListView), (QStringList{"Log 1"}));
    EXPECT_NE(m.RefListView->topLevelItem(0)->text(1), latest);
    EXPECT_EQ(Column(m.RefListView, 2), (QStringList{"1 KB", ""})); // log 1 is the last
    EXPECT_EQ(Column(m.RefListView, 3), (QStringList{"", ""}));
    EXPECT_EQ(m.SelectedRef()->text(0), "Web");
}

TEST_F(RefManagerFormTest, DoubleClickOnTheSelectedReferenceOpensItWithoutEditingItsName)
{
    AddRef(0, "Home");
    AddLog(0, 1, 45000.5, 1000);
    TRefManager& m = Open();
    QTreeWidgetItem* home = m.RefListView->topLevelItem(0);
    auto editing = [&] {
        auto* editor = m.RefListView->viewport()->findChild<QLineEdit*>();
        return editor && editor->isVisible();
    };
    // The first click of a double-click on the selected reference starts the list's delayed
    // caption editing, which comes due while the double-click opens the latest log.
    emit m.RefListView->itemDoubleClicked(home, 0);
    m.RefListView->editItem(home, 0);
    EXPECT_EQ(opened_, (std::vector<TOpened>{{0, 1, -1}}));
    EXPECT_FALSE(editing());
    // Later the name is edited as always.
    Wait(3 * QApplication::doubleClickInterval());
    m.RefListView->editItem(home, 0);
    EXPECT_TRUE(editing());
}

TEST_F(RefManagerFormTest, RenamingRefusesBadNamesAndNewReferencesGoOnToTheirFirstPath)
{
    AddRef(0, "New Reference");
    AddRef(1, "new reference (2)");
    TRefManager& m = Open();
    m.NewClick();
    QTreeWidgetItem* item = m.SelectedRef();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(0), "New Reference (3)");
    EXPECT_EQ(store_.RefName(2), "New Reference (3)");
    EXPECT_EQ(m.CurrentView(), TRHSView::Paths);
    EXPECT_NE(m.RefListView->findChild<QLineEdit*>(), nullptr); // the caption is being edited

    // A refused name leaves the stored name, and the list shows the name the store has.
    for (const std::string& refused : {std::string(81, 'x'), std::string(), std::string("   ")}) {
        m.RefListViewEdited(item, refused);
        EXPECT_EQ(item->text(0), "New Reference (3)");
        EXPECT_EQ(store_.RefName(2), "New Reference (3)");
    }
    EXPECT_EQ(ui_.Texts().back(), "You must type a VALID reference name");
    m.RefListViewEdited(item, "NEW REFERENCE");
    EXPECT_EQ(ui_.Texts().back(), "Reference name already used - Choose another");
    EXPECT_EQ(item->text(0), "New Reference (3)");
    EXPECT_EQ(ui_.Beeps, 4);

    browsed_ = dir_.Path();
    m.RefListViewEdited(item, "  Data ");
    EXPECT_EQ(item->text(0), "Data");
    EXPECT_EQ(store_.RefName(2), "Data");
    EXPECT_EQ(m.RefManContentsLabel->text(), "Contents of : Data");
    EXPECT_EQ(Column(m.RHSListView), (QStringList{QString::fromStdString(dir_.Path() + "/")}));
}

TEST_F(RefManagerFormTest, DeletingAReferenceClosesItsWindowsOnlyAfterYes)
{
    AddRef(0, "Keep");
    AddRef(1, "Drop");
    AddLog(1, 1, 45000.5, 10);
    TRefManager& m = Open();
    auto* view = new QWidget;
    view->setProperty(kReferenceProperty, 1);
    frame_->AddChild(view);
    frame_->MdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m.parentWidget()));
    m.SelectRef("Drop");
    ui_.Answers = {idNo};
    m.DeleteRefClick();
    QApplication::processEvents();
    EXPECT_EQ(frame_->Children().size(), 2);
    ui_.Answers = {idYes};
    m.DeleteRefClick();
    QApplication::processEvents();
    EXPECT_EQ(frame_->Children().size(), 1);
    EXPECT_EQ(Column(m.RefListView), (QStringList{"Keep"}));
    EXPECT_FALSE(std::filesystem::exists(store_.RefDir(1)));
}

TEST_F(RefManagerFormTest, TheWizardsReferenceIsListedWhenItCloses)
{
    dir_.WriteFile("Volumark.ini", "");
    TRefManager& m = Open();
    EXPECT_EQ(m.RefListView->topLevelItemCount(), 0);
    m.Wizard->show();
    AddRef(4, "Made by the wizard");
    m.Wizard->hide();
    EXPECT_EQ(Column(m.RefListView), (QStringList{"Made by the wizard"}));
}

TEST_F(RefManagerFormTest, HistoryChartsEveryLogInDateOrderWithTheTotalsOfLogTotals)
{
    AddRef(0, "Web", {{"/srv/web/", "4096"}});
    AddRef(1, "Empty");
    // Numbered out of date order: log 3 was logged first.
    AddLog(0, 1, 45001.5, 3000);
    AddLog(0, 2, 45002.5, 1000);
    AddLog(0, 3, 45000.5, 2000);
    TRefManager& m = Open();
    m.ViewButtonClick();
    m.ViewButtonClick();
    m.ViewButtonClick(); // logs, comparisons, paths, history
    EXPECT_EQ(m.CurrentView(), TRHSView::History);
    EXPECT_TRUE(m.ViewHistoryAction->isChecked());
    EXPECT_EQ(m.RHSStack->currentWidget(), m.HistoryView);

    const std::vector<TLogSummary>& logs = m.HistoryView->Logs();
    ASSERT_EQ(logs.size(), 3u);
    for (const TLogSummary& log : logs) {
        const TLogTotals totals = LogTotals(store_, 0, log.LogNumber);
        EXPECT_EQ(log.Allocated, totals.Allocated);
        EXPECT_EQ(log.Size, totals.Size);
    }
    QTableWidget* table = m.HistoryView->HistoryTable;
    ASSERT_EQ(table->rowCount(), 3);
    QStringList numbers, changes;
    for (int r = 0; r < 3; ++r) {
        numbers << table->item(r, 0)->text();
        changes << table->item(r, 3)->text();
    }
    EXPECT_EQ(numbers, (QStringList{"3", "1", "2"}));
    EXPECT_EQ(changes, (QStringList{"", "+1 KB", "-2 KB"}));

    // One line for the total and one for the only path, a point per log, in date order.
    QList<QAbstractSeries*> series = m.HistoryView->HistoryChartView->chart()->series();
    ASSERT_EQ(series.size(), 2);
    EXPECT_EQ(series[0]->name(), "Total");
    EXPECT_EQ(series[1]->name(), "/data");
    auto* total = qobject_cast<QLineSeries*>(series[0]);
    ASSERT_EQ(total->count(), 3);
    EXPECT_LT(total->at(0).x(), total->at(1).x());
    EXPECT_DOUBLE_EQ(total->at(0).y() * 1024, 2000);           // the axis counts in KB
    m.HistoryView->HistoryMeasureComboBox->setCurrentIndex(1); // "Size"
    total = qobject_cast<QLineSeries*>(m.HistoryView->HistoryChartView->chart()->series()[0]);
    EXPECT_DOUBLE_EQ(total->at(2).y() * 1024, 1000);

    // Another reference without logs: an empty chart and table; the View button goes on to
    // the logs and the list.
    Select(m.RefListView, {"Empty"});
    EXPECT_EQ(m.HistoryView->HistoryTable->rowCount(), 0);
    EXPECT_TRUE(m.HistoryView->HistoryChartView->chart()->series().isEmpty());
    m.ViewButtonClick();
    EXPECT_EQ(m.CurrentView(), TRHSView::Logs);
    EXPECT_EQ(m.RHSStack->currentWidget(), m.RHSListView);
}

} // namespace

} // namespace vmtest
