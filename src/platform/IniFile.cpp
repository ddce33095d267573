#include "platform/IniFile.h"

#include "platform/IniFileText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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

// Writes go to the file a symbolic link points at; a rename over the link would replace the
// link with a plain file.
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

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Reads the whole file; a missing file reads as empty. Every writer replaces the file with a
// rename, so an open descriptor always sees one complete version.
std::string ReadContent(const std::string& path)
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

// Replaces the file with new content: a temporary file beside it, flushed to disk, then
// renamed over it, so a reader sees the old or the new file and never a part of either.
void ReplaceContent(const std::string& path, const std::string& content)
{
    // A new file gets the usual mode (0666 less the umask, applied by open); a rewritten one
    // keeps its own.
    std::random_device random;
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tmp = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(random());
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

// An exclusive advisory lock on "<file>.lock". The INI file itself cannot carry the lock: each
// write replaces it with a new inode.
class TWriteLock
{
public:
    explicit TWriteLock(const std::string& path)
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
    ~TWriteLock() { close(fd_); }
    TWriteLock(const TWriteLock&) = delete;
    TWriteLock& operator=(const TWriteLock&) = delete;

private:
    int fd_ = -1;
};

// Reads, changes and writes back the file under its lock; nothing is written when the change
// leaves the text as it was (so a delete on a missing file creates nothing).
template <class F> void Modify(const std::string& path, F change)
{
    std::string target = WriteTarget(path);
    TWriteLock lock(target);
    TIniFileText text(ReadContent(target));
    if (change(text))
        ReplaceContent(target, text.Text());
}

bool ParseInteger(const std::string& s, long long& out)
{
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0')
        return false;
    out = v;
    return true;
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    auto v = TIniFileText(ReadContent(path_)).Value(section, key);
    return v ? *v : defaultValue;
}

long long TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                long long defaultValue) const
{
    long long v;
    return ParseInteger(ReadString(section, key, ""), v) ? v : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value)
{
    TIniFileText::CheckWritable(section, key, value);
    Modify(path_, [&](TIniFileText& t) { return t.Set(section, key, value); });
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, long long value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Modify(path_, [&](TIniFileText& t) { return t.Remove(section, key); });
}

void TIniFile::EraseSection(const std::string& section)
{
    Modify(path_, [&](TIniFileText& t) { return t.RemoveSection(section); });
}

bool TIniFile::SectionExists(const std::string& section) const
{
    return TIniFileText(ReadContent(path_)).HasSection(section);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return TIniFileText(ReadContent(path_)).Value(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSections() const
{
    return TIniFileText(ReadContent(path_)).SectionNames();
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const
{
    std::vector<std::string> keys;
    for (auto& kv : ReadSectionValues(section))
        keys.push_back(std::move(kv.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>>
TIniFile::ReadSectionValues(const std::string& section) const
{
    return TIniFileText(ReadContent(path_)).Entries(section);
}

std::vector<std::pair<std::string, TIniFile::TSectionValues>> TIniFile::ReadAll() const
{
    TIniFileText text(ReadContent(path_));
    std::vector<std::pair<std::string, TSectionValues>> all;
    for (std::string& name : text.SectionNames()) {
        TSectionValues values = text.Entries(name);
        all.emplace_back(std::move(name), std::move(values));
    }
    return all;
}

int TIniFile::CountKeys(const std::string& section) const
{
    return int(ReadSectionValues(section).size());
}

long long TIniFile::TakeNumber(const std::string& section, const std::string& key,
                               long long defaultValue)
{
    long long taken = defaultValue;
    Modify(path_, [&](TIniFileText& t) {
        auto v = t.Value(section, key);
        if (v)
            ParseInteger(*v, taken);
        if (taken == LLONG_MAX)
            throw std::runtime_error("Cannot take a number from \"" + path_ + "\" [" + section +
                                     "] " + key + ": the counter is at its end");
        return t.Set(section, key, std::to_string(taken + 1));
    });
    return taken;
}

} // namespace vm
