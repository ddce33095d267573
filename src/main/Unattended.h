// The unattended run of the program: arguments given, the command line decides what to do.
#pragma once

#include "platform/Stream.h"
#include "platform/UserInterface.h"
#include "references/AppContext.h"
#include "references/CommandLineRun.h"
#include "references/FilePlace.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// Repairs the reference store of the data directory; a failure is reported on stderr and the
// program goes on (the references can still be read).
void PrepareReferenceStore(const TAppContext& context);
// Why the data directory's Volumark.ini cannot be read (no permission, a directory in its place);
// empty when it can, or when there is none yet.
std::string ReferenceStoreProblem(const TAppContext& context);

// --help, -h, --version and unknown options, answered before anything reads the data
// directory: the exit status when one of them ends the program.
std::optional<int> AnswerProgramOptions(const std::vector<std::string>& arguments);

// A log or a comparison named on the command line that lies in a reference of a data directory
// makes that directory the program's (and the current directory). File arguments become
// absolute paths first, so that they still name their files afterwards.
void AdoptDataDirectoryOfFiles(TAppContext& context);

struct TUnattendedResult
{
    int Status = 0;
    bool KeepWindows = false; // a folder log or an opened file is showing: the windows go on
};

// Parses the arguments and performs the run through ui (the console prints the help on stdout).
TUnattendedResult RunCommandLineWith(TAppContext& context, TUserInterface& ui, bool console,
                                     TWindowHooks windows = {});

// The run without a display: the console user interface; returns the exit status.
int RunUnattended(TAppContext& context);

} // namespace vm
