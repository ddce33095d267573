// The pictures of the explore and compare windows' toolbars, drawn by the program, and their busy
// indicator: what a window shows over the list while a long fill runs.
#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

class QTimer;

namespace vm {

// Indexes of the toolbar images (15 to 17 are the compare window's own).
namespace toolimg {
constexpr int StandardView = 1, FoldersView = 2, AllFilesView = 3, Up = 4, FileFilter = 5,
              FilterOff = 6, FilterOn = 7, TagFilter = 8, Tags = 9, Delete = 10, Email = 11,
              Copy = 12, Print = 13, Stop = 14, ShowArrows = 15, ShowTags = 16, CompareFilter = 17;
}
QIcon ToolbarImage(int index);

// A spinning ring around a folder or a page, shown centred over the list while a fill that
// takes more than a moment runs.
class TBusyIndicator : public QWidget
{
    Q_OBJECT
public:
    // showsFiles, asked when a delayed start comes due: the page rather than the folder.
    explicit TBusyIndicator(QWidget* parent = nullptr, std::function<bool()> showsFiles = {});
    // Shows the indicator centred on its parent and starts it; files: the page rather than the
    // folder (the all files view).
    void Start(bool files);
    // Starts it once the work has run for a moment (1.5 seconds), unless it ends before.
    void StartSoon();
    // Cancels a start still waiting; a shown indicator stays.
    void CancelStart();
    // Hides it, and cancels a start still waiting.
    void Stop();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    QTimer* delay_;
    std::function<bool()> showsFiles_;
    int angle_ = 0;
    bool files_ = false;
};

} // namespace vm
