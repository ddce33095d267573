// A stored file opened to be changed in place with every other writer shut out (an advisory
// lock that the program's own writers take), so that two windows or two processes never change
// one log at the same time.
#pragma once

#include "platform/Stream.h"

#include <memory>
#include <string>

namespace vm {

// Opens the existing file at path for reading and writing and takes its writer's lock. Raises
// EFOpenError when it cannot be opened or another program is writing it ("Cannot write <path>:
// another program is writing it"). The lock goes with the stream.
std::unique_ptr<TFileStream> OpenForExclusiveWriting(const std::string& path);

} // namespace vm
