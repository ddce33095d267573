// The volume facts that logging needs for a path: the allocation unit (cluster size) that
// allocated sizes are counted in, the file system name, and whether the volume is a network
// mount with the server and share behind it. A unit of 0 means "not found": callers then fall
// back on the network share list.
#pragma once

#include "platform/Volume.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vm {

// Raised by TDriveInfo; the message ends with " (error " + errno + ")".
class EDriveInfoError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TDriveInfo
{
public:
    // Fills every field from the mount table or raises EDriveInfoError. A server-form path
    // ("//SERVER/SHARE/...") asks no volume at all: cluster size 0, empty file system name.
    TDriveInfo(const std::string& path, const TMountTable& mounts);
    explicit TDriveInfo(const std::string& path) : TDriveInfo(path, TMountTable::Load()) {}

    // Mount point of the volume that holds the path (the "drive"); empty for a server-form path.
    const std::string& Drive() const { return drive_; }
    // The file system type as the kernel names it; empty for a server-form path.
    const std::string& FileSystemName() const { return fileSystemName_; }
    // Always true: Linux has one family of volume interfaces.
    bool IsNT() const { return true; }
    bool IsNetwork() const { return isNetwork_; }
    int32_t ClusterSize() const { return clusterSize_; }
    // The path itself for a server-form path; "//SERVER/SHARE" (as the mount names them) for a
    // network mount; empty otherwise.
    const std::string& UncPath() const { return uncPath_; }
    // Server and share of a network mount (empty when its source names none).
    const std::string& ServerName() const { return serverName_; }
    const std::string& ShareName() const { return shareName_; }

private:
    int32_t ClusterRule(const std::string& path, const TMount& mount) const;

    std::string drive_;
    std::string fileSystemName_;
    bool isNetwork_ = false;
    int32_t clusterSize_ = 0;
    std::string uncPath_;
    std::string serverName_;
    std::string shareName_;
};

// "//SERVER/SHARE/" in upper case when the path lies on a network mount, else empty. Never raises.
std::string RemoteName(const std::string& path, const TMountTable& mounts);

} // namespace vm
