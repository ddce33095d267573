#include "platform/Registry.h"
#include "platform/AsciiCase.h"

#include "platform/ConfigPath.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>

namespace vm {

namespace {

constexpr const char* kDword = "dword:";
constexpr const char* kSz = "sz:";
constexpr const char* kHex = "hex:";

bool StartsWithText(const std::string& s, const std::string& prefix)
{
    return StartsWithIgnoringCase(s, prefix);
}

bool SameText(const std::string& a, const std::string& b)
{
    return SameTextIgnoringCase(a, b);
}

// Creates every missing directory above a file. The configuration directory is private to its
// user, as ~/.config is.
void MakeParentDirectories(const std::string& file)
{
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        std::string dir = file.substr(0, slash);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            throw std::runtime_error("Cannot create the directory \"" + dir +
                                     "\": " + std::strerror(errno));
    }
}

bool ParseDecimal(const std::string& s, int64_t& out)
{
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && ptr == end && !s.empty();
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiUpper(c);
    return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

std::optional<std::vector<uint8_t>> ParseHex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i == text.size())
        return bytes;
    for (;;) {
        skipBlanks();
        if (i + 2 > text.size() || HexDigit(text[i]) < 0 || HexDigit(text[i + 1]) < 0)
            return std::nullopt;
        bytes.push_back(uint8_t(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
        i += 2;
        skipBlanks();
        if (i == text.size())
            return bytes;
        if (text[i] != ',')
            return std::nullopt;
        ++i;
    }
}

// Key paths are compared and stored without doubled, leading or trailing backslashes.
std::string NormalKey(const std::string& key)
{
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

} // namespace

std::string TRegistry::DefaultPath()
{
    return UserConfigFile("VOLUMARK_REGISTRY", "registry.ini");
}

TRegistry::TRegistry(std::string path) : path_(std::move(path)) {}

std::optional<std::string> TRegistry::RawValue(const std::string& name) const
{
    if (key_.empty())
        return std::nullopt;
    TIniFile ini(path_);
    if (!ini.ValueExists(key_, name))
        return std::nullopt;
    return ini.ReadString(key_, name, "");
}

void TRegistry::WriteRaw(const std::string& name, const std::string& typedValue)
{
    if (key_.empty())
        throw std::runtime_error("No settings key is open in \"" + path_ + "\"");
    MakeParentDirectories(path_);
    TIniFile(path_).WriteString(key_, name, typedValue);
}

bool TRegistry::KeyExists(const std::string& key) const
{
    std::string k = NormalKey(key);
    try {
        return !k.empty() && TIniFile(path_).SectionExists(k);
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return false;
    }
}

bool TRegistry::OpenKey(const std::string& key, bool create)
{
    std::string k = NormalKey(key);
    if (k.empty()) {
        lastError_ = "No key named";
        return false;
    }
    try {
        TIniFile ini(path_);
        if (!ini.SectionExists(k)) {
            if (!create) {
                lastError_ = "The key \"" + k + "\" does not exist";
                return false;
            }
            // An INI file has no empty sections to create as such: writing a value makes the
            // section, and deleting the value leaves its header behind as the empty key.
            MakeParentDirectories(path_);
            const std::string marker = "volumark-new-key";
            ini.WriteString(k, marker, "");
            ini.DeleteKey(k, marker);
        }
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return false;
    }
    key_ = k;
    return true;
}

void TRegistry::CloseKey()
{
    key_.clear();
}

void TRegistry::DeleteKey(const std::string& key)
{
    std::string k = NormalKey(key);
    if (k.empty())
        return;
    TIniFile ini(path_);
    for (const std::string& section : ini.ReadSections()) {
        std::string s = NormalKey(section);
        if (SameText(s, k) || StartsWithText(s, k + "\\"))
            ini.EraseSection(section);
    }
    if (SameText(key_, k) || StartsWithText(key_, k + "\\"))
        key_.clear();
}

std::vector<std::string> TRegistry::SubKeyNames(const std::string& key) const
{
    std::string prefix = NormalKey(key) + "\\";
    std::vector<std::string> names;
    for (const std::string& section : TIniFile(path_).ReadSections()) {
        std::string s = NormalKey(section);
        if (!StartsWithText(s, prefix))
            continue;
        std::string child = s.substr(prefix.size());
        child = child.substr(0, child.find('\\'));
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || SameText(n, child);
        if (!seen && !child.empty())
            names.push_back(child);
    }
    return names;
}

std::vector<std::string> TRegistry::ValueNames() const
{
    if (key_.empty())
        return {};
    return TIniFile(path_).ReadSection(key_);
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return RawValue(name).has_value();
}

std::optional<int64_t> TRegistry::ReadInteger(const std::string& name) const
{
    auto raw = RawValue(name);
    if (!raw)
        return std::nullopt;
    // A value written by hand without a type reads as a number when it is one.
    std::string text = StartsWithText(*raw, kDword) ? raw->substr(6) : *raw;
    int64_t v;
    return ParseDecimal(text, v) ? std::optional<int64_t>(v) : std::nullopt;
}

std::optional<std::string> TRegistry::ReadString(const std::string& name) const
{
    auto raw = RawValue(name);
    if (!raw)
        return std::nullopt;
    if (StartsWithText(*raw, kSz))
        return raw->substr(3);
    if (StartsWithText(*raw, kDword) || StartsWithText(*raw, kHex))
        return std::nullopt;
    // Without a type the whole text is the string.
    return raw;
}

std::optional<std::vector<uint8_t>> TRegistry::ReadBinary(const std::string& name) const
{
    auto raw = RawValue(name);
    if (!raw || !StartsWithText(*raw, kHex))
        return std::nullopt;
    return ParseHex(raw->substr(4));
}

bool TRegistry::ReadBool(const std::string& name, bool defaultValue) const
{
    auto v = ReadInteger(name);
    return v ? *v != 0 : defaultValue;
}

void TRegistry::WriteInteger(const std::string& name, int64_t value)
{
    WriteRaw(name, kDword + std::to_string(value));
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    WriteRaw(name, kSz + value);
}

void TRegistry::WriteBinary(const std::string& name, const std::vector<uint8_t>& value)
{
    static const char digits[] = "0123456789abcdef";
    std::string text = kHex;
    for (size_t i = 0; i < value.size(); ++i) {
        if (i > 0)
            text += ',';
        text += digits[value[i] >> 4];
        text += digits[value[i] & 0xF];
    }
    WriteRaw(name, text);
}

void TRegistry::DeleteValue(const std::string& name)
{
    if (!key_.empty())
        TIniFile(path_).DeleteKey(key_, name);
}

} // namespace vm
