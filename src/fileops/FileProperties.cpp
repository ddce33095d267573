#include "fileops/FileProperties.h"

#include "core/LogWalk.h"
#include "core/LogWriter.h"
#include "display/DisplayHelpers.h"
#include "fileops/EntryOnDisk.h"
#include "output/ListTexts.h"
#include "output/SizeText.h"
#include "platform/FileOwner.h"
#include "platform/Volume.h"
#include "references/LoggingRun.h"
#include "references/RefStore.h"

namespace vm {

namespace {

// The log's dates are 0 where the disk gave none.
std::string DateText(TDateTime value, const TLocale& locale)
{
    return DateKnown(value) ? locale.LongDateTimeText(value) : std::string();
}

// Moves the allocated space of every directory above the entry at offset by delta.
void MoveAncestors(TDirStorage& log, int64_t offset, int64_t delta)
{
    TDirNode node;
    std::string name;
    TLogWalk up = TLogWalk::Ancestors(log, offset);
    up.Next(node, name); // the entry itself
    while (up.Next(node, name))
        log.WriteAllocated(up.Offset(), node.Allocated + delta);
}

bool SameKind(uint32_t logged, const TFileInfo& onDisk)
{
    return EntryKindOf(logged) == EntryKindOf(onDisk.Attributes);
}

} // namespace

bool TakesCompression(const std::string& fileSystemType)
{
    return fileSystemType == "btrfs";
}

TRefPathInfo GetIniInfo(const TRefStore& store, int reference, const std::string& topLevelPath)
{
    TRefPathInfo info;
    for (const TRefPath& path : store.ReadRefPaths(reference)) {
        if (path.Path.empty())
            break;
        if (path.Path != topLevelPath)
            continue;
        info.Unit = path.Unit;
        info.FileSystem = path.FileSystem;
        break;
    }
    return info;
}

TFileProperties::TFileProperties(TFileSystem& fs, TNetWareLoader& netware, const TLocale& locale)
    : fs_(&fs), netware_(&netware), locale_(&locale)
{
}

bool TFileProperties::Vanished(TUserInterface& ui)
{
    Exists = false;
    Owner = kFileNotFound;
    Group.clear();
    Permissions.clear();
    Links.clear();
    ui.ShowMessage(Path + ": " + kFileNotFound);
    return false;
}

void TFileProperties::TakeDiskFacts(const TFileInfo& onDisk)
{
    Group = GroupName(onDisk.Group);
    Permissions = PermissionsText(onDisk.Mode);
    Links = std::to_string(onDisk.Links);
}

std::string LoggedOwnerText(const TDirStorage& log, const TDirNode& node)
{
    if (!log.HasOwners())
        return kOwnersNotLogged;
    return AccountName(node.Owner) + ", group " + GroupName(node.Group) + ", " +
           PermissionsText(node.Mode);
}

std::string TFileProperties::SizeWithBytes(int64_t bytes) const
{
    return vm::SizeText(bytes, *locale_) + " (" + std::to_string(bytes) + " bytes)";
}

void TFileProperties::Load(TDirStorage& log, int64_t offset, const TRefPathInfo& info,
                           const TFileTypeLookup& types)
{
    *this = TFileProperties(*fs_, *netware_, *locale_);
    Offset = offset;
    Unit = info.Unit;
    FileSystem = info.FileSystem;
    TDirNode node;
    if (!log.ReadNode(offset, node, Name)) {
        Owner = kFileNotFound;
        return;
    }
    Directory = node.Kind == kKindDirectory;
    Logged = LoggedOwnerText(log, node);
    Path = log.GetFullPath(offset);
    Location = Path.substr(0, Path.find_last_of('/') + 1);
    CreatedText = DateText(node.Created, *locale_);
    ModifiedText = DateText(node.Modified, *locale_);
    AccessedText = DateText(node.Accessed, *locale_);
    ReadOnly = node.Attributes & faReadOnly;
    Compressed = node.Attributes & faCompressed;
    SizeText = SizeWithBytes(node.Size);
    SpaceText = SizeWithBytes(node.Allocated);
    if (Directory) {
        TypeText = "File folder";
    } else if (types) {
        TypeText = types(RowTypeExtension(Name));
    }
    ResultingAllocated = node.Allocated;

    TEntryLocator locator(log, *fs_);
    TEntryOnDisk where;
    Exists = locator.Locate(offset, where) && where.Exists && SameKind(node.Attributes, where.Info);
    if (!Exists) {
        Owner = kFileNotFound;
        return;
    }
    Owner = FileOwnerName(*fs_, *locator.LastWalker(), Path, FileSystem, *netware_);
    if (log.HasOwners()) {
        // The log's owner is the one its sizes were counted for; a change since is told beside it.
        const std::string logged = AccountName(node.Owner);
        Owner = Owner.empty() || Owner == logged ? logged : logged + " (now " + Owner + ")";
    }
    TakeDiskFacts(where.Info);
    const TEntryKind kind = EntryKindOf(node.Attributes);
    ReadOnlyEnabled = kind == TEntryKind::File || kind == TEntryKind::Directory;
    CompressedEnabled =
        ReadOnlyEnabled && TakesCompression(TMountTable::Load().FileSystemName(Path));
}

bool TFileProperties::Apply(TDirStorage& log, bool readOnly, bool compressed, TUserInterface& ui)
{
    TDirNode node;
    std::string name;
    TEntryLocator locator(log, *fs_);
    TEntryOnDisk where;
    if (!log.ReadNode(Offset, node, name) || !locator.Locate(Offset, where) || !where.Exists ||
        !SameKind(node.Attributes, where.Info)) {
        return Vanished(ui);
    }
    std::string refused;
    int error = 0;
    const bool wasReadOnly = where.Info.Attributes & faReadOnly;
    if (ReadOnlyEnabled && readOnly != wasReadOnly &&
        !fs_->SetReadOnlyAt(where.Parent, where.Name, readOnly, error))
        refused += "\nRead-only cannot be " + std::string(readOnly ? "set" : "cleared") + " (" +
                   ErrorText(error) + ")";
    if (compressed != Compressed &&
        !fs_->SetCompressedAt(where.Parent, where.Name, compressed, error))
        refused += "\nThe file system refused to " +
                   std::string(compressed ? "compress" : "uncompress") + " it (" +
                   ErrorText(error) + ")";
    TFileInfo now;
    if (!fs_->StatAt(where.Parent, where.Name, now, error)) {
        return Vanished(ui);
    }
    // A directory's space is that of its whole tree; only a file's own space changes here. A
    // later link to a file keeps the 0 the scan gave it, as its first link holds the space.
    int64_t allocated = node.Allocated;
    if (!Directory)
        allocated = TLogWriter::AllocatedOf(now, node.Allocated == 0 && now.Links > 1, Unit);
    log.WriteAttributes(Offset, now.Attributes);
    if (allocated != node.Allocated) {
        log.WriteAllocated(Offset, allocated);
        MoveAncestors(log, Offset, allocated - node.Allocated);
    }
    log.Stream().Flush();
    ResultingAllocated = allocated;
    SpaceText = SizeWithBytes(allocated);
    TakeDiskFacts(now);
    ReadOnly = now.Attributes & faReadOnly;
    Compressed = now.Attributes & faCompressed;
    if (!refused.empty())
        ui.MessageDlg(Path + ":" + refused, TMsgDlgType::Warning, mbtn::OK);
    return true;
}

namespace {
// The stored name of the top-level path the entry at offset lies below (ending with "/").
std::string TopLevelNameOf(TDirStorage& log, int64_t offset)
{
    TDirNode top;
    std::string name;
    log.ReadNode(TopLevelOffsetOf(log, offset), top, name);
    return name;
}
} // namespace

TRefPathInfo RefPathInfoOf(TDirStorage& log, int64_t offset, const TRefStore& store, int reference)
{
    return GetIniInfo(store, reference, TopLevelNameOf(log, offset));
}

TRefPathInfo FolderPathInfoOf(TDirStorage& log, int64_t offset, const TRefStore& store)
{
    const TVolumeFacts facts = FolderVolumeFacts(store, TopLevelNameOf(log, offset));
    return {facts.Unit, facts.FileSystem.empty() ? TRefPathInfo().FileSystem : facts.FileSystem};
}

bool LoadOrTell(TFileProperties& properties, TDirStorage& log, int64_t offset,
                const TRefPathInfo& info, const TFileTypeLookup& types, TUserInterface& ui)
{
    try {
        properties.Load(log, offset, info, types);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what()); // ELoadLibFail: the NetWare client is there but cannot be used
        return false;
    }
    return true;
}

bool ApplyOrTell(TFileProperties& properties, TDirStorage* log, bool readOnly, bool compressed,
                 TUserInterface& ui)
{
    try {
        return log && properties.Apply(*log, readOnly, compressed, ui);
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return false;
    }
}

} // namespace vm
