// The editing actions of the reference manager, without the window: naming references, adding
// and removing paths, choosing a path's allocation unit and file system, and deleting a
// reference with its logs and comparisons. Questions and messages go through the user
// interface; references change only through the reference store, cluster sizes through the
// share list.
#pragma once

#include "references/RefStore.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class TUserInterface;

inline const char* const kNewReferenceCaption = "New Reference";
// The caption of a new reference: "New Reference", else "New Reference (2)", "(3)" ... the
// first that no caption has, letter case ignored.
std::string GetNewRefCaption(const std::vector<std::string>& captions);

// Names. A name is what a typed text gives without the blanks around it (Volumark.ini keeps none:
// RefNameOf). It holds 1 to 80 characters, none of them a control character (a line break would
// end up in Volumark.ini, crontab lines and mail headers), and no other reference has it, letter
// case ignored. A text of blanks alone gives no name: stored, it would read back empty, and the
// reference would lose its name at the next start.
constexpr size_t kMaxRefNameLength = 80;
enum class TRefNameCheck
{
    Accepted,
    Empty, // also a name of blanks alone, and one with a control character
    TooLong,
    Duplicate,
};
// The name a typed text gives: the text without the blanks around it.
std::string RefNameOf(const std::string& typed);
// Checks the name typed gives. refNo: the reference being named, which may keep its own name in
// any letter case; -1 when the reference does not exist yet.
TRefNameCheck CheckRefName(const TRefStore& store, const std::string& typed, int refNo);
// The reference manager's message for a refused name.
std::string RenameRefusal(TRefNameCheck check);
// Stores the name typed gives as the name of reference n (raises std::runtime_error when
// Volumark.ini cannot be written).
void WriteRefName(TRefStore& store, int n, const std::string& typed);

// The prompt of "Specify path" in the reference manager and the wizard.
inline const char* const kSpecifyPathPrompt =
    "Enter the full path (e.g. /srv/data or /mnt/fs1/users)";

// The path a user typed or chose as a reference keeps it: "." and ".." steps and doubled
// slashes gone, letter case kept, ending with "/".
std::string RefPathOf(const std::string& path);

// Where a new path stands against the listed ones (all ending with "/", compared exactly, name
// by name): the listed paths it covers (that lie inside it), the listed path it lies inside
// (-1 for none), or whether it is listed already.
struct TPathPlacement
{
    std::vector<size_t> Covered;
    int Inside = -1;
    bool Listed = false;
};
TPathPlacement PlacePath(const std::vector<std::string>& listed, const std::string& path);
// The checks of a new path (in RefPathOf form) before it joins the listed ones: refuses, with
// its message, a path that cannot be a path of a reference whose logs take format, lies inside a
// listed one or is listed already, and asks whether the listed paths it covers may go. The
// indexes of the listed paths to drop, or nothing when the path is not to be added.
std::optional<std::vector<size_t>> CheckNewPath(const TRefStore& store, TUserInterface& ui,
                                                const std::vector<std::string>& listed,
                                                const std::string& path,
                                                TLogFormat format = TLogFormat::Exact);

// The allocation unit offered for a path whose volume does not tell its own: the file system's
// usual cluster size, else 32768.
int32_t OfferedClusterSize(const std::string& fileSystem);
// The warning that offers it (Yes takes it, No leaves the unit to be chosen later).
std::string ClusterSizeQuestion(const std::string& fileSystem, int32_t offered);

// What the user gives for a new path instead of what its volume tells: a unit above 0, a file
// system name that is not empty.
struct TGivenVolumeFacts
{
    int32_t Unit = 0;
    std::string FileSystem;
};

// Adds a path to reference n, whose paths are listed (in the order shown). Refuses a path that
// cannot be a reference's path, lies inside a listed one or is listed already; offers to drop
// listed paths that the new one covers; asks for a unit when neither the volume nor given tells
// one. Then writes the paths, sorted by path, in one write. True when the paths changed.
bool CreateRefAddPath(TRefStore& store, TUserInterface& ui, int n, TRefPaths listed,
                      const std::string& path, const TGivenVolumeFacts& given = {});

// "Log &format": stores the format reference n logs in. Refuses the exact format, with a
// message, while a path of the reference is longer than an exact log's root holds. True when
// stored.
bool EditLogFormat(TRefStore& store, TUserInterface& ui, int n, TLogFormat format);

// Writes the paths of reference n in their order in one write; false (after a message) when
// Volumark.ini cannot be written.
bool WriteRefPaths(TRefStore& store, TUserInterface& ui, int n, const TRefPaths& paths);

// The file systems "Change &file system" offers, by the tag of their item (from 1); empty for
// any other tag.
std::string FileSystemForTag(int tag);
std::vector<std::string> FileSystemChoices();
// The units "&Change allocation unit" offers before "Other ...".
std::vector<int32_t> AllocationUnitChoices();
// "Other ...": asks for a unit with the current one filled in. Nothing when cancelled; the
// message "Allocation units must be 1 or greater!" and nothing for anything but a whole number
// from 1.
std::optional<int32_t> AskAllocationUnit(TUserInterface& ui, const std::string& current);

// Sets the unit (EditAllocationUnit) or the file system (EditFileSystem) of path index, records
// the path's unit and file system in the share list, and writes the paths. True when written.
bool EditAllocationUnit(TRefStore& store, TUserInterface& ui, int n, TRefPaths paths, size_t index,
                        int32_t unit);
bool EditFileSystem(TRefStore& store, TUserInterface& ui, int n, TRefPaths paths, size_t index,
                    const std::string& system);

// The questions before logs or comparisons of the reference named name are deleted.
std::string DeleteLogsQuestion(size_t count, const std::string& name);
std::string DeleteComparesQuestion(size_t count, const std::string& name);

// Deleting reference n, which the user selected under selectedCaption while currentName is the
// name the window read for it. Refuses a selection the window has not taken up, asks, then
// closes the reference's windows (closeWindows), removes its logs and comparisons and its
// directory, and erases its section only when the directory is gone.
enum class TRefDeletion
{
    Refused,   // nothing changed
    Deleted,   // everything is gone
    FilesOnly, // the directory held something else: it and the section stay
};
TRefDeletion DeleteReference(TRefStore& store, TUserInterface& ui, int n,
                             const std::string& currentName, const std::string& selectedCaption,
                             const std::function<void(int)>& closeWindows);

} // namespace vm
