// Which data directory a program works in. Every program that reads one (the windows, the
// unattended run, vmadmin) takes it the same way, first match wins:
//   1. --data DIR (or --data=DIR) among its arguments;
//   2. $VOLUMARK_DATA;
//   3. the current directory, when it holds Volumark.ini (a cron job or a script that changes
//      there keeps working as it always has);
//   4. the data directory the windows used last (kept in the settings store);
//   5. $XDG_DATA_HOME/volumark (~/.local/share/volumark), made when missing.
// A directory named by 1 or 2 must exist: a mistyped name is refused rather than a new, empty
// data directory made.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm {

class TRegistry;

inline const char* const kDataOption = "--data";
inline const char* const kDataEnvironment = "VOLUMARK_DATA";

// The arguments without --data DIR / --data=DIR; the directory named (the last one counts).
struct TDataOption
{
    std::optional<std::string> Directory;
    std::vector<std::string> Rest;
    std::string Error; // "--data needs a directory" when the value is missing
};
TDataOption TakeDataOption(const std::vector<std::string>& arguments);

enum class TDataDirectorySource
{
    Option,      // --data
    Environment, // $VOLUMARK_DATA
    Current,     // the current directory holds Volumark.ini
    LastUsed,    // the windows used it last
    Default,     // $XDG_DATA_HOME/volumark
};

struct TDataDirectoryChoice
{
    std::string Path; // absolute, without a trailing "/"
    TDataDirectorySource Source = TDataDirectorySource::Default;
    std::string Error; // why no data directory could be taken; Path is empty then
};

// Chooses as described above. given: the --data value; current: the current directory;
// settings: where the last one used is read.
TDataDirectoryChoice ChooseDataDirectory(const std::optional<std::string>& given,
                                         const std::string& current, const TRegistry& settings);

// Why path cannot be a data directory (missing, not a directory), or empty.
std::string DataDirectoryProblem(const std::string& path);

// The windows turn to another data directory: it must be one (else the problem is returned and
// nothing changes); its references are repaired as at every start and it is kept as the one to
// open next time. What went wrong in those two steps (the directory is taken all the same) is
// added to notes.
std::string TakeDataDirectory(const std::string& path, TRegistry& settings,
                              std::vector<std::string>& notes);

// The windows keep the data directory they show, to open it again next time. Raises
// std::runtime_error when the settings store cannot be written.
void RememberDataDirectory(TRegistry& settings, const std::string& path);
std::optional<std::string> LastDataDirectory(const TRegistry& settings);

} // namespace vm
