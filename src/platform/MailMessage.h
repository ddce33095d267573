// Turns a message into the text that goes to the mail server: RFC 5322 headers (From, To, Cc,
// Subject, Date, Message-ID, MIME-Version, Content-Type, Content-Transfer-Encoding), a plain
// UTF-8 body, CR LF line ends. Text that would end up in a header is checked here: a line break
// or NUL byte in a name, an address or the subject refuses the whole message, so data can
// never add a header of its own.
#pragma once

#include "platform/MailAddress.h"

#include <ctime>
#include <string>
#include <vector>

namespace vm {

struct TOutgoingMail
{
    TMailAddress From;
    std::vector<TMailAddress> To, CC, Bcc;
    std::string Subject;
    std::string Text;
    // A Bcc header for a sendmail that takes its recipients from the headers (-t) and removes
    // it; never written for SMTP, where Bcc recipients travel only in the envelope.
    bool WriteBccHeader = false;
};

struct TMessageStamp
{
    std::time_t Time = 0;   // the Date header
    std::string UniquePart; // makes the Message-ID unique: a random token
};
TMessageStamp NewMessageStamp();

// The message as sent; throws std::invalid_argument with the reason when a header would carry
// a line break or a NUL byte, or an address is not a mailbox.
std::string BuildMessage(const TOutgoingMail& mail, const TMessageStamp& stamp);

// Pieces that are useful on their own (and tested on their own).
// A header value: unchanged when it is printable ASCII, else RFC 2047 encoded words
// ("=?UTF-8?B?...?=") of at most 75 characters, folded with CR LF and a blank.
std::string EncodeHeaderText(const std::string& text);
// "Name <mailbox>" with the name quoted or encoded as needed; the mailbox alone when the name
// is empty or is the mailbox itself.
std::string FormatAddress(const TMailAddress& address);
// RFC 5322 date-time in local time with its offset: "Tue, 05 Mar 2024 14:07:09 +0100".
std::string MailDate(std::time_t time);

} // namespace vm
