// The facts the program takes once when it starts: its data directory, its own path, its
// arguments, and whether there is a display for the windows.
#pragma once

#include "references/AppContext.h"

namespace vm {

// The context of this run: the data directory (--data DIR, $VOLUMARK_DATA, the current directory
// when it holds Volumark.ini, the one the windows used last, else $XDG_DATA_HOME/volumark: see
// references/DataDirectory.h), the running executable's path, and the arguments after the
// program name without --data DIR.
TAppContext MakeAppContext(int argc, char** argv);

// The path of the running executable (/proc/self/exe); empty when it cannot be read. A program
// file that was replaced or deleted while running gives its old path without the kernel's
// " (deleted)" suffix, so that callers can tell that nothing is there any more.
std::string RunningProgramPath();

// True when the windows can be shown: an X11 or Wayland display is named, or Qt has been told
// which platform to use (QT_QPA_PLATFORM, for example offscreen).
bool DisplayAvailable();

// The message for a start without arguments where no display exists.
inline const char* const kNeedsDisplayMessage =
    "Volumark: the windows need a display (DISPLAY or WAYLAND_DISPLAY is not set). Start it in a "
    "desktop session, or give command-line arguments for an unattended run.";

} // namespace vm
