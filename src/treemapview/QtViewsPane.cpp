#include "treemapview/QtViewsPane.h"

#include "platform/QtText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vm {

TViewsPane::TViewsPane(QWidget* parent) : QTabWidget(parent)
{
    setObjectName("ViewsPane");
    setAccessibleName("Treemap and statistics");
    setDocumentMode(true);

    auto* mapPage = new QWidget;
    auto* mapLayout = new QVBoxLayout(mapPage);
    mapLayout->setContentsMargins(0, 2, 0, 0);
    mapLayout->setSpacing(2);
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(4, 0, 4, 0);
    auto* areaLabel = new QLabel("&Area:");
    AreaChoice = Named(new QComboBox, "TreemapAreaChoice");
    AreaChoice->addItems({"Disk space", "Size"});
    AreaChoice->setAccessibleName("Treemap area");
    areaLabel->setBuddy(AreaChoice);
    TreemapHint = Named(new QLabel("Click selects; double-click a directory to zoom in, "
                                   "Backspace to zoom out; arrow keys move"),
                        "TreemapHint");
    TreemapHint->setEnabled(false);
    strip->addWidget(areaLabel);
    strip->addWidget(AreaChoice);
    strip->addSpacing(12);
    strip->addWidget(TreemapHint, 1);
    mapLayout->addLayout(strip);
    Treemap = new TTreemapView;
    mapLayout->addWidget(Treemap, 1);
    addTab(mapPage, "&Treemap");

    Statistics = new TStatisticsView;
    addTab(Statistics, "&Statistics");

    connect(this, &QTabWidget::currentChanged, this, [this] { FillShown(); });
    connect(AreaChoice, &QComboBox::currentIndexChanged, this, [this] {
        treemapStale_ = true;
        FillShown();
    });
}

TTreemapMeasure TViewsPane::Measure() const
{
    return AreaChoice->currentIndex() == 1 ? TTreemapMeasure::Size : TTreemapMeasure::Space;
}

void TViewsPane::Invalidate()
{
    StopAll();
    treemapStale_ = statisticsStale_ = true;
    FillShown();
}

void TViewsPane::StopAll()
{
    Treemap->Stop();
    Statistics->Stop();
}

void TViewsPane::showEvent(QShowEvent* event)
{
    QTabWidget::showEvent(event);
    FillShown();
}

void TViewsPane::FillShown()
{
    if (!isVisible())
        return;
    if (currentWidget() == Statistics) {
        if (statisticsStale_ && FillStatistics) {
            statisticsStale_ = false;
            FillStatistics(*Statistics);
        }
    } else if (treemapStale_ && FillTreemap) {
        treemapStale_ = false;
        FillTreemap(*Treemap, Measure());
    }
}

} // namespace vm
