// The Win32 attribute bits that logs store and that the file system stand-in reports for Linux
// entries (what each bit means on Linux is in platform/FileSystem.h).
#pragma once

#include <cstdint>

namespace vm {

constexpr uint32_t faReadOnly = 0x1;       // the owner has no write permission
constexpr uint32_t faHidden = 0x2;         // the name begins with "."
constexpr uint32_t faSystem = 0x4;         // device, fifo or socket
constexpr uint32_t faDirectory = 0x10;     //
constexpr uint32_t faArchive = 0x20;       // never reported on Linux
constexpr uint32_t faNormal = 0x80;        // a regular file with no other bit
constexpr uint32_t faSparse = 0x200;       // fewer bytes on disk than its size
constexpr uint32_t faReparsePoint = 0x400; // a symbolic link
constexpr uint32_t faCompressed = 0x800;   // the file system stores it compressed

} // namespace vm
