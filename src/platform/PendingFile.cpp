#include "platform/PendingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {
constexpr char kPartial[] = ".partial-";
constexpr int kMaxNameTries = 100; // names of dead writers with the same process id

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The durable name of a file also needs its directory on the disk; where that cannot be done
// (a file system without it) the rename has still happened.
void SyncDirectory(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

TPendingFile::TPendingFile(TFileSystem& fs, std::string path, TOnCommit onCommit)
    : fs_(fs), path_(std::move(path)), onCommit_(onCommit)
{
    // Only a file is ever replaced: renaming over a device, a pipe or a directory would destroy
    // it (as root, /dev/null itself).
    struct stat existing = {};
    if (::lstat(path_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISLNK(existing.st_mode))
        throw EFOpenError("Cannot write " + path_ + ": it is not a regular file");
    const std::string dir = DirectoryOf(path_);
    const std::string stem = (dir == "/" ? "/" : dir + "/") + "." + BaseNameOf(path_) + kPartial +
                             std::to_string(::getpid());
    for (int attempt = 0;; ++attempt) {
        temporary_ = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
        try {
            stream_ = fs_.CreateFile(temporary_);
        } catch (const EFOpenError&) {
            // Only a name left by a writer that is gone (with our process id) is passed over.
            TFileInfo info;
            int error = 0;
            if (attempt + 1 >= kMaxNameTries || !fs_.StatPath(temporary_, info, error))
                throw;
            continue;
        }
        if (LockedUnderItsName())
            break;
        // Another instance's start-up repair took the file for an abandoned one in the moment
        // between its creation and the lock, and removed it: this one is made anew.
        stream_.reset();
        if (attempt + 1 >= kMaxNameTries)
            throw EFOpenError("Cannot create file " + temporary_ + ": " + ErrorText(ENOENT));
    }
}

// The lock is held until the file is committed or removed. It is waited for: a repair that found
// the file unlocked holds it for a moment while it looks. Then the name must still lead to this
// file. Without locks (a file system that has none) the file is still written; a repair could
// then take a live writer's temporary for an abandoned one, and that run would fail at its commit
// instead of leaving a false file.
bool TPendingFile::LockedUnderItsName()
{
    const int fd = stream_->Handle();
    int rc;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0)
        return true;
    struct stat own = {};
    TFileInfo named;
    int error = 0;
    return ::fstat(fd, &own) == 0 && fs_.StatPath(temporary_, named, error) &&
           named.Device == static_cast<uint64_t>(own.st_dev) &&
           named.Inode == static_cast<uint64_t>(own.st_ino);
}

TPendingFile::~TPendingFile()
{
    if (!committed_)
        Discard();
}

void TPendingFile::Discard() noexcept
{
    if (!stream_)
        return;
    int error = 0;
    // Removed while the lock is still held, so the repair never sees it without its writer.
    fs_.RemoveFile(temporary_, error);
    stream_.reset();
}

void TPendingFile::Commit()
{
    if (committed_ || !stream_)
        throw EWriteError("The file " + path_ + " was already given its name");
    stream_->Sync();
    int error = 0;
    if (!fs_.RenameFile(temporary_, path_, onCommit_ == TOnCommit::Replace, error))
        throw EWriteError("Cannot give " + temporary_ + " its name " + path_ + ": " +
                          ErrorText(error));
    committed_ = true;
    stream_.reset();
    SyncDirectory(DirectoryOf(path_));
}

bool TPendingFile::IsTemporaryName(const std::string& name)
{
    return name.size() > 1 && name[0] == '.' && name.find(kPartial) != std::string::npos;
}

int TPendingFile::RemoveAbandoned(TFileSystem& fs, const std::string& dir)
{
    std::vector<TFileInfo> entries;
    int error = 0;
    fs.ListPath(dir, entries, error);
    int removed = 0;
    for (const TFileInfo& e : entries) {
        if (!IsTemporaryName(e.Name) || (e.Attributes & (faDirectory | faReparsePoint)))
            continue;
        const std::string path = dir + "/" + e.Name;
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A lock that cannot be had belongs to a writer still at work. One that can is the
        // writer's only when the name still leads to the file locked: a writer that committed
        // meanwhile has given that file another name.
        struct stat locked = {}, named = {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0 &&
            ::lstat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
            locked.st_ino == named.st_ino && fs.RemoveFile(path, error))
            ++removed;
        ::close(fd);
    }
    return removed;
}

} // namespace vm
