#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/IniFileText.h"
#include "platform/SharedLocks.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace vm {

namespace {

// Reads, changes and writes back the file under its lock; nothing is written when the change
// leaves the text as it was (so a delete on a missing file creates nothing).
template <class F>
void Modify(const std::string& path, const std::string& sharedLockMounts, F change)
{
    std::string target = WriteTarget(path);
    if (!sharedLockMounts.empty())
        RequireSharedLocks(target, sharedLockMounts);
    TFileLock lock(target);
    TIniFileText text(ReadFileContent(target));
    if (change(text))
        ReplaceFileContent(target, text.Text());
}

bool ParseInteger(const std::string& s, long long& out)
{
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0')
        return false;
    out = v;
    return true;
}

} // namespace

TIniFile::TIniFile(std::string path, std::string sharedLockMounts)
    : path_(std::move(path)), sharedLockMounts_(std::move(sharedLockMounts))
{
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    auto v = TIniFileText(ReadFileContent(path_)).Value(section, key);
    return v ? *v : defaultValue;
}

long long TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                long long defaultValue) const
{
    long long v;
    return ParseInteger(ReadString(section, key, ""), v) ? v : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value)
{
    TIniFileText::CheckWritable(section, key, value);
    Modify(path_, sharedLockMounts_, [&](TIniFileText& t) { return t.Set(section, key, value); });
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, long long value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Modify(path_, sharedLockMounts_, [&](TIniFileText& t) { return t.Remove(section, key); });
}

void TIniFile::EraseSection(const std::string& section)
{
    Modify(path_, sharedLockMounts_, [&](TIniFileText& t) { return t.RemoveSection(section); });
}

void TIniFile::ReplaceKeys(const std::string& section,
                           const std::function<bool(const std::string& key)>& replaced,
                           const std::vector<std::pair<std::string, std::string>>& values)
{
    for (const auto& [key, value] : values)
        TIniFileText::CheckWritable(section, key, value);
    Modify(path_, sharedLockMounts_, [&](TIniFileText& t) {
        bool changed = false;
        for (const auto& [key, value] : t.Entries(section))
            if (replaced(key))
                changed = t.Remove(section, key) || changed;
        for (const auto& [key, value] : values)
            changed = t.Set(section, key, value) || changed;
        return changed;
    });
}

bool TIniFile::SectionExists(const std::string& section) const
{
    return TIniFileText(ReadFileContent(path_)).HasSection(section);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return TIniFileText(ReadFileContent(path_)).Value(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSections() const
{
    return TIniFileText(ReadFileContent(path_)).SectionNames();
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const
{
    std::vector<std::string> keys;
    for (auto& kv : ReadSectionValues(section))
        keys.push_back(std::move(kv.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>>
TIniFile::ReadSectionValues(const std::string& section) const
{
    return TIniFileText(ReadFileContent(path_)).Entries(section);
}

std::vector<std::pair<std::string, TIniFile::TSectionValues>> TIniFile::ReadAll() const
{
    TIniFileText text(ReadFileContent(path_));
    std::vector<std::pair<std::string, TSectionValues>> all;
    for (std::string& name : text.SectionNames()) {
        TSectionValues values = text.Entries(name);
        all.emplace_back(std::move(name), std::move(values));
    }
    return all;
}

int TIniFile::CountKeys(const std::string& section) const
{
    return int(ReadSectionValues(section).size());
}

long long TIniFile::TakeNumber(const std::string& section, const std::string& key,
                               long long defaultValue)
{
    return TakeNumber(section, key, defaultValue, {LLONG_MIN, LLONG_MAX - 1, defaultValue});
}

long long TIniFile::TakeNumber(const std::string& section, const std::string& key,
                               long long defaultValue, const TNumberRange& range,
                               std::string* unusable)
{
    long long taken = defaultValue;
    Modify(path_, sharedLockMounts_, [&](TIniFileText& t) {
        auto v = t.Value(section, key);
        taken = defaultValue;
        if (v && (!ParseInteger(*v, taken) || taken < range.Lowest || taken > range.Highest)) {
            taken = range.Fallback;
            if (unusable)
                *unusable = *v;
        }
        if (taken < range.Lowest || taken > range.Highest || taken == LLONG_MAX)
            throw std::runtime_error("Cannot take a number from \"" + path_ + "\" [" + section +
                                     "] " + key + ": the counter is at its end");
        return t.Set(section, key, std::to_string(taken + 1));
    });
    return taken;
}

} // namespace vm
