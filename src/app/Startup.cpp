#include "app/Startup.h"

#include "platform/Registry.h"
#include "references/DataDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vm {

namespace {

bool EnvironmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

TAppContext MakeAppContext(int argc, char** argv)
{
    TAppContext context;
    context.ProgramPath = RunningProgramPath();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TDataOption option = TakeDataOption(arguments);
    context.Arguments = std::move(option.Rest);
    std::error_code ec;
    const TDataDirectoryChoice choice = ChooseDataDirectory(
        option.Directory, std::filesystem::current_path(ec).string(), TRegistry());
    context.DataDirectory = choice.Path;
    context.DataDirectoryError = option.Error.empty() ? choice.Error : option.Error;
    return context;
}

std::string RunningProgramPath()
{
    std::error_code ec;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec)
        return {};
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.ends_with(deleted))
        path.resize(path.size() - deleted.size());
    return path;
}

bool DisplayAvailable()
{
    return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY") ||
           EnvironmentSet("QT_QPA_PLATFORM");
}

} // namespace vm
