#include "refman/RefWizard.h"

#include "platform/UserInterface.h"
#include "platform/Volume.h"
#include "references/LoggingRun.h"
#include "references/RefStore.h"
#include "refman/RefEditing.h"
#include "refman/RefRuns.h"

#include <algorithm>
#include <optional>
#include <set>

namespace vm {

namespace {

// File systems that hold no files of a user's: the kernel's windows into itself and memory.
bool IsPseudoFileSystem(const std::string& type)
{
    static const std::set<std::string> kPseudo = {
        "proc",      "sysfs",    "cgroup",  "cgroup2",     "tmpfs",    "devtmpfs",   "devpts",
        "mqueue",    "debugfs",  "tracefs", "securityfs",  "pstore",   "bpf",        "autofs",
        "hugetlbfs", "configfs", "fusectl", "binfmt_misc", "ramfs",    "rpc_pipefs", "nsfs",
        "efivarfs",  "squashfs", "overlay", "nfsd",        "selinuxfs"};
    return kPseudo.count(type) > 0;
}

bool IsDiskOrNetwork(const TMount& mount)
{
    if (IsNetworkFileSystem(mount.Type))
        return true;
    if (IsPseudoFileSystem(mount.Type))
        return false;
    return mount.Source.starts_with("/dev/") || mount.Type == "zfs" || mount.Type == "btrfs";
}

} // namespace

std::vector<std::string> WizardDrives(const TMountTable& mounts)
{
    std::set<std::string> points;
    for (const TMount& mount : mounts.Mounts())
        if (mount.MountPoint != "/" && IsDiskOrNetwork(mount))
            points.insert(mount.MountPoint);
    std::vector<std::string> drives = {"/"};
    drives.insert(drives.end(), points.begin(), points.end());
    return drives;
}

TRefWizard::TRefWizard(TRefStore& store, TUserInterface& ui) : store_(store), ui_(ui) {}

void TRefWizard::Reset()
{
    page_ = 1;
    Name.clear();
    paths_.clear();
    LogNow = true;
    LogFormat = TLogFormat::Exact;
    created_ = -1;
    logging_ = false;
    stop_ = false;
    finished_ = false;
}

std::string TRefWizard::NextCaption() const
{
    return page_ == kPages || (page_ == kPages - 1 && !LogNow) ? kFinishCaption : kNextCaption;
}

bool TRefWizard::Next()
{
    if (NextCaption() == kFinishCaption) {
        finished_ = true;
        return true;
    }
    bool done = true;
    switch (page_) {
    case 2:
        done = CheckName();
        break;
    case 3:
        done = MakeReference();
        break;
    case 4:
        LogNewReference();
        finished_ = true;
        return true;
    default:
        break;
    }
    if (done)
        page_ = std::min(page_ + 1, kPages);
    return done;
}

void TRefWizard::Back()
{
    if (BackEnabled())
        --page_;
}

bool TRefWizard::Cancel()
{
    TUserInterface& ui = ui_;
    ui.Beep();
    if (logging_) {
        if (ui.MessageDlg("Are you sure you want to cancel the current logging process ?",
                          TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) == idYes)
            stop_ = true;
        return false;
    }
    return ui.MessageDlg("Are you sure you want to cancel the new reference ?",
                         TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) == idYes;
}

bool TRefWizard::CheckName()
{
    TUserInterface& ui = ui_;
    const TRefNameCheck check = CheckRefName(store_, Name, created_);
    if (check == TRefNameCheck::Accepted)
        return true;
    ui.Beep();
    const std::string message = check == TRefNameCheck::Empty ? "Please supply a reference name"
                                : check == TRefNameCheck::Duplicate
                                    ? "Reference name already in use - select another"
                                    : RenameRefusal(check);
    ui.MessageDlg(message, TMsgDlgType::Error, mbtn::OK);
    return false;
}

bool TRefWizard::MakeReference()
{
    TUserInterface& ui = ui_;
    if (paths_.empty()) {
        ui.Beep();
        ui.MessageDlg("Please select a file system or file systems to log", TMsgDlgType::Error, mbtn::OK);
        return false;
    }
    try {
        TRefPaths stored;
        for (const std::string& path : paths_)
            stored.push_back(store_.ResolveRefPath(path, 0, "", LogFormat));
        // Back and Next again update the reference made the first time.
        if (created_ < 0) {
            const int n = store_.NewRefNumber();
            if (!store_.CreateRef(n, RefNameOf(Name))) {
                ui.ShowMessage("The reference directory " + store_.RefDir(n) +
                               " could not be created");
                return false;
            }
            created_ = n;
        } else {
            WriteRefName(store_, created_, Name);
        }
        store_.ReplaceRefPaths(created_, stored);
        store_.SetRefLogFormat(created_, LogFormat);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return false;
    }
    return true;
}

void TRefWizard::LogNewReference()
{
    TUserInterface& ui = ui_;
    page_ = kPages;
    logging_ = true;
    stop_ = false;
    if (StateChanged)
        StateChanged();
    struct TEnd
    {
        TRefWizard& w;
        ~TEnd()
        {
            w.logging_ = false;
            if (w.StateChanged)
                w.StateChanged();
        }
    } end{*this};

    if (!store_.AllocUnitsSet(created_)) {
        ui.MessageDlg("Log aborted .. A path you have selected has an allocation unit of ZERO!\n"
                      "You can set the allocation unit manually and log later when required.",
                      TMsgDlgType::Information, mbtn::OK);
        return;
    }
    // The user interface keeps the status window in view while a run works: it says what runs,
    // its Cancel stops the run as "Cancel log" does, and it goes when the run ends.
    TStatusWindow& status = ui.Status();
    status.SetHeading("Now Logging :");
    status.SetText("");
    status.ClearStopRequest();
    TStatusEvent handler = [this, &ui, &status](const std::string& text, bool& stop) {
        if (ShowProgress)
            ShowProgress(text);
        ui.ProcessMessages();
        if (stop_ || status.StopRequested())
            stop = true;
    };
    TLogRunResult result;
    std::optional<std::string> failure;
    ui.SetBusy(true);
    try {
        // A stopped log is not kept: it would look complete, and every tree it missed would
        // show as deleted in later comparisons.
        result = LogReference(store_, ui, created_, handler);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    status.Hide();
    ui.SetBusy(false);
    if (failure) {
        ui.MessageDlg(*failure, TMsgDlgType::Error, mbtn::OK);
        return;
    }
    if (result.Refused)
        return;
    if (result.Stopped) {
        ui.MessageDlg("Log aborted .. you can relog later when required", TMsgDlgType::Information,
                      mbtn::OK);
        return;
    }
    ReportUnreadable(ui, result.Unreadable);
    if (ui.MessageDlg("Log completed .. would you like to view the contents now ?",
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) == idYes &&
        DisplayLog)
        DisplayLog(created_, result.LogNumber);
}

bool TRefWizard::AddPath(const std::string& typed)
{
    TUserInterface& ui = ui_;
    const std::string path = RefPathOf(typed);
    const std::optional<std::vector<size_t>> covered =
        CheckNewPath(store_, ui, paths_, path, LogFormat);
    if (!covered)
        return false;
    for (auto it = covered->rbegin(); it != covered->rend(); ++it)
        paths_.erase(paths_.begin() + std::ptrdiff_t(*it));
    paths_.push_back(path);
    AskClusterSize(path);
    return true;
}

void TRefWizard::AskClusterSize(const std::string& path)
{
    TUserInterface& ui = ui_;
    try {
        const TVolumeFacts facts = store_.GetVolumeFacts(path);
        if (facts.Unit != 0)
            return;
        const int32_t offered = OfferedClusterSize(facts.FileSystem);
        if (ui.MessageBox(ClusterSizeQuestion(facts.FileSystem, offered),
                          "Can't detect cluster size", mb::YesNo | mb::IconWarning) == idYes)
            store_.Shares().RecordShareCluster(path, facts.FileSystem, offered);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
}

void TRefWizard::DeletePath(size_t index)
{
    if (index < paths_.size())
        paths_.erase(paths_.begin() + std::ptrdiff_t(index));
}

} // namespace vm
