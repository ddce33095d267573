#include "refman/RefManRules.h"

namespace vm {

TRefManEnables RefManEnables(const TRefManState& s)
{
    TRefManEnables e;
    if (s.Running)
        return e; // the window and its menus wait for the run

    const bool paths = s.View == TRHSView::Paths;
    const bool logs = s.View == TRHSView::Logs;
    const bool one = s.RHSSelected == 1;
    const bool any = s.RHSSelected > 0;

    e.CreateReference = e.NewButton = e.WizardButton = !s.FolderMode;
    e.SharesButton = e.RefOthers = true;
    e.ViewMenu = e.EditMenu = e.ViewButton = e.AddPathButton = s.RefSelected;
    e.RenameButton = e.DeleteButton = e.LogNowButton = s.RefSelected && s.RefNamed;
    e.RefRename = e.RefDelete = e.RefLogNow = e.RefLogFormat = s.RefSelected;
    e.EditRename = s.RefSelected;

    e.OpenButton = one && !paths && s.RefSelected;
    if (e.OpenButton)
        e.OpenHint = "Open " + s.FirstSelectedCaption;
    e.CompareButton = logs && s.RHSSelected == 2;

    e.EditSelectAll = s.RHSFocused && s.RHSCount > 0;
    e.EditDelete = s.RHSFocused ? any : s.RefSelected;

    // A typed path is as good as a chosen one, also for a reference that has no path yet.
    e.PathAdd = e.PathSpecify = s.RefSelected;
    e.PathSelectAll = e.PathChangeUnit = e.PathChangeSystem = paths && one;
    e.PathDelete = paths && any;

    e.LogExplore = e.LogDelete = logs && any;
    e.LogCompare = logs && s.RHSSelected == 2;
    e.LogSelectAll = logs && s.RHSCount > 0;

    e.CompView = s.View == TRHSView::Compares && one;
    e.CompDelete = s.View == TRHSView::Compares && any;
    e.CompSelectAll = s.View == TRHSView::Compares && s.RHSCount > 0;
    return e;
}

} // namespace vm
