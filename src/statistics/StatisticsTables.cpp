#include "statistics/StatisticsTables.h"

#include "output/SizeText.h"

namespace vm {

namespace {

const char kNoOwners[] = "This log does not record owners.";
const char kNoOwnersInComparison[] = "This comparison does not record owners.";

bool Wanted(TReportTables which, TReportTables t)
{
    return which == TReportTables::All || which == t;
}

} // namespace

std::vector<TLogTable> LogTables(const TLogStatistics& s, TReportTables which, size_t top,
                                 const TLocale& locale, const TIdNames& names)
{
    std::vector<TLogTable> tables;
    if (Wanted(which, TReportTables::Type)) {
        tables.push_back({{"family", "Space by type", "Type"}, FamilyRows(s)});
        tables.push_back({{"extension", "Space by extension", "Extension"}, ExtensionRows(s, top)});
    }
    if (Wanted(which, TReportTables::Age)) {
        const std::string since =
            " (days counted back from " +
            locale.DateTimeText(static_cast<double>(static_cast<int64_t>(s.AgeReference))) + ")";
        tables.push_back({{"modified", "Last modified" + since, "Age"}, AgeRows(s, false)});
        tables.push_back({{"accessed", "Last accessed" + since, "Age"}, AgeRows(s, true)});
    }
    if (Wanted(which, TReportTables::Owner)) {
        const std::string note = s.HasOwners ? "" : kNoOwners;
        tables.push_back({{"owner", "Space by owner", "Owner", false, note},
                          OwnerRows(s, false, names.Owner, top)});
        if (s.HasOwners)
            tables.push_back(
                {{"group", "Space by group", "Group"}, OwnerRows(s, true, names.Group, top)});
    }
    if (Wanted(which, TReportTables::Largest)) {
        tables.push_back({{"largest_file", "Largest files", "Path", true}, LargestRows(s, false, top)});
        tables.push_back(
            {{"largest_directory", "Largest directories", "Path", true}, LargestRows(s, true, top)});
    }
    return tables;
}

std::vector<TChangeTable> ChangeTables(const TComparisonStatistics& s, TReportTables which,
                                       size_t top, const TIdNames& names)
{
    std::vector<TChangeTable> tables;
    if (Wanted(which, TReportTables::Type)) {
        tables.push_back({{"family", "Change by type", "Type"}, FamilyChangeRows(s)});
        tables.push_back(
            {{"extension", "Change by extension", "Extension"}, ExtensionChangeRows(s, top)});
    }
    if (Wanted(which, TReportTables::Owner)) {
        const std::string note = s.HasOwners ? "" : kNoOwnersInComparison;
        tables.push_back({{"owner", "Change by owner", "Owner", false, note},
                          OwnerChangeRows(s, false, names.Owner, top)});
        if (s.HasOwners)
            tables.push_back({{"group", "Change by group", "Group"},
                              OwnerChangeRows(s, true, names.Group, top)});
    }
    if (Wanted(which, TReportTables::Largest)) {
        tables.push_back({{"grew_directory", "Directories that grew most", "Path", true},
                          GrewDirectoryRows(s, top)});
        tables.push_back({{"shrank_directory", "Directories that shrank most", "Path", true},
                          ShrankDirectoryRows(s, top)});
        tables.push_back(
            {{"grew_file", "Files that grew most", "Path", true}, GrewFileRows(s, top)});
    }
    return tables;
}

std::string CountText(int64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::vector<std::string> LogTotalsLines(const TLogStatistics& s, const TLocale& locale)
{
    std::vector<std::string> lines = {
        CountText(s.Files.Count, "file", "files") + " in " +
        CountText(s.Directories, "directory", "directories") + ": size " +
        SizeText(s.Files.Size, locale) + ", space " + SizeText(s.Files.Space, locale)};
    if (s.DeletedFiles > 0)
        lines.push_back(CountText(s.DeletedFiles, "file", "files") +
                        " marked deleted from the disk not counted");
    return lines;
}

std::string ChangeTotalsLine(const TComparisonStatistics& s, const TLocale& locale)
{
    return CountText(s.Files.CountWas, "file", "files") + " then, " +
           std::to_string(s.Files.CountNow) + " now: space " + SizeText(s.Files.SpaceWas, locale) +
           " then, " + SizeText(s.Files.SpaceNow, locale) + " now, change " +
           ChangeText(s.Files.Change(), locale);
}

std::string ShareText(double share, const TLocale& locale)
{
    return locale.FormatFixed(share * 100.0, 1) + "%";
}

std::string ChangeText(int64_t change, const TLocale& locale)
{
    return (change > 0 ? "+" : "") + SizeText(change, locale);
}

} // namespace vm
