// Copying listed files to a folder the user chose, shared by the explore and compare windows:
// the copy options kept in the settings store, the check of the destination when the dialog's
// OK is pressed, and the copy itself.
//
// Every source is reached from its top-level path without following a link, every target from
// the destination the same way (its missing folders made on the way), so a link in either tree
// can lead a copy neither out of the logged tree nor out of the destination. Only regular files
// are copied: a fifo would block the copy for ever. Each target is written beside itself and
// renamed over an existing file only when complete (platform/FileCopy.h).
#pragma once

#include "core/DirStorage.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

class TRegistry;

inline const char* const kInvalidDirectoryName = "Invalid directory name";
inline const char* const kCopyingFiles = "Copying files";

// "CopyPath" and "KeepStructure" under the program's settings key.
struct TCopySettings
{
    std::string CopyPath;
    bool KeepStructure = true;

    // Takes each value that the settings store holds and writes the others from this object,
    // as the copy options dialog does when it is made.
    void Load(TRegistry& registry);
    // Writes both; raises std::runtime_error when the settings cannot be written.
    void Save(TRegistry& registry) const;
};

// The copy options dialog's OK: an empty path gives "Invalid directory name"; a path that does
// not exist is created with its missing parents when the user answers Yes to "Directory "..."
// does not exist. OK to create" ("Unable to create directory "..."" when that fails). True when
// the path is a directory to copy into.
bool AcceptCopyDestination(const std::string& path, TUserInterface& ui);

struct TCopyRequest
{
    std::string Destination;    // the folder chosen (a trailing "/" is added when missing)
    bool KeepStructure = true;  // keep the folders below ShownDirectory
    std::string ShownDirectory; // the directory the list shows, ending with "/"
    bool ShowProgress = true;   // the status window and its Cancel (not for a single file)
};

struct TCopyResult
{
    int Copied = 0;
    bool Stopped = false;
    std::vector<std::string> Failures; // one line per file not copied: its path and why
};

// Copies the files of the log's entries at offsets (entries that are no files or are deleted from
// the disk are passed over), then tells the user of every file it could not copy. Without
// KeepStructure a second file of a name already copied in this run is reported, not copied over
// the first. The status window shows "Copying files", "From: " and "To: " at most ten times a
// second and its Cancel stops the copy between two files.
TCopyResult CopyFiles(TDirStorage& log, const std::vector<int64_t>& offsets,
                      const TCopyRequest& request, TFileSystem& fs, TUserInterface& ui);

// The lines of a report of failures: at most `shown` of them, then "... and N more".
std::string FailureReport(const std::string& heading, const std::vector<std::string>& failures,
                          size_t shown = 20);

} // namespace vm
