// The treemap view on the offscreen platform over a log and a comparison written by the real
// scan: what it paints where, what clicks, double clicks, keys and the pop-up tell the window,
// what screen readers are told of the selection, and a new selection dropping the work in hand.
#include "treemapview/QtTreemapView.h"

#include "statistics/FileFamily.h"
#include "support/ScannedSample.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;

namespace {

bool WaitDone(TTreemapView& view)
{
    QElapsedTimer clock;
    clock.start();
    while ((view.Busy() || !view.Work()) && clock.elapsed() < 10000)
        QApplication::processEvents();
    return view.Work() && view.Work()->Done();
}

int64_t OffsetNamed(TTreemapSource& source, const TTreemapWork& work, const std::string& name)
{
    for (TNodeIndex n = 0; n < work.Tree().Count(); ++n)
        if (source.NameOf(work.Tree().Offset(n)) == name)
            return work.Tree().Offset(n);
    ADD_FAILURE() << name << " is not in the map";
    return -2;
}

// Every value a signal sent, in order.
template <class... Args> struct Recorder
{
    std::vector<std::tuple<Args...>> Calls;
    template <class Sender, class Signal> Recorder(Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, [this](Args... args) { Calls.emplace_back(args...); });
    }
    size_t count() const { return Calls.size(); }
};

void Mouse(QWidget* w, QEvent::Type type, const QPoint& at)
{
    QMouseEvent press(type, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void Click(QWidget* w, const QPoint& at)
{
    Mouse(w, QEvent::MouseButtonPress, at);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void DoubleClick(QWidget* w, const QPoint& at)
{
    Click(w, at);
    Mouse(w, QEvent::MouseButtonDblClick, at);
}

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

class TreemapViewTest : public testing::Test
{
protected:
    TreemapViewTest()
        : sample_(WriteScannedSample(dir_)), logFile_(sample_.NewLog, TFileMode::OpenRead),
          log_(logFile_), source_(std::make_shared<TLogTreemapSource>(log_, "Log 2"))
    {
        view_.resize(640, 480);
        view_.show();
    }
    TempDir dir_;
    ScannedSample sample_;
    TFileStream logFile_;
    TDirStorage log_;
    std::shared_ptr<TLogTreemapSource> source_;
    TTreemapView view_;
};

} // namespace

TEST_F(TreemapViewTest, PaintsFilesInTheirFamilysColourAndTellsWhatWasClicked)
{
    view_.Show(source_, -1);
    ASSERT_TRUE(WaitDone(view_));
    const int64_t jpg = OffsetNamed(*source_, *view_.Work(), "c.jpg");
    const int64_t pdf = OffsetNamed(*source_, *view_.Work(), "report.pdf");
    const QRect jpgRect = view_.RectOf(jpg), pdfRect = view_.RectOf(pdf);
    ASSERT_FALSE(jpgRect.isEmpty());
    ASSERT_FALSE(pdfRect.isEmpty());
    // Areas stand for space: c.jpg takes 98 units, report.pdf 13.
    const double ratio = double(jpgRect.width() * jpgRect.height()) /
                         double(pdfRect.width() * pdfRect.height());
    EXPECT_NEAR(ratio, 98.0 / 13.0, 0.5);
    EXPECT_TRUE(QRect(QPoint(0, 0), view_.size()).contains(jpgRect));

    const QImage shot = view_.grab().toImage();
    EXPECT_EQ(shot.pixelColor(jpgRect.center()),
              QColorOf(FamilyColour(TFileFamily::Images)));
    EXPECT_EQ(shot.pixelColor(pdfRect.center()),
              QColorOf(FamilyColour(TFileFamily::Documents)));

    Recorder<qint64> clicked(&view_, &TTreemapView::EntryClicked);
    Recorder<qint64> zoom(&view_, &TTreemapView::ZoomRequested);
    Click(&view_, pdfRect.center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(std::get<0>(clicked.Calls[0]), pdf);
    EXPECT_EQ(view_.SelectedOffset(), pdf);
    // A double click on a file zooms nowhere; on a directory's name band it zooms into it.
    DoubleClick(&view_, pdfRect.center());
    EXPECT_EQ(zoom.count(), 0);
    const int64_t docs = OffsetNamed(*source_, *view_.Work(), "docs");
    const QRect docsRect = view_.RectOf(docs);
    DoubleClick(&view_, docsRect.topLeft() + QPoint(3, 3));
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(std::get<0>(zoom.Calls[0]), docs);

    // The tooltip names the path and the share of its directory.
    const QString tip = view_.TipAt(jpgRect.center());
    EXPECT_TRUE(tip.startsWith(QString::fromStdString(sample_.Tree + "photos/c.jpg\n")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains("% of photos"));
    EXPECT_EQ(view_.TipAt(QPoint(1, view_.height() - 2)), ""); // the legend
}

TEST_F(TreemapViewTest, KeysMoveTheSelectionAndScreenReadersAreToldWhatIsSelected)
{
    view_.Show(source_, -1);
    ASSERT_TRUE(WaitDone(view_));
    view_.setFocus();
    Recorder<qint64> clicked(&view_, &TTreemapView::EntryClicked);
    Recorder<qint64> zoom(&view_, &TTreemapView::ZoomRequested);
    Recorder<> up(&view_, &TTreemapView::ZoomOutRequested);
    Recorder<qint64, QPoint> menu(&view_, &TTreemapView::MenuRequested);
    Key(&view_, Qt::Key_Down); // the top-level path
    Key(&view_, Qt::Key_Down); // its largest entry, photos/
    ASSERT_EQ(clicked.count(), 2);
    const int64_t photos = OffsetNamed(*source_, *view_.Work(), "photos");
    EXPECT_EQ(view_.SelectedOffset(), photos);
    EXPECT_TRUE(view_.SelectionText().startsWith("photos, directory, space "));
    EXPECT_TRUE(view_.SelectionText().endsWith(QString::fromStdString(" of " + sample_.Tree)));

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view_);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), "Treemap");
    EXPECT_TRUE(iface->text(QAccessible::Description).startsWith("Colours: Archives"));
    ASSERT_EQ(iface->childCount(), 1);
    QAccessibleInterface* item = iface->child(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), view_.SelectionText());
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_TRUE(item->state().selected);
    EXPECT_EQ(iface->indexOfChild(item), 0);
    EXPECT_EQ(item->rect().size(), view_.RectOf(photos).size());

    Key(&view_, Qt::Key_Return);
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(std::get<0>(zoom.Calls[0]), photos);
    Key(&view_, Qt::Key_Left);
    EXPECT_EQ(view_.SelectedOffset(), OffsetNamed(*source_, *view_.Work(), "docs"));
    Key(&view_, Qt::Key_Backspace);
    EXPECT_EQ(up.count(), 1);
    QContextMenuEvent keyMenu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(&view_, &keyMenu);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(std::get<0>(menu.Calls[0]), view_.SelectedOffset());
}

TEST_F(TreemapViewTest, ANewSelectionDropsTheMapInHandAndASubtreeFillsTheView)
{
    TTreemapView::StepMilliseconds = 0; // one step at a time, so that the first map is unfinished
    Recorder<> finished(&view_, &TTreemapView::Finished);
    view_.Show(source_, -1);
    QApplication::processEvents();
    const int64_t docs = [&] {
        TFileStream file(sample_.NewLog, TFileMode::OpenRead);
        TDirStorage log(file);
        return static_cast<int64_t>(log.FindPath(sample_.Tree + "docs"));
    }();
    ASSERT_GE(docs, 0);
    view_.Select(docs);
    view_.Show(source_, docs);
    ASSERT_TRUE(WaitDone(view_));
    TTreemapView::StepMilliseconds = 25;
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(view_.RootOffset(), docs);
    // docs/ now holds report.pdf alone: it fills the map, the legend below.
    const int64_t pdf = OffsetNamed(*source_, *view_.Work(), "report.pdf");
    const QRect map = view_.RectOf(docs);
    EXPECT_EQ(map.topLeft(), QPoint(0, 0));
    EXPECT_EQ(map.width(), view_.width());
    EXPECT_GT(map.height(), view_.height() / 2);
    EXPECT_LT(map.height(), view_.height());
    EXPECT_EQ(view_.RectOf(pdf), map);
    EXPECT_EQ(view_.SelectionText(), ""); // the root itself is not a selection

    // A new size lays the map out again without reading.
    view_.resize(300, 200);
    ASSERT_TRUE(WaitDone(view_));
    EXPECT_EQ(view_.RectOf(docs).width(), 300);
}

TEST(TreemapComparisonViewTest, TheLargestGrowthIsOutlinedAndColoursAreChanges)
{
    TempDir dir;
    const ScannedSample sample = WriteScannedSample(dir);
    TFileStream file(sample.Comparison, TFileMode::OpenRead);
    TDirCompare comparison(file);
    auto source = std::make_shared<TComparisonTreemapSource>(comparison, "Changes");
    TTreemapView view;
    view.resize(640, 480);
    view.show();
    view.Show(source, -1);
    ASSERT_TRUE(WaitDone(view));
    const int64_t grown = OffsetNamed(*source, *view.Work(), "c.jpg");
    const int64_t shrunk = OffsetNamed(*source, *view.Work(), "big.tar");
    ASSERT_FALSE(view.OutlinedOffsets().empty());
    EXPECT_EQ(view.OutlinedOffsets().front(), grown);
    const QImage shot = view.grab().toImage();
    const QRect g = view.RectOf(grown), s = view.RectOf(shrunk);
    // The outline in its own colour round the growth, the change colours inside.
    EXPECT_EQ(shot.pixelColor(g.left() + 2, g.center().y()), QColor(0xFF, 0xD7, 0x00));
    EXPECT_EQ(shot.pixelColor(g.center()), QColorOf(ChangeColour(TChangeClass::AllNew)));
    EXPECT_EQ(shot.pixelColor(s.center()), QColorOf(ChangeColour(TChangeClass::ShrankMost)));
    EXPECT_TRUE(view.TipAt(g.center()).contains("All new"));
}
