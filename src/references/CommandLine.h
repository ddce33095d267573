// The unattended command line: /Ref="name" logs a reference, /C or /C=nnn compares the new log
// with the newest earlier one or with log nnn, /K deletes the reference's earlier comparisons
// first, /? shows the help, /Folder=path scans one folder into memory for the windows, and a
// file whose name ends in .kdf or .kcf is a log or a comparison to open in the windows.
// On Linux "-" and "--" may stand where "/" stands, and -help and /h mean /?.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vm {

class TUserInterface;

// What the arguments asked for; filled by ParseCommandLine, read by RunCommandLine.
struct TCommandLineState
{
    bool ReferenceRequested = false;
    int ReferenceNumber = 0;
    bool CompareRequested = false;
    int CompareLogNumber = 0;
    bool DeleteComparisons = false;
    bool HelpRequested = false;
    bool FolderMode = false;
    std::string Folder;
    std::vector<std::string> OpenFiles; // logs and comparisons to open, in argument order
    int StatusCallCount = 0;
    bool Stopped = false;
    // Rule of the exit status: set when a message told the user that an argument was refused.
    bool ArgumentRefused = false;
};

// One argument split into its name (before the first "=", with "/", "-" and blanks dropped)
// and its value (everything after the first "=", without the one pair of double quotes that
// may wrap it whole).
struct TArgument
{
    std::string Name;
    std::string Value;
};
TArgument SplitArgument(const std::string& argument);

// How many keywords the argument selects: 0 for one that the run ignores (or a file to open),
// more than 1 only for an empty name.
size_t SelectedKeywordCount(const std::string& argument);

// True for an argument that names a log or a comparison to open: it selects no keyword and
// ends in ".kdf" or ".kcf" in any letter case (an absolute path begins with "/" and would
// otherwise be taken for a switch that names nothing).
bool IsFileArgument(const std::string& argument);

// What the parser needs from the reference store.
struct TCommandLineLookups
{
    std::function<int(const std::string& name)> FindRefByName; // -1 when not found
    std::function<int(int ref)> LastLogNumber;                 // -1 when the reference has none
};

// Caption of the command line's message boxes (with its trailing blank).
inline const char* const kCommandLineCaption = "Volumark ";

void ParseCommandLine(const std::vector<std::string>& arguments, const TCommandLineLookups& lookups,
                      TUserInterface& ui, TCommandLineState& state);

// "Reference [name] not found": a name that no reference has, printable (PrintableName).
std::string ReferenceNotFoundText(const std::string& name);

// The five lines of the help text, separated by CR LF.
std::string CommandLineHelpText();

} // namespace vm
