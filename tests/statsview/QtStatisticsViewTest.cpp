// The statistics view on the offscreen platform over a log and a comparison written by the real
// scan: its tabs and their names, a note where the log records no owners, sorting by a click
// on a header, and a chosen row telling the window which files it stands for.
#include "statsview/QtStatisticsView.h"

#include "support/ScannedSample.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

bool WaitDone(TStatisticsView& view)
{
    QElapsedTimer clock;
    clock.start();
    while (view.Busy() && clock.elapsed() < 10000)
        QApplication::processEvents();
    return !view.Busy();
}

std::vector<std::string> TabNames(const TStatisticsView& view)
{
    std::vector<std::string> names;
    for (int i = 0; i < view.Tables->count(); ++i)
        names.push_back(view.Tables->tabText(i).toStdString());
    return names;
}

void ClickHeader(QTableView* table, int section)
{
    QHeaderView* header = table->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + 5, 5);
    for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                 std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
        QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &event);
    }
}

QString Cell(QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

} // namespace

TEST(StatisticsViewTest, ALogsTablesSortByTheirHeadersAndARowLeadsToItsFiles)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.NewLog, TFileMode::OpenRead);
    TDirStorage log(file);
    TStatisticsView view;
    view.SetLocale(TLocale::Classic());
    view.resize(700, 500);
    view.show();
    int finished = 0;
    QObject::connect(&view, &TStatisticsView::Finished, [&finished] { ++finished; });
    view.ShowLog(log, -1, "Log 2");
    ASSERT_TRUE(WaitDone(view));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(TabNames(view),
              (std::vector<std::string>{"Space by type", "Space by extension", "Last modified",
                                        "Last accessed", "Space by owner", "Largest files",
                                        "Largest directories"}));
    EXPECT_EQ(view.Heading->text().toStdString(),
              "Log 2\n6 files in 3 directories: size 459 KB, space 472 KB");
    // A log of this format records no owners: the tab says so instead of a table.
    EXPECT_EQ(view.TableAt(4), nullptr);
    auto* note = qobject_cast<QLabel*>(view.Tables->widget(4));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "This log does not record owners.");

    QTableView* types = view.TableAt(0);
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->accessibleName(), "Space by type");
    EXPECT_EQ(Cell(types, 0, 0), "Images");
    // The first click on Files sorts most first; a click on Type sorts A to Z.
    ClickHeader(types, 1);
    EXPECT_EQ(Cell(types, 0, 0), "Images"); // three files
    EXPECT_EQ(types->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(types, 0);
    EXPECT_EQ(Cell(types, 0, 0), "Archives");

    // Choosing a row tells which files: the family of its type.
    std::vector<TStatsSelection> chosen;
    QObject::connect(&view, &TStatisticsView::RowChosen,
                     [&chosen](const TStatsSelection& s) { chosen.push_back(s); });
    int documents = -1;
    for (int r = 0; r < types->model()->rowCount(); ++r)
        if (Cell(types, r, 0) == "Documents")
            documents = r;
    ASSERT_GE(documents, 0);
    emit types->activated(types->model()->index(documents, 0));
    ASSERT_EQ(chosen.size(), 1);
    const auto selection = chosen[0];
    EXPECT_EQ(selection.Kind, TStatsSelection::TKind::Family);
    EXPECT_EQ(selection.Family, TFileFamily::Documents);

    // A new directory replaces the tables; the tab chosen stays.
    view.Tables->setCurrentIndex(1);
    view.ShowLog(log, log.FindPath(sample.Tree + "photos"), "photos");
    ASSERT_TRUE(WaitDone(view));
    EXPECT_EQ(view.Tables->currentIndex(), 1);
    EXPECT_EQ(Cell(view.TableAt(1), 0, 0), ".jpg");
    EXPECT_EQ(view.TableAt(1)->model()->rowCount(), 1);
}

TEST(StatisticsViewTest, AComparisonShowsItsChangeTables)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    TStatisticsView view;
    view.SetLocale(TLocale::Classic());
    view.ShowComparison(comparison, -1, "Changes");
    ASSERT_TRUE(WaitDone(view));
    EXPECT_EQ(TabNames(view), (std::vector<std::string>{
                                  "Change by type", "Change by extension", "Change by owner",
                                  "Directories that grew most", "Directories that shrank most",
                                  "Files that grew most"}));
    QTableView* grew = view.TableAt(3);
    ASSERT_NE(grew, nullptr);
    EXPECT_EQ(Cell(grew, 0, 3).toStdString(), sample.Tree + "photos");
    EXPECT_EQ(Cell(grew, 0, 0), "+392 KB");
    std::vector<TStatsSelection> chosen;
    QObject::connect(&view, &TStatisticsView::RowChosen,
                     [&chosen](const TStatsSelection& s) { chosen.push_back(s); });
    emit grew->activated(grew->model()->index(0, 0));
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0].Kind, TStatsSelection::TKind::Entry);
}
