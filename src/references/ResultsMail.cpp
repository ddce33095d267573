#include "references/ResultsMail.h"
#include "platform/AsciiCase.h"

#include "core/DirCompare.h"
#include "output/Email.h"
#include "output/SizeText.h"
#include "platform/FileOwner.h"
#include "platform/TextCoding.h"
#include "references/LoggingRun.h"
#include "references/RefStore.h"
#include "statistics/StatisticsReport.h"

#include <cmath>

namespace vm {

namespace {
// The threshold in bytes of a unit text: KB, MB and GB count in thousands; anything else 0.
int64_t ThresholdBytes(int64_t amount, const std::string& unit)
{
    if (unit == "KB")
        return amount * 1000;
    if (unit == "MB")
        return amount * 1000000;
    if (unit == "GB")
        return amount * 1000000000;
    return 0;
}

std::string Percent(const TLocale& locale, double value)
{
    return locale.FormatUpTo2(value) + "%";
}
} // namespace

std::string DirectoryChangeText(const TDirectoryChange& change, const TLocale& locale)
{
    const int64_t delta = change.Change();
    return (delta > 0 ? "+" : "") + SizeText(delta, locale) + "  " + PrintableName(change.Path) +
           "  (was " + SizeText(change.AllocWas, locale) + ", now " +
           SizeText(change.AllocNow, locale) + ")";
}

TResultsMailText ComposeResultsMail(const TOptions& options, const TResultsFacts& facts,
                                    const TLocale& locale)
{
    TResultsMailText mail;
    mail.Recipients = SplitRecipients(options.EmailTo);
    mail.DefaultProfile = options.EmailProfile.empty() || options.EmailProfile == "default";
    if (!mail.DefaultProfile)
        mail.Profile = options.EmailProfile.substr(0, 255);

    const bool always = options.EmailAlways;
    mail.Subject = std::string(always ? "Volumark log results for reference : "
                                      : "Volumark log alerts for reference : ") +
                   facts.RefName;
    const int64_t total = facts.Total;
    const int64_t previous = facts.PreviousTotal;
    const int64_t growth = total - previous;
    const std::string when = locale.DayDateTimeText(facts.LogDate);
    mail.Send = always;

    const bool inSubject = options.EmailOnlySubject;
    // A run that wrote no log has no sizes to report, and an administrator must hear of it in
    // every mode: a share that was not mounted is no growth and no shrinking.
    if (!facts.NotLogged.empty()) {
        const std::string failed = "Log of reference failed : " + facts.NotLogged;
        mail.Send = true;
        if (inSubject) {
            mail.Subject = std::string("Volumark") + (always ? "" : " alert") + " - " +
                           facts.RefName + ". " + failed;
        } else {
            mail.Lines = {failed};
            if (!facts.History.empty()) {
                mail.Lines.push_back("");
                for (std::string& line : HistoryTableLines(facts.History, locale))
                    mail.Lines.push_back(std::move(line));
            }
        }
        mail.Subject = mail.Subject.substr(0, 255);
        return mail;
    }
    if (inSubject) {
        mail.Subject = std::string("Volumark") + (always ? "" : " alert") + " - " + facts.RefName +
                       ". " + when + " : size is " + SizeText(total, locale);
        if (previous != 0)
            mail.Subject += " prev " + SizeText(previous, locale);
    } else {
        mail.Lines = {"Log of reference performed at : " + when, "",
                      "Total log size : " + SizeText(total, locale)};
        if (previous != 0) {
            mail.Lines.push_back("Prev log size  : " + SizeText(previous, locale));
            mail.Lines.push_back("");
            mail.Lines.push_back("Grown by       : " + SizeText(growth, locale) + "  " +
                                 Percent(locale, static_cast<double>(growth) * 100.0 /
                                                     static_cast<double>(previous)));
        }
    }

    // An incomplete log says so, also when everything else is in the subject; a body names
    // what was not read.
    if (!facts.Unreadable.empty()) {
        if (!mail.Lines.empty())
            mail.Lines.push_back("");
        mail.Lines.push_back(UnreadableDirectoriesText(facts.Unreadable.size()));
        for (size_t i = 0; !inSubject && i < facts.Unreadable.size(); ++i) {
            if (i == kMailUnreadableNamed) {
                mail.Lines.push_back("  ... and " + std::to_string(facts.Unreadable.size() - i) +
                                     " more");
                break;
            }
            mail.Lines.push_back("  " + UnreadableDirectoryText(facts.Unreadable[i]));
        }
    }
    if (facts.PassedExactLimit) {
        if (!mail.Lines.empty())
            mail.Lines.push_back("");
        mail.Lines.push_back(kPassedExactLimitText);
    }
    if (!inSubject) {
        if (!always && !facts.TopGrowers.empty()) {
            mail.Lines.push_back("");
            mail.Lines.push_back("Directories that grew most :");
            for (const TDirectoryChange& d : facts.TopGrowers)
                mail.Lines.push_back("  " + DirectoryChangeText(d, locale));
        }
        if (!facts.History.empty()) {
            mail.Lines.push_back("");
            for (std::string& line : HistoryTableLines(facts.History, locale))
                mail.Lines.push_back(std::move(line));
        }
        if (facts.Statistics)
            for (std::string& line :
                 MailStatisticsLines(*facts.Statistics, locale, {AccountName, GroupName}))
                mail.Lines.push_back(std::move(line));
    }

    if (!always && options.EmailGrown) {
        const std::string unit = AsciiUpperCase(options.EmailGrownUnit);
        if (unit != "%") {
            if (growth > ThresholdBytes(options.EmailGrownBy, unit)) {
                mail.Send = true;
                if (inSubject)
                    mail.Subject += " grown by " + SizeText(growth, locale);
            }
        } else if (previous != 0) {
            double percent =
                std::round(static_cast<double>(growth) * 100.0 / static_cast<double>(previous));
            if (percent > static_cast<double>(options.EmailGrownBy)) {
                mail.Send = true;
                if (inSubject)
                    mail.Subject += " grown by " + Percent(locale, percent);
            }
        }
    }
    mail.Subject = mail.Subject.substr(0, 255);
    return mail;
}

int ResultsMail(const TRefStore& store, const TOptions& options, TUserInterface& ui, int n,
                int newLog, int previousLog, const TLogRunNotes& run, const TLocale& locale,
                const std::string& mailFile, std::string* failure)
{
    TResultsFacts facts;
    facts.NotLogged = run.NotLogged;
    facts.Unreadable = run.Unreadable;
    facts.RefName = store.RefName(n);
    facts.LogDate = LogDate(store, n, newLog);
    facts.PassedExactLimit = store.RefLogFormat(n) == TLogFormat::Exact &&
                             LogFormatOf(store, n, newLog) == TLogFormat::Extended;
    facts.Total = LogTotals(store, n, newLog).Allocated;
    if (previousLog != 0)
        facts.PreviousTotal = LogTotals(store, n, previousLog).Allocated;
    if (!options.EmailOnlySubject) {
        facts.History = LogHistory(store, n, kMailHistoryLogs);
        if (!options.EmailAlways && previousLog != 0) {
            try {
                TFileStream file(store.CompFileName(n, previousLog, newLog), TFileMode::OpenRead);
                TDirCompare comparison(file);
                facts.TopGrowers = FindTopChanges(comparison, kMailTopGrowers).Grew;
            } catch (const EStreamError&) {
                // No comparison of the two logs (it failed or was not asked for): no list.
            }
        }
    }
    TResultsMailText text = ComposeResultsMail(options, facts, locale);
    if (!text.Send)
        return 0;
    // The walk over the whole new log is made only for a mail that goes, and has a body.
    if (!options.EmailOnlySubject) {
        try {
            TFileStream file(store.LogFileName(n, newLog), TFileMode::OpenRead);
            TDirStorage log(file);
            TStatisticsOptions statistics;
            statistics.Largest = 0;
            facts.Statistics = CollectLogStatistics(log, -1, statistics);
            text = ComposeResultsMail(options, facts, locale);
        } catch (const EStreamError&) {
            // The log cannot be read again: the mail goes without its summaries.
        }
    }

    TEmail email(ui, mailFile);
    email.Recipient = text.Recipients;
    email.Subject = text.Subject;
    for (const std::string& line : text.Lines)
        email.Text += line + "\r\n";
    email.Profile = text.Profile;
    int code = email.SendMail();
    if (code != 0 && failure)
        *failure = email.LastError();
    return code;
}

} // namespace vm
