#include "core/FileFilter.h"

#include "platform/AsciiCase.h"
#include "platform/FileOwner.h"

#include <algorithm>
#include <cmath>

namespace vm {

void ResetFilter(TFilterFields& f, TDateTime today, const TLocale& locale)
{
    const TDateTime midnight = std::floor(today);
    f.FileNames.clear();
    f.FileNameEdit.clear();
    f.DateOn = false;
    f.DateRadio = 0;
    f.DateRange = "Modified";
    f.DateLow = locale.DateTimeText(midnight - 7);
    f.DateHigh = locale.DateTimeText(midnight);
    f.DateDays = 1;
    f.SizeOn = false;
    f.SizeSelect = "Greater than";
    f.SizeValue = 10;
    f.SizeUnit = "MB";
    f.Duplicates = f.MatchSize = f.MatchDate = false;
    f.TagsOn = false;
    f.CompareOn = false;
    f.OwnerOn = f.GroupOn = false;
    f.Owner.clear();
    f.Group.clear();
}

TFilterEnabling FilterEnabling(const TFilterFields& f)
{
    TFilterEnabling e;
    e.DateRange = e.DateRadio = f.DateOn;
    e.DateEdits = f.DateOn && f.DateRadio == 0;
    e.DateDays = f.DateOn && f.DateRadio != 0;
    e.Size = f.SizeOn;
    e.DuplicateOptions = f.Duplicates;
    e.Tags = f.TagsOn;
    e.Owner = f.OwnerOn;
    e.Group = f.GroupOn;
    e.AddName = !f.FileNameEdit.empty();
    return e;
}

bool AddFileName(TFilterFields& f)
{
    if (f.FileNameEdit.empty() || f.FileNameEdit.find(',') != std::string::npos)
        return false;
    if (std::find(f.FileNames.begin(), f.FileNames.end(), f.FileNameEdit) == f.FileNames.end())
        f.FileNames.push_back(f.FileNameEdit);
    f.FileNameEdit.clear();
    return true;
}

uint32_t TagMaskOf(const TFilterFields& f)
{
    uint32_t mask = 0;
    for (int i = 0; i < kTagLineCount; ++i)
        if (f.TagRadio == 0 || f.TagLines[size_t(i)])
            mask |= i == kRubbishBinLine ? kTagRubbishBin : uint32_t(1) << i;
    return mask;
}

TFilterParse ParseFilterFields(TFilterFields& f, int mode, bool tagsAvailable, TDateTime now,
                               const TLocale& locale, bool ownersRecorded)
{
    TFilterParse result;
    if (f.FileNames.empty() && !f.FileNameEdit.empty())
        AddFileName(f);
    TFilterTest t;
    t.Mode = mode;
    t.TagsAvailable = mode == kCompareFilterMode && tagsAvailable;
    for (const std::string& p : f.FileNames)
        t.Patterns.push_back(AsciiUpperCase(p));

    if (f.DateOn) {
        t.DateOn = true;
        t.DateField = f.DateRange == "Created" ? 1 : f.DateRange == "Accessed" ? 2 : 0;
        if (f.DateRadio != 0) {
            t.Low = std::floor(now) - f.DateDays;
            t.High = std::floor(now) + 0.9999;
        } else {
            for (auto [text, control, bound] :
                 {std::tuple{&f.DateLow, "DateLow", &t.Low}, {&f.DateHigh, "DateHigh", &t.High}}) {
                std::optional<TDateTime> date = locale.ParseDateTime(*text);
                if (!date) {
                    result.Message = *text + " is not a valid date - please enter again";
                    result.FocusControl = control;
                    return result;
                }
                *bound = *date;
            }
            t.High += 0.9999;
        }
    }
    if (f.SizeOn) {
        t.SizeOn = true;
        const int64_t factor = f.SizeUnit == "KB"   ? 1000
                               : f.SizeUnit == "GB" ? 1000000000
                                                    : 1000000;
        t.Threshold = int64_t(f.SizeValue) * factor;
        t.Less = f.SizeSelect == "Less than";
    }
    if (f.TagsOn) {
        t.TagsOn = true;
        t.SelectedTags = f.TagRadio != 0;
        t.Mask = TagMaskOf(f);
    }
    t.Duplicates = f.Duplicates;
    t.MatchSize = f.MatchSize;
    t.MatchDate = f.MatchDate;
    t.IgnoreExtension = f.IgnoreExtension;
    t.CompareOn = mode == kCompareFilterMode && f.CompareOn;
    if (t.CompareOn)
        t.CompareLines = f.CompareLines;
    if (ownersRecorded) {
        for (auto [on, text, lookup, kind, control, testOn, id] :
             {std::tuple{f.OwnerOn, &f.Owner, &AccountId, "user", "Owner", &t.OwnerOn, &t.Owner},
              {f.GroupOn, &f.Group, &GroupId, "group", "Group", &t.GroupOn, &t.Group}}) {
            if (!on)
                continue;
            std::optional<uint32_t> found = lookup(*text);
            if (!found) {
                result.Message = "\"" + *text + "\" is not a " + kind +
                                 " of this system - please enter a name or a number";
                result.FocusControl = control;
                return result;
            }
            *testOn = true;
            *id = *found;
        }
    }
    result.Test = std::move(t);
    return result;
}

bool TagSetPasses(const TFilterTest& t, uint32_t tags)
{
    if (tags == 0 || (tags & kTagDeleted) != 0)
        return false;
    return !t.SelectedTags || (tags & t.Mask) != 0;
}

namespace {

// The length of the character that starts at s[i]: a UTF-8 sequence counts as one character,
// any other byte as itself.
size_t CharLength(std::string_view s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + n > s.size())
        return 1;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    // Iterative matching with one backtrack point: linear in practice, never exponential.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP;
            starN += CharLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool FileMatchesFilter(const TFilterTest& t, std::string_view name, const TDirNode& entry)
{
    if (!t.Patterns.empty()) {
        const std::string upper = AsciiUpperCase(std::string(name));
        if (std::none_of(t.Patterns.begin(), t.Patterns.end(),
                         [&](const std::string& p) { return WildcardMatch(p, upper); }))
            return false;
    }
    if (t.DateOn) {
        const TDateTime d = t.DateField == 1   ? entry.Created
                            : t.DateField == 2 ? entry.Accessed
                                               : entry.Modified;
        if (d < t.Low || d > t.High)
            return false;
    }
    if (t.SizeOn && (t.Less ? entry.Size >= t.Threshold : entry.Size <= t.Threshold))
        return false;
    if (t.TagsOn && !TagSetPasses(t, entry.Tags))
        return false;
    if ((t.OwnerOn && entry.Owner != t.Owner) || (t.GroupOn && entry.Group != t.Group))
        return false;
    return true;
}

} // namespace vm
