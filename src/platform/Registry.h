// The settings store that stands for the registry: one INI-syntax file ($VOLUMARK_REGISTRY,
// else $XDG_CONFIG_HOME/volumark/registry.ini, ~/.config when unset). A key path such as
// "HKEY_LOCAL_MACHINE\SOFTWARE\Ardelia\Volumark" is a section; each value is one line
// "name=type:value" with type dword (decimal), sz (text to the end of the line) or hex (bytes as
// two-digit hexadecimal numbers separated by commas). "@" names a key's default value. Key paths
// and value names compare without regard to letter case; value names may contain blanks. A
// value written by hand without a type reads as a string, and as a number when it is one. An sz
// value cannot keep blanks at its end (the INI syntax trims them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// The key under which the program keeps its settings.
inline const char* const kSettingsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark";

class TRegistry
{
public:
    // The settings file of this user (see above).
    static std::string DefaultPath();
    explicit TRegistry(std::string path = DefaultPath());

    const std::string& FileName() const { return path_; }

    // Keys: full paths with their root ("HKEY_CURRENT_USER\Software\..."); doubled, leading
    // and trailing backslashes are ignored. Opening with create makes the key exist in the file
    // (and the file and its directory when missing). False, with LastError set, when the key
    // does not exist and create is false, or when the file cannot be read or written.
    bool KeyExists(const std::string& key) const;
    bool OpenKey(const std::string& key, bool create);
    void CloseKey();
    // Deletes the key and every key below it; closes it when it was open.
    void DeleteKey(const std::string& key);
    const std::string& CurrentKey() const { return key_; }
    // The names of the keys directly below a key, in file order.
    std::vector<std::string> SubKeyNames(const std::string& key) const;
    // Why the last OpenKey or KeyExists failed.
    const std::string& LastError() const { return lastError_; }

    // Values of the open key (none when no key is open). Reads give nullopt (or the default)
    // for a missing value or one of another type. Writes create the file and its directory
    // when missing, and raise std::runtime_error, with the file and the reason, when no key is
    // open, the file cannot be written, or a name or text cannot be kept on one line (a line
    // break, "=" in a name).
    std::vector<std::string> ValueNames() const;
    bool ValueExists(const std::string& name) const;
    std::optional<int64_t> ReadInteger(const std::string& name) const;
    std::optional<std::string> ReadString(const std::string& name) const;
    std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) const;
    bool ReadBool(const std::string& name, bool defaultValue) const;
    void WriteInteger(const std::string& name, int64_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteString(const std::string& name, const std::string& value);
    void WriteBinary(const std::string& name, const std::vector<uint8_t>& value);
    void DeleteValue(const std::string& name);

private:
    std::optional<std::string> RawValue(const std::string& name) const;
    void WriteRaw(const std::string& name, const std::string& typedValue);

    std::string path_;
    std::string key_;
    mutable std::string lastError_;
};

} // namespace vm
