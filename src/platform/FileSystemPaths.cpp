// The real file system's operations on whole files and directories by path.
#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

bool TFileSystem::ListPath(const std::string& path, std::vector<TFileInfo>& entries, int& error)
{
    entries.clear();
    TDirHandle dir = OpenDirectory(path, error);
    if (dir == kNoDir)
        return false;
    size_t count = 0;
    bool ok = ListDirectory(dir, entries, count, error, {});
    CloseDirectory(dir);
    entries.resize(count);
    return ok;
}

bool TPosixFileSystem::StatPath(const std::string& path, TFileInfo& info, int& error)
{
    size_t slash = path.find_last_of('/');
    info.Name = slash == std::string::npos ? path : path.substr(slash + 1);
    // statx does not follow a final link with AT_SYMLINK_NOFOLLOW: go through the link's target
    // by opening the path itself.
    int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    bool ok = StatRelative(fd, "", info, error);
    ::close(fd);
    return ok;
}

bool TPosixFileSystem::MakeDirectory(const std::string& path, int& error)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    error = errno;
    return false;
}

bool TPosixFileSystem::RemoveFile(const std::string& path, int& error)
{
    if (::unlink(path.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

bool TPosixFileSystem::RemoveDirectory(const std::string& path, int& error)
{
    if (::rmdir(path.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

bool TPosixFileSystem::RenameFile(const std::string& from, const std::string& to, bool replace,
                                  int& error)
{
    if (replace ? ::rename(from.c_str(), to.c_str()) == 0
                : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    error = errno;
    if (replace || (error != EINVAL && error != ENOSYS))
        return false;
    // A file system without RENAME_NOREPLACE: a hard link fails on an existing name just as well.
    if (::link(from.c_str(), to.c_str()) != 0) {
        error = errno;
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

std::unique_ptr<TFileStream> TPosixFileSystem::CreateFile(const std::string& path)
{
    return std::make_unique<TFileStream>(path, TFileMode::CreateExclusive);
}

} // namespace vm
