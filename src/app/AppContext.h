// What the running program shares between its windows, the command line and the logic: made
// once by main and handed on by reference, so that none of it lives in a mutable global.
#pragma once

#include <string>
#include <vector>

namespace vm {

class TUserInterface;

// The two display switches of the options dialog ("Show File &Extensions", "Show File &Icons "),
// set after every load and save of the options; the file lists read them.
struct TDisplayFlags
{
    bool ShowExtensions = true;
    bool ShowIcons = true;
};

struct TAppContext
{
    std::string DataDirectory;          // the current directory at start, taken once
    std::string ProgramPath;            // the running executable; empty when it cannot be told
    std::vector<std::string> Arguments; // the command-line arguments after the program name
    // The caption of plain messages (ShowMessage); opening a log or comparison makes it
    // "Volumark " followed by the new window's caption.
    std::string ApplicationTitle = "Volumark";
    // True while a logging, folder or comparison run works: the main window then keeps the
    // status window in view whenever it repaints. Set it through TLoggingInProgress.
    bool LoggingInProgress = false;
    // The check mark of the Tools menu's "Confirm &deletions": the file operations read it.
    bool ConfirmDeletions = true;
    TDisplayFlags Display;
    // The screen the logic talks to; not owned. Set by whoever creates the windows (or a test).
    TUserInterface* UI = nullptr;
};

// Sets the logging-in-progress flag for the lifetime of a run and clears it on every way out.
class TLoggingInProgress
{
public:
    explicit TLoggingInProgress(TAppContext& context) : context_(context)
    {
        context_.LoggingInProgress = true;
    }
    ~TLoggingInProgress() { context_.LoggingInProgress = false; }
    TLoggingInProgress(const TLoggingInProgress&) = delete;
    TLoggingInProgress& operator=(const TLoggingInProgress&) = delete;

private:
    TAppContext& context_;
};

} // namespace vm
