#include "platform/ConfigPath.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace vm {

namespace {

std::string HomeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    struct passwd pw
    {
    };
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && pw.pw_dir)
        return pw.pw_dir;
    return "/";
}

} // namespace

std::string UserConfigFile(const char* overrideVariable, const std::string& fileName)
{
    const char* explicitPath = std::getenv(overrideVariable);
    if (explicitPath && *explicitPath)
        return explicitPath;
    // A relative XDG_CONFIG_HOME is invalid by the base directory rules and is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = (config && config[0] == '/') ? config : HomeDirectory() + "/.config";
    return base + "/volumark/" + fileName;
}

} // namespace vm
