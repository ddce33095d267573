// vmlog report: the statistics of a log (space by type, age, owner; the largest files and
// directories) or of a comparison (change by type and owner; what grew most), gathered in one
// pass, as text tables, CSV or JSON on stdout. A damaged file reports what reads and ends with
// status 1 and the reason.
#include "core/DirCompare.h"
#include "platform/FileOwner.h"
#include "statistics/StatisticsReport.h"
#include "vmlog/Commands.h"

#include <algorithm>
#include <optional>
#include <unistd.h>

namespace vm::vmlog {

namespace {

const char kReportUsage[] =
    "usage: vmlog report FILE [--by type|age|owner|largest] [--top N] [--format text|csv|json]";

struct TReportRequest
{
    std::string Input;
    TReportOptions Options;
};

std::optional<TReportRequest> ParseReport(const TArgs& args, int& status)
{
    TReportRequest request;
    auto refuse = [&status](const std::string& why) {
        status = Fail(why + "; " + kReportUsage, kExitUsage);
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const size_t equals = a.find('=');
        const std::string option = a.rfind("--", 0) == 0 ? a.substr(0, equals) : a;
        if (option == "--by" || option == "--top" || option == "--format") {
            std::string value;
            if (equals != std::string::npos)
                value = a.substr(equals + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                return refuse(option + " needs a value");
            if (option == "--by") {
                std::optional<TReportTables> tables = ReportTablesOfName(value);
                if (!tables)
                    return refuse("unknown table \"" + value + "\"");
                request.Options.Tables = *tables;
            } else if (option == "--top") {
                std::optional<size_t> top = ParseTopCount(value);
                if (!top)
                    return refuse("--top needs a whole number from 1 to 1000000, not \"" + value +
                                  "\"");
                request.Options.Top = *top;
            } else {
                std::optional<TReportFormat> format = ReportFormatOfName(value);
                if (!format)
                    return refuse("unknown format \"" + value + "\"");
                request.Options.Format = *format;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return refuse("unknown option " + a);
        } else if (request.Input.empty()) {
            request.Input = a;
        } else {
            return refuse("one file at a time");
        }
    }
    if (request.Input.empty())
        return refuse("no file given");
    return request;
}

} // namespace

int ReportCommand(const TArgs& args)
{
    int status = 0;
    std::optional<TReportRequest> request = ParseReport(args, status);
    if (!request)
        return status;
    TReportOptions& options = request->Options;
    options.Title = request->Input;
    // The largest lists keep as many as the report shows, and never fewer than the statistics
    // view's hundred.
    const size_t keep = std::max<size_t>(options.Top, 100);
    const TLocale locale = TLocale::FromEnvironment();
    const TIdNames names{AccountName, GroupName};
    auto out = [](std::string_view text) { WriteAll(STDOUT_FILENO, text); };
    std::string damage;

    TFileStream input(request->Input, TFileMode::OpenRead);
    if (IsComparisonFile(request->Input)) {
        if (options.Tables == TReportTables::Age)
            return Fail("a comparison has no age tables (its ages are those of the newer log: "
                        "report on that log)",
                        kExitUsage);
        TDirCompare comparison(input);
        const TComparisonStatistics stats = CollectComparisonStatistics(comparison, -1, keep);
        WriteComparisonReport(stats, options, locale, names, out);
        damage = stats.Damage;
    } else {
        if (!IsLogFile(input))
            return Fail(request->Input +
                        " is neither a log nor a comparison (it does not begin with the "
                        "signature)");
        TDirStorage log(input);
        TStatisticsOptions statistics;
        statistics.Largest = keep;
        const TLogStatistics stats = CollectLogStatistics(log, -1, statistics);
        WriteLogReport(stats, options, locale, names, out);
        damage = stats.Damage;
    }
    if (!damage.empty())
        return Fail(request->Input + " is damaged: " + damage +
                    "; the report counts what comes before it");
    return kExitOk;
}

} // namespace vm::vmlog
