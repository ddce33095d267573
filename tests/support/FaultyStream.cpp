#include "support/FaultyStream.h"

namespace vmtest {

void DiskFullStream::Write(const void* buffer, int64_t n)
{
    if (Position() + n > capacity_) {
        ++failed_;
        throw vm::EWriteError("Cannot write: No space left on device");
    }
    vm::TMemoryStream::Write(buffer, n);
}

void DiskFullStream::Flush()
{
    if (failed_ > 0)
        throw vm::EWriteError("Cannot write: No space left on device");
}

void DiskFullFileStream::Write(const void* buffer, int64_t n)
{
    if (Position() + n > capacity_)
        throw vm::EWriteError("Cannot write " + Path() + ": No space left on device");
    vm::TFileStream::Write(buffer, n);
}

} // namespace vmtest
