// What the "Email" dialog sends: a list window's rows (all, or the selected ones) to the
// recipients typed, or, for each tag that has recipients, the log's entries that carry the tag.
// The texts are plain text built straight from the table or the log; sending goes through
// TEmail with the mail file's default profile.
#pragma once

#include "output/ListColumns.h"
#include "platform/Locale.h"
#include "platform/UserInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

class TDirStorage;

inline const char* const kListMailSubject = "Volumark review of disk usage";

// One row of the tag list: "Tag 1" to "Tag 11" stand for tag bits 0 to 10, the twelfth row
// ("Rubbish bin") for bit 30.
struct TTagRow
{
    std::string Caption;
    int Number = 0; // 1 to 12
    std::string Recipients;
};
constexpr int kTagRows = 12;
// The bit mask a tag row stands for.
uint32_t TagRowMask(int number);
// The twelve rows with their preset captions and no recipients.
std::vector<TTagRow> PresetTagRows();
// The rows named as the log names its tags (names 1 to 12; a name the log does not hold keeps
// the preset caption); recipients are emptied.
std::vector<TTagRow> LogTagRows(const TDirStorage& log);

// "List of files and sizes to be reviewed -", an empty line, one line per row (the rows given,
// in order), an empty line and "--- END OF FILE LISTING ---"; lines end with CR LF. A row's
// name is its folder and caption (a top-level path: its caption alone), padded with blanks to
// the longest name; two blanks follow, then its size text right-aligned to the longest.
std::string ListMailText(const TListTable& table, const std::vector<int>& rows);
// Every row of the table.
std::vector<int> AllRows(const TListTable& table);

// The same frame around one line per entry of the log's tagged chain that carries a tag of
// mask: its full path, " ... " and the size text of its allocated space. The walk checks every
// link, so a damaged chain ends the listing.
std::string TaggedMailText(TDirStorage& log, uint32_t mask, const TLocale& locale);

// How the messages go out.
struct TMailChoice
{
    std::string Subject = kListMailSubject;
    bool ShowDialog = false; // "Show send mail dialog before sending"
    std::string MailFile;    // the mail file (TMailFile::DefaultPath() for the program)
};

// What became of a send: Report is what the user should read (empty when there is nothing to
// say). Done is false when the dialog should stay open: a send failed, the user cancelled the
// send dialog, or nothing could be sent.
struct TSendOutcome
{
    bool Done = false;
    std::string Report;
};

// Sends text to the recipients (split at ";"). Raises EMAPIunavailable when mail cannot be
// sent on this system.
TSendOutcome SendListMail(TUserInterface& ui, const TMailChoice& choice,
                          const std::string& recipients, const std::string& text);
// One message per tag row with recipients, each listing the entries that carry the row's tag.
// Failures are collected by tag; the others are still sent.
TSendOutcome SendTagMails(TUserInterface& ui, const TMailChoice& choice, TDirStorage& log,
                          const std::vector<TTagRow>& rows, const TLocale& locale);

} // namespace vm
