#include "statistics/StatisticsRows.h"

#include <algorithm>

namespace vm {

namespace {

using TKind = TStatsSelection::TKind;

double ShareOf(int64_t part, int64_t whole)
{
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

TStatsRow RowOf(std::string name, const TSpaceFigures& f, int64_t total)
{
    TStatsRow row;
    row.Name = std::move(name);
    row.Count = f.Count;
    row.Size = f.Size;
    row.Space = f.Space;
    row.Share = ShareOf(f.Space, total);
    return row;
}

// Largest space first, then by name, so that a table never depends on a map's order.
void SortBySpace(std::vector<TStatsRow>& rows)
{
    std::sort(rows.begin(), rows.end(), [](const TStatsRow& a, const TStatsRow& b) {
        return a.Space != b.Space ? a.Space > b.Space : a.Name < b.Name;
    });
}

// The largest change first, growth or loss (a growth before a loss of the same size), then by
// name: the rows a table cut short keeps are the ones that moved most.
void SortByChange(std::vector<TChangeRow>& rows)
{
    auto size = [](const TChangeRow& r) { return r.Change() < 0 ? -r.Change() : r.Change(); };
    std::sort(rows.begin(), rows.end(), [&size](const TChangeRow& a, const TChangeRow& b) {
        if (size(a) != size(b))
            return size(a) > size(b);
        return a.Change() != b.Change() ? a.Change() > b.Change() : a.Name < b.Name;
    });
}

template <class Row> std::vector<Row> FirstOf(std::vector<Row> rows, size_t count)
{
    if (count > 0 && rows.size() > count)
        rows.resize(count);
    return rows;
}

TChangeRow ChangeRowOf(std::string name, const TChangeFigures& f)
{
    TChangeRow row;
    row.Name = std::move(name);
    row.CountWas = f.CountWas;
    row.CountNow = f.CountNow;
    row.SpaceWas = f.SpaceWas;
    row.SpaceNow = f.SpaceNow;
    return row;
}

TStatsSelection ExtensionSelection(const std::string& extension)
{
    TStatsSelection s;
    if (extension != kOtherExtensions) {
        s.Kind = TKind::Extension;
        s.Extension = extension;
    }
    return s;
}

TStatsSelection IdSelection(uint32_t id, bool group)
{
    TStatsSelection s;
    if (id != kOtherIds) {
        s.Kind = group ? TKind::Group : TKind::Owner;
        s.Id = id;
    }
    return s;
}

std::string IdRowName(uint32_t id, const TIdName& name)
{
    if (id == kOtherIds)
        return "(others)";
    if (id == kNoOwnerId)
        return "(unknown)";
    return name ? name(id) : std::to_string(id);
}

} // namespace

bool TStatsSelection::Matches(const TEntryFacts& f) const
{
    if (f.Directory)
        return Kind == TKind::Entry && f.Offset == Offset;
    switch (Kind) {
    case TKind::None:
        return false;
    case TKind::Family:
        return FileFamilyOf(f.Name) == Family;
    case TKind::Extension:
        return ExtensionKey(f.Name) == Extension;
    case TKind::Modified:
        return AgeBucketOf(f.Modified, f.ModifiedKnown, AgeReference) == Age;
    case TKind::Accessed:
        return AgeBucketOf(f.Accessed, f.AccessedKnown, AgeReference) == Age;
    case TKind::Owner:
        return f.Owner == Id;
    case TKind::Group:
        return f.Group == Id;
    case TKind::Entry:
        return f.Offset == Offset;
    }
    return false;
}

std::optional<TFilterFields> TStatsSelection::FilterFields(const TLocale& locale) const
{
    TFilterFields fields;
    ResetFilter(fields, AgeReference, locale);
    switch (Kind) {
    case TKind::Family:
        for (const std::string& e : FamilyExtensions(Family))
            fields.FileNames.push_back("*" + e);
        if (fields.FileNames.empty())
            return std::nullopt;
        return fields;
    case TKind::Extension:
        if (Extension.empty() || Extension.find(',') != std::string::npos)
            return std::nullopt;
        fields.FileNames.push_back("*" + Extension);
        return fields;
    case TKind::Modified:
    case TKind::Accessed: {
        if (Age == TAgeBucket::Unknown)
            return std::nullopt;
        const TDayRange days = AgeBucketDays(Age, AgeReference);
        fields.DateOn = true;
        fields.DateRange = Kind == TKind::Modified ? "Modified" : "Accessed";
        fields.DateRadio = 0;
        fields.DateLow = locale.DateTimeText(days.First);
        fields.DateHigh = locale.DateTimeText(days.Last);
        return fields;
    }
    case TKind::Owner:
    case TKind::Group:
        if (Id == kNoOwnerId)
            return std::nullopt;
        // By number: the row's id is what the log holds, whatever name it has here.
        (Kind == TKind::Owner ? fields.OwnerOn : fields.GroupOn) = true;
        (Kind == TKind::Owner ? fields.Owner : fields.Group) = std::to_string(Id);
        return fields;
    case TKind::None:
    case TKind::Entry:
        break;
    }
    return std::nullopt;
}

std::string ExtensionRowName(const std::string& extension)
{
    if (extension.empty())
        return "(no extension)";
    return extension;
}

namespace {

// The tables both kinds of statistics have, over their own figures: make(name, figures) gives a
// row, sort puts the rows in their order.
template <class Row, class Figures, class Make, class Sort>
std::vector<Row> FamilyTable(const std::array<Figures, kFamilyCount>& families, Make make,
                             Sort sort)
{
    std::vector<Row> rows;
    for (TFileFamily family : kFamilies) {
        const Figures& f = families[static_cast<size_t>(family)];
        if (f == Figures())
            continue;
        Row row = make(FamilyName(family), f);
        row.Select.Kind = TKind::Family;
        row.Select.Family = family;
        rows.push_back(std::move(row));
    }
    sort(rows);
    return rows;
}

template <class Row, class Map, class Make, class Sort>
std::vector<Row> ExtensionTable(const Map& extensions, Make make, Sort sort, size_t count)
{
    std::vector<Row> rows;
    for (const auto& [extension, f] : extensions) {
        Row row = make(ExtensionRowName(extension), f);
        row.Select = ExtensionSelection(extension);
        rows.push_back(std::move(row));
    }
    sort(rows);
    return FirstOf(std::move(rows), count);
}

template <class Row, class Map, class Make, class Sort>
std::vector<Row> IdTable(const Map& ids, bool groups, const TIdName& name, Make make, Sort sort,
                         size_t count)
{
    std::vector<Row> rows;
    for (const auto& [id, f] : ids) {
        Row row = make(IdRowName(id, name), f);
        row.Id = id == kOtherIds ? -1 : int64_t(id);
        row.Select = IdSelection(id, groups);
        rows.push_back(std::move(row));
    }
    sort(rows);
    return FirstOf(std::move(rows), count);
}

} // namespace

std::vector<TStatsRow> FamilyRows(const TLogStatistics& stats)
{
    auto make = [&](std::string name, const TSpaceFigures& f) {
        return RowOf(std::move(name), f, stats.Files.Space);
    };
    return FamilyTable<TStatsRow>(stats.Families, make, SortBySpace);
}

std::vector<TStatsRow> ExtensionRows(const TLogStatistics& stats, size_t count)
{
    auto make = [&](std::string name, const TSpaceFigures& f) {
        return RowOf(std::move(name), f, stats.Files.Space);
    };
    return ExtensionTable<TStatsRow>(stats.Extensions, make, SortBySpace, count);
}

std::vector<TStatsRow> AgeRows(const TLogStatistics& stats, bool accessed)
{
    const auto& table = accessed ? stats.Accessed : stats.Modified;
    std::vector<TStatsRow> rows;
    for (TAgeBucket bucket : kAgeBuckets) {
        const TSpaceFigures& f = table[static_cast<size_t>(bucket)];
        if (bucket == TAgeBucket::Unknown && f.Count == 0)
            continue;
        TStatsRow row = RowOf(AgeBucketName(bucket), f, stats.Files.Space);
        row.Select.Kind = accessed ? TKind::Accessed : TKind::Modified;
        row.Select.Age = bucket;
        row.Select.AgeReference = stats.AgeReference;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TStatsRow> OwnerRows(const TLogStatistics& stats, bool groups, const TIdName& name,
                                 size_t count)
{
    auto make = [&](std::string text, const TSpaceFigures& f) {
        return RowOf(std::move(text), f, stats.Files.Space);
    };
    return IdTable<TStatsRow>(groups ? stats.Groups : stats.Owners, groups, name, make, SortBySpace,
                              count);
}

std::vector<TStatsRow> LargestRows(const TLogStatistics& stats, bool directories, size_t count)
{
    std::vector<TStatsRow> rows;
    for (const TLargestEntry& e : directories ? stats.LargestDirectories : stats.LargestFiles) {
        TStatsRow row;
        row.Name = e.Path;
        row.Count = directories ? 0 : 1;
        row.Size = e.Size;
        row.Space = e.Space;
        row.Share = ShareOf(e.Space, stats.Files.Space);
        row.Select.Kind = TKind::Entry;
        row.Select.Offset = e.Offset;
        rows.push_back(std::move(row));
    }
    return FirstOf(std::move(rows), count);
}

std::vector<TChangeRow> FamilyChangeRows(const TComparisonStatistics& stats)
{
    return FamilyTable<TChangeRow>(stats.Families, ChangeRowOf, SortByChange);
}

std::vector<TChangeRow> ExtensionChangeRows(const TComparisonStatistics& stats, size_t count)
{
    return ExtensionTable<TChangeRow>(stats.Extensions, ChangeRowOf, SortByChange, count);
}

std::vector<TChangeRow> OwnerChangeRows(const TComparisonStatistics& stats, bool groups,
                                        const TIdName& name, size_t count)
{
    return IdTable<TChangeRow>(groups ? stats.Groups : stats.Owners, groups, name, ChangeRowOf,
                               SortByChange, count);
}

namespace {

TChangeRow EntryChangeRow(const std::string& path, int64_t was, int64_t now, int64_t offset)
{
    TChangeRow row;
    row.Name = path;
    row.SpaceWas = was;
    row.SpaceNow = now;
    row.Select.Kind = TKind::Entry;
    row.Select.Offset = offset;
    return row;
}

std::vector<TChangeRow> DirectoryChangeRows(const std::vector<TDirectoryChange>& list, size_t count)
{
    std::vector<TChangeRow> rows;
    for (const TDirectoryChange& d : list)
        rows.push_back(EntryChangeRow(d.Path, d.AllocWas, d.AllocNow, d.Offset));
    return FirstOf(std::move(rows), count);
}

} // namespace

std::vector<TChangeRow> GrewDirectoryRows(const TComparisonStatistics& stats, size_t count)
{
    return DirectoryChangeRows(stats.ChangedDirectories.Grew, count);
}

std::vector<TChangeRow> ShrankDirectoryRows(const TComparisonStatistics& stats, size_t count)
{
    return DirectoryChangeRows(stats.ChangedDirectories.Shrank, count);
}

std::vector<TChangeRow> GrewFileRows(const TComparisonStatistics& stats, size_t count)
{
    std::vector<TChangeRow> rows;
    for (const TFileChange& f : stats.GrowingFiles)
        rows.push_back(EntryChangeRow(f.Path, f.SpaceWas, f.SpaceNow, f.Offset));
    return FirstOf(std::move(rows), count);
}

} // namespace vm
