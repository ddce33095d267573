// The files of the data directory that the reference manager lists and removes: the reference
// directories, and the logs and comparisons inside one. Only names written exactly as the
// reference store writes them count ("Ref0003", "Log0012.kdf", "00110012.kcf"): anything else
// (a temporary file of a run, a copy, a name in other letter case) is neither listed nor
// removed, so that every listed item opens and deletes the very file it was listed from.
#pragma once

#include "platform/DateTime.h"

#include <string>
#include <vector>

namespace vm {

class TFileSystem;

struct TListedLog
{
    int Number = 0;
    std::string Name; // the file's name inside the reference directory
};

struct TListedComparison
{
    int First = 0;  // the old log
    int Second = 0; // the new log
    std::string Name;
    TDateTime Modified = 0; // when the file was last written, local time
};

// The reference numbers of the data directory's reference directories, in number order.
std::vector<int> ListReferenceNumbers(TFileSystem& fs, const std::string& dataDir);

// The logs of a reference directory in number order (the latest is the last); nothing when the
// directory cannot be listed.
std::vector<TListedLog> ListLogs(TFileSystem& fs, const std::string& refDir);
// The comparisons of a reference directory, by old log, then new log.
std::vector<TListedComparison> ListComparisons(TFileSystem& fs, const std::string& refDir);

// True when the file name exists in the directory (any kind of entry, links not followed).
bool RefFileExists(TFileSystem& fs, const std::string& refDir, const std::string& name);
// Removes the file name from the directory; a link is removed itself. False with the reason
// when it cannot be removed.
bool RemoveRefFile(TFileSystem& fs, const std::string& refDir, const std::string& name,
                   std::string& failure);

// Removes a reference's logs, then its comparisons, then its directory. True when the
// directory is gone; false when something else in it (or a refusal) kept it.
bool RemoveRefDirectory(TFileSystem& fs, const std::string& refDir);

} // namespace vm
