#include "platform/FileOwner.h"

#include "platform/Volume.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace vm {

namespace {

// The name a reentrant look-up (getpwuid_r, getgrgid_r) gives an id, with a buffer grown until
// the entry fits; the id in decimal when there is no entry.
template <class Entry, class Lookup, class NameOf>
std::string NameOfId(uint32_t id, Lookup lookup, NameOf nameOf)
{
    std::vector<char> buffer(1024);
    for (;;) {
        Entry entry = {};
        Entry* found = nullptr;
        int error = lookup(id, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (error == 0 && found && nameOf(*found) && *nameOf(*found))
            return nameOf(*found);
        return std::to_string(id);
    }
}

// The id a reentrant look-up by name (getpwnam_r, getgrnam_r) gives, with a buffer grown until the
// entry fits; else the text read as a decimal id.
template <class Entry, class Lookup, class IdOf>
std::optional<uint32_t> IdOfName(const std::string& name, Lookup lookup, IdOf idOf)
{
    if (name.empty())
        return std::nullopt;
    std::vector<char> buffer(1024);
    for (;;) {
        Entry entry = {};
        Entry* found = nullptr;
        int error = lookup(name.c_str(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (error == 0 && found)
            return idOf(*found);
        break;
    }
    uint32_t id = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (ec != std::errc() || end != name.data() + name.size() || id == UINT32_MAX)
        return std::nullopt; // (uid_t)-1 is no one's id
    return id;
}

} // namespace

std::optional<uint32_t> AccountId(const std::string& name)
{
    return IdOfName<struct passwd>(name, ::getpwnam_r,
                                   [](const passwd& p) { return uint32_t(p.pw_uid); });
}

std::optional<uint32_t> GroupId(const std::string& name)
{
    return IdOfName<struct group>(name, ::getgrnam_r,
                                  [](const group& g) { return uint32_t(g.gr_gid); });
}

std::string AccountName(uint32_t uid)
{
    return NameOfId<struct passwd>(uid, ::getpwuid_r, [](const passwd& p) { return p.pw_name; });
}

std::string GroupName(uint32_t gid)
{
    return NameOfId<struct group>(gid, ::getgrgid_r, [](const group& g) { return g.gr_name; });
}

std::string PermissionsText(uint32_t mode)
{
    char kind = '?';
    switch (mode & S_IFMT) {
    case S_IFREG:
        kind = '-';
        break;
    case S_IFDIR:
        kind = 'd';
        break;
    case S_IFLNK:
        kind = 'l';
        break;
    case S_IFIFO:
        kind = 'p';
        break;
    case S_IFSOCK:
        kind = 's';
        break;
    case S_IFCHR:
        kind = 'c';
        break;
    case S_IFBLK:
        kind = 'b';
        break;
    }
    // Each class: read, write, and execute with its special bit (set-id or sticky) in one place.
    auto triple = [mode](unsigned shift, uint32_t special, char withExecute, char without) {
        std::string t;
        t += (mode >> shift) & 4 ? 'r' : '-';
        t += (mode >> shift) & 2 ? 'w' : '-';
        const bool execute = (mode >> shift) & 1;
        t += (mode & special) ? (execute ? withExecute : without) : (execute ? 'x' : '-');
        return t;
    };
    char octal[8];
    std::snprintf(octal, sizeof octal, "%04o", mode & 07777);
    return kind + triple(6, S_ISUID, 's', 'S') + triple(3, S_ISGID, 's', 'S') +
           triple(0, S_ISVTX, 't', 'T') + " (" + octal + ")";
}

std::string FileOwnerName(TFileSystem& fs, TRootedWalker& walker, const std::string& path,
                          const std::string& fileSystem, TNetWareLoader& netware)
{
    if (fileSystem == "NWFS")
        return NetWareFileOwner(netware, TMountTable::Load().ServerForm(path));
    std::string name;
    int error = 0;
    TDirHandle parent = walker.ParentOf(path, name, error);
    TFileInfo info;
    if (parent == kNoDir || !fs.StatAt(parent, name, info, error))
        return {};
    return AccountName(info.Owner);
}

} // namespace vm
