// The main window: the MDI frame that holds the reference manager and the explore and compare
// windows, with its menus, the shared image lists and icon cache, and the services the child
// windows call (opening logs and comparisons, unique captions, closing children). The list
// windows see it only through the seam it implements (listwindow/ChildFrame.h).
#pragma once

#include "display/QtDisplayHelpers.h"
#include "display/QtIconCache.h"
#include "display/QtImageLists.h"
#include "listwindow/ChildFrame.h"
#include "listwindow/QtMdiChild.h"
#include "references/AppContext.h"
#include "references/FilePlace.h"
#include "references/RefStore.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QMdiArea;
class QMdiSubWindow;

namespace vm {

class TStream;
class THelpForm;
class TAboutForm;
class TToolsOptionsForm;
class TVolumeInfoForm;
class TScheduleForm;
class TScheduler;
class TTagSettingsForm;
class TPrintForm;
class TEmailForm;
class TFileOperationDialogs;

class TMDIParent : public QMainWindow, public TChildFrame
{
    Q_OBJECT
public:
    // context outlives the window; context.UI must be set (messages of the frame go there).
    explicit TMDIParent(TAppContext& context, QWidget* parent = nullptr);
    ~TMDIParent() override;

    TAppContext& Context() { return context_; }

    // The shared image lists and the icon cache, for the child windows.
    TImageList TreeViewImageList, SmallImageList, StateImageList, TagImageList;
    TFileTypes& FileTypes() override { return fileTypes_; }
    TIconCache& IconCache() override { return iconCache_; }
    // The icon cache lookup: the cached image, or SmallImageList.Count() when not cached.
    int GetImageIndex(const std::string& extension) const;

    // Child windows. AddChild wraps the widget in a sub-window that the frame owns and deletes
    // when it closes, shows it and makes it active; a child that implements TMdiChildMenus gets
    // its menus merged while active.
    QMdiSubWindow* AddChild(QWidget* child);
    // The children's widgets in the order they were added.
    QList<QWidget*> Children() const;
    QWidget* ActiveChild() const;
    QMdiArea* MdiArea;

    // True when a child other than the one added last has exactly this caption: a new window
    // calls it to make its caption unique without finding itself.
    bool CaptionExists(const QString& caption) const override;
    // Closes every child whose object name is not "RefManager", from the last to the first.
    void CloseAllButRefMan() override;
    void MinimiseAll();

    // Opens log logNumber of the reference in a new explore window, and makes the application
    // title "Volumark " and its caption.
    void DisplayLog(int reference, int logNumber);
    // Opens the comparison of logs firstLog (the older) and secondLog of the reference in a new
    // compare window, and makes the application title "Volumark " and its caption.
    void DisplayComp(int reference, int firstLog, int secondLog);
    // Opens a log or a comparison named on the command line: in its reference (DisplayLog,
    // DisplayComp) when place.InReference(), read only in a window over the file otherwise.
    void OpenFile(const TFilePlace& place);
    // Shows a log held in memory (the folder mode) in an explore window that keeps the stream
    // and cannot be closed, then enters the restricted state.
    void DisplayStreamLog(std::unique_ptr<TStream> stream);
    // The restricted state of the folder mode, until the program ends: "&Network share list
    // ...", "&Scheduler ..." and the "&Window" menu disabled, the "RefManager" child disabled
    // with its "Create &reference ..." items. A reference manager that sets its own items'
    // states keeps "Create &reference ..." off while InFolderMode(), or on FolderModeEntered.
    void EnterFolderMode();
    bool InFolderMode() const { return folderMode_; }

    // Rebuilds the menu bar from the frame's menus and the active child's, then the enabled
    // states. Called on every activation; children call it when their menus change.
    void UpdateMenus();
    // Sets every enabled state of the frame's items from the frame's state (one place).
    void UpdateActions();

    void ShowHelpContext(int context) override;
    void ShowHelpContents();
    THelpForm& Help();
    TToolsOptionsForm& Options() { return *options_; }
    // The share list window: made at start-up when the program has no arguments (else when
    // first shown) and hidden until shown.
    TVolumeInfoForm& VolumeInfo();
    // The scheduler dialog; null when no scheduler is available.
    TScheduleForm* Schedule() { return schedule_; }
    TAboutForm& About() { return *about_; }
    // "Define user tags", one dialog for every window.
    TTagSettingsForm& TagSettings() override { return *tagSettings_; }
    // "Print options" and "Email": one dialog each for every list window.
    TPrintForm& PrintForm() override { return *printForm_; }
    TEmailForm& EmailForm() override { return *emailForm_; }
    // The dialogs of deleting and copying listed files, one set for every window (made when
    // first asked for).
    TFileOperationDialogs& FileOperations() override;

    // The rest of what the child windows need of the frame.
    TUserInterface& UI() override { return *context_.UI; }
    // The data directory's reference store (made anew when the data directory changes).
    const TRefStore& RefStore() const override;
    TDisplayFlags Display() const override { return context_.Display; }
    const bool& ConfirmDeletions() const override { return context_.ConfirmDeletions; }
    const TImageList& TreeImages() const override { return TreeViewImageList; }
    const TImageList& SmallImages() const override { return SmallImageList; }
    const TImageList& StateImages() const override { return StateImageList; }
    const TImageList& TagImages() const override { return TagImageList; }
    void CaptionChanged(const QString& old, const QString& caption) override;
    QMenuBar* MenuBar() override { return menuBar(); }
    void Exit() override { close(); }

    // The frame's menus and items.
    QMenu *FileMenu, *ToolsMenu, *WindowMenu, *HelpMenu;
    QAction *Close1, *CloseAll1, *Exit1;
    QAction *Options1, *NetworkShareList1, *NTScheduler1, *ConfirmDeletions1;
    QAction *Cascade1, *TileVertical1, *TileHorizontal1, *ArrangeIcons1;
    QAction *HelpContents1, *About1;

    // Menu handlers.
    void Close1Click();
    void Options1Click();
    void NetworkShareList1Click();
    void NTScheduler1Click();
    void ConfirmDeletions1Click();
    void TileVertical1Click();
    void TileHorizontal1Click();
    void ArrangeIcons1Click();
    void About1Click();

signals:
    void FolderModeEntered();

protected:
    // Closing the frame ends the program, whatever other top-level windows are open.
    void closeEvent(QCloseEvent* event) override;

private:
    // The reference manager is never closed or tiled with the other children.
    static bool IsRefManager(const QWidget* child);
    void CreateActions();
    void CreateMenus();
    void RebuildWindowMenu();
    QList<QMdiSubWindow*> Tileable() const;
    // Side by side (columns) or one above the other (rows), sharing the area equally.
    void Tile(bool sideBySide);

    TAppContext& context_;
    TFileTypes fileTypes_;
    TIconCache iconCache_;
    QList<TGroupedMenu> frameMenus_;
    bool schedulerSupported_ = false;
    bool folderMode_ = false;
    std::unique_ptr<THelpForm> help_;
    TToolsOptionsForm* options_;
    TAboutForm* about_;
    TPrintForm* printForm_;
    TEmailForm* emailForm_;
    TVolumeInfoForm* volumeInfo_ = nullptr;
    std::unique_ptr<TScheduler> scheduler_;
    TScheduleForm* schedule_ = nullptr;
    TTagSettingsForm* tagSettings_;
    std::unique_ptr<TFileOperationDialogs> fileOperations_;
    mutable std::optional<TRefStore> refStore_;
};

// True when the scheduler can hold jobs on this computer: a crontab command is on the PATH, or
// the crontab is a file named by VOLUMARK_CRONTAB.
bool SchedulerSupported();

} // namespace vm
