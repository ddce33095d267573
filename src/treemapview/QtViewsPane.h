// The pane a list window shows its treemap and statistics in, below its list: two tabs, and the
// choice of what the treemap's areas stand for. The pane asks the window to fill a view only
// when the view shows and is out of date, so that a window whose pane is hidden (or shows the
// other tab) reads nothing for it.
#pragma once

#include "statsview/QtStatisticsView.h"
#include "treemap/TreemapTrees.h"
#include "treemapview/QtTreemapView.h"

#include <QTabWidget>

#include <functional>

class QComboBox;
class QLabel;

namespace vm {

class TViewsPane : public QTabWidget
{
    Q_OBJECT

public:
    explicit TViewsPane(QWidget* parent = nullptr);

    // What fills each view, for the window's selected directory, filter and tags.
    std::function<void(TTreemapView& view, TTreemapMeasure measure)> FillTreemap;
    std::function<void(TStatisticsView& view)> FillStatistics;

    // The window's selection, filter, tags or file changed: the view shown is filled again now,
    // the other when it shows.
    void Invalidate();
    // Stops both views' work (a close, a file action that needs the file).
    void StopAll();
    TTreemapMeasure Measure() const;

    TTreemapView* Treemap;
    TStatisticsView* Statistics;
    QComboBox* AreaChoice;  // "Disk space" or "Size"
    QLabel* TreemapHint;    // what the mouse and keys do

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillShown();
    bool treemapStale_ = true, statisticsStale_ = true;
};

} // namespace vm
