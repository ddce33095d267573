// The reference manager's fourth right-hand view, "View &history": a chart of the reference's
// space taken (or size) for every log in date order, one line per top-level path and one for the
// total, and beneath it a table of log number, date, space taken and the change from the log
// before. What it shows comes from refman/HistoryChart.h and references/LogHistory.h.
#pragma once

#include "platform/Locale.h"
#include "references/LogHistory.h"

#include <QWidget>

#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QTableWidget;

namespace vm {

class THistoryView : public QWidget
{
    Q_OBJECT
public:
    explicit THistoryView(QWidget* parent = nullptr);

    // Shows the logs (in date order), with the locale's texts.
    void ShowHistory(std::vector<TLogSummary> logs, const TLocale& locale);
    void Clear();
    const std::vector<TLogSummary>& Logs() const { return logs_; }

    QComboBox* HistoryMeasureComboBox; // "Space taken" or "Size"
    QChartView* HistoryChartView;
    QTableWidget* HistoryTable;

private:
    void DrawChart();

    std::vector<TLogSummary> logs_;
};

} // namespace vm
