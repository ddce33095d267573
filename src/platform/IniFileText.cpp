#include "platform/IniFileText.h"
#include "platform/AsciiCase.h"

#include "platform/IniFile.h"

#include <cstring>
#include <stdexcept>

namespace vm {

namespace {

constexpr size_t npos = std::string::npos;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string Trim(const std::string& s)
{
    return TrimIniBlanks(s);
}

bool SameText(const std::string& a, const std::string& b)
{
    return SameTextIgnoringCase(a, b);
}

bool HasLineBreakOrNul(const std::string& s)
{
    return s.find_first_of(std::string("\r\n\0", 3)) != npos;
}

} // namespace

bool SameIniName(const std::string& a, const std::string& b)
{
    return SameTextIgnoringCase(a, b);
}

std::string TrimIniBlanks(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

TIniFileText::TIniFileText(const std::string& content)
{
    size_t start = 0;
    const size_t mark = content.starts_with(kByteOrderMark) ? std::strlen(kByteOrderMark) : 0;
    while (start < content.size()) {
        size_t nl = content.find('\n', start);
        if (nl == npos)
            nl = content.size();
        lines_.push_back(Parse(content.substr(start, nl - start), start == 0 ? mark : 0));
        start = nl + 1;
    }
    // Lines this text adds end the way the file's first line does (CR LF or LF).
    if (!lines_.empty() && !lines_.front().raw.empty() && lines_.front().raw.back() == '\r')
        lineEnd_ = "\r";
}

// skip: bytes at the start of raw that belong to no name (a byte-order mark).
TIniFileText::TLine TIniFileText::Parse(std::string raw, size_t skip)
{
    TLine line;
    line.raw = std::move(raw);
    std::string t = Trim(line.raw.substr(skip));
    if (t.empty() || t[0] == ';')
        return line;
    if (t[0] == '[') {
        // A header without its closing bracket still names a section, as the Windows
        // functions read it.
        size_t close = t.find(']');
        line.kind = TKind::Section;
        line.name = Trim(t.substr(1, close == npos ? npos : close - 1));
        return line;
    }
    size_t eq = t.find('=');
    if (eq == npos || eq == 0)
        return line;
    line.kind = TKind::Entry;
    line.name = Trim(t.substr(0, eq));
    line.value = Trim(t.substr(eq + 1));
    return line;
}

std::string TIniFileText::Text() const
{
    std::string out;
    for (const TLine& l : lines_) {
        out += l.raw;
        out += '\n';
    }
    return out;
}

size_t TIniFileText::FindSection(const std::string& section) const
{
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == TKind::Section && SameText(lines_[i].name, section))
            return i;
    return npos;
}

size_t TIniFileText::SectionEnd(size_t h) const
{
    size_t i = h + 1;
    while (i < lines_.size() && lines_[i].kind != TKind::Section)
        ++i;
    return i;
}

size_t TIniFileText::FindEntry(size_t h, const std::string& key) const
{
    size_t end = SectionEnd(h);
    for (size_t i = h + 1; i < end; ++i)
        if (lines_[i].kind == TKind::Entry && SameText(lines_[i].name, key))
            return i;
    return npos;
}

std::optional<std::string> TIniFileText::Value(const std::string& section,
                                               const std::string& key) const
{
    size_t h = FindSection(section);
    if (h == npos)
        return std::nullopt;
    size_t e = FindEntry(h, key);
    if (e == npos)
        return std::nullopt;
    return lines_[e].value;
}

bool TIniFileText::HasSection(const std::string& section) const
{
    return FindSection(section) != npos;
}

std::vector<std::string> TIniFileText::SectionNames() const
{
    std::vector<std::string> names;
    for (const TLine& l : lines_) {
        if (l.kind != TKind::Section)
            continue;
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || SameText(n, l.name);
        if (!seen)
            names.push_back(l.name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>>
TIniFileText::Entries(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> result;
    size_t h = FindSection(section);
    if (h == npos)
        return result;
    size_t end = SectionEnd(h);
    for (size_t i = h + 1; i < end; ++i) {
        if (lines_[i].kind != TKind::Entry)
            continue;
        // A key repeated inside the section reads as its first line everywhere else, so it is
        // listed once.
        bool seen = false;
        for (const auto& kv : result)
            seen = seen || SameText(kv.first, lines_[i].name);
        if (!seen)
            result.emplace_back(lines_[i].name, lines_[i].value);
    }
    return result;
}

void TIniFileText::CheckWritable(const std::string& section, const std::string& key,
                                 const std::string& value)
{
    auto refuse = [&](const std::string& why) {
        throw std::runtime_error("Cannot write [" + section + "] " + key + ": " + why);
    };
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        refuse("line breaks and NUL bytes cannot be stored in an INI file");
    if (Trim(section).empty() || section.find(']') != npos)
        refuse("not a usable section name");
    std::string k = Trim(key);
    if (k.empty() || k.find('=') != npos || k[0] == '[' || k[0] == ';')
        refuse("not a usable key name");
}

bool TIniFileText::Set(const std::string& section, const std::string& key, const std::string& value)
{
    CheckWritable(section, key, value);
    std::string k = Trim(key);
    TLine entry = Parse(k + "=" + value + lineEnd_);
    size_t h = FindSection(section);
    if (h == npos) {
        // A new section is set apart from what comes before it by an empty line.
        if (!lines_.empty() && !Trim(lines_.back().raw).empty())
            lines_.push_back(Parse(lineEnd_));
        lines_.push_back(Parse("[" + Trim(section) + "]" + lineEnd_));
        lines_.push_back(std::move(entry));
        return true;
    }
    size_t e = FindEntry(h, k);
    if (e != npos) {
        if (lines_[e].value == entry.value && lines_[e].raw == entry.raw)
            return false;
        lines_[e] = std::move(entry);
        return true;
    }
    // Append after the section's last non-empty line, so the blank line that separates it from
    // the next section stays where it is.
    size_t at = SectionEnd(h);
    while (at > h + 1 && Trim(lines_[at - 1].raw).empty())
        --at;
    lines_.insert(lines_.begin() + at, std::move(entry));
    return true;
}

bool TIniFileText::Remove(const std::string& section, const std::string& key)
{
    size_t h = FindSection(section);
    if (h == npos)
        return false;
    bool changed = false;
    // Every line of the key goes, so that a duplicate cannot come back after the delete.
    for (size_t e = FindEntry(h, key); e != npos; e = FindEntry(h, key)) {
        lines_.erase(lines_.begin() + e);
        changed = true;
    }
    return changed;
}

bool TIniFileText::RemoveSection(const std::string& section)
{
    bool changed = false;
    // Every copy of the section goes: erasing only the first would bring a later duplicate to
    // light instead of removing the section.
    for (size_t h = FindSection(section); h != npos; h = FindSection(section)) {
        lines_.erase(lines_.begin() + h, lines_.begin() + SectionEnd(h));
        changed = true;
    }
    return changed;
}

} // namespace vm
