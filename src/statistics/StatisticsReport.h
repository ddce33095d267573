// The statistics of a log or a comparison written out for scripts and mail: as text tables, as
// CSV or as JSON (one record per row, output/ExportWriter.h), and the short summaries the
// results and alerts mails end with.
#pragma once

#include "output/ExportWriter.h"
#include "platform/Locale.h"
#include "statistics/ComparisonStatistics.h"
#include "statistics/LogStatistics.h"
#include "statistics/StatisticsRows.h"
#include "statistics/StatisticsTables.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TReportFormat
{
    Text,
    Csv,
    Json
};
// "text", "csv", "json"; nothing for another name.
std::optional<TReportFormat> ReportFormatOfName(std::string_view name);

// "type", "age", "owner", "largest"; nothing for another name.
std::optional<TReportTables> ReportTablesOfName(std::string_view name);

struct TReportOptions
{
    TReportTables Tables = TReportTables::All;
    size_t Top = 20; // rows of the extension, owner and largest tables
    TReportFormat Format = TReportFormat::Text;
    std::string Title; // the file the statistics are of (the text's first line names it)
};

// Writes the report to sink. A comparison has no age tables (Tables Age writes none).
void WriteLogReport(const TLogStatistics& stats, const TReportOptions& options,
                    const TLocale& locale, const TIdNames& names, const TExportSink& sink);
void WriteComparisonReport(const TComparisonStatistics& stats, const TReportOptions& options,
                           const TLocale& locale, const TIdNames& names, const TExportSink& sink);

// The lines a results or alerts mail adds about the new log: its space by type family and, where
// the log records owners, by owner (the ten largest).
std::vector<std::string> MailStatisticsLines(const TLogStatistics& stats, const TLocale& locale,
                                             const TIdNames& names);

} // namespace vm
