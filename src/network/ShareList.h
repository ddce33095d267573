// The network share list (VMVols.ini): servers as sections, with their IP address, operating
// system, volumes (VOLUME=filesystem,clustersize) and shares (SHARE=VOLUME). It gives the
// cluster size and file system of paths whose volumes cannot report them, and records units the
// user chose. Nothing is cached: every call reads the file (and the mount table) anew.
#pragma once

#include "platform/IniFile.h"
#include "platform/Volume.h"

#include <cstdint>
#include <string>

namespace vm {

// What a lookup answers for a share, volume or server that is not listed.
inline const char* const kUnknownFileSystem = "<Unknown>";

// Where a path is listed: the section (server) and the key (share or volume).
struct TShareKey
{
    std::string Server;
    std::string Share;
};

class TShareList
{
public:
    // mountSource: the mountinfo file that tells which paths lie on network mounts.
    explicit TShareList(std::string iniPath,
                        std::string mountSource = TMountTable::DefaultSource());

    const std::string& FileName() const { return ini_.FileName(); }
    const std::string& MountSource() const { return mountSource_; }

    // The server whose IPAddress is exactly address (the last one in file order), or empty.
    std::string FindServerByIP(const std::string& address) const;

    // The server form of a path: a path on a network mount becomes //SERVER/SHARE/rest, a
    // server given by an IP address listed here becomes that server's name; a local path that
    // is on no network mount comes back unchanged; an empty or relative path gives empty.
    std::string TranslatePath(const std::string& path) const;

    // The listed section and key of a path. A server-form path (or a local path on a network
    // mount, through its server form) gives its server and share. Another local path gives the
    // mount point of its volume and the first directory below it: this is the "drive" of a
    // local path. A relative path or a volume root gives an empty share.
    TShareKey ShareKeyOf(const std::string& path) const;

    // The cluster size listed for the path's share (through the volume it lies on), 0 when the
    // share is not listed or its size is not a number.
    int32_t GetShareClusterSize(const std::string& path) const;
    // The file system listed for the path's share, kUnknownFileSystem when it is not listed.
    std::string GetShareFileSystem(const std::string& path) const;
    // Lists the path's share as a volume with this file system and unit. A volume root or a
    // bare server writes nothing. Raises std::runtime_error when the file cannot be written.
    void RecordShareCluster(const std::string& path, const std::string& fileSystem,
                            int32_t clusterSize);

private:
    // The entry of the share, followed once to its volume: "filesystem,clustersize".
    std::string VolumeEntry(const std::string& path) const;

    TIniFile ini_;
    std::string mountSource_;
};

} // namespace vm
