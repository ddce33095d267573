// The edits of the share list window, without the window: the server list and the share tree
// as plain data, and every change they make to VMVols.ini (add, rename and delete of servers,
// volumes and shares; a server's address and operating system; a volume's own file system and
// allocation unit). The window shows what these return and asks its questions before calling.
#pragma once

#include "platform/IniFile.h"
#include "platform/Volume.h" // ParseAllocUnit

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// One row of the server list: a section of VMVols.ini.
struct TServerItem
{
    std::string Caption; // the section name
    std::string IPAddress;
    std::string OS;
};

enum : int
{
    kVolumeNode = 1, // text "NAME,filesystem,clustersize"
    kShareNode = 2,  // text = the share's key
};

// One node of the share tree: volumes at the root with their shares below them; a share whose
// volume is not listed is a root node of its own.
struct TShareNode
{
    int Data = kShareNode;
    std::string Text;
    std::string Volume; // shares: the volume they lie on (the entry's value)
    std::vector<TShareNode> Children;
};

// The file system a server-form path ("//SERVER/SHARE") reports, or empty when none answers.
using TFileSystemQuery = std::function<std::string(const std::string& serverPath)>;

inline const char* const kNewServerName = "New server";
inline const char* const kNewVolumeName = "NewVolume";
inline const char* const kNewShareName = "New share";
inline const char* const kAllocUnitError = "Allocation units must be 1 or greater!";

// The operating system a menu tag stands for: 1 "Novell netware", 2 "Windows 95/98",
// 3 "Windows NT", 4 "Undefined"; empty for any other tag (the parent item).
std::string OperatingSystemForTag(int tag);
// The operating system that a server's C$ (else SYS) share's file system tells.
std::string OperatingSystemOf(const std::string& server, const TFileSystemQuery& fileSystemOf);
// The cluster size a volume gets by its file system: NTFS 512, FAT 32768, FAT32 4096, NWCompat
// and NWFS 8192, an unknown or empty one 0 (to be set by the user), any other 32768.
int32_t DefaultClusterSize(const std::string& fileSystem);

class TShareListEditor
{
public:
    TShareListEditor(std::string iniPath, TFileSystemQuery fileSystemOf);

    std::vector<TServerItem> Servers() const;
    std::vector<TShareNode> ShareTree(const std::string& server) const;

    // Server list. action "Add", "Edit" or "Delete" (any letter case), kind "Server".
    // "Edit" with a new name that differs (ignoring case) renames the server to the upper-cased
    // name, moving every entry; item.Caption follows. Raises std::runtime_error when the new
    // name is already a server's (that server's entries would be overwritten).
    void UpdateSharesINI(const std::string& action, const std::string& kind,
                         const std::string& newName, TServerItem& item);
    TServerItem AddServer();
    // The end of caption editing: detects the operating system when none is set, then "Edit".
    void ServerCaptionEdited(TServerItem& item, const std::string& text);
    void SetIPAddress(TServerItem& item, const std::string& address);
    // A tag of the operating-system menu; tag 0 (the parent item) changes nothing.
    void SetOperatingSystem(TServerItem& item, int tag);

    // Share tree of one server. action "Add", "Edit" or "Delete", kind "Share"; for "Edit",
    // newText is the node's new text (a volume's with its file system and unit). node.Text
    // follows the change. A rename onto another entry's name raises std::runtime_error.
    void TVUpdateSharesINI(const std::string& action, const std::string& kind,
                           const std::string& newText, TShareNode& node, const std::string& server);
    TShareNode AddVolume(const std::string& server);
    // A share under the volume (or under the volume of the given share).
    TShareNode AddShare(const std::string& server, const TShareNode& selected);
    // The end of node editing: a volume's file system is detected on the server, then "Edit".
    void NodeEdited(const TServerItem& server, TShareNode& node, const std::string& text);
    void ChooseFileSystem(const std::string& server, TShareNode& volume,
                          const std::string& fileSystem);
    void ChooseAllocUnit(const std::string& server, TShareNode& volume, int32_t unit);

private:
    void RenameServer(const std::string& newName, TServerItem& item);
    void RenameEntry(const std::string& server, const std::string& from, const std::string& to,
                     const std::string& value);
    void EditVolume(const std::string& server, TShareNode& node, const std::string& text);

    TIniFile ini_;
    TFileSystemQuery fileSystemOf_;
};

} // namespace vm
