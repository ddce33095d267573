#include "core/DriveInfo.h"

#include <cerrno>
#include <climits>

namespace vm {

namespace {

[[noreturn]] void Raise(const std::string& text, int err)
{
    throw EDriveInfoError(text + " (error " + std::to_string(err) + ")");
}

} // namespace

TDriveInfo::TDriveInfo(const std::string& path, const TMountTable& mounts)
{
    if (IsServerFormPath(path)) {
        uncPath_ = path;
        return;
    }
    const TMount* mount = mounts.Find(path);
    if (!mount)
        Raise("Unable to determine file system type for " + path,
              mounts.LoadError() ? mounts.LoadError() : ENOENT);
    drive_ = mount->MountPoint;
    fileSystemName_ = mount->Type;
    isNetwork_ = IsNetworkFileSystem(mount->Type);
    if (isNetwork_) {
        TNetworkSource source = SplitNetworkSource(mount->Source);
        serverName_ = source.Server;
        shareName_ = source.Share;
        if (!serverName_.empty())
            uncPath_ = "//" + serverName_ + "/" + shareName_;
    }
    clusterSize_ = ClusterRule(path, *mount);
}

int32_t TDriveInfo::ClusterRule(const std::string& path, const TMount& mount) const
{
    if (isNetwork_) {
        bool netWare = mount.Type == "ncpfs" || fileSystemName_.rfind("NW", 0) == 0;
        if (!netWare)
            return 0;
        return shareName_ == "SYS" ? 8192 : 16384;
    }
    if (IsCdFileSystem(mount.Type))
        return 2048;
    // The path itself answers when it exists; otherwise the volume's root.
    int64_t unit = AllocationUnit(path);
    if (unit < 0)
        unit = AllocationUnit(mount.MountPoint);
    if (unit < 0) {
        int err = int(-unit);
        if (err == ENOENT || err == ENOTDIR)
            Raise("Root directory does not exist on file system " + mount.MountPoint, err);
        Raise("Unable to retrieve volume information for file system " + mount.MountPoint, err);
    }
    return unit > INT32_MAX ? INT32_MAX : int32_t(unit);
}

std::string RemoteName(const std::string& path, const TMountTable& mounts)
{
    return mounts.RemoteName(path);
}

} // namespace vm
