#include "platform/FileSystem.h"

#include "platform/FileCopy.h"
#include "platform/LocalClock.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vm {

uint32_t AttributesOf(const std::string& name, unsigned mode, int64_t size, int64_t onDisk,
                      bool compressed)
{
    uint32_t a = 0;
    switch (mode & S_IFMT) {
    case S_IFDIR:
        a |= faDirectory;
        break;
    case S_IFLNK:
        a |= faReparsePoint;
        break;
    case S_IFCHR:
    case S_IFBLK:
    case S_IFIFO:
    case S_IFSOCK:
        a |= faSystem;
        break;
    case S_IFREG:
        if (onDisk < size)
            a |= faSparse;
        break;
    default:
        break;
    }
    // A symbolic link's own permissions are always 0777 and mean nothing.
    if ((mode & S_IFMT) != S_IFLNK && !(mode & S_IWUSR))
        a |= faReadOnly;
    if (!name.empty() && name[0] == '.')
        a |= faHidden;
    if (compressed)
        a |= faCompressed;
    if ((mode & S_IFMT) == S_IFREG && a == 0)
        a = faNormal;
    return a;
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

TPosixFileSystem::TPosixFileSystem() : clock_(std::make_unique<TLocalClock>()) {}
TPosixFileSystem::~TPosixFileSystem() = default;

namespace {
constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME | STATX_MNT_ID;

bool IsDotOrDotDot(const char* n)
{
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}
} // namespace

bool TPosixFileSystem::StatRelative(int dirFd, const char* name, TFileInfo& info, int& error)
{
    struct statx sx = {};
    int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_SYNC_AS_STAT;
    if (name[0] == 0)
        flags |= AT_EMPTY_PATH;
    if (::statx(dirFd, name, flags, kStatxMask, &sx) != 0) {
        error = errno;
        return false;
    }
    auto local = [this](const struct statx_timestamp& ts) {
        return TFileTime{clock_->LocalSeconds(ts.tv_sec), static_cast<int32_t>(ts.tv_nsec),
                         static_cast<int64_t>(ts.tv_sec)};
    };
    info.Size = static_cast<int64_t>(sx.stx_size);
    info.OnDisk = static_cast<int64_t>(sx.stx_blocks) * 512;
    bool compressed = (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_COMPRESSED) != 0;
    info.Attributes = AttributesOf(info.Name, sx.stx_mode, info.Size, info.OnDisk, compressed);
    info.Modified = local(sx.stx_mtime);
    info.Accessed = local(sx.stx_atime);
    // A birth time of 0 is one the file system never recorded (files of some images, inodes too
    // small to hold one): it has none for that file, as a file system without birth times.
    const bool born = (sx.stx_mask & STATX_BTIME) && (sx.stx_btime.tv_sec | sx.stx_btime.tv_nsec);
    info.Created = born ? local(sx.stx_btime) : info.Modified;
    info.Device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    info.Inode = sx.stx_ino;
    info.MountId = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
    info.Links = sx.stx_nlink;
    info.Owner = sx.stx_uid;
    info.Group = sx.stx_gid;
    info.Mode = sx.stx_mode;
    return true;
}

TDirHandle TPosixFileSystem::OpenDirectory(const std::string& path, int& error)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        error = errno;
    return fd < 0 ? kNoDir : fd;
}

TDirHandle TPosixFileSystem::OpenDirectoryAt(TDirHandle dir, const std::string& name, int& error)
{
    int fd = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        error = errno;
    return fd < 0 ? kNoDir : fd;
}

void TPosixFileSystem::CloseDirectory(TDirHandle dir)
{
    if (dir >= 0)
        ::close(dir);
}

bool TPosixFileSystem::StatDirectory(TDirHandle dir, TFileInfo& info, int& error)
{
    info.Name.clear();
    return StatRelative(dir, "", info, error);
}

bool TPosixFileSystem::ListDirectory(TDirHandle dir, std::vector<TFileInfo>& entries, size_t& count,
                                     int& error, std::stop_token stop)
{
    count = 0;
    int unseen = 0; // why an entry could not be looked at, for the first one
    alignas(8) char buffer[32 * 1024];
    for (;;) {
        if (stop.stop_requested()) {
            error = ECANCELED;
            return false;
        }
        ssize_t n = ::getdents64(dir, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = unseen;
            return unseen == 0;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += d->d_reclen;
            if (IsDotOrDotDot(d->d_name))
                continue;
            if (stop.stop_requested()) {
                error = ECANCELED;
                return false;
            }
            if (count == entries.size())
                entries.emplace_back();
            TFileInfo& e = entries[count];
            e.Name.assign(d->d_name);
            int statError = 0;
            // An entry that vanished since the directory was read is simply gone. One that is
            // there but cannot be looked at (a directory that lets us read names but not search
            // it) leaves the listing incomplete, which the caller reports.
            if (StatRelative(dir, d->d_name, e, statError))
                ++count;
            else if (statError != ENOENT && unseen == 0)
                unseen = statError;
        }
    }
}

bool TPosixFileSystem::StatAt(TDirHandle dir, const std::string& name, TFileInfo& info, int& error)
{
    info.Name = name;
    return StatRelative(dir, name.c_str(), info, error);
}

int TPosixFileSystem::FindExact(const std::string& path, TFileInfo& first)
{
    size_t slash = path.find_last_of('/');
    first.Name = slash == std::string::npos ? path : path.substr(slash + 1);
    int error = 0;
    if (path.empty())
        return 0;
    return StatRelative(AT_FDCWD, path.c_str(), first, error) ? 1 : 0;
}

bool TPosixFileSystem::RemoveAt(TDirHandle dir, const std::string& name, bool directory, int& error)
{
    if (::unlinkat(dir, name.c_str(), directory ? AT_REMOVEDIR : 0) == 0)
        return true;
    error = errno;
    return false;
}

bool TPosixFileSystem::SetReadOnlyAt(TDirHandle dir, const std::string& name, bool readOnly,
                                     int& error)
{
    struct stat st = {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        error = ELOOP;
        return false;
    }
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? mode & ~static_cast<mode_t>(S_IWUSR) : mode | S_IWUSR;
    if (::fchmodat(dir, name.c_str(), mode, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool TPosixFileSystem::SetCompressedAt(TDirHandle dir, const std::string& name, bool compressed,
                                       int& error)
{
    int fd = ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = compressed ? flags | FS_COMPR_FL : flags & ~FS_COMPR_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!ok)
        error = errno;
    ::close(fd);
    return ok;
}

bool TPosixFileSystem::MakeDirectoryAt(TDirHandle dir, const std::string& name, int& error)
{
    if (::mkdirat(dir, name.c_str(), 0777) == 0)
        return true;
    error = errno;
    return false;
}

bool TPosixFileSystem::CopyFileAt(TDirHandle fromDir, const std::string& fromName, TDirHandle toDir,
                                  const std::string& toName, int& error)
{
    return CopyRegularFileAt(fromDir, fromName, toDir, toName, error);
}

// ---- TRootedWalker ----------------------------------------------------------------------------

TRootedWalker::TRootedWalker(TFileSystem& fs, std::string root) : fs_(fs), root_(std::move(root)) {}

TRootedWalker::~TRootedWalker()
{
    CloseFrom(0);
    fs_.CloseDirectory(rootParent_);
}

void TRootedWalker::CloseFrom(size_t depth)
{
    while (handles_.size() > depth) {
        fs_.CloseDirectory(handles_.back());
        handles_.pop_back();
        names_.pop_back();
    }
}

TDirHandle TRootedWalker::ParentOf(const std::string& path, std::string& name, int& error,
                                   bool create)
{
    std::string rest;
    if (path == root_ || (root_.empty() && path == "/")) {
        // The root itself: its parent is reached by its path, as the user gave it.
        size_t slash = root_.find_last_of('/');
        if (root_.empty() || slash == std::string::npos || slash + 1 == root_.size()) {
            error = EBUSY;
            return kNoDir;
        }
        name = root_.substr(slash + 1);
        if (rootParent_ == kNoDir)
            rootParent_ = fs_.OpenDirectory(slash == 0 ? "/" : root_.substr(0, slash), error);
        return rootParent_;
    }
    if (path.size() <= root_.size() + 1 || path.compare(0, root_.size(), root_) != 0 ||
        path[root_.size()] != '/') {
        error = EINVAL;
        return kNoDir;
    }
    rest = path.substr(root_.size() + 1);

    std::vector<std::string> parts;
    for (size_t at = 0;;) {
        size_t slash = rest.find('/', at);
        std::string part =
            rest.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        // "." and ".." would lead out of the tree; an empty part is no name at all.
        if (part.empty() || part == "." || part == "..") {
            error = EINVAL;
            return kNoDir;
        }
        parts.push_back(std::move(part));
        if (slash == std::string::npos)
            break;
        at = slash + 1;
    }
    name = parts.back();
    parts.pop_back();

    if (handles_.empty()) {
        TDirHandle r = fs_.OpenDirectory(root_.empty() ? "/" : root_, error);
        if (r == kNoDir)
            return kNoDir;
        handles_.push_back(r);
        names_.emplace_back();
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < handles_.size() && names_[i + 1] == parts[i])
            continue;
        CloseFrom(i + 1);
        TDirHandle h = fs_.OpenDirectoryAt(handles_[i], parts[i], error);
        if (h == kNoDir && create && error == ENOENT &&
            (fs_.MakeDirectoryAt(handles_[i], parts[i], error) || error == EEXIST))
            h = fs_.OpenDirectoryAt(handles_[i], parts[i], error);
        if (h == kNoDir)
            return kNoDir;
        handles_.push_back(h);
        names_.push_back(parts[i]);
    }
    CloseFrom(parts.size() + 1);
    return handles_[parts.size()];
}

} // namespace vm
