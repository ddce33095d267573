// Volumes as the kernel's mount table describes them: which mount holds a path, its file system
// type, whether it is a network file system, the server and share behind a network mount and the
// allocation unit of a local volume. The table is read from /proc/self/mountinfo, or from the
// file named by $VOLUMARK_MOUNTINFO (tests describe their own mounts that way).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

struct TMount
{
    std::string MountPoint; // absolute, without a trailing "/" except for "/" itself
    std::string Root;       // the part of the source file system that is mounted ("/" mostly)
    std::string Type;       // as the kernel names it: ext4, vfat, iso9660, nfs4, cifs ...
    std::string Source;     // the device or "//server/share", "server:/export" ...
    std::string Options;    // the mount's options, then the file system's, comma-separated
};

// The server and share behind a network mount's source; empty when the source names none.
// "//FS1/DATA/sub" gives FS1, DATA and "sub"; "fs1:/export/home" gives fs1, export and "home".
struct TNetworkSource
{
    std::string Server;
    std::string Share;
    std::string Rest; // what the source names below the share, without leading "/"
};
TNetworkSource SplitNetworkSource(const std::string& source);

bool IsNetworkFileSystem(const std::string& type);
bool IsCdFileSystem(const std::string& type); // iso9660 and udf: 2048-byte units

// "//SERVER/SHARE/..." (exactly two slashes, then a name): a path in server form. Such a path
// names no local file: it is looked up in the share list and the mount table only.
bool IsServerFormPath(const std::string& path);

// The absolute path without "." and ".." steps and doubled slashes, with symbolic links resolved
// as far as the path exists; a relative path is taken from the current directory.
std::string ResolvePath(const std::string& path);

class TMountTable
{
public:
    // $VOLUMARK_MOUNTINFO when set, else /proc/self/mountinfo.
    static std::string DefaultSource();
    // Reads the table; an unreadable file gives an empty table and its errno in LoadError().
    static TMountTable Load(const std::string& source = DefaultSource());
    // Parses the mountinfo format; lines that do not parse are skipped.
    static TMountTable Parse(const std::string& text);

    const std::vector<TMount>& Mounts() const { return mounts_; }
    int LoadError() const { return loadError_; }

    // The mount that holds the path (longest mount point that is a whole-component prefix of
    // the resolved path; the last such mount in the table, as later mounts hide earlier ones).
    const TMount* Find(const std::string& path) const;
    // The network mount whose server and share are those of a server-form path (compared without
    // regard to letter case), or null.
    const TMount* FindByServerForm(const std::string& serverPath) const;

    // "//SERVER/SHARE/" with server and share in upper case for a path on a network mount
    // whose source names both; empty otherwise.
    std::string RemoteName(const std::string& path) const;
    // The path in server form: the remote name followed by where the path lies below the share
    // (letter case kept); the path unchanged when it is not on a network mount.
    std::string ServerForm(const std::string& path) const;

    // The type of the mount that holds the path, or empty when the path does not exist. A
    // server-form path gives the type of the network mount of its share, or empty.
    std::string FileSystemName(const std::string& path) const;

private:
    std::vector<TMount> mounts_;
    int loadError_ = 0;
};

// Bytes per allocation unit (statvfs fragment size) of the volume that holds the path; raises
// nothing, returns -errno on failure.
int64_t AllocationUnit(const std::string& path);

// The allocation unit a text gives, as references and the share list store it and users type
// it: a whole number from 1 to 2^31-1 in decimal digits alone (no sign, no blank); nothing for
// any other text ("0", "-512", " 4096", "99999999999").
std::optional<int32_t> ParseAllocUnit(const std::string& text);

} // namespace vm
