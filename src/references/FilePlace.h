// Where a log or a comparison that the program is asked to open belongs. A file that lies in a
// reference's directory of a data directory, under the name the reference store gives it, is
// opened in that reference (the data directory becomes the program's); any other is opened read
// only, so that nothing is written into a file that no reference owns.
#pragma once

#include "core/FileKind.h"

#include <string>
#include <vector>

namespace vm {

struct TFilePlace
{
    TFileKind Kind = TFileKind::Unknown;
    std::string Path;          // absolute
    std::string DataDirectory; // empty: no reference owns the file, it is opened read only
    int Reference = -1;
    int Log = 0;                // a log's number (0 when its name carries none)
    int OldLog = 0, NewLog = 0; // a comparison's two logs (0 when its name carries none)
    std::string Problem;        // not empty: the file cannot be opened, and why
    bool InReference() const { return !DataDirectory.empty(); }
};

// The place of the file at path (relative to the current directory). A file that does not
// exist, is no regular file, or is neither a log nor a comparison gets a Problem.
TFilePlace PlaceOfFile(const std::string& path);

// The data directory of the first file argument (IsFileArgument) that lies in a reference;
// empty when none does. The program takes it as its data directory.
std::string DataDirectoryOfFiles(const std::vector<std::string>& arguments);

} // namespace vm
