// The seam between the main window and the windows it holds: exactly what a child window needs
// of the frame, and nothing of how the frame keeps it. The frame implements it; the explore and
// compare windows take it (and are handed the file they open), so that none of them reaches into
// the frame's state, works out a path of its own, or needs the real frame in a test.
//
// Everything it hands out lives as long as the frame, which outlives its children.
#pragma once

#include "references/Options.h"

class QMenuBar;
class QString;

namespace vm {

class TEmailForm;
class TFileOperationDialogs;
class TFileTypes;
class TIconCache;
class TImageList;
class TPrintForm;
class TRefStore;
class TTagSettingsForm;
class TUserInterface;

class TChildFrame
{
public:
    virtual ~TChildFrame() = default;

    // Where messages and questions go.
    virtual TUserInterface& UI() = 0;
    // The references of the data directory: names, the units of their paths, the filter file.
    virtual const TRefStore& RefStore() const = 0;
    // "Show File &Extensions" and "Show File &Icons " as the options stand now.
    virtual TDisplayFlags Display() const = 0;
    // The check mark of "Confirm &deletions", read before each file a deletion reaches (the
    // deletion's own question may take it off meanwhile).
    virtual const bool& ConfirmDeletions() const = 0;

    // The shared pictures: tree nodes, list rows (growing with the file icons the cache
    // fetches), comparison states and tags; the file-type texts and the file-icon cache.
    virtual const TImageList& TreeImages() const = 0;
    virtual const TImageList& SmallImages() const = 0;
    virtual const TImageList& StateImages() const = 0;
    virtual const TImageList& TagImages() const = 0;
    virtual TFileTypes& FileTypes() = 0;
    virtual TIconCache& IconCache() = 0;

    // The dialogs the windows share, one of each for the whole program: "Print options",
    // "Email", "Define user tags", and those of deleting and copying listed files.
    virtual TPrintForm& PrintForm() = 0;
    virtual TEmailForm& EmailForm() = 0;
    virtual TTagSettingsForm& TagSettings() = 0;
    virtual TFileOperationDialogs& FileOperations() = 0;

    virtual void ShowHelpContext(int context) = 0;
    // True when a window other than the one opened last already has exactly this caption.
    virtual bool CaptionExists(const QString& caption) const = 0;
    // A window's caption changed: the program's title follows it when it named that window.
    virtual void CaptionChanged(const QString& old, const QString& caption) = 0;
    // The menu bar the active window's menus merge into: a running file operation turns its
    // items off too.
    virtual QMenuBar* MenuBar() = 0;
    // "Close &all" and "E&xit" of a window's File menu.
    virtual void CloseAllButRefMan() = 0;
    virtual void Exit() = 0;
};

} // namespace vm
