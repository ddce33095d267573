// Streams that fail on purpose: a memory stream and a file whose disk "fills" after a number of
// bytes, for tests of what a scan, a change or a run does when a write fails.
#pragma once

#include "platform/Stream.h"

namespace vmtest {

// A memory stream that refuses (EWriteError "No space left on device") every write that would
// make it larger than capacity, as a full disk refuses the bytes behind its last block. Writes
// within the current size still land, as rewrites of existing blocks do.
class DiskFullStream : public vm::TMemoryStream
{
public:
    explicit DiskFullStream(int64_t capacity) : capacity_(capacity) {}
    void Write(const void* buffer, int64_t n) override;
    void Flush() override;
    bool IsMemory() const override { return false; }
    int FailedWrites() const { return failed_; }

private:
    int64_t capacity_;
    int failed_ = 0;
};

// A new file on a disk that holds only capacity bytes of it: writes past that fail as
// DiskFullStream's do.
class DiskFullFileStream : public vm::TFileStream
{
public:
    DiskFullFileStream(const std::string& path, int64_t capacity)
        : vm::TFileStream(path, vm::TFileMode::CreateExclusive), capacity_(capacity)
    {
    }
    void Write(const void* buffer, int64_t n) override;

private:
    int64_t capacity_;
};

} // namespace vmtest
