// Private-profile (INI) files: sections in brackets with key=value lines. Sections and keys
// compare without regard to letter case, the first match wins, and the order of lines is kept;
// lines that are not understood stay as they are. Every write lands at once: the file is read,
// changed and replaced atomically (a temporary file and a rename) under an advisory lock, so
// two processes that write the same file never lose each other's writes.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vm {

// True when two section or key names are the same for an INI file: equal but for the letter case
// of ASCII letters.
bool SameIniName(const std::string& a, const std::string& b);

class TIniFile
{
public:
    // sharedLockMounts: when not empty, the file may be shared between computers (a data
    // directory on a network file system), and every write is refused, with the reason, where
    // the mount table read from there says that the file system's locks do not reach the other
    // computers (platform/SharedLocks.h).
    explicit TIniFile(std::string path, std::string sharedLockMounts = {});

    const std::string& FileName() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // The value as a whole number, or defaultValue when missing or not a number.
    long long ReadInteger(const std::string& section, const std::string& key,
                          long long defaultValue) const;
    // Raises std::runtime_error with the file name and the reason when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long long value);
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Section names in file order.
    std::vector<std::string> ReadSections() const;
    // Keys of a section in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    // Keys and values of a section in file order.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionValues(const std::string& section) const;
    int CountKeys(const std::string& section) const;
    // Every section with its keys and values, in file order, from one reading of the file.
    using TSectionValues = std::vector<std::pair<std::string, std::string>>;
    std::vector<std::pair<std::string, TSectionValues>> ReadAll() const;

    // In one write: removes every key of the section for which replaced(key) is true, then sets
    // values in their order (the section is made when missing). Other keys keep their values,
    // so a group of keys changes at once or not at all, and a number another process advances
    // meanwhile is never written back. Raises like WriteString; nothing changes then.
    void ReplaceKeys(const std::string& section,
                     const std::function<bool(const std::string& key)>& replaced,
                     const std::vector<std::pair<std::string, std::string>>& values);

    // Under the lock, reads a number (defaultValue when missing or not a number), writes it
    // plus one, and returns the number read: two processes never take the same number.
    long long TakeNumber(const std::string& section, const std::string& key,
                         long long defaultValue);
    // The numbers a counter may hold, and the one taken instead of a value outside them.
    struct TNumberRange
    {
        long long Lowest, Highest, Fallback;
    };
    // TakeNumber, where a value present but not a whole number from range.Lowest to
    // range.Highest is taken as range.Fallback (which must lie in the range; raises
    // std::runtime_error otherwise), and unusable, when given, receives that value as it stood
    // (it stays empty when the value was usable or missing).
    long long TakeNumber(const std::string& section, const std::string& key, long long defaultValue,
                         const TNumberRange& range, std::string* unusable = nullptr);

private:
    std::string path_;
    std::string sharedLockMounts_;
};

} // namespace vm
