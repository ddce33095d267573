// The mail file: the profiles and the address book that the mail component works with
// ($VOLUMARK_MAIL, else $XDG_CONFIG_HOME/volumark/mail.ini, ~/.config when unset).
//
//   [Profiles]            DefaultProfile=<name>
//   [Profile <name>]      Transport=smtp|sendmail, Url=smtp://host:port or smtps://host:port,
//                         Security=none|starttls|tls, User, Password, From,
//                         Command (sendmail: the program and its arguments, split at blanks,
//                         quotes group words; no shell is involved),
//                         CACert (a file of certificates to trust for TLS instead of the
//                         system's), Timeout (seconds a send may take, default 120)
//   [Address Book]        <name>=<address>
//
// Names of sections and keys compare without regard to letter case. The file is read anew by
// every call, so edits take effect at once.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm {

enum class TMailTransport
{
    Smtp,
    Sendmail
};
enum class TMailSecurity
{
    None,
    StartTls,
    Tls
};

struct TMailProfile
{
    std::string Name;
    TMailTransport Transport = TMailTransport::Smtp;
    std::string Url;
    TMailSecurity Security = TMailSecurity::None;
    std::string User, Password, From, Command, CACert;
    long TimeoutSeconds = 120;
    // Why the profile cannot send (an unknown transport or security, no Url, no Command ...);
    // empty when it can.
    std::string Problem;

    bool Usable() const { return Problem.empty(); }
};

using TAddressBook = std::vector<std::pair<std::string, std::string>>; // name, address

class TMailFile
{
public:
    static std::string DefaultPath();
    explicit TMailFile(std::string path = DefaultPath());

    const std::string& FileName() const { return path_; }

    // The DefaultProfile value; empty when the file or the value is missing.
    std::string DefaultProfileName() const;
    // The names of the [Profile <name>] sections, in file order.
    std::vector<std::string> ProfileNames() const;
    // The profile of that name (letter case ignored); nullopt when there is none. A profile
    // that exists but cannot send is returned with its Problem set.
    std::optional<TMailProfile> Profile(const std::string& name) const;
    // Mail is available when at least one profile can send.
    bool Available() const;
    TAddressBook AddressBook() const;

private:
    std::string path_;
};

} // namespace vm
