#include "main/Unattended.h"

#include "platform/AtomicFile.h"
#include "platform/ConsoleUserInterface.h"
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

std::string ReferenceStoreProblem(const TAppContext& context)
{
    try {
        ReadFileContent(TRefStore(context.DataDirectory).RefIniPath());
        return {};
    } catch (const std::exception& e) {
        return e.what();
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
    TCommandLineState state;
    TUnattendedResult result;
    result.Status =
        RunArguments(store, ui, context.Arguments, console, "Volumark", state, std::move(windows));
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
