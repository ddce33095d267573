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

// A base directory of the XDG rules: the variable when it holds an absolute path (a relative one
// is invalid and ignored), else the fallback below the home directory.
std::string XdgBase(const char* variable, const char* underHome)
{
    const char* value = std::getenv(variable);
    return (value && value[0] == '/') ? value : HomeDirectory() + underHome;
}

} // namespace

std::string UserConfigFile(const char* overrideVariable, const std::string& fileName)
{
    const char* explicitPath = std::getenv(overrideVariable);
    if (explicitPath && *explicitPath)
        return explicitPath;
    return XdgBase("XDG_CONFIG_HOME", "/.config") + "/volumark/" + fileName;
}

std::string UserDataDirectory()
{
    return XdgBase("XDG_DATA_HOME", "/.local/share") + "/volumark";
}

} // namespace vm
