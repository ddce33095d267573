#include "refman/QtHistoryView.h"

#include "platform/QtText.h"
#include "refman/HistoryChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace vm {

namespace {
// Milliseconds since 1970 of a local date-time, as the date axis counts.
qreal AxisTime(TDateTime value)
{
    TDateTimeParts p;
    if (!DecodeDateTime(value, p))
        return 0;
    return static_cast<qreal>(
        QDateTime(QDate(p.Year, p.Month, p.Day), QTime(p.Hour, p.Minute, p.Second))
            .toMSecsSinceEpoch());
}

// Logs drawn with a marker on every point; beyond this many the line alone.
constexpr size_t kMarkedPoints = 60;
} // namespace

THistoryView::THistoryView(QWidget* parent) : QWidget(parent)
{
    setObjectName("HistoryView");
    HistoryMeasureComboBox = new QComboBox(this);
    HistoryMeasureComboBox->setObjectName("HistoryMeasureComboBox");
    HistoryMeasureComboBox->addItems({"Space taken", "Size"});
    HistoryMeasureComboBox->setAccessibleName("What the chart shows");
    auto* label = new QLabel("&Show:", this);
    label->setBuddy(HistoryMeasureComboBox);

    auto* chart = new QChart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    HistoryChartView = new QChartView(chart, this);
    HistoryChartView->setObjectName("HistoryChartView");
    HistoryChartView->setAccessibleName("Chart of the reference's logs over time");
    HistoryChartView->setRenderHint(QPainter::Antialiasing);
    HistoryChartView->setMinimumHeight(160);

    HistoryTable = new QTableWidget(0, 4, this);
    HistoryTable->setObjectName("HistoryTable");
    HistoryTable->setAccessibleName("Logs of the reference over time");
    HistoryTable->setHorizontalHeaderLabels({"Log number", "Date", "Space taken", "Change"});
    HistoryTable->verticalHeader()->hide();
    // Rows as low as the lists' beside it, not the taller default of a table.
    HistoryTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    HistoryTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HistoryTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The columns as wide as their texts, as the lists' are: a stretched "Change" would carry
    // its right-aligned figures away from the rest of the row.
    HistoryTable->horizontalHeader()->setStretchLastSection(false);
    for (int c : {0, 2, 3})
        HistoryTable->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* top = new QHBoxLayout();
    top->setContentsMargins(4, 2, 4, 2);
    top->addWidget(label);
    top->addWidget(HistoryMeasureComboBox);
    top->addStretch(1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(HistoryChartView);
    split->addWidget(HistoryTable);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setSizes({400, 200}); // the chart above two thirds, whatever the height
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(HistoryMeasureComboBox, &QComboBox::currentIndexChanged, this,
            &THistoryView::DrawChart);
}

void THistoryView::Clear()
{
    ShowHistory({}, TLocale::Classic());
}

void THistoryView::ShowHistory(std::vector<TLogSummary> logs, const TLocale& locale)
{
    logs_ = std::move(logs);
    const std::vector<THistoryRow> rows = HistoryRows(logs_, locale);
    HistoryTable->setUpdatesEnabled(false);
    HistoryTable->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const THistoryRow& row = rows[static_cast<size_t>(r)];
        const std::string* cells[] = {&row.Log, &row.Date, &row.SpaceTaken, &row.Change};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(Q(*cells[c]));
            if (c != 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            HistoryTable->setItem(r, c, item);
        }
    }
    HistoryTable->resizeColumnsToContents();
    HistoryTable->setUpdatesEnabled(true);
    if (!rows.empty())
        HistoryTable->scrollToBottom(); // the latest logs
    DrawChart();
}

void THistoryView::DrawChart()
{
    const THistoryMeasure measure = HistoryMeasureComboBox->currentIndex() == 1
                                        ? THistoryMeasure::Size
                                        : THistoryMeasure::SpaceTaken;
    const std::vector<THistorySeries> series = HistorySeries(logs_, measure);
    int64_t max = 0;
    for (const THistorySeries& s : series)
        for (const THistoryPoint& p : s.Points)
            max = std::max(max, p.Bytes);
    const TAxisUnit unit = AxisUnitFor(max);

    QChart* chart = HistoryChartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(logs_.empty() ? "No logs yet" : QString());
    if (logs_.empty())
        return;

    auto* time = new QDateTimeAxis();
    time->setTitleText("Log date");
    auto* value = new QValueAxis();
    value->setTitleText(HistoryMeasureComboBox->currentText() + " (" + unit.Name + ")");
    value->setLabelFormat("%.1f");
    value->setMin(0);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(value, Qt::AlignLeft);

    qreal first = AxisTime(logs_.front().Date), last = AxisTime(logs_.back().Date);
    if (last <= first) { // one log, or all of one moment: a day either side
        first -= 86400000.0;
        last += 86400000.0;
    }
    time->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first)),
                   QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last)));
    const int ticks = std::clamp(static_cast<int>(logs_.size()), 2, 6);
    time->setTickCount(ticks);
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (AxisShowsTimeOfDay(logs_.front().Date, logs_.back().Date, ticks))
        format += " " + QLocale::system().timeFormat(QLocale::ShortFormat);
    time->setFormat(format);
    value->setMax(std::max(1.0, static_cast<double>(max) / unit.Bytes * 1.05));
    value->applyNiceNumbers();

    for (size_t i = 0; i < series.size(); ++i) {
        auto* line = new QLineSeries();
        line->setName(Q(series[i].Name));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(series[i].Points.size()));
        for (const THistoryPoint& p : series[i].Points)
            points.append({AxisTime(p.Date), static_cast<double>(p.Bytes) / unit.Bytes});
        line->replace(points);
        line->setPointsVisible(series[i].Points.size() <= kMarkedPoints);
        chart->addSeries(line); // takes the theme's colour
        if (i == 0) {           // the total stands out
            QPen pen = line->pen();
            pen.setWidth(3);
            line->setPen(pen);
        }
        line->attachAxis(time);
        line->attachAxis(value);
    }
}

} // namespace vm
