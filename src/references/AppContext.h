// What the running program shares between its windows and its start-up: made once by main and
// handed on by reference, so that none of it lives in a mutable global. It lies below the
// windows so that the dialogs of every folder reach it, but the logic never takes it: it is
// given the user interface, the options and the progress handler it uses.
#pragma once

#include "references/Options.h"

#include <string>
#include <vector>

namespace vm {

class TUserInterface;

struct TAppContext
{
    std::string DataDirectory;          // chosen at start (references/DataDirectory.h)
    // Why no data directory could be taken (a --data directory that does not exist); the
    // program then says so and ends.
    std::string DataDirectoryError;
    std::string ProgramPath;            // the running executable; empty when it cannot be told
    std::vector<std::string> Arguments; // the command-line arguments after the program name
    // The caption of plain messages (ShowMessage); opening a log or comparison makes it
    // "Volumark " followed by the new window's caption.
    std::string ApplicationTitle = "Volumark";
    // The check mark of the Tools menu's "Confirm &deletions": the file operations read it.
    bool ConfirmDeletions = true;
    TDisplayFlags Display;
    // The screen the logic talks to; not owned. Set by whoever creates the windows (or a test).
    TUserInterface* UI = nullptr;
};

// The program's title once the window it names ("Volumark " + caption) has closed: "Volumark"
// again, so that later messages do not carry the caption of a window that is gone.
inline void ForgetWindowTitle(TAppContext& context, const std::string& caption)
{
    if (context.ApplicationTitle == "Volumark " + caption)
        context.ApplicationTitle = "Volumark";
}

} // namespace vm
