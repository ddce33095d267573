// The settings store that stands for the registry: one INI-syntax file ($VOLUMARK_REGISTRY,
// else $XDG_CONFIG_HOME/volumark/registry.ini, ~/.config when unset). A key path such as
// "HKEY_LOCAL_MACHINE\SOFTWARE\Ardelia\Volumark" is a section; each value is one line
// "name=type:value" with type dword (decimal), sz (text to the end of the line) or hex (bytes as
// two-digit hexadecimal numbers separated by commas). "@" names a key's default value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// The key under which the program keeps its settings.
inline const char* const kSettingsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark";

class TRegistry {
public:
    // The settings file of this user (see above).
    static std::string DefaultPath();
    explicit TRegistry(std::string path = DefaultPath());

    const std::string& FileName() const { return path_; }

    // Keys: full paths with their root. Opening with create makes the key exist in the file.
    bool KeyExists(const std::string& key) const;
    bool OpenKey(const std::string& key, bool create);
    // Deletes the key and every key below it.
    void DeleteKey(const std::string& key);
    const std::string& CurrentKey() const { return key_; }

    // Values of the open key.
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
    std::string path_;
    std::string key_;
};

} // namespace vm
