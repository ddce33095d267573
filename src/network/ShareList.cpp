#include "network/ShareList.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vm {

namespace {

const char* const kNotListed = "<Unknown>,0";

bool StartsWithDigit(const std::string& s)
{
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// Splits "//server/share/rest" into its three parts (rest without a leading "/").
void SplitServerForm(const std::string& path, std::string& server, std::string& share,
                     std::string& rest)
{
    size_t serverEnd = path.find('/', 2);
    server = path.substr(2, serverEnd == std::string::npos ? std::string::npos : serverEnd - 2);
    share.clear();
    rest.clear();
    if (serverEnd == std::string::npos)
        return;
    size_t shareEnd = path.find('/', serverEnd + 1);
    share = path.substr(serverEnd + 1, shareEnd == std::string::npos ? std::string::npos
                                                                     : shareEnd - serverEnd - 1);
    if (shareEnd != std::string::npos)
        rest = path.substr(shareEnd + 1);
}

} // namespace

TShareList::TShareList(std::string iniPath, std::string mountSource)
    : ini_(std::move(iniPath)), mountSource_(std::move(mountSource))
{
}

std::string TShareList::FindServerByIP(const std::string& address) const
{
    std::string found;
    for (const auto& [server, values] : ini_.ReadAll())
        for (const auto& [key, value] : values)
            if (SameIniName(key, "IPAddress") && value == address)
                found = server;
    return found;
}

std::string TShareList::TranslatePath(const std::string& path) const
{
    if (path.empty() || path[0] != '/')
        return {};
    std::string form = path;
    if (!IsServerFormPath(path)) {
        form = TMountTable::Load(mountSource_).ServerForm(path);
        if (!IsServerFormPath(form))
            return path;
    }
    std::string server, share, rest;
    SplitServerForm(form, server, share, rest);
    if (!StartsWithDigit(server))
        return form;
    std::string named = FindServerByIP(server);
    if (named.empty())
        return form;
    return "//" + named + form.substr(2 + server.size());
}

TShareKey TShareList::ShareKeyOf(const std::string& path) const
{
    if (path.empty() || path[0] != '/')
        return {};
    std::string form = path;
    TMountTable mounts;
    if (!IsServerFormPath(form)) {
        mounts = TMountTable::Load(mountSource_);
        form = mounts.ServerForm(path);
    }
    TShareKey key;
    if (IsServerFormPath(form)) {
        std::string rest;
        SplitServerForm(form, key.Server, key.Share, rest);
        // The list is keyed by server name; an address finds the server that has it.
        if (StartsWithDigit(key.Server) && !ini_.SectionExists(key.Server)) {
            std::string named = FindServerByIP(key.Server);
            if (!named.empty())
                key.Server = named;
        }
        return key;
    }
    std::string resolved = ResolvePath(path);
    const TMount* mount = mounts.Find(resolved);
    key.Server = mount ? mount->MountPoint : "/";
    std::string below = key.Server == "/"
                            ? resolved.substr(1)
                            : resolved.substr(std::min(resolved.size(), key.Server.size() + 1));
    key.Share = below.substr(0, below.find('/'));
    return key;
}

std::string TShareList::VolumeEntry(const std::string& path) const
{
    TShareKey key = ShareKeyOf(path);
    if (key.Server.empty() || key.Share.empty())
        return kNotListed;
    std::string entry = ini_.ReadString(key.Server, key.Share, kNotListed);
    if (entry.find(',') == std::string::npos)
        entry = ini_.ReadString(key.Server, entry, kNotListed);
    return entry;
}

int32_t TShareList::GetShareClusterSize(const std::string& path) const
{
    std::string entry = VolumeEntry(path);
    size_t comma = entry.find(',');
    if (comma == std::string::npos)
        return 0;
    std::string unit = entry.substr(comma + 1);
    unit = unit.substr(0, unit.find(','));
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(unit.c_str(), &end, 10);
    if (errno != 0 || end == unit.c_str() || *end != '\0' || v < 0 || v > INT32_MAX)
        return 0;
    return int32_t(v);
}

std::string TShareList::GetShareFileSystem(const std::string& path) const
{
    std::string entry = VolumeEntry(path);
    size_t comma = entry.find(',');
    if (comma == std::string::npos)
        return kUnknownFileSystem;
    return entry.substr(0, comma);
}

void TShareList::RecordShareCluster(const std::string& path, const std::string& fileSystem,
                                    int32_t clusterSize)
{
    TShareKey key = ShareKeyOf(path);
    if (key.Server.empty() || key.Share.empty())
        return;
    ini_.WriteString(key.Server, key.Share, fileSystem + "," + std::to_string(clusterSize));
}

} // namespace vm
