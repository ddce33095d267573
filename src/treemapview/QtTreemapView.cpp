#include "treemapview/QtTreemapView.h"

#include "listwindow/QtListWindowPanels.h"
#include "platform/QtText.h"
#include "treemapview/TreemapNavigation.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

namespace vm {

namespace {

constexpr size_t kStepEntries = 4096;
const QColor kSelection(Qt::black);
const QColor kSelectionInner(Qt::white);
// The largest growth: a colour none of the change scale comes near.
const QColor kLargestGrowth(0xFF, 0xD7, 0x00);

// The selected rectangle, for screen readers: a list item named by the selection's text.
class TTreemapItemAccessible : public QAccessibleInterface
{
public:
    explicit TTreemapItemAccessible(TTreemapView* view) : view_(view) {}
    bool isValid() const override { return view_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return view_ && t == QAccessible::Name ? view_->SelectionText() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect r = view_->RectOf(view_->SelectedOffset());
        return QRect(view_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = s.focusable = true;
        s.selected = view_ && !view_->SelectionText().isEmpty();
        s.focused = view_ && view_->hasFocus();
        return s;
    }

private:
    QPointer<TTreemapView> view_;
};

// The view as a list whose one child is the selected rectangle.
class TTreemapAccessible : public QAccessibleWidget
{
public:
    explicit TTreemapAccessible(TTreemapView* view) : QAccessibleWidget(view, QAccessible::List)
    {
    }
    TTreemapView* View() const { return static_cast<TTreemapView*>(widget()); }
    int childCount() const override { return View()->SelectionText().isEmpty() ? 0 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && childCount() == 1 ? View()->SelectionAccessible() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        return c && c == View()->SelectionAccessible() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* item = child(0);
        return item && item->rect().contains(x, y) ? item : nullptr;
    }
};

QAccessibleInterface* TreemapAccessibleFactory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<TTreemapView*>(object))
        return new TTreemapAccessible(view);
    return nullptr;
}

void Notify(TTreemapView* view, QAccessible::Event type)
{
    QAccessibleEvent event(view, type);
    event.setChild(0);
    QAccessible::updateAccessibility(&event);
}

} // namespace

TTreemapView::TTreemapView(QWidget* parent) : QWidget(parent), locale_(TLocale::FromEnvironment())
{
    static const bool factory = (QAccessible::installFactory(TreemapAccessibleFactory), true);
    (void)factory;
    setObjectName("TreemapView");
    setAccessibleName("Treemap");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 90);
    stepTimer_.setSingleShot(true);
    stepTimer_.setInterval(0);
    connect(&stepTimer_, &QTimer::timeout, this, &TTreemapView::RunStep);
}

TTreemapView::~TTreemapView()
{
    stepTimer_.stop();
    work_.reset();
    if (selectionAccessible_)
        QAccessible::deleteAccessibleInterface(selectionAccessible_);
}

QAccessibleInterface* TTreemapView::SelectionAccessible()
{
    if (!selectionAccessible_)
        selectionAccessible_ =
            QAccessible::registerAccessibleInterface(new TTreemapItemAccessible(this));
    return QAccessible::accessibleInterface(selectionAccessible_);
}

void TTreemapView::Show(std::shared_ptr<TTreemapSource> source, int64_t dir)
{
    Stop();
    source_ = std::move(source);
    root_ = dir;
    if (!source_)
        return;
    setAccessibleDescription(Q(TreemapLegendText(source_->Legend())));
    work_ = source_->MakeWork(root_, Bounds(), TreemapFrameMetrics(font()));
    imageStale_ = true;
    update();
    stepTimer_.start();
}

void TTreemapView::Refresh()
{
    if (source_)
        Show(source_, root_);
}

void TTreemapView::Stop()
{
    stepTimer_.stop();
    work_.reset();
    selectedValid_ = hoveredValid_ = false;
    imageStale_ = true;
    update();
}

void TTreemapView::Clear()
{
    Stop();
    source_.reset();
    root_ = -1;
    selectedOffset_ = -2;
    UpdateSelectionText();
}

void TTreemapView::RunStep()
{
    if (!work_)
        return;
    const bool more = StepFor(
        StepMilliseconds, [this] { return work_->Step(kStepEntries); }, [] { return false; });
    imageStale_ = true;
    update();
    if (more)
        stepTimer_.start();
    else
        WorkDone();
}

void TTreemapView::WorkDone()
{
    // The selection follows its entry into the new map.
    FindSelection();
    UpdateSelectionText();
    update();
    emit Finished();
}

void TTreemapView::FindSelection()
{
    // The map's root is the whole map, not a selection within it.
    selectedValid_ = false;
    if (selectedOffset_ == -2 || selectedOffset_ == root_)
        return;
    const TNodeIndex n = work_->Tree().FindOffset(selectedOffset_);
    if (n < work_->Tree().Count() && !work_->Layout()->Rect(n).Empty()) {
        selectedNode_ = n;
        selectedValid_ = true;
    }
}

QRect TTreemapView::MapArea() const
{
    const std::vector<TLegendItem> legend = source_ ? source_->Legend() : std::vector<TLegendItem>();
    const int legendHeight = source_ ? LegendHeight(width(), legend, Outlines(), font()) : 0;
    return QRect(0, 0, width(), std::max(1, height() - legendHeight));
}

TCellRect TTreemapView::Bounds() const
{
    const QRect area = MapArea();
    auto clamp = [](int v) { return static_cast<int16_t>(std::clamp(v, 0, 32767)); };
    return TCellRect{0, 0, clamp(area.width()), clamp(area.height())};
}

void TTreemapView::resizeEvent(QResizeEvent*)
{
    if (!work_)
        return;
    work_->Resize(Bounds());
    imageStale_ = true;
    stepTimer_.start();
}

std::vector<TLegendOutline> TTreemapView::Outlines() const
{
    if (source_ && source_->Comparison())
        return {{kLargestGrowth, QStringLiteral("Largest growth")}};
    return {};
}

std::vector<int64_t> TTreemapView::OutlinedOffsets() const
{
    std::vector<int64_t> offsets;
    if (work_ && work_->Done())
        for (TNodeIndex n : work_->LargestGrowth())
            offsets.push_back(work_->Tree().Offset(n));
    return offsets;
}

void TTreemapView::PaintImage()
{
    const qreal ratio = devicePixelRatioF();
    if (image_.size() != size() * ratio)
        image_ = QImage(size() * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(palette().color(QPalette::Window));
    QPainter painter(&image_);
    if (work_)
        PaintTreemap(painter, *work_, *source_, font());
    if (source_)
        PaintLegend(&painter, QRect(0, MapArea().bottom() + 1, width(), height()),
                    source_->Legend(), Outlines(), font());
    imageStale_ = false;
}

void TTreemapView::paintEvent(QPaintEvent*)
{
    if (imageStale_ || image_.size() != size() * devicePixelRatioF())
        PaintImage();
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    const QRect area = MapArea();
    if (!work_ || !work_->Layout()) {
        QString text;
        if (work_)
            text = QStringLiteral("Reading %1 entries...").arg(work_->Tree().Count());
        else if (!source_)
            text = QStringLiteral("Select a directory to see its treemap.");
        painter.fillRect(area, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter, text);
        return;
    }
    if (!work_->Damage().empty()) {
        painter.setPen(Qt::red);
        painter.drawText(area.adjusted(4, 4, -4, -4), Qt::AlignBottom | Qt::AlignLeft,
                         Q("The file is damaged: " + work_->Damage()));
    }
    const TTreemapLayout& layout = *work_->Layout();
    painter.setBrush(Qt::NoBrush);
    if (work_->Done()) {
        // The largest growth stands out without a click: a thick outline in a colour the change
        // scale does not use, with its rank.
        int rank = 0;
        for (TNodeIndex n : work_->LargestGrowth()) {
            ++rank;
            const QRect r = QRectOf(layout.Rect(n));
            if (r.isEmpty())
                continue;
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
            painter.setPen(QPen(kLargestGrowth, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.drawRect(r.adjusted(2, 2, -2, -2));
            if (r.width() > 24 && r.height() > 18) {
                const QString number = QString::number(rank);
                // At the top right: nested marks (a directory and its entry) keep their corners
                // apart there, as the name bands push the entries' rectangles down.
                const int w = fontMetrics().horizontalAdvance(number) + 6;
                const QRect badge(r.right() - w - 2, r.top() + 3, w, fontMetrics().height());
                painter.fillRect(badge, kLargestGrowth);
                painter.setPen(Qt::black);
                painter.drawText(badge, Qt::AlignCenter, number);
            }
        }
    }
    if (hoveredValid_ && hovered_ < work_->Tree().Count()) {
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(QRectOf(layout.Rect(hovered_)).adjusted(0, 0, -1, -1));
    }
    if (selectedValid_) {
        // Black round white, so that it shows on every colour of the map and on either size of
        // rectangle; dotted inside while the map has the keyboard.
        const QRect r = QRectOf(layout.Rect(selectedNode_));
        painter.setPen(QPen(kSelection, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(r.adjusted(1, 1, -2, -2));
        painter.setPen(QPen(kSelectionInner, 2, hasFocus() ? Qt::DotLine : Qt::SolidLine,
                            Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(r.adjusted(3, 3, -4, -4));
    } else if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
    }
}

TNodeIndex TTreemapView::NodeAtPoint(const QPoint& pos) const
{
    if (!work_ || !work_->Layout() || !MapArea().contains(pos))
        return work_ ? work_->Tree().Count() : 0;
    return work_->Layout()->NodeAt(pos.x(), pos.y());
}

QRect TTreemapView::RectOf(int64_t offset) const
{
    if (!work_ || !work_->Layout())
        return {};
    const TNodeIndex n = work_->Tree().FindOffset(offset);
    return n < work_->Tree().Count() ? QRectOf(work_->Layout()->Rect(n)) : QRect();
}

int64_t TTreemapView::ParentOffset(int64_t offset) const
{
    if (!work_ || !work_->TreeRead())
        return -2;
    const TSizeTree& tree = work_->Tree();
    const TNodeIndex n = tree.FindOffset(offset);
    if (n >= tree.Count() || n == 0)
        return -2;
    return tree.Offset(tree.ParentOf(n));
}

namespace {

// The share of its directory a node takes, and the directory's name ("" for the root).
std::pair<double, std::string> ShareOf(const TTreemapWork& work, TTreemapSource& source,
                                       TNodeIndex n)
{
    const TSizeTree& tree = work.Tree();
    if (n == work.Layout()->Root())
        return {1.0, {}};
    const TNodeIndex parent = tree.ParentOf(n);
    const int64_t whole = tree.Weight(parent);
    return {whole > 0 ? double(tree.Weight(n)) / double(whole) : 0.0,
            source.NameOf(tree.Offset(parent))};
}

} // namespace

QString TTreemapView::TipAt(const QPoint& pos)
{
    const TNodeIndex n = NodeAtPoint(pos);
    if (!work_ || n >= work_->Tree().Count())
        return {};
    TTreemapEntry entry;
    if (!source_->ReadEntry(work_->Tree().Offset(n), entry))
        return {};
    const auto [share, parent] = ShareOf(*work_, *source_, n);
    return Q(TreemapTipText(entry, share, parent, locale_));
}

void TTreemapView::UpdateSelectionText()
{
    QString text;
    if (work_ && selectedValid_) {
        TTreemapEntry entry;
        if (source_->ReadEntry(work_->Tree().Offset(selectedNode_), entry)) {
            const auto [share, parent] = ShareOf(*work_, *source_, selectedNode_);
            text = Q(TreemapSelectionText(entry, share, parent, locale_));
        }
    }
    if (text == selectionText_)
        return;
    selectionText_ = text;
    if (text.isEmpty())
        return;
    Notify(this, QAccessible::NameChanged);
    Notify(this, QAccessible::Selection);
    if (hasFocus())
        Notify(this, QAccessible::Focus);
}

void TTreemapView::Select(int64_t offset)
{
    selectedOffset_ = offset;
    selectedValid_ = false;
    if (work_ && work_->Done())
        FindSelection();
    UpdateSelectionText();
    update();
}

TNodeIndex TTreemapView::SelectedNode() const
{
    return selectedValid_ ? selectedNode_ : (work_ ? work_->Tree().Count() : 0);
}

void TTreemapView::SelectNode(TNodeIndex n, bool tell)
{
    if (!work_ || n >= work_->Tree().Count())
        return;
    selectedNode_ = n;
    selectedValid_ = true;
    selectedOffset_ = work_->Tree().Offset(n);
    UpdateSelectionText();
    update();
    if (tell)
        emit EntryClicked(selectedOffset_);
}

bool TTreemapView::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString tip = TipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

void TTreemapView::mouseMoveEvent(QMouseEvent* e)
{
    const TNodeIndex n = NodeAtPoint(e->position().toPoint());
    const bool valid = work_ && n < work_->Tree().Count();
    if (valid != hoveredValid_ || n != hovered_) {
        hovered_ = n;
        hoveredValid_ = valid;
        update();
    }
}

void TTreemapView::leaveEvent(QEvent*)
{
    if (hoveredValid_) {
        hoveredValid_ = false;
        update();
    }
}

void TTreemapView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    SelectNode(NodeAtPoint(e->position().toPoint()), true);
}

void TTreemapView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !work_)
        return;
    const TNodeIndex n = NodeAtPoint(e->position().toPoint());
    if (n < work_->Tree().Count() && n != work_->Layout()->Root() && work_->Tree().IsDirectory(n))
        emit ZoomRequested(work_->Tree().Offset(n));
}

void TTreemapView::contextMenuEvent(QContextMenuEvent* e)
{
    if (!work_)
        return;
    QPoint at = e->globalPos();
    if (e->reason() == QContextMenuEvent::Mouse)
        SelectNode(NodeAtPoint(e->pos()), true);
    else if (selectedValid_)
        at = mapToGlobal(QRectOf(work_->Layout()->Rect(selectedNode_)).center());
    if (selectedValid_)
        emit MenuRequested(selectedOffset_, at);
}

void TTreemapView::keyPressEvent(QKeyEvent* e)
{
    if (!work_ || !work_->Layout() || !work_->Done()) {
        QWidget::keyPressEvent(e);
        return;
    }
    const TSizeTree& tree = work_->Tree();
    const TNodeIndex from = SelectedNode();
    auto move = [&](TTreemapMove m) {
        const TNodeIndex to = TreemapMove(tree, *work_->Layout(), from, m);
        if (to != from)
            SelectNode(to, true);
    };
    switch (e->key()) {
    case Qt::Key_Left:
        move(TTreemapMove::Previous);
        return;
    case Qt::Key_Right:
        move(TTreemapMove::Next);
        return;
    case Qt::Key_Up:
        move(TTreemapMove::Out);
        return;
    case Qt::Key_Down:
        move(TTreemapMove::In);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectedValid_ && tree.IsDirectory(selectedNode_))
            emit ZoomRequested(selectedOffset_);
        return;
    case Qt::Key_Backspace:
        emit ZoomOutRequested();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void TTreemapView::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (!selectionText_.isEmpty())
        Notify(this, QAccessible::Focus);
    update();
}

void TTreemapView::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    update();
}

} // namespace vm
