// The treemap view: a log's or a comparison's directory as nested rectangles whose areas are
// their space, read and laid out in time slices between the window's events, with its legend
// below. It selects, zooms and asks for the pop-up by signals; the window that holds it decides
// what they do. A new Show (or Stop) drops the work in hand at once, so a new selection never
// waits for the old map.
#pragma once

#include "platform/Locale.h"
#include "treemap/TreemapWork.h"
#include "treemapview/QtTreemapPaint.h"
#include "treemapview/TreemapSource.h"

#include <QAccessibleInterface>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace vm {

class TTreemapView : public QWidget
{
    Q_OBJECT

public:
    explicit TTreemapView(QWidget* parent = nullptr);
    ~TTreemapView() override;

    // How long each slice of reading and laying out runs before events are handled.
    static inline int StepMilliseconds = 25;

    void SetLocale(const TLocale& locale) { locale_ = locale; }
    // Shows the subtree of the directory at dir (-1: the whole file) of source's file; the work
    // in hand is dropped. The selection stays where its entry is still shown.
    void Show(std::shared_ptr<TTreemapSource> source, int64_t dir);
    // Reads and lays out again (the window's filter, tags or deletion marks changed).
    void Refresh();
    // Drops the work in hand (a new selection, a close: the file may close after this).
    void Stop();
    // Drops the work and the source, and shows nothing.
    void Clear();
    bool Busy() const { return work_ && !work_->Done(); }
    bool HasSource() const { return source_ != nullptr; }
    int64_t RootOffset() const { return root_; }

    // Marks the entry at offset as selected (from the window's tree or list; no signal).
    void Select(int64_t offset);
    int64_t SelectedOffset() const { return selectedOffset_; }
    // The directory that holds the entry in the map (-1 above the top-level paths; -2 when the
    // entry is not in the map).
    int64_t ParentOffset(int64_t offset) const;
    // Where the entry's rectangle lies in the view (empty when it has none).
    QRect RectOf(int64_t offset) const;
    // What the tooltip at a point says ("" where there is no rectangle).
    QString TipAt(const QPoint& pos);
    // What screen readers hear of the selection ("" when nothing is selected).
    QString SelectionText() const { return selectionText_; }
    const TTreemapWork* Work() const { return work_.get(); }
    // The entries whose growth is largest (a comparison), as outlined.
    std::vector<int64_t> OutlinedOffsets() const;
    // The selected rectangle as screen readers see it: a child of the view's accessible
    // interface, made once and kept by the accessibility registry until the view goes.
    QAccessibleInterface* SelectionAccessible();

signals:
    // A rectangle was clicked, or the keyboard moved the selection to it.
    void EntryClicked(qint64 offset);
    // A directory was double-clicked (or Enter pressed on it).
    void ZoomRequested(qint64 offset);
    // Backspace: the window's Up.
    void ZoomOutRequested();
    // The pop-up menu for the entry (right click or the menu key), at a global position.
    void MenuRequested(qint64 offset, const QPoint& globalPos);
    // The map is read and laid out.
    void Finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void RunStep();
    void WorkDone();
    QRect MapArea() const;
    TCellRect Bounds() const;
    TNodeIndex NodeAtPoint(const QPoint& pos) const;
    TNodeIndex SelectedNode() const;
    // Finds the selected offset's rectangle in the finished map.
    void FindSelection();
    // Selects node n; tells the window (EntryClicked) when told is true.
    void SelectNode(TNodeIndex n, bool tell);
    void UpdateSelectionText();
    std::vector<TLegendOutline> Outlines() const;
    void PaintImage();

    std::shared_ptr<TTreemapSource> source_;
    std::unique_ptr<TTreemapWork> work_;
    int64_t root_ = -1;
    int64_t selectedOffset_ = -2; // -2: nothing selected
    TNodeIndex selectedNode_ = 0; // valid while selectedValid_
    bool selectedValid_ = false;
    TNodeIndex hovered_ = 0;
    bool hoveredValid_ = false;
    QTimer stepTimer_;
    QImage image_;
    bool imageStale_ = true;
    QString selectionText_;
    TLocale locale_;
    unsigned selectionAccessible_ = 0; // its id in the accessibility registry; 0: none yet
};

} // namespace vm
