#include "platform/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {
std::string ErrnoText(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}
} // namespace

void TStream::ReadBuffer(void* buffer, int64_t n)
{
    if (Read(buffer, n) != n)
        throw EReadError("Stream read error");
}

// ---- TFileStream ------------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& path, TFileMode mode, size_t bufferSize)
    : path_(path), capacity_(std::max<size_t>(bufferSize, 4096))
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case TFileMode::Create:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case TFileMode::CreateExclusive:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    case TFileMode::OpenRead:
        flags |= O_RDONLY;
        break;
    case TFileMode::OpenReadWrite:
        flags |= O_RDWR;
        break;
    }
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) {
        int err = errno;
        bool creating = mode == TFileMode::Create || mode == TFileMode::CreateExclusive;
        throw EFOpenError(
            ErrnoText(creating ? "Cannot create file" : "Cannot open file", path, err));
    }
    struct stat st
    {
    };
    if (::fstat(fd_, &st) == 0)
        size_ = st.st_size;
    buf_.resize(capacity_);
}

TFileStream::~TFileStream()
{
    try {
        FlushWindow();
    } catch (...) {
        // The owner had its chance with Flush(); a destructor cannot report.
    }
    if (fd_ >= 0)
        ::close(fd_);
}

void TFileStream::PRead(void* buffer, int64_t n, int64_t at, int64_t& got)
{
    got = 0;
    auto* p = static_cast<uint8_t*>(buffer);
    while (got < n) {
        ssize_t r = ::pread(fd_, p + got, static_cast<size_t>(n - got), at + got);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(ErrnoText("Cannot read", path_, errno));
        }
        if (r == 0)
            break;
        got += r;
    }
    // Callers ask only for bytes below the logical size. Bytes the file does not hold yet lie
    // between its end on disk and a window of appends further on: they read as zeros, as the
    // gap will be once the window is written.
    if (got < n) {
        std::memset(p + got, 0, static_cast<size_t>(n - got));
        got = n;
    }
}

void TFileStream::PWrite(const void* buffer, int64_t n, int64_t at)
{
    const auto* p = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < n) {
        ssize_t r = ::pwrite(fd_, p + done, static_cast<size_t>(n - done), at + done);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw EWriteError(ErrnoText("Cannot write", path_, errno));
        }
        done += r;
    }
}

void TFileStream::FlushWindow()
{
    if (dirty_ && bufLen_ > 0) {
        dirty_ = false; // a failed write is reported once; the bytes are lost either way
        PWrite(buf_.data(), bufLen_, bufStart_);
    }
    dirty_ = false;
}

void TFileStream::Flush()
{
    FlushWindow();
}

bool TFileStream::IsNamedBy(const std::string& path) const
{
    struct stat named = {}, open = {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(fd_, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

void TFileStream::Sync()
{
    Flush();
    if (::fsync(fd_) != 0)
        throw EWriteError(ErrnoText("Cannot write", path_, errno));
}

void TFileStream::Reload()
{
    FlushWindow();
    bufLen_ = 0;
    struct stat st = {};
    if (::fstat(fd_, &st) != 0)
        throw EReadError(ErrnoText("Cannot read", path_, errno));
    size_ = st.st_size;
}

void TFileStream::LoadWindow(int64_t at)
{
    FlushWindow();
    bufStart_ = at;
    bufLen_ = 0;
    int64_t want =
        std::min<int64_t>(static_cast<int64_t>(capacity_), std::max<int64_t>(size_ - at, 0));
    if (want > 0) {
        int64_t got = 0;
        PRead(buf_.data(), want, at, got);
        bufLen_ = got;
    }
}

int64_t TFileStream::Read(void* buffer, int64_t n)
{
    int64_t got = ReadAt(pos_, buffer, n);
    pos_ += got;
    return got;
}

int64_t TFileStream::ReadAt(int64_t at, void* buffer, int64_t n)
{
    if (n <= 0 || at < 0 || at >= size_)
        return 0;
    n = std::min(n, size_ - at);
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t bufEnd = bufStart_ + bufLen_;
    if (at >= bufStart_ && at + n <= bufEnd) {
        std::memcpy(out, buf_.data() + (at - bufStart_), static_cast<size_t>(n));
        return n;
    }
    bool overlaps = at < bufEnd && at + n > bufStart_;
    if (n >= static_cast<int64_t>(capacity_) || (dirty_ && !overlaps)) {
        // Large reads, and small far reads while the window holds unwritten appends, go
        // straight to the file so that the window stays where the writer works.
        if (overlaps)
            FlushWindow();
        int64_t got = 0;
        PRead(out, n, at, got);
        return got;
    }
    LoadWindow(at);
    int64_t take = std::min(n, bufLen_);
    std::memcpy(out, buf_.data(), static_cast<size_t>(take));
    return take;
}

void TFileStream::Write(const void* buffer, int64_t n)
{
    if (n <= 0)
        return;
    const auto* in = static_cast<const uint8_t*>(buffer);
    int64_t cap = static_cast<int64_t>(capacity_);
    if (bufLen_ == 0) {
        FlushWindow();
        bufStart_ = pos_;
    }
    int64_t bufEnd = bufStart_ + bufLen_;
    // A write that starts inside the window (or at its end) and fits it: the window covers every
    // byte between its start and the write's end, so no stale bytes can come between.
    if (pos_ >= bufStart_ && pos_ <= bufEnd && pos_ + n <= bufStart_ + cap) {
        std::memcpy(buf_.data() + (pos_ - bufStart_), in, static_cast<size_t>(n));
        bufLen_ = std::max(bufLen_, pos_ + n - bufStart_);
        dirty_ = true;
        pos_ += n;
        size_ = std::max(size_, pos_);
        return;
    }
    bool overlaps = pos_ < bufEnd && pos_ + n > bufStart_;
    // An append to a full window moves the window on; otherwise every later append would go
    // to the file with a system call of its own.
    bool appends = pos_ == bufEnd;
    if (n < cap && dirty_ && !overlaps && !appends) {
        // A far patch (an earlier record's links or totals) is written through at once; the
        // window keeps collecting the appends.
        PWrite(in, n, pos_);
    } else {
        FlushWindow();
        bufLen_ = 0;
        if (n >= cap) {
            PWrite(in, n, pos_);
        } else {
            bufStart_ = pos_;
            std::memcpy(buf_.data(), in, static_cast<size_t>(n));
            bufLen_ = n;
            dirty_ = true;
        }
    }
    pos_ += n;
    size_ = std::max(size_, pos_);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == TSeekOrigin::Begin ? 0 : origin == TSeekOrigin::Current ? pos_ : size_;
    int64_t to = base + offset;
    if (to < 0)
        throw EStreamError("Seek before the start of " + path_);
    pos_ = to;
    return pos_;
}

void TFileStream::SetSize(int64_t size)
{
    FlushWindow();
    bufLen_ = 0;
    bufStart_ = 0;
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError(ErrnoText("Cannot resize", path_, errno));
    size_ = size;
}

// ---- TMemoryStream ----------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t n)
{
    int64_t got = ReadAt(pos_, buffer, n);
    pos_ += got;
    return got;
}

int64_t TMemoryStream::ReadAt(int64_t at, void* buffer, int64_t n)
{
    int64_t size = Size();
    if (n <= 0 || at < 0 || at >= size)
        return 0;
    n = std::min(n, size - at);
    std::memcpy(buffer, data_.data() + at, static_cast<size_t>(n));
    return n;
}

void TMemoryStream::Write(const void* buffer, int64_t n)
{
    if (n <= 0)
        return;
    if (pos_ + n > Size())
        data_.resize(static_cast<size_t>(pos_ + n));
    std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(n));
    pos_ += n;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == TSeekOrigin::Begin     ? 0
                   : origin == TSeekOrigin::Current ? pos_
                                                    : Size();
    int64_t to = base + offset;
    if (to < 0)
        throw EStreamError("Seek before the start of a memory stream");
    pos_ = to;
    return pos_;
}

void TMemoryStream::SaveToFile(const std::string& path) const
{
    TFileStream f(path, TFileMode::Create);
    f.Write(data_.data(), static_cast<int64_t>(data_.size()));
    f.Flush();
}

} // namespace vm
