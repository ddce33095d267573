// Whether a file is a log or a comparison. The extended formats say so in their signatures. The
// exact ones begin with the same signature; behind it a log has its header's extension length
// (24) and a comparison its first record, whose own offset is 14. Where the bytes cannot tell (a
// file that cannot be read, an empty comparison, a file of something else), the name's extension
// decides, in any letter case.
#pragma once

#include <string>

namespace vm {

enum class TFileKind
{
    Log,        // a log (.kdf)
    Comparison, // a comparison (.kcf)
    Unknown     // neither by its bytes nor by its name
};

TFileKind KindOfFile(const std::string& path);

} // namespace vm
