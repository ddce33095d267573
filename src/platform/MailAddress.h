// Mail addresses as the mail component takes them: parsing the forms people type
// ("john@example.com", "John Smith <john@example.com>", "[SMTP:john@example.com]") and resolving
// a recipient through the address book.
#pragma once

#include "platform/MailFile.h"

#include <optional>
#include <string>

namespace vm {

struct TMailAddress
{
    std::string Name;    // display name; empty for a bare address
    std::string Mailbox; // local@domain (or a local user name from the address book)
};

// Whether text is a mailbox that is safe on a command line and in a header: printable ASCII
// without blanks, angle brackets, quotes, commas or semicolons, not beginning with "-", with
// exactly one "@" between a local part and a domain (requireDomain), or none at all.
bool IsMailbox(const std::string& text, bool requireDomain);

// "mailbox", "Name <mailbox>", "\"Name\" <mailbox>" or "SMTP:mailbox"; nullopt otherwise.
std::optional<TMailAddress> ParseAddress(const std::string& text, bool requireDomain = true);

struct TResolvedName
{
    std::string Name;     // the resolved name, as the recipient list then holds it
    TMailAddress Address; // where the mail goes
};

// Resolves a recipient (blanks around it ignored): an address-book name, letter case ignored;
// else a one-off address in brackets ("[john@example.com]", "[SMTP:john@example.com]"); else an
// address as it stands. Returns SUCCESS_SUCCESS, MAPI_E_UNKNOWN_RECIPIENT (also for a book entry
// whose address is not one) or MAPI_E_AMBIGUOUS_RECIPIENT (two book entries of that name with
// different addresses).
int ResolveName(const TAddressBook& book, const std::string& text, TResolvedName& resolved);

} // namespace vm
