#include "fileops/FilterIni.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace vm {

namespace {

const char* YesNo(bool value)
{
    return value ? "Yes" : "No";
}

std::string Joined(const std::vector<std::string>& fields)
{
    std::string text;
    for (const std::string& f : fields)
        text += f + ",";
    return text;
}

std::vector<std::string> Fields(const std::string& value)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = value.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(value.substr(start, comma - start));
    if (start < value.size())
        fields.push_back(value.substr(start));
    return fields;
}

std::optional<int> Number(const std::string& text)
{
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

int Count(const std::string& text, int low, int high)
{
    return std::clamp(Number(text).value_or(1), low, high);
}

std::string OneOf(const std::string& text, std::initializer_list<const char*> items,
                  const char* fallback)
{
    for (const char* item : items)
        if (text == item)
            return text;
    return fallback;
}

void Lines(const std::vector<std::string>& fields, size_t from, std::vector<bool>& lines)
{
    std::fill(lines.begin(), lines.end(), false);
    for (size_t i = from; i < fields.size(); ++i)
        if (std::optional<int> n = Number(fields[i]); n && *n >= 0 && *n < 4096) {
            if (lines.size() <= size_t(*n))
                lines.resize(size_t(*n) + 1, false);
            lines[size_t(*n)] = true;
        }
}

} // namespace

TFilterValues FilterValuesOf(const TFilterFields& f)
{
    TFilterValues v;
    v.FileNames = Joined(f.FileNames);
    v.Date = Joined({YesNo(f.DateOn), f.DateRange, std::to_string(f.DateRadio), f.DateLow,
                     f.DateHigh, std::to_string(f.DateDays)});
    v.Size = Joined({YesNo(f.SizeOn), f.SizeSelect, std::to_string(f.SizeValue), f.SizeUnit});
    v.Duplicate = Joined(
        {YesNo(f.Duplicates), YesNo(f.MatchSize), YesNo(f.MatchDate), YesNo(f.IgnoreExtension)});
    std::vector<std::string> tags = {YesNo(f.TagsOn), std::to_string(f.TagRadio)};
    if (f.TagRadio == 1)
        for (int i = 0; i < kTagLineCount; ++i)
            if (f.TagLines[size_t(i)])
                tags.push_back(std::to_string(i));
    v.Tags = Joined(tags);
    std::vector<std::string> compare = {YesNo(f.CompareOn)};
    for (size_t i = 0; i < f.CompareLines.size(); ++i)
        if (f.CompareLines[i])
            compare.push_back(std::to_string(i));
    v.Compare = Joined(compare);
    v.Owner = Joined({YesNo(f.OwnerOn), f.Owner, YesNo(f.GroupOn), f.Group});
    return v;
}

void ApplyFilterValues(const TFilterValues& v, TFilterFields& f)
{
    f.FileNames = Fields(v.FileNames);
    f.FileNames.erase(std::remove(f.FileNames.begin(), f.FileNames.end(), std::string()),
                      f.FileNames.end());

    std::vector<std::string> d = Fields(v.Date);
    if (d.size() > 0)
        f.DateOn = d[0] == "Yes";
    if (d.size() > 1)
        f.DateRange = OneOf(d[1], {"Accessed", "Created", "Modified"}, "Modified");
    if (d.size() > 2)
        f.DateRadio = Number(d[2]).value_or(0) != 0 ? 1 : 0;
    if (d.size() > 3)
        f.DateLow = d[3];
    if (d.size() > 4)
        f.DateHigh = d[4];
    if (d.size() > 5)
        f.DateDays = Count(d[5], 1, 365);

    std::vector<std::string> s = Fields(v.Size);
    if (s.size() > 0)
        f.SizeOn = s[0] == "Yes";
    if (s.size() > 1)
        f.SizeSelect = OneOf(s[1], {"Greater than", "Less than"}, "Greater than");
    if (s.size() > 2)
        f.SizeValue = Count(s[2], 1, 999999);
    if (s.size() > 3)
        f.SizeUnit = OneOf(s[3], {"KB", "MB", "GB"}, "KB");

    std::vector<std::string> u = Fields(v.Duplicate);
    bool* duplicates[] = {&f.Duplicates, &f.MatchSize, &f.MatchDate, &f.IgnoreExtension};
    for (size_t i = 0; i < u.size() && i < 4; ++i)
        *duplicates[i] = u[i] == "Yes";

    std::vector<std::string> t = Fields(v.Tags);
    if (t.size() > 0)
        f.TagsOn = t[0] == "Yes";
    if (t.size() > 1) {
        f.TagRadio = Number(t[1]).value_or(0) != 0 ? 1 : 0;
        std::vector<bool> lines(kTagLineCount, false);
        Lines(t, 2, lines);
        for (int i = 0; i < kTagLineCount; ++i)
            f.TagLines[size_t(i)] = lines[size_t(i)];
    }

    std::vector<std::string> c = Fields(v.Compare);
    if (c.size() > 0) {
        f.CompareOn = c[0] == "Yes";
        Lines(c, 1, f.CompareLines);
    }

    std::vector<std::string> o = Fields(v.Owner);
    if (o.size() > 0)
        f.OwnerOn = o[0] == "Yes";
    if (o.size() > 1)
        f.Owner = o[1];
    if (o.size() > 2)
        f.GroupOn = o[2] == "Yes";
    if (o.size() > 3)
        f.Group = o[3];
}

namespace {
const char* const kKeys[] = {"FileNames", "Date", "Size", "Duplicate", "Tags", "Compare", "Owner"};
constexpr int kKeyCount = 7;

std::string* ValueOf(TFilterValues& v, int key)
{
    std::string* values[] = {&v.FileNames, &v.Date,    &v.Size, &v.Duplicate,
                             &v.Tags,      &v.Compare, &v.Owner};
    return values[key];
}
} // namespace

void SaveFilterSettings(const std::string& iniPath, const std::string& section,
                        const TFilterFields& fields)
{
    TIniFile ini(iniPath);
    TFilterValues values = FilterValuesOf(fields);
    for (int key = 0; key < kKeyCount; ++key)
        ini.WriteString(section, kKeys[key], *ValueOf(values, key));
}

void GetFilterSettings(const std::string& iniPath, const std::string& section,
                       TFilterFields& fields)
{
    TIniFile ini(iniPath);
    TFilterValues values;
    for (int key = 0; key < kKeyCount; ++key)
        *ValueOf(values, key) = ini.ReadString(section, kKeys[key], "");
    ApplyFilterValues(values, fields);
}

void LoadFilterFromIni(const std::string& iniPath, const std::string& section,
                       TFilterFields& fields, TDateTime today, const TLocale& locale)
{
    if (!TIniFile(iniPath).SectionExists(section)) {
        ResetFilter(fields, today, locale);
        try {
            SaveFilterSettings(iniPath, section, fields);
        } catch (const std::runtime_error&) {
            return; // a data directory that cannot be written keeps the reset state
        }
    }
    GetFilterSettings(iniPath, section, fields);
}

} // namespace vm
