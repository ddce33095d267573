#include "fileops/CopyFiles.h"

#include "fileops/EntryOnDisk.h"
#include "fileops/ProgressPace.h"
#include "platform/Registry.h"
#include "platform/RootedFileSystem.h"

#include <cerrno>
#include <filesystem>
#include <map>

namespace vm {

namespace {

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

void TCopySettings::Load(TRegistry& registry)
{
    if (!registry.OpenKey(kSettingsKey, true))
        return;
    try {
        if (auto path = registry.ReadString("CopyPath"))
            CopyPath = *path;
        else
            registry.WriteString("CopyPath", CopyPath);
        if (registry.ValueExists("KeepStructure"))
            KeepStructure = registry.ReadBool("KeepStructure", KeepStructure);
        else
            registry.WriteBool("KeepStructure", KeepStructure);
    } catch (const std::exception&) {
        // A settings file that cannot be written keeps the dialog's own state.
    }
    registry.CloseKey();
}

void TCopySettings::Save(TRegistry& registry) const
{
    if (!registry.OpenKey(kSettingsKey, true))
        throw std::runtime_error(registry.LastError());
    registry.WriteString("CopyPath", CopyPath);
    registry.WriteBool("KeepStructure", KeepStructure);
    registry.CloseKey();
}

bool AcceptCopyDestination(const std::string& path, TUserInterface& ui)
{
    if (path.empty()) {
        ui.ShowMessage(kInvalidDirectoryName);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return true;
    if (ui.MessageDlg("Directory \"" + path + "\" does not exist. OK to create",
                      TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No) != idYes)
        return false;
    std::filesystem::create_directories(path, ec);
    if (std::filesystem::is_directory(path, ec))
        return true;
    ui.ShowMessage("Unable to create directory \"" + path + "\"");
    return false;
}

std::string FailureReport(const std::string& heading, const std::vector<std::string>& failures,
                          size_t shown)
{
    std::string text = heading;
    for (size_t i = 0; i < failures.size() && i < shown; ++i)
        text += "\n" + failures[i];
    if (failures.size() > shown)
        text += "\n... and " + std::to_string(failures.size() - shown) + " more";
    return text;
}

TCopyResult CopyFiles(TDirStorage& log, const std::vector<int64_t>& offsets,
                      const TCopyRequest& request, TFileSystem& fs, TUserInterface& ui)
{
    TCopyResult result;
    const std::string destination = RootWithoutSlash(request.Destination);
    TRootedWalker targets(fs, destination);
    TEntryLocator sources(log, fs);
    std::map<std::string, std::string> copiedFrom; // name -> its folder, without the structure
    TStatusWindow& status = ui.Status();
    TProgressPace pace;
    if (request.ShowProgress) {
        status.SetCaption(kCopyingFiles);
        status.SetHeading2Visible(true);
        status.Show();
        status.ClearStopRequest();
    }
    auto fail = [&result](const std::string& path, const std::string& why) {
        result.Failures.push_back(path + ": " + why);
    };

    for (int64_t offset : offsets) {
        if (request.ShowProgress && status.StopRequested()) {
            result.Stopped = true;
            break;
        }
        TDirNode node;
        std::string name;
        TEntryOnDisk source;
        if (!log.ReadNode(offset, node, name) || node.Kind != kKindFile ||
            (node.Tags & kTagDeleted) || !sources.Locate(offset, source))
            continue;
        const std::string folder = DirectoryOf(source.Path);
        std::string below;
        if (request.KeepStructure && !request.ShownDirectory.empty() &&
            folder.compare(0, request.ShownDirectory.size(), request.ShownDirectory) == 0)
            below = folder.substr(request.ShownDirectory.size());
        const std::string targetFolder = destination + "/" + below;
        if (request.ShowProgress && pace.Due()) {
            status.SetText(name);
            status.SetHeading("From: " + folder);
            status.SetHeading2("To: " + targetFolder);
            ui.ProcessMessages();
        }

        if (!source.Exists) {
            fail(source.Path, ErrorText(source.Error ? source.Error : ENOENT));
            continue;
        }
        const TEntryKind kind = EntryKindOf(source.Info.Attributes);
        if (kind != TEntryKind::File) {
            fail(source.Path, EntryKindText(kind) + ", not a regular file: not copied");
            continue;
        }
        auto earlier = copiedFrom.find(name);
        if (!request.KeepStructure && earlier != copiedFrom.end()) {
            fail(source.Path, "not copied: a file of this name was copied from " + earlier->second +
                                  " in this copy");
            continue;
        }
        std::string targetName;
        int error = 0;
        TDirHandle into = targets.ParentOf(targetFolder + name, targetName, error, true);
        if (into == kNoDir) {
            fail(source.Path,
                 "the folder " + targetFolder + " cannot be made (" + ErrorText(error) + ")");
            continue;
        }
        TFileInfo there;
        if (fs.StatAt(into, targetName, there, error) && there.Device == source.Info.Device &&
            there.Inode == source.Info.Inode) {
            fail(source.Path, "it is its own target: not copied");
            continue;
        }
        if (!fs.CopyFileAt(source.Parent, source.Name, into, targetName, error)) {
            fail(source.Path, ErrorText(error));
            continue;
        }
        ++result.Copied;
        if (!request.KeepStructure)
            copiedFrom.emplace(name, folder);
    }

    if (request.ShowProgress) {
        status.SetHeading2Visible(false);
        status.Hide();
    }
    if (!result.Failures.empty())
        ui.MessageDlg(
            FailureReport(std::to_string(result.Failures.size()) + " file(s) could not be copied:",
                          result.Failures),
            TMsgDlgType::Warning, mbtn::OK);
    return result;
}

} // namespace vm
