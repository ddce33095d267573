#include "main/Unattended.h"

#include "platform/ConsoleUserInterface.h"
#include "platform/MailFile.h"
#include "platform/Registry.h"
#include "platform/Version.h"
#include "references/CommandLine.h"
#include "references/CommandLineRun.h"
#include "references/ProgramOptions.h"
#include "references/RefStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <unistd.h>

namespace vm {

void PrepareReferenceStore(const TAppContext& context)
{
    try {
        TRefStore(context.DataDirectory).ReconcileRefs();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Volumark: the references could not be repaired: %s\n", e.what());
    }
}

std::optional<int> AnswerProgramOptions(const std::vector<std::string>& arguments)
{
    const TProgramOptions options = CheckProgramOptions(arguments);
    switch (options.Action) {
    case TProgramAction::ShowUsage:
        std::fputs(ProgramUsage().c_str(), stdout);
        return kExitSuccess;
    case TProgramAction::ShowVersion:
        std::printf("volumark %s\n", kProgramVersion);
        return kExitSuccess;
    case TProgramAction::Refuse:
        std::fprintf(stderr, "volumark: unknown option %s\n\n%s", options.Refused.c_str(),
                     ProgramUsage().c_str());
        return kExitArgumentRefused;
    case TProgramAction::Run:
        break;
    }
    return std::nullopt;
}

void AdoptDataDirectoryOfFiles(TAppContext& context)
{
    std::error_code ec;
    for (std::string& a : context.Arguments)
        if (IsFileArgument(a))
            a = std::filesystem::absolute(a, ec).string();
    const std::string data = DataDirectoryOfFiles(context.Arguments);
    if (data.empty() || data == context.DataDirectory)
        return;
    if (::chdir(data.c_str()) != 0) {
        std::fprintf(stderr, "Volumark: cannot change to the data directory %s: %s\n", data.c_str(),
                     std::strerror(errno));
        return;
    }
    context.DataDirectory = data;
}

TUnattendedResult RunCommandLineWith(TAppContext& context, TUserInterface& ui, bool console,
                                     TWindowHooks windows)
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
    env.DisplayStreamLog = std::move(windows.DisplayStreamLog);
    env.OpenFile = std::move(windows.OpenFile);
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
    result.KeepWindows =
        (state.FolderMode || !state.OpenFiles.empty()) && result.Status == kExitSuccess;
    return result;
}

int RunUnattended(TAppContext& context)
{
    TConsoleUserInterface console;
    return RunCommandLineWith(context, console, true).Status;
}

} // namespace vm
