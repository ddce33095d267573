// The interactive program: the windows made at start-up and the message loop that runs them.
#pragma once

#include "references/AppContext.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace vm {

class TMDIParent;
class TQtUserInterface;
class TRefManager;
class TStatusForm;

// The windows that live from start-up to the end of the program. Destroyed in reverse order:
// the main window before the user interface and the status window it uses.
struct TInteractiveWindows
{
    std::unique_ptr<TStatusForm> Status;
    std::unique_ptr<TQtUserInterface> UI;
    std::unique_ptr<TMDIParent> Main;
    TRefManager* RefManager = nullptr; // owned by the main window's MDI area
    ~TInteractiveWindows();
};

// Creates the status window, the user interface (made context.UI), the main window and the
// reference manager child, visible and maximised. Needs a QApplication; the caller shows the
// main window.
std::unique_ptr<TInteractiveWindows> CreateInteractiveWindows(TAppContext& context);

// How the windows start: the plain start shows the splash; a command-line start with a display
// skips it and runs its action once the windows exist.
struct TInteractiveStart
{
    bool Splash = true;
    // Runs after the windows are made (the status window and context.UI are ready). Returns
    // nothing to go on with the message loop (the folder mode), or the exit status to end with.
    std::function<std::optional<int>(TInteractiveWindows&)> Action;
};

// A start that cannot go on (the references cannot be read): the reason in a message box, then
// the end with status.
int ShowStartRefusal(int& argc, char** argv, const std::string& reason, int status);

// The interactive start: the splash window for about a second, the windows, then the message
// loop until the main window closes. Returns the program's exit status.
int RunInteractive(TAppContext& context, int& argc, char** argv,
                   TInteractiveStart start = TInteractiveStart());

} // namespace vm
