// The scheduler dialog without its window: the computers of the server box, the connection to
// one computer's scheduler, its jobs as the job list shows and sorts them, and deleting a job.
// Every message goes through the user interface.
#pragma once

#include "platform/Scheduler.h"
#include "platform/UserInterface.h"
#include "schedule/JobTexts.h"

#include <string>
#include <vector>

namespace vm {

inline const char* const kConnectedText = "Connected";
inline const char* const kNotConnectedText = "Not connected";

// The text for a scheduler's error: its message, or "Unknown error: " and the code.
std::string SchedulerErrorText(const ESchedulerError& error);

class TScheduleList
{
public:
    // Both outlive the list.
    TScheduleList(TScheduler& scheduler, TUserInterface& ui);

    // The dialog is activated: ascending order, no column sorted yet, not connected. Returns the
    // server box's items: every computer the scheduler knows except this one.
    std::vector<std::string> Activate();

    // Reads the jobs of the computer (empty: this one); false, with the scheduler's message
    // shown and the list empty, when that fails.
    bool Connect(const std::string& server);
    // An edit of the server box ends the connection (the list stays until the next Connect).
    void ServerTextChanged() { connected_ = false; }
    bool Connected() const { return connected_; }
    const char* StatusText() const { return connected_ ? kConnectedText : kNotConnectedText; }

    // The rows in the order the list shows them.
    struct TListedJob
    {
        TSchedulerJob Job;
        TJobRow Row;
    };
    const std::vector<TListedJob>& Rows() const { return rows_; }

    // A click on a column header: the same column again reverses the order, another sorts
    // ascending.
    void SortBy(int column);
    int SortColumn() const { return lastColumn_; }
    int SortDirection() const { return direction_; }

    // Deletes the job of the row (-1: none selected) after the warnings and the question, then
    // reads the list again.
    void Delete(int row);
    // True when a job may be submitted; else says that a connection is needed.
    bool CanSubmit();

private:
    void Sort(int column);

    TScheduler& scheduler_;
    TUserInterface& ui_;
    bool connected_ = false;
    int direction_ = 1;
    int lastColumn_ = -1;
    std::string listedServer_; // the computer whose jobs the rows are
    std::vector<TListedJob> rows_;
};

} // namespace vm
