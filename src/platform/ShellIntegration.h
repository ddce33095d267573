// The file-manager entries that offer "Explore with Volumark" on folders: a service menu for
// Dolphin and a script for Nautilus. Both start `volumark /Folder=<directory>` with the folder
// passed as one argument, never through a shell that could read it as commands.
#pragma once

#include <string>

namespace vm {

class TShellIntegration
{
public:
    // $XDG_DATA_HOME, else $HOME/.local/share: where the file managers look for user entries.
    static std::string DefaultDataHome();

    // dataHome: the user's data directory; programPath: the volumark program the entries start.
    TShellIntegration(std::string dataHome, std::string programPath);

    // <dataHome>/kio/servicemenus/volumark.desktop (Dolphin).
    std::string ServiceMenuPath() const;
    // <dataHome>/kservices5/ServiceMenus/volumark.desktop: where older Dolphins looked; only
    // removed, never written, so that a Dolphin reading both places shows one entry.
    std::string LegacyServiceMenuPath() const;
    // <dataHome>/nautilus/scripts/Volumark (Nautilus' Scripts menu).
    std::string NautilusScriptPath() const;

    // True when both entries exist.
    bool IsRegistered() const;
    // Writes both entries (each replaced atomically; the script executable). Raises
    // std::runtime_error naming the file and the reason when one cannot be written.
    void Register() const;
    // Deletes every entry; entries that do not exist are fine. Raises std::runtime_error naming
    // the file and the reason when one exists and cannot be removed.
    void Remove() const;

    // The message to show when the program the entries would start is missing (empty path, or no
    // executable file there); empty when it is present.
    std::string MissingProgramMessage() const;

    std::string ServiceMenuText() const;
    std::string NautilusScriptText() const;

private:
    std::string dataHome_;
    std::string program_;
};

// The text quoted for a POSIX shell: in single quotes, each ' written as '\''.
std::string ShellQuote(const std::string& text);
// An argument of a desktop entry's Exec key: in double quotes with ", `, $ and \ escaped, and
// % doubled (the launcher reads % as a field code).
std::string DesktopExecQuote(const std::string& text);

} // namespace vm
