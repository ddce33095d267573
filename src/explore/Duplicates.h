// "Show duplicates file names only": the list reduced to the rows whose names (with a numbered
// part such as " (2)" removed) occur more than once, optionally also with equal sizes or dates.
#pragma once

#include "explore/FileListTable.h"

#include <string>
#include <string_view>

namespace vm {

struct TDuplicateOptions
{
    bool MatchSize = false;       // "Match exact size": equal "File size" texts
    bool MatchDate = false;       // "Match exact date": equal date texts
    bool IgnoreExtension = false; // keys compared without their extensions
};

// The name with a numbered part removed: "Report (2).doc" -> "Report.doc"; "Report (old).doc"
// and names without both brackets stay as they are (Removed false).
struct TDuplicateKey
{
    bool Removed = false;
    std::string Key;
};
TDuplicateKey RemoveDuplicatePartFromFilename(std::string_view name);

// The key the rows are sorted and matched by: the duplicate key, without its extension when
// extensions are ignored.
std::string DuplicateMatchKey(std::string_view name, const TDuplicateOptions& options);

// Whether the rows shown at a and b are duplicates of each other.
bool ItemsMatch(const TFileListTable& table, int a, int b, const TDuplicateOptions& options);

// Sorts the rows by their keys and keeps every row that matches the row before or after it.
void ExtractDuplicates(TFileListStore& store, const TFileListTable& table,
                       const TDuplicateOptions& options);

} // namespace vm
