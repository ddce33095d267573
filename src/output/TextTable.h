// A table as lines of plain text in columns, for mails and reports: each column as wide as its
// widest cell (counted in characters), cells left or right aligned, two blanks between columns
// and no blanks at the ends of lines.
#pragma once

#include <string>
#include <vector>

namespace vm {

enum class TAlign
{
    Left,
    Right
};

// rows[i][c] is the cell of column c; align[c] its alignment (missing ones: left). Every line
// starts with indent.
std::vector<std::string> TextTableLines(const std::vector<std::vector<std::string>>& rows,
                                        const std::vector<TAlign>& align,
                                        const std::string& indent = "");

} // namespace vm
