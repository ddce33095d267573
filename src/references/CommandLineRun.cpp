#include "references/CommandLineRun.h"

#include "core/DirCompare.h"
#include "platform/AsciiCase.h"
#include "platform/FileSystem.h"
#include "platform/MailFile.h"
#include "platform/Registry.h"
#include "platform/TextCoding.h"
#include "platform/UserInterface.h"
#include "references/CompareRun.h"
#include "references/LoggingRun.h"
#include "references/Options.h"
#include "references/RefStore.h"
#include "references/ResultsMail.h"

#include <cstdio>
#include <filesystem>

namespace {
const char* const kDataOptionHelp =
    "--data DIR names the data directory (else $VOLUMARK_DATA; the current directory when it\n"
    "holds Volumark.ini; the one the windows used last; $XDG_DATA_HOME/volumark).\n";
} // namespace

namespace vm {

namespace {
constexpr int kQuietStatusCalls = 20;

void Inform(TUserInterface& ui, const std::string& text)
{
    ui.MessageBox(text, kCommandLineCaption, mb::OK | mb::IconInformation);
}

void Fail(int& exit, int code)
{
    if (exit == kExitSuccess)
        exit = code;
}

// Deletes the reference's comparison files (*.kcf, any letter case). Hidden files (names that
// begin with ".") and anything that is not a regular file are not listed and stay.
bool DeleteComparisons(TFileSystem& fs, const std::string& dir, std::string& failure)
{
    std::vector<TFileInfo> entries;
    int error = 0;
    if (!fs.ListPath(dir, entries, error)) {
        failure = "Cannot list " + dir + ": " + ErrorText(error);
        return false;
    }
    bool ok = true;
    for (const TFileInfo& e : entries) {
        if (e.Name[0] == '.' || !EndsWithIgnoringCase(e.Name, ".kcf") ||
            (e.Attributes & (faDirectory | faReparsePoint | faSystem)))
            continue;
        // A comparison another run deleted meanwhile is as deleted as this run wanted it.
        if (!fs.RemoveFile(dir + "/" + e.Name, error) && error != ENOENT) {
            failure =
                "Cannot delete " + PrintableName(dir + "/" + e.Name) + ": " + ErrorText(error);
            ok = false;
        }
    }
    return ok;
}

void ShowStatus(TUserInterface& ui, const std::string& caption)
{
    TStatusWindow& status = ui.Status();
    status.SetCaption(caption);
    status.SetHeading("Now Logging :");
    status.SetText("");
    status.Show();
}

TOptions LoadOptions(TCommandLineEnv& env)
{
    TOptions options;
    if (env.Settings)
        options.Load(*env.Settings);
    return options;
}

int Compare(TCommandLineState& state, TCommandLineEnv& env, int n, int m)
{
    const TRefStore& store = *env.Store;
    TUserInterface& ui = *env.UI;
    int exit = kExitSuccess;
    std::string failure;
    if (state.DeleteComparisons && !DeleteComparisons(store.Files(), store.RefDir(n), failure)) {
        Inform(ui, failure);
        Fail(exit, kExitCompareFailed);
    }
    // No progress is shown, but a stop request still ends the comparison.
    TCompareProgress progress = [&](const std::string&, bool& stop) {
        if (ui.Status().StopRequested())
            stop = true;
    };
    // A stopped or failed comparison leaves no file: nothing is deleted here. The log is written
    // by now, so a stop here is no "nothing was written": the comparison is what failed.
    try {
        if (RunComparison(store, n, state.CompareLogNumber, m, progress).Stopped) {
            Inform(ui, "The comparison was stopped; log " + std::to_string(m) +
                           " was written, no comparison with log " +
                           std::to_string(state.CompareLogNumber));
            Fail(exit, kExitCompareFailed);
        }
    } catch (const std::exception& e) {
        Inform(ui, std::string("Comparison failed: ") + e.what());
        Fail(exit, kExitCompareFailed);
    }
    return exit;
}

int LogAndCompare(TCommandLineState& state, TCommandLineEnv& env)
{
    const TRefStore& store = *env.Store;
    TUserInterface& ui = *env.UI;
    const int n = state.ReferenceNumber;
    int exit = kExitSuccess;
    state.StatusCallCount = 0;
    state.Stopped = false;
    ShowStatus(ui, "Volumark logging " + store.RefName(n));

    TLogRunResult logged;
    try {
        logged = LogReference(store, ui, n, CommandLineStatusHandler(state, ui));
    } catch (const std::exception& e) {
        Inform(ui, std::string("Logging failed: ") + e.what());
        logged.Refused = true;
        logged.Refusal = e.what();
    }
    const int m = logged.LogNumber;
    if (logged.Refused) {
        Fail(exit, kExitNotLogged);
    } else if (state.Stopped || logged.Stopped) {
        state.Stopped = true; // the run wrote no log
        Fail(exit, kExitStopped);
    } else {
        // The log was written: directories it could not read do not fail the run.
        if (env.Note && !logged.Unreadable.empty()) {
            for (const TUnreadableDirectory& d : logged.Unreadable)
                env.Note(UnreadableDirectoryText(d));
            env.Note(UnreadableDirectoriesText(logged.Unreadable.size()));
        }
        // Nothing to compare when nothing was logged: the comparison could only fail.
        if (state.CompareRequested)
            Fail(exit, Compare(state, env, n, m));
    }
    ui.Status().Hide();

    TOptions options = LoadOptions(env);
    if (options.EmailCommandLine && !options.EmailTo.empty()) {
        int previous = state.CompareRequested ? state.CompareLogNumber : 0;
        std::string failure;
        try {
            const TLogRunNotes notes{logged.Refused ? logged.Refusal : "", logged.Unreadable};
            int code = ResultsMail(store, options, ui, n, m < 0 ? 0 : m, previous, notes,
                                   env.Locale, env.MailFile, &failure);
            if (code != 0) {
                Inform(ui, "The results mail was not sent (error " + std::to_string(code) + ")" +
                               (failure.empty() ? "" : ": " + failure));
                Fail(exit, kExitMailFailed);
            }
        } catch (const std::exception& e) {
            Inform(ui, std::string("The results mail was not sent: ") + e.what());
            Fail(exit, kExitMailFailed);
        }
    }
    return exit;
}

// The folder as an absolute path: a relative one is taken from the current directory.
std::string AbsoluteFolder(const std::string& folder)
{
    if (folder.empty() || folder[0] == '/')
        return folder;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    return error ? folder : absolute.lexically_normal().string();
}

int FolderMode(TCommandLineState& state, TCommandLineEnv& env)
{
    TUserInterface& ui = *env.UI;
    // A folder that cannot be logged is refused as the wizard refuses such a path, before
    // anything is scanned or shown.
    state.Folder = AbsoluteFolder(state.Folder);
    const std::string refusal =
        state.Folder.empty() ? "no folder is named" : env.Store->PathRefusal(state.Folder);
    if (!refusal.empty()) {
        const std::string text = "The folder \"" + state.Folder + "\" cannot be logged: " + refusal;
        if (env.Refused)
            env.Refused(text);
        Inform(ui, text);
        return kExitArgumentRefused;
    }
    // Without the windows there is nowhere to show the folder: say so before scanning it.
    if (!env.DisplayStreamLog) {
        Inform(ui, "Showing the folder " + state.Folder +
                       " needs the windows, and there is no "
                       "display (DISPLAY or WAYLAND_DISPLAY)");
        return kExitNoWindows;
    }
    state.StatusCallCount = 0;
    state.Stopped = false;
    ShowStatus(ui, "Volumark logging - " + state.Folder);
    std::unique_ptr<TMemoryStream> stream;
    try {
        stream = LogFolder(*env.Store, ui, state.Folder, CommandLineStatusHandler(state, ui));
    } catch (const std::exception& e) {
        ui.Status().Hide();
        Inform(ui, std::string("Logging failed: ") + e.what());
        return kExitNotLogged;
    }
    ui.Status().Hide();
    if (!stream)
        return kExitNotLogged;
    if (state.Stopped)
        return kExitStopped;
    if (!env.DisplayStreamLog(std::move(stream))) {
        Inform(ui, "The folder " + state.Folder + " was logged, but its window could not be shown");
        return kExitNoWindows;
    }
    return kExitSuccess;
}
// Opens a log or a comparison named on the command line in its window. A file of another data
// directory than the program's is opened read only: its reference is not the one of that name
// here.
int OpenFile(const std::string& file, TCommandLineEnv& env)
{
    TUserInterface& ui = *env.UI;
    TFilePlace place = PlaceOfFile(file);
    if (!place.Problem.empty()) {
        Inform(ui, place.Problem);
        return kExitArgumentRefused;
    }
    if (!env.OpenFile) {
        Inform(ui, "Opening " + file +
                       " needs the windows, and there is no display (DISPLAY or WAYLAND_DISPLAY)");
        return kExitNoWindows;
    }
    std::error_code ec;
    if (place.InReference() &&
        !std::filesystem::equivalent(place.DataDirectory, env.Store->DataDir(), ec)) {
        place.DataDirectory.clear();
        place.Reference = -1;
    }
    env.OpenFile(place);
    return kExitSuccess;
}
} // namespace

std::string ExitStatusText()
{
    return "Exit status: 0 everything asked for succeeded\n"
           "  1 an argument was refused (ambiguous, unknown reference, bad log number,\n"
           "    unknown option, a file to open that is no log or comparison, a folder that\n"
           "    is missing or not a directory)\n"
           "  2 the reference could not be logged (no allocation unit, a top-level path\n"
           "    missing, not a directory or unreadable); no log was written\n"
           "  3 the run was stopped (Ctrl-C or SIGTERM) before its log was written; no log was\n"
           "    written\n"
           "  4 the comparison failed or was stopped (the log was written)\n"
           "  5 the results mail could not be sent\n"
           "  6 the folder mode or a file to open could not show its window (there is no\n"
           "    display)\n";
}

TStatusEvent CommandLineStatusHandler(TCommandLineState& state, TUserInterface& ui)
{
    return [&state, &ui](const std::string& text, bool& stop) {
        if (++state.StatusCallCount < kQuietStatusCalls)
            return;
        ui.Status().SetText(text);
        ui.ProcessMessages();
        if (ui.Status().StopRequested()) {
            stop = true;
            state.Stopped = true;
        }
    };
}

int RunCommandLine(TCommandLineState& state, TCommandLineEnv& env)
{
    TUserInterface& ui = *env.UI;
    int exit = state.ArgumentRefused ? kExitArgumentRefused : kExitSuccess;
    if (state.HelpRequested) {
        if (env.ShowHelp)
            env.ShowHelp(CommandLineHelpText());
        else
            Inform(ui, CommandLineHelpText());
    }
    if (state.ReferenceRequested)
        Fail(exit, LogAndCompare(state, env));
    if (state.FolderMode)
        Fail(exit, FolderMode(state, env));
    for (const std::string& file : state.OpenFiles)
        Fail(exit, OpenFile(file, env));
    return exit;
}

int RunArguments(const TRefStore& store, TUserInterface& ui,
                 const std::vector<std::string>& arguments, bool console,
                 const std::string& programName, TCommandLineState& state, TWindowHooks windows)
{
    TCommandLineLookups lookups;
    lookups.FindRefByName = [&](const std::string& name) { return store.FindRefByName(name); };
    lookups.LastLogNumber = [&](int n) { return store.LastLogNumber(n); };
    // Volumark.ini that cannot be read (no permission, a directory in its place) fails the run
    // with its reason, like any reference that cannot be logged, instead of ending the process.
    auto failed = [&ui](const std::exception& e) {
        ui.MessageBox(e.what(), kCommandLineCaption, mb::OK | mb::IconError);
        return kExitNotLogged;
    };
    try {
        ParseCommandLine(arguments, lookups, ui, state);
    } catch (const std::exception& e) {
        return failed(e);
    }

    TRegistry settings;
    TCommandLineEnv env;
    env.Store = &store;
    env.UI = &ui;
    env.Settings = &settings;
    env.Locale = TLocale::FromEnvironment();
    env.MailFile = TMailFile::DefaultPath();
    env.DisplayStreamLog = std::move(windows.DisplayStreamLog);
    env.OpenFile = std::move(windows.OpenFile);
    auto toStderr = [programName](const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", programName.c_str(), text.c_str());
    };
    if (console) {
        env.ShowHelp = [](const std::string& help) {
            std::string text;
            for (char c : help)
                if (c != '\r')
                    text += c;
            std::printf("%s\n\n%s\n%s", text.c_str(), kDataOptionHelp, ExitStatusText().c_str());
            std::fflush(stdout);
        };
        env.Note = toStderr;
    } else {
        env.Refused = toStderr;
    }
    try {
        return RunCommandLine(state, env);
    } catch (const std::exception& e) {
        return failed(e);
    }
}

} // namespace vm
