#include "platform/FileCopy.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vm {

namespace {

// A descriptor closed on every way out.
class TFd
{
public:
    explicit TFd(int fd = -1) : fd_(fd) {}
    ~TFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fd_; }
    // Closes now, reporting what close reports (a late write error of a network file system).
    bool Close(int& error)
    {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) == 0)
            return true;
        error = errno;
        return false;
    }

private:
    int fd_;
};

// Copies by read and write in blocks: for file systems that copy_file_range cannot join.
bool CopyByBlocks(int in, int out, int& error)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (got == 0)
            return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer.data() + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                return false;
            }
            done += put;
        }
    }
}

bool CopyContent(int in, int out, int& error)
{
    for (bool first = true;; first = false) {
        ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n > 0)
            continue;
        if (n == 0)
            return true;
        if (errno == EINTR)
            continue;
        // Nothing has moved yet: the kernel cannot copy between these two, so the bytes go
        // through a buffer.
        if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                      errno == EBADF))
            return CopyByBlocks(in, out, error);
        error = errno;
        return false;
    }
}

std::string TemporaryName()
{
    static std::atomic<unsigned> counter{0};
    return ".vmcopy-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

} // namespace

bool CopyRegularFileAt(int fromDir, const std::string& fromName, int toDir,
                       const std::string& toName, int& error)
{
    // O_NONBLOCK: opening a fifo must not wait for a writer before it can be refused.
    TFd in(::openat(fromDir, fromName.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.Get() < 0) {
        error = errno;
        return false;
    }
    struct stat source = {};
    if (::fstat(in.Get(), &source) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(source.st_mode)) {
        error = EINVAL;
        return false;
    }
    struct stat target = {};
    const bool replacing = ::fstatat(toDir, toName.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && target.st_dev == source.st_dev && target.st_ino == source.st_ino) {
        error = EINVAL;
        return false;
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = TemporaryName();
        fd = ::openat(toDir, temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            error = errno;
            return false;
        }
    }
    if (fd < 0) {
        error = EEXIST;
        return false;
    }
    TFd out(fd);
    bool ok = CopyContent(in.Get(), out.Get(), error) &&
              (::fchmod(out.Get(), source.st_mode & 0777) == 0 || (error = errno, false));
    // An existing file is only replaced by bytes that have reached the disk.
    if (ok && replacing && ::fdatasync(out.Get()) != 0) {
        error = errno;
        ok = false;
    }
    int closeError = 0;
    if (!out.Close(closeError) && ok) {
        error = closeError;
        ok = false;
    }
    if (ok && ::renameat(toDir, temporary.c_str(), toDir, toName.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok)
        ::unlinkat(toDir, temporary.c_str(), 0);
    return ok;
}

} // namespace vm
