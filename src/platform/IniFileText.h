// The text of an INI file as a list of lines that knows which lines are section headers and
// which are key=value entries. Lines it does not understand (comments, junk, lines before the
// first section) are kept byte for byte, so that changing one value rewrites nothing else.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm {

// A text without the blanks an INI file does not keep around names and values (spaces, tabs,
// carriage returns, form and line feeds): what the file will give back of a value written.
std::string TrimIniBlanks(const std::string& text);

class TIniFileText
{
public:
    TIniFileText() = default;
    // A byte-order mark at the start (as some Windows editors write one) is kept as it is and
    // does not hide the first line.
    explicit TIniFileText(const std::string& content);

    // The whole text, every line ending with "\n" (a missing final line break is added).
    std::string Text() const;

    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    bool HasSection(const std::string& section) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

    // Changing operations return true when the text changed.
    bool Set(const std::string& section, const std::string& key, const std::string& value);
    bool Remove(const std::string& section, const std::string& key);
    bool RemoveSection(const std::string& section);

    // Raises std::runtime_error when a section, key or value could not be written as one line
    // that reads back the same way (line breaks, NUL bytes, "=" in a key ...).
    static void CheckWritable(const std::string& section, const std::string& key,
                              const std::string& value);

private:
    enum class TKind
    {
        Other,
        Section,
        Entry
    };
    struct TLine
    {
        std::string raw; // as in the file, without the line break
        TKind kind = TKind::Other;
        std::string name;  // section name or key, trimmed
        std::string value; // value of an entry, trimmed
    };
    static TLine Parse(std::string raw, size_t skip = 0);
    // Index of the first header of the section, or npos.
    size_t FindSection(const std::string& section) const;
    // One past the last line of the section that starts at header index h.
    size_t SectionEnd(size_t h) const;
    size_t FindEntry(size_t h, const std::string& key) const;

    std::vector<TLine> lines_;
    std::string lineEnd_; // "\r" in a file with CR LF line ends
};

} // namespace vm
