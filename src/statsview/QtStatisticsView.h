// The statistics view: what a log's directory (or a comparison's) holds by type, age, owner and
// size, or how it changed, as sortable tables with a bar of each row's share. The walk runs in
// time slices between the window's events; a new Show or Stop drops it at once. A row chosen
// (double click, Enter) leads to its files: the view tells the window which (RowChosen), and the
// window filters its list or selects the entry.
#pragma once

#include "core/DirCompare.h"
#include "core/DirStorage.h"
#include "platform/Locale.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/LogStatistics.h"
#include "statsview/StatsGrid.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QTabWidget;
class QTableView;

namespace vm {

class TStatisticsView : public QWidget
{
    Q_OBJECT

public:
    explicit TStatisticsView(QWidget* parent = nullptr);
    ~TStatisticsView() override;

    static inline int StepMilliseconds = 25;

    void SetLocale(const TLocale& locale) { locale_ = locale; }
    // The statistics of the subtree of dir (-1: the whole file); title names it above the
    // tables. keep holds the file open until the walk is over (without it, the file must
    // outlive the walk: Stop before it closes).
    void ShowLog(TDirStorage& log, int64_t dir, const std::string& title,
                 std::shared_ptr<void> keep = {});
    void ShowComparison(TDirCompare& comparison, int64_t dir, const std::string& title,
                        std::shared_ptr<void> keep = {});
    // Drops the walk in hand; the tables shown stay.
    void Stop();
    bool Busy() const { return logWalk_ || changeWalk_; }

    // The tables shown, in the order of their tabs.
    const std::vector<TStatsGrid>& Grids() const { return grids_; }
    QTabWidget* Tables = nullptr;
    QLabel* Heading = nullptr;
    // The table of tab i (nullptr where the tab shows a note instead).
    QTableView* TableAt(int tab) const;

signals:
    // A row was chosen: the window leads to its files.
    void RowChosen(const vm::TStatsSelection& selection);
    // The walk is over and the tables are shown.
    void Finished();

private:
    void RunStep();
    void ShowLogTables(const TLogStatistics& stats);
    void ShowChangeTables(const TComparisonStatistics& stats);
    void ShowGrids(std::vector<TStatsGrid> grids, const std::string& heading,
                   const std::string& damage);

    std::shared_ptr<void> keep_; // declared first: dropped after the walks
    std::unique_ptr<TLogStatisticsWalk> logWalk_;
    std::unique_ptr<TComparisonStatisticsWalk> changeWalk_;
    std::string title_;
    std::vector<TStatsGrid> grids_;
    QTimer stepTimer_;
    TLocale locale_;
};

} // namespace vm
