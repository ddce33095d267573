#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {

std::string ErrorText(int err)
{
    return std::string(std::strerror(err));
}

[[noreturn]] void Fail(const std::string& path, const std::string& what, int err)
{
    throw std::runtime_error("Cannot " + what + " \"" + path + "\": " + ErrorText(err));
}

constexpr char kTemporaryMark[] = ".tmp";

// True for the name ReplaceFileContent gives a temporary of the file named base:
// base + ".tmp" + digits + "-" + digits.
bool IsTemporaryOf(const std::string& name, const std::string& base)
{
    const std::string stem = base + kTemporaryMark;
    if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0)
        return false;
    const std::string rest = name.substr(stem.size());
    const size_t dash = rest.find('-');
    auto digits = [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    return dash != std::string::npos && digits(rest.substr(0, dash)) &&
           digits(rest.substr(dash + 1));
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void WriteAll(int fd, const std::string& data, const std::string& path)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(path, "write", errno);
        done += size_t(n);
    }
}

} // namespace

std::string WriteTarget(const std::string& path)
{
    char buf[PATH_MAX];
    ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    if (n <= 0)
        return path;
    std::string target(buf, size_t(n));
    if (target[0] == '/')
        return target;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
}

// Every writer replaces the file with a rename, so an open descriptor always sees one complete
// version.
std::string ReadFileContent(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        Fail(path, "read", errno);
    }
    std::string content;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int err = errno;
            close(fd);
            Fail(path, "read", err);
        }
        if (n == 0)
            break;
        content.append(buf, size_t(n));
    }
    close(fd);
    return content;
}

void ReplaceFileContent(const std::string& path, const std::string& content)
{
    // A new file gets the usual mode (0666 less the umask, applied by open); a rewritten one
    // keeps its own.
    std::random_device random;
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tmp = path + kTemporaryMark + std::to_string(getpid()) + "-" + std::to_string(random());
        fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        Fail(path, "write", errno);
    try {
        struct stat st;
        if (stat(path.c_str(), &st) == 0)
            fchmod(fd, st.st_mode & 07777);
        WriteAll(fd, content, path);
        if (fsync(fd) != 0)
            Fail(path, "write", errno);
    } catch (...) {
        close(fd);
        unlink(tmp.c_str());
        throw;
    }
    if (close(fd) != 0 || rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        Fail(path, "write", err);
    }
    int dir = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}

int RemoveAbandonedTemporaries(const std::string& path)
{
    const std::string target = WriteTarget(path);
    TFileLock lock(target);
    const std::string dir = DirectoryOf(target);
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return 0;
    int removed = 0;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (IsTemporaryOf(name, base) && unlinkat(dirfd(d), name.c_str(), 0) == 0)
            ++removed;
    }
    closedir(d);
    return removed;
}

TFileLock::TFileLock(const std::string& path)
{
    std::string lockPath = path + ".lock";
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        Fail(path, "lock", errno);
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            int err = errno;
            close(fd_);
            Fail(path, "lock", err);
        }
    }
}

TFileLock::~TFileLock()
{
    close(fd_);
}

} // namespace vm
