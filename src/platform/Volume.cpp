#include "platform/Volume.h"
#include "platform/AsciiCase.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace vm {

namespace {

std::string Upper(const std::string& s)
{
    return AsciiUpperCase(s);
}

bool SameText(const std::string& a, const std::string& b)
{
    return SameTextIgnoringCase(a, b);
}

std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '/'))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

std::string JoinAbsolute(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

// mountinfo writes blanks, tabs, line breaks and backslashes in names as \ooo.
std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const char* d = s.c_str() + i + 1;
            if (d[0] >= '0' && d[0] <= '3' && d[1] >= '0' && d[1] <= '7' && d[2] >= '0' &&
                d[2] <= '7') {
                out += char((d[0] - '0') * 64 + (d[1] - '0') * 8 + (d[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::string TrimSlashes(const std::string& s)
{
    size_t b = s.find_first_not_of('/');
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of('/');
    return s.substr(b, e - b + 1);
}

// Splits "a/b/c" into its first component and the rest.
std::pair<std::string, std::string> FirstComponent(const std::string& s)
{
    std::string t = TrimSlashes(s);
    size_t slash = t.find('/');
    if (slash == std::string::npos)
        return {t, {}};
    return {t.substr(0, slash), TrimSlashes(t.substr(slash + 1))};
}

std::string JoinRelative(const std::string& a, const std::string& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return a + "/" + b;
}

bool IsPrefixMount(const std::string& mountPoint, const std::string& path)
{
    if (mountPoint == "/")
        return true;
    return path == mountPoint ||
           (path.size() > mountPoint.size() &&
            path.compare(0, mountPoint.size(), mountPoint) == 0 && path[mountPoint.size()] == '/');
}

} // namespace

TNetworkSource SplitNetworkSource(const std::string& source)
{
    TNetworkSource result;
    std::string location;
    if (source.size() > 2 && source[0] == '/' && source[1] == '/') {
        auto [server, rest] = FirstComponent(source.substr(2));
        result.Server = server;
        location = rest;
    } else if (size_t colon = source.find(":/"); colon != std::string::npos && colon > 0) {
        // server:/export as nfs, glusterfs, sshfs (user@host:/path) and ceph write it.
        std::string server = source.substr(0, colon);
        if (size_t at = server.rfind('@'); at != std::string::npos)
            server = server.substr(at + 1);
        if (server.size() > 2 && server.front() == '[' && server.back() == ']')
            server = server.substr(1, server.size() - 2);
        result.Server = server;
        location = source.substr(colon + 1);
    } else if (source.find('/') != std::string::npos) {
        // SERVER/VOLUME as NetWare mounts name themselves.
        auto [server, rest] = FirstComponent(source);
        result.Server = server;
        location = rest;
    }
    auto [share, rest] = FirstComponent(location);
    result.Share = share;
    result.Rest = rest;
    if (result.Server.empty() || result.Share.empty())
        return {};
    return result;
}

bool IsNetworkFileSystem(const std::string& type)
{
    static const char* const kNetwork[] = {"nfs", "nfs4", "cifs", "smb3",      "smbfs",     "ncpfs",
                                           "9p",  "afs",  "ceph", "glusterfs", "fuse.sshfs"};
    for (const char* t : kNetwork)
        if (type == t)
            return true;
    return false;
}

bool IsCdFileSystem(const std::string& type)
{
    return type == "iso9660" || type == "udf";
}

bool IsServerFormPath(const std::string& path)
{
    return path.size() > 2 && path[0] == '/' && path[1] == '/' && path[2] != '/';
}

std::string ResolvePath(const std::string& path)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[PATH_MAX];
        absolute = std::string(getcwd(cwd, sizeof cwd) ? cwd : "/") + "/" + absolute;
    }
    std::vector<std::string> parts = Components(absolute);
    // Resolve the longest part that exists; the steps below it are applied by their names.
    for (size_t keep = parts.size() + 1; keep-- > 0;) {
        std::vector<std::string> head(parts.begin(), parts.begin() + keep);
        char buf[PATH_MAX];
        if (!realpath(JoinAbsolute(head).c_str(), buf))
            continue;
        std::vector<std::string> result = Components(buf);
        for (size_t i = keep; i < parts.size(); ++i) {
            if (parts[i] == "..") {
                if (!result.empty())
                    result.pop_back();
            } else if (parts[i] != ".") {
                result.push_back(parts[i]);
            }
        }
        return JoinAbsolute(result);
    }
    return JoinAbsolute(parts);
}

std::string TMountTable::DefaultSource()
{
    const char* env = std::getenv("VOLUMARK_MOUNTINFO");
    return (env && *env) ? env : "/proc/self/mountinfo";
}

TMountTable TMountTable::Load(const std::string& source)
{
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        TMountTable empty;
        empty.loadError_ = errno ? errno : ENOENT;
        return empty;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

TMountTable TMountTable::Parse(const std::string& text)
{
    // id parent major:minor root mount-point options [optional fields] - type source super-options
    TMountTable table;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        std::string field;
        while (fields >> field)
            f.push_back(field);
        size_t dash = 6;
        while (dash < f.size() && f[dash] != "-")
            ++dash;
        if (f.size() < 6 || dash + 1 >= f.size())
            continue;
        TMount m;
        m.Root = Unescape(f[3]);
        m.MountPoint = Unescape(f[4]);
        m.Type = Unescape(f[dash + 1]);
        m.Source = dash + 2 < f.size() ? Unescape(f[dash + 2]) : std::string();
        m.Options = Unescape(f[5]);
        if (dash + 3 < f.size())
            m.Options += "," + Unescape(f[dash + 3]);
        if (m.MountPoint.empty() || m.MountPoint[0] != '/')
            continue;
        m.MountPoint = JoinAbsolute(Components(m.MountPoint));
        table.mounts_.push_back(std::move(m));
    }
    return table;
}

const TMount* TMountTable::Find(const std::string& path) const
{
    std::string resolved = ResolvePath(path);
    const TMount* best = nullptr;
    for (const TMount& m : mounts_)
        if (IsPrefixMount(m.MountPoint, resolved) &&
            (!best || m.MountPoint.size() >= best->MountPoint.size()))
            best = &m;
    return best;
}

const TMount* TMountTable::FindByServerForm(const std::string& serverPath) const
{
    if (!IsServerFormPath(serverPath))
        return nullptr;
    auto [server, rest] = FirstComponent(serverPath.substr(2));
    std::string share = FirstComponent(rest).first;
    const TMount* found = nullptr;
    for (const TMount& m : mounts_) {
        if (!IsNetworkFileSystem(m.Type))
            continue;
        TNetworkSource s = SplitNetworkSource(m.Source);
        if (!SameText(s.Server, server) || !SameText(s.Share, share))
            continue;
        // A mount of the whole share is the better answer than one of a directory in it.
        if (!found || s.Rest.empty())
            found = &m;
        if (s.Rest.empty())
            break;
    }
    return found;
}

std::string TMountTable::RemoteName(const std::string& path) const
{
    const TMount* m = Find(path);
    if (!m || !IsNetworkFileSystem(m->Type))
        return {};
    TNetworkSource s = SplitNetworkSource(m->Source);
    if (s.Server.empty())
        return {};
    return "//" + Upper(s.Server) + "/" + Upper(s.Share) + "/";
}

std::string TMountTable::ServerForm(const std::string& path) const
{
    if (IsServerFormPath(path))
        return path;
    const TMount* m = Find(path);
    if (!m || !IsNetworkFileSystem(m->Type))
        return path;
    TNetworkSource s = SplitNetworkSource(m->Source);
    if (s.Server.empty())
        return path;
    std::string resolved = ResolvePath(path);
    std::string below = m->MountPoint == "/" ? resolved : resolved.substr(m->MountPoint.size());
    std::string rest = JoinRelative(s.Rest, TrimSlashes(below));
    std::string result = "//" + Upper(s.Server) + "/" + Upper(s.Share) + "/" + rest;
    if (!rest.empty() && !path.empty() && path.back() == '/')
        result += "/";
    return result;
}

std::string TMountTable::FileSystemName(const std::string& path) const
{
    if (IsServerFormPath(path)) {
        const TMount* m = FindByServerForm(path);
        return m ? m->Type : std::string();
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return {};
    const TMount* m = Find(path);
    return m ? m->Type : std::string();
}

int64_t AllocationUnit(const std::string& path)
{
    struct statvfs sv;
    if (statvfs(path.c_str(), &sv) != 0)
        return -int64_t(errno);
    return int64_t(sv.f_frsize ? sv.f_frsize : sv.f_bsize);
}

std::optional<int32_t> ParseAllocUnit(const std::string& text)
{
    int32_t unit = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), unit);
    if (text.empty() || text[0] < '0' || text[0] > '9' || ec != std::errc() ||
        end != text.data() + text.size() || unit < 1)
        return std::nullopt;
    return unit;
}

} // namespace vm
