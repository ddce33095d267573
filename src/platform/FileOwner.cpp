#include "platform/FileOwner.h"

#include "platform/Volume.h"

#include <cerrno>
#include <pwd.h>
#include <vector>

namespace vm {

std::string AccountName(uint32_t uid)
{
    std::vector<char> buffer(1024);
    for (;;) {
        struct passwd entry = {};
        struct passwd* found = nullptr;
        int error = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (error == 0 && found && found->pw_name && *found->pw_name)
            return found->pw_name;
        return std::to_string(uid);
    }
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
