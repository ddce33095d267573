#include "references/DataDirectory.h"

#include "platform/ConfigPath.h"
#include "platform/Registry.h"
#include "references/RefNames.h"
#include "references/RefStore.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vm {

namespace {

// The per-user key: each user has a data directory of their own.
const char* const kUserKey = "HKEY_CURRENT_USER\\SOFTWARE\\Ardelia\\Volumark";
const char* const kLastDataValue = "DataDirectory";

std::string Absolute(const std::string& path, const std::string& current)
{
    fs::path p(path);
    if (p.is_relative())
        p = fs::path(current) / p;
    std::string text = p.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool IsDirectory(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool HoldsRefIni(const std::string& dir)
{
    std::error_code ec;
    return fs::exists(dir + "/" + kRefIniFileName, ec);
}

TDataDirectoryChoice Named(const std::string& path, TDataDirectorySource source)
{
    TDataDirectoryChoice choice;
    choice.Source = source;
    if (std::string problem = DataDirectoryProblem(path); !problem.empty())
        choice.Error = problem;
    else
        choice.Path = path;
    return choice;
}

} // namespace

TDataOption TakeDataOption(const std::vector<std::string>& arguments)
{
    TDataOption option;
    const std::string prefix = std::string(kDataOption) + "=";
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == kDataOption) {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                option.Error = std::string(kDataOption) + " needs a directory";
                ++i;
                continue;
            }
            option.Directory = arguments[++i];
        } else if (a.starts_with(prefix)) {
            if (a.size() == prefix.size())
                option.Error = std::string(kDataOption) + " needs a directory";
            else
                option.Directory = a.substr(prefix.size());
        } else {
            option.Rest.push_back(a);
        }
    }
    return option;
}

std::string DataDirectoryProblem(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        return "The data directory " + path + " does not exist";
    if (!fs::is_directory(status))
        return "The data directory " + path + " is not a directory";
    return {};
}

TDataDirectoryChoice ChooseDataDirectory(const std::optional<std::string>& given,
                                         const std::string& current, const TRegistry& settings)
{
    if (given)
        return Named(Absolute(*given, current), TDataDirectorySource::Option);
    if (const char* env = std::getenv(kDataEnvironment); env && *env)
        return Named(Absolute(env, current), TDataDirectorySource::Environment);
    if (!current.empty() && HoldsRefIni(current))
        return Named(Absolute(current, current), TDataDirectorySource::Current);
    // A data directory used last that has gone (an unmounted disk) is passed over.
    if (std::optional<std::string> last = LastDataDirectory(settings); last && IsDirectory(*last))
        return Named(*last, TDataDirectorySource::LastUsed);

    TDataDirectoryChoice choice;
    choice.Source = TDataDirectorySource::Default;
    const std::string path = UserDataDirectory();
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec && !IsDirectory(path))
        choice.Error = "The data directory " + path + " cannot be made: " + ec.message();
    else
        choice.Path = path;
    return choice;
}

std::string TakeDataDirectory(const std::string& path, TRegistry& settings,
                              std::vector<std::string>& notes)
{
    if (std::string problem = DataDirectoryProblem(path); !problem.empty())
        return problem;
    try {
        TRefStore(path).ReconcileRefs();
    } catch (const std::exception& e) {
        notes.push_back(std::string("The references could not be repaired: ") + e.what());
    }
    try {
        RememberDataDirectory(settings, path);
    } catch (const std::exception& e) {
        notes.push_back(std::string("The data directory is not kept for next time: ") + e.what());
    }
    return {};
}

void RememberDataDirectory(TRegistry& settings, const std::string& path)
{
    if (!settings.OpenKey(kUserKey, true))
        throw std::runtime_error(settings.LastError());
    settings.WriteString(kLastDataValue, path);
}

std::optional<std::string> LastDataDirectory(const TRegistry& settings)
{
    TRegistry reader(settings.FileName());
    if (!reader.OpenKey(kUserKey, false))
        return std::nullopt;
    std::optional<std::string> path = reader.ReadString(kLastDataValue);
    if (path && (path->empty() || (*path)[0] != '/'))
        return std::nullopt;
    return path;
}

} // namespace vm
