#include "output/TextTable.h"

#include "output/ListColumns.h"

#include <algorithm>

namespace vm {

std::vector<std::string> TextTableLines(const std::vector<std::vector<std::string>>& rows,
                                        const std::vector<TAlign>& align, const std::string& indent)
{
    std::vector<size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size());
        for (size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], CharacterCount(row[c]));
    }
    std::vector<std::string> lines;
    for (const auto& row : rows) {
        std::string line = indent;
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                line += "  ";
            const std::string pad(widths[c] - CharacterCount(row[c]), ' ');
            const bool right = c < align.size() && align[c] == TAlign::Right;
            line += right ? pad + row[c] : row[c] + pad;
        }
        while (line.size() > indent.size() && line.back() == ' ')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace vm
