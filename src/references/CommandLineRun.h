// The unattended run that the command line asks for: the help, logging a reference, comparing
// the new log, deleting earlier comparisons and mailing the results; or the folder mode; or
// opening logs and comparisons in the windows.
#pragma once

#include "core/StatusEvent.h"
#include "platform/Locale.h"
#include "platform/Stream.h"
#include "references/CommandLine.h"
#include "references/FilePlace.h"

#include <functional>
#include <memory>
#include <string>

namespace vm {

class TRefStore;
class TRegistry;

// Exit statuses of an unattended run: 0 only when everything asked for succeeded.
enum TCommandLineExit : int
{
    kExitSuccess = 0,
    kExitArgumentRefused = 1, // an ambiguous argument, an unknown reference, a bad log number,
                              // a folder that cannot be logged
    kExitNotLogged = 2,       // the reference could not be logged (no allocation unit, a top-level
                              // path that cannot be read, an error); no log is written
    kExitStopped = 3,         // the run was stopped (Cancel, Ctrl-C, SIGTERM) before its log was
                              // written; no log is written
    kExitCompareFailed = 4,   // the comparison or the deletion of earlier comparisons failed, or
                              // the comparison was stopped; the log is written
    kExitMailFailed = 5,      // the results mail could not be sent
    kExitNoWindows = 6,       // the folder mode or a file to open needs the windows: no display
};

struct TCommandLineEnv
{
    const TRefStore* Store = nullptr;
    TUserInterface* UI = nullptr;  // shows the messages and the status window
    TRegistry* Settings = nullptr; // the options; nullptr: the defaults
    TLocale Locale;
    std::string MailFile;
    // Shows the help text; nullptr: in a message box. The console prints it on stdout.
    std::function<void(const std::string&)> ShowHelp;
    // Notes what an administrator should know of a run that still succeeded (directories a
    // log could not read); nullptr: the status window's text says it. The console writes on
    // stderr.
    std::function<void(const std::string&)> Note;
    // Also tells of a refused folder where a message box alone may go unseen: with the windows,
    // on stderr for the shell or script that started the program; nullptr: the box alone (the
    // console's boxes are on stderr already).
    std::function<void(const std::string&)> Refused;
    // Shows an in-memory log in the windows (folder mode) and takes it; false when it cannot.
    std::function<bool(std::unique_ptr<TMemoryStream>)> DisplayStreamLog;
    // Opens a log or a comparison in its window: in its reference when place.InReference()
    // (the reference store's data directory), read only otherwise. nullptr: no windows.
    std::function<void(const TFilePlace& place)> OpenFile;
};

// The exit statuses as the console help and the README list them, one line each.
std::string ExitStatusText();

// The status handler of both runs: from its 20th call on it shows the text, lets messages run
// and turns the status window's stop request into the scan's stop flag.
TStatusEvent CommandLineStatusHandler(TCommandLineState& state, TUserInterface& ui);

// Performs what state asks for; returns the exit status. Messages go through env.UI.
int RunCommandLine(TCommandLineState& state, TCommandLineEnv& env);

// What the windows offer the command line; empty members when there is no display.
struct TWindowHooks
{
    // Shows the folder mode's log; without it the folder mode ends with kExitNoWindows.
    std::function<bool(std::unique_ptr<TMemoryStream>)> DisplayStreamLog;
    // Opens a log or a comparison; without it opening ends with kExitNoWindows.
    std::function<void(const TFilePlace&)> OpenFile;
};

// The unattended run of arguments on the store, as the program and vmadmin start it: parsed,
// then run with the options of the settings store, the locale of the environment and the mail
// file. console: the help goes to stdout with the exit statuses, and notes to stderr, each line
// beginning with programName and ": ". state receives what the arguments asked for.
int RunArguments(const TRefStore& store, TUserInterface& ui,
                 const std::vector<std::string>& arguments, bool console,
                 const std::string& programName, TCommandLineState& state,
                 TWindowHooks windows = {});

} // namespace vm
