#include "vmadmin/Output.h"

#include "platform/IsoDateTime.h"
#include "platform/TextCoding.h"
#include "references/ShortenText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vm::vmadmin {


void TTable::Add(std::vector<std::string> cells)
{
    cells.resize(columns_.size());
    for (std::string& cell : cells)
        cell = PrintableName(cell, "");
    rows_.push_back(std::move(cells));
}

std::string TTable::Text() const
{
    std::vector<size_t> widths;
    for (const TColumn& c : columns_)
        widths.push_back(CharacterCount(c.Caption));
    for (const auto& row : rows_)
        for (size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], CharacterCount(row[i]));
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i) {
            const std::string pad(widths[i] - CharacterCount(cells[i]), ' ');
            if (i > 0)
                text += "  ";
            text += columns_[i].RightAligned ? pad + cells[i] : cells[i] + pad;
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text + "\n";
    };
    std::vector<std::string> captions;
    for (const TColumn& c : columns_)
        captions.push_back(c.Caption);
    std::string text = line(captions);
    for (const auto& row : rows_)
        text += line(row);
    return text;
}

std::string JsonText(const std::string& bytes)
{
    return ValidUtf8(bytes);
}

void SetJsonPath(TJson& object, const std::string& key, const std::string& bytes)
{
    object[key] = ValidUtf8(bytes);
    if (!IsValidUtf8(bytes))
        object[key + "_bytes"] = Base64(bytes);
}

TJson JsonDate(TDateTime value)
{
    if (value == 0)
        return nullptr;
    // Whole seconds, as the windows show dates (a date-time is not rounded up into the next
    // second).
    TIsoDateTimeText iso;
    const std::string_view text = iso.FromLocalSeconds(int64_t(std::floor(value * 86400.0 + 1e-6)));
    return text.empty() ? TJson(nullptr) : TJson(std::string(text));
}

void Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintJson(const TJson& value)
{
    Print(value.dump(2) + "\n");
}

} // namespace vm::vmadmin
