#include "output/EmailInfo.h"

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "output/Email.h"
#include "output/SizeText.h"
#include "platform/TextCoding.h"

#include <algorithm>
#include <numeric>

namespace vm {

namespace {
const char* const kFirstLine = "List of files and sizes to be reviewed -\r\n\r\n";
const char* const kLastLines = "\r\n--- END OF FILE LISTING ---\r\n";

bool Blank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

std::string ResultText(int code, const std::string& reason)
{
    return reason.empty() ? "The mail could not be sent (error " + std::to_string(code) + ")"
                          : reason;
}

// Sends one message; Done stays false when it failed or the user cancelled it.
TSendOutcome SendOne(TUserInterface& ui, const TMailChoice& choice, const std::string& recipients,
                     const std::string& text)
{
    TEmail mail(ui, choice.MailFile);
    mail.Text = text;
    mail.Subject = choice.Subject;
    mail.Recipient = SplitRecipients(recipients);
    mail.UseDefProfile = true;
    mail.ShowDialog = choice.ShowDialog;
    TSendOutcome outcome;
    const int code = mail.SendMail();
    if (code == SUCCESS_SUCCESS) {
        outcome.Done = true;
        outcome.Report = mail.LastError(); // recipients that were left out, if any
    } else if (code != MAPI_USER_ABORT || !ui.HasScreen()) {
        outcome.Report = ResultText(code, mail.LastError());
    }
    return outcome;
}
} // namespace

uint32_t TagRowMask(int number)
{
    if (number >= 1 && number <= 11)
        return uint32_t(1) << (number - 1);
    return number == kTagRows ? uint32_t(1) << 30 : 0;
}

std::vector<TTagRow> PresetTagRows()
{
    std::vector<TTagRow> rows;
    for (int n = 1; n <= kTagRows; ++n)
        rows.push_back({n == kTagRows ? "Rubbish bin" : "Tag " + std::to_string(n), n, ""});
    return rows;
}

std::vector<TTagRow> LogTagRows(const TDirStorage& log)
{
    std::vector<TTagRow> rows = PresetTagRows();
    for (TTagRow& row : rows) {
        std::string name;
        if (row.Number <= log.TagNameCount() && log.GetTagName(row.Number, name) && !name.empty())
            row.Caption = name;
    }
    return rows;
}

std::vector<int> AllRows(const TListTable& table)
{
    std::vector<int> rows(static_cast<size_t>(std::max(0, table.RowCount())));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

std::string ListMailText(const TListTable& table, const std::vector<int>& rows)
{
    std::vector<std::string> names, sizes;
    names.reserve(rows.size());
    sizes.reserve(rows.size());
    size_t nameWidth = 0, sizeWidth = 0, bytes = 0;
    const bool hasFolder = table.ColumnCount() > kFolderColumn;
    const bool hasSize = table.ColumnCount() > kMailSizeColumn;
    for (int row : rows) {
        const std::string caption = table.Text(row, kNameColumn);
        std::string name;
        // A top-level path shows its whole path as its caption. Names are printed as everywhere
        // else: nothing in one can plant a line of the mail.
        if (hasFolder && caption.find('/') == std::string::npos)
            name += PrintableName(table.Text(row, kFolderColumn));
        name += PrintableName(caption);
        std::string size = hasSize ? OneLine(table.Text(row, kMailSizeColumn)) : std::string();
        nameWidth = std::max(nameWidth, CharacterCount(name));
        sizeWidth = std::max(sizeWidth, CharacterCount(size));
        bytes += name.size() + size.size();
        names.push_back(std::move(name));
        sizes.push_back(std::move(size));
    }
    std::string out = kFirstLine;
    out.reserve(out.size() + bytes + rows.size() * (nameWidth + sizeWidth + 4) + 40);
    for (size_t i = 0; i < names.size(); ++i) {
        out += names[i];
        out.append(nameWidth - CharacterCount(names[i]) + 2, ' ');
        out.append(sizeWidth - CharacterCount(sizes[i]), ' ');
        out += sizes[i];
        out += "\r\n";
    }
    out += kLastLines;
    return out;
}

std::string TaggedMailText(TDirStorage& log, uint32_t mask, const TLocale& locale)
{
    std::string out = kFirstLine;
    TLogWalk walk = TLogWalk::Tagged(log);
    TDirNode node;
    std::string name;
    while (walk.Next(node, name)) {
        if ((node.Tags & mask) == 0)
            continue;
        out += PrintableName(log.GetFullPath(walk.Offset()));
        out += " ... ";
        out += SizeText(node.Allocated, locale);
        out += "\r\n";
    }
    out += kLastLines;
    return out;
}

TSendOutcome SendListMail(TUserInterface& ui, const TMailChoice& choice,
                          const std::string& recipients, const std::string& text)
{
    return SendOne(ui, choice, recipients, text);
}

TSendOutcome SendTagMails(TUserInterface& ui, const TMailChoice& choice, TDirStorage& log,
                          const std::vector<TTagRow>& rows, const TLocale& locale)
{
    TSendOutcome outcome;
    std::string failures, leftOut;
    bool any = false;
    for (const TTagRow& row : rows) {
        if (Blank(row.Recipients))
            continue;
        any = true;
        TSendOutcome one = SendOne(ui, choice, row.Recipients,
                                   TaggedMailText(log, TagRowMask(row.Number), locale));
        if (!one.Done && one.Report.empty())
            return one; // the user cancelled a send dialog: stop there
        std::string& list = one.Done ? leftOut : failures;
        if (!one.Report.empty())
            list += (list.empty() ? "" : "\n") + ("\"" + row.Caption + "\": " + one.Report);
    }
    if (!any) {
        outcome.Report = "No tag has a recipient: nothing was sent";
        return outcome;
    }
    outcome.Done = failures.empty();
    if (!failures.empty())
        outcome.Report = "The mail of these tags could not be sent:\n" + failures;
    if (!leftOut.empty())
        outcome.Report += (outcome.Report.empty() ? "" : "\n") + leftOut;
    return outcome;
}

} // namespace vm
