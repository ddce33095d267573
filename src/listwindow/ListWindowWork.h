// The state every list window keeps for its long work (building the tree and filling the list in
// steps from the event loop) and for its list's order, with the steps it takes on it.
#pragma once

#include "listwindow/ListSortStart.h"

#include <optional>
#include <string>

namespace vm {

struct TListWindowWork
{
    // sortDirection: the order a first click on a column turns round (the windows' sort keys
    // read it differently).
    explicit TListWindowWork(bool sortDirection) : SortDirection(sortDirection) {}

    bool Busy = false;             // a build, a fill or a file operation runs
    bool RestartRequested = false; // the running fill is to end early (Stop or a new selection)
    bool StopPressed = false;      // ... because Stop was pressed
    bool CloseRequested = false;   // the window closes once the running step has returned
    std::string SortColumn;        // the caption of the column the list is sorted by
    bool ColumnClicked = false, SortDirection;
    // A column whose first click sorts one way rather than turning the order round.
    std::optional<TSortStart> FirstClick;

    // Stop: a running fill ends early, and says it was stopped by the user.
    void StopClick()
    {
        if (Busy)
            RestartRequested = true;
        StopPressed = true;
    }
    // A fill starts: nothing has been asked of it yet.
    void StartFill()
    {
        Busy = true;
        RestartRequested = StopPressed = CloseRequested = false;
    }
    // The step that ends a build or fill sees a close asked for meanwhile: true when the window
    // is to close now (no longer busy).
    bool TakeCloseRequest()
    {
        if (CloseRequested)
            Busy = false;
        return CloseRequested;
    }
    // The order the list opens in, before any click (ListSortStart.h).
    void OpenSorted(const TSortStart& start)
    {
        SortColumn = start.Column;
        SortDirection = start.Direction;
        ColumnClicked = false;
    }
    // A click on a column's header: the list is sorted by it, the order turned round (or, on the
    // first click of the FirstClick column, set as that says).
    void ClickColumn(const std::string& caption)
    {
        SortColumn = caption;
        ColumnClicked = true;
        if (FirstClick && FirstClick->Column == caption) {
            SortDirection = !FirstClick->Direction; // TakeSortDirection turns it round
            FirstClick.reset();
        }
    }
    // The order to sort in: a click turns it round once; a later refill keeps it.
    bool TakeSortDirection()
    {
        if (ColumnClicked) {
            SortDirection = !SortDirection;
            ColumnClicked = false;
        }
        return SortDirection;
    }
};

} // namespace vm
