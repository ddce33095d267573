#include "platform/ShellIntegration.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vm {

namespace {

// Writes the file through a temporary beside it and a rename, so that a file manager never
// reads half an entry.
void WriteEntry(const std::string& path, const std::string& text, mode_t mode)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec)
        throw std::runtime_error("Can't create the folder of " + path + ": " + ec.message());
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            const std::string reason = std::strerror(errno);
            std::remove(temp.c_str());
            throw std::runtime_error("Can't write " + path + ": " + reason);
        }
    }
    if (chmod(temp.c_str(), mode) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temp.c_str());
        throw std::runtime_error("Can't write " + path + ": " + reason);
    }
}

void RemoveEntry(const std::string& path)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        throw std::runtime_error("Can't remove " + path + ": " + std::strerror(errno));
}

} // namespace

std::string TShellIntegration::DefaultDataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.local/share";
}

TShellIntegration::TShellIntegration(std::string dataHome, std::string programPath)
    : dataHome_(std::move(dataHome)), program_(std::move(programPath))
{
}

std::string TShellIntegration::ServiceMenuPath() const
{
    return dataHome_ + "/kio/servicemenus/volumark.desktop";
}

std::string TShellIntegration::LegacyServiceMenuPath() const
{
    return dataHome_ + "/kservices5/ServiceMenus/volumark.desktop";
}

std::string TShellIntegration::NautilusScriptPath() const
{
    return dataHome_ + "/nautilus/scripts/Volumark";
}

bool TShellIntegration::IsRegistered() const
{
    std::error_code ec;
    return fs::exists(ServiceMenuPath(), ec) && fs::exists(NautilusScriptPath(), ec);
}

void TShellIntegration::Register() const
{
    WriteEntry(ServiceMenuPath(), ServiceMenuText(), 0644);
    WriteEntry(NautilusScriptPath(), NautilusScriptText(), 0755);
}

void TShellIntegration::Remove() const
{
    RemoveEntry(ServiceMenuPath());
    RemoveEntry(LegacyServiceMenuPath());
    RemoveEntry(NautilusScriptPath());
}

std::string TShellIntegration::MissingProgramMessage() const
{
    if (!program_.empty() && access(program_.c_str(), X_OK) == 0 && !fs::is_directory(program_))
        return {};
    const std::string shown = program_.empty() ? std::string("the volumark program") : program_;
    const std::string folder =
        program_.empty() ? std::string("its folder") : fs::path(program_).parent_path().string();
    return "Explore shell extension : can't find " + shown + "\nPlease copy from the Volumark " +
           "directory to " + folder;
}

std::string TShellIntegration::ServiceMenuText() const
{
    // The launcher quotes the folder it puts in place of %f, so it reaches the program as one
    // argument whatever it contains.
    return "[Desktop Entry]\n"
           "Type=Service\n"
           "MimeType=inode/directory;\n"
           "Actions=VolumarkExplore;\n"
           "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "X-KDE-Priority=TopLevel\n"
           "\n"
           "[Desktop Action VolumarkExplore]\n"
           "Name=Explore with Volumark\n"
           "Icon=volumark\n"
           "Exec=" +
           DesktopExecQuote(program_) + " /Folder=%f\n";
}

std::string TShellIntegration::NautilusScriptText() const
{
    // Nautilus runs scripts in the folder shown and passes the selected items as arguments;
    // without a selection the folder shown is explored.
    return "#!/bin/sh\n"
           "# Explore with Volumark: written by Volumark's options dialog, removed there too.\n"
           "program=" +
           ShellQuote(program_) +
           "\n"
           "[ $# -gt 0 ] || set -- \"$PWD\"\n"
           "for dir do\n"
           "    case $dir in /*) ;; *) dir=$PWD/$dir ;; esac\n"
           "    [ -d \"$dir\" ] && \"$program\" \"/Folder=$dir\" &\n"
           "done\n"
           "wait\n";
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string DesktopExecQuote(const std::string& text)
{
    // Two layers: the Exec quoting rules, then the desktop file's own string escapes, which
    // turn every backslash of the first layer into two.
    std::string exec = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            exec += '\\';
        if (c == '%')
            exec += '%';
        exec += c;
    }
    exec += '"';
    std::string escaped;
    for (char c : exec) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

} // namespace vm
