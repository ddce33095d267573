#include "vmlog/Commands.h"

#include "core/ExtendedLogFormat.h"
#include "core/LogFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace vm::vmlog {

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "vmlog: %s\n", message.c_str());
    return status;
}

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::system_error(errno, std::generic_category(), "cannot write the output");
        text.remove_prefix(static_cast<size_t>(n));
    }
}

bool IsLogFile(TStream& stream)
{
    uint8_t signature[kSignatureLength] = {};
    const int64_t got = stream.ReadAt(0, signature, kSignatureLength);
    if (IsExtendedLogSignature(signature, got))
        return true;
    return got == kSignatureLength && std::memcmp(signature, kSignature, 13) == 0 &&
           signature[13] == 0x1A;
}

std::optional<size_t> ParseTopCount(const std::string& value)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long n = std::strtoull(value.c_str(), &end, 10);
    if (value.empty() || *end != 0 || errno != 0 || value[0] == '-' || n == 0 || n > 1000000)
        return std::nullopt;
    return static_cast<size_t>(n);
}

} // namespace vm::vmlog
