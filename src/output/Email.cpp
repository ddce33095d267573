#include "output/Email.h"

#include "platform/MailAddress.h"
#include "platform/MailSender.h"

#include <pwd.h>
#include <unistd.h>

namespace vm {

namespace {

bool HasBreak(const std::string& s)
{
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool IsBlankText(const std::string& s)
{
    return s.find_first_not_of(" \t") == std::string::npos;
}

// At most `count` characters of UTF-8 text, never cutting a character in two.
std::string FirstChars(const std::string& s, size_t count)
{
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            continue;
        if (chars++ == count)
            return s.substr(0, i);
    }
    return s;
}

// "[" and "]" removed once each: the one-off form the user typed, kept as the entry.
std::string WithoutFirstBrackets(std::string s)
{
    s.erase(s.find('['), 1);
    s.erase(s.find(']'), 1);
    return s;
}

std::string Trimmed(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The user and host the program runs as, for a profile without From.
TMailAddress LocalSender()
{
    std::string user = "volumark";
    struct passwd pw
    {
    };
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && pw.pw_name)
        user = pw.pw_name;
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) != 0 || !IsMailbox(std::string("x@") + host, true))
        std::snprintf(host, sizeof host, "localhost");
    std::string box = user + "@" + host;
    return {"", IsMailbox(box, true) ? box : "volumark@localhost"};
}

} // namespace

struct TEmail::TResolved
{
    std::vector<TMailAddress> To, CC, Bcc;
    std::vector<std::string> Names[3]; // as the lists hold them after resolving
    std::string LeftOut;               // the entries that did not resolve, for LastError
    int LeftOutCode = SUCCESS_SUCCESS;

    size_t Count() const { return To.size() + CC.size() + Bcc.size(); }
};

std::vector<std::string> SplitRecipients(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t semi = text.find(';'); semi != std::string::npos; semi = text.find(';', start)) {
        parts.push_back(text.substr(start, semi - start));
        start = semi + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string JoinRecipients(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ";") + n;
    return text;
}

int PickRecipients(TUserInterface& ui, const std::string& mailFile, const std::string& text,
                   std::string& names, std::string* error)
{
    TEmail mail(ui, mailFile);
    mail.UseDefProfile = true;
    for (const std::string& part : SplitRecipients(text))
        if (!IsBlankText(part))
            mail.Recipient.push_back(Trimmed(part));
    const int result = mail.Address();
    if (result == SUCCESS_SUCCESS)
        names = JoinRecipients(mail.Recipient);
    else if (error)
        *error = mail.LastError();
    return result;
}

TEmail::TEmail(TUserInterface& ui, std::string mailFile)
    : ui_(ui), mailFile_(std::move(mailFile)), available_(mailFile_.Available())
{
}

TEmail::~TEmail()
{
    Logoff();
}

void TEmail::CheckMAPIavail() const
{
    if (!available_)
        throw EMAPIunavailable(mailFile_.FileName());
}

int TEmail::Fail(int code, const std::string& reason)
{
    lastError_ = reason;
    return code;
}

int TEmail::Logon()
{
    CheckMAPIavail();
    if (session_ != 0)
        return SUCCESS_SUCCESS;
    std::string name = UseDefProfile ? mailFile_.DefaultProfileName() : Profile;
    int rc = LogonWith(FirstChars(name, kMaxMailField), FirstChars(Password, kMaxMailField));
    if (rc != SUCCESS_SUCCESS) {
        // The second try, as with MAPI_LOGON_UI: whatever profile the mail system offers.
        std::string first = lastError_;
        rc = LogonWith("", "");
        if (rc != SUCCESS_SUCCESS && !name.empty())
            lastError_ = first + "; " + lastError_;
    }
    return rc;
}

int TEmail::LogonWith(const std::string& profileName, const std::string& password)
{
    std::string name = profileName.empty() ? mailFile_.DefaultProfileName() : profileName;
    if (name.empty()) {
        // No default named: the first profile that can send.
        for (const std::string& n : mailFile_.ProfileNames()) {
            auto p = mailFile_.Profile(n);
            if (p && p->Usable()) {
                name = n;
                break;
            }
        }
    }
    auto profile = mailFile_.Profile(name);
    if (!profile)
        return Fail(MAPI_E_LOGIN_FAILURE,
                    "There is no mail profile \"" + name + "\" in " + mailFile_.FileName());
    if (!profile->Usable())
        return Fail(MAPI_E_LOGIN_FAILURE,
                    "The mail profile \"" + name + "\" cannot send: " + profile->Problem);
    if (!password.empty())
        profile->Password = password;
    profile_ = *profile;
    session_ = 1;
    lastError_.clear();
    return SUCCESS_SUCCESS;
}

void TEmail::Logoff()
{
    session_ = 0;
}

int TEmail::RefuseLineBreaks()
{
    if (HasBreak(Subject))
        return Fail(MAPI_E_FAILURE, "The subject holds a line break, which a mail header cannot "
                                    "carry; nothing was sent");
    for (const auto* list : {&Recipient, &CC, &Bcc})
        for (const std::string& entry : *list)
            if (HasBreak(entry))
                return Fail(MAPI_E_FAILURE, "A recipient holds a line break, which a mail "
                                            "header cannot carry; nothing was sent");
    return SUCCESS_SUCCESS;
}

size_t TEmail::RecipientCount() const
{
    return Recipient.size() + CC.size() + Bcc.size();
}

bool TEmail::ResolveAll(const TAddressBook& book, TResolved& out)
{
    out = TResolved();
    std::vector<std::string>* lists[3] = {&Recipient, &CC, &Bcc};
    std::vector<TMailAddress>* targets[3] = {&out.To, &out.CC, &out.Bcc};
    for (int k = 0; k < 3; ++k) {
        for (std::string& entry : *lists[k]) {
            if (IsBlankText(entry))
                continue;
            TResolvedName r;
            int rc = ResolveName(book, entry, r);
            if (rc != SUCCESS_SUCCESS) {
                out.LeftOut += (out.LeftOut.empty() ? "" : ", ") + ("\"" + Trimmed(entry) + "\"");
                out.LeftOutCode = rc;
                continue;
            }
            bool typedBrackets =
                entry.find('[') != std::string::npos && entry.find(']') != std::string::npos;
            bool resolvedBrackets = r.Name.find_first_of("[]") != std::string::npos;
            if (typedBrackets && !resolvedBrackets) {
                entry = WithoutFirstBrackets(entry);
                r.Address.Name = Trimmed(entry);
            } else {
                entry = r.Name;
            }
            targets[k]->push_back(r.Address);
            out.Names[k].push_back(entry);
        }
    }
    return out.Count() > 0;
}

int TEmail::SendMail()
{
    CheckMAPIavail();
    lastError_.clear();
    if (RecipientCount() > kMaxRecipients)
        return Fail(MAPI_E_TOO_MANY_RECIPIENTS, "More than 100000 recipients");
    if (RefuseLineBreaks() != SUCCESS_SUCCESS)
        return MAPI_E_FAILURE;
    bool ownSession = session_ == 0;
    if (ownSession && Logon() != SUCCESS_SUCCESS)
        return MAPI_E_LOGIN_FAILURE;
    struct TLogoffAtEnd
    {
        TEmail* mail;
        bool own;
        ~TLogoffAtEnd()
        {
            if (own)
                mail->Logoff();
        }
    } logoff{this, ownSession};
    if (profile_.Transport == TMailTransport::Smtp && !SmtpSupported())
        throw EMAPIdllerror();

    TAddressBook book = mailFile_.AddressBook();
    TResolved resolved;
    ResolveAll(book, resolved);
    if (ShowDialog || resolved.Count() == 0) {
        if (!ui_.HasScreen()) {
            // Every recipient given was left out: say so rather than blame a user who is not
            // there.
            if (!resolved.LeftOut.empty() && resolved.Count() == 0)
                return Fail(resolved.LeftOutCode,
                            "No recipient could be resolved: " + resolved.LeftOut);
            return Fail(MAPI_USER_ABORT, resolved.Count() == 0 ? "The message has no recipient"
                                                               : "The send dialog needs a screen");
        }
        TMailDraft draft{resolved.Names[0], resolved.Names[1], resolved.Names[2], Subject, Text};
        if (!ui_.EditMail(draft))
            return Fail(MAPI_USER_ABORT, "The message was not sent");
        Recipient = draft.To;
        CC = draft.CC;
        Bcc = draft.Bcc;
        Subject = draft.Subject;
        Text = draft.Text;
        if (RefuseLineBreaks() != SUCCESS_SUCCESS)
            return MAPI_E_FAILURE;
        if (!ResolveAll(book, resolved))
            return Fail(resolved.LeftOut.empty() ? MAPI_E_INVALID_RECIPS : resolved.LeftOutCode,
                        "The message has no recipient that can be resolved" +
                            (resolved.LeftOut.empty() ? "" : ": " + resolved.LeftOut));
    }
    return Deliver(resolved);
}

int TEmail::Deliver(const TResolved& resolved)
{
    TOutgoingMail mail;
    if (!profile_.From.empty()) {
        auto from = ParseAddress(profile_.From, false);
        if (!from)
            return Fail(MAPI_E_FAILURE, "The From of mail profile \"" + profile_.Name +
                                            "\" is not an address: " + profile_.From);
        mail.From = *from;
    } else {
        mail.From = LocalSender();
    }
    mail.To = resolved.To;
    mail.CC = resolved.CC;
    mail.Bcc = resolved.Bcc;
    mail.Subject = FirstChars(Subject, kMaxMailField);
    mail.Text = Text;
    TMailSendResult r = SendOverTransport(profile_, mail);
    if (r.Code != SUCCESS_SUCCESS)
        return Fail(r.Code, r.Reason);
    lastError_ = resolved.LeftOut.empty() ? "" : "Left out: " + resolved.LeftOut;
    return SUCCESS_SUCCESS;
}

int TEmail::Address()
{
    CheckMAPIavail();
    lastError_.clear();
    if (RecipientCount() > kMaxRecipients)
        return Fail(MAPI_E_TOO_MANY_RECIPIENTS, "More than 100000 recipients");
    if (!ui_.HasScreen())
        return Fail(MAPI_USER_ABORT, "The address book needs a screen");
    bool ownSession = session_ == 0;
    if (ownSession && Logon() != SUCCESS_SUCCESS)
        return MAPI_E_LOGIN_FAILURE;
    std::vector<std::string> names;
    for (const auto& entry : mailFile_.AddressBook())
        names.push_back(entry.first);
    std::vector<std::string> to = Recipient, cc = CC, bcc = Bcc;
    bool picked = ui_.PickRecipients(names, to, cc, bcc);
    if (ownSession)
        Logoff();
    if (!picked)
        return Fail(MAPI_USER_ABORT, "No recipient was picked");
    Recipient = to;
    CC = cc;
    Bcc = bcc;
    return SUCCESS_SUCCESS;
}

} // namespace vm
