// Hands a built message to the transport of a profile: SMTP through libcurl (plain, STARTTLS or
// TLS, with authentication when the profile names a user) or a sendmail-compatible command that
// reads the message on its standard input. Both end with a mail result code and the reason.
#pragma once

#include "platform/MailFile.h"
#include "platform/MailMessage.h"

#include <string>
#include <vector>

namespace vm {

struct TMailSendResult
{
    int Code = 0;       // SUCCESS_SUCCESS or a MAPI_E_ code
    std::string Reason; // what went wrong, for the user; empty on success
};

// Sends over the profile's transport. The envelope holds From's mailbox and every recipient of
// To, CC and Bcc. Codes: MAPI_E_LOGIN_FAILURE when the server refuses the credentials,
// MAPI_E_NETWORK_FAILURE when it cannot be reached (or TLS fails, or time runs out),
// MAPI_E_UNKNOWN_RECIPIENT when it refuses a recipient (then nobody receives the message),
// MAPI_E_FAILURE for every other refusal or failure, MAPI_E_NOT_SUPPORTED when this libcurl
// cannot speak SMTP.
TMailSendResult SendOverTransport(const TMailProfile& profile, const TOutgoingMail& mail);

// The two transports on their own.
TMailSendResult SendSmtp(const TMailProfile& profile, const TOutgoingMail& mail,
                         const std::string& message);
// Runs profile.Command split into words (SplitCommand). With a "-t" among its words the
// recipients come from the headers (the Bcc header included, which sendmail removes); without
// it the recipients' mailboxes are added as arguments. Exit status 0 is success, 67 (no such
// user) gives MAPI_E_UNKNOWN_RECIPIENT, anything else MAPI_E_FAILURE with the command's first
// line of error output. A command that runs longer than the profile's timeout is killed with
// everything it started (it runs as a process group of its own); one that has ended is done,
// also when something it left running still holds its output open.
TMailSendResult SendWithCommand(const TMailProfile& profile, const TOutgoingMail& mail,
                                const std::string& message);

// Splits a command line into words at blanks; '...' and "..." group words, a backslash takes
// the next character literally (outside single quotes). Nothing else is interpreted: no
// variables, no globbing, no redirection.
std::vector<std::string> SplitCommand(const std::string& command);

// Whether this libcurl can send mail (it was built with SMTP).
bool SmtpSupported();

} // namespace vm
