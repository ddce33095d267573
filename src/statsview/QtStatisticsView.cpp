#include "statsview/QtStatisticsView.h"

#include "listwindow/QtListWindowPanels.h"
#include "platform/FileOwner.h"
#include "platform/QtText.h"
#include "statistics/StatisticsTables.h"
#include "statsview/QtShareBarDelegate.h"
#include "statsview/QtStatsGridModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace vm {

namespace {

constexpr size_t kStepRecords = 8192;

const TIdNames& SystemNames()
{
    static const TIdNames names{AccountName, GroupName};
    return names;
}

// A tab's short name: the table's title without what it counts back from.
std::string TabName(const TStatsTableInfo& info)
{
    const size_t cut = info.Title.find(" (");
    return cut == std::string::npos ? info.Title : info.Title.substr(0, cut);
}

} // namespace

TStatisticsView::TStatisticsView(QWidget* parent) : QWidget(parent), locale_(TLocale::FromEnvironment())
{
    setObjectName("StatisticsView");
    setAccessibleName("Statistics");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    Heading = Named(new QLabel(this), "StatisticsHeading");
    Heading->setWordWrap(true);
    Heading->setTextFormat(Qt::PlainText);
    Heading->setContentsMargins(6, 0, 6, 2);
    Heading->setAccessibleName("Statistics totals");
    Tables = Named(new QTabWidget(this), "StatisticsTables");
    Tables->setAccessibleName("Statistics tables");
    Tables->setDocumentMode(true);
    layout->addWidget(Heading);
    layout->addWidget(Tables, 1);
    stepTimer_.setSingleShot(true);
    stepTimer_.setInterval(0);
    connect(&stepTimer_, &QTimer::timeout, this, &TStatisticsView::RunStep);
}

TStatisticsView::~TStatisticsView()
{
    Stop();
}

void TStatisticsView::ShowLog(TDirStorage& log, int64_t dir, const std::string& title,
                              std::shared_ptr<void> keep)
{
    Stop();
    keep_ = std::move(keep);
    title_ = title;
    logWalk_ = std::make_unique<TLogStatisticsWalk>(log, dir);
    Heading->setText(Q("Counting " + title_ + "..."));
    stepTimer_.start();
}

void TStatisticsView::ShowComparison(TDirCompare& comparison, int64_t dir,
                                     const std::string& title, std::shared_ptr<void> keep)
{
    Stop();
    keep_ = std::move(keep);
    title_ = title;
    changeWalk_ = std::make_unique<TComparisonStatisticsWalk>(comparison, dir);
    Heading->setText(Q("Counting " + title_ + "..."));
    stepTimer_.start();
}

void TStatisticsView::Stop()
{
    stepTimer_.stop();
    logWalk_.reset();
    changeWalk_.reset();
    keep_.reset();
}

void TStatisticsView::RunStep()
{
    if (logWalk_) {
        if (StepFor(
                StepMilliseconds, [this] { return logWalk_->Step(kStepRecords); },
                [] { return false; })) {
            stepTimer_.start();
            return;
        }
        const TLogStatistics stats = logWalk_->Take();
        logWalk_.reset();
        keep_.reset();
        ShowLogTables(stats);
    } else if (changeWalk_) {
        if (StepFor(
                StepMilliseconds, [this] { return changeWalk_->Step(kStepRecords); },
                [] { return false; })) {
            stepTimer_.start();
            return;
        }
        const TComparisonStatistics stats = changeWalk_->Take();
        changeWalk_.reset();
        keep_.reset();
        ShowChangeTables(stats);
    } else {
        return;
    }
    emit Finished();
}

void TStatisticsView::ShowLogTables(const TLogStatistics& stats)
{
    std::vector<TStatsGrid> grids;
    for (const TLogTable& table : LogTables(stats, TReportTables::All, 0, locale_, SystemNames()))
        grids.push_back(GridOf(table, locale_));
    std::string heading = title_;
    for (const std::string& line : LogTotalsLines(stats, locale_))
        heading += "\n" + line;
    ShowGrids(std::move(grids), heading, stats.Damage);
}

void TStatisticsView::ShowChangeTables(const TComparisonStatistics& stats)
{
    std::vector<TStatsGrid> grids;
    for (const TChangeTable& table : ChangeTables(stats, TReportTables::All, 0, SystemNames()))
        grids.push_back(GridOf(table, locale_));
    ShowGrids(std::move(grids), title_ + "\n" + ChangeTotalsLine(stats, locale_), stats.Damage);
}

void TStatisticsView::ShowGrids(std::vector<TStatsGrid> grids, const std::string& heading,
                                const std::string& damage)
{
    const int current = Tables->currentIndex();
    while (Tables->count() > 0) {
        QWidget* page = Tables->widget(0);
        Tables->removeTab(0);
        page->deleteLater();
    }
    grids_ = std::move(grids);
    Heading->setText(Q(damage.empty() ? heading
                                      : heading + "\nThe file is damaged; counted up to: " +
                                            damage));
    for (size_t i = 0; i < grids_.size(); ++i) {
        const TStatsGrid& grid = grids_[i];
        const QString title = Q(grid.Info.Title);
        if (!grid.Info.Note.empty()) {
            auto* note = new QLabel(Q(grid.Info.Note));
            note->setObjectName("StatisticsNote");
            note->setAlignment(Qt::AlignCenter);
            note->setAccessibleName(title);
            Tables->addTab(note, Q(TabName(grid.Info)));
            continue;
        }
        auto* view = new QTableView;
        view->setObjectName("StatisticsTable");
        view->setAccessibleName(title);
        auto* model = new TStatsGridModel(grid, view);
        view->setModel(model);
        view->setItemDelegateForColumn(grid.BarColumn, new TShareBarDelegate(view));
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setAlternatingRowColors(true);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
        view->horizontalHeader()->setHighlightSections(false);
        view->setSortingEnabled(false);
        if (grid.SortColumn >= 0)
            view->horizontalHeader()->setSortIndicator(
                grid.SortColumn, grid.Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        else
            view->horizontalHeader()->setSortIndicator(-1, Qt::DescendingOrder);
        view->setSortingEnabled(true);
        const int nameColumn = grid.Info.Paths ? static_cast<int>(grid.Columns.size()) - 1 : 0;
        view->resizeColumnsToContents();
        // Room for the bars to be read.
        view->setColumnWidth(grid.BarColumn,
                             std::max(view->columnWidth(grid.BarColumn),
                                      view->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 16));
        view->horizontalHeader()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
        if (grid.Rows.empty())
            view->setToolTip("No files");
        connect(view, &QAbstractItemView::activated, this, [this, model](const QModelIndex& index) {
            if (index.isValid() && index.row() < model->rowCount())
                emit RowChosen(model->Grid().Rows[index.row()].Select);
        });
        Tables->addTab(view, Q(TabName(grid.Info)));
        Tables->setTabToolTip(Tables->count() - 1, title);
    }
    if (current >= 0 && current < Tables->count())
        Tables->setCurrentIndex(current);
}

QTableView* TStatisticsView::TableAt(int tab) const
{
    return qobject_cast<QTableView*>(Tables->widget(tab));
}

} // namespace vm
