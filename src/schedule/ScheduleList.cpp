#include "schedule/ScheduleList.h"

#include "platform/AsciiCase.h"
#include "schedule/JobCommand.h"

#include <algorithm>
#include <cerrno>

namespace vm {

std::string SchedulerErrorText(const ESchedulerError& error)
{
    std::string text = error.what();
    return text.empty() ? "Unknown error: " + std::to_string(error.Code) : text;
}

TScheduleList::TScheduleList(TScheduler& scheduler, TUserInterface& ui)
    : scheduler_(scheduler), ui_(ui)
{
}

std::vector<std::string> TScheduleList::Activate()
{
    direction_ = 1;
    lastColumn_ = -1;
    connected_ = false;
    std::vector<std::string> items;
    try {
        const std::string local = scheduler_.LocalComputerName();
        for (const std::string& server : scheduler_.Servers())
            if (!SameTextIgnoringCase(server, local))
                items.push_back(server);
    } catch (const ESchedulerError& e) {
        ui_.MessageDlg(SchedulerErrorText(e), TMsgDlgType::Error, mbtn::OK);
    }
    return items;
}

bool TScheduleList::Connect(const std::string& server)
{
    rows_.clear();
    listedServer_ = server;
    connected_ = false;
    ui_.SetBusy(true);
    ui_.ProcessMessages();
    std::vector<TSchedulerJob> jobs;
    try {
        jobs = scheduler_.EnumJobs(server);
    } catch (const ESchedulerError& e) {
        ui_.SetBusy(false);
        if (e.Code == schederr::ServiceNotRunning)
            ui_.ShowMessage("Schedule service is not running");
        else if (e.Code == schederr::InvalidName)
            ui_.ShowMessage("Invalid or unknown server name");
        else
            ui_.MessageDlg(SchedulerErrorText(e), TMsgDlgType::Error, mbtn::OK);
        return false;
    }
    ui_.SetBusy(false);
    connected_ = true;
    for (TSchedulerJob& job : jobs)
        rows_.push_back({job, JobRowTexts(job)});
    // New rows take their places by number, in the list's current direction.
    Sort(kIdColumn);
    return true;
}

void TScheduleList::Sort(int column)
{
    std::stable_sort(rows_.begin(), rows_.end(), [&](const TListedJob& a, const TListedJob& b) {
        return CompareJobRows(a.Row, b.Row, column, direction_) < 0;
    });
}

void TScheduleList::SortBy(int column)
{
    direction_ = column == lastColumn_ ? -direction_ : 1;
    Sort(column);
    lastColumn_ = column;
}

void TScheduleList::Delete(int row)
{
    if (row < 0 || size_t(row) >= rows_.size()) {
        ui_.ShowMessage("Please select job first");
        return;
    }
    const TSchedulerJob job = rows_[size_t(row)].Job;
    if (AsciiUpperCase(job.Command).find(kBatchFileName) == std::string::npos)
        ui_.MessageDlg("Warning - this is not a Volumark job !!", TMsgDlgType::Warning, mbtn::OK);
    if (ui_.MessageDlg("OK to delete job " + std::to_string(job.JobId), TMsgDlgType::Confirmation,
                       mbtn::Yes | mbtn::No) != idYes)
        return;
    try {
        scheduler_.DeleteJob(listedServer_, job.JobId);
    } catch (const ESchedulerError& e) {
        // A job that is gone already needs no message: the list read again shows it gone.
        if (e.Code != ENOENT)
            ui_.MessageDlg(SchedulerErrorText(e), TMsgDlgType::Error, mbtn::OK);
    }
    Connect(listedServer_);
}

bool TScheduleList::CanSubmit()
{
    if (!connected_)
        ui_.ShowMessage("Must connect to server before submitting job");
    return connected_;
}

} // namespace vm
