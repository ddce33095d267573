#include "main/Unattended.h"

#include "platform/ConsoleUserInterface.h"
#include "platform/MailFile.h"
#include "platform/Registry.h"
#include "references/CommandLine.h"
#include "references/CommandLineRun.h"
#include "references/RefStore.h"

#include <cstdio>
#include <exception>

namespace vm {

void PrepareReferenceStore(const TAppContext& context)
{
    try {
        TRefStore(context.DataDirectory).ReconcileRefs();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Volumark: the references could not be repaired: %s\n", e.what());
    }
}

TUnattendedResult
RunCommandLineWith(TAppContext& context, TUserInterface& ui, bool console,
                   std::function<bool(std::unique_ptr<TMemoryStream>)> displayStreamLog)
{
    TRefStore store(context.DataDirectory);
    TCommandLineLookups lookups;
    lookups.FindRefByName = [&](const std::string& name) { return store.FindRefByName(name); };
    lookups.LastLogNumber = [&](int n) { return store.LastLogNumber(n); };

    TCommandLineState state;
    ParseCommandLine(context.Arguments, lookups, ui, state);

    TRegistry settings;
    TCommandLineEnv env;
    env.Store = &store;
    env.UI = &ui;
    env.Settings = &settings;
    env.Locale = TLocale::FromEnvironment();
    env.MailFile = TMailFile::DefaultPath();
    env.DisplayStreamLog = std::move(displayStreamLog);
    if (console) {
        env.ShowHelp = [](const std::string& help) {
            std::string text;
            for (char c : help)
                if (c != '\r')
                    text += c;
            std::printf("%s\n\n%s", text.c_str(), ExitStatusText().c_str());
            std::fflush(stdout);
        };
        env.Note = [](const std::string& note) {
            std::fprintf(stderr, "Volumark: %s\n", note.c_str());
        };
    }
    TUnattendedResult result;
    result.Status = RunCommandLine(state, env);
    result.FolderMode = state.FolderMode && result.Status == kExitSuccess;
    return result;
}

int RunUnattended(TAppContext& context)
{
    TConsoleUserInterface console;
    return RunCommandLineWith(context, console, true).Status;
}

} // namespace vm
