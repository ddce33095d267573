#include "statistics/StatisticsReport.h"

#include "output/ListColumns.h"
#include "output/SizeText.h"
#include "output/TextTable.h"

namespace vm {

namespace {

// Text blocks and CSV or JSON records, written to the sink as they are made.
class TReportWriter
{
public:
    TReportWriter(const TReportOptions& options, const TLocale& locale, const TExportSink& sink,
                  std::vector<std::string> fields)
        : options_(options), locale_(locale), sink_(sink)
    {
        if (options_.Format != TReportFormat::Text)
            writer_.emplace(options_.Format == TReportFormat::Csv ? TExportFormat::Csv
                                                                  : TExportFormat::Json,
                            std::move(fields), sink_);
    }
    bool Text() const { return !writer_; }
    TExportWriter& Records() { return *writer_; }
    void Lines(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        sink_(text);
    }
    // A heading, the table (its first row the captions) and an empty line.
    void Block(const std::string& title, const std::vector<std::vector<std::string>>& cells,
               const std::vector<TAlign>& align, const std::string& note)
    {
        std::vector<std::string> lines = {title};
        if (!note.empty())
            lines.push_back("  " + note);
        else if (cells.size() <= 1)
            lines.push_back("  (none)");
        else
            for (std::string& line : TextTableLines(cells, align, "  "))
                lines.push_back(std::move(line));
        lines.push_back("");
        Lines(lines);
    }
    void Finish()
    {
        if (writer_)
            writer_->Finish();
    }

private:
    const TReportOptions& options_;
    const TLocale& locale_;
    const TExportSink& sink_;
    std::optional<TExportWriter> writer_;
};

// ---- Logs ---------------------------------------------------------------------------------------

enum TLogField
{
    kLogTable,
    kLogName,
    kLogId,
    kLogFiles,
    kLogSize,
    kLogSpace,
    kLogPercent
};

void WriteLogTable(TReportWriter& out, const TStatsTableInfo& table, const std::vector<TStatsRow>& rows,
                   const TLocale& locale)
{
    if (!out.Text()) {
        TExportWriter& w = out.Records();
        for (const TStatsRow& r : rows) {
            w.SetText(kLogTable, table.Key);
            if (table.Paths)
                w.SetPath(kLogName, r.Name);
            else
                w.SetText(kLogName, r.Name);
            if (r.Id >= 0)
                w.SetNumber(kLogId, r.Id);
            if (!table.Paths)
                w.SetNumber(kLogFiles, r.Count);
            w.SetNumber(kLogSize, r.Size);
            w.SetNumber(kLogSpace, r.Space);
            w.SetDecimal(kLogPercent, r.Share * 100.0, 2);
            w.EndRecord();
        }
        return;
    }
    std::vector<std::vector<std::string>> cells;
    if (table.Paths) {
        cells.push_back({"Space", "Size", "Share", table.NameCaption});
        for (const TStatsRow& r : rows)
            cells.push_back({SizeText(r.Space, locale), SizeText(r.Size, locale),
                             ShareText(r.Share, locale), OneLine(r.Name)});
        out.Block(table.Title, cells, {TAlign::Right, TAlign::Right, TAlign::Right, TAlign::Left},
                  table.Note);
        return;
    }
    cells.push_back({table.NameCaption, "Files", "Size", "Space", "Share"});
    for (const TStatsRow& r : rows)
        cells.push_back({OneLine(r.Name), std::to_string(r.Count), SizeText(r.Size, locale),
                         SizeText(r.Space, locale), ShareText(r.Share, locale)});
    out.Block(table.Title, cells,
              {TAlign::Left, TAlign::Right, TAlign::Right, TAlign::Right, TAlign::Right},
              table.Note);
}

void WriteLogTotals(TReportWriter& out, const TLogStatistics& s, const TReportOptions& options,
                    const TLocale& locale)
{
    if (!out.Text()) {
        TExportWriter& w = out.Records();
        auto total = [&w](const char* name, int64_t count, const TSpaceFigures* f) {
            w.SetText(kLogTable, "total");
            w.SetText(kLogName, name);
            w.SetNumber(kLogFiles, count);
            if (f) {
                w.SetNumber(kLogSize, f->Size);
                w.SetNumber(kLogSpace, f->Space);
                w.SetDecimal(kLogPercent, 100.0, 2);
            }
            w.EndRecord();
        };
        total("files", s.Files.Count, &s.Files);
        total("directories", s.Directories, nullptr);
        total("deleted files", s.DeletedFiles, nullptr);
        return;
    }
    std::vector<std::string> lines;
    if (!options.Title.empty())
        lines.push_back("Statistics of " + OneLine(options.Title));
    for (std::string& line : LogTotalsLines(s, locale))
        lines.push_back(std::move(line));
    lines.push_back("");
    out.Lines(lines);
}

// ---- Comparisons
// ---------------------------------------------------------------------------------

enum TChangeField
{
    kCmpTable,
    kCmpName,
    kCmpId,
    kCmpFilesWas,
    kCmpFilesNow,
    kCmpSpaceWas,
    kCmpSpaceNow,
    kCmpChange
};

void WriteChangeTable(TReportWriter& out, const TStatsTableInfo& table, const std::vector<TChangeRow>& rows,
                      const TLocale& locale)
{
    if (!out.Text()) {
        TExportWriter& w = out.Records();
        for (const TChangeRow& r : rows) {
            w.SetText(kCmpTable, table.Key);
            if (table.Paths)
                w.SetPath(kCmpName, r.Name);
            else
                w.SetText(kCmpName, r.Name);
            if (r.Id >= 0)
                w.SetNumber(kCmpId, r.Id);
            if (!table.Paths) {
                w.SetNumber(kCmpFilesWas, r.CountWas);
                w.SetNumber(kCmpFilesNow, r.CountNow);
            }
            w.SetNumber(kCmpSpaceWas, r.SpaceWas);
            w.SetNumber(kCmpSpaceNow, r.SpaceNow);
            w.SetNumber(kCmpChange, r.Change());
            w.EndRecord();
        }
        return;
    }
    std::vector<std::vector<std::string>> cells;
    if (table.Paths) {
        cells.push_back({"Change", "Space was", "Space now", table.NameCaption});
        for (const TChangeRow& r : rows)
            cells.push_back({ChangeText(r.Change(), locale), SizeText(r.SpaceWas, locale),
                             SizeText(r.SpaceNow, locale), OneLine(r.Name)});
        out.Block(table.Title, cells, {TAlign::Right, TAlign::Right, TAlign::Right, TAlign::Left},
                  table.Note);
        return;
    }
    cells.push_back(
        {table.NameCaption, "Files was", "Files now", "Space was", "Space now", "Change"});
    for (const TChangeRow& r : rows)
        cells.push_back({OneLine(r.Name), std::to_string(r.CountWas), std::to_string(r.CountNow),
                         SizeText(r.SpaceWas, locale), SizeText(r.SpaceNow, locale),
                         ChangeText(r.Change(), locale)});
    out.Block(
        table.Title, cells,
        {TAlign::Left, TAlign::Right, TAlign::Right, TAlign::Right, TAlign::Right, TAlign::Right},
        table.Note);
}

} // namespace

std::optional<TReportFormat> ReportFormatOfName(std::string_view name)
{
    if (name == "text")
        return TReportFormat::Text;
    if (name == "csv")
        return TReportFormat::Csv;
    if (name == "json")
        return TReportFormat::Json;
    return std::nullopt;
}

std::optional<TReportTables> ReportTablesOfName(std::string_view name)
{
    if (name == "type")
        return TReportTables::Type;
    if (name == "age")
        return TReportTables::Age;
    if (name == "owner")
        return TReportTables::Owner;
    if (name == "largest")
        return TReportTables::Largest;
    return std::nullopt;
}

void WriteLogReport(const TLogStatistics& s, const TReportOptions& o, const TLocale& locale,
                    const TIdNames& names, const TExportSink& sink)
{
    TReportWriter out(o, locale, sink,
                      {"table", "name", "id", "files", "size", "space", "percent"});
    WriteLogTotals(out, s, o, locale);
    for (const TLogTable& table : LogTables(s, o.Tables, o.Top, locale, names))
        WriteLogTable(out, table.Info, table.Rows, locale);
    out.Finish();
}

void WriteComparisonReport(const TComparisonStatistics& s, const TReportOptions& o,
                           const TLocale& locale, const TIdNames& names, const TExportSink& sink)
{
    TReportWriter out(
        o, locale, sink,
        {"table", "name", "id", "files_was", "files_now", "space_was", "space_now", "change"});
    if (out.Text()) {
        std::vector<std::string> lines;
        if (!o.Title.empty())
            lines.push_back("Changes in " + OneLine(o.Title));
        lines.push_back(ChangeTotalsLine(s, locale));
        lines.push_back("");
        out.Lines(lines);
    } else {
        TExportWriter& w = out.Records();
        w.SetText(kCmpTable, "total");
        w.SetText(kCmpName, "files");
        w.SetNumber(kCmpFilesWas, s.Files.CountWas);
        w.SetNumber(kCmpFilesNow, s.Files.CountNow);
        w.SetNumber(kCmpSpaceWas, s.Files.SpaceWas);
        w.SetNumber(kCmpSpaceNow, s.Files.SpaceNow);
        w.SetNumber(kCmpChange, s.Files.Change());
        w.EndRecord();
    }
    for (const TChangeTable& table : ChangeTables(s, o.Tables, o.Top, names))
        WriteChangeTable(out, table.Info, table.Rows, locale);
    out.Finish();
}

std::vector<std::string> MailStatisticsLines(const TLogStatistics& s, const TLocale& locale,
                                             const TIdNames& names)
{
    auto table = [&locale](const std::vector<TStatsRow>& rows) {
        std::vector<std::vector<std::string>> cells;
        for (const TStatsRow& r : rows)
            cells.push_back({OneLine(r.Name), SizeText(r.Space, locale), ShareText(r.Share, locale),
                             CountText(r.Count, "file", "files")});
        return TextTableLines(cells, {TAlign::Left, TAlign::Right, TAlign::Right, TAlign::Right},
                              "  ");
    };
    std::vector<std::string> lines;
    const std::vector<TStatsRow> families = FamilyRows(s);
    if (!families.empty()) {
        lines.push_back("");
        lines.push_back("Space by type :");
        for (std::string& line : table(families))
            lines.push_back(std::move(line));
    }
    if (s.HasOwners) {
        lines.push_back("");
        lines.push_back("Space by owner :");
        for (std::string& line : table(OwnerRows(s, false, names.Owner, 10)))
            lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace vm
