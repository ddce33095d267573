// Whether the advisory locks of a file system hold between computers. Programs that share a data
// directory (several servers mounting it, desktops opening it) take their log numbers and change
// Volumark.ini under such locks; where the file system keeps its locks on one computer only, two
// computers could write at once and lose each other's changes, so those writes are refused.
#pragma once

#include <string>

namespace vm {

struct TMount;
class TMountTable;

// Empty when locks taken on the mount are seen by every computer that uses it: a local file
// system, nfs with its lock protocol, cifs with byte-range locks, ceph, glusterfs. Otherwise why
// not, for a message: nfs mounted "nolock" or with local_lock=flock or all, cifs with "nobrl",
// and the network file systems that keep no shared locks (sshfs, 9p, afs, smbfs, ncpfs).
std::string LocalOnlyLocksReason(const TMount& mount);

// The reason for the mount that holds path (a file that does not exist yet lies on the mount of
// its directory), or empty; empty too when the mount table does not know the path.
std::string SharedLockProblem(const std::string& path, const TMountTable& mounts);

// Raises std::runtime_error, naming the file and the reason, when a change of the file at path
// could not be guarded against other computers (SharedLockProblem with the mount table read from
// mountSource, see TMountTable::Load).
void RequireSharedLocks(const std::string& path, const std::string& mountSource);

} // namespace vm
