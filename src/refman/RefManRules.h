// Which of the reference manager's commands can be used, as a function of what is selected and
// focused: the window sets every enabled state from here in one place.
#pragma once

#include "refman/RefList.h"

#include <string>

namespace vm {

struct TRefManState
{
    bool RefSelected = false; // a reference is selected in the reference list
    bool RefNamed = false;    // ... and its caption is not empty
    TRHSView View = TRHSView::Logs;
    int RHSCount = 0;                 // rows in the right-hand list
    int RHSSelected = 0;              // rows selected there
    std::string FirstSelectedCaption; // of the first selected right-hand row
    bool RHSFocused = false;          // the right-hand list has the keyboard focus
    bool Running = false;             // a logging or comparison run works
    bool FolderMode = false;          // the program shows a folder's log only: no new references
};

struct TRefManEnables
{
    // Menus and toolbar buttons of the window.
    bool ViewMenu = false, EditMenu = false;
    bool ViewButton = false, AddPathButton = false;
    bool RenameButton = false, DeleteButton = false, LogNowButton = false;
    bool OpenButton = false, CompareButton = false;
    std::string OpenHint; // "Open Log 12" when exactly one log or comparison is selected
    bool CreateReference = false, NewButton = false, WizardButton = false, SharesButton = false;
    // "&Edit".
    bool EditSelectAll = false, EditDelete = false, EditRename = false;
    // The reference pop-up.
    bool RefRename = false, RefDelete = false, RefLogNow = false, RefOthers = false;
    bool RefLogFormat = false; // "Log &format"
    // The paths pop-up.
    bool PathAdd = false, PathSpecify = false, PathSelectAll = false, PathDelete = false;
    bool PathChangeUnit = false, PathChangeSystem = false;
    // The logs pop-up.
    bool LogExplore = false, LogCompare = false, LogSelectAll = false, LogDelete = false;
    // The comparisons pop-up.
    bool CompView = false, CompSelectAll = false, CompDelete = false;
};

TRefManEnables RefManEnables(const TRefManState& state);

} // namespace vm
