#include "platform/ExclusiveFile.h"

#include <cerrno>
#include <cstring>
#include <sys/file.h>

namespace vm {

std::unique_ptr<TFileStream> OpenForExclusiveWriting(const std::string& path)
{
    auto stream = std::make_unique<TFileStream>(path, TFileMode::OpenReadWrite);
    if (::flock(stream->Handle(), LOCK_EX | LOCK_NB) != 0)
        throw EFOpenError("Cannot write " + path + ": " +
                          (errno == EWOULDBLOCK ? std::string("another program is writing it")
                                                : std::string(std::strerror(errno))));
    return stream;
}

} // namespace vm
