// The unattended run of the program: arguments given, the command line decides what to do.
#pragma once

#include "app/AppContext.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"

#include <functional>
#include <memory>

namespace vm {

// Repairs the reference store of the data directory; a failure is reported on stderr and the
// program goes on (the references can still be read).
void PrepareReferenceStore(const TAppContext& context);

struct TUnattendedResult
{
    int Status = 0;
    bool FolderMode = false; // a folder log is showing: the windows go on
};

// Parses the arguments and performs the run through ui (the console prints the help on stdout).
// displayStreamLog shows the folder mode's log in the windows; without it (no display) the
// folder mode ends with kExitNoWindows.
TUnattendedResult
RunCommandLineWith(TAppContext& context, TUserInterface& ui, bool console,
                   std::function<bool(std::unique_ptr<TMemoryStream>)> displayStreamLog = {});

// The run without a display: the console user interface; returns the exit status.
int RunUnattended(TAppContext& context);

} // namespace vm
