// The words every Linux program answers, looked at before the command line runs: --help and -h
// print the usage and end, --version prints the version and ends, and an argument written as
// an option ("-x", "--frobnicate") that selects nothing of the command line is refused with the
// usage. Switches written with "/" keep their own rule: one that selects nothing is ignored.
#pragma once

#include <string>
#include <vector>

namespace vm {

enum class TProgramAction
{
    Run,         // nothing of these: the command line (or the windows) goes on
    ShowUsage,   // --help or -h
    ShowVersion, // --version
    Refuse       // an unknown option
};

struct TProgramOptions
{
    TProgramAction Action = TProgramAction::Run;
    std::string Refused; // the unknown option
};

// The first of --help, -h, --version or an unknown option among the arguments decides.
TProgramOptions CheckProgramOptions(const std::vector<std::string>& arguments);

// The usage of the volumark program: its forms, its switches and its exit statuses.
std::string ProgramUsage();

} // namespace vm
