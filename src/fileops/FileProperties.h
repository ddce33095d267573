// What the "Properties" dialog shows of a listed entry and what its Apply changes, without Qt:
// the texts of the "General" page from the log, the owner, group, permissions, link count and
// attributes as they stand on the disk now, and Apply, which changes the read-only and compressed
// states on the disk and writes what the disk then says back into the log entry, so that the log
// keeps matching the disk. The explore window and the compare window show it for the entry of their
// focused row.
//
// The file is reached from its top-level path without following a link (EntryOnDisk.h): where
// the entry is gone, or another kind of entry stands in its place, the dialog says
// "File not found !" and Apply changes nothing.
#pragma once

#include "core/DirStorage.h"
#include "display/ListRows.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/NetWareOwner.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <string>

namespace vm {

class TRefStore;

inline const char* const kFileNotFound = "File not found !";
inline const char* const kOwnersNotLogged = "Not recorded (a log of the exact format)";

// The allocation unit and file system of the reference path an entry lies below.
struct TRefPathInfo
{
    int32_t Unit = 0;                  // 0: sizes are not rounded
    std::string FileSystem = "System"; // as the reference store names it
};

// GetIniInfo: the unit and file system of the reference path that equals topLevelPath (the
// name of the entry's level-0 record, ending with "/"); unit 0 and "System" when the reference
// no longer has that path.
TRefPathInfo GetIniInfo(const TRefStore& store, int reference, const std::string& topLevelPath);
// The unit and file system of the reference path the log's entry at offset lies below.
TRefPathInfo RefPathInfoOf(TDirStorage& log, int64_t offset, const TRefStore& store, int reference);
// The same for a folder's log (folder mode), which belongs to no reference: the unit and file
// system it was scanned with (FolderVolumeFacts).
TRefPathInfo FolderPathInfoOf(TDirStorage& log, int64_t offset, const TRefStore& store);

// Properties' "When logged" line for an entry of the log (TFileProperties::Logged).
std::string LoggedOwnerText(const TDirStorage& log, const TDirNode& node);

class TFileProperties
{
public:
    // The disk, the NetWare client and the locale outlive this object.
    TFileProperties(TFileSystem& fs, TNetWareLoader& netware, const TLocale& locale);

    // LoadPropertyText: fills every field below for the entry at offset. Raises ELoadLibFail
    // when the NetWare client asked for the owner cannot be used.
    void Load(TDirStorage& log, int64_t offset, const TRefPathInfo& info,
              const TFileTypeLookup& types);

    // Apply with the boxes' states: sets read-only and compression on the disk where they differ,
    // reads the file again and writes its attributes and allocated space into the log entry,
    // moving every directory above it by the same difference. A change the file system refuses
    // is told to the user. False (nothing written) when the entry is no longer on the disk.
    bool Apply(TDirStorage& log, bool readOnly, bool compressed, TUserInterface& ui);

    int64_t Offset = kNoOffset;
    bool Directory = false;
    std::string Name;     // the entry's name in the log
    std::string Path;     // its full path
    std::string Location; // the path up to and including its last "/"
    std::string TypeText; // "File folder" or the file type of its extension
    std::string SizeText, SpaceText;
    std::string CreatedText, ModifiedText, AccessedText;
    // The owner, kFileNotFound, or "" (then the "Owner" line is hidden). Where the log records
    // owners it is the log's, followed by the disk's where that differs: "alice (now bob)".
    std::string Owner;
    // What the disk says now, empty while the entry is not on it: the group, the permissions as
    // ls -l and in octal ("-rw-r--r-- (0644)"), the number of links.
    std::string Group, Permissions, Links;
    // Who owned the entry when it was logged, as the log records it: "root, group staff,
    // -rw-r--r-- (0644)"; a log of the exact format records no owners, and says so.
    std::string Logged;
    bool Exists = false; // the entry the log lists stands on the disk
    bool ReadOnly = false, Compressed = false;
    bool ReadOnlyEnabled = false;   // the owner's write permission can be changed
    bool CompressedEnabled = false; // the file system compresses files on request
    int32_t Unit = 0;
    std::string FileSystem;
    // What the row's "Disk space" shows once the dialog has closed: the log's allocated space,
    // or what the last Apply wrote.
    int64_t ResultingAllocated = 0;

private:
    void TakeDiskFacts(const TFileInfo& onDisk);
    // The entry is no longer on the disk: says so and answers false.
    bool Vanished(TUserInterface& ui);
    std::string SizeWithBytes(int64_t bytes) const;

    TFileSystem* fs_;
    TNetWareLoader* netware_;
    const TLocale* locale_;
};

// A file system type that stores files compressed when asked (FS_COMPR_FL).
bool TakesCompression(const std::string& fileSystemType);

// Load and Apply as a window runs them: what fails is told to the user and answers false.
// Apply goes through the log opened for the change; none (it could not be opened) applies
// nothing.
bool LoadOrTell(TFileProperties& properties, TDirStorage& log, int64_t offset,
                const TRefPathInfo& info, const TFileTypeLookup& types, TUserInterface& ui);
bool ApplyOrTell(TFileProperties& properties, TDirStorage* log, bool readOnly, bool compressed,
                 TUserInterface& ui);

} // namespace vm
