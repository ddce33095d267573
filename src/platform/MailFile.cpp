#include "platform/MailFile.h"
#include "platform/AsciiCase.h"

#include "platform/ConfigPath.h"
#include "platform/IniFile.h"

#include <exception>

namespace vm {

namespace {

const char* const kProfilePrefix = "Profile ";

std::string Lower(const std::string& s)
{
    return AsciiLowerCase(s);
}

// Reads a file that may be missing or unreadable: either reads as having nothing in it, so
// that mail is simply unavailable.
template <class F> auto Guarded(F read) -> decltype(read())
{
    try {
        return read();
    } catch (const std::exception&) {
        return {};
    }
}

void CheckSmtp(TMailProfile& p)
{
    std::string url = Lower(p.Url);
    if (!p.Problem.empty())
        return;
    if (p.Url.empty())
        p.Problem = "the profile has no Url";
    else if (url.rfind("smtp://", 0) != 0 && url.rfind("smtps://", 0) != 0)
        p.Problem = "the Url must begin with smtp:// or smtps://";
}

void CheckSendmail(TMailProfile& p)
{
    if (p.Problem.empty() && p.Command.find_first_not_of(" \t") == std::string::npos)
        p.Problem = "the profile has no Command";
}

} // namespace

std::string TMailFile::DefaultPath()
{
    return UserConfigFile("VOLUMARK_MAIL", "mail.ini");
}

TMailFile::TMailFile(std::string path) : path_(std::move(path)) {}

std::string TMailFile::DefaultProfileName() const
{
    return Guarded([&] { return TIniFile(path_).ReadString("Profiles", "DefaultProfile", ""); });
}

std::vector<std::string> TMailFile::ProfileNames() const
{
    return Guarded([&] {
        std::vector<std::string> names;
        const std::string prefix = Lower(kProfilePrefix);
        for (const std::string& section : TIniFile(path_).ReadSections())
            if (Lower(section).rfind(prefix, 0) == 0 && section.size() > prefix.size())
                names.push_back(section.substr(prefix.size()));
        return names;
    });
}

std::optional<TMailProfile> TMailFile::Profile(const std::string& name) const
{
    return Guarded([&]() -> std::optional<TMailProfile> {
        TIniFile ini(path_);
        std::string section = kProfilePrefix + name;
        if (name.empty() || !ini.SectionExists(section))
            return std::nullopt;
        auto read = [&](const char* key) { return ini.ReadString(section, key, ""); };
        TMailProfile p;
        p.Name = name;
        p.Url = read("Url");
        p.User = read("User");
        p.Password = read("Password");
        p.From = read("From");
        p.Command = read("Command");
        p.CACert = read("CACert");
        p.TimeoutSeconds = long(ini.ReadInteger(section, "Timeout", 120));
        if (p.TimeoutSeconds <= 0)
            p.TimeoutSeconds = 120;
        std::string transport = Lower(read("Transport"));
        std::string security = Lower(read("Security"));
        if (security == "starttls")
            p.Security = TMailSecurity::StartTls;
        else if (security == "tls")
            p.Security = TMailSecurity::Tls;
        else if (!security.empty() && security != "none")
            p.Problem = "unknown Security \"" + security + "\" (none, starttls or tls)";
        if (transport == "sendmail") {
            p.Transport = TMailTransport::Sendmail;
            CheckSendmail(p);
        } else if (transport == "smtp" || transport.empty()) {
            CheckSmtp(p);
        } else {
            p.Problem = "unknown Transport \"" + transport + "\" (smtp or sendmail)";
        }
        return p;
    });
}

bool TMailFile::Available() const
{
    for (const std::string& name : ProfileNames()) {
        auto p = Profile(name);
        if (p && p->Usable())
            return true;
    }
    return false;
}

TAddressBook TMailFile::AddressBook() const
{
    return Guarded([&] { return TIniFile(path_).ReadSectionValues("Address Book"); });
}

} // namespace vm
