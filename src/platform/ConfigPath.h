// Where the program's own files of each user live: a file named by an environment variable,
// else $XDG_CONFIG_HOME/volumark/<name>, with ~/.config when that is unset or not absolute; and
// the user's own data directory, $XDG_DATA_HOME/volumark (~/.local/share likewise).
#pragma once

#include <string>

namespace vm {

std::string UserConfigFile(const char* overrideVariable, const std::string& fileName);
std::string UserDataDirectory();

} // namespace vm
