#include "app/Startup.h"

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
    std::error_code ec;
    context.DataDirectory = std::filesystem::current_path(ec).string();
    context.ProgramPath = RunningProgramPath();
    for (int i = 1; i < argc; ++i)
        context.Arguments.emplace_back(argv[i]);
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
