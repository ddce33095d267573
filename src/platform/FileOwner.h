// Who owns a file: the account of the file's owner id, on every file system that keeps owners,
// or on NetWare volumes what the NetWare client says (platform/NetWareOwner.h).
#pragma once

#include "platform/FileSystem.h"
#include "platform/NetWareOwner.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

// The account name of a user id; the id in decimal when no account has it (as ls -l shows it).
std::string AccountName(uint32_t uid);
// The name of a group id; the id in decimal when no group has it.
std::string GroupName(uint32_t gid);
// The other way round, as chown reads an owner: the id of the account (or group) of that name,
// else the text itself when it is a decimal id; nothing for a text that is neither.
std::optional<uint32_t> AccountId(const std::string& name);
std::optional<uint32_t> GroupId(const std::string& name);

// The kind and permissions of a mode as ls -l writes them ("-rw-r--r--", "drwxr-sr-x",
// "-rwsr-xr-x", "drwxrwxrwt"), followed by the permission bits in octal ("-rw-r--r-- (0644)").
std::string PermissionsText(uint32_t mode);

// The owner of the entry at path, reached below the walker's root without following a link, on a
// volume whose file system is fileSystem as the reference store names it: "NWFS" asks the NetWare
// client with the path in server form (and may raise ELoadLibFail), anything else gives the
// account of the entry's owner id. "" when nothing can be found.
std::string FileOwnerName(TFileSystem& fs, TRootedWalker& walker, const std::string& path,
                          const std::string& fileSystem, TNetWareLoader& netware);

} // namespace vm
