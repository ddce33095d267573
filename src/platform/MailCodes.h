// The result codes and flags of the mail component, numbered as the Simple MAPI interface numbers
// them, so that every caller and every report speaks of mail results in one set of codes.
#pragma once

namespace vm {

constexpr int SUCCESS_SUCCESS = 0;
constexpr int MAPI_USER_ABORT = 1; // the user cancelled, or a dialog was needed without a screen
constexpr int MAPI_E_USER_ABORT = MAPI_USER_ABORT;
constexpr int MAPI_E_FAILURE = 2; // refused message (line break in a header), transport failure
constexpr int MAPI_E_LOGON_FAILURE = 3; // no usable profile, authentication refused
constexpr int MAPI_E_LOGIN_FAILURE = MAPI_E_LOGON_FAILURE;
constexpr int MAPI_E_DISK_FULL = 4;
constexpr int MAPI_E_INSUFFICIENT_MEMORY = 5;
constexpr int MAPI_E_ACCESS_DENIED = 6;
constexpr int MAPI_E_TOO_MANY_SESSIONS = 8;
constexpr int MAPI_E_TOO_MANY_FILES = 9;
constexpr int MAPI_E_TOO_MANY_RECIPIENTS = 10;
constexpr int MAPI_E_ATTACHMENT_NOT_FOUND = 11;
constexpr int MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;
constexpr int MAPI_E_ATTACHMENT_WRITE_FAILURE = 13;
constexpr int MAPI_E_UNKNOWN_RECIPIENT = 14; // not in the address book, or refused by the server
constexpr int MAPI_E_BAD_RECIPTYPE = 15;
constexpr int MAPI_E_NO_MESSAGES = 16;
constexpr int MAPI_E_INVALID_MESSAGE = 17;
constexpr int MAPI_E_TEXT_TOO_LARGE = 18;
constexpr int MAPI_E_INVALID_SESSION = 19;
constexpr int MAPI_E_TYPE_NOT_SUPPORTED = 20;
constexpr int MAPI_E_AMBIGUOUS_RECIPIENT = 21; // two address-book entries answer to the name
constexpr int MAPI_E_AMBIG_RECIP = MAPI_E_AMBIGUOUS_RECIPIENT;
constexpr int MAPI_E_MESSAGE_IN_USE = 22;
constexpr int MAPI_E_NETWORK_FAILURE = 23; // no connection, TLS failed, timed out
constexpr int MAPI_E_INVALID_EDITFIELDS = 24;
constexpr int MAPI_E_INVALID_RECIPS = 25; // no recipient is left after the send dialog
constexpr int MAPI_E_NOT_SUPPORTED = 26;

// Flags.
constexpr unsigned long MAPI_LOGON_UI = 0x1;
constexpr unsigned long MAPI_NEW_SESSION = 0x2;
constexpr unsigned long MAPI_DIALOG = 0x8;

// Recipient classes.
constexpr unsigned long MAPI_ORIG = 0;
constexpr unsigned long MAPI_TO = 1;
constexpr unsigned long MAPI_CC = 2;
constexpr unsigned long MAPI_BCC = 3;

} // namespace vm
