#include "platform/SharedLocks.h"

#include "platform/Volume.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace vm {

namespace {

std::vector<std::string> OptionList(const std::string& options)
{
    std::vector<std::string> list;
    std::istringstream in(options);
    for (std::string option; std::getline(in, option, ',');)
        list.push_back(option);
    return list;
}

// The first of the options that the mount carries, or empty.
std::string FirstOption(const TMount& mount, std::initializer_list<const char*> wanted)
{
    for (const std::string& option : OptionList(mount.Options))
        for (const char* w : wanted)
            if (option == w)
                return option;
    return {};
}

std::string Where(const TMount& mount)
{
    return "the " + mount.Type + " file system at " + mount.MountPoint;
}

} // namespace

std::string LocalOnlyLocksReason(const TMount& mount)
{
    const std::string& type = mount.Type;
    if (!IsNetworkFileSystem(type))
        return {};
    if (type == "nfs" || type == "nfs4") {
        // Without the lock protocol the client grants flock locks by itself.
        const std::string local =
            FirstOption(mount, {"nolock", "local_lock=all", "local_lock=flock"});
        if (local.empty())
            return {};
        return Where(mount) + " is mounted with " + local +
               ", so its locks are seen on this computer only";
    }
    if (type == "cifs" || type == "smb3") {
        if (FirstOption(mount, {"nobrl"}).empty())
            return {};
        return Where(mount) + " is mounted with nobrl, so its locks are seen on this computer only";
    }
    if (type == "ceph" || type == "glusterfs" || type == "fuse.glusterfs")
        return {};
    return Where(mount) + " keeps no locks between computers";
}

std::string SharedLockProblem(const std::string& path, const TMountTable& mounts)
{
    const TMount* mount = mounts.Find(path);
    return mount ? LocalOnlyLocksReason(*mount) : std::string();
}

void RequireSharedLocks(const std::string& path, const std::string& mountSource)
{
    const std::string problem = SharedLockProblem(path, TMountTable::Load(mountSource));
    if (!problem.empty())
        throw std::runtime_error("Volumark will not change \"" + path + "\": " + problem +
                                 ", and another computer could change it at the same time");
}

} // namespace vm
