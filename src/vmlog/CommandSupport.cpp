#include "vmlog/Commands.h"

#include <cstdio>

namespace vm::vmlog {

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "vmlog: %s\n", message.c_str());
    return status;
}

} // namespace vm::vmlog
