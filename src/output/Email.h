// The mail component: one message (recipients, subject, text) handed to the mail system with
// the result codes of Simple MAPI. Created for each message and freed after it. The mail system
// is the mail file (profiles, address book) and its transports; the send dialog and the
// address-book picker go through the user interface, and without a screen a send that needs a
// dialog ends with MAPI_USER_ABORT and sends nothing.
#pragma once

#include "platform/MailCodes.h"
#include "platform/MailFile.h"
#include "platform/UserInterface.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

// The mail system is there but lacks what sending needs (a libcurl without SMTP).
class EMAPIdllerror : public std::runtime_error
{
public:
    EMAPIdllerror()
        : std::runtime_error("Mail cannot be sent over SMTP: the curl library has no SMTP support")
    {
    }
};
// No profile of the mail file can send: the message names the file where mail is set up.
class EMAPIunavailable : public std::runtime_error
{
public:
    explicit EMAPIunavailable(const std::string& mailFile)
        : std::runtime_error("Mail is not set up: the mail file " + mailFile +
                             " has no profile that can send")
    {
    }
};

// More recipients than this, To, CC and Bcc together, are refused with
// MAPI_E_TOO_MANY_RECIPIENTS.
constexpr size_t kMaxRecipients = 100000;
// Subject, profile name and password hold at most this many characters; longer texts are cut.
constexpr size_t kMaxMailField = 255;

class TEmail
{
public:
    // ui and the mail file's path must outlive the component.
    TEmail(TUserInterface& ui, std::string mailFile = TMailFile::DefaultPath());
    ~TEmail(); // logs off
    TEmail(const TEmail&) = delete;
    TEmail& operator=(const TEmail&) = delete;

    // Recipient lists: names from the address book or addresses, one an entry. Sending replaces
    // each entry by the name it resolved to.
    std::vector<std::string> Recipient; // To
    std::vector<std::string> CC;
    std::vector<std::string> Bcc;
    std::string Subject;
    std::string Text;           // lines separated by CR LF (or LF)
    std::string Profile;        // empty: the default profile
    std::string Password;       // empty: the profile's own
    bool UseDefProfile = false; // take the profile name from the mail file's DefaultProfile
    bool ShowDialog = false;    // show the send dialog before sending
    unsigned long LogonFlags = 0;

    // Whether the mail system can send (at least one usable profile); read at construction.
    bool GetMAPIavail() const { return available_; }
    // Raises EMAPIunavailable when it cannot. Every operation below begins with it.
    void CheckMAPIavail() const;

    // Chooses the profile (see Profile, UseDefProfile); when that fails, tries once more with
    // the default profile. MAPI_E_LOGIN_FAILURE when neither can send.
    int Logon();
    void Logoff();
    unsigned long Session() const { return session_; }
    // The profile of the session (valid while logged on).
    const TMailProfile& SessionProfile() const { return profile_; }

    // Resolves the recipients and sends. Recipients that do not resolve are left out; when none
    // is left, or ShowDialog is set, the send dialog is shown. A line break in the subject or a
    // recipient refuses the message with MAPI_E_FAILURE. Returns the result code; LastError()
    // then says why.
    int SendMail();
    // The address-book picker over the three lists; MAPI_USER_ABORT when cancelled or without
    // a screen.
    int Address();

    // The reason of the last failure (empty after a success); also names the recipients that
    // were left out.
    const std::string& LastError() const { return lastError_; }

private:
    struct TResolved;
    int Fail(int code, const std::string& reason);
    int RefuseLineBreaks();
    int LogonWith(const std::string& profileName, const std::string& password);
    size_t RecipientCount() const;
    bool ResolveAll(const TAddressBook& book, TResolved& out);
    int Deliver(const TResolved& resolved);

    TUserInterface& ui_;
    TMailFile mailFile_;
    bool available_ = false;
    unsigned long session_ = 0;
    TMailProfile profile_;
    std::string lastError_;
};

// "a;b; c" -> {"a", "b", " c"}: the recipients of a text, cut at every ";" (pieces are kept as
// they stand, blanks included; empty pieces stay and are skipped when sending).
std::vector<std::string> SplitRecipients(const std::string& text);
// {"a", "b"} -> "a;b".
std::string JoinRecipients(const std::vector<std::string>& names);

// The address-book picker of a new component (default profile) with the recipients of text
// (split at ";", blanks around each removed) already chosen; names receives the names picked,
// joined by ";". Returns the result code (MAPI_USER_ABORT when cancelled); error, when given,
// receives the reason of a failure. Raises EMAPIunavailable when mail cannot be sent here.
int PickRecipients(TUserInterface& ui, const std::string& mailFile, const std::string& text,
                   std::string& names, std::string* error = nullptr);

} // namespace vm
