#include "refman/RefEditing.h"

#include "core/LogLayout.h"
#include "network/ShareListEditor.h"
#include "platform/AsciiCase.h"
#include "platform/HelpTopics.h"
#include "platform/IniFileText.h"
#include "platform/UserInterface.h"
#include "references/RefFiles.h"
#include "references/ShortenText.h"
#include "refman/RefListSort.h"

#include <algorithm>
#include <filesystem>

namespace vm {

namespace {

bool HasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

} // namespace

std::string GetNewRefCaption(const std::vector<std::string>& captions)
{
    auto taken = [&](const std::string& caption) {
        return std::any_of(captions.begin(), captions.end(),
                           [&](const std::string& c) { return SameTextIgnoringCase(c, caption); });
    };
    std::string caption = kNewReferenceCaption;
    for (int k = 2; taken(caption); ++k)
        caption = std::string(kNewReferenceCaption) + " (" + std::to_string(k) + ")";
    return caption;
}

std::string RefNameOf(const std::string& typed)
{
    return TrimIniBlanks(typed);
}

TRefNameCheck CheckRefName(const TRefStore& store, const std::string& typed, int refNo)
{
    const std::string name = RefNameOf(typed);
    if (name.empty() || HasControlCharacter(typed))
        return TRefNameCheck::Empty;
    if (CharacterCount(name) > kMaxRefNameLength)
        return TRefNameCheck::TooLong;
    const int owner = store.FindRefByName(name);
    if (owner != -1 && owner != refNo)
        return TRefNameCheck::Duplicate;
    return TRefNameCheck::Accepted;
}

std::string RenameRefusal(TRefNameCheck check)
{
    switch (check) {
    case TRefNameCheck::Empty:
        return "You must type a VALID reference name";
    case TRefNameCheck::TooLong:
        return "Reference name is too long - Reference names must be less than 80 characters";
    case TRefNameCheck::Duplicate:
        return "Reference name already used - Choose another";
    case TRefNameCheck::Accepted:
        break;
    }
    return {};
}

void WriteRefName(TRefStore& store, int n, const std::string& typed)
{
    store.RefIni().WriteString(TRefStore::RefSection(n), "Name", RefNameOf(typed));
}

std::string RefPathOf(const std::string& path)
{
    if (path.empty())
        return path;
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    if (normal.empty() || normal.back() != '/')
        normal += '/';
    return normal;
}

TPathPlacement PlacePath(const std::vector<std::string>& listed, const std::string& path)
{
    TPathPlacement placement;
    for (size_t i = 0; i < listed.size(); ++i) {
        const std::string& other = listed[i];
        if (other == path) {
            placement.Listed = true;
        } else if (other.size() > path.size() && other.starts_with(path)) {
            placement.Covered.push_back(i);
        } else if (path.starts_with(other)) {
            placement.Inside = int(i);
            break;
        }
    }
    return placement;
}

int32_t OfferedClusterSize(const std::string& fileSystem)
{
    const int32_t usual = DefaultClusterSize(fileSystem);
    return usual > 0 ? usual : 32768;
}

std::string ClusterSizeQuestion(const std::string& fileSystem, int32_t offered)
{
    return "Volumark cannot determine the cluster size of the path you have asked to add to the "
           "reference\nClick \"Yes\" to accept the " +
           fileSystem + " default of " + std::to_string(offered) +
           " bytes, or \"No\" to choose later";
}

bool EditLogFormat(TRefStore& store, TUserInterface& ui, int n, TLogFormat format)
{
    const size_t longest = static_cast<size_t>(LayoutOf(format).MaxNameLength);
    for (const TRefPath& p : store.ReadRefPaths(n)) {
        if (p.Path.size() > longest) {
            ui.ShowMessage("The path " + p.Path + " is longer than " + std::to_string(longest) +
                           " bytes, the longest path a log of the " + LogFormatName(format) +
                           " format can hold. The reference keeps its log format.");
            return false;
        }
    }
    try {
        store.SetRefLogFormat(n, format);
        return true;
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return false;
    }
}

bool WriteRefPaths(TRefStore& store, TUserInterface& ui, int n, const TRefPaths& paths)
{
    try {
        store.ReplaceRefPaths(n, paths);
        return true;
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return false;
    }
}

std::optional<std::vector<size_t>> CheckNewPath(const TRefStore& store, TUserInterface& ui,
                                                const std::vector<std::string>& listed,
                                                const std::string& path, TLogFormat format)
{
    try {
        store.CheckAddablePath(path, format);
    } catch (const ERefPathError& e) {
        ui.ShowMessage(e.what());
        return std::nullopt;
    }
    const TPathPlacement placement = PlacePath(listed, path);
    // Refusals come before the question: a refused path must not cost the covered ones.
    if (placement.Inside >= 0) {
        ui.ShowMessage("This directory already included in " + listed[size_t(placement.Inside)]);
        return std::nullopt;
    }
    if (placement.Listed) {
        ui.ShowMessage("Directory already selected");
        return std::nullopt;
    }
    if (!placement.Covered.empty() &&
        ui.MessageBox("This directory covers directories already selected. Delete ?", "Add error",
                      mb::OKCancel) != idOK)
        return std::nullopt;
    return placement.Covered;
}

bool CreateRefAddPath(TRefStore& store, TUserInterface& ui, int n, TRefPaths listed,
                      const std::string& typed, const TGivenVolumeFacts& given)
{
    const std::string path = RefPathOf(typed);
    std::vector<std::string> listedPaths;
    for (const TRefPath& p : listed)
        listedPaths.push_back(p.Path);
    const TLogFormat format = store.RefLogFormat(n);
    const std::optional<std::vector<size_t>> covered =
        CheckNewPath(store, ui, listedPaths, path, format);
    if (!covered)
        return false;
    for (auto it = covered->rbegin(); it != covered->rend(); ++it)
        listed.erase(listed.begin() + std::ptrdiff_t(*it));

    TRefPath added;
    try {
        const TVolumeFacts facts = store.GetVolumeFacts(path);
        const std::string fileSystem =
            given.FileSystem.empty() ? facts.FileSystem : given.FileSystem;
        int32_t unit = given.Unit > 0 ? given.Unit : facts.Unit;
        if (unit == 0) {
            const int32_t offered = OfferedClusterSize(fileSystem);
            if (ui.MessageDlg(ClusterSizeQuestion(fileSystem, offered), TMsgDlgType::Warning,
                              mbtn::Yes | mbtn::No | mbtn::Help, help::ClusterSize) == idYes)
                unit = offered;
        }
        added = store.ResolveRefPath(path, unit, fileSystem, format);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return false;
    }
    listed.push_back(added);
    std::stable_sort(listed.begin(), listed.end(),
                     [](const auto& a, const auto& b) { return CollateTexts(a.Path, b.Path) < 0; });
    return WriteRefPaths(store, ui, n, listed);
}

std::vector<std::string> FileSystemChoices()
{
    return {"DOS", "FAT", "FAT32", "NTFS", "NWFS", "ext4", "xfs", "btrfs", "vfat", "nfs4", "cifs"};
}

std::string FileSystemForTag(int tag)
{
    const std::vector<std::string> choices = FileSystemChoices();
    return tag >= 1 && size_t(tag) <= choices.size() ? choices[size_t(tag - 1)] : std::string();
}

std::vector<int32_t> AllocationUnitChoices()
{
    return {1, 512, 1024, 2048, 4096, 8192, 16384, 32768};
}

std::optional<int32_t> AskAllocationUnit(TUserInterface& ui, const std::string& current)
{
    std::string typed = current;
    if (!ui.InputQuery("Specify unit", "Enter allocation unit:", typed))
        return std::nullopt;
    std::optional<int32_t> unit = ParseAllocUnit(typed);
    if (!unit)
        ui.ShowMessage(kAllocUnitError);
    return unit;
}

namespace {

// Records the path's unit and file system in the share list, then writes the paths.
bool RecordAndWrite(TRefStore& store, TUserInterface& ui, int n, const TRefPaths& paths,
                    size_t index)
{
    const TRefPath& p = paths[index];
    try {
        store.Shares().RecordShareCluster(p.Path, p.FileSystem, p.UnitValid ? p.Unit : 0);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
    }
    return WriteRefPaths(store, ui, n, paths);
}

} // namespace

bool EditAllocationUnit(TRefStore& store, TUserInterface& ui, int n, TRefPaths paths, size_t index,
                        int32_t unit)
{
    if (index >= paths.size())
        return false;
    paths[index] = ParsedRefPath(paths[index].Path, std::to_string(unit), paths[index].FileSystem);
    return RecordAndWrite(store, ui, n, paths, index);
}

bool EditFileSystem(TRefStore& store, TUserInterface& ui, int n, TRefPaths paths, size_t index,
                    const std::string& system)
{
    if (index >= paths.size() || system.empty())
        return false;
    paths[index].FileSystem = system;
    return RecordAndWrite(store, ui, n, paths, index);
}

std::string DeleteLogsQuestion(size_t count, const std::string& name)
{
    if (count == 1)
        return "Are you sure you want to delete this log from reference [" + name + "] ?";
    return "Are you sure you want to delete " + std::to_string(count) + " log(s) from reference [" +
           name + "] ?";
}

std::string DeleteComparesQuestion(size_t count, const std::string& name)
{
    if (count == 1)
        return "Are you sure you want to delete  this compare of logs from reference " + name + "?";
    return "Are you sure you want to delete " + std::to_string(count) +
           " Compare(s) of logs from reference " + name + "?";
}

TRefDeletion DeleteReference(TRefStore& store, TUserInterface& ui, int n,
                             const std::string& currentName, const std::string& selectedCaption,
                             const std::function<void(int)>& closeWindows)
{
    if (AsciiUpperCase(currentName) != AsciiUpperCase(selectedCaption)) {
        ui.Beep();
        ui.ShowMessage("Please select reference before deleting");
        return TRefDeletion::Refused;
    }
    const std::string dir = store.RefDir(n);
    if (!store.Files().IsDirectoryPath(dir))
        return TRefDeletion::Refused;
    // The section goes last: where it could not go, nothing is removed at all.
    try {
        store.CheckSharedLocks();
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return TRefDeletion::Refused;
    }
    if (ui.MessageBox("Are you sure you want to delete this Reference. All data will be lost?",
                      "Confirm Delete", mb::YesNo | mb::IconQuestion | mb::DefButton2) != idYes)
        return TRefDeletion::Refused;
    if (closeWindows)
        closeWindows(n);
    ui.SetBusy(true);
    const bool removed = RemoveRefDirectory(store.Files(), dir);
    TRefDeletion result = TRefDeletion::FilesOnly;
    if (removed) {
        try {
            store.RefIni().EraseSection(TRefStore::RefSection(n));
            result = TRefDeletion::Deleted;
        } catch (const std::exception& e) {
            ui.SetBusy(false);
            ui.ShowMessage(e.what());
            return TRefDeletion::FilesOnly;
        }
    }
    ui.SetBusy(false);
    return result;
}

} // namespace vm
