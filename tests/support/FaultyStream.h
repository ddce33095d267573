// Streams that fail on purpose: a memory stream whose disk "fills" after a number of bytes, for
// tests of what a scan or a change does when a write fails.
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

} // namespace vmtest
