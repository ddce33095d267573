// Byte streams that logs and comparisons live in: a buffered file stream for stored files and a
// memory stream for logs that exist only in memory. Errors are raised as EStreamError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

class EStreamError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

enum class TSeekOrigin
{
    Begin,
    Current,
    End
};

class TStream
{
public:
    virtual ~TStream() = default;

    // Reads up to n bytes at the position; returns how many were read (short at the end).
    virtual int64_t Read(void* buffer, int64_t n) = 0;
    // Reads up to n bytes at offset at without moving the position, so that readers never share
    // a cursor; returns how many were read (short at the end, 0 at or past it).
    virtual int64_t ReadAt(int64_t at, void* buffer, int64_t n) = 0;
    // Writes n bytes at the position, growing the stream as needed; raises EWriteError.
    virtual void Write(const void* buffer, int64_t n) = 0;
    // Moves the position; returns the new position. Positions past the end are allowed.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() = 0;
    // Cuts or extends the stream (new bytes are zero); the position is kept.
    virtual void SetSize(int64_t size) = 0;
    // Makes every buffered write reach the underlying file; raises EWriteError.
    virtual void Flush() {}
    // True for streams that hold their bytes in memory only.
    virtual bool IsMemory() const { return false; }

    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    // Reads exactly n bytes or raises EReadError.
    void ReadBuffer(void* buffer, int64_t n);
    void WriteBuffer(const void* buffer, int64_t n) { Write(buffer, n); }
};

enum class TFileMode
{
    Create,          // create or truncate, read and write
    CreateExclusive, // create a file that must not exist yet, read and write
    OpenRead,        // existing file, read only
    OpenReadWrite,   // existing file, read and write
};

// A file stream with one write-back buffer window, so that a scan's many small appends and the
// back-patches of recent records cost no system call each. Far accesses while the window holds
// unwritten data go straight to the file with pread/pwrite. Call Flush() before closing to learn
// about write errors; the destructor flushes but cannot report them.
class TFileStream : public TStream
{
public:
    TFileStream(const std::string& path, TFileMode mode, size_t bufferSize = 256 * 1024);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t n) override;
    int64_t ReadAt(int64_t at, void* buffer, int64_t n) override;
    void Write(const void* buffer, int64_t n) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    void SetSize(int64_t size) override;
    void Flush() override;
    // Flushes and makes the bytes durable on the disk (fsync); raises EWriteError.
    void Sync();
    // Flushes, forgets what the window holds and takes the file's size afresh, so that a stream
    // kept open for reading sees what another stream has written to the file since.
    void Reload();

    const std::string& Path() const { return path_; }
    int Handle() const { return fd_; }
    // True when path (through any link, any name of it) leads to the file this stream has open:
    // output written there would destroy the file being read.
    bool IsNamedBy(const std::string& path) const;

private:
    void FlushWindow();
    void LoadWindow(int64_t at);
    void PRead(void* buffer, int64_t n, int64_t at, int64_t& got);
    void PWrite(const void* buffer, int64_t n, int64_t at);

    std::string path_;
    int fd_ = -1;
    int64_t pos_ = 0;
    int64_t size_ = 0; // logical size, buffered bytes included
    std::vector<uint8_t> buf_;
    size_t capacity_;
    int64_t bufStart_ = 0;
    int64_t bufLen_ = 0;
    bool dirty_ = false;
};

class TMemoryStream : public TStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t n) override;
    int64_t ReadAt(int64_t at, void* buffer, int64_t n) override;
    void Write(const void* buffer, int64_t n) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override { data_.resize(static_cast<size_t>(size)); }
    bool IsMemory() const override { return true; }

    const std::vector<uint8_t>& Bytes() const { return data_; }
    // Writes the whole content to a file (used to save or inspect an in-memory log).
    void SaveToFile(const std::string& path) const;

private:
    std::vector<uint8_t> data_;
    int64_t pos_ = 0;
};

} // namespace vm
